#include "LApplication.h"

#include <cstdint>
#include <ctime>
#include <stdexcept>

#include "Clock.h"
#include "DesktopInput.h"
#include "EditorControlClasses.h"
#include "Exception.h"
#include "FontFolders.h"
#include "LDeviceView.h"
#include "LDialog.h"
#include "LMainControl.h"
#include "LNotificationCenterManager.h"
#include "MeasurementRendererSource.h"
#include "MessageBoxService.h"
#include "NotificationNameTable.h"
#include "QVFolders.h"
#include "ResourceModule.h"
#include "SdlWindowBackend.h"
#include "Version.h"
#include "XdgFolders.h"

using namespace QV;

namespace {

// Room for the window frame inside a 1024 x 768 screen.
constexpr int32_t kMainWidth = 1000;
constexpr int32_t kMainHeight = 720;
constexpr int32_t kPlacementSize = 44;

const Version& ProgramVersion()
{
    static const Version version;
    return version;
}

String HexOf(const std::vector<uint8_t>& bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes) {
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 15]);
    }
    return String(text.c_str());
}

// Bytes of upper- or lower-case hex; nothing when the text is not hex.
std::vector<uint8_t> BytesOf(const String& hex)
{
    const std::string text = hex.ToUtf8();
    std::vector<uint8_t> bytes;
    if (text.size() % 2) return {};
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (size_t i = 0; i < text.size(); i += 2) {
        const int hi = digit(text[i]), lo = digit(text[i + 1]);
        if (hi < 0 || lo < 0) return {};
        bytes.push_back(uint8_t(hi * 16 + lo));
    }
    return bytes;
}

int32_t Int32At(const std::vector<uint8_t>& bytes, size_t offset)
{
    return int32_t(uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
                   uint32_t(bytes[offset + 3]) << 24);
}

// Text is measured with the main window's renderer, else with one of the
// application's own until that window stands.
RCPtr<LMeasurementRenderer> ApplicationMeasurementRenderer()
{
    auto* application = dynamic_cast<LApplication*>(LFrameworkApp::GetInstance());
    return application ? application->GetMeasurementRenderer() : nullptr;
}

}  // namespace

RCPtr<LMeasurementRenderer> LApplication::GetMeasurementRenderer()
{
    const std::vector<RCPtr<LRootWindow>> roots = GetRootWindows();
    if (!roots.empty() && roots.front()->GetRenderer())
        return RCPtr<LMeasurementRenderer>(roots.front()->GetRenderer().Get());
    if (!mMeasurementRenderer)
        mMeasurementRenderer = LRenderer::Create(LRenderer::kGdi, LongRect{0, 0, 16, 16}, nullptr);
    return RCPtr<LMeasurementRenderer>(mMeasurementRenderer.Get());
}

LApplication::LApplication(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                           const String& commandLine)
    : LFrameworkApp(factory, frameworkStrings, NarrowString()),
      mIni(new LIniFileManager),
      mLastElapsedMs(Platform::Clock::NowMs()),
      mCommandLine(commandLine)
{
    mMessageBoxSeat.emplace(*this);
    mChooserSeat.emplace(mChooserHost);
    // The engine and the MIDI threads post to the application's center: each
    // post wakes the sleeping loop so it is drained at once.
    if (RCPtr<LNotificationCenter> center = QV::GetDefaultNotificationCenter()) {
        center->SetWakeHook(&Platform::Window::WakeLoop);
    }
    mPreviousMeasurementSource = SetMeasurementRendererSource(&ApplicationMeasurementRenderer);
    // A dialog's close box answers as its Cancel button would.
    LRootWindow::SetCancelHandler(&LDialog::CancelFromCloseBox);
}

LApplication::~LApplication()
{
    mMessageBoxSeat.reset();
    mChooserSeat.reset();
    LRootWindow::SetCancelHandler(nullptr);
    if (RCPtr<LNotificationCenter> center = QV::GetDefaultNotificationCenter()) center->SetWakeHook(nullptr);
    SetMeasurementRendererSource(mPreviousMeasurementSource);
    mOtherWindows.clear();
    if (mMainWindow) {
        RCPtr<LRootWindow> root = mMainWindow->GetRootWindow();
        mMainWindow->DestroyWindow();
        mMainWindow.reset();
        if (root) root->ReleaseInternalReferences();
    }
    // The MIDI manager goes first: a get in flight applies through the engine.
    if (mMidiManager) mMidiManager->ReleaseInternalReferences();
    mMidiManager = nullptr;
    if (mEngine) {
        (void)mEngine->EnableDeviceScan(false);
        (void)mEngine->WaitForWorkerStop();
        SetRootModuleEngine(nullptr);
        mEngine->ReleaseInternalReferences();
    }
    mEngine = nullptr;
    CloseSettingsFiles();
    mMeasurementRenderer = nullptr;
}

