#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <vector>

#include "FakeFrameworkApp.h"
#include "FrameworkControlClasses.h"
#include "FrameworkStrings.h"
#include "LClipboard.h"
#include "LListBoxItem.h"
#include "LNotificationCenterManager.h"
#include "LNotificationClient.h"
#include "LStatusBar.h"

namespace Platform {
std::span<const ResourceEntry> GetFrameworkAppTestResourceEntries();
}

namespace {

using namespace QV;
using app_test::FakeFrameworkApp;
using app_test::Text;

class FrameworkAppTest : public ::testing::Test {
protected:
    FrameworkAppTest()
    {
        EXPECT_EQ(factory->LoadResources(u"::", 0x0409), S_OK);
        app = new FakeFrameworkApp(factory, factory->GetFrameworkStringTable());
    }
    ~FrameworkAppTest() override
    {
        app = nullptr;
        LNotificationCenterManager::ResetInstance();
    }

    ::Platform::ResourceTable module{"", Platform::GetFrameworkAppTestResourceEntries()};
    RCPtr<LControlFactory> factory{new LControlFactory(String(u"EntryApp"), module)};
    RCPtr<FakeFrameworkApp> app;
};

// Counts the deliveries of one notification on the default center.
class Counter : public LNotificationClient {
    QV_TYPE_NAME("class Counter")
public:
    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override
    {
        ++received;
        if (onReceive) onReceive();
        return S_OK;
    }
    int received = 0;
    std::function<void()> onReceive;
};

void Post(const char16_t* name)
{
    ASSERT_EQ(GetDefaultNotificationCenter()->PostNotification(LNotification::Create(name)), S_OK);
}

TEST(FrameworkControlClassesTest, FirstRefusedRegistrationNamesItsLineAndStopsTheRest)
{
    const struct {
        int failAt;
        const char* line;
    } cases[] = {{0, "Line 93"}, {1, "Line 96"}, {2, "Line 98"}, {20, "Line 116"}, {36, "Line 132"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failAt);
        int calls = 0;
        try {
            RegisterFrameworkControlClasses(
                [&](const String&, ControlCreateFunction) { return calls++ == c.failAt ? E_FAIL : S_OK; });
            FAIL() << "no exception";
        } catch (const FailedResultException& e) {
            const std::string what = e.what();
            EXPECT_EQ(what.rfind("Failed Result : ", 0), 0u) << what;
            EXPECT_NE(what.find("QV::LFrameworkApp::RunApplicationStartup"), std::string::npos) << what;
            EXPECT_NE(what.find("Application\\FrameworkApp"), std::string::npos) << what;
            EXPECT_NE(what.find(c.line), std::string::npos) << what;
        }
        EXPECT_EQ(calls, c.failAt + 1);
    }
}

TEST(FrameworkControlClassesTest, AllClassesAreRegisteredOnceInTableOrder)
{
    std::vector<std::string> names;
    RegisterFrameworkControlClasses([&](const String& name, ControlCreateFunction create) {
        EXPECT_NE(create, nullptr);
        names.push_back(Text(name));
        return S_OK;
    });
    ASSERT_EQ(names.size(), 37u);
    EXPECT_EQ(names.front(), "Framework.Button");
    EXPECT_EQ(names[16], "Framework.ComboSlider.DropDownPanel");
    EXPECT_EQ(names.back(), "Framework.TreeViewItem");
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 37u);
}

TEST_F(FrameworkAppTest, StartupRegistersClassesLoadsShortcutsAndClipboard)
{
    LNotification::EnableRecycling(false);
    ASSERT_EQ(app->RunApplicationStartup(), S_OK);
    EXPECT_TRUE(LNotification::IsRecyclingEnabled());
    EXPECT_EQ(factory->CheckControlClasses(), S_OK);
    EXPECT_TRUE(app->GetHotKeyManager()->GetKeyMap().HasCommand(u"NID_TEST_SHORTCUT"));
    ASSERT_TRUE(app->GetClipboard());
    EXPECT_TRUE(app->GetClipboard()->IsInitialized());

    // The overlay button is built as a list row, like the list row itself.
    ControlCreateFunction overlay = nullptr, row = nullptr;
    ASSERT_EQ(factory->GetControlCreateFunction(u"Framework.OverlayButton", overlay), S_OK);
    ASSERT_EQ(factory->GetControlCreateFunction(u"Framework.ListBoxItem", row), S_OK);
    EXPECT_EQ(overlay, row);
    RCPtr<LControl> built = factory->CreateControl(factory->FindControlDescriptor(u"overlay"), nullptr);
    ASSERT_TRUE(built);
    EXPECT_STREQ(built->GetTypeName(), "class QV::LListBoxItem");
    EXPECT_TRUE(built->IsInitialized());
    built->Close();
}

