#pragma once
// A framework application whose system side is scripted: key states, the
// settings file, the system font, message boxes and the message loop. Root
// windows stand on fake system windows.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "LFrameworkApp.h"
#include "UtfConversion.h"

namespace app_test {

using namespace QV;

inline std::string Text(const String& text)
{
    return Utf16ToUtf8(text.View());
}

class FakeOSWindow : public IWindowOSServices {
public:
    QVResult SetWindowTitle(const String&) override { return S_OK; }
    void Invalidate() override {}
    void InvalidateRect(const LongRect&) override {}
    void GetClientRect(LongRect& rect) const override { rect = client; }
    void ScreenToClient(LongPoint& out, const LongPoint& point) const override { out = point; }
    void ClientToScreen(LongPoint& out, const LongPoint& point) const override { out = point; }
    void SetWindowRect(const LongRect&) override {}
    bool Show(int32_t command) override
    {
        shows.push_back(command);
        return false;
    }
    QVResult UpdateNow() override
    {
        ++updates;
        return S_OK;
    }
    QVResult BringToTop() override
    {
        ++raised;
        return S_OK;
    }
    void SetTopMost(bool) override {}
    void EndModal(int32_t result) override { endModal.push_back(result); }
    int32_t RunModal() override { return 0; }
    bool IsModal() const override { return modal; }
    bool IsActive() const override { return active; }
    bool HasFocus() const override { return active; }
    QVResult SetFocus() override { return S_OK; }
    uint32_t SetCursor(uint32_t id) override
    {
        cursors.push_back(id);
        if (onCursor) onCursor();
        const uint32_t old = shownCursor;
        shownCursor = id;
        return old;
    }
    LongPoint GetCursorPosition() override { return cursor; }
    uint32_t GetMouseButtonState() override { return buttons; }
    void* GetWindowHandle() const override { return nullptr; }
    void SetCaret(bool, const LongPoint&) override {}

    bool active = false;
    LongRect client{0, 0, 640, 480};
    LongPoint cursor{0, 0};
    uint32_t buttons = 0;
    std::vector<int32_t> shows;
    std::vector<int32_t> endModal;
    std::vector<uint32_t> cursors;
    int raised = 0;
    bool modal = false;
    std::function<void()> onCursor;
    uint32_t shownCursor = 3;
    int updates = 0;
};

// Integer values only, in memory; a write counts as a save.
class FakeIniFileManager : public IIniFileManager {
public:
    QVResult Initialize(const String&) override { return S_OK; }
    QVResult Terminate() override { return S_OK; }
    QVResult OpenIniFile(const String&, const String&, const String&, IniFileHandle& handle) override
    {
        handle = 1;
        return S_OK;
    }
    QVResult WriteIniFile(IniFileHandle) override
    {
        saved = values;
        ++writes;
        return S_OK;
    }
    bool DoesNodeExist(IniFileHandle, const String&) override { return false; }
    QVResult CloseIniFile(IniFileHandle, int32_t) override { return S_OK; }
    QVResult GetIniValueInt(IniFileHandle, const String& key, int32_t defaultValue, int32_t& value) override
    {
        auto it = values.find(Text(key));
        value = it == values.end() ? defaultValue : it->second;
        return S_OK;
    }
    QVResult SetIniValueInt(IniFileHandle, const String& key, int32_t value) override
    {
        values[Text(key)] = value;
        return S_OK;
    }
    QVResult GetIniValueStr(IniFileHandle, const String&, const String& defaultText, String& text) override
    {
        text = defaultText;
        return S_OK;
    }
    QVResult SetIniValueStr(IniFileHandle, const String&, const String&) override { return E_NOTIMPL; }
    QVResult GetKeyCount(IniFileHandle, const String&, int32_t& count) override
    {
        count = 0;
        return S_OK;
    }
    QVResult GetKeyNameAt(IniFileHandle, const String&, int32_t, String&) override { return E_NOTIMPL; }
    QVResult GetArrayCount(IniFileHandle, const String&, int32_t& count) override
    {
        count = 0;
        return S_OK;
    }
    QVResult SetArrayCount(IniFileHandle, const String&, int32_t) override { return E_NOTIMPL; }
    QVResult GetArrayItemAt(IniFileHandle, const String&, int32_t, String&) override { return E_NOTIMPL; }
    QVResult SetArrayItemAt(IniFileHandle, const String&, int32_t, const String&) override { return E_NOTIMPL; }
    QVResult RemoveArrayItemAt(IniFileHandle, const String&, int32_t) override { return E_NOTIMPL; }

