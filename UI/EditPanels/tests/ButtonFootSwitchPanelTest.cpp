#include "EditPanelTestSupport.h"
#include "LFootSwitchEditPanel.h"
#include "LHardwareButtonEditPanel.h"
#include "LHardwareButtonsEditPanel.h"

namespace edit_panel_test {
namespace {

// Which field groups of a panel show, by name.
std::vector<std::string> VisibleGroups(LControl* panel, std::initializer_list<const char16_t*> names)
{
    std::vector<std::string> shown;
    for (const char16_t* name : names) {
        RCPtr<LControl> group = panel->FindChildControl(name);
        if (group && group->GetLayout().isVisible) shown.push_back(String(name).ToUtf8());
    }
    return shown;
}

class HardwareButtonsPanelTest : public EditPanelFixture {
protected:
    void SetUp() override
    {
        group = Build<LHardwareButtonsEditPanel>(u"hardwareButtons");
        ASSERT_TRUE(group);
        group->SetFirstParamID(root.Get(), 10, 0);
        type = At<LComboBox>(group.Get(), {u"type", u"comboBox"});
        for (const char16_t* name : {u"button1", u"button2"})
            buttons.push_back(At<LHardwareButtonEditPanel>(group.Get(), {name}));
        ASSERT_TRUE(type && buttons[0] && buttons[1]);
    }
    std::string Title(int i) const { return At(buttons[i].Get(), {u"controlNameLabel"})->GetText().ToUtf8(); }
    std::vector<std::string> Fields(int i) const
    {
        return VisibleGroups(buttons[i].Get(), {u"midiChannel", u"mmcDeviceId", u"program", u"programMax", u"bankMsb",
                                                u"bankLsb", u"cc", u"minMax"});
    }

