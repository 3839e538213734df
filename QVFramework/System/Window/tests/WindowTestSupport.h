#pragma once
// A fake system window and a fake application for the root and host
// windows, with a fixture that builds a host window over a small tree.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <list>
#include <map>

#include "ControlTestSupport.h"
#include "IWindowApplication.h"
#include "OSWindow.h"
#include "PresentSink.h"

namespace window_test {

using namespace QV;
using control_test::Narrow;
using control_test::TestControl;

struct BackendState {
    bool active = true;
    bool focus = true;
    bool enabled = true;
    bool visible = true;
    bool destroyed = false;
    bool capture = false;
    bool pointerCaptured = false;
    LongPoint minimumSize{0, 0};
    uint32_t systemButtons = 0;
    uint32_t cursor = 0;
    int focusRequests = 0;
    int destroyCount = 0;
    std::vector<LongRect> invalidated;
    int invalidatedAll = 0;
    // Where the host asked the window to go, client rectangles on the screen.
    std::vector<LongRect> clientRects;
    LongRect client{0, 0, 400, 300};
    LongRect frame{100, 100, 400, 320};
    LongPoint screenCursor{0, 0};
    // Messages the pump hands out; an empty queue with quit set ends the program.
    std::deque<std::function<void()>> pending;
    bool quit = false;
    bool quitPosted = false;
    int pumps = 0;
};

class FakeBackend : public IOSWindowBackend {
public:
    explicit FakeBackend(BackendState& s) : state(s) {}
    void* GetHandle() const override { return state.destroyed ? nullptr : const_cast<BackendState*>(&state); }
    void SetTitle(const String&) override {}
    void InvalidateRect(const LongRect* rect) override
    {
        if (rect) {
            state.invalidated.push_back(*rect);
        } else {
            ++state.invalidatedAll;
        }
    }
    LongRect GetClientRect() const override { return state.client; }
    LongRect GetWindowRect() const override { return state.frame; }
    LongPoint GetClientOrigin() const override { return {state.frame.x, state.frame.y + 20}; }
    void SetClientRect(const LongRect& screenRect) override { state.clientRects.push_back(screenRect); }
    bool Show(int32_t command) override
    {
        const bool was = state.visible;
        state.visible = command != 0;
        return was;
    }
    bool IsVisible() const override { return state.visible; }
    bool Raise() override { return true; }
    void SetTopMost(bool) override {}
    bool IsActive() const override { return state.active; }
    bool HasFocus() const override { return state.focus; }
    bool TakeFocus() override
    {
        ++state.focusRequests;
        return true;
    }
    void SetEnabled(bool enabled) override { state.enabled = enabled; }
    bool IsEnabled() const override { return state.enabled; }
    void SetCursor(uint32_t cursor) override { state.cursor = cursor; }
    LongPoint GetScreenCursor() const override { return state.screenCursor; }
    uint32_t GetSystemButtons() const override { return state.systemButtons; }
    void SetCapture(bool held) override { state.capture = held; }
    void CapturePointer(bool capture) override { state.pointerCaptured = capture; }
    void SetMinimumSize(int32_t width, int32_t height) override { state.minimumSize = {width, height}; }
    void StartTimer(uint32_t) override {}
    int32_t GetShowState() const override { return 1; }
    void Destroy() override
    {
        state.destroyed = true;
        ++state.destroyCount;
    }
    bool HasPendingMessage() override { return !state.pending.empty() || state.quit; }
    bool PumpMessage() override
    {
        ++state.pumps;
        if (state.pending.empty()) return !state.quit;
        auto message = std::move(state.pending.front());
        state.pending.pop_front();
        message();
        return true;
    }
    void PostQuit() override { state.quitPosted = true; }

    BackendState& state;
};

class FakeWindowApplication : public IWindowApplication {
public:
    void AddRootWindow(const RCPtr<LRootWindow>& root) override { roots.push_back(root); }
    void RemoveRootWindow(LRootWindow* root) override
    {
        std::erase_if(roots, [root](const RCPtr<LRootWindow>& r) { return r.Get() == root; });
    }
    std::vector<RCPtr<LRootWindow>> GetRootWindows() override { return roots; }
    uint32_t GetModifierState() override { return 0; }
    uint32_t GetMouseButtonState() override { return 0; }
    DoubleRect GetWorkArea() override { return {0, 0, 1024, 768}; }
    void RequestExit() override { ++exitRequests; }
    void HandleCommandText(const String& text) override { commandTexts.push_back(text); }
    bool ProcessPendingNotifications(bool firstPass) override
    {
        ++idlePasses;
        const std::vector<RCPtr<LRootWindow>> copy = roots;
        for (auto it = copy.rbegin(); it != copy.rend(); ++it) (*it)->ProcessNotifications(firstPass);
        if (onIdle) onIdle();
        return false;
    }
    void DropClipboardValue() override { ++clipboardDrops; }
    String GetMainWindowClassName() override { return u"TarselMainWindow"; }
    void WriteProfileBinary(const String& section, const String& name, const std::vector<uint8_t>& bytes) override
    {
        profile[Narrow(section.GetChars()) + "/" + Narrow(name.GetChars())] = bytes;
    }

