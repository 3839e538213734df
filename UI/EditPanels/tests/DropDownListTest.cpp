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

class DropDownListTest : public EditPanelFixture {
protected:
    // The global channel panel's MIDI channel list (16 items, 12 rows), opened
    // at the window's default size.
    RCPtr<LListBox> OpenChannelList()
    {
        rootWindow->height = 694;  // the main control's height at the window's default size
        panel = Build<LControl>(u"globalChannel");
        EXPECT_TRUE(panel);
        if (!panel) return nullptr;
        combo = At<LComboBox>(panel.Get(), {u"midiChannel", u"comboBox"});
        EXPECT_TRUE(combo);
        if (!combo) return nullptr;
        EXPECT_EQ(S_OK, combo->ShowList(true));
        return combo->GetListBox();
    }

    RCPtr<LControl> panel;
    RCPtr<LComboBox> combo;
};

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

// A list longer than its frame shows a scroll bar and scrolls by the wheel,
// a step a row, no further than its ends, its rows staying in place.
TEST_F(DropDownListTest, LongListScrollsByTheWheelBetweenItsEnds)
{
    const RCPtr<LListBox> list = OpenChannelList();
    ASSERT_TRUE(list);
    const RCPtr<LControl> bar = At(list.Get(), {u"vBar"});
    ASSERT_TRUE(bar);
    EXPECT_GT(bar->GetFrame().width, 0.0) << "16 items in 12 rows show a scroll bar";
    const auto wheel = [&](uint32_t direction, int steps) {
        for (int i = 0; i < steps; ++i)
            (void)list->OnMouseWheel(LMouseWheelParam::Create({10, 10}, 0, direction));
    };
    const struct {
        uint32_t direction;
        int steps;
        int32_t top;
    } rows[] = {{LMouseWheelParam::kDown, 1, 1}, {LMouseWheelParam::kDown, 2, 3}, {LMouseWheelParam::kDown, 9, 4},
                {LMouseWheelParam::kUp, 1, 3},   {LMouseWheelParam::kUp, 9, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.steps) + (row.direction == LMouseWheelParam::kUp ? " up" : " down"));
        wheel(row.direction, row.steps);
        EXPECT_EQ(row.top, list->GetTopIndex());
        for (uint32_t r = 0; r < 12; ++r) {
            EXPECT_EQ(r * list->GetRowHeight(), list->GetRow(r)->GetFrame().y - list->GetScrollOffset().y);
            EXPECT_EQ(list->GetItemText(row.top + int32_t(r)), list->GetRow(r)->GetText());
        }
    }
}

// Choosing a row in view (as the pointer does over an open list) leaves the
// list where it is; a row out of view scrolls just into view.
TEST_F(DropDownListTest, ChoosingARowInViewKeepsTheListStill)
{
    const RCPtr<LListBox> list = OpenChannelList();
    ASSERT_TRUE(list);
    const struct {
        int32_t item, top;
    } rows[] = {{6, 0}, {11, 0}, {12, 1}, {15, 4}, {8, 4}, {4, 4}, {2, 2}, {0, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.item);
        list->SelectItem(row.item, row.item, true);
        EXPECT_EQ(row.top, list->GetTopIndex());
    }
}

}  // namespace
}  // namespace edit_panel_test
