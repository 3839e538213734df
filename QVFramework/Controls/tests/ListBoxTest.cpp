#include <functional>

#include "ControlTestSupport.h"
#include "FakeMeasurementRenderer.h"
#include "LLayout.h"
#include "LListBox.h"
#include "LScrollbar.h"
#include "ListTestSupport.h"
#include "MeasurementRendererSource.h"

namespace control_test {
namespace {

using namespace list_test;

class ListBoxFixture : public ControlFixture {
protected:
    ListBoxFixture() : mRowScope(rowApp), mMeasure(RCPtr<LMeasurementRenderer>(measure.Get())) { MakeTop(); }

    RCPtr<LListBox> MakeList(std::vector<std::pair<String, String>> items, double height = 60, bool withBar = false,
                             uint32_t looks = 3)
    {
        RCPtr<LListBox> list(new LListBox(top.Get(), u"list"));
        RCPtr<FakeDescriptor> d(new FakeDescriptor(u"list"));
        d->lookCount = looks;
        d->attributes = std::move(items);
        d->layout.size[0].offset = 100;
        d->layout.size[1].offset = height;
        list->ApplyDescriptor(d);
        RCPtr<FakeDescriptor> t(new FakeDescriptor(u"templateItem"));
        t->lookCount = 14;
        t->layout.size[0].offset = 90;
        t->layout.size[1].offset = 20;
        RCPtr<LListBoxItem> templ(new LListBoxItem(list.Get(), u"templateItem"));
        templ->ApplyDescriptor(t);
        if (withBar) {
            // The corner keeps the bar's thickness while the bar is hidden.
            const auto place = [&](LControl& c, double x, double y, double w, double h) {
                ControlLayout layout;
                layout.position[0].offset = x;
                layout.position[1].offset = y;
                layout.size[0].offset = w;
                layout.size[1].offset = h;
                c.SetLayout(layout);
                c.Initialize();
                c.SetInitialized(true);
            };
            RCPtr<TestControl> corner(new TestControl(list.Get(), u"corner"));
            place(*corner, 84, height - 16, 16, 16);
            RCPtr<LScrollbar> bar(new LScrollbar(list.Get(), u"vBar"));
            ControlLayout layout;
            layout.position[0] = {LayoutKind::kClient, String(), 1.0f, 0.0};
            layout.anchor[0].factor = 1.0f;
            layout.size[0] = {LayoutKind::kSibling, String(u"corner"), 0.0f, 0.0};
            layout.size[1].offset = height;
            bar->SetLayout(layout);
            bar->Initialize();
            bar->SetInitialized(true);
        }
        list->SetNotFocusable(false);
        list->Initialize();
        list->SetInitialized(true);
        EXPECT_GE(list->UpdateLayout(), 0);
        log->Listen(list.Get(), {u"NID_SELECTION_CHANGE", u"NID_ITEM_ACTIVATED", u"NID_ITEM_DOUBLE_CLICKED"});
        return list;
    }
    // A list whose skin gives its rows "item1", "item2", ... instead of a template.
    RCPtr<LListBox> MakeListWithRows(std::initializer_list<std::pair<const char16_t*, const char16_t*>> rows)
    {
        RCPtr<LListBox> list(new LListBox(top.Get(), u"list"));
        RCPtr<FakeDescriptor> d(new FakeDescriptor(u"list"));
        d->lookCount = 3;
        d->layout.size[0].offset = 100;
        d->layout.size[1].offset = 60;
        list->ApplyDescriptor(d);
        for (const auto& [name, text] : rows) {
            RCPtr<FakeDescriptor> r(new FakeDescriptor(name));
            r->lookCount = 14;
            r->layout.size[0].offset = 90;
            r->layout.size[1].offset = 20;
            RCPtr<LListBoxItem> row(new LListBoxItem(list.Get(), name));
            row->ApplyDescriptor(r);
            row->SetText(text);
        }
        list->Initialize();
        list->SetInitialized(true);
        return list;
    }
    std::vector<std::string> Texts(const LListBox& list) const
    {
        std::vector<std::string> out;
        for (int32_t i = 0; i < list.GetItemCount(); ++i) out.push_back(Narrow(list.GetItemText(i).GetChars()));
        return out;
    }
    std::vector<std::string> RowTexts(const LListBox& list) const
    {
        std::vector<std::string> out;
        for (uint32_t r = 0; r < list.GetRowCount(); ++r) out.push_back(Narrow(list.GetRow(r)->GetText().GetChars()));
        return out;
    }
    QVResult Press(LListBox& list, uint32_t vk, uint32_t mods = 0)
    {
        return list.OnKeyDown(RCPtr<LKeyParam>(new LKeyParam(KeyPress(vk, mods))));
    }
    int Count(const char* name) const { return static_cast<int>(std::count(log->names.begin(), log->names.end(), name)); }