TEST_F(FrameworkAppTest, StartupFailureSkipsTheLaterSteps)
{
    RCPtr<FakeFrameworkApp> bare;
    app = nullptr;
    bare = new FakeFrameworkApp(nullptr, nullptr);
    EXPECT_EQ(bare->RunApplicationStartup(), static_cast<QVResult>(E_FAIL));
    EXPECT_FALSE(bare->GetClipboard()->IsInitialized());
    EXPECT_EQ(bare->settings.writes, 0);
}

TEST_F(FrameworkAppTest, StartupSelectsTheStoredSkinWithinTheSkins)
{
    const struct {
        bool settingsOpen;
        int32_t stored;
        int32_t selected;
    } cases[] = {{true, 1, 1}, {true, 2, 2}, {true, 7, 2}, {false, 2, 0}, {true, -1, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        app = nullptr;
        ASSERT_EQ(factory->SetCurrentSkinIndex(0), S_OK);
        app = new FakeFrameworkApp(factory, factory->GetFrameworkStringTable());
        app->settingsOpen = c.settingsOpen;
        app->settings.values["CurrentSkinIndex"] = c.stored;
        ASSERT_EQ(app->RunApplicationStartup(), S_OK);
        if (c.selected >= 0) {
            EXPECT_EQ(factory->GetCurrentSkinIndex(), c.selected);
        }
    }
}

TEST_F(FrameworkAppTest, SetSkinAppliesTheSkinFontAndSavesTheIndex)
{
    ASSERT_EQ(app->RunApplicationStartup(), S_OK);
    app->settings.writes = 0;
    RCPtr<LRootWindow> root = app->AddWindow();
    ASSERT_EQ(root->SetMainControlByName(u"mainControl"), S_OK);
    ASSERT_EQ(app->SetSkin(1), S_OK);
    EXPECT_EQ(factory->GetCurrentSkinIndex(), 1);
    ASSERT_TRUE(app->GetDefaultFont());
    EXPECT_EQ(app->GetDefaultFont()->GetSize(), 11.0f);
    EXPECT_EQ(app->GetDefaultFont()->GetStyle(), 1);
    EXPECT_EQ(app->windows[0]->cursors, (std::vector<uint32_t>{42, 3}));
    EXPECT_EQ(app->settings.saved["CurrentSkinIndex"], 1);
    EXPECT_EQ(app->settings.writes, 1);
    EXPECT_EQ(app->LoadCurrentSkinIndex(), 1);

    app->settingsOpen = false;
    ASSERT_EQ(app->SetSkin(2), S_OK);
    EXPECT_EQ(app->settings.writes, 1);
    EXPECT_EQ(app->LoadCurrentSkinIndex(), 0);
}

TEST_F(FrameworkAppTest, ASkinLoadsUnderTheWaitCursorAndItsStatusText)
{
    ASSERT_EQ(app->RunApplicationStartup(), S_OK);
    RCPtr<LRootWindow> root = app->AddWindow();
    ASSERT_EQ(root->SetMainControlByName(u"statusBar"), S_OK);
    RCPtr<LStatusBar> bar = app->GetStatusBar();
    ASSERT_TRUE(bar);
    std::vector<std::string> seen;
    app->windows[0]->onCursor = [&] { seen.push_back(Text(bar->GetStatusText())); };
    ASSERT_EQ(app->SetSkin(0), S_OK);
    EXPECT_EQ(seen, (std::vector<std::string>{"Loading Skin...", "Loading Skin..."}));
    EXPECT_EQ(Text(bar->GetStatusText()), "Ready");
}

TEST_F(FrameworkAppTest, SetSkinRaisesWhenTheSystemFontIsUnknown)
{
    app->systemFontResult = E_FAIL;
    try {
        app->SetSkin(1);
        FAIL() << "no exception";
    } catch (const FailedResultException& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("QV::LFrameworkApp::SetSkin"), std::string::npos) << what;
        EXPECT_NE(what.find("Line 227"), std::string::npos) << what;
    }
    EXPECT_EQ(factory->GetCurrentSkinIndex(), 0);
    EXPECT_EQ(app->settings.writes, 0);
}

