#include <gtest/gtest.h>

#include <algorithm>

#include "DebugSwitch.h"
#include "FakeFrameworkApp.h"
#include "FrameworkAppEntry.h"
#include "LNotificationCenterManager.h"

namespace Platform {
std::span<const ResourceEntry> GetFrameworkAppTestResourceEntries();
}

namespace {

using namespace QV;
using app_test::FakeFrameworkApp;
using app_test::Text;

// What the entry asked of the system, in order.
class FakeEntryServices : public IEntryServices {
public:
    bool StartPlatform() override
    {
        log.push_back("StartPlatform");
        return platformStarts;
    }
    void EndPlatform() override { log.push_back("EndPlatform"); }
    int32_t GetUserLanguageId() override { return 0x12340409; }
    void ShowStartupError(const String& text, const String& caption) override
    {
        log.push_back("Box " + Text(text) + " / " + Text(caption));
    }
    bool AcquireSingleInstance(const String& name) override
    {
        log.push_back("Acquire " + Text(name));
        return firstInstance;
    }
    bool HandOverToRunningInstance(const std::string& commandLine) override
    {
        log.push_back("HandOver " + commandLine);
        return runningWindow;
    }
    void OpenDebugConsole() override { log.push_back("Console"); }
    void SetDebugTarget(const std::optional<std::string>& host, int32_t port) override
    {
        log.push_back("Target " + host.value_or("-") + ":" + std::to_string(port));
    }
    int32_t RunPlainMessageLoop() override
    {
        log.push_back("PlainLoop");
        return 0;
    }

    bool platformStarts = true;
    bool firstInstance = true;
    bool runningWindow = true;
    std::vector<std::string> log;
};

// The fake application, set up by the test before the entry makes it.
struct AppScript {
    QVResult startupResult = 0;
    QVResult createMainWindowResult = S_OK;
    String mainControlName = u"mainControl";
    std::vector<std::string>* appLog = nullptr;
    bool destroyed = false;
    LFrameworkApp* seenDuringRun = nullptr;
    std::string mainControlLoaded;
    std::vector<int32_t> shows;
};
AppScript* gScript = nullptr;

class ScriptedApp : public FakeFrameworkApp {
public:
    ScriptedApp(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& strings, const String& commandLine)
        : FakeFrameworkApp(factory, strings, commandLine)
    {
        startupResult = gScript->startupResult;
        createMainWindowResult = gScript->createMainWindowResult;
        mainControlName = gScript->mainControlName;
        messageLoop = [this] {
            gScript->seenDuringRun = LFrameworkApp::GetInstance();
            auto roots = GetRootWindows();
            if (!roots.empty() && roots[0]->GetMainControl())
                gScript->mainControlLoaded = Text(roots[0]->GetMainControl()->GetName());
            if (!windows.empty()) gScript->shows = windows[0]->shows;
        };
        onDestroy = [this] {
            gScript->destroyed = true;
            *gScript->appLog = log;
        };
    }
};

class FrameworkAppEntryTest : public ::testing::Test {
protected:
    FrameworkAppEntryTest() { gScript = &script; }
    ~FrameworkAppEntryTest() override
    {
        gScript = nullptr;
        LNotificationCenterManager::ResetInstance();
    }

    int32_t RunEntry(const String& commandLine = u"/usr/bin/tarsel -x")
    {
        script.appLog = &appLog;
        MFCFrameworkApp<ScriptedApp> entry(services, options);
        const int32_t code = entry.RunMain(commandLine);
        languageId = entry.GetLanguageId();
        return code;
    }

    bool Logged(const std::string& line) const
    {
        return std::find(services.log.begin(), services.log.end(), line) != services.log.end();
    }

