#include "ControlTestSupport.h"
#include "LButton.h"
#include "LTabControl.h"

namespace control_test {
namespace {

// Remembers the indexes its hook was given.
class RecordingTabControl : public LTabControl {
public:
    using LTabControl::LTabControl;
    void OnTabSelected(int32_t index) override { hooked.push_back(index); }
    std::vector<int32_t> hooked;
};

class TabControlTest : public ControlFixture {
protected:
    TabControlTest()
    {
        MakeTop();
        tabs = new RecordingTabControl(top.Get(), u"tabs");
        tabs->SetLayout(Frame(0, 0, 400, 300));
    }

    static ControlLayout Frame(double x, double y, double w, double h, int32_t tabStop = 0)
    {
        ControlLayout layout;
        layout.position[0].offset = x;
        layout.position[1].offset = y;
        layout.size[0].offset = w;
        layout.size[1].offset = h;
        layout.size[0].kind = layout.size[1].kind = LayoutKind::kParent;
        layout.tabStop = tabStop;
        return layout;
    }
    LControl* ButtonHolder()
    {
        if (!buttonHolder) buttonHolder = Make(tabs.Get(), u"buttonHolder", 0, 0, 400, 20);
        return buttonHolder.Get();
    }
    LControl* PageHolder()
    {
        if (!pageHolder) pageHolder = Make(tabs.Get(), u"pageHolder", 0, 20, 400, 280);
        return pageHolder.Get();
    }
    RCPtr<LButton> AddTab(const char16_t* name, int32_t tabStop = 0)
    {
        RCPtr<LButton> button(new LButton(ButtonHolder(), name));
        RCPtr<FakeDescriptor> d(new FakeDescriptor(name));
        d->layout = Frame(50.0 * ButtonHolder()->GetChildren().GetCount(), 0, 40, 20, tabStop);
        button->ApplyDescriptor(d);
        button->Initialize();
        button->OnInitialized();
        button->SetInitialized(true);
        EXPECT_GE(button->UpdateLayout(), 0);
        return button;
    }
    RCPtr<TestControl> AddPage(const char16_t* name) { return Make(PageHolder(), name, 0, 0, 400, 280); }
    // Three tabs "one", "two", "three" with pages "p1", "p2", "p3".
    void MakeThree()
    {
        for (const char16_t* name : {u"one", u"two", u"three"}) AddTab(name);
        for (const char16_t* name : {u"p1", u"p2", u"p3"}) AddPage(name);
    }
    QVResult Init()
    {
        log->Listen(tabs.Get(), {u"NID_TAB_SELECTED"});
        log->onReceive = [this](const RCPtr<LNotification>& n) {
            auto* page = dynamic_cast<LControl*>(n->GetPayload().Get());
            payloads.push_back(page ? Narrow(page->GetName().GetChars()) : "none");
        };
        const QVResult result = tabs->Initialize();
        tabs->OnInitialized();
        tabs->SetInitialized(true);
        return result;
    }
    std::string Shown()
    {
        std::string shown;
        for (const RCPtr<LControl>& page : PageHolder()->GetChildren().Snapshot(ChildControlList::kInsertion)) {
            if (page->IsEffectivelyVisible(false)) shown += Narrow(page->GetName().GetChars());
        }
        return shown;
    }
    void Click(LButton& button)
    {
        button.OnMouseEnter();
        button.HandleMouseDown(LMouseButtonParam::Create(1, {5, 5}, 0, false, 1, 0));
        button.HandleMouseUp(LMouseButtonParam::Create(1, {5, 5}, 0, false, 0, 0));
    }