    RowApplication rowApp;
    ScopedControlApplication mRowScope;
    RCPtr<Testing::FakeMeasurementRenderer> measure{new Testing::FakeMeasurementRenderer()};
    ScopedMeasurementRenderer mMeasure;
    RCPtr<NotificationLog> log{new NotificationLog()};  // counted: distributors hold it
};

TEST_F(ListBoxFixture, ItemsComeFromNumberedAttributesWithGapsAndBadIndexesIgnored)
{
    RCPtr<LListBox> list = MakeList({{u"ITEM.0", u"a"},
                                     {u"ITEM.2", u"c"},
                                     {u"ITEM.x", u"bad"},
                                     {u"ITEM.-1", u"negative"},
                                     {u"ITEM.99999999", u"huge"},
                                     {u"ITEMS.1", u"other"}});
    EXPECT_EQ(Texts(*list), (std::vector<std::string>{"a", "", "c"}));
    EXPECT_EQ(list->GetRowHeight(), 20) << "measured with the template row";
    EXPECT_EQ(list->GetRowCount(), 3u) << "rows cover the 60-pixel height";
    EXPECT_EQ(RowTexts(*list), (std::vector<std::string>{"a", "", "c"}));
    EXPECT_TRUE(list->FindChildControl(u"templateItem").IsNull());
}

TEST_F(ListBoxFixture, RowsAreRecycledWhileScrolling)
{
    RCPtr<LListBox> list = MakeList(Items({u"i0", u"i1", u"i2", u"i3", u"i4", u"i5", u"i6", u"i7", u"i8", u"i9"}));
    EXPECT_EQ(list->GetRowCount(), 3u);
    list->SelectItem(5, -1, true);
    EXPECT_EQ(list->GetTopIndex(), 3);
    EXPECT_EQ(RowTexts(*list), (std::vector<std::string>{"i3", "i4", "i5"}));
    EXPECT_EQ(list->GetRow(2)->GetValue(), 1.0) << "the selected item's row shows it";
    Press(*list, Keys::kUp);
    Press(*list, Keys::kUp);
    Press(*list, Keys::kUp);
    EXPECT_EQ(list->GetCaret(), 2);
    EXPECT_EQ(list->GetTopIndex(), 2);
    list->SelectItem(9, -1, true);
    EXPECT_EQ(list->GetTopIndex(), 7) << "the last items fill the rows";
    EXPECT_EQ(RowTexts(*list), (std::vector<std::string>{"i7", "i8", "i9"}));
    EXPECT_EQ(list->GetRowCount(), 3u);
}

TEST_F(ListBoxFixture, ScrollOffsetPicksTheTopItemPastHiddenOnes)
{
    struct Row {
        const char* what;
        double offset;
        int32_t top;
        std::vector<std::string> rows;
    };
    // Item 1 is hidden: offsets count the items that are shown.
    const Row rows[] = {
        {"top", 0, 0, {"i0", "i2", "i3"}},
        {"one row down skips the hidden item", 20, 2, {"i2", "i3", "i4"}},
        {"part of a row rounds down", 59, 3, {"i3", "i4", "i5"}},
        {"back up", 0, 0, {"i0", "i2", "i3"}},
    };
    RCPtr<LListBox> list = MakeList(Items({u"i0", u"i1", u"i2", u"i3", u"i4", u"i5", u"i6", u"i7"}));
    list->GetItem(1)->hidden = 1;
    list->SetScrollOffset({0, 20});
    list->SetScrollOffset({0, 0});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        list->SetScrollOffset({0, row.offset});
        EXPECT_EQ(list->GetTopIndex(), row.top);
        EXPECT_EQ(RowTexts(*list), row.rows);
    }
}

TEST_F(ListBoxFixture, ResizingKeepsRowsInsideAndTheLastItemsShown)
{
    RCPtr<LListBox> list = MakeList(Items({u"i0", u"i1", u"i2", u"i3", u"i4", u"i5", u"i6", u"i7", u"i8", u"i9"}));
    list->SelectItem(9, -1, true);
    ASSERT_EQ(list->GetTopIndex(), 7);
    struct Step {
        const char* what;
        double height;
        uint32_t rows;
        std::vector<bool> shown;
        int32_t top;
    };
    const Step steps[] = {
        {"taller: rows are added and the top moves up", 100, 5, {true, true, true, true, true}, 5},
        {"shorter: rows below are hidden", 40, 5, {true, true, false, false, false}, 5},
        {"a part row still shows", 45, 5, {true, true, true, false, false}, 5},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        ControlLayout layout = list->GetLayout();
        layout.size[1].offset = step.height;
        list->SetLayout(layout);
        EXPECT_GE(list->UpdateLayout(), 0);
        EXPECT_EQ(list->GetRowCount(), step.rows);
        std::vector<bool> shown;
        for (uint32_t r = 0; r < list->GetRowCount(); ++r) shown.push_back(list->GetRow(r)->GetLayout().isVisible);
        EXPECT_EQ(shown, step.shown);
        EXPECT_EQ(list->GetTopIndex(), step.top);
    }
    list->SelectItem(9, -1, true);
    EXPECT_EQ(list->GetTopIndex(), 8) << "two rows fully inside show the last two items";
}

TEST_F(ListBoxFixture, SnapHeightToRowsKeepsWholeRows)
{
    struct Row {
        double height;
        double snapped;
    };
    const Row rows[] = {{60, 60}, {79, 60}, {12, 20}, {0, 20}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.height);
        RCPtr<LListBox> list = MakeList(Items({u"a"}), row.height);
        list->SnapHeightToRows();
        const ControlLayout& layout = list->GetLayout();
        for (const LayoutRecord& record : {layout.size[1], layout.minimum[1], layout.limit[1]}) {
            EXPECT_EQ(record.kind, LayoutKind::kSelf);
            EXPECT_DOUBLE_EQ(record.offset, row.snapped);
        }
        list->Close();
    }
}

