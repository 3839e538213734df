#include "FrameworkAppEntry.h"

#include <array>
#include <cstdio>
#include <exception>

#include "DebugSwitch.h"
#include "Exception.h"
#include "UtfConversion.h"

namespace QV {
namespace {

constexpr std::string_view kSource = "Application/ApplicationBaseWin";
constexpr std::string_view kInitApplication = "QV::MFCFrameworkApp<class LApplication>::InitApplication";
constexpr std::string_view kRun = "QV::MFCFrameworkApp<class LApplication>::Run";
constexpr int32_t kShow = 5;

}  // namespace

bool FrameworkAppEntry::IsWindowlessStartup(QVResult result)
{
    constexpr std::array<uint32_t, 6> kResults{0x8000A000, 0x8000A001, 0x8000A002, 0x8000A003, 0x8000A010, 0x8000A020};
    for (uint32_t code : kResults) {
        if (static_cast<uint32_t>(result) == code) return true;
    }
    return false;
}

FrameworkAppEntry::FrameworkAppEntry(IEntryServices& services, EntryOptions options)
    : mServices(services), mOptions(std::move(options))
{}

FrameworkAppEntry::~FrameworkAppEntry() = default;

int32_t FrameworkAppEntry::RunMain(const String& commandLine, int32_t languageId)
{
    mCommandLine = commandLine;
    int32_t code = -1;
    bool started = false;
    try {
        started = mServices.StartPlatform();
        if (started) {
            mLanguageId = (languageId == -1 ? mServices.GetUserLanguageId() : languageId) & 0xFFFF;
            if (InitApplication()) code = InitInstance() ? Run() : ExitInstance();
        }
    } catch (...) {
        // Whatever start-up raised ends here, shown, instead of in std::terminate.
        try {
            ShowStartupError();
        } catch (...) {
        }
        code = -1;
    }
    mFrameworkStrings = nullptr;
    mFactory = nullptr;
    if (started) mServices.EndPlatform();
    return code;
}

bool FrameworkAppEntry::InitApplication()
{
    mNotInitialized = false;
    try {
        ShowSplash();
        mFactory = new LControlFactory(mOptions.applicationName,
                                       mOptions.module ? *mOptions.module : Platform::GetProgramModule());
        const QVResult loaded = mFactory->LoadResources(mOptions.resourceFolder, mLanguageId);
        if (Failed(loaded)) ThrowFailedResult(loaded, kInitApplication, kSource, 161);
        mFrameworkStrings = mFactory->GetFrameworkStringTable();
        LFrameworkApp::SetMainWindowClass(mOptions.mainWindowClass);
        String lockName = mOptions.mainWindowClass;
        lockName += u"Prevent";
        mFirstInstance = mServices.AcquireSingleInstance(lockName);
        if (mFirstInstance) return true;
        // Another editor runs: never a second one, whether it took the command line or not.
        if (!mServices.HandOverToRunningInstance(Utf16ToUtf8(mCommandLine.View()))) {
            std::fputs("tarsel-editor: an editor is already running but did not take this start's command line\n",
                       stderr);
        }
        return false;
    } catch (const std::exception&) {
        HideSplash();
        ShowStartupError();
        return false;
    }
}

bool FrameworkAppEntry::InitInstance()
{
    const DebugSwitch debug = ParseDebugSwitch(Utf16ToUtf8(mCommandLine.View()));
    if (debug.error) std::fprintf(stderr, "%s\n", debug.error->c_str());
    if (debug.port) {
        mServices.SetDebugTarget(debug.host, *debug.port);
    } else if (debug.openConsole) {
        mServices.OpenDebugConsole();
    }
    return true;
}

int32_t FrameworkAppEntry::Run()
{
    const String commandLine = mCommandLine;
    RCPtr<LFrameworkApp> application = CreateApplication(mFactory, mFrameworkStrings, commandLine);
    mApplication = application;
    // Tear-down runs however the run ends, so the application never outlives the entry.
    struct TearDown {
        FrameworkAppEntry& entry;
        RCPtr<LFrameworkApp>& application;
        ~TearDown()
        {
            if (application) (void)application->ExitApplication();
            entry.mApplication = nullptr;
            application = nullptr;
            entry.HideSplash();
        }
    } tearDown{*this, application};
    StartApplication(*application);
    return 1;
}

void FrameworkAppEntry::StartApplication(LFrameworkApp& application)
{
    (void)application.OnCommandLineBeforeStartup(mCommandLine);
    QVResult result = application.RunApplicationStartup();
    if (Failed(result)) {
        if (!IsWindowlessStartup(result)) ThrowFailedResult(result, kRun, kSource, 368);
        HideSplash();
        mServices.RunPlainMessageLoop();
        return;
    }
    (void)application.OnCommandLineAfterStartup(mCommandLine);
    result = application.CreateMainWindow(application.GetRendererType());
    if (Failed(result)) ThrowFailedResult(result, kRun, kSource, 349);
    const std::vector<RCPtr<LRootWindow>> roots = application.GetRootWindows();
    result = roots.empty() ? E_FAIL : roots.front()->SetMainControlByName(application.GetMainControlName());
    if (Failed(result)) ThrowFailedResult(result, kRun, kSource, 350);
    if (IWindowOSServices* window = roots.front()->GetOSServices()) {
        window->Show(kShow);
        window->UpdateNow();
    }
    HideSplash();
    application.Run();
}

int32_t FrameworkAppEntry::ExitInstance()
{
    if (mNotInitialized) {
        mFactory = nullptr;
        mFrameworkStrings = nullptr;
    }
    return 1;
}

bool FrameworkAppEntry::OnIdle(int32_t count)
{
    LFrameworkApp* application = LFrameworkApp::GetInstance();
    if (!application || application->IsClosing()) return false;
    const bool more = application->ProcessPendingNotifications(count == 0);
    return more && count < 2;
}

void FrameworkAppEntry::ShowStartupError()
{
    String text = u"The application encountered problems during startup and will now close.";
    String caption = u"Error";
    if (mFrameworkStrings) {
        mFrameworkStrings->GetString(u"STARTUP_ERROR", text);
        mFrameworkStrings->GetString(u"STARTUP_ERROR_CAPTION", caption);
    }
    mServices.ShowStartupError(text, caption);
}

}  // namespace QV
