#include "CAutoNotificationDisabler.h"
#include "ClassFactoryTestSupport.h"
#include "ControlTestSupport.h"
#include "LCheckedListBox.h"
#include "LIndexedDataParam.h"
#include "LLabel.h"

namespace control_test {
namespace {

class IconList : public LCheckedListBox {
public:
    using LCheckedListBox::LCheckedListBox;
    void SetIcons(std::vector<RCPtr<LBitmap>> icons) { mIcons = std::move(icons); }
};

class CheckedListBoxTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop();
        list = new IconList(top.Get(), u"list");
        list->Initialize();
        list->SetInitialized(true);
        for (int i = 0; i < 5; ++i) list->InsertItem(i);
        log = new NotificationLog();
        log->onReceive = [this](const RCPtr<LNotification>& n) {
            if (auto* p = dynamic_cast<LIndexedDataWithValueParam*>(n->GetPayload().Get()))
                posts.push_back({p->index, p->value});
        };
        log->Listen(list.Get(), {u"NID_ITEM_CHECK_CHANGE", u"NID_ITEM_CHECKBOX_CLICKED"});
    }
    void TearDown() override { log->UnregisterAllNotifications(); }

    RCPtr<IconList> list;
    RCPtr<NotificationLog> log;
    std::vector<std::pair<int32_t, double>> posts;
};

TEST_F(CheckedListBoxTest, CheckFlagsAndTheirCount)
{
    struct Step {
        const char* name;
        int32_t index;
        bool checked;
        int32_t count;
    };
    const std::vector<Step> steps = {
        {"check 1", 1, true, 1},      {"check 1 again", 1, true, 1},
        {"check 3", 3, true, 2},      {"uncheck 0, never set", 0, false, 2},
        {"past the end", 5, true, 2}, {"negative", -1, true, 2},
        {"uncheck 1", 1, false, 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        list->SetItemChecked(s.index, s.checked);
        EXPECT_EQ(s.count, list->GetCheckedCount());
    }
    EXPECT_TRUE(list->IsItemChecked(3));
    EXPECT_FALSE(list->IsItemChecked(1));
    EXPECT_FALSE(list->IsItemChecked(9));
    root->Idle();
    EXPECT_TRUE(log->names.empty());
}

TEST_F(CheckedListBoxTest, AutoCheckFollowsTheBoxAndPostsOtherwiseOnlyReports)
{
    list->OnCheckBoxValue(2, 1.0);
    EXPECT_TRUE(list->IsItemChecked(2));
    EXPECT_EQ(1, list->GetCheckedCount());
    // A second report of the same value changes nothing more.
    list->OnCheckBoxValue(2, 1.0);
    EXPECT_EQ(1, list->GetCheckedCount());
    EXPECT_TRUE(log->names.empty());  // posted, not sent
    root->Idle();
    EXPECT_EQ((std::vector<std::string>{"NID_ITEM_CHECK_CHANGE", "NID_ITEM_CHECK_CHANGE"}), log->names);
    EXPECT_EQ((std::vector<std::pair<int32_t, double>>{{2, 1.0}, {2, 1.0}}), posts);

    log->Clear();
    posts.clear();
    list->SetAutoCheck(false);
    list->OnCheckBoxClicked(4, 0.0);
    list->OnCheckBoxValue(-1, 1.0);
    root->Idle();
    EXPECT_EQ((std::vector<std::string>{"NID_ITEM_CHECKBOX_CLICKED"}), log->names);
    EXPECT_EQ((std::vector<std::pair<int32_t, double>>{{4, 0.0}}), posts);
    EXPECT_EQ(1, list->GetCheckedCount());
    EXPECT_EQ(0, list->GetIdleUserCount());
}

TEST_F(CheckedListBoxTest, RemovingCheckedItemsRecountsThem)
{
    list->SetItemChecked(0, true);
    list->SetItemChecked(3, true);
    list->SetItemChecked(4, true);
    list->EraseItem(4);
    list->UpdateCheckedCount();
    EXPECT_EQ(2, list->GetCheckedCount());
}

TEST_F(CheckedListBoxTest, IconsCycleOverTheItemsOrComeFromEachItem)
{
    std::vector<RCPtr<LBitmap>> icons;
    for (int i = 0; i < 3; ++i) icons.emplace_back(new LBitmap(4, 4));
    RCPtr<LBitmap> own(new LBitmap(2, 2));
    list->GetItem(4)->icon = own;
    EXPECT_EQ(own, list->GetItemIcon(4));
    EXPECT_EQ(nullptr, list->GetItemIcon(1));
    list->SetIcons(icons);
    EXPECT_EQ(icons[1], list->GetItemIcon(4));
    EXPECT_EQ(icons[0], list->GetItemIcon(3));
    EXPECT_EQ(nullptr, list->GetItemIcon(5));
}

// A control that counts the value changes its handler receives from a source.
class Watcher : public LControl {
public:
    using LControl::LControl;
    QVResult Initialize() override
    {
        const QVResult r = LControl::Initialize();
        own = new LNotificationHandler<Watcher>(this);
        return r;
    }
    QVResult OnValue(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
    {
        ++seen;
        return S_OK;
    }
    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& s, const RCPtr<LNotification>& n) override
    {
        if (own) (void)own->ReceiveNotification(s, n);  // the base answers for the control
        return LControl::ReceiveNotification(s, n);
    }
    QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& d, const char16_t* name) override
    {
        if (own) own->UnregisterHandler(d, name);
        return LControl::UnregisterNotification(d, name);
    }
    RCPtr<LNotificationHandler<Watcher>> own;
    int seen = 0;
};

