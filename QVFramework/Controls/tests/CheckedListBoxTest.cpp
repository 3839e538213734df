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

// Lists whose rows come from the factory, each with its "checkBox" button.
class FactoryRowsFixture : public ControlFixture {
protected:
    FactoryRowsFixture() : mClassScope(classApp)
    {
        classApp.factory.Register<LCheckedListBoxItem>("Framework.CheckedListBoxItem");
        classApp.factory.Register<LButton>("Framework.Button");
        MakeTop();
        top->SetNotFocusable(false);
    }

    // A 100 x 60 list of 20-pixel rows, so three rows.
    static RCPtr<FakeDescriptor> ListDescriptor(RCPtr<FakeDescriptor> d)
    {
        using namespace class_factory_test;
        d->layout = Describe(u"list", u"", 0, 0, 100, 60)->layout;
        d->children.push_back(
            RCPtr<IControlDescriptor>(With(Describe(u"templateItem", u"Framework.CheckedListBoxItem", 0, 0, 90, 20, 14),
                                           {Describe(u"checkBox", u"Framework.Button", 2, 2, 16, 16)})
                                          .Get()));
        return d;
    }
    // As the factory makes a list.
    void Build(LCheckedListBox& list, const RCPtr<FakeDescriptor>& d)
    {
        list.ApplyDescriptor(d);
        list.CreateChildren(d);
        list.Initialize();
        list.SetInitialized(true);
        EXPECT_GE(list.UpdateLayout(), 0);
    }

    class_factory_test::ClassApplication classApp;
    ScopedControlApplication mClassScope;
};

class CheckedRowsTest : public FactoryRowsFixture {
protected:
    CheckedRowsTest()
    {
        RCPtr<FakeDescriptor> d(new FakeDescriptor(u"list"));
        d->lookCount = 3;
        list = new LCheckedListBox(top.Get(), u"list");
        Build(*list, ListDescriptor(d));
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

// A skin whose list has a look kIcons with part images, as a skin author gives icons.
class IconLook : public FakeLook {
public:
    explicit IconLook(std::vector<RCPtr<LBitmap>> images) : mImages(std::move(images)) {}
    std::vector<RCPtr<LBitmap>> GetPartBitmaps() const override { return mImages; }

private:
    std::vector<RCPtr<LBitmap>> mImages;
};

class IconSkinDescriptor : public FakeDescriptor {
public:
    using FakeDescriptor::FakeDescriptor;
    RCPtr<ILook> CreateLook(uint32_t index) const override
    {
        if (index != LCheckedListBox::kIcons) return FakeDescriptor::CreateLook(index);
        if (!iconLook) return nullptr;
        return RCPtr<ILook>(new IconLook(icons));
    }
    bool iconLook = true;
    std::vector<RCPtr<LBitmap>> icons;
};

// A list class of its own (as the popup menu is) keeps that look for itself.
class OtherList : public LCheckedListBox {
    QV_TYPE_NAME("class QV::LOtherList")
public:
    using LCheckedListBox::LCheckedListBox;
};

class SkinIconsTest : public FactoryRowsFixture {
protected:
    SkinIconsTest()
    {
        for (uint32_t argb : {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu})
            skinIcons.push_back(LBitmap::CreateFilledBitmap({8, 8}, LColor::FromARGB(argb)));
    }

    template <class List = LCheckedListBox>
    RCPtr<LCheckedListBox> MakeList(uint32_t looks, bool iconLook, std::vector<RCPtr<LBitmap>> icons)
    {
        RCPtr<IconSkinDescriptor> d(new IconSkinDescriptor(u"list"));
        d->lookCount = looks;
        d->iconLook = iconLook;
        d->icons = std::move(icons);
        d->attributes = {{u"ITEM.0", u"a"}, {u"ITEM.1", u"b"}, {u"ITEM.2", u"c"}, {u"ITEM.3", u"d"}, {u"ITEM.4", u"e"}};
        RCPtr<LCheckedListBox> list(new List(top.Get(), u"list"));
        Build(*list, ListDescriptor(d));
        return list;
    }

    // The image laid over each look of a row; null where a look has none.
    static std::vector<const LRefCountedObject*> Overlays(const LListBoxItem& row)
    {
        std::vector<const LRefCountedObject*> out;
        for (uint32_t part = 0; part < row.GetPartCount(); ++part) {
            auto* look = dynamic_cast<FakeLook*>(row.GetVisualPart(static_cast<int32_t>(part)).Get());
            out.push_back(look ? look->overlay.Get() : nullptr);
        }
        return out;
    }

    std::vector<RCPtr<LBitmap>> skinIcons;
};

TEST_F(SkinIconsTest, RowsShowTheIconsOfTheIconLookCyclingOverTheItems)
{
    RCPtr<LCheckedListBox> list = MakeList(4, true, skinIcons);
    ASSERT_EQ(list->GetRowCount(), 3u);
    EXPECT_TRUE(list->ShowsIcons());
    EXPECT_EQ(list->GetIcons(), skinIcons);
    const auto expectRowsFrom = [&](int32_t top) {
        for (uint32_t r = 0; r < list->GetRowCount(); ++r) {
            SCOPED_TRACE("row " + std::to_string(r));
            auto* row = dynamic_cast<LCheckedListBoxItem*>(list->GetRow(r));
            ASSERT_TRUE(row);
            const RCPtr<LBitmap>& icon = skinIcons[static_cast<size_t>(top + int32_t(r)) % skinIcons.size()];
            EXPECT_TRUE(row->ShowsIcon());
            EXPECT_EQ(row->GetIcon(), icon);
            // Every look of the row draws it, whichever state the row is in.
            EXPECT_EQ(Overlays(*row), std::vector<const LRefCountedObject*>(14, icon.Get()));
        }
    };
    expectRowsFrom(0);
    // Scrolled, the rows show the icons of the items they now hold: item 3 the first icon again.
    ASSERT_EQ(list->EnsureVisible(4), S_OK);
    ASSERT_EQ(list->GetTopIndex(), 2);
    expectRowsFrom(2);
}

TEST_F(SkinIconsTest, IconsComeOnlyFromAnIconLookOfTheListItself)
{
    struct Case {
        const char* what;
        uint32_t looks;
        bool iconLook;
        std::vector<RCPtr<LBitmap>> icons;
        bool otherClass;
        bool shows;
        size_t iconCount;
    };
    const Case cases[] = {
        {"two images", 4, true, {skinIcons[0], skinIcons[1]}, false, true, 2},
        {"look without images: each item's own icon", 4, true, {}, false, true, 0},
        {"frame looks only", 3, true, {skinIcons[0]}, false, false, 0},
        {"empty slot", 5, false, {skinIcons[0]}, false, false, 0},
        {"derived class", 4, true, {skinIcons[0]}, true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RCPtr<LCheckedListBox> list =
            c.otherClass ? MakeList<OtherList>(c.looks, c.iconLook, c.icons) : MakeList(c.looks, c.iconLook, c.icons);
        EXPECT_EQ(list->ShowsIcons(), c.shows);
        EXPECT_EQ(list->GetIcons().size(), c.iconCount);
        auto* row = dynamic_cast<LCheckedListBoxItem*>(list->GetRow(0));
        ASSERT_TRUE(row);
        EXPECT_EQ(row->ShowsIcon(), c.shows);
        const LRefCountedObject* shown = c.iconCount ? c.icons[0].Get() : nullptr;
        EXPECT_EQ(Overlays(*row), std::vector<const LRefCountedObject*>(14, shown));
        list->Close();
    }
}

}  // namespace
}  // namespace control_test
