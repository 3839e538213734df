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
