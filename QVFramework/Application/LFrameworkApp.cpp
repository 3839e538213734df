#include "LFrameworkApp.h"

#include <algorithm>
#include <exception>

#include "ControlEditTarget.h"
#include "Exception.h"
#include "FrameworkControlClasses.h"
#include "FrameworkStrings.h"
#include "LFont.h"
#include "LLayout.h"
#include "LNotificationCenterManager.h"
#include "LPostingReceiver.h"
#include "LStatusBar.h"
#include "MeasurementRendererSource.h"

namespace QV {
namespace {

LFrameworkApp* gInstance = nullptr;

String& MainWindowClass()
{
    static String name;
    return name;
}

constexpr const char16_t* kWaitCursor = u"UI_CURSOR_WAIT";
constexpr const char16_t* kExitRequest = u"NID_APP_EXIT_REQ";
constexpr const char16_t* kStartupError = u"STARTUP_ERROR";
constexpr const char16_t* kStartupErrorCaption = u"STARTUP_ERROR_CAPTION";
constexpr const char16_t* kStartupErrorText =
    u"The application encountered problems during startup and will now close.";
constexpr const char16_t* kStartupErrorCaptionText = u"Error";

bool LookUpInApplication(const String& id, String& text)
{
    return gInstance && gInstance->GetFrameworkStringTable() && gInstance->GetFrameworkStringTable()->GetString(id, text);
}

bool IsDown(int16_t state)
{
    return state < 0;
}

}  // namespace

LFrameworkApp::LFrameworkApp(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                             const NarrowString& text)
    : mFactory(factory),
      mNarrowText(text),
      mFrameworkStrings(frameworkStrings),
      mApplicationStrings(factory ? factory->GetDefaultStringTable() : nullptr),
      mClipboard(LClipboard::Create())
{
    if (RCPtr<LNotificationCenter> center = QV::GetDefaultNotificationCenter()) {
        mHotKeys = LGlobalHotKeyManager::Create(RCPtr<LNotificationReceiver>(center->GetPostingReceiver().Get()));
        RegisterNotification(RCPtr<LNotificationDistributor>(center.Get()), kExitRequest);
    }
    mControlSeat.emplace(*this);
    mWindowSeat.emplace(*this);
    gInstance = this;
    SetFrameworkStringLookup(&LookUpInApplication);
}

LFrameworkApp::~LFrameworkApp()
{
    UnregisterAllNotifications();
    if (gInstance == this) {
        gInstance = nullptr;
        SetFrameworkStringLookup(nullptr);
    }
    mWindowSeat.reset();
    mControlSeat.reset();
    LNotification::EnableRecycling(false);
}

LFrameworkApp* LFrameworkApp::GetInstance()
{
    return gInstance;
}

void LFrameworkApp::SetMainWindowClass(const String& name)
{
    MainWindowClass() = name;
}

const String& LFrameworkApp::GetMainWindowClass()
{
    return MainWindowClass();
}

QVResult LFrameworkApp::ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                                            const RCPtr<LNotification>& notification)
{
    if (!notification) return S_OK;
    bool exitRequest = false;
    {
        Mutex::Lock lock(GetNotificationLock());
        exitRequest = notification->GetID() == NotificationNameTable::GetNotificationIDLocked(kExitRequest);
    }
    if (!exitRequest) return S_OK;
    mClosing = true;
    // The main window (index 0) is closed by the program's own application.
    const std::vector<RCPtr<LRootWindow>> roots = mRootWindows;
    for (size_t i = roots.size(); i-- > 1;) (void)roots[i]->RequestClose(0);
    return S_OK;
}

QVResult LFrameworkApp::OnCommandLineBeforeStartup(const String&)
{
    return S_OK;
}

QVResult LFrameworkApp::OnCommandLineAfterStartup(const String&)
{
    return S_OK;
}

QVResult LFrameworkApp::OnCommandLineReceived(const String&)
{
    return S_OK;
}

int32_t LFrameworkApp::Run()
{
    if (!mRootWindows.empty()) mRootWindows.front()->InvalidateAll();
    BeforeRun();
    ProcessPendingNotifications(true);
    try {
        RunMessageLoop();
    } catch (const std::exception&) {
        ShowMessageBox(GetFrameworkString(kStartupError, kStartupErrorText),
                       GetFrameworkString(kStartupErrorCaption, kStartupErrorCaptionText), kIconError);
        RequestExit();
    }
    return ProcessPendingNotifications(true) ? 1 : 0;
}

RCPtr<LStatusBar> LFrameworkApp::GetStatusBar()
{
    return RCPtr<LStatusBar>(LStatusBar::GetCurrent());
}

