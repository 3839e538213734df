#include "EditPanelTestSupport.h"
#include "LZoneEditPanel.h"

namespace edit_panel_test {
namespace {

class ZonePanelTest : public EditPanelFixture {
protected:
    void SetUp() override
    {
        panel = Build<LZoneEditPanel>(u"zone2");
        ASSERT_TRUE(panel);
        panel->SetFirstParamID(root.Get(), 3, 1);
        enable = At<LButton>(panel.Get(), {u"zoneEnabledButton"});
        channel = At<LComboBox>(panel.Get(), {u"midiChannel", u"comboBox"});
        octave = At<LNumericUpDown>(panel.Get(), {u"octave", u"numericUpDown"});
        transpose = At<LNumericUpDown>(panel.Get(), {u"transpose", u"numericUpDown"});
        first = At<LNoteSelector>(panel.Get(), {u"keyZoneStartEndNoteSelector", u"startNote", u"noteSelector"});
        last = At<LNoteSelector>(panel.Get(), {u"keyZoneStartEndNoteSelector", u"endNote", u"noteSelector"});
        ASSERT_TRUE(enable && channel && octave && transpose && first && last);
    }
    struct Shown {
        double enable;
        int32_t channel;
        int32_t first, last;
        double octave, transpose;
        bool operator==(const Shown&) const = default;
    };
    Shown Controls() const
    {
        return {enable->GetValue(), channel->GetSelectedIndex(), first->GetNumber(),
                last->GetNumber(),  octave->GetNumber(),         transpose->GetNumber()};
    }
    std::vector<bool> GroupsVisible() const
    {
        std::vector<bool> v;
        for (const char16_t* name : {u"midiChannel", u"octave", u"transpose", u"keyZoneStartEndNoteSelector"})
            v.push_back(At(panel.Get(), {name})->GetLayout().isVisible);
        return v;
    }
    // Types a note into a selector's own number field.
    static void TypeNote(LNoteSelector* selector, double note) { selector->GetUpDown()->SetNumber(note); }

    RCPtr<LZoneEditPanel> panel;
    RCPtr<LButton> enable;
    RCPtr<LComboBox> channel;
    RCPtr<LNumericUpDown> octave, transpose;
    RCPtr<LNoteSelector> first, last;
};

TEST_F(ZonePanelTest, BlobDownSetsTheControlsWithTheInverseOffsets)
{
    const struct {
        Bytes blob;
        Shown shown;
    } rows[] = {
        {{1, 0, 0, 87, 6, 12}, {1, 0, 1, 88, 0, 0}},  // on, global, the whole keybed
        {{1, 16, 39, 51, 0, 24}, {1, 16, 40, 52, -6, 12}},
        {{0, 3, 59, 59, 12, 0}, {0, 3, 60, 60, 6, -12}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Hex(row.blob));
        ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(3), Blob(row.blob), true));
        EXPECT_EQ(row.shown, Controls());
        EXPECT_EQ(row.blob, panel->ReadBytes()) << "read back unchanged";
    }
    EXPECT_TRUE(root->sent.empty());
}

TEST_F(ZonePanelTest, EnableByteShowsOrHidesTheGroups)
{
    const std::vector<bool> shown(4, true), hidden(4, false);
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(3), Blob({0, 1, 0, 87, 6, 12}), true));
    EXPECT_EQ(hidden, GroupsVisible());
    EXPECT_TRUE(enable->GetLayout().isVisible);
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(3), Blob({1, 1, 0, 87, 6, 12}), true));
    EXPECT_EQ(shown, GroupsVisible());

    // Switching the zone off here hides the groups at once and sends the zone.
    enable->SetValue(0.0);
    EXPECT_EQ(hidden, GroupsVisible());
    EXPECT_EQ((Bytes{0, 1, 0, 87, 6, 12}), LastSent());
}