TEST_F(ListBoxFixture, SelectionByMouseOnRows)
{
    RCPtr<LListBox> list = MakeList(Items({u"a", u"b", u"c"}));
    LListBoxItem* row = list->GetRow(1);
    row->HandleMouseDown(LMouseButtonParam::Create(1, {2, 2}, 0, false, 1, 0));
    row->HandleMouseUp(LMouseButtonParam::Create(1, {2, 2}, 0, false, 0, 0));
    EXPECT_EQ(list->GetSelectedIndexes(), (std::vector<int32_t>{1}));
    EXPECT_EQ(Count("NID_SELECTION_CHANGE"), 1);
    row->HandleMouseDown(LMouseButtonParam::Create(1, {2, 2}, 0, true, 1, 0));
    row->HandleMouseUp(LMouseButtonParam::Create(1, {2, 2}, 0, false, 0, 0));
    EXPECT_EQ(Count("NID_SELECTION_CHANGE"), 1) << "the only selected item again";
    EXPECT_EQ(Count("NID_ITEM_DOUBLE_CLICKED"), 1);
    list->GetRow(0)->HandleMouseDown(LMouseButtonParam::Create(4, {2, 2}, 0, false, 4, 0));
    EXPECT_EQ(list->GetSelectedIndexes(), (std::vector<int32_t>{1})) << "only the left button selects";
}

TEST_F(ListBoxFixture, KeysMoveTheSelectionAndEnterActivates)
{
    RCPtr<LListBox> list = MakeList(Items({u"a", u"b", u"c"}));
    EXPECT_EQ(Press(*list, Keys::kUp), 0);
    EXPECT_EQ(list->GetCaret(), -1) << "Up with no current item";
    Press(*list, Keys::kDown);
    EXPECT_EQ(list->GetCaret(), 0);
    Press(*list, Keys::kDown, KeyCode::kShift);
    Press(*list, Keys::kDown);
    Press(*list, Keys::kDown);
    EXPECT_EQ(list->GetSelectedIndexes(), (std::vector<int32_t>{2}));
    EXPECT_EQ(Press(*list, Keys::kReturn), 0);
    EXPECT_EQ(Count("NID_ITEM_ACTIVATED"), 1);
    EXPECT_EQ(Press(*list, 'A'), kNotHandled);
}

// Ten items, three rows shown, and a vertical bar beside them.
class ScrolledListFixture : public ListBoxFixture {
protected:
    void SetUp() override
    {
        std::vector<std::pair<String, String>> items;
        for (int i = 0; i < 10; ++i) items.push_back({String(u"ITEM.") + String(std::to_string(i).c_str()), u"x"});
        rowApp.solveLayouts = true;
        list = MakeList(std::move(items), 60, true);
        bar = list->GetBar(1);
        ASSERT_NE(bar, nullptr);
    }
    QVResult Key(uint32_t vk, uint32_t mods = 0)
    {
        RCPtr<LKeyParam> key(new LKeyParam(KeyPress(vk, mods)));
        return list->OnKeyDown(key);
    }

    RCPtr<LListBox> list;
    LScrollbar* bar = nullptr;
};

TEST_F(ScrolledListFixture, ScrollKeysReachTheBarThroughItsKeyEntry)
{
    ASSERT_DOUBLE_EQ(bar->pageStep, 3.0 / 7);
    struct Row {
        const char* what;
        uint32_t vk, mods;
        int32_t top;
    } rows[] = {
        {"Page Down", Keys::kPageDown, 0, 3},
        {"Page Down again", Keys::kPageDown, 0, 6},
        {"Page Down stops at the last page", Keys::kPageDown, 0, 7},
        {"Page Up", Keys::kPageUp, 0, 4},
        {"Home", Keys::kHome, 0, 0},
        {"End", Keys::kEnd, 0, 7},
        {"Right is the horizontal bar's, and this list has none", Keys::kRight, 0, 7},
        {"Shift+Page Up is no scroll key of the bar", Keys::kPageUp, KeyCode::kShift, 7},
        {"Page Up once more", Keys::kPageUp, 0, 4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const QVResult result = Key(row.vk, row.mods);
        EXPECT_EQ(result, row.mods ? kNotHandled : S_OK);
        EXPECT_EQ(list->GetTopIndex(), row.top);
    }
}

TEST_F(ScrolledListFixture, TheBarTakesItsKeysWhoeverOffersThem)
{
    bar->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(KeyPress(Keys::kPageDown))));
    EXPECT_EQ(list->GetTopIndex(), 3) << "its own key entry";
    EXPECT_EQ(bar->SetKeyMask(0x7F), S_OK);
    bar->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(KeyPress(Keys::kEnd))));
    EXPECT_EQ(list->GetTopIndex(), 3) << "End is masked off";
    EXPECT_EQ(bar->SetKeyMask(0x1FF), E_INVALIDARG);
    bar->HandleKeyDown(RCPtr<LKeyParam>(new LKeyParam(KeyPress(Keys::kEnd))));
    EXPECT_EQ(list->GetTopIndex(), 7) << "the low byte is kept";
}