TEST_F(FrameworkAppTest, ExitRequestClosesEveryWindowButTheMain)
{
    for (int windows : {1, 3}) {
        SCOPED_TRACE(windows);
        app = nullptr;
        app = new FakeFrameworkApp(factory, factory->GetFrameworkStringTable());
        for (int i = 0; i < windows; ++i) app->AddWindow();
        EXPECT_FALSE(app->IsClosing());
        app->RequestExit();
        EXPECT_FALSE(app->IsClosing());  // posted, not yet delivered
        app->ProcessPendingNotifications(true);
        EXPECT_TRUE(app->IsClosing());
        EXPECT_TRUE(app->windows[0]->endModal.empty());
        for (int i = 1; i < windows; ++i) EXPECT_EQ(app->windows[i]->endModal, std::vector<int32_t>{0});
    }
}

TEST_F(FrameworkAppTest, RootWindowListKeepsEachWindowOnce)
{
    RCPtr<LRootWindow> first = app->AddWindow();
    RCPtr<LRootWindow> second = app->AddWindow();
    app->AddRootWindow(first);
    EXPECT_EQ(app->GetRootWindows(), (std::vector<RCPtr<LRootWindow>>{first, second}));
    app->RemoveRootWindow(first.Get());
    EXPECT_EQ(app->GetRootWindows(), (std::vector<RCPtr<LRootWindow>>{second}));
    app->RemoveRootWindow(first.Get());
    EXPECT_EQ(app->GetRootWindows().size(), 1u);
}

TEST_F(FrameworkAppTest, MouseStateComesFromTheActiveWindowElseFromTheKeys)
{
    const struct {
        bool left, middle, right;
        uint32_t mask;
    } cases[] = {{true, false, true, 5}, {false, true, false, 2}, {true, true, true, 7}, {false, false, false, 0}};
    app->AddWindow();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        app->keysDown = {{LFrameworkApp::kVkLeftButton, c.left},
                         {LFrameworkApp::kVkMiddleButton, c.middle},
                         {LFrameworkApp::kVkRightButton, c.right}};
        EXPECT_EQ(app->GetMouseButtonState(), c.mask);
    }
    EXPECT_FALSE(app->GetActiveRootWindow());
    EXPECT_EQ(app->GetCursorPosition().x, 7);

    RCPtr<LRootWindow> active = app->AddWindow();
    app->AddWindow();
    app->windows[1]->active = true;
    app->windows[1]->buttons = 4;
    EXPECT_EQ(app->GetActiveRootWindow(), active);
    EXPECT_EQ(app->GetMouseButtonState(), 4u);
}

// A control that takes edit commands and notes the ones it performs.
class EditableControl : public LControl {
public:
    EditableControl() : LControl(nullptr, u"editable") {}
    bool HandlesEditCommands() const override { return true; }
    bool CanPerformEdit(int32_t command) const override { return command != LClipboard::kPaste; }
    QVResult PerformEdit(int32_t command) override
    {
        performed.push_back(command);
        return S_OK;
    }
    std::vector<int32_t> performed;
};

TEST_F(FrameworkAppTest, EditRequestsReachTheFocusedControlOfTheActiveWindow)
{
    ASSERT_EQ(app->RunApplicationStartup(), S_OK);
    RCPtr<EditableControl> editable(new EditableControl());
    RCPtr<LRootWindow> idle = app->AddWindow();
    RCPtr<LRootWindow> active = app->AddWindow();
    app->windows.back()->active = true;
    idle->SetFocusControl(editable.Get());

    // Only the active window's focus counts.
    Post(u"NID_EDIT_COPY_REQ");
    app->ProcessPendingNotifications(true);
    EXPECT_TRUE(editable->performed.empty());

    active->SetFocusControl(editable.Get());
    const struct {
        const char16_t* request;
        std::vector<int32_t> performed;
    } cases[] = {
        {u"NID_EDIT_COPY_REQ", {LClipboard::kCopy}},
        {u"NID_EDIT_CUT_REQ", {LClipboard::kCut}},
        {u"NID_EDIT_DELETE_REQ", {LClipboard::kDelete}},
        {u"NID_EDIT_PASTE_REQ", {}},  // the control says it cannot paste
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Text(c.request));
        editable->performed.clear();
        Post(c.request);
        app->ProcessPendingNotifications(true);
        EXPECT_EQ(editable->performed, c.performed);
    }
    active->SetFocusControl(nullptr);
    idle->SetFocusControl(nullptr);
    EXPECT_EQ(app->ExitApplication(), S_OK);
}