// ------------------------------------------------------------ file chooser

uint64_t EditorFileDialogHost::GetOwnerWindow()
{
    RCPtr<LRootWindow> active = mApplication.GetActiveRootWindow();
    IWindowOSServices* window = active ? active->GetOSServices() : nullptr;
    return window ? Platform::Window::SdlWindowBackend::GetX11WindowId(window->GetWindowHandle()) : 0;
}

void EditorFileDialogHost::WhileChooserOpen()
{
    Platform::Window::SdlWindowBackend::KeepPainting();
}

// ------------------------------------------------------------ identity

String LApplication::GetCompanyName()
{
    return ProgramVersion().GetCompanyName();
}

String LApplication::GetProductName()
{
    return ProgramVersion().GetProductName();
}

String LApplication::GetProductVersion()
{
    return ProgramVersion().GetProductVersion();
}

uint32_t LApplication::GetCursorHandle(const char16_t* name)
{
    return Platform::Window::GetCursorIdForName(name);
}

void* LApplication::GetInstanceHandle()
{
    return const_cast<Platform::ResourceModule*>(&Platform::GetProgramModule());
}

QVResult LApplication::GetSystemFont(String& faceName, float& size, int32_t& style)
{
    const std::string family = Platform::GetSystemFontFamily();
    faceName = String(family.c_str());
    size = family.empty() ? 0.0f : 9.0f;
    style = 0;
    return family.empty() ? E_FAIL : S_OK;
}

DoubleRect LApplication::GetWorkArea()
{
    return Platform::Window::GetWorkArea();
}

String LApplication::GetFolder(int32_t folderId)
{
    const String own = String(u"/") + GetCompanyName() + String(u"/") + GetProductName();
    switch (folderId) {
    case kResourceFolder: return u"::";
    case kAllUsersDataFolder: return String(Platform::GetAllUsersAppDataFolder().c_str()) + own;
    case kUserDataFolder: return String(Platform::GetUserAppDataFolder().c_str()) + own;
    case kDocumentsFolder: return String(Platform::GetDocumentsFolder().c_str());
    default:
        throw Exception<std::out_of_range>(FormatExceptionMessage(kOutOfRange, "Unknown Path ID.",
                                                                  "LApplication::GetFolder", "App\\Application", 160));
    }
}

// ------------------------------------------------------------ clocks and input

double LApplication::GetElapsedTime()
{
    const uint32_t now = Platform::Clock::NowMs();
    mElapsedSeconds += double(Platform::Clock::ElapsedMs(mLastElapsedMs, now)) / 1000.0;
    mLastElapsedMs = now;
    return mElapsedSeconds;
}

uint32_t LApplication::GetTimeMs()
{
    return Platform::Clock::NowMs();
}

SystemDateTime LApplication::GetSystemDateTime()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return {uint16_t(local.tm_year + 1900), uint16_t(local.tm_mon + 1),     uint16_t(local.tm_wday),
            uint16_t(local.tm_mday),        uint16_t(local.tm_hour),        uint16_t(local.tm_min),
            uint16_t(local.tm_sec),         uint16_t(now.tv_nsec / 1000000)};
}

int16_t LApplication::GetKeyState(int32_t virtualKey)
{
    return Platform::Window::GetKeyState(virtualKey);
}

void LApplication::ShowCursor(bool show)
{
    Platform::Window::ShowCursor(show);
}

void LApplication::SetCursorPos(const LongPoint& point)
{
    Platform::Window::WarpCursor(point);
}

LongPoint LApplication::GetSystemCursorPosition()
{
    return Platform::Window::GetScreenCursor();
}

int32_t LApplication::ShowMessageBox(const String& text, const String& caption, uint32_t flags)
{
    return Platform::ShowMessageBox(text, caption, flags);
}

// ------------------------------------------------------------ settings

IniFileHandle LApplication::GetSettingsFile(int32_t kind)
{
    if (kind != kUserSettingsFile && kind != kAppSettingsFile) return 0;
    if (auto it = mSettingsFiles.find(kind); it != mSettingsFiles.end()) return it->second;
    mSettingsFiles[kind] = 0;  // one try per run: a file that failed stays closed
    if (!mIniReady) mIniReady = mIni->Initialize(String()) >= 0;
    if (!mIniReady) return 0;
    const String folder = GetFolder(kind == kUserSettingsFile ? kUserDataFolder : kAllUsersDataFolder);
    if (EnsureFolderExists(folder) < 0) return 0;
    const String path = folder + String(kind == kUserSettingsFile ? u"/UserSettings.ini" : u"/AppSettings.ini");
    IniFileHandle handle = 0;
    if (mIni->OpenIniFile(path, GetVersionTag(), GetProductName(), handle) < 0) return 0;
    return mSettingsFiles[kind] = handle;
}

