#include <algorithm>

#include "ControlsTestSupport.h"
#include "LComboBox.h"
#include "LTextBox.h"
#include "LTextValidationParams.h"
#include "ListTestSupport.h"

namespace controls_test {
namespace {

using namespace list_test;

struct ComboSetup {
    std::vector<std::pair<String, String>> attributes = Items({u"alpha", u"beta", u"gamma"});
    double top = 10;         // the combo's top in the 300-pixel window
    double skinMaximum = 0;  // the list's maximum height in its skin
    double listHeight = 60;  // the list's height in its skin
    bool textBox = false;
};

class ComboBoxFixture : public ::testing::Test {
protected:
    ComboBoxFixture() : scope(app), root(new FakeRootWindow())
    {
        root->height = 300;
        top = Add<TestControl>(nullptr, u"top", 400, 300);
        top->SetNotFocusable(false);
        root->top = top.Get();
    }
    ~ComboBoxFixture() override
    {
        log->UnregisterAllNotifications();
        top->Close();
    }

    template <class C>
    RCPtr<C> Add(LControl* parent, const char16_t* name, double w, double h, double x = 0, double y = 0)
    {
        RCPtr<C> c(new C(parent, name));
        RCPtr<FakeDescriptor> d(new FakeDescriptor(name));
        d->layout.position[0] = Rec(LayoutKind::kClient, x);
        d->layout.position[1] = Rec(LayoutKind::kClient, y);
        d->layout.size[0] = Rec(LayoutKind::kSelf, w);
        d->layout.size[1] = Rec(LayoutKind::kSelf, h);
        d->lookCount = 7;
        c->ApplyDescriptor(d);
        // A top control is laid out against the window that shows it.
        if (!parent) {
            EXPECT_GE(c->AttachToRootWindow(RCPtr<IRootWindow>(root.Get())), 0);
        }
        EXPECT_GE(c->UpdateLayout(), 0);
        return c;
    }

    RCPtr<LComboBox> MakeCombo(const ComboSetup& setup = {})
    {
        RCPtr<LComboBox> combo(new LComboBox(top.Get(), u"combo"));
        RCPtr<FakeDescriptor> d(new FakeDescriptor(u"combo"));
        d->attributes = setup.attributes;
        d->lookCount = 7;
        d->layout.position[0] = Rec(LayoutKind::kClient, 10);
        d->layout.position[1] = Rec(LayoutKind::kClient, setup.top);
        d->layout.size[0] = Rec(LayoutKind::kSelf, 100);
        d->layout.size[1] = Rec(LayoutKind::kSelf, 20);
        combo->ApplyDescriptor(d);
        combo->LoadProperties();
        combo->SetNotFocusable(false);
        EXPECT_GE(combo->UpdateLayout(), 0);

        RCPtr<FakeDescriptor> l(new FakeDescriptor(u"listBox"));
        l->lookCount = 3;
        l->layout.clipToParent = false;
        l->layout.size[0] = Rec(LayoutKind::kSelf, 100);
        l->layout.size[1] = Rec(LayoutKind::kSelf, setup.listHeight);
        l->layout.limit[1] = Rec(LayoutKind::kSelf, setup.skinMaximum);
        RCPtr<LListBox> list(new LListBox(combo.Get(), u"listBox"));
        list->ApplyDescriptor(l);
        list->SetNotFocusable(false);
        RCPtr<FakeDescriptor> t(new FakeDescriptor(u"templateItem"));
        t->lookCount = 14;
        t->layout.size[0] = Rec(LayoutKind::kParent, 0, 1.0f);
        t->layout.size[1] = Rec(LayoutKind::kSelf, 20);
        RCPtr<LListBoxItem> templ(new LListBoxItem(list.Get(), u"templateItem"));
        templ->ApplyDescriptor(t);
        if (setup.textBox) {
            RCPtr<LTextBox> text = Add<LTextBox>(combo.Get(), u"textBox", 80, 20);
            text->SetNotFocusable(false);
        }
        InitializeTree(combo.Get());
        log->Listen(combo.Get(), {u"NID_SELECTION_CHANGE", u"NID_DROPDOWN_OPENING", u"NID_TEXTBOX_VALIDATING",
                                  u"NID_TEXTBOX_VALIDATED", u"NID_TEXTBOX_TEXT_CHANGE"});
        return combo;
    }

    int Count(const char* name) const
    {
        return static_cast<int>(std::count(log->names.begin(), log->names.end(), name));
    }
    static std::string Text(const LControl& c) { return Narrow(c.GetText().GetChars()); }
    static RCPtr<LKeyParam> Key(uint32_t vk) { return RCPtr<LKeyParam>(new LKeyParam(KeyPress(vk))); }