    ::Platform::ResourceTable module{"", Platform::GetFrameworkAppTestResourceEntries()};
    ::Platform::ResourceTable empty{"", {}};
    EntryOptions options{u"EntryApp", u"CorvaneTarselZiroruVovizuMainWindowClass", u"::", &module};
    FakeEntryServices services;
    AppScript script;
    std::vector<std::string> appLog;
    int32_t languageId = 0;
};

TEST_F(FrameworkAppEntryTest, NormalRunGoesThroughEveryStepInOrderAndExitsWithOne)
{
    EXPECT_EQ(RunEntry(), 1);
    EXPECT_EQ(services.log,
              (std::vector<std::string>{"StartPlatform", "Acquire CorvaneTarselZiroruVovizuMainWindowClassPrevent",
                                        "EndPlatform"}));
    EXPECT_EQ(appLog, (std::vector<std::string>{"BeforeStartup /usr/bin/tarsel -x", "RunApplicationStartup",
                                                "AfterStartup /usr/bin/tarsel -x", "CreateMainWindow 1", "Run",
                                                "RunMessageLoop", "ExitApplication"}));
    EXPECT_EQ(script.mainControlLoaded, "mainControl");
    EXPECT_EQ(script.shows, std::vector<int32_t>{5});
    EXPECT_NE(script.seenDuringRun, nullptr);
    EXPECT_TRUE(script.destroyed);
    EXPECT_EQ(LFrameworkApp::GetInstance(), nullptr);
    EXPECT_EQ(Text(LFrameworkApp::GetMainWindowClass()), "CorvaneTarselZiroruVovizuMainWindowClass");
    EXPECT_EQ(languageId, 0x0409);
}

TEST_F(FrameworkAppEntryTest, ASecondInstanceHandsItsCommandLineOverAndExitsWithMinusOne)
{
    services.firstInstance = false;
    EXPECT_EQ(RunEntry(u"/usr/bin/tarsel \u00e9t\u00e9.trs"), -1);
    EXPECT_TRUE(Logged("HandOver /usr/bin/tarsel \xc3\xa9t\xc3\xa9.trs"));
    EXPECT_TRUE(appLog.empty());
    EXPECT_FALSE(script.destroyed);
    EXPECT_EQ(services.log.back(), "EndPlatform");
}

TEST_F(FrameworkAppEntryTest, ASecondInstanceTheRunningOneCannotServeSaysSoAndNeverRunsInFull)
{
    services.firstInstance = false;
    services.runningWindow = false;
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunEntry(u"/usr/bin/tarsel a.trs"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tarsel-editor: an editor is already running but did not take this start's command line\n");
    EXPECT_TRUE(Logged("HandOver /usr/bin/tarsel a.trs"));
    EXPECT_TRUE(appLog.empty());
    EXPECT_TRUE(script.mainControlLoaded.empty());
    EXPECT_EQ(services.log.back(), "EndPlatform");
}

TEST_F(FrameworkAppEntryTest, StartupFailuresShowTheErrorBoxAndExitWithMinusOne)
{
    const std::string fromTable = "Box Start failed (table) / Table caption";
    const std::string builtIn = "Box The application encountered problems during startup and will now close. / Error";
    const struct {
        const char* name;
        bool missingResources;
        QVResult startup;
        QVResult createMainWindow;
        const char16_t* mainControl;
        std::string box;
        bool appMade;
    } cases[] = {
        {"resources missing", true, 0, S_OK, u"mainControl", builtIn, false},
        {"start-up refused", false, E_FAIL, S_OK, u"mainControl", fromTable, true},
        {"no main window", false, 0, E_FAIL, u"mainControl", fromTable, true},
        {"main control missing", false, 0, S_OK, u"noSuchControl", fromTable, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        services.log.clear();
        appLog.clear();
        script = AppScript{};
        script.startupResult = c.startup;
        script.createMainWindowResult = c.createMainWindow;
        script.mainControlName = c.mainControl;
        options.module = c.missingResources ? &empty : &module;
        EXPECT_EQ(RunEntry(), -1);
        EXPECT_TRUE(Logged(c.box));
        EXPECT_EQ(services.log.back(), "EndPlatform");
        EXPECT_EQ(script.destroyed, c.appMade);
        if (c.appMade) {
            EXPECT_EQ(appLog.back(), "ExitApplication");
        }
        EXPECT_EQ(LFrameworkApp::GetInstance(), nullptr);
    }
}

TEST_F(FrameworkAppEntryTest, AWindowlessStartupRunsThePlainLoop)
{
    script.startupResult = static_cast<QVResult>(0x8000A010);
    EXPECT_EQ(RunEntry(), 1);
    EXPECT_TRUE(Logged("PlainLoop"));
    EXPECT_EQ(std::count(appLog.begin(), appLog.end(), "CreateMainWindow 1"), 0);
    EXPECT_EQ(appLog.back(), "ExitApplication");
}

TEST_F(FrameworkAppEntryTest, APlatformThatDoesNotStartEndsAtOnce)
{
    services.platformStarts = false;
    EXPECT_EQ(RunEntry(), -1);
    EXPECT_EQ(services.log, std::vector<std::string>{"StartPlatform"});
}

TEST_F(FrameworkAppEntryTest, TheDebugSwitchReachesTheSystem)
{
    const struct {
        const char16_t* commandLine;
        const char* expected;
        const char* said;  // on standard error
    } cases[] = {{u"tarsel -debug_console", "Console", ""},
                 {u"tarsel -DEBUG_CONSOLE:9000:localhost", "Target LOCALHOST:9000", ""},
                 {u"tarsel -DEBUG_CONSOLE:90000:localhost", "Console",
                  "-DEBUG_CONSOLE: the port \"90000\" is not a number 1..65535; the console is used\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        services.log.clear();
        testing::internal::CaptureStderr();
        EXPECT_EQ(RunEntry(c.commandLine), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.said);
        EXPECT_TRUE(Logged(c.expected));
    }
}

class IdleApp : public FakeFrameworkApp {
public:
    using FakeFrameworkApp::FakeFrameworkApp;
    bool ProcessPendingNotifications(bool firstPass) override
    {
        passes.push_back(firstPass);
        return workLeft;
    }
    bool workLeft = true;
    std::vector<bool> passes;
};

TEST_F(FrameworkAppEntryTest, IdleRunsAtMostThreePassesWhileWorkRemains)
{
    MFCFrameworkApp<ScriptedApp> entry(services, options);
    EXPECT_FALSE(entry.OnIdle(0));  // no application yet
    RCPtr<IdleApp> app(new IdleApp(nullptr, nullptr));
    const struct {
        int32_t count;
        bool workLeft;
        bool answer;
    } cases[] = {{0, true, true}, {1, true, true}, {2, true, false}, {0, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        app->workLeft = c.workLeft;
        EXPECT_EQ(entry.OnIdle(c.count), c.answer);
    }
    EXPECT_EQ(app->passes, (std::vector<bool>{true, false, false, true}));

    app->RequestExit();
    app->LFrameworkApp::ProcessPendingNotifications(true);
    ASSERT_TRUE(app->IsClosing());
    app->passes.clear();
    EXPECT_FALSE(entry.OnIdle(0));
    EXPECT_TRUE(app->passes.empty());
}

TEST(DebugSwitchTest, ReadsTheConsoleAndUdpForms)
{
    const struct {
        const char* commandLine;
        bool console;
        int32_t port;  // -1: none
        const char* host;
    } cases[] = {
        {"tarsel", false, -1, nullptr},
        {"tarsel -DEBUG_CONSOLE", true, -1, nullptr},
        {"tarsel -debug_console", true, -1, nullptr},
        {"tarsel -Debug_Console -other", true, -1, nullptr},
        {"tarsel -DEBUG_CONSOLE:9", false, -1, nullptr},
        {"tarsel -DEBUG_CONSOLE:", false, -1, nullptr},
        {"tarsel -DEBUG_CONSOLE:9000", false, 9000, nullptr},
        {"tarsel -DEBUG_CONSOLE:9000 -x", false, 9000, nullptr},
        {"tarsel -debug_console:9000:myhost", false, 9000, "MYHOST"},
        {"tarsel -DEBUG_CONSOLE:9000:10.0.0.2 file", false, 9000, "10.0.0.2"},
        {"tarsel -DEBUG_CONSOLE:9000: file", false, 9000, nullptr},
        // The ":" after the blank belongs to the next argument.
        {"tarsel -DEBUG_CONSOLE:9000 C:/presets", false, 9000, nullptr},
        {"tarsel -DEBUG_CONSOLE:12 x:y", false, 12, nullptr},
        {"tarsel -DEBUG_CONSOLE:1 x:y", false, -1, nullptr},
        {"tarsel -DEBUG_CONSOLE:65535", false, 65535, nullptr},
        {"tarsel -DEBUG_CONSOLE:01", false, 1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        const DebugSwitch result = ParseDebugSwitch(c.commandLine);
        EXPECT_EQ(result.openConsole, c.console);
        EXPECT_EQ(result.port.value_or(-1), c.port);
        EXPECT_EQ(result.host.has_value(), c.host != nullptr);
        if (c.host && result.host) {
            EXPECT_EQ(*result.host, c.host);
        }
        EXPECT_FALSE(result.error);
    }
}

TEST(DebugSwitchTest, APortOutside1To65535IsReportedAndTheConsoleUsed)
{
    for (const char* commandLine :
         {"tarsel -DEBUG_CONSOLE:AB", "tarsel -DEBUG_CONSOLE:00", "tarsel -DEBUG_CONSOLE:65536:host",
          "tarsel -DEBUG_CONSOLE:12AB", "tarsel -DEBUG_CONSOLE:-5", "tarsel -DEBUG_CONSOLE:99999999999999999999 x"}) {
        SCOPED_TRACE(commandLine);
        const DebugSwitch result = ParseDebugSwitch(commandLine);
        EXPECT_TRUE(result.openConsole);
        EXPECT_FALSE(result.port);
        EXPECT_FALSE(result.host);
        ASSERT_TRUE(result.error);
        EXPECT_NE(result.error->find("is not a number 1..65535"), std::string::npos) << *result.error;
    }
}

}  // namespace
