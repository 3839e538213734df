#pragma once
// The editor's application object: the framework application on SDL, with
// the keyboard's engine and MIDI manager, the two settings files, the main
// window made from the skin's "mainControl", and the modal windows.
// UI thread only.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FileDialogHost.h"
#include "LFrameworkApp.h"
#include "LIniFileManager.h"
#include "LMidiManager.h"
#include "LRootModuleEngine.h"
#include "MeasurementRendererSource.h"
#include "MessageBoxHost.h"
#include "OSWindow.h"

class LApplication;

// The desktop's file chooser runs over the active window, which keeps
// painting (and drops input) while it is open.
class EditorFileDialogHost final : public QV::IFileDialogHost {
public:
    explicit EditorFileDialogHost(LApplication& application) : mApplication(application) {}
    uint64_t GetOwnerWindow() override;
    void WhileChooserOpen() override;
    // A yes/no box over the active window.
    bool ConfirmReplace(const std::string& path, const std::string& title) override;

private:
    LApplication& mApplication;
};

class LApplication : public QV::LFrameworkApp, public QV::IMessageBoxHost {
    QV_TYPE_NAME("class LApplication")
public:
    // Folder ids of GetFolder.
    static constexpr int32_t kResourceFolder = 1;
    static constexpr int32_t kAllUsersDataFolder = 2;
    static constexpr int32_t kUserDataFolder = 3;
    static constexpr int32_t kDocumentsFolder = 4;
    // Settings file kinds besides the user's.
    static constexpr int32_t kAppSettingsFile = 0;

    LApplication(const QV::RCPtr<QV::LControlFactory>& factory, const QV::RCPtr<QV::LStringTable>& frameworkStrings,
                 const QV::String& commandLine);
    ~LApplication() override;

    const QV::RCPtr<QV::LMidiManager>& GetMidiManager() const { return mMidiManager; }
    const QV::RCPtr<LRootModuleEngine>& GetEngine() const { return mEngine; }
    QV::OSWindow* GetMainWindow() const { return mMainWindow.get(); }

    [[nodiscard]] QV::QVResult ReceiveNotification(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                                                   const QV::RCPtr<QV::LNotification>& notification) override;

    QV::String GetCompanyName() override;
    QV::String GetProductName() override;
    QV::String GetProductVersion() override;
    QV::String GetVersionTag() override { return GetProductVersion(); }
    QV::String GetApplicationName() override { return GetProductName(); }
    QV::String GetMainControlName() override { return u"mainControl"; }
    uint32_t GetCursorHandle(const char16_t* name) override;
    void* GetInstanceHandle() override;
    [[nodiscard]] QV::QVResult GetSystemFont(QV::String& faceName, float& size, int32_t& style) override;
    QV::DoubleRect GetWorkArea() override;
    // Raises "Out of Range : Unknown Path ID." for an id it does not know.
    QV::String GetFolder(int32_t folderId) override;
    double GetElapsedTime() override;
    uint32_t GetTimeMs() override;
    QV::SystemDateTime GetSystemDateTime() override;
    int16_t GetKeyState(int32_t virtualKey) override;
    // Through the desktop's dialog program, modal for the active window
    // (else the main one), which keeps painting while the box is open.
    int32_t ShowMessageBox(const QV::String& text, const QV::String& caption, uint32_t flags) override;
    QV::IIniFileManager* GetIniFileManager() override { return mIni.Get(); }
    QV::IniFileHandle GetSettingsFile(int32_t kind) override;
    QV::RCPtr<QV::LControl> LoadControl(const QV::String& name, QV::LControl* parent) override;
    [[nodiscard]] QV::QVResult ShowModal(const QV::RCPtr<QV::LControl>& control, int32_t flags) override;
    QV::RCPtr<QV::LRootWindow> CreateRootWindow(int32_t rendererType, const QV::RCPtr<QV::LControl>& control) override;
    void ShowCursor(bool show) override;
    void SetCursorPos(const QV::LongPoint& point) override;
    QV::LongPoint GetSystemCursorPosition() override;
    int32_t GetRendererType() override { return 1; }
    intptr_t OnPowerBroadcast(uint32_t, uintptr_t) override { return 1; }
    [[nodiscard]] QV::QVResult CreateMainWindow(int32_t rendererType) override;
    [[nodiscard]] QV::QVResult RunApplicationStartup() override;
    // Hands the MIDI manager to the device view and points the menu bar at it.
    void BeforeRun() override;
    int32_t RunMessageLoop() override;
    // Every idle pass, a dialog's own loop included, also takes what a
    // second start handed over.
    bool ProcessPendingNotifications(bool firstPass) override;
    [[nodiscard]] QV::QVResult ExitApplication() override;
    void WriteProfileBinary(const QV::String& section, const QV::String& name,
                            const std::vector<uint8_t>& bytes) override;
    [[nodiscard]] QV::QVResult OnCommandLineReceived(const QV::String& commandLine) override;
    void HandleCommandText(const QV::String& text) override;

    // The main window's renderer, else the application's own measuring one.
    QV::RCPtr<QV::LMeasurementRenderer> GetMeasurementRenderer();
    QV::RCPtr<QV::LMeasurementRenderer> GetMainOSWindow() override { return GetMeasurementRenderer(); }

    // Hands a command line from a second start to the main window, raising it.
    void DeliverCommandText(const std::string& utf8);
    // Where the loop picks up command lines that later starts handed over.
    using CommandLineSource = std::function<std::vector<std::string>()>;
    void SetCommandLineSource(CommandLineSource source) { mCommandLineSource = std::move(source); }

private:
    // A host window with its SDL window and renderer; null when SDL refused.
    std::unique_ptr<QV::OSWindow> MakeWindow(const QV::String& title, int32_t width, int32_t height,
                                             int32_t rendererType, QV::OSWindow* owner);
    void RestorePlacement();
    void CloseMainWindow();
    void CloseSettingsFiles();

    QV::RCPtr<LRootModuleEngine> mEngine;
    QV::RCPtr<QV::LMidiManager> mMidiManager;
    QV::RCPtr<QV::LIniFileManager> mIni;
    bool mIniReady = false;
    std::map<int32_t, QV::IniFileHandle> mSettingsFiles;
    std::unique_ptr<QV::OSWindow> mMainWindow;
    std::vector<std::unique_ptr<QV::OSWindow>> mOtherWindows;
    uint32_t mLastElapsedMs = 0;
    double mElapsedSeconds = 0.0;
    QV::String mCommandLine;
    CommandLineSource mCommandLineSource;
    QV::RCPtr<QV::LRenderer> mMeasurementRenderer;
    QV::MeasurementRendererSource mPreviousMeasurementSource = nullptr;
    std::optional<QV::ScopedMessageBoxHost> mMessageBoxSeat;
    EditorFileDialogHost mChooserHost{*this};
    std::optional<QV::ScopedFileDialogHost> mChooserSeat;
};
