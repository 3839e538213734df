#pragma once
// The framework's application object, free of the operating system: it owns
// the control factory, the string tables, the root windows, the application's
// shortcut keys and the clipboard bridge, registers the framework's control
// classes, applies the stored skin, runs the loop and drains the queues when
// the loop is idle. What needs the system is pure here and supplied by the
// program's own application class. Exactly one exists at a time; it installs
// itself as the process-wide control and window application for its
// lifetime. UI thread only; other threads reach it by posting notifications.
#include <cstdint>
#include <optional>
#include <vector>

#include "IControlApplication.h"
#include "IIniFileManager.h"
#include "IWindowApplication.h"
#include "LClipboard.h"
#include "LControlFactory.h"
#include "LGlobalHotKeyManager.h"
#include "LMeasurementRenderer.h"
#include "LNotificationClient.h"
#include "LRootWindow.h"
#include "LStringTable.h"
#include "PointT.h"

namespace QV {

class LStatusBar;

// The system's local date and time, as the clock gives it.
struct SystemDateTime {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};

class LFrameworkApp : public LNotificationClient, public IControlApplication, public IWindowApplication {
    QV_TYPE_NAME("class QV::LFrameworkApp")
public:
    // Kinds of settings file.
    static constexpr int32_t kUserSettingsFile = 1;
    // Message-box flag of the error icon.
    static constexpr uint32_t kIconError = 0x10;
    // Virtual keys of the mouse buttons and modifiers, for GetKeyState.
    static constexpr int32_t kVkLeftButton = 0x01;
    static constexpr int32_t kVkRightButton = 0x02;
    static constexpr int32_t kVkMiddleButton = 0x04;
    static constexpr int32_t kVkShift = 0x10;
    static constexpr int32_t kVkControl = 0x11;
    static constexpr int32_t kVkMenu = 0x12;

    // Installs this object as the process-wide application and subscribes it
    // to "NID_APP_EXIT_REQ" on the default notification center.
    LFrameworkApp(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& frameworkStrings,
                  const NarrowString& text);
    ~LFrameworkApp() override;
    LFrameworkApp(const LFrameworkApp&) = delete;
    LFrameworkApp& operator=(const LFrameworkApp&) = delete;

    // The process-wide application; null when none exists.
    static LFrameworkApp* GetInstance();
    // The main window's class name, set once by the process entry before the
    // main window is made.
    static void SetMainWindowClass(const String& name);
    static const String& GetMainWindowClass();

    // ---- notifications ----
    // Handles "NID_APP_EXIT_REQ"; ignores the rest.
    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                               const RCPtr<LNotification>& notification) override;

    // ---- command-line hooks: each answers 0 here ----
    // Before start-up, with the process's command line.
    [[nodiscard]] virtual QVResult OnCommandLineBeforeStartup(const String& commandLine);
    // After start-up, before the main window is made.
    [[nodiscard]] virtual QVResult OnCommandLineAfterStartup(const String& commandLine);
    // The text a second start of the program handed over.
    [[nodiscard]] virtual QVResult OnCommandLineReceived(const String& commandLine);

    // Repaints the main window, BeforeRun, drains, runs the loop (an escaping
    // exception shows the start-up error box and posts the exit request),
    // then answers whether the last drain left work.
    virtual int32_t Run();
    virtual bool IsClosing() const { return mClosing; }

    virtual String GetCompanyName() = 0;
    virtual String GetProductName() = 0;
    virtual String GetProductVersion() = 0;
    virtual String GetVersionTag() = 0;
    virtual String GetApplicationName() = 0;
    virtual String GetMainControlName() = 0;
    uint32_t GetCursorHandle(const char16_t* name) override = 0;

    // Null when no status bar exists.
    virtual RCPtr<LStatusBar> GetStatusBar();

    virtual void* GetInstanceHandle() = 0;
    // A negative result when the system font is unknown.
    [[nodiscard]] virtual QVResult GetSystemFont(String& faceName, float& size, int32_t& style) = 0;
    DoubleRect GetWorkArea() override = 0;
    virtual String GetFolder(int32_t folderId) = 0;

    // The first root window's renderer, else the process-wide measurement
    // renderer; never null once a measurement source exists.
    virtual RCPtr<LMeasurementRenderer> GetMainOSWindow();

    // "CurrentSkinIndex" of the user settings file; 0 without one.
    virtual int32_t LoadCurrentSkinIndex();
    // Applies skin index to every root window (under the "UI_CURSOR_WAIT"
    // cursor when GetCursorHandle knows it) and stores (and saves) the index
    // in the user settings file. Raises when the system font is unknown.
    [[nodiscard]] virtual QVResult SetSkin(int32_t index);

    double GetElapsedTime() override = 0;
    uint32_t GetTimeMs() override = 0;
    virtual SystemDateTime GetSystemDateTime() = 0;
    // Negative (high bit set) while the key is down.
    virtual int16_t GetKeyState(int32_t virtualKey) = 0;
    // flags are the system's message-box flags; answers the button chosen.
    virtual int32_t ShowMessageBox(const String& text, const String& caption, uint32_t flags) = 0;

    // Appends root unless the list holds it already.
    void AddRootWindow(const RCPtr<LRootWindow>& root) override;
    void RemoveRootWindow(LRootWindow* root) override;

    virtual IIniFileManager* GetSettingsManager() { return GetIniFileManager(); }
    virtual IIniFileManager* GetIniFileManager() = 0;
    // 0 when that file is not open.
    virtual IniFileHandle GetSettingsFile(int32_t kind) = 0;

