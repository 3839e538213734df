#include "EditPanelTestSupport.h"
#include "LAbsoluteControllerEditPanel.h"
#include "LPitchWheelEditPanel.h"

namespace edit_panel_test {
namespace {

class AbsoluteControllerPanelTest : public EditPanelFixture {
protected:
    void SetUp() override
    {
        panel = Build<LAbsoluteControllerEditPanel>(u"fader");
        ASSERT_TRUE(panel);
        panel->SetFirstParamID(root.Get(), 8, 0);
        channel = At<LComboBox>(panel.Get(), {u"midiChannel", u"comboBox"});
        type = At<LComboBox>(panel.Get(), {u"type", u"comboBox"});
        cc = At<LNumericUpDown>(panel.Get(), {u"cc", u"ccSelector", u"numericUpDown"});
        minimum = At<LNumericUpDown>(panel.Get(), {u"minMax", u"min", u"numericUpDown"});
        maximum = At<LNumericUpDown>(panel.Get(), {u"minMax", u"max", u"numericUpDown"});
        ASSERT_TRUE(channel && type && cc && minimum && maximum);
    }
    Bytes Controls() const
    {
        return {uint8_t(channel->GetSelectedIndex()), uint8_t(type->GetSelectedIndex()), uint8_t(cc->GetNumber()),
                uint8_t(minimum->GetNumber()), uint8_t(maximum->GetNumber())};
    }
    bool CCShown() const { return At(panel.Get(), {u"cc"})->GetLayout().isVisible; }

    RCPtr<LAbsoluteControllerEditPanel> panel;
    RCPtr<LComboBox> channel, type;
    RCPtr<LNumericUpDown> cc, minimum, maximum;
};

TEST_F(AbsoluteControllerPanelTest, BlobDownSetsTheControlsAndShowsCCOnlyForTheTypeCC)
{
    const struct {
        Bytes blob;
        bool ccShown;
    } rows[] = {
        {{0, 0, 7, 0, 127}, true},     // "GLOBAL", "CC", CC 7
        {{17, 1, 11, 5, 100}, false},  // "OMNI", "AFTERTOUCH": CC still set
        {{16, 2, 1, 0, 64}, false},    // "PITCH BEND"
        {{3, 0, 64, 10, 20}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Hex(row.blob));
        ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(8), Blob(row.blob), true));
        EXPECT_EQ(row.blob, Controls());
        EXPECT_EQ(row.ccShown, CCShown());
    }
    EXPECT_TRUE(root->sent.empty());
}

TEST_F(AbsoluteControllerPanelTest, EveryControlSendsTheWholeBlobWithTheHiddenCC)
{
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(8), Blob({0, 1, 11, 0, 127}), true));
    const auto shown = [&] { EXPECT_TRUE(CCShown()); };
    const auto hidden = [&] { EXPECT_FALSE(CCShown()); };
    ExpectEachEditSendsItsBlob(8, {
                                      {"omni", [&] { Select(channel.Get(), 17); }, {17, 1, 11, 0, 127}, hidden},
                                      {"minimum", [&] { minimum->SetNumber(9); }, {17, 1, 11, 9, 127}, hidden},
                                      {"maximum", [&] { maximum->SetNumber(99); }, {17, 1, 11, 9, 99}, hidden},
                                      {"type CC", [&] { Select(type.Get(), 0); }, {17, 0, 11, 9, 99}, shown},
                                      {"cc", [&] { cc->SetNumber(74); }, {17, 0, 74, 9, 99}, shown},
                                      {"type pitch bend", [&] { Select(type.Get(), 2); }, {17, 2, 74, 9, 99}, hidden},
                                  });
}

TEST_F(AbsoluteControllerPanelTest, WrongLengthsChangeNothing)
{
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(8), Blob({2, 1, 7, 3, 90}), true));
    for (const Bytes& blob : {Bytes{0, 0, 7, 0}, Bytes{0, 0, 7, 0, 127, 0}}) {
        SCOPED_TRACE(Hex(blob));
        EXPECT_EQ(E_FAIL, panel->SetParamValueLocal(Id(8), Blob(blob), true));
        EXPECT_EQ((Bytes{2, 1, 7, 3, 90}), Controls());
        EXPECT_FALSE(CCShown());
    }
}

TEST_F(AbsoluteControllerPanelTest, TheCCNumberIsNamedBesideIt)
{
    RCPtr<LControl> name = At(panel.Get(), {u"cc", u"ccSelector", u"textLabel"});
    ASSERT_TRUE(name);
    const struct {
        double number;
        const char* text;
    } rows[] = {{7, "VOLUME"}, {64, "SUSTAIN"}, {3, ""}, {11, "EXPRESSION"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.number);
        cc->SetNumber(row.number);
        EXPECT_EQ(row.text, name->GetText().ToUtf8());
    }
    EXPECT_EQ("MIN", At(panel.Get(), {u"minMax", u"min", u"controlNameLabel"})->GetText().ToUtf8());
    EXPECT_EQ("TYPE", At(panel.Get(), {u"type", u"controlNameLabel"})->GetText().ToUtf8());
}

class PitchWheelPanelTest : public EditPanelFixture {};

TEST_F(PitchWheelPanelTest, ChannelAndLimitsDownAndUp)
{
    RCPtr<LPitchWheelEditPanel> panel = Build<LPitchWheelEditPanel>(u"pitchWheel");
    ASSERT_TRUE(panel);
    panel->SetFirstParamID(root.Get(), 7, 0);
    RCPtr<LComboBox> channel = At<LComboBox>(panel.Get(), {u"midiChannel", u"comboBox"});
    RCPtr<LNumericUpDown> low = At<LNumericUpDown>(panel.Get(), {u"minMax", u"min", u"numericUpDown"});
    RCPtr<LNumericUpDown> high = At<LNumericUpDown>(panel.Get(), {u"minMax", u"max", u"numericUpDown"});
    ASSERT_TRUE(channel && low && high);

    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(7), Blob({17, 5, 120}), true));
    EXPECT_EQ(17, channel->GetSelectedIndex());
    EXPECT_EQ(5, low->GetNumber());
    EXPECT_EQ(120, high->GetNumber());
    EXPECT_TRUE(root->sent.empty());

    high->SetNumber(127);
    EXPECT_EQ((Bytes{17, 5, 127}), LastSent());
    Select(channel.Get(), 0);
    EXPECT_EQ((Bytes{0, 5, 127}), LastSent());
    EXPECT_EQ(7, root->sent.back().id);

    for (const Bytes& blob : {Bytes{0, 0}, Bytes{0, 0, 127, 0}}) {
        EXPECT_EQ(E_FAIL, panel->SetParamValueLocal(Id(7), Blob(blob), true));
    }
    EXPECT_EQ((Bytes{0, 5, 127}), panel->ReadBytes());
    EXPECT_EQ("PITCH WHEEL", At(panel.Get(), {u"controlNameLabel"})->GetText().ToUtf8());
}

}  // namespace
}  // namespace edit_panel_test