// The frame shows its disabled look, else its focused one, else the normal
// one; a look the skin lacks shows the normal one.
TEST_F(ListBoxFixture, FrameLookFollowsEnabledAndFocus)
{
    struct Step {
        const char* what;
        bool enabled, focused;
        int32_t threeLooks, twoLooks;
    };
    const Step steps[] = {
        {"focused", true, true, LListBox::kFocused, LListBox::kNormal},
        {"disabled", false, true, LListBox::kDisabled, LListBox::kDisabled},
        {"enabled again", true, true, LListBox::kFocused, LListBox::kNormal},
        {"disabled again", false, true, LListBox::kDisabled, LListBox::kDisabled},
        {"enabled, focus gone", true, false, LListBox::kNormal, LListBox::kNormal},
    };
    for (uint32_t looks : {3u, 2u}) {
        SCOPED_TRACE(std::to_string(looks) + " looks");
        RCPtr<LListBox> list = MakeList(Items({u"a"}), 60, false, looks);
        RCPtr<TestControl> other = Make(top.Get(), u"other", 0, 100, 10, 10);
        other->SetNotFocusable(false);
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            list->SetEnabled(step.enabled);
            if (step.focused && step.enabled) {
                ASSERT_EQ(list->SetFocus(true), S_OK);
            } else if (!step.focused) {
                ASSERT_EQ(other->SetFocus(true), S_OK);
            }
            EXPECT_EQ(list->GetFirstVisiblePartIndex(), looks == 3 ? step.threeLooks : step.twoLooks);
        }
        other->Close();
        list->Close();
    }
}

TEST_F(ListBoxFixture, SetItemStoresTheWholeRecordQuietly)
{
    RCPtr<LListBox> list = MakeList(Items({u"a", u"b", u"c", u"d"}));
    log->Clear();
    EXPECT_EQ(list->SetItem(1, u"bee", 1.0, true, false), S_OK);
    EXPECT_EQ(Texts(*list), (std::vector<std::string>{"a", "bee", "c", "d"}));
    EXPECT_EQ(Narrow(list->GetRow(1)->GetText().GetChars()), "bee");
    EXPECT_EQ(list->GetRow(1)->GetValue(), 1.0);
    EXPECT_EQ(list->GetRow(1)->GetFirstVisiblePartIndex(), 10) << "selected and marked";
    EXPECT_EQ(list->GetSelectedCount(), 1);
    EXPECT_TRUE(list->GetItemMarked(1));
    EXPECT_EQ(list->SetItem(1, u"b", 0.0, false, true), S_OK);
    EXPECT_EQ(list->GetSelectedCount(), 0);
    EXPECT_EQ(list->GetRow(1)->GetFirstVisiblePartIndex(), 13) << "a separator";
    EXPECT_TRUE(log->names.empty()) << "no notification";
    EXPECT_EQ(list->SetItem(4, u"x", 1.0, false, false), E_INVALIDARG);
    EXPECT_EQ(list->SetItem(-1, u"x", 1.0, false, false), E_INVALIDARG);
    EXPECT_EQ(list->GetItemCount(), 4);
}

TEST_F(ListBoxFixture, ItemFlagsRectsAndRowLooksTable)
{
    RCPtr<LListBox> list = MakeList(Items({u"a", u"b", u"c", u"d", u"e"}));  // rows show a, b and c
    struct Row {
        const char* what;
        std::function<int32_t()> act;
        int32_t result;
        int32_t row;   // -1: no row to look at
        int32_t part;  // the row's shown look afterwards
    };
    const Row rows[] = {
        {"marked", [&] { return list->SetItemMarked(2, true); }, 1, 2, 3},
        {"unmarked", [&] { return list->SetItemMarked(2, false); }, 1, 2, 0},
        {"marked past the end", [&] { return list->SetItemMarked(5, true); }, 0, -1, 0},
        {"separator", [&] { return list->SetItemSeparator(0, true); }, 1, 0, 13},
        {"separator off", [&] { return list->SetItemSeparator(0, false); }, 1, 0, 0},
        {"separator past the end", [&] { return list->SetItemSeparator(7, true); }, 0, -1, 0},
        {"an item off the rows keeps its flag", [&] { return list->SetItemMarked(4, true); }, 1, -1, 0},
        {"active shows the hover look", [&] { return list->SetItemActive(1, true); }, S_OK, 1, 1},
        {"inactive again", [&] { return list->SetItemActive(1, false); }, S_OK, 1, 0},
        {"active without a row", [&] { return list->SetItemActive(4, true); }, E_INVALIDARG, -1, 0},
        {"a row part", [&] { return list->ShowItemRowPart(2, 9); }, S_OK, 2, 9},
        {"a part the row lacks", [&] { return list->ShowItemRowPart(2, 14); }, E_INVALIDARG, 2, 9},
        {"a part of an item without a row", [&] { return list->ShowItemRowPart(3, 1); }, E_INVALIDARG, -1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.act(), row.result);
        if (row.row >= 0) {
            EXPECT_EQ(list->GetRow(static_cast<uint32_t>(row.row))->GetFirstVisiblePartIndex(), row.part);
        }
    }
    EXPECT_TRUE(list->GetItemMarked(4));
    EXPECT_FALSE(list->GetItemMarked(2));
    EXPECT_FALSE(list->GetItemMarked(9));

    EXPECT_GT(list->GetItemRect(1).y, list->GetItemRect(0).y);
    EXPECT_EQ(list->GetItemRect(1), list->GetRow(1)->GetFrame());
    EXPECT_EQ(list->GetItemRect(4), DoubleRect{}) << "no row shows it";
    EXPECT_EQ(list->EnsureVisible(4), S_OK);
    EXPECT_EQ(list->GetItemRect(4), list->GetRow(2)->GetFrame()) << "the rows follow the scrolling";
    EXPECT_EQ(list->GetRow(2)->GetFirstVisiblePartIndex(), 3) << "the marked item's look came with it";
}