TEST_F(CheckedListBoxTest, DisablerSilencesOneSubscriptionForItsScope)
{
    RCPtr<TestControl> box = Make(top.Get(), u"box", 0, 0, 10, 10);
    RCPtr<Watcher> watcher(new Watcher(top.Get(), u"watcher"));
    watcher->Initialize();
    watcher->SetInitialized(true);
    const RCPtr<LNotificationDistributor> source(box.Get());
    ASSERT_EQ(S_OK, watcher->own->RegisterHandler(&Watcher::OnValue, source, u"NID_VALUE_CHANGE"));
    box->SetValue(1.0);
    EXPECT_EQ(1, watcher->seen);
    {
        CAutoNotificationDisabler<Watcher> quiet(*watcher, watcher->own, source, u"NID_VALUE_CHANGE");
        box->SetValue(0.0);
        EXPECT_EQ(1, watcher->seen);
    }
    box->SetValue(1.0);
    EXPECT_EQ(2, watcher->seen);
    // No subscription to silence: the failed-result error.
    EXPECT_THROW(CAutoNotificationDisabler<Watcher>(*watcher, watcher->own, source, u"NID_LEFT_CLICK"),
                 FailedResultException);
    watcher->UnregisterAllNotifications();
}

// A list whose rows come from the factory, each with its "checkBox" button.
class CheckedRowsTest : public ControlFixture {
protected:
    CheckedRowsTest() : mClassScope(classApp)
    {
        classApp.factory.Register<LCheckedListBoxItem>("Framework.CheckedListBoxItem");
        classApp.factory.Register<LButton>("Framework.Button");
        MakeTop();
        top->SetNotFocusable(false);
        using namespace class_factory_test;
        RCPtr<FakeDescriptor> d =
            With(Describe(u"list", u"", 0, 0, 100, 60, 3),
                 {With(Describe(u"templateItem", u"Framework.CheckedListBoxItem", 0, 0, 90, 20, 14),
                       {Describe(u"checkBox", u"Framework.Button", 2, 2, 16, 16)})});
        list = new LCheckedListBox(top.Get(), u"list");
        list->ApplyDescriptor(d);
        list->CreateChildren(d);
        list->Initialize();
        list->SetInitialized(true);
        EXPECT_GE(list->UpdateLayout(), 0);
        for (int i = 0; i < 5; ++i) list->InsertItemWithText(i, u"item");
        log = new NotificationLog();
        log->onReceive = [this](const RCPtr<LNotification>& n) {
            if (auto* p = dynamic_cast<LIndexedDataWithValueParam*>(n->GetPayload().Get()))
                posts.push_back({p->index, p->value});
        };
        log->Listen(list.Get(), {u"NID_ITEM_CHECK_CHANGE", u"NID_ITEM_CHECKBOX_CLICKED"});
    }
    ~CheckedRowsTest() override { log->UnregisterAllNotifications(); }