void LApplication::CloseSettingsFiles()
{
    for (auto& [kind, handle] : mSettingsFiles) {
        if (handle) (void)mIni->CloseIniFile(handle, 1);  // nothing is left to report a failure to
        handle = 0;
    }
    mSettingsFiles.clear();
    if (mIniReady) (void)mIni->Terminate();
    mIniReady = false;
}

void LApplication::WriteProfileBinary(const String& section, const String& name, const std::vector<uint8_t>& bytes)
{
    const IniFileHandle file = GetSettingsFile(kUserSettingsFile);
    if (!file || mIni->SetIniValueStr(file, section + String(u"/") + name, HexOf(bytes)) < 0) return;
    (void)mIni->WriteIniFile(file);
}

void LApplication::RestorePlacement()
{
    const IniFileHandle file = GetSettingsFile(kUserSettingsFile);
    String hex;
    if (!file || !mMainWindow || mIni->GetIniValueStr(file, GetMainWindowClass() + String(u"/WP"), String(), hex) < 0) {
        return;
    }
    const std::vector<uint8_t> bytes = BytesOf(hex);
    if (bytes.size() != kPlacementSize || Int32At(bytes, 0) != kPlacementSize) return;
    const int64_t left = Int32At(bytes, 28), top = Int32At(bytes, 32);
    const int64_t right = Int32At(bytes, 36), bottom = Int32At(bytes, 40);
    if (right <= left || bottom <= top || right - left > INT32_MAX || bottom - top > INT32_MAX) return;
    const LongRect frame{int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top)};
    // A frame from another screen set-up is dropped rather than shown off-screen.
    if (!Platform::Window::FitsAWorkArea(frame)) return;
    auto& backend = static_cast<Platform::Window::SdlWindowBackend&>(mMainWindow->GetBackend());
    backend.SetFrameRect(frame);
    const LongRect client = backend.GetClientRect();
    mMainWindow->GetRootWindow()->SetClientSize(client.width, client.height);
}

// ------------------------------------------------------------ windows

std::unique_ptr<OSWindow> LApplication::MakeWindow(const String& title, int32_t width, int32_t height,
                                                   int32_t rendererType, OSWindow* owner)
{
    auto backend = std::make_unique<Platform::Window::SdlWindowBackend>(title.ToUtf8().c_str(), width, height);
    if (!backend->GetHandle()) return nullptr;
    Platform::Window::SdlWindowBackend* raw = backend.get();
    auto window = std::make_unique<OSWindow>(std::move(backend), owner);
    raw->SetHost(window.get());
    if (window->CreateRenderer(rendererType) < 0) return nullptr;
    window->SetWindowTitle(title);
    return window;
}

QVResult LApplication::CreateMainWindow(int32_t rendererType)
{
    if (mMainWindow) return E_FAIL;
    mMainWindow = MakeWindow(GetProductName(), kMainWidth, kMainHeight, rendererType, nullptr);
    if (!mMainWindow) return E_FAIL;
    RestorePlacement();
    return S_OK;
}

RCPtr<LControl> LApplication::LoadControl(const String& name, LControl* parent)
{
    IControlFactory* factory = GetControlFactory();
    RCPtr<IControlDescriptor> descriptor = factory ? factory->FindControlDescriptor(name) : nullptr;
    return descriptor ? factory->CreateControl(descriptor, parent) : nullptr;
}

RCPtr<LRootWindow> LApplication::CreateRootWindow(int32_t rendererType, const RCPtr<LControl>& control)
{
    std::unique_ptr<OSWindow> window =
        MakeWindow(control ? control->GetText() : GetProductName(), 400, 300, rendererType, mMainWindow.get());
    if (!window) return nullptr;
    RCPtr<LRootWindow> root = window->GetRootWindow();
    if (control) (void)root->SetMainControl(control);
    mOtherWindows.push_back(std::move(window));
    return root;
}