TEST_F(ListBoxFixture, SortingTable)
{
    struct Row {
        int32_t start, count;
        QVResult result;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {0, 5, 0, {"a", "B", "c", "d", "E"}},
        {2, 3, 0, {"d", "B", "a", "c", "E"}},
        {1, 0, 1, {"d", "B", "E", "a", "c"}},
        {3, 3, E_INVALIDARG, {"d", "B", "E", "a", "c"}},
        {-1, 2, E_INVALIDARG, {"d", "B", "E", "a", "c"}},
        {0, -2, E_INVALIDARG, {"d", "B", "E", "a", "c"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.start << "," << row.count);
        RCPtr<LListBox> list = MakeList(Items({u"d", u"B", u"E", u"a", u"c"}));
        list->SelectItem(3, -1, true);
        EXPECT_EQ(list->SortItems(row.start, row.count), row.result);
        EXPECT_EQ(Texts(*list), row.expected);
        EXPECT_EQ(Narrow(list->GetItemText(list->GetCaret()).GetChars()), "a") << "the caret follows its item";
        EXPECT_EQ(list->GetSelectedIndexes(), std::vector<int32_t>{list->GetCaret()});
        list->Close();
    }
}

TEST_F(ListBoxFixture, WidestItemAndCountsFollowTheItems)
{
    RCPtr<LListBox> list = MakeList(Items({u"ab", u"abcd", u"a"}));
    // The template row is 90 pixels wide without text: that is the text margin.
    EXPECT_EQ(list->GetWidestTextWidth(), 90 + 28);
    EXPECT_GE(list->SetItemText(2, u"abcdef"), 0);
    EXPECT_EQ(list->GetWidestTextWidth(), 90 + 42);
    list->RemoveItem(2);
    EXPECT_EQ(list->GetWidestTextWidth(), 90 + 28);
    EXPECT_EQ(list->SetItemCount(-1), E_INVALIDARG);
    EXPECT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->SetItemCount(5), 5);
    EXPECT_EQ(list->GetContentHeight(), 100);
    EXPECT_EQ(list->RemoveItem(7), E_INVALIDARG);
}

TEST_F(ListBoxFixture, RemovingTheOnlySelectedItemClearsAnchorAndCaret)
{
    RCPtr<LListBox> list = MakeList(Items({u"a", u"b", u"c"}));
    list->SelectItem(1, -1, true);
    log->Clear();
    EXPECT_EQ(list->RemoveItem(1), 2);
    EXPECT_EQ(list->GetAnchor(), -1);
    EXPECT_EQ(list->GetCaret(), -1);
    EXPECT_EQ(Count("NID_SELECTION_CHANGE"), 1);
    EXPECT_EQ(RowTexts(*list), (std::vector<std::string>{"a", "c", ""}));
    EXPECT_FALSE(list->GetRow(2)->IsEnabledInTree(false));
}

// An item that already shows whole keeps the list where it is (a hovered menu
// row must not scroll away under the pointer); any other comes into view at
// the nearer edge.
TEST_F(ListBoxFixture, EnsureVisibleMovesOnlyForAnItemNotShownWhole)
{
    struct Row {
        const char* what;
        int32_t index;
        int32_t top;
    };
    // 70 pixels: items 3, 4 and 5 show whole from top 3, item 6 only in part.
    const Row rows[] = {
        {"the top row stays", 3, 3},
        {"a middle row stays", 4, 3},
        {"the last whole row stays", 5, 3},
        {"a row shown in part comes up to the bottom", 6, 4},
        {"a row below comes up to the bottom", 8, 6},
        {"the last item never scrolls past the end", 9, 7},
        {"a row above becomes the top", 1, 1},
    };
    RCPtr<LListBox> list = MakeList(Items({u"i0", u"i1", u"i2", u"i3", u"i4", u"i5", u"i6", u"i7", u"i8", u"i9"}), 70);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        list->SetScrollOffset({0, 60});
        ASSERT_EQ(list->GetTopIndex(), 3);
        EXPECT_EQ(list->EnsureVisible(row.index), S_OK);
        EXPECT_EQ(list->GetTopIndex(), row.top);
    }
    EXPECT_EQ(list->EnsureVisible(10), E_INVALIDARG) << "past the end";
}

// A range whose end lies past the last item is refused whole: nothing changes
// and no selection change is sent.
TEST_F(ListBoxFixture, SelectItemRefusesARangePastTheEnd)
{
    struct Row {
        const char* what;
        int32_t first, last;
        int32_t result;
        std::vector<int32_t> selected;
    };
    const Row rows[] = {
        {"a last past the end", 1, 5, E_INVALIDARG, {2}},
        {"a first past the end", 5, 1, E_INVALIDARG, {2}},
        {"a negative first", -1, 2, E_INVALIDARG, {2}},
        {"up to the last item", 1, 4, 1, {1, 2, 3, 4}},
        {"backwards to the first", 4, 0, 4, {0, 1, 2, 3, 4}},
    };
    RCPtr<LListBox> list = MakeList(Items({u"a", u"b", u"c", u"d", u"e"}));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_EQ(list->SelectItem(2, -1, true), 2);
        log->Clear();
        EXPECT_EQ(list->SelectItem(row.first, row.last, true), row.result);
        EXPECT_EQ(list->GetSelectedIndexes(), row.selected);
        EXPECT_EQ(Count("NID_SELECTION_CHANGE"), row.result < 0 ? 0 : 1);
    }
}