    RCPtr<RecordingTabControl> tabs;
    RCPtr<TestControl> buttonHolder;
    RCPtr<TestControl> pageHolder;
    RCPtr<NotificationLog> log{new NotificationLog()};  // counted: distributors hold it
    std::vector<std::string> payloads;
};

TEST_F(TabControlTest, WithoutHoldersOrTabButtonsInitializeFails)
{
    struct Case {
        const char* what;
        std::function<void()> build;
    };
    const Case cases[] = {
        {"no holders", [] {}},
        {"no button holder", [this] { AddPage(u"p1"); }},
        {"no tab buttons",
         [this] {
             ButtonHolder();
             AddPage(u"p1");
         }},
        {"a holder child that is no button",
         [this] {
             Make(ButtonHolder(), u"label", 0, 0, 10, 10);
             AddPage(u"p1");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.build();
        EXPECT_EQ(Init(), E_FAIL);
        EXPECT_TRUE(log->names.empty());
        tabs->Close();
        tabs = new RecordingTabControl(top.Get(), u"tabs");
        buttonHolder = nullptr;
        pageHolder = nullptr;
    }
}

TEST_F(TabControlTest, InitializeSelectsTheFirstTabAndSelectingShowsOnlyItsPage)
{
    MakeThree();
    ASSERT_EQ(Init(), S_OK);
    EXPECT_EQ(Shown(), "p1");
    EXPECT_EQ(payloads, std::vector<std::string>{"p1"});
    EXPECT_EQ(tabs->GetTabCount(), 3);

    EXPECT_EQ(tabs->SelectTab(u"two"), S_OK);
    EXPECT_EQ(Shown(), "p2");
    EXPECT_EQ(tabs->GetCurrentTabIndex(), 1);
    EXPECT_EQ(tabs->GetCurrentTabName(), u"two");
    EXPECT_EQ(tabs->GetCurrentPage()->GetName(), u"p2");
    EXPECT_EQ(tabs->GetPageByName(u"three")->GetName(), u"p3");
    EXPECT_EQ(tabs->GetTabByName(u"three")->GetName(), u"three");
    EXPECT_EQ(payloads, (std::vector<std::string>{"p1", "p2"}));
    EXPECT_EQ(tabs->hooked, (std::vector<int32_t>{0, 1}));
}

TEST_F(TabControlTest, AnUnknownNameHidesEveryPageWithoutError)
{
    MakeThree();
    Init();
    EXPECT_EQ(tabs->SelectTab(u"Two"), S_OK) << "names compare with case";
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(tabs->GetCurrentTabIndex(), -1);
    EXPECT_EQ(tabs->GetCurrentTabName(), u"Two");
    EXPECT_TRUE(tabs->GetCurrentPage().IsNull());
    EXPECT_EQ(payloads.back(), "none");
    EXPECT_EQ(tabs->hooked.back(), -1);
    for (int32_t bad : {-1, 3, 1000}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(tabs->GetPageAt(bad).IsNull());
        EXPECT_TRUE(tabs->GetTabAt(bad).IsNull());
        EXPECT_EQ(tabs->SelectTabAt(bad), E_FAIL);
    }
}

TEST_F(TabControlTest, SelectingByIndexCountsInTabOrderAndQueriesInInsertionOrder)
{
    AddTab(u"one", 3);
    AddTab(u"two", 2);
    AddTab(u"three", 1);
    for (const char16_t* name : {u"p1", u"p2", u"p3"}) AddPage(name);
    Init();
    EXPECT_EQ(tabs->GetCurrentTabName(), u"three");
    EXPECT_EQ(Shown(), "p3");
    EXPECT_EQ(tabs->GetTabAt(0)->GetName(), u"one");
    EXPECT_EQ(tabs->GetPageAt(0)->GetName(), u"p1");
    EXPECT_EQ(tabs->SelectTabAt(2), S_OK);
    EXPECT_EQ(tabs->GetCurrentTabName(), u"one");
}

TEST_F(TabControlTest, ClickingATabButtonSelectsIt)
{
    MakeThree();
    RCPtr<TestControl> stray = Make(ButtonHolder(), u"stray", 200, 0, 40, 20);
    Init();
    auto* third = dynamic_cast<LButton*>(tabs->GetTabAt(2).Get());
    ASSERT_NE(third, nullptr);
    Click(*third);
    EXPECT_EQ(Shown(), "p3");
    EXPECT_EQ(tabs->GetCurrentTabIndex(), 2);

    // Only buttons are wired: a click on another holder child selects nothing.
    stray->HandleMouseDown(LMouseButtonParam::Create(1, {5, 5}, 0, false, 1, 0));
    stray->HandleMouseUp(LMouseButtonParam::Create(1, {5, 5}, 0, false, 0, 0));
    EXPECT_EQ(tabs->GetCurrentTabName(), u"three");
}

TEST_F(TabControlTest, FewerPagesThanTabsPairOnlyWhatExists)
{
    for (const char16_t* name : {u"one", u"two", u"three"}) AddTab(name);
    for (const char16_t* name : {u"p1", u"p2"}) AddPage(name);
    ASSERT_EQ(Init(), S_OK);
    EXPECT_EQ(tabs->SelectTab(u"three"), S_OK);
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(tabs->GetCurrentTabIndex(), 2);
    EXPECT_TRUE(tabs->GetCurrentPage().IsNull());
    EXPECT_TRUE(tabs->GetPageByName(u"three").IsNull());
    EXPECT_EQ(tabs->SelectTabAt(1), S_OK);
    EXPECT_EQ(Shown(), "p2");
}

TEST_F(TabControlTest, ANewDescriptorKeepsTheSelectedTab)
{
    MakeThree();
    Init();
    tabs->SelectTab(u"two");
    RCPtr<FakeDescriptor> skin(new FakeDescriptor(u"tabs"));
    skin->layout = Frame(0, 0, 500, 300);
    tabs->ApplyDescriptor(skin);
    EXPECT_EQ(Shown(), "p2");
    EXPECT_EQ(payloads.back(), "p2");
}

}  // namespace
}  // namespace control_test