QVResult LApplication::ShowModal(const RCPtr<LControl>& control, int32_t)
{
    if (!control) return E_FAIL;
    std::unique_ptr<OSWindow> window = MakeWindow(control->GetText(), 400, 300, GetRendererType(), mMainWindow.get());
    if (!window) return E_FAIL;
    RCPtr<LRootWindow> root = window->GetRootWindow();
    (void)root->SetMainControl(control);
    const DoubleRect frame = control->GetFrame();
    if (frame.width >= 1 && frame.height >= 1) root->SetClientSize(int32_t(frame.width), int32_t(frame.height));
    window->SetWindowTitle(control->GetText());
    window->Show(1);
    // Keys go to the focus: the modal control takes it, so Escape reaches a dialog.
    control->SetFocus(true);
    const int32_t result = window->RunModal();
    root->ReleaseInternalReferences();
    return result;
}

// ------------------------------------------------------------ start, run, end

QVResult LApplication::RunApplicationStartup()
{
    const QVResult framework = LFrameworkApp::RunApplicationStartup();
    if (framework < 0) return framework;
    const QVResult registered = RegisterEditorControlClasses(*GetFactory());
    if (registered < 0) return registered;

    mEngine = RCPtr<LRootModuleEngine>(new LRootModuleEngine());
    SetRootModuleEngine(mEngine);
    try {
        // Without a keyboard library the engine runs offline on its defaults.
        (void)mEngine->Initialize(0);
        (void)mEngine->EnableDeviceScan(true);
    } catch (const FailedResultException&) {
    }
    mMidiManager = LMidiManager::Create();

    LStringTable::Pairs pairs;
    if (const RCPtr<LStringTable>& strings = GetApplicationStringTable()) strings->GetAllStrings(pairs);
    return GetHotKeyManager() ? GetHotKeyManager()->GetKeyMap().LoadFromPairs(&pairs, u"GHK_WIN") : S_OK;
}

void LApplication::BeforeRun()
{
    RCPtr<LRootWindow> root = mMainWindow ? mMainWindow->GetRootWindow() : nullptr;
    auto* main = root ? dynamic_cast<LMainControl*>(root->GetMainControl().Get()) : nullptr;
    if (!main) return;
    // The skin's caption of the main control, else the product's name.
    mMainWindow->SetWindowTitle(main->GetText().IsEmpty() ? GetProductName() : main->GetText());
    if (auto* view = dynamic_cast<LDeviceView*>(main->GetDeviceView().Get())) {
        view->SetMidiManager(mMidiManager);
        view->ListenForCommands(root->GetDistributor());
    }
}

int32_t LApplication::RunMessageLoop()
{
    if (!mMainWindow) return 0;
    IOSWindowBackend& backend = mMainWindow->GetBackend();
    int32_t idleCount = 0;
    bool idle = true;
    for (;;) {
        while (idle && !IsClosing() && !backend.HasPendingMessage()) {
            WindowMessage kick;
            kick.kind = WindowMessage::Kind::kKickIdle;
            kick.idleCount = idleCount++;
            if (!mMainWindow->HandleMessage(kick)) idle = false;
        }
        if (!backend.PumpMessage()) break;
        idle = true;
        idleCount = 0;
    }
    return 0;
}

QVResult LApplication::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                           const RCPtr<LNotification>& notification)
{
    const QVResult result = LFrameworkApp::ReceiveNotification(sender, notification);
    if (notification && notification->GetID() == NotificationNameTable::GetNotificationID(u"NID_APP_EXIT_REQ")) {
        CloseMainWindow();
    }
    return result;
}

void LApplication::CloseMainWindow()
{
    if (!mMainWindow || mMainWindow->IsDestroyed()) return;
    mMainWindow->DestroyWindow();
    mMainWindow->GetBackend().PostQuit();
}

QVResult LApplication::ExitApplication()
{
    return LFrameworkApp::ExitApplication();
}

QVResult LApplication::OnCommandLineReceived(const String&)
{
    return 0;
}

void LApplication::HandleCommandText(const String& text)
{
    (void)OnCommandLineReceived(text);
}

bool LApplication::ProcessPendingNotifications(bool firstPass)
{
    if (mCommandLineSource) {
        for (const std::string& text : mCommandLineSource()) DeliverCommandText(text);
    }
    return LFrameworkApp::ProcessPendingNotifications(firstPass);
}

void LApplication::DeliverCommandText(const std::string& utf8)
{
    if (!mMainWindow || mMainWindow->IsDestroyed()) return;
    IOSWindowBackend& backend = mMainWindow->GetBackend();
    if (backend.GetShowState() == 2) backend.Show(9);  // restore a minimised window
    backend.Raise();
    RaiseOpenDialog();  // an open dialog stays in front of its main window
    WindowMessage message;
    message.kind = WindowMessage::Kind::kCopyData;
    message.dataId = WindowMessage::kCopyDataCommandText;
    message.data = utf8 + std::string(1, '\0');
    mMainWindow->HandleMessage(message);
}