    RCPtr<LHardwareButtonsEditPanel> group;
    RCPtr<LComboBox> type;
    std::vector<RCPtr<LHardwareButtonEditPanel>> buttons;
};

TEST_F(HardwareButtonsPanelTest, NumbersAndRoutesToItsButtons)
{
    EXPECT_EQ(11, buttons[0]->GetFirstParamID());
    EXPECT_EQ(12, buttons[1]->GetFirstParamID());
    EXPECT_EQ(1, buttons[1]->GetInstanceIndex());
    EXPECT_EQ(static_cast<LParameterizedModule*>(group.Get()), group->GetModuleForParam(10).Get());
    EXPECT_EQ(static_cast<LParameterizedModule*>(buttons[0].Get()), group->GetModuleForParam(11).Get());
    EXPECT_EQ(static_cast<LParameterizedModule*>(buttons[1].Get()), group->GetModuleForParam(12).Get());
    EXPECT_FALSE(group->GetModuleForParam(13));

    ASSERT_EQ(S_OK, buttons[1]->SetParamValueLocal(Id(12), Blob({3, 4, 5, 6, 7, 8, 9, 10}), true));
    At<LNumericUpDown>(buttons[1].Get(), {u"bankMsb", u"numericUpDown"})->SetNumber(60);
    ASSERT_EQ(1u, root->sent.size());
    EXPECT_EQ(12, root->sent[0].id);
    EXPECT_EQ((Bytes{3, 4, 5, 60, 7, 8, 9, 10}), root->sent[0].bytes);
}

TEST_F(HardwareButtonsPanelTest, TheTypeRelabelsTheButtonsAndShowsItsFields)
{
    using Names = std::vector<std::string>;
    const struct {
        uint8_t type;
        const char* first;
        const char* second;
        Names fields;
    } rows[] = {
        {0, "OCTAVE -", "OCTAVE +", {"midiChannel"}},
        {1, "PROGRAM 1", "PROGRAM 2", {"midiChannel", "program", "bankMsb", "bankLsb"}},
        {3, "PROGRAM -", "PROGRAM +", {"midiChannel", "program", "programMax", "bankMsb", "bankLsb"}},
        {5, "CC LATCH 1", "CC LATCH 2", {"midiChannel", "cc", "minMax"}},
        {7, "MMC STOP", "MMC PLAY", {"mmcDeviceId"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.type));
        ASSERT_EQ(S_OK, group->SetParamValueLocal(Id(10), Blob({row.type}), true));
        EXPECT_EQ(row.type, type->GetSelectedIndex());
        EXPECT_EQ(row.first, Title(0));
        EXPECT_EQ(row.second, Title(1));
        EXPECT_EQ(row.fields, Fields(0));
        EXPECT_EQ(row.fields, Fields(1));
        EXPECT_EQ(row.type, buttons[1]->GetButtonType());
    }
    EXPECT_TRUE(root->sent.empty());

    Select(type.Get(), 4);
    EXPECT_EQ((Bytes{4}), LastSent());
    EXPECT_EQ(10, root->sent.back().id);
    EXPECT_EQ("CC 2", Title(1));

    for (const Bytes& blob : {Bytes{}, Bytes{1, 1}, Bytes{8}}) {
        SCOPED_TRACE(Hex(blob));
        EXPECT_EQ(E_FAIL, group->SetParamValueLocal(Id(10), Blob(blob), true));
        EXPECT_EQ(4, type->GetSelectedIndex());
    }
}

TEST_F(HardwareButtonsPanelTest, ByteZeroIsTheChannelOrForMMCTheDeviceId)
{
    LHardwareButtonEditPanel* button = buttons[0].Get();
    RCPtr<LComboBox> channel = At<LComboBox>(button, {u"midiChannel", u"comboBox"});
    RCPtr<LNumericUpDown> device = At<LNumericUpDown>(button, {u"mmcDeviceId", u"numericUpDown"});
    ASSERT_EQ(S_OK, button->SetParamValueLocal(Id(11), Blob({5, 1, 2, 3, 4, 5, 6, 7}), true));
    EXPECT_EQ(5, channel->GetSelectedIndex());
    EXPECT_EQ(0, device->GetNumber());

    ASSERT_EQ(S_OK, group->SetParamValueLocal(Id(10), Blob({7}), true));
    ASSERT_EQ(S_OK, button->SetParamValueLocal(Id(11), Blob({100, 1, 2, 3, 4, 5, 6, 7}), true));
    EXPECT_EQ(100, device->GetNumber());
    EXPECT_EQ(5, channel->GetSelectedIndex()) << "the hidden channel keeps its value";
    device->SetNumber(101);
    EXPECT_EQ((Bytes{101, 1, 2, 3, 4, 5, 6, 7}), LastSent());

    for (const Bytes& blob : {Bytes(7, 0), Bytes(9, 0)}) {
        EXPECT_EQ(E_FAIL, button->SetParamValueLocal(Id(11), Blob(blob), true));
    }
    EXPECT_EQ((Bytes{101, 1, 2, 3, 4, 5, 6, 7}), button->ReadBytes());
}

class FootSwitchPanelTest : public EditPanelFixture {
protected:
    void SetUp() override
    {
        panel = Build<LFootSwitchEditPanel>(u"footSwitch1");
        ASSERT_TRUE(panel);
        panel->SetFirstParamID(root.Get(), 13, 0);
        type = At<LComboBox>(panel.Get(), {u"type", u"comboBox"});
        ASSERT_TRUE(type);
    }
    std::vector<std::string> Fields() const
    {
        return VisibleGroups(panel.Get(),
                             {u"midiChannel", u"mmcDeviceId", u"note", u"velocityOn", u"velocityOff", u"program",
                              u"programMax", u"bankMsb", u"bankLsb", u"cc", u"minMax", u"mmcCommand"});
    }