RCPtr<LMeasurementRenderer> LFrameworkApp::GetMainOSWindow()
{
    if (!mRootWindows.empty() && mRootWindows.front()->GetRenderer())
        return RCPtr<LMeasurementRenderer>(mRootWindows.front()->GetRenderer().Get());
    return GetMeasurementRenderer();
}

int32_t LFrameworkApp::LoadCurrentSkinIndex()
{
    IIniFileManager* settings = GetIniFileManager();
    const IniFileHandle file = GetSettingsFile(kUserSettingsFile);
    int32_t index = 0;
    if (!settings || !file) return 0;
    if (Failed(settings->GetIniValueInt(file, u"CurrentSkinIndex", 0, index))) return 0;
    return index;
}

QVResult LFrameworkApp::SetSkin(int32_t index)
{
    String face;
    float size = 0.0f;
    int32_t style = 0;
    const QVResult font = GetSystemFont(face, size, style);
    if (Failed(font)) ThrowFailedResult(font, "QV::LFrameworkApp::SetSkin", "Application\\FrameworkApp", 227);
    if (mFactory) {
        (void)mFactory->SetCurrentSkinIndex(index);
        mFactory->GetSkinFont(face, size, style);
    }
    mDefaultFont = LFont::GetFont(face, size, style);
    const std::vector<RCPtr<LRootWindow>> roots = mRootWindows;
    for (const RCPtr<LRootWindow>& root : roots) ApplySkinToRootWindow(*root);

    IIniFileManager* settings = GetIniFileManager();
    if (const IniFileHandle file = GetSettingsFile(kUserSettingsFile); settings && file) {
        // Saved at once, so the choice survives a crash as well as a clean exit.
        if (!Failed(settings->SetIniValueInt(file, u"CurrentSkinIndex", index))) (void)settings->WriteIniFile(file);
    }
    return S_OK;
}

void LFrameworkApp::ApplySkinToRootWindow(LRootWindow& root)
{
    // The wait cursor and the status text while this window takes the new skin.
    SetStatusText(u"Loading Skin...", true);  // a window without a status bar shows only the cursor
    const uint32_t wait = GetCursorHandle(kWaitCursor);
    const uint32_t previous = wait ? root.SetCursor(wait) : 0;
    IWindowOSServices* services = root.GetOSServices();
    const bool active = services && services->IsActive();
    if (active) root.ResetFocus();
    if (mFactory && root.GetMainControl()) (void)mFactory->ApplyControlDescriptor(root.GetMainControl().Get());
    if (services) {
        LongRect client;
        services->GetClientRect(client);
        root.SetClientSize(client.width, client.height);
    }
    const DoublePoint size = root.GetSize();
    root.InvalidateRect(DoubleRect{0, 0, size.x, size.y});
    if (active) root.RestoreFocus();
    if (wait) root.SetCursor(previous);
    ResetStatusText(true);
}

void LFrameworkApp::AddRootWindow(const RCPtr<LRootWindow>& root)
{
    if (!root || std::find(mRootWindows.begin(), mRootWindows.end(), root) != mRootWindows.end()) return;
    mRootWindows.push_back(root);
}

void LFrameworkApp::RemoveRootWindow(LRootWindow* root)
{
    auto it = std::find_if(mRootWindows.begin(), mRootWindows.end(),
                           [root](const RCPtr<LRootWindow>& r) { return r.Get() == root; });
    if (it == mRootWindows.end()) return;
    // Released after the list is consistent: the window may go with it.
    RCPtr<LRootWindow> removed = *it;
    mRootWindows.erase(it);
}

LongPoint LFrameworkApp::GetCursorPosition()
{
    if (RCPtr<LRootWindow> root = GetActiveRootWindow()) {
        LongPoint point;
        root->GetCursorPosition(point.x, point.y);
        return point;
    }
    return GetSystemCursorPosition();
}

uint32_t LFrameworkApp::GetMouseButtonState()
{
    if (RCPtr<LRootWindow> root = GetActiveRootWindow()) return root->GetMouseButtonState();
    uint32_t mask = 0;
    if (IsDown(GetKeyState(kVkLeftButton))) mask |= 1;
    if (IsDown(GetKeyState(kVkMiddleButton))) mask |= 2;
    if (IsDown(GetKeyState(kVkRightButton))) mask |= 4;
    return mask;
}

bool LFrameworkApp::ProcessPendingNotifications(bool firstPass)
{
    bool more = LNotificationCenterManager::GetInstance()->ProcessNotifications(firstPass);
    const std::vector<RCPtr<LRootWindow>> roots = mRootWindows;
    for (auto it = roots.rbegin(); it != roots.rend(); ++it) more = (*it)->ProcessNotifications(firstPass) || more;
    return more;
}