    LCheckedListBoxItem* Row(uint32_t r) { return dynamic_cast<LCheckedListBoxItem*>(list->GetRow(r)); }
    double Box(uint32_t r) { return Row(r)->GetCheckBox()->GetValue(); }
    void Click(uint32_t r)
    {
        RCPtr<LButton> box = Row(r)->GetCheckBox();
        box->OnMouseEnter();
        box->HandleMouseDown(LMouseButtonParam::Create(1, {4, 4}, 0, false, 1, 0));
        box->HandleMouseUp(LMouseButtonParam::Create(1, {4, 4}, 0, false, 0, 0));
        box->OnMouseLeave();
        root->Idle();
    }

    class_factory_test::ClassApplication classApp;
    ScopedControlApplication mClassScope;
    RCPtr<LCheckedListBox> list;
    RCPtr<NotificationLog> log;
    std::vector<std::pair<int32_t, double>> posts;
};

TEST_F(CheckedRowsTest, BoxesShowTheFlagsAndRefreshingPostsNothing)
{
    ASSERT_EQ(list->GetRowCount(), 3u);
    for (uint32_t r = 0; r < 3; ++r) ASSERT_TRUE(Row(r) && Row(r)->GetCheckBox()) << r;
    list->SetItemChecked(1, true);
    list->SetItemChecked(2, true);
    EXPECT_EQ((std::vector<double>{Box(0), Box(1), Box(2)}), (std::vector<double>{0.0, 1.0, 1.0}));
    list->SetItemChecked(1, false);
    EXPECT_EQ(Box(1), 0.0);
    root->Idle();
    EXPECT_TRUE(log->names.empty()) << "the list's own changes are no user's";

    // Rows past the last item show an empty box and no icon.
    list->GetItem(2)->icon = new LBitmap(2, 2);
    list->SetShowIcons(true);
    list->RefreshItem(2);
    EXPECT_TRUE(Row(2)->GetIcon());
    list->SetItemCount(2);
    EXPECT_EQ(Box(2), 0.0);
    EXPECT_FALSE(Row(2)->GetIcon());
    EXPECT_EQ(list->GetCheckedCount(), 0);
}

TEST_F(CheckedRowsTest, ClicksOnBoxesFollowTheAutoCheckMode)
{
    struct Step {
        const char* what;
        bool autoCheck;
        uint32_t row;
        double box;
        int32_t count;
        const char* posted;
    };
    const Step steps[] = {
        {"auto: check", true, 1, 1.0, 1, "NID_ITEM_CHECK_CHANGE"},
        {"auto: check another", true, 2, 1.0, 2, "NID_ITEM_CHECK_CHANGE"},
        {"auto: uncheck", true, 1, 0.0, 1, "NID_ITEM_CHECK_CHANGE"},
        {"owner decides: box stays", false, 0, 0.0, 1, "NID_ITEM_CHECKBOX_CLICKED"},
        {"owner decides: checked box stays", false, 2, 1.0, 1, "NID_ITEM_CHECKBOX_CLICKED"},
        {"auto again", true, 0, 1.0, 2, "NID_ITEM_CHECK_CHANGE"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        log->Clear();
        posts.clear();
        list->SetAutoCheck(step.autoCheck);
        Click(step.row);
        EXPECT_EQ(Box(step.row), step.box);
        EXPECT_EQ(list->IsItemChecked(int32_t(step.row)), step.box == 1.0);
        EXPECT_EQ(list->GetCheckedCount(), step.count);
        EXPECT_EQ(log->names, (std::vector<std::string>{step.posted}));
        ASSERT_EQ(posts.size(), 1u);
        EXPECT_EQ(posts[0], (std::pair<int32_t, double>{int32_t(step.row), step.box}));
    }
}

}  // namespace
}  // namespace control_test