TEST_F(FrameworkAppTest, ANotificationPostedDuringADrainWaitsForTheNextPass)
{
    RCPtr<Counter> counter(new Counter());
    counter->RegisterNotification(RCPtr<LNotificationDistributor>(GetDefaultNotificationCenter().Get()),
                                  u"NID_TEST_PING");
    counter->onReceive = [&] {
        if (counter->received == 1) Post(u"NID_TEST_PING");
    };
    Post(u"NID_TEST_PING");
    EXPECT_TRUE(app->ProcessPendingNotifications(true));
    EXPECT_EQ(counter->received, 1);
    EXPECT_FALSE(app->ProcessPendingNotifications(false));
    EXPECT_EQ(counter->received, 2);
    counter->UnregisterAllNotifications();
}

TEST_F(FrameworkAppTest, ALoopThatThrowsShowsTheStartupErrorAndRequestsExit)
{
    app->AddWindow();
    app->messageLoop = [] { throw std::runtime_error("loop failed"); };
    app->Run();
    ASSERT_EQ(app->boxes.size(), 1u);
    EXPECT_EQ(app->boxes[0].text, "Start failed (table)");
    EXPECT_EQ(app->boxes[0].caption, "Table caption");
    EXPECT_EQ(app->boxes[0].flags, 0x10u);
    EXPECT_TRUE(app->IsClosing());
}

TEST_F(FrameworkAppTest, StatusTextNeedsAWindowAndABar)
{
    EXPECT_EQ(app->SetStatusText(u"x", true), static_cast<QVResult>(E_FAIL));
    app->AddWindow();
    EXPECT_EQ(app->ResetStatusText(false), static_cast<QVResult>(E_FAIL));
}

TEST_F(FrameworkAppTest, StatusTextShowsNowOrAtTheNextIdleTick)
{
    ASSERT_EQ(app->RunApplicationStartup(), S_OK);
    RCPtr<LRootWindow> root = app->AddWindow();
    ASSERT_EQ(root->SetMainControlByName(u"statusBar"), S_OK);
    RCPtr<LStatusBar> bar = app->GetStatusBar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(Text(bar->GetStatusText()), "Ready");

    EXPECT_EQ(app->SetStatusText(u"Sending", true), S_OK);
    EXPECT_EQ(Text(bar->GetStatusText()), "Sending");
    EXPECT_EQ(app->ResetStatusText(false), S_OK);
    EXPECT_EQ(Text(bar->GetStatusText()), "Sending");
    // The host window's tick.
    root->SendNotification(LNotification::Create(u"NID_IDLE"));
    EXPECT_EQ(Text(bar->GetStatusText()), "Ready");
}

TEST_F(FrameworkAppTest, ASecondStartRaisesTheOpenDialogElseNothingMore)
{
    app->AddWindow();  // the main window
    EXPECT_FALSE(app->RaiseOpenDialog());
    app->AddWindow();  // a popup that is not a dialog
    app->AddWindow();
    app->windows[2]->modal = true;
    app->AddWindow();  // opened from the dialog, not modal
    EXPECT_TRUE(app->RaiseOpenDialog());
    EXPECT_EQ(app->windows[2]->raised, 1);
    for (size_t i : {0u, 1u, 3u}) EXPECT_EQ(app->windows[i]->raised, 0) << i;
}

TEST_F(FrameworkAppTest, TheApplicationIsTheProcessWideOneForItsLifetime)
{
    EXPECT_EQ(LFrameworkApp::GetInstance(), app.Get());
    EXPECT_EQ(GetControlApplication(), static_cast<IControlApplication*>(app.Get()));
    EXPECT_EQ(GetWindowApplication(), static_cast<IWindowApplication*>(app.Get()));
    String text;
    EXPECT_TRUE(LookUpFrameworkString(u"STARTUP_ERROR_CAPTION", text));  // renderers and start-up texts read it
    EXPECT_EQ(Text(text), "Table caption");
    LNotification::EnableRecycling(true);
    app = nullptr;
    EXPECT_FALSE(LookUpFrameworkString(u"STARTUP_ERROR_CAPTION", text));
    EXPECT_EQ(LFrameworkApp::GetInstance(), nullptr);
    EXPECT_EQ(GetControlApplication(), nullptr);
    EXPECT_EQ(GetWindowApplication(), nullptr);
    EXPECT_FALSE(LNotification::IsRecyclingEnabled());
}

}  // namespace