QVResult LFrameworkApp::RunApplicationStartup()
{
    try {
        LNotification::EnableRecycling(true);
        RegisterFrameworkControlClasses([this](const String& name, ControlCreateFunction create) {
            return mFactory ? mFactory->RegisterControl(name, create) : E_FAIL;
        });
        if (mApplicationStrings && mHotKeys) {
            LStringTable::Pairs pairs;
            mApplicationStrings->GetAllStrings(pairs);
            (void)mHotKeys->GetKeyMap().LoadFromPairs(&pairs, u"GHK");
        }
        if (mClipboard) {
            // Without its subscriptions the edit keys do nothing; the program still runs.
            (void)mClipboard->Initialize();
            // The application outlives its bridge: the exit drops the lookup first.
            mClipboard->SetEditTargetLookup([this] { return ControlEditTarget::OfFocus(GetActiveRootWindow()); });
        }
        const int32_t last = mFactory ? mFactory->GetSkinCount() - 1 : -1;
        const int32_t stored = LoadCurrentSkinIndex();
        (void)SetSkin(stored <= last ? stored : last);  // no skin at all shows as an empty window
    } catch (const std::exception&) {
        return E_FAIL;
    }
    return S_OK;
}

QVResult LFrameworkApp::ExitApplication()
{
    mFactory = nullptr;
    if (mHotKeys) mHotKeys->GetKeyMap().Clear();
    if (mClipboard) {
        mClipboard->SetEditTargetLookup(nullptr);
        mClipboard->UnregisterAllNotifications();
        mClipboard = nullptr;
    }
    return S_OK;
}

RCPtr<LRootWindow> LFrameworkApp::GetActiveRootWindow() const
{
    for (auto it = mRootWindows.rbegin(); it != mRootWindows.rend(); ++it) {
        IWindowOSServices* services = (*it)->GetOSServices();
        if (services && services->IsActive()) return *it;
    }
    return nullptr;
}

QVResult LFrameworkApp::SetStatusText(const String& text, bool immediate)
{
    return ShowStatusText(&text, immediate);
}

QVResult LFrameworkApp::ResetStatusText(bool immediate)
{
    return ShowStatusText(nullptr, immediate);
}

QVResult LFrameworkApp::ShowStatusText(const String* text, bool immediate)
{
    if (mRootWindows.empty()) return E_FAIL;
    RCPtr<LStatusBar> bar = GetStatusBar();
    if (!bar) return E_FAIL;
    const String shown = text ? *text : bar->GetDefaultStatusText();
    if (immediate) {
        bar->SetStatusText(shown);
    } else {
        bar->PostStatusText(shown);
    }
    return S_OK;
}

String LFrameworkApp::GetFrameworkString(const String& id, const String& fallback) const
{
    String text = fallback;
    if (mFrameworkStrings) mFrameworkStrings->GetString(id, text);
    return text;
}

QVResult LFrameworkApp::HandleHotKey(const KeyCode& code)
{
    if (!mHotKeys) return kNotHandled;
    return mHotKeys->HandleKey(code);
}

RCPtr<LFont> LFrameworkApp::GetDefaultFont()
{
    return mDefaultFont;
}

RCPtr<LNotificationDistributor> LFrameworkApp::GetDefaultNotificationCenter()
{
    return RCPtr<LNotificationDistributor>(QV::GetDefaultNotificationCenter().Get());
}

QVResult LFrameworkApp::ResolveLayout(LControl& control, const DoubleRect& reference, DoubleRect& frame)
{
    return LLayout::ResolveControl(control, reference, frame);
}

uint32_t LFrameworkApp::GetModifierState()
{
    uint32_t state = 0;
    if (IsDown(GetKeyState(kVkControl))) state |= 1;
    if (IsDown(GetKeyState(kVkShift))) state |= 8;
    if (IsDown(GetKeyState(kVkMenu))) state |= 0x40;
    return state;
}

void LFrameworkApp::RequestExit()
{
    RCPtr<LNotificationCenter> center = QV::GetDefaultNotificationCenter();
    if (center) (void)center->PostNotification(LNotification::Create(kExitRequest));
}

bool LFrameworkApp::RaiseOpenDialog()
{
    for (size_t i = mRootWindows.size(); i-- > 1;) {
        IWindowOSServices* services = mRootWindows[i]->GetOSServices();
        if (services && services->IsModal()) return Succeeded(services->BringToTop());
    }
    return false;
}

void LFrameworkApp::HandleCommandText(const String& text)
{
    (void)OnCommandLineReceived(text);
}

void LFrameworkApp::DropClipboardValue()
{
    // The bridge notices a foreign clipboard owner by itself when it next reads.
}

}  // namespace QV