    std::map<std::string, int32_t> values;
    std::map<std::string, int32_t> saved;
    int writes = 0;
};

struct MessageBoxCall {
    std::string text;
    std::string caption;
    uint32_t flags;
};

class FakeFrameworkApp : public LFrameworkApp {
    QV_TYPE_NAME("class FakeFrameworkApp")
public:
    FakeFrameworkApp(const RCPtr<LControlFactory>& factory, const RCPtr<LStringTable>& strings,
                     const String& commandLine = String())
        : LFrameworkApp(factory, strings, NarrowString(commandLine)), commandLine(commandLine)
    {}
    ~FakeFrameworkApp() override
    {
        for (auto& root : RootsToClose()) root->ReleaseInternalReferences();
        if (onDestroy) onDestroy();
    }

    String GetCompanyName() override { return u"Corvane"; }
    String GetProductName() override { return u"Test"; }
    String GetProductVersion() override { return u"1.0"; }
    String GetVersionTag() override { return u"1"; }
    String GetApplicationName() override { return u"EntryApp"; }
    String GetMainControlName() override { return mainControlName; }
    uint32_t GetCursorHandle(const char16_t* name) override { return Text(name) == "UI_CURSOR_WAIT" ? 42 : 0; }
    void* GetInstanceHandle() override { return nullptr; }
    QVResult GetSystemFont(String& faceName, float& size, int32_t& style) override
    {
        faceName = u"DejaVu Sans";
        size = 8.0f;
        style = 0;
        return systemFontResult;
    }
    DoubleRect GetWorkArea() override { return {0, 0, 1024, 768}; }
    String GetFolder(int32_t) override { return String(); }
    double GetElapsedTime() override { return 0.0; }
    uint32_t GetTimeMs() override { return 0; }
    SystemDateTime GetSystemDateTime() override { return {}; }
    int16_t GetKeyState(int32_t virtualKey) override
    {
        auto it = keysDown.find(virtualKey);
        return it != keysDown.end() && it->second ? int16_t(-128) : int16_t(0);
    }
    int32_t ShowMessageBox(const String& text, const String& caption, uint32_t flags) override
    {
        boxes.push_back({Text(text), Text(caption), flags});
        return 1;
    }
    IIniFileManager* GetIniFileManager() override { return &settings; }
    IniFileHandle GetSettingsFile(int32_t kind) override { return kind == 1 && settingsOpen ? 1 : 0; }
    RCPtr<LControl> LoadControl(const String&, LControl*) override { return nullptr; }
    QVResult ShowModal(const RCPtr<LControl>&, int32_t) override { return E_FAIL; }
    RCPtr<LRootWindow> CreateRootWindow(int32_t, const RCPtr<LControl>&) override { return nullptr; }
    void ShowCursor(bool) override {}
    void SetCursorPos(const LongPoint&) override {}
    LongPoint GetSystemCursorPosition() override { return systemCursor; }
    int32_t GetRendererType() override { return 1; }
    intptr_t OnPowerBroadcast(uint32_t, uintptr_t) override { return 0; }
    QVResult CreateMainWindow(int32_t rendererType) override
    {
        log.push_back("CreateMainWindow " + std::to_string(rendererType));
        if (Failed(createMainWindowResult)) return createMainWindowResult;
        AddWindow();
        return S_OK;
    }
    int32_t RunMessageLoop() override
    {
        log.push_back("RunMessageLoop");
        if (messageLoop) messageLoop();
        return 0;
    }
    void WriteProfileBinary(const String&, const String&, const std::vector<uint8_t>&) override {}

    QVResult OnCommandLineBeforeStartup(const String& text) override
    {
        log.push_back("BeforeStartup " + Text(text));
        return S_OK;
    }
    QVResult OnCommandLineAfterStartup(const String& text) override
    {
        log.push_back("AfterStartup " + Text(text));
        return S_OK;
    }
    QVResult RunApplicationStartup() override
    {
        log.push_back("RunApplicationStartup");
        return startupResult ? startupResult : LFrameworkApp::RunApplicationStartup();
    }
    int32_t Run() override
    {
        log.push_back("Run");
        return LFrameworkApp::Run();
    }
    QVResult ExitApplication() override
    {
        log.push_back("ExitApplication");
        return LFrameworkApp::ExitApplication();
    }

    // A root window on a new fake system window, appended to the list.
    RCPtr<LRootWindow> AddWindow()
    {
        windows.push_back(std::make_unique<FakeOSWindow>());
        RCPtr<LRootWindow> root = LRootWindow::Create(nullptr, windows.back().get());
        AddRootWindow(root);
        return root;
    }

    std::vector<RCPtr<LRootWindow>> RootsToClose() { return GetRootWindows(); }

    String commandLine;
    String mainControlName = u"mainControl";
    std::map<int32_t, bool> keysDown;
    FakeIniFileManager settings;
    bool settingsOpen = true;
    QVResult systemFontResult = S_OK;
    QVResult createMainWindowResult = S_OK;
    QVResult startupResult = 0;
    LongPoint systemCursor{7, 9};
    std::vector<MessageBoxCall> boxes;
    std::vector<std::string> log;
    std::function<void()> messageLoop;
    std::function<void()> onDestroy;
    std::vector<std::unique_ptr<FakeOSWindow>> windows;
};

}  // namespace app_test
