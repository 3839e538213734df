#include "EditPanelTestSupport.h"
#include "LGlobalEditPanel.h"
#include "LKeybedEditPanel.h"

namespace edit_panel_test {
namespace {

class GlobalChannelPanelTest : public EditPanelFixture {
protected:
    void SetUp() override
    {
        panel = Build<LGlobalEditPanel>(u"globalChannel");
        ASSERT_TRUE(panel);
        panel->SetFirstParamID(root.Get(), 0, 0);
        combo = At<LComboBox>(panel.Get(), {u"midiChannel", u"comboBox"});
        ASSERT_TRUE(combo);
    }
    RCPtr<LGlobalEditPanel> panel;
    RCPtr<LComboBox> combo;
};

TEST_F(GlobalChannelPanelTest, ChannelByteIsTheSelectionPlusOne)
{
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(0), Blob({1}), true));
    EXPECT_EQ(0, combo->GetSelectedIndex());
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(0), Blob({16}), true));
    EXPECT_EQ(15, combo->GetSelectedIndex());
    EXPECT_EQ("CHANNEL 16", combo->GetText().ToUtf8()) << "items from the string table";
    EXPECT_TRUE(root->sent.empty()) << "a value from the keyboard is not sent back";

    Select(combo.Get(), 4);
    ASSERT_EQ(1u, root->sent.size());
    EXPECT_EQ(0, root->sent[0].id);
    EXPECT_EQ(Variant::kBlob, root->sent[0].type);
    EXPECT_EQ(Bytes{5}, root->sent[0].bytes);
}

TEST_F(GlobalChannelPanelTest, RefusesAnythingButOneChannelByteAndKeepsTheSelection)
{
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(0), Blob({7}), true));
    const struct {
        const char* name;
        Variant value;
    } rows[] = {
        {"empty", Blob({})},        {"two bytes", Blob({3, 4})}, {"channel 0", Blob({0})},
        {"channel 17", Blob({17})}, {"0xFF", Blob({0xFF})},      {"not a blob", Variant(int8_t{3})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(E_FAIL, panel->SetParamValueLocal(Id(0), row.value, true));
        EXPECT_EQ(6, combo->GetSelectedIndex());
    }
    EXPECT_TRUE(root->sent.empty());
}

}  // namespace
}  // namespace edit_panel_test

namespace edit_panel_test {
namespace {

class KeybedPanelTest : public EditPanelFixture {
protected:
    void SetUp() override
    {
        panel = Build<LKeybedEditPanel>(u"keybedEditPanel");
        ASSERT_TRUE(panel);
        panel->SetFirstParamID(root.Get(), 1, 0);
        curve = At<LComboBox>(panel.Get(), {u"velocityCurve", u"comboBox"});
        octave = At<LNumericUpDown>(panel.Get(), {u"octave", u"numericUpDown"});
        transpose = At<LNumericUpDown>(panel.Get(), {u"transpose", u"numericUpDown"});
        ASSERT_TRUE(curve && octave && transpose);
    }
    struct Shown {
        int32_t curve;
        double octave;
        double transpose;
        bool operator==(const Shown&) const = default;
    };
    Shown Controls() const { return {curve->GetSelectedIndex(), octave->GetNumber(), transpose->GetNumber()}; }

    RCPtr<LKeybedEditPanel> panel;
    RCPtr<LComboBox> curve;
    RCPtr<LNumericUpDown> octave, transpose;
};

TEST_F(KeybedPanelTest, BlobDownSetsCurveOctaveAndTranspose)
{
    const struct {
        Bytes blob;
        Shown shown;
    } rows[] = {
        {{3, 2, 12}, {3, 0, 0}},    // "LINEAR", octave 0, transpose 0
        {{6, 0, 24}, {6, -2, 12}},  // "FIXED: 127", octave -2, transpose +12
        {{0, 4, 0}, {0, 2, -12}},
        {{1, 3, 5}, {1, 1, -7}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Hex(row.blob));
        ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(1), Blob(row.blob), true));
        EXPECT_EQ(row.shown, Controls());
    }
    EXPECT_TRUE(root->sent.empty());
}

TEST_F(KeybedPanelTest, EveryControlSendsTheWholeBlob)
{
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(1), Blob({3, 2, 12}), true));
    ExpectEachEditSendsItsBlob(1, {
                                      {"curve", [&] { Select(curve.Get(), 5); }, {5, 2, 12}},
                                      {"octave", [&] { octave->SetNumber(-1); }, {5, 1, 12}},
                                      {"transpose", [&] { transpose->SetNumber(7); }, {5, 1, 19}},
                                      {"transpose down", [&] { transpose->SetNumber(-12); }, {5, 1, 0}},
                                  });
}

TEST_F(KeybedPanelTest, WrongLengthsChangeNothing)
{
    ASSERT_EQ(S_OK, panel->SetParamValueLocal(Id(1), Blob({4, 1, 10}), true));
    const Shown before = Controls();
    for (const Bytes& blob : {Bytes{3, 2}, Bytes{3, 2, 12, 0}, Bytes{}}) {
        SCOPED_TRACE(Hex(blob));
        EXPECT_EQ(E_FAIL, panel->SetParamValueLocal(Id(1), Blob(blob), true));
        EXPECT_EQ(before, Controls());
    }
}

TEST_F(KeybedPanelTest, LabelsComeFromTheStringTables)
{
    EXPECT_EQ("KEYBED", At(panel.Get(), {u"keybedLabel"})->GetText().ToUtf8());
    EXPECT_EQ("VELOCITY CURVE", At(panel.Get(), {u"velocityCurve", u"label"})->GetText().ToUtf8());
    EXPECT_EQ("OCTAVE", At(panel.Get(), {u"octave", u"controlNameLabel"})->GetText().ToUtf8());
    EXPECT_EQ("TRANSPOSE", At(panel.Get(), {u"transpose", u"controlNameLabel"})->GetText().ToUtf8());
}

}  // namespace
}  // namespace edit_panel_test