    RCPtr<LFootSwitchEditPanel> panel;
    RCPtr<LComboBox> type;
};

TEST_F(FootSwitchPanelTest, EachTypeShowsItsOwnFields)
{
    using Names = std::vector<std::string>;
    const Names note = {"midiChannel", "note", "velocityOn", "velocityOff"};
    const Names program = {"midiChannel", "program", "bankMsb", "bankLsb"};
    const Names programStep = {"midiChannel", "program", "programMax", "bankMsb", "bankLsb"};
    const Names cc = {"midiChannel", "cc", "minMax"};
    const Names mmc = {"mmcDeviceId", "mmcCommand"};
    const Names byType[] = {note, note, program, program, programStep, programStep, cc, cc, cc, cc, mmc};
    for (uint8_t t = 0; t < 11; ++t) {
        SCOPED_TRACE(int(t));
        const Bytes blob = {0, t, 60, 100, 0, 5, 10, 0, 0, 64, 0, 127, 1};
        ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(13), Blob(blob), true));
        EXPECT_EQ(t, type->GetSelectedIndex());
        EXPECT_EQ(byType[t], Fields());
        EXPECT_EQ(blob, panel->ReadBytes());
    }
    // Choosing a type here shows its fields at once and sends the switch.
    Select(type.Get(), 0);
    EXPECT_EQ(note, Fields());
    EXPECT_EQ(0, LastSent().at(1));
    EXPECT_EQ(13, root->sent.back().id);
}

TEST_F(FootSwitchPanelTest, EveryByteComesFromItsFieldAndGoesBackToIt)
{
    // The default of the first switch: a sustain pedal, CC 64.
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(13), Blob({0, 6, 0, 0x7F, 0, 0, 0x7F, 0, 0, 0x40, 0, 0x7F, 0}), true));
    const struct {
        const char* name;
        std::vector<const char16_t*> path;
        double value;
        int byte;
    } rows[] = {
        {"cc", {u"cc", u"ccSelector", u"numericUpDown"}, 67, 9},
        {"cc minimum", {u"minMax", u"min", u"numericUpDown"}, 3, 10},
        {"cc maximum", {u"minMax", u"max", u"numericUpDown"}, 120, 11},
        {"velocity on", {u"velocityOn", u"numericUpDown"}, 90, 3},
        {"velocity off", {u"velocityOff", u"numericUpDown"}, 40, 4},
        {"program", {u"program", u"numericUpDown"}, 12, 5},
        {"upper limit", {u"programMax", u"numericUpDown"}, 30, 6},
        {"bank msb", {u"bankMsb", u"numericUpDown"}, 2, 7},
        {"bank lsb", {u"bankLsb", u"numericUpDown"}, 1, 8},
        {"note", {u"note", u"noteSelector", u"numericUpDown"}, 61, 2},
        {"channel (as a number field's neighbour)", {u"midiChannel", u"comboBox"}, 9, 0},
    };
    Bytes expected = {0, 6, 0, 0x7F, 0, 0, 0x7F, 0, 0, 0x40, 0, 0x7F, 0};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RCPtr<LControl> control(panel.Get());
        for (const char16_t* name : row.path) control = control->FindChildControl(name);
        ASSERT_TRUE(control);
        if (auto* combo = dynamic_cast<LComboBox*>(control.Get())) {
            Select(combo, static_cast<int32_t>(row.value));
        } else {
            static_cast<LNumericUpDown&>(*control).SetNumber(row.value);
        }
        expected[row.byte] = static_cast<uint8_t>(row.value);
        EXPECT_EQ(expected, LastSent()) << Hex(LastSent());
    }
    // MMC: byte 0 is the device ID, byte 12 the command.
    Select(type.Get(), 10);
    At<LNumericUpDown>(panel.Get(), {u"mmcDeviceId", u"numericUpDown"})->SetNumber(127);
    Select(At<LComboBox>(panel.Get(), {u"mmcCommand", u"comboBox"}).Get(), 1);
    EXPECT_EQ(127, LastSent()[0]);
    EXPECT_EQ(1, LastSent()[12]);
    EXPECT_EQ(10, LastSent()[1]);

    for (const Bytes& blob : {Bytes(12, 0), Bytes(14, 0)}) {
        EXPECT_EQ(E_FAIL, panel->SetParamValueLocal(Id(13), Blob(blob), true));
    }
    EXPECT_EQ(E_FAIL, panel->SetParamValueLocal(Id(13), Blob({0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), true))
        << "no such type";
    EXPECT_EQ(LastSent(), panel->ReadBytes());
}

}  // namespace
}  // namespace edit_panel_test