TEST_F(ZonePanelTest, EveryControlSendsTheWholeZone)
{
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(3), Blob({1, 1, 0, 87, 6, 12}), true));
    ExpectEachEditSendsItsBlob(3, {
                                      {"channel", [&] { Select(channel.Get(), 16); }, {1, 16, 0, 87, 6, 12}},
                                      {"octave", [&] { octave->SetNumber(-6); }, {1, 16, 0, 87, 0, 12}},
                                      {"transpose", [&] { transpose->SetNumber(3); }, {1, 16, 0, 87, 0, 15}},
                                      {"last note", [&] { TypeNote(last.Get(), 60); }, {1, 16, 0, 59, 0, 15}},
                                      {"first note", [&] { TypeNote(first.Get(), 52); }, {1, 16, 51, 59, 0, 15}},
                                      {"off", [&] { enable->SetValue(0.0); }, {0, 16, 51, 59, 0, 15}},
                                  });
}

TEST_F(ZonePanelTest, FirstNoteFollowsTheLastNoteDown)
{
    const struct {
        const char* name;
        Bytes start;
        bool moveLast;
        double note;
        int32_t first, last;
    } rows[] = {
        {"last lowered below first", {1, 0, 39, 59, 6, 12}, true, 30, 30, 30},
        {"first raised above last", {1, 0, 9, 49, 6, 12}, false, 70, 50, 50},
        {"first raised to last", {1, 0, 9, 49, 6, 12}, false, 50, 50, 50},
        {"last above first", {1, 0, 39, 59, 6, 12}, true, 41, 40, 41},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(3), Blob(row.start), true));
        const size_t before = root->sent.size();
        TypeNote(row.moveLast ? last.Get() : first.Get(), row.note);
        EXPECT_EQ(row.first, first->GetNumber());
        EXPECT_EQ(row.last, last->GetNumber());
        ASSERT_EQ(before + 1, root->sent.size()) << "the clamp sends one blob, not two";
        EXPECT_EQ(row.first - 1, root->sent.back().bytes[2]);
        EXPECT_EQ(row.last - 1, root->sent.back().bytes[3]);
    }
}

// The first note's number field, note name and octave agree with the note
// the keyboard gets, whichever way the note was changed.
TEST_F(ZonePanelTest, FirstNoteFieldShowsTheNoteSentAfterEveryEditPath)
{
    const auto key = [](LNoteSelector* selector, uint32_t code) {
        selector->GetUpDown()->HandleKey(RCPtr<LKeyParam>(new LKeyParam(control_test::KeyPress(code))));
    };
    const auto stepButton = [](LNoteSelector* selector, const char16_t* name) {
        At(selector->GetUpDown().Get(), {name})->Notify(u"NID_BUTTON_AUTOREPEAT");
    };
    const auto type = [](LNoteSelector* selector, const char16_t* text) {
        selector->GetUpDown()->SetText(String(text));  // what Enter or leaving the field does
    };
    const struct {
        const char* name;
        std::function<void()> edit;
        int32_t first, last;
        const char* noteName;
        const char* octave;
        bool sends;
    } rows[] = {
        {"zone on, last typed 30", [&] { type(last.Get(), u"30"); }, 10, 30, "Gb", "(1)", true},
        {"first typed 40 above the last", [&] { type(first.Get(), u"40"); }, 30, 30, "D", "(3)", true},
        {"first stepped up by key", [&] { key(first.Get(), 0x26); }, 30, 30, "D", "(3)", true},
        {"first step button up", [&] { stepButton(first.Get(), u"buttonUp"); }, 30, 30, "D", "(3)", true},
        {"a step down counts from the shown note", [&] { key(first.Get(), 0x28); }, 29, 30, "Db", "(3)", true},
        {"last typed 52", [&] { type(last.Get(), u"52"); }, 29, 52, "Db", "(3)", true},
        {"first step button up", [&] { stepButton(first.Get(), u"buttonUp"); }, 30, 52, "D", "(3)", true},
        {"from the keyboard",
         [&] { ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(3), Blob({1, 0, 39, 59, 6, 12}), true)); },
         40, 60, "C", "(4)", false},
        {"last lowered below by key after the keyboard's value",
         [&] { type(last.Get(), u"41"); key(last.Get(), 0x28); key(last.Get(), 0x28); }, 39, 39, "B", "(3)", true},
    };
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(3), Blob({0, 0, 9, 49, 6, 12}), true));
    enable->SetValue(1.0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const size_t before = root->sent.size();
        row.edit();
        EXPECT_EQ(row.first, first->GetNumber());
        EXPECT_EQ(row.last, last->GetNumber());
        EXPECT_EQ(std::to_string(row.first), At(first->GetUpDown().Get(), {u"textBox"})->GetText().ToUtf8());
        EXPECT_EQ(std::to_string(row.last), At(last->GetUpDown().Get(), {u"textBox"})->GetText().ToUtf8());
        EXPECT_EQ(row.noteName, At(first.Get(), {u"noteNameLabel"})->GetText().ToUtf8());
        EXPECT_EQ(row.octave, At(first.Get(), {u"octaveNameLabel"})->GetText().ToUtf8());
        if (!row.sends) {
            EXPECT_EQ(before, root->sent.size());
            continue;
        }
        ASSERT_LT(before, root->sent.size());
        EXPECT_EQ(row.first - 1, root->sent.back().bytes[2]);
        EXPECT_EQ(row.last - 1, root->sent.back().bytes[3]);
    }
}