TEST_F(ListBoxFixture, FindAndSelectSearchesAfterTheStartThenWraps)
{
    RCPtr<LListBox> list = MakeList(Items({u"x", u"y", u"X", u"z", u"w"}));
    EXPECT_EQ(list->FindAndSelectItem(u"x", 3, false), 0);
    EXPECT_EQ(list->FindAndSelectItem(u"x", 0, false), 2);
    EXPECT_EQ(list->FindAndSelectItem(u"x", 2, true), 0);
    EXPECT_EQ(list->FindAndSelectItem(u"q", 9, true), -1);
    EXPECT_EQ(list->FindItemByText(u"x", false), 2) << "the last match";
}

TEST_F(ListBoxFixture, MenuModeSelectsOnHoverAndActivatesOnRelease)
{
    RCPtr<LListBox> list = MakeList(Items({u"a", u"b", u"c"}));
    list->SetMenuMode(true);
    list->GetRow(1)->OnMouseEnter();
    EXPECT_EQ(list->GetSelectedIndexes(), (std::vector<int32_t>{1}));
    list->GetRow(1)->HandleMouseDown(LMouseButtonParam::Create(1, {2, 2}, 0, false, 1, 0));
    EXPECT_EQ(list->GetSelectedIndexes(), (std::vector<int32_t>{1})) << "a press selects nothing more";
    list->OnLeftMouseUp(LMouseButtonParam::Create(1, {5, 25}, 0, false, 0, 0));
    EXPECT_EQ(Count("NID_SELECTION_CHANGE"), 0);
    EXPECT_EQ(Count("NID_ITEM_ACTIVATED"), 1);
    EXPECT_FALSE(list->GetLayout().isVisible);
}

