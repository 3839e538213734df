// Every drop-down list of every panel, opened on each of its items as the
// shipped skin lays it out: the chosen row is in view, the list never scrolls
// past its last item, and each row is drawn where a click finds it.
#include <cmath>

#include "EditPanelTestSupport.h"

namespace edit_panel_test {
namespace {

void CollectCombos(LControl& control, std::vector<RCPtr<LComboBox>>& combos)
{
    for (const RCPtr<LControl>& child : control.GetChildren().Snapshot(ChildControlList::kInsertion)) {
        if (auto* combo = dynamic_cast<LComboBox*>(child.Get())) combos.emplace_back(combo);
        CollectCombos(*child, combos);
    }
}

class DropDownListTest : public EditPanelFixture {};

TEST_F(DropDownListTest, EveryListOpensOnItsSelectionWithEveryRowWhereItIsDrawn)
{
    rootWindow->height = 694;  // the main control's height at the window's default size
    const char16_t* const panels[] = {u"globalChannel", u"keybedEditPanel", u"zone1",   u"modWheel",
                                      u"pitchWheel",    u"fader",           u"hardwareButtons", u"footSwitch2"};
    for (const char16_t* name : panels) {
        RCPtr<LControl> panel = Build<LControl>(name);
        ASSERT_TRUE(panel);
        std::vector<RCPtr<LComboBox>> combos;
        CollectCombos(*panel, combos);
        ASSERT_FALSE(combos.empty());
        for (const RCPtr<LComboBox>& combo : combos) {
            const RCPtr<LListBox> list = combo->GetListBox();
            const int32_t count = combo->GetItemCount();
            ASSERT_GT(count, 1);
            for (int32_t k = 0; k < count; ++k) {
                SCOPED_TRACE(String(name).ToUtf8() + "/" + combo->GetParent()->GetName().ToUtf8() + " item " +
                             std::to_string(k));
                combo->SetSelectedIndex(k);
                ASSERT_EQ(S_OK, combo->ShowList(true));
                const double rowHeight = list->GetRowHeight();
                const int32_t fullRows = static_cast<int32_t>(list->GetClientRect().height / rowHeight);
                ASSERT_GT(fullRows, 0);
                // A list with room for all its items shows them all; a longer one scrolls no further than its end.
                EXPECT_EQ(std::min(count, 12), fullRows);
                EXPECT_LE(list->GetTopIndex(), std::max(0, count - fullRows));
                const int32_t row = list->GetVisibleRowOfItem(k);
                EXPECT_TRUE(row >= 0 && row < fullRows) << "row " << row;
                for (uint32_t r = 0; r < list->GetRowCount() && r < uint32_t(fullRows); ++r) {
                    const LListBoxItem* drawn = list->GetRow(r);
                    EXPECT_EQ(r * rowHeight, drawn->GetFrame().y - list->GetScrollOffset().y) << "row " << r;
                    EXPECT_EQ(list->GetItemText(list->GetTopIndex() + int32_t(r)), drawn->GetText());
                    const double middle = r * rowHeight + rowHeight / 2 + list->GetClientRect().y;
                    EXPECT_EQ(list->GetTopIndex() + int32_t(r), list->GetItemIndexAtPoint({10, middle}));
                }
                ASSERT_EQ(S_OK, combo->ShowList(false));
            }
        }
    }
}

}  // namespace
}  // namespace edit_panel_test