TEST_F(ZonePanelTest, AValueFromTheKeyboardIsShownAsItIsEvenWhenItCrossesTheShownNotes)
{
    // Applied one control at a time, the new first note passes the old last
    // note; no clamp and no send may happen on the way.
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(3), Blob({1, 0, 9, 19, 6, 12}), true));
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(3), Blob({1, 0, 49, 69, 6, 12}), true));
    EXPECT_EQ(50, first->GetNumber());
    EXPECT_EQ(70, last->GetNumber());
    EXPECT_TRUE(root->sent.empty());
}

TEST_F(ZonePanelTest, WrongLengthsChangeNothing)
{
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(3), Blob({0, 5, 10, 20, 4, 2}), true));
    const Shown before = Controls();
    const std::vector<bool> visible = GroupsVisible();
    for (const Bytes& blob : {Bytes{1, 0, 0, 87, 6}, Bytes{1, 0, 0, 87, 6, 12, 0}}) {
        SCOPED_TRACE(Hex(blob));
        EXPECT_EQ(E_FAIL, panel->SetParamValueLocal(Id(3), Blob(blob), true));
        EXPECT_EQ(before, Controls());
        EXPECT_EQ(visible, GroupsVisible());
    }
}

TEST_F(ZonePanelTest, NoteNamesAndLabels)
{
    EXPECT_EQ("FIRST",
              At(panel.Get(), {u"keyZoneStartEndNoteSelector", u"startNote", u"controlNameLabel"})->GetText().ToUtf8());
    EXPECT_EQ("LAST",
              At(panel.Get(), {u"keyZoneStartEndNoteSelector", u"endNote", u"controlNameLabel"})->GetText().ToUtf8());
    EXPECT_EQ("CHAN", At(panel.Get(), {u"midiChannel", u"controlNameLabel"})->GetText().ToUtf8());
    const struct {
        double note;
        const char* name;
        const char* octave;
    } rows[] = {{1, "A", "(0)"},  {4, "C", "(1)"},  {40, "C", "(4)"},
                {52, "C", "(5)"}, {88, "C", "(8)"}, {87, "B", "(7)"}};
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(3), Blob({1, 0, 0, 87, 6, 12}), true));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.note);
        TypeNote(first.Get(), row.note);
        EXPECT_EQ(row.name, At(first.Get(), {u"noteNameLabel"})->GetText().ToUtf8());
        EXPECT_EQ(row.octave, At(first.Get(), {u"octaveNameLabel"})->GetText().ToUtf8());
    }
}

}  // namespace
}  // namespace edit_panel_test