TEST_F(ListBoxFixture, NumberedSkinRowsGiveTheItemsWithoutATemplate)
{
    // "item4" is not reached: the numbers stop at the first gap.
    RCPtr<LListBox> list =
        MakeListWithRows({{u"item1", u"one"}, {u"item2", u"two"}, {u"item3", u"three"}, {u"item5", u"five"}});
    EXPECT_EQ(Texts(*list), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(list->GetRowCount(), 3u);
    EXPECT_EQ(list->GetRowHeight(), 20);
    EXPECT_EQ(list->GetRow(1), list->FindChildControl(u"item2").Get());
    log->Listen(list.Get(), {u"NID_ITEM_HOVER_CONDITION_CHANGE"});
    list->GetRow(2)->HandleMouseDown(LMouseButtonParam::Create(1, {2, 2}, 0, false, 1, 0));
    EXPECT_EQ(list->GetSelectedIndexes(), (std::vector<int32_t>{2})) << "the rows are wired like cloned ones";
}

TEST_F(ListBoxFixture, SetParentTakesRowsAndOnlyATemplateDescriptor)
{
    RCPtr<LListBox> list = MakeListWithRows({{u"item1", u"one"}, {u"item2", u"two"}});
    RCPtr<FakeDescriptor> templ(new FakeDescriptor(u"templateItem"));
    templ->lookCount = 14;
    templ->layout.size[1].offset = 30;
    RCPtr<FakeDescriptor> other(new FakeDescriptor(u"header"));
    RCPtr<LListBoxItem> stray(new LListBoxItem(nullptr, u"item1"));
    struct Row {
        const char* what;
        RCPtr<LControl> child;
        RCPtr<IControlDescriptor> descriptor;
        QVResult result;
    };
    const Row rows[] = {
        {"a kept row without a descriptor is left alone", RCPtr<LControl>(stray.Get()), nullptr, S_OK},
        {"no control, a template", nullptr, RCPtr<IControlDescriptor>(templ.Get()), S_OK},
        {"no control, another descriptor", nullptr, RCPtr<IControlDescriptor>(other.Get()), E_FAIL},
        {"nothing at all", nullptr, nullptr, E_FAIL},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(list->SetParent(row.child, row.descriptor), row.result);
    }
    EXPECT_EQ(stray->GetParent(), nullptr);
    EXPECT_EQ(list->GetRowHeight(), 30) << "measured with a row made from the template";
    EXPECT_EQ(list->GetRow(1), list->FindChildControl(u"item2").Get()) << "closing the measuring row keeps the rows";
    EXPECT_EQ(list->GetChildren().GetCount(), list->GetRowCount()) << "no row left behind unlisted";
    EXPECT_TRUE(list->FindChildControl(u"templateItem").IsNull()) << "the measuring row is closed again";
}

TEST_F(ListBoxFixture, ExpandingTemplateWidensTheListToItsWidestItem)
{
    struct Row {
        const char* what;
        int32_t overflow;
        double before, after;  // the list's layout width
    };
    // Text margin 90, 7 pixels a character.
    const Row rows[] = {
        {"expand", 1, 90 + 28, 90 + 42},
        {"clip keeps the skin width", 0, 100, 100},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RCPtr<LListBox> list(new LListBox(top.Get(), u"list"));
        RCPtr<FakeDescriptor> d(new FakeDescriptor(u"list"));
        d->lookCount = 3;
        d->attributes = Items({u"ab", u"abcd"});
        d->layout.size[0].offset = 100;
        d->layout.size[1].offset = 60;
        list->ApplyDescriptor(d);
        RCPtr<FakeDescriptor> t(new FakeDescriptor(u"templateItem"));
        t->lookCount = 14;
        t->layout.size[0].offset = 90;
        t->layout.size[1].offset = 20;
        t->layout.textOverflow[0] = row.overflow;
        RCPtr<LListBoxItem> templ(new LListBoxItem(list.Get(), u"templateItem"));
        templ->ApplyDescriptor(t);
        list->Initialize();
        list->SetInitialized(true);
        EXPECT_DOUBLE_EQ(list->GetLayout().size[0].offset, row.before);
        EXPECT_GE(list->SetItemText(0, u"abcdef"), 0);
        EXPECT_DOUBLE_EQ(list->GetLayout().size[0].offset, row.after);
        list->Close();
    }
}

TEST_F(ListBoxFixture, MenuModeHeightFollowsTheItems)
{
    RCPtr<LListBox> list = MakeList(Items({u"a", u"b"}));
    list->SetMenuMode(true);
    struct Step {
        const char* what;
        std::function<void()> change;
        double height;
    };
    const Step steps[] = {
        {"an item added", [&] { list->InsertItemWithText(2, u"c"); }, 60},
        {"an item removed", [&] { list->RemoveItem(0); }, 40},
        {"a count set", [&] { list->SetItemCount(5); }, 100},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        EXPECT_EQ(list->GetLayout().size[1].kind, LayoutKind::kSelf);
        EXPECT_DOUBLE_EQ(list->GetLayout().size[1].offset, step.height);
    }
}

// Filling a list in one go ends where filling it item by item does: the
// same items, rows, widest text and menu height, plain or as a menu.
TEST_F(ListBoxFixture, AppendedItemsEndAsItemsInsertedOneByOne)
{
    const std::vector<String> texts{u"ab", u"abcdef", u"a", u"abcd", u"x"};
    for (const bool menu : {false, true}) {
        SCOPED_TRACE(menu ? "menu" : "plain list");
        RCPtr<LListBox> single = MakeList(Items({u"first"}));
        single->SetMenuMode(menu);
        for (const String& text : texts) single->InsertItemWithText(single->GetItemCount(), text);
        const std::vector<std::string> items = Texts(*single), rows = RowTexts(*single);
        const int32_t widest = single->GetWidestTextWidth();
        const DoubleRect frame = single->GetFrame();
        single->Close();

        RCPtr<LListBox> batch = MakeList(Items({u"first"}));
        batch->SetMenuMode(menu);
        EXPECT_EQ(batch->AppendItemsWithText(texts), S_OK);
        EXPECT_EQ(Texts(*batch), items);
        EXPECT_EQ(RowTexts(*batch), rows);
        EXPECT_EQ(batch->GetWidestTextWidth(), widest);
        EXPECT_DOUBLE_EQ(batch->GetFrame().height, frame.height);
        EXPECT_DOUBLE_EQ(batch->GetFrame().width, frame.width);
        batch->Close();
    }
}

TEST_F(ListBoxFixture, RowNotificationsNameTheItemShown)
{
    RCPtr<LListBox> list = MakeList(Items({u"i0", u"i1", u"i2", u"i3", u"i4", u"i5"}));
    list->SelectItem(5, -1, true);
    ASSERT_EQ(list->GetTopIndex(), 3);
    std::vector<int32_t> items, hovers;
    log->Listen(list.Get(), {u"NID_ITEM_HOVER_CONDITION_CHANGE", u"NID_ITEM_LEFT_DRAG_CONDITION_CHANGE"});
    log->onReceive = [&](const RCPtr<LNotification>& n) {
        if (auto* p = dynamic_cast<LItemConditionsParam*>(n->GetPayload().Get())) {
            items.push_back(p->itemIndex);
            hovers.push_back(p->hover);
        }
    };
    list->GetRow(1)->OnMouseEnter();
    list->GetRow(1)->OnMouseLeave();
    EXPECT_EQ(Count("NID_ITEM_HOVER_CONDITION_CHANGE"), 2);
    EXPECT_EQ(items, (std::vector<int32_t>{4, 4})) << "the second row shows item 4";
    EXPECT_EQ(hovers, (std::vector<int32_t>{1, 0}));
    list->GetRow(2)->SetEnabled(false);
    list->GetRow(2)->OnMouseEnter();
    EXPECT_EQ(Count("NID_ITEM_HOVER_CONDITION_CHANGE"), 2) << "a disabled row is quiet";
    log->onReceive = nullptr;
}

// Applying a descriptor again drops the rows of the old template with the old
// children; the new descriptor's template makes them again, and the rows
// then show the items from the top one.
TEST_F(ListBoxFixture, ApplyingADescriptorAgainRemakesTheRows)
{
    struct Row {
        const char* what;
        double templateHeight;  // 0: the new descriptor has no template
        int32_t rowHeight;
        std::vector<std::string> rows;
    };
    const Row rows[] = {
        {"the same template", 20, 20, {"i3", "i4", "i5"}},
        {"a taller template needs fewer rows", 30, 30, {"i3", "i4"}},
        {"without a template no row is left behind", 0, 20, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RCPtr<LListBox> list = MakeList(Items({u"i0", u"i1", u"i2", u"i3", u"i4", u"i5", u"i6", u"i7", u"i8", u"i9"}));
        EXPECT_GE(list->EnsureVisible(5), 0);
        ASSERT_EQ(list->GetTopIndex(), 3);
        RCPtr<FakeDescriptor> d(new FakeDescriptor(u"list"));
        d->lookCount = 3;
        d->layout.size[0].offset = 100;
        d->layout.size[1].offset = 60;
        if (row.templateHeight > 0) {
            RCPtr<FakeDescriptor> t(new FakeDescriptor(u"templateItem"));
            t->lookCount = 14;
            t->layout.size[0].offset = 90;
            t->layout.size[1].offset = row.templateHeight;
            d->children.push_back(RCPtr<IControlDescriptor>(t.Get()));
        }

        ASSERT_EQ(list->ApplyDescriptor(d), S_OK);

        EXPECT_EQ(list->GetRowHeight(), row.rowHeight);
        EXPECT_EQ(list->GetItemCount(), 10) << "the items stay";
        EXPECT_EQ(list->GetChildren().GetCount(), list->GetRowCount()) << "every row is a child and no child a stale row";
        ASSERT_EQ(list->GetRowCount(), row.rows.size());
        for (uint32_t r = 0; r < list->GetRowCount(); ++r) {
            ASSERT_NE(list->GetRow(r), nullptr);
            EXPECT_EQ(list->GetRow(r)->GetParent(), list.Get());
        }
        EXPECT_EQ(RowTexts(*list), row.rows);
        list->Close();
    }
}

// Skin rows named again by the new descriptor stay the list's rows.
TEST_F(ListBoxFixture, ApplyingADescriptorAgainKeepsTheNamedSkinRows)
{
    RCPtr<LListBox> list = MakeListWithRows({{u"item1", u"one"}, {u"item2", u"two"}});
    RCPtr<FakeDescriptor> d(new FakeDescriptor(u"list"));
    d->lookCount = 3;
    d->layout.size[0].offset = 100;
    d->layout.size[1].offset = 60;
    for (const char16_t* name : {u"item1", u"item2"}) {
        RCPtr<FakeDescriptor> r(new FakeDescriptor(name));
        r->lookCount = 14;
        r->layout.size[1].offset = 20;
        d->children.push_back(RCPtr<IControlDescriptor>(r.Get()));
    }
    ASSERT_EQ(list->ApplyDescriptor(d), S_OK);
    ASSERT_EQ(list->GetRowCount(), 2u);
    EXPECT_EQ(list->GetRow(0), list->FindChildControl(u"item1").Get());
    EXPECT_EQ(list->GetRow(1), list->FindChildControl(u"item2").Get());
    EXPECT_EQ(RowTexts(*list), (std::vector<std::string>{"one", "two"}));
}

// Rows have no tip of their own: the root window walks up to the list's.
TEST_F(ListBoxFixture, RowsUseTheListsToolTip)
{
    RCPtr<LListBox> cloned = MakeList(Items({u"a", u"b"}));
    ASSERT_GT(cloned->GetRowCount(), 0u);
    for (uint32_t r = 0; r < cloned->GetRowCount(); ++r) EXPECT_TRUE(cloned->GetRow(r)->UsesParentToolTip());
    cloned->Close();
    RCPtr<LListBox> skinRows = MakeListWithRows({{u"item1", u"one"}});
    EXPECT_TRUE(skinRows->GetRow(0)->UsesParentToolTip());
}

// Scrolling rebinds the focused row to another item; it is hidden and shown
// again, so that it keeps nothing of the item it showed before.
TEST_F(ListBoxFixture, ScrollingHidesAndShowsTheFocusedRowAgain)
{
    RCPtr<LListBox> list = MakeList(Items({u"i0", u"i1", u"i2", u"i3", u"i4", u"i5", u"i6", u"i7", u"i8", u"i9"}));
    RCPtr<NotificationLog> rowLog(new NotificationLog());
    for (uint32_t r = 0; r < list->GetRowCount(); ++r) rowLog->Listen(list->GetRow(r), {u"NID_VISIBLITY_CONDITION_CHANGE"});
    const struct {
        const char* what;
        bool focusRow;
        int32_t scrollTo;
        size_t changes;
    } rows[] = {
        {"a focused row, the top item changes", true, 5, 2},
        {"a focused row, the top item stays", true, 5, 0},
        {"no row has the focus", false, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        rowLog->Clear();
        root->focus = row.focusRow ? static_cast<LControl*>(list->GetRow(1)) : list.Get();
        list->EnsureVisible(row.scrollTo);
        EXPECT_EQ(rowLog->names.size(), row.changes);
        if (row.changes > 0) {
            EXPECT_EQ(rowLog->senders, (std::vector<std::string>{"ItemControl2", "ItemControl2"}));
        }
        EXPECT_TRUE(list->GetRow(1)->GetLayout().isVisible);
    }
    root->focus = nullptr;
}

}  // namespace
}  // namespace control_test