    // Builds the skin's control of that name under parent; null when unknown.
    virtual RCPtr<LControl> LoadControl(const String& name, LControl* parent) = 0;
    [[nodiscard]] QVResult ShowModal(const RCPtr<LControl>& control, int32_t flags) override = 0;
    // A new root window with its system window; null when none could be made.
    virtual RCPtr<LRootWindow> CreateRootWindow(int32_t rendererType, const RCPtr<LControl>& control) = 0;
    virtual void ShowCursor(bool show) = 0;
    virtual void SetCursorPos(const LongPoint& point) = 0;
    // The system's cursor position, asked when no root window is active.
    virtual LongPoint GetSystemCursorPosition() = 0;

    // From the active root window, else the system's.
    virtual LongPoint GetCursorPosition();
    // From the active root window, else from the buttons' key states:
    // 1 left, 2 middle, 4 right.
    uint32_t GetMouseButtonState() override;

    // Drains every notification center (last to first) and then every root
    // window's queue (last to first); true when any still holds work.
    bool ProcessPendingNotifications(bool firstPass) override;

    virtual int32_t GetRendererType() = 0;
    // A power event for the main window; answers the message result.
    virtual intptr_t OnPowerBroadcast(uint32_t event, uintptr_t data) = 0;
    [[nodiscard]] virtual QVResult CreateMainWindow(int32_t rendererType) = 0;

    // Recycling on, the framework classes registered, the "GHK" keys loaded,
    // the clipboard bridge initialised and the stored skin applied. 0, or
    // E_FAIL (later steps skipped) when a step raised.
    [[nodiscard]] virtual QVResult RunApplicationStartup();
    virtual void BeforeRun() {}
    // Runs the system's message loop until the program quits.
    virtual int32_t RunMessageLoop() = 0;
    // Releases the control factory, the key map and the clipboard bridge; 0.
    [[nodiscard]] virtual QVResult ExitApplication();

    // ---- non-virtual services ----
    // The last root window, in list order, whose system window is active.
    RCPtr<LRootWindow> GetActiveRootWindow() const;
    // A second start found this instance: the open dialog (the last modal
    // window after the main one), when there is one, comes to the front of
    // the main window the caller raised. True when a dialog was raised.
    bool RaiseOpenDialog();
    // The main window's status bar text, now or at the next drain; E_FAIL
    // without a root window or a status bar.
    QVResult SetStatusText(const String& text, bool immediate);
    QVResult ResetStatusText(bool immediate);

    const RCPtr<LControlFactory>& GetFactory() const { return mFactory; }
    const RCPtr<LStringTable>& GetFrameworkStringTable() const { return mFrameworkStrings; }
    const RCPtr<LStringTable>& GetApplicationStringTable() const { return mApplicationStrings; }
    const RCPtr<LGlobalHotKeyManager>& GetHotKeyManager() const { return mHotKeys; }
    LGlobalHotKeyManager* GetHotKeys() const override { return mHotKeys.Get(); }
    const NarrowString& GetNarrowText() const { return mNarrowText; }
    // The framework string table's text for id, else fallback.
    String GetFrameworkString(const String& id, const String& fallback) const;

    // ---- IControlApplication ----
    [[nodiscard]] QVResult HandleHotKey(const KeyCode& code) override;
    RCPtr<LFont> GetDefaultFont() override;
    IControlFactory* GetControlFactory() override { return mFactory.Get(); }
    RCPtr<LNotificationDistributor> GetDefaultNotificationCenter() override;
    [[nodiscard]] QVResult ResolveLayout(LControl& control, const DoubleRect& reference, DoubleRect& frame) override;
    LClipboard* GetClipboard() override { return mClipboard.Get(); }
    RCPtr<IControlStringTable> GetApplicationStrings() override { return mApplicationStrings; }
    RCPtr<IControlStringTable> GetFrameworkStrings() override { return mFrameworkStrings; }

    // ---- IWindowApplication ----
    std::vector<RCPtr<LRootWindow>> GetRootWindows() override { return mRootWindows; }
    uint32_t GetModifierState() override;
    void RequestExit() override;
    void HandleCommandText(const String& text) override;
    void DropClipboardValue() override;
    String GetMainWindowClassName() override { return GetMainWindowClass(); }
    void WriteProfileBinary(const String& section, const String& name, const std::vector<uint8_t>& bytes) override = 0;

protected:
    // The default font every parentless control starts from.
    void SetDefaultFont(const RCPtr<LFont>& font) { mDefaultFont = font; }

private:
    void RegisterControlClasses();
    void ApplySkinToRootWindow(LRootWindow& root);
    [[nodiscard]] QVResult ShowStatusText(const String* text, bool immediate);

    RCPtr<LControlFactory> mFactory;
    NarrowString mNarrowText;
    std::vector<RCPtr<LRootWindow>> mRootWindows;
    RCPtr<LStringTable> mFrameworkStrings;
    RCPtr<LStringTable> mApplicationStrings;
    bool mClosing = false;
    RCPtr<LNotification> mNotificationA;
    RCPtr<LNotification> mNotificationB;
    RCPtr<LGlobalHotKeyManager> mHotKeys;
    RCPtr<LClipboard> mClipboard;
    RCPtr<LFont> mDefaultFont;
    // Left before the members go, so nothing reaches a half-destroyed application.
    std::optional<ScopedControlApplication> mControlSeat;
    std::optional<ScopedWindowApplication> mWindowSeat;
};

}  // namespace QV