    RowApplication app{true};
    ScopedControlApplication scope;
    RCPtr<FakeRootWindow> root;
    RCPtr<TestControl> top;
    RCPtr<NotificationLog> log{new NotificationLog()};
};

TEST_F(ComboBoxFixture, InitialIndexSelectsQuietly)
{
    struct Row {
        const char* what;
        std::vector<std::pair<String, String>> attributes;
        int32_t selected;
        const char* text;
    };
    auto with = [](const char16_t* index) {
        auto a = Items({u"alpha", u"beta", u"gamma"});
        a.push_back({u"INITIAL_SELECTED_INDEX", index});
        return a;
    };
    const Row rows[] = {
        {"no property: the first item", Items({u"alpha", u"beta", u"gamma"}), 0, "alpha"},
        {"the last item", with(u"2"), 2, "gamma"},
        {"at the count: nothing", with(u"3"), -1, ""},
        {"negative: nothing", with(u"-1"), -1, ""},
        {"no items", {}, -1, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ComboSetup setup;
        setup.attributes = row.attributes;
        RCPtr<LComboBox> combo = MakeCombo(setup);
        EXPECT_EQ(combo->GetSelectedIndex(), row.selected);
        EXPECT_EQ(Text(*combo), row.text);
        EXPECT_FALSE(combo->IsDropDownOpen());
        EXPECT_EQ(Count("NID_SELECTION_CHANGE"), 0);
        combo->Close();
        log->Clear();
    }
}

TEST_F(ComboBoxFixture, SelectionChangesAreAnnouncedOnlyWhenTheyChange)
{
    RCPtr<LComboBox> combo = MakeCombo();
    struct Step {
        const char* what;
        std::function<int32_t()> act;
        int32_t answer;
        int32_t selected;
        const char* text;
        int notices;
    };
    const Step steps[] = {
        {"another item", [&] { return combo->SetSelectedIndex(2); }, 2, 2, "gamma", 1},
        {"the same again", [&] { return combo->SetSelectedIndex(2); }, 2, 2, "gamma", 1},
        {"past the end", [&] { return combo->SetSelectedIndex(7); }, -1, -1, "gamma", 1},
        {"back to one", [&] { return combo->SetSelectedIndex(1); }, 1, 1, "beta", 2},
        {"none: quiet, the text stays", [&] { return combo->SetSelectedIndex(-1); }, -1, -1, "beta", 2},
        {"text of an item", [&] { return int32_t(combo->SetText(u"alpha")); }, S_OK, 0, "alpha", 3},
        {"text of no item", [&] { return int32_t(combo->SetText(u"delta")); }, S_OK, -1, "delta", 3},
        {"the same text", [&] { return int32_t(combo->SetText(u"delta")); }, 1, -1, "delta", 3},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        EXPECT_EQ(step.act(), step.answer);
        EXPECT_EQ(combo->GetSelectedIndex(), step.selected);
        EXPECT_EQ(Text(*combo), step.text);
        EXPECT_EQ(Count("NID_SELECTION_CHANGE"), step.notices);
        EXPECT_EQ(combo->GetListBox()->GetSelectedIndexes().size(), step.selected < 0 ? 0u : 1u);
    }
}

TEST_F(ComboBoxFixture, InsertingKeepsTheSelectedItemAndAdoptsTheShownText)
{
    RCPtr<LComboBox> combo = MakeCombo();
    combo->SetSelectedIndex(1);
    EXPECT_EQ(combo->InsertItem(0, u"first"), 0);
    EXPECT_EQ(combo->GetSelectedIndex(), 2);
    EXPECT_EQ(Narrow(combo->GetItemText(2).GetChars()), "beta");
    EXPECT_EQ(combo->InsertItem(9, u"far"), E_INVALIDARG);
    EXPECT_EQ(combo->GetItemCount(), 4);

    combo->SetText(u"omega");
    log->Clear();
    EXPECT_EQ(combo->AddItem(u"omega"), 4);
    EXPECT_EQ(combo->GetSelectedIndex(), 4) << "the new item has the shown text";
    EXPECT_EQ(Count("NID_SELECTION_CHANGE"), 1);

    EXPECT_EQ(combo->SetItemCount(2), 2);
    EXPECT_EQ(combo->GetSelectedIndex(), -1) << "the selected item went";
}

TEST_F(ComboBoxFixture, ListOpensOnTheSideWithRoom)
{
    struct Row {
        const char* what;
        double top;
        double skinMaximum;
        bool below;
        double height;
    };
    // Window 300 tall, combo 20 tall, three rows of 20: content 60.
    const Row rows[] = {
        {"room below", 10, 0, true, 60},
        {"near the bottom", 260, 0, false, 60},
        {"skin maximum fits below", 10, 40, true, 40},
        {"skin maximum only above", 250, 40, false, 40},
        {"little room either side", 120, 200, true, 60},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ComboSetup setup;
        setup.top = row.top;
        setup.skinMaximum = row.skinMaximum;
        RCPtr<LComboBox> combo = MakeCombo(setup);
        ASSERT_EQ(combo->ShowList(true), S_OK);
        EXPECT_TRUE(combo->IsDropDownOpen());
        const DoubleRect list = combo->GetListBox()->GetFrame();
        EXPECT_DOUBLE_EQ(list.height, row.height);
        EXPECT_DOUBLE_EQ(list.y, row.below ? 20.0 : -row.height);
        EXPECT_EQ(Count("NID_DROPDOWN_OPENING"), 1);
        combo->Close();
        log->Clear();
    }
}

TEST_F(ComboBoxFixture, OpeningSelectsTheShownItemOrTheFirst)
{
    RCPtr<LComboBox> combo = MakeCombo();
    combo->SetSelectedIndex(2);
    EXPECT_GE(combo->ShowList(true), 0);
    EXPECT_EQ(combo->GetListBox()->GetSelectedIndexes(), (std::vector<int32_t>{2}));
    EXPECT_GE(combo->ShowList(false), 0);
    combo->SetText(u"none of them");
    EXPECT_GE(combo->ShowList(true), 0);
    EXPECT_EQ(combo->GetListBox()->GetSelectedIndexes(), (std::vector<int32_t>{0}));
    EXPECT_EQ(combo->GetSelectedIndex(), -1) << "opening only marks the list";
}

TEST_F(ComboBoxFixture, KeysOpenPickAndClose)
{
    RCPtr<LComboBox> combo = MakeCombo();
    combo->SetFocus(true);
    struct Step {
        const char* what;
        LControl* to;
        uint32_t vk;
        QVResult answer;
        bool open;
        int32_t selected;
    };
    LControl* list = combo->GetListBox().Get();
    const Step steps[] = {
        {"a letter while closed", combo.Get(), 'A', kNotHandled, false, 0},
        {"Down opens", combo.Get(), Keys::kDown, S_OK, true, 0},
        {"Escape closes", combo.Get(), Keys::kEscape, S_OK, false, 0},
        {"Enter opens", combo.Get(), Keys::kReturn, S_OK, true, 0},
        {"Down in the list moves", list, Keys::kDown, S_OK, true, 0},
        {"Enter in the list picks", list, Keys::kReturn, S_OK, false, 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        EXPECT_EQ(step.to->OnKeyDown(Key(step.vk)), step.answer);
        EXPECT_EQ(combo->IsDropDownOpen(), step.open);
        EXPECT_EQ(combo->GetSelectedIndex(), step.selected);
    }
    EXPECT_EQ(Count("NID_SELECTION_CHANGE"), 1);
    EXPECT_TRUE(combo->HasFocus()) << "the focus comes back from the closed list";
}

TEST_F(ComboBoxFixture, PressDragsIntoTheListAndReleasePicks)
{
    RCPtr<LComboBox> combo = MakeCombo();
    RCPtr<LListBox> list = combo->GetListBox();
    struct Row {
        const char* what;
        int32_t releaseX, releaseY;  // in the list
        bool open;
        int32_t selected;
    };
    const Row rows[] = {
        {"over the combo: stays open", 5, -10, true, 0},
        {"over the third item", 5, 45, false, 2},
        {"outside everything: closes", 150, 200, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        combo->SetSelectedIndex(0);
        if (combo->IsDropDownOpen()) {
            EXPECT_GE(combo->ShowList(false), 0);
        }
        root->buttons = 1;
        combo->HandleMouseDown(LMouseButtonParam::Create(1, {5, 5}, 0, false, 1, 0));
        ASSERT_TRUE(combo->IsDropDownOpen());
        EXPECT_EQ(root->capture, list.Get()) << "the press goes on in the list";
        root->buttons = 0;
        list->HandleMouseUp(LMouseButtonParam::Create(1, {row.releaseX, row.releaseY}, 0, false, 0, 0));
        EXPECT_EQ(combo->IsDropDownOpen(), row.open);
        EXPECT_EQ(combo->GetSelectedIndex(), row.selected);
        EXPECT_EQ(root->capture, nullptr);
    }
}

TEST_F(ComboBoxFixture, TypedTextSelectsOrBecomesAnItem)
{
    ComboSetup setup;
    setup.textBox = true;
    RCPtr<LComboBox> combo = MakeCombo(setup);
    RCPtr<LTextBox> text(dynamic_cast<LTextBox*>(combo->FindChildControl(u"textBox").Get()));
    ASSERT_TRUE(text);
    EXPECT_EQ(Text(*text), "alpha") << "the box shows the selected item";
    struct Row {
        const char16_t* typed;
        bool addTyped;
        int32_t selected;
        int32_t count;
    };
    const Row rows[] = {{u"gamma", false, 2, 3}, {u"delta", false, -1, 3}, {u"delta", true, 3, 4}, {u"", true, -1, 4}};
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.typed));
        log->Clear();
        combo->SetAddTypedItems(row.addTyped);
        text->SetText(row.typed);
        text->Validate();
        EXPECT_EQ(combo->GetSelectedIndex(), row.selected);
        EXPECT_EQ(combo->GetItemCount(), row.count);
        EXPECT_EQ(Count("NID_TEXTBOX_VALIDATING"), 1) << "passed on from the combo";
        EXPECT_EQ(Count("NID_TEXTBOX_VALIDATED"), 1);
    }
    EXPECT_GE(combo->ShowList(true), 0);
    text->SetFocus(true);
    EXPECT_FALSE(combo->IsDropDownOpen()) << "typing hides the list";
}

TEST_F(ComboBoxFixture, VisualPartFollowsStateAndListWithoutChildFails)
{
    RCPtr<LComboBox> combo = MakeCombo();
    combo->UpdateVisualPart();
    EXPECT_EQ(combo->GetFirstVisiblePartIndex(), 0);
    EXPECT_EQ(combo->SetFocus(true), S_OK);
    EXPECT_TRUE(combo->HasFocus()) << (root->focus ? Narrow(root->focus->GetName().GetChars()) : "none");
    EXPECT_EQ(combo->GetFirstVisiblePartIndex(), 1);
    EXPECT_GE(combo->ShowList(true), 0);
    EXPECT_EQ(combo->GetFirstVisiblePartIndex(), 4);
    EXPECT_GE(combo->ShowList(false), 0);
    combo->SetEnabled(false);
    EXPECT_EQ(combo->GetFirstVisiblePartIndex(), 6);

    RCPtr<LComboBox> bare(new LComboBox(top.Get(), u"bare"));
    EXPECT_EQ(bare->Initialize(), E_FAIL) << "no list child";
    EXPECT_EQ(bare->SetSelectedIndex(0), -1);
    EXPECT_EQ(bare->ShowList(true), E_FAIL);
    EXPECT_EQ(bare->InsertItem(0, u"x"), E_FAIL);
}

TEST_F(ComboBoxFixture, LongListDropsDownInWholeRowsAndScrolls)
{
    struct Row {
        const char* what;
        double listHeight;
        double opened;
    };
    // Sixteen rows of 20 would fit the 700-pixel window; the list keeps to its own height.
    const Row rows[] = {
        {"skin height in whole rows", 60, 60},
        {"a part row is left off", 70, 60},
        {"shorter than a row", 12, 20},
    };
    root->height = 700;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ComboSetup setup;
        setup.listHeight = row.listHeight;
        setup.attributes.clear();
        for (int i = 0; i < 16; ++i) {
            const std::string n = std::to_string(i);
            setup.attributes.push_back({String(u"ITEM.") + String(n.c_str()), String(("i" + n).c_str())});
        }
        RCPtr<LComboBox> combo = MakeCombo(setup);
        RCPtr<LListBox> list = combo->GetListBox();
        ASSERT_EQ(combo->ShowList(true), S_OK);
        EXPECT_DOUBLE_EQ(list->GetFrame().height, row.opened);
        const uint32_t shown = static_cast<uint32_t>(row.opened / 20);
        for (int i = 0; i < 15; ++i) list->OnKeyDown(Key(Keys::kDown));
        EXPECT_EQ(list->GetCaret(), 15);
        EXPECT_EQ(list->GetTopIndex(), 16 - static_cast<int32_t>(shown)) << "the last item scrolled into view";
        const double offset = list->GetScrollOffset().y;
        const double client = list->GetClientRect().height;
        for (uint32_t r = 0; r < list->GetRowCount(); ++r) {
            SCOPED_TRACE(r);
            LListBoxItem* rowControl = list->GetRow(r);
            const double top = rowControl->GetFrame().y - offset;
            EXPECT_EQ(rowControl->IsEffectivelyVisible(false), top < client) << "only rows inside the list are shown";
        }
        EXPECT_EQ(Text(*list->GetRow(shown - 1)), "i15");
        list->OnKeyDown(Key(Keys::kReturn));
        EXPECT_EQ(combo->GetSelectedIndex(), 15);
        combo->Close();
    }
}

}  // namespace
}  // namespace controls_test
