#include "EditPanelTestSupport.h"
#include "LKeybedEditPanel.h"
#include "LZoneEditPanel.h"

namespace edit_panel_test {
namespace {

class EditPanelPatternTest : public EditPanelFixture {};

TEST_F(EditPanelPatternTest, NothingIsSentBeforeThePanelIsNumbered)
{
    RCPtr<LKeybedEditPanel> panel = Build<LKeybedEditPanel>(u"keybedEditPanel");
    ASSERT_TRUE(panel);
    RCPtr<LNumericUpDown> octave = At<LNumericUpDown>(panel.Get(), {u"octave", u"numericUpDown"});
    // Without a number even a parent would get the value under id 0, the global channel's.
    octave->SetNumber(1);
    EXPECT_FALSE(panel->IsNumbered());
    EXPECT_TRUE(root->sent.empty());

    panel->SetFirstParamID(root.Get(), 1, 0);
    octave->SetNumber(-1);
    ASSERT_EQ(1u, root->sent.size());
    EXPECT_EQ(1, root->sent[0].id);
    EXPECT_EQ(1, root->sent[0].bytes[1]);
}

TEST_F(EditPanelPatternTest, AValueFromTheKeyboardSendsNothingBackWhileItIsApplied)
{
    RCPtr<LZoneEditPanel> zone = Build<LZoneEditPanel>(u"zone1");
    ASSERT_TRUE(zone);
    zone->SetFirstParamID(root.Get(), 2, 0);
    // Six controls change one by one; each would have sent a half-applied zone.
    ASSERT_EQ(S_OK, zone->SetParamValueLocal(Id(2), Blob({1, 9, 20, 70, 2, 3}), true));
    ASSERT_EQ(S_OK, zone->SetParamValueLocal(Id(2), Blob({0, 2, 10, 30, 11, 20}), true));
    EXPECT_TRUE(root->sent.empty());
    // The guard ends with the value: the next edit goes up.
    At<LNumericUpDown>(zone.Get(), {u"transpose", u"numericUpDown"})->SetNumber(0);
    EXPECT_EQ((Bytes{0, 2, 10, 30, 11, 12}), LastSent());
}

TEST_F(EditPanelPatternTest, WholeNumbersRoundInsteadOfTruncating)
{
    RCPtr<LKeybedEditPanel> panel = Build<LKeybedEditPanel>(u"keybedEditPanel");
    ASSERT_TRUE(panel);
    panel->SetFirstParamID(root.Get(), 1, 0);
    RCPtr<LNumericUpDown> transpose = At<LNumericUpDown>(panel.Get(), {u"transpose", u"numericUpDown"});
    const struct {
        double value;
        uint8_t byte;
    } rows[] = {{2.9, 15}, {-2.9, 9}, {2.2, 14}, {-2.2, 10}, {11.999999, 24}, {-11.7, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        transpose->SetValue(transpose->ValueToNormalized(row.value));
        EXPECT_EQ(row.byte, LastSent().at(2));
    }
}

TEST_F(EditPanelPatternTest, EveryNoteAndOctaveComesBackAsItWent)
{
    RCPtr<LZoneEditPanel> zone = Build<LZoneEditPanel>(u"zone1");
    ASSERT_TRUE(zone);
    for (uint8_t note = 0; note <= 87; ++note) {
        const Bytes blob = {1, 0, 0, note, uint8_t(note % 13), uint8_t(note % 25)};
        ASSERT_EQ(S_OK, zone->SetParamValueLocal(Id(0), Blob(blob), true));
        ASSERT_EQ(blob, zone->ReadBytes()) << "note " << int(note) + 1;
    }
}

// A panel whose skin lacks one child names it, with its method, file and line.
class MissingChildTest : public EditPanelFixture {
protected:
    // Builds the named children as plain panels, the leaves of the given classes.
    template <class Panel>
    RCPtr<Panel> Skeleton(const std::vector<std::pair<std::vector<const char16_t*>, char>>& leaves,
                          const char16_t* missing)
    {
        RCPtr<Panel> panel(new Panel(top.Get(), u"panel"));
        for (const auto& [path, kind] : leaves) {
            LControl* at = panel.Get();
            for (size_t i = 0; i < path.size(); ++i) {
                if (String(path[i]) == String(missing)) break;
                RCPtr<LControl> next = at->FindChildControl(path[i]);
                if (!next) {
                    const bool leaf = i + 1 == path.size();
                    if (!leaf)
                        next = new LPanel(at, path[i]);
                    else if (kind == 'c')
                        next = new LComboBox(at, path[i]);
                    else if (kind == 'u')
                        next = new LNumericUpDown(at, path[i]);
                    else if (kind == 'n')
                        next = new LNoteSelector(at, path[i]);
                    else if (kind == 'b')
                        next = new LButton(at, path[i]);
                    else
                        next = new LLabel(at, path[i]);
                }
                at = next.Get();
            }
        }
        return panel;
    }
    template <class Panel>
    std::string ErrorOf(const RCPtr<Panel>& panel)
    {
        try {
            panel->Initialize();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no error";
    }
};

TEST_F(MissingChildTest, KeybedNamesTheMissingChild)
{
    const std::vector<std::pair<std::vector<const char16_t*>, char>> leaves = {
        {{u"octave", u"numericUpDown"}, 'u'},
        {{u"transpose", u"numericUpDown"}, 'u'},
        {{u"velocityCurve", u"comboBox"}, 'c'},
    };
    const struct {
        const char16_t* missing;
        const char* message;
    } rows[] = {
        {u"octave",
         "Null Pointer : Cannot find child octave : LKeybedEditPanel::Initialize : UI\\KeybedPanel : Line 31"},
        {u"transpose",
         "Null Pointer : Cannot find child transpose : LKeybedEditPanel::Initialize : UI\\KeybedPanel : Line 39"},
        {u"velocityCurve",
         "Null Pointer : Cannot find child velocityCurve : LKeybedEditPanel::Initialize : UI\\KeybedPanel : Line 47"},
        {u"comboBox",
         "Null Pointer : Can not find child comboBox : LKeybedEditPanel::Initialize : UI\\KeybedPanel : Line 49"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(String(row.missing).ToUtf8());
        RCPtr<LKeybedEditPanel> panel = Skeleton<LKeybedEditPanel>(leaves, row.missing);
        EXPECT_EQ(std::string("Runtime Error : ") + row.message, ErrorOf(panel));
        panel->Close();
    }
    RCPtr<LKeybedEditPanel> whole = Skeleton<LKeybedEditPanel>(leaves, u"");
    EXPECT_EQ("no error", ErrorOf(whole));
    whole->Close();
}

TEST_F(MissingChildTest, ZoneNamesTheMissingChild)
{
    const std::vector<std::pair<std::vector<const char16_t*>, char>> leaves = {
        {{u"zoneEnabledButton"}, 'b'},
        {{u"midiChannel", u"comboBox"}, 'c'},
        {{u"octave", u"numericUpDown"}, 'u'},
        {{u"transpose", u"numericUpDown"}, 'u'},
        {{u"keyZoneStartEndNoteSelector", u"startNote", u"noteSelector"}, 'n'},
        {{u"keyZoneStartEndNoteSelector", u"endNote", u"noteSelector"}, 'n'},
        {{u"keyZoneStartEndNoteSelector", u"startNote", u"noteSelector", u"numericUpDown"}, 'u'},
        {{u"keyZoneStartEndNoteSelector", u"endNote", u"noteSelector", u"numericUpDown"}, 'u'},
        {{u"keyZoneStartEndNoteSelector", u"startNote", u"controlNameLabel"}, 'l'},
        {{u"keyZoneStartEndNoteSelector", u"endNote", u"controlNameLabel"}, 'l'},
    };
    const struct {
        const char16_t* missing;
        const char* text;
        int line;
    } rows[] = {
        {u"zoneEnabledButton", "Cannot find child zoneEnabledButton", 32},
        {u"midiChannel", "Cannot find child midiChannel", 36},
        {u"comboBox", "Cannot find child comboBox", 38},
        {u"octave", "Cannot find child octave", 42},
        {u"startNote", "Cannot find child startNote", 60},
        {u"noteSelector", "Cannot find child noteSelector", 63},
        {u"endNote", "Cannot find child endNote", 78},
        {u"numericUpDown", "Can not find child numericUpDown", 44},
        {u"controlNameLabel", "Cannot find child controlNameLabel", 74},
        {u"keyZoneStartEndNoteSelector", "Cannot find child keyZoneStartEndNoteSelector", 57},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(String(row.missing).ToUtf8());
        RCPtr<LZoneEditPanel> panel = Skeleton<LZoneEditPanel>(leaves, row.missing);
        EXPECT_EQ(std::string("Runtime Error : Null Pointer : ") + row.text +
                      " : LZoneEditPanel::Initialize : UI\\ZoneEditPanel : Line " + std::to_string(row.line),
                  ErrorOf(panel));
        panel->Close();
    }
    // Only a note selector's own up-down is missing.
    for (const auto& [group, line] : {std::pair{u"startNote", 69}, std::pair{u"endNote", 87}}) {
        SCOPED_TRACE(String(group).ToUtf8());
        RCPtr<LZoneEditPanel> panel = Skeleton<LZoneEditPanel>(leaves, u"");
        RCPtr<LControl> selector = panel->FindChildControl(u"keyZoneStartEndNoteSelector")
                                       ->FindChildControl(group)
                                       ->FindChildControl(u"noteSelector");
        ASSERT_EQ(selector->FindChildControl(u"numericUpDown")->ChangeParent(nullptr), S_OK);
        // The factory starts children before their panel: the selector leaves the report to the panel.
        EXPECT_NO_THROW((void)selector->Initialize());
        EXPECT_EQ("Runtime Error : Null Pointer : Cannot find child noteSelector->numericUpDown : "
                  "LZoneEditPanel::Initialize : UI\\ZoneEditPanel : Line " + std::to_string(line),
                  ErrorOf(panel));
        panel->Close();
    }
}

}  // namespace
}  // namespace edit_panel_test