    std::vector<RCPtr<LRootWindow>> roots;
    int exitRequests = 0;
    int idlePasses = 0;
    int clipboardDrops = 0;
    std::vector<String> commandTexts;
    std::map<std::string, std::vector<uint8_t>> profile;
    std::function<void()> onIdle;
};

// Records the input the root window routes to it.
class ProbeControl : public TestControl {
    QV_TYPE_NAME("class ProbeControl")
public:
    using TestControl::TestControl;
    QVResult HandleMouseDown(const RCPtr<LMouseButtonParam>& p) override
    {
        events.push_back("down" + Detail(p));
        return S_OK;
    }
    QVResult HandleMouseUp(const RCPtr<LMouseButtonParam>& p) override
    {
        events.push_back("up" + Detail(p));
        return S_OK;
    }
    QVResult HandleMouseMove(const RCPtr<LPointWithModifiersParam>& p) override
    {
        events.push_back("move" + Point(p));
        return S_OK;
    }
    QVResult OnMouseWheel(const RCPtr<LMouseWheelParam>& p) override
    {
        events.push_back("wheel" + std::to_string(p->GetDirection()));
        wheelPoint = p->GetPoint();
        return wheelResult;
    }
    QVResult OnScrollKey(const RCPtr<LMouseWheelParam>& p) override
    {
        events.push_back("scroll" + std::to_string(p->GetDirection()));
        wheelPoint = p->GetPoint();
        return wheelResult;
    }
    QVResult OnMouseEnter() override
    {
        events.push_back("enter");
        return LControl::OnMouseEnter();
    }
    QVResult OnMouseLeave() override
    {
        events.push_back("leave");
        return LControl::OnMouseLeave();
    }
    QVResult EndDrag() override
    {
        events.push_back("dragend");
        return S_OK;
    }
    RCPtr<IControlStringTable> GetStringTable() const override { return table; }

    static std::string Point(const RCPtr<LPointParam>& p)
    {
        const LongPoint at = p->GetPoint();
        return " " + std::to_string(at.x) + "," + std::to_string(at.y);
    }
    static std::string Detail(const RCPtr<LMouseButtonParam>& p)
    {
        return Point(p) + (p->IsDoubleClick() ? " dbl" : "");
    }
    std::vector<std::string> events;
    QVResult wheelResult = 0;
    LongPoint wheelPoint{-1, -1};
    RCPtr<IControlStringTable> table;
};

// A host window over a fake system window, with the 2D renderer drawing
// off-screen and its frames recorded instead of shown.
class WindowFixture : public control_test::ControlFixture {
protected:
    WindowFixture() : mWindowScope(windowApp), mSinkScope(sink) {}
    ~WindowFixture() override
    {
        for (auto& w : windows) {
            if (RCPtr<LRootWindow> root = w->GetRootWindow()) {
                w->DestroyWindow();
                root->ReleaseInternalReferences();
            }
        }
        windows.clear();
    }

    OSWindow& MakeWindow(BackendState& state, OSWindow* owner = nullptr)
    {
        windows.push_back(std::make_unique<OSWindow>(std::make_unique<FakeBackend>(state), owner));
        EXPECT_GE(windows.back()->CreateRenderer(LRenderer::kGdi), 0);
        return *windows.back();
    }

    RCPtr<ProbeControl> Probe(LControl* parent, const char16_t* name, double x, double y, double w, double h,
                              bool clipToParent = true, int32_t zOrder = 0)
    {
        RCPtr<ProbeControl> c(new ProbeControl(parent, name));
        ControlLayout layout;
        layout.position[0].offset = x;
        layout.position[1].offset = y;
        layout.size[0].offset = w;
        layout.size[1].offset = h;
        layout.size[0].kind = layout.size[1].kind = LayoutKind::kParent;
        layout.clipToParent = clipToParent;
        layout.zOrder = zOrder;
        c->SetLayout(layout);
        c->AddVisualPart(RCPtr<ILook>(new control_test::FakeLook(&drawLog, Narrow(name))));
        c->ShowPart(0);
        c->Initialize();
        c->SetInitialized(true);
        EXPECT_GE(c->UpdateLayout(), 0);
        return c;
    }

    // A main control of 400 x 300 with two children side by side.
    RCPtr<ProbeControl> MakeTree(LRootWindow& root)
    {
        main = Probe(nullptr, u"main", 0, 0, 400, 300);
        left = Probe(main.Get(), u"left", 10, 10, 100, 100);
        right = Probe(main.Get(), u"right", 200, 10, 100, 100);
        EXPECT_GE(root.SetMainControl(main), 0);
        EXPECT_GE(main->SetBounds({0, 0}, {400, 300}), 0);
        drawLog.clear();
        return main;
    }

    static WindowMessage Message(WindowMessage::Kind kind)
    {
        WindowMessage m;
        m.kind = kind;
        return m;
    }
    static WindowMessage Button(WindowMessage::Kind kind, int32_t button, int32_t x, int32_t y)
    {
        WindowMessage m = Message(kind);
        m.button = button;
        m.point = {x, y};
        return m;
    }

    FakeWindowApplication windowApp;
    ScopedWindowApplication mWindowScope;
    Platform::Gdip::RecordingPresentSink sink;
    Platform::Gdip::ScopedPresentSink mSinkScope;
    BackendState state;
    // Further windows' system sides; they outlive every window.
    std::list<BackendState> otherStates;
    std::vector<std::unique_ptr<OSWindow>> windows;
    RCPtr<ProbeControl> main;
    RCPtr<ProbeControl> left;
    RCPtr<ProbeControl> right;
};

}  // namespace window_test
