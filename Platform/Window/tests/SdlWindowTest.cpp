#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "LColor.h"
#include "OSWindow.h"
#include "SdlWindowBackend.h"
#include "WindowTestSupport.h"

namespace Platform::Window {
namespace {

using namespace QV;
using window_test::ProbeControl;
using Kind = WindowMessage::Kind;

// Fills its frame with one colour through the window's renderer.
class SolidControl : public ProbeControl {
    QV_TYPE_NAME("class SolidControl")
public:
    SolidControl(LControl* parent, const String& name, LRenderer* r) : ProbeControl(parent, name), renderer(r) {}
    QVResult Draw(IControlRenderer& r, const DirtyRects& region, ControlList& overlay, uint8_t layer) override
    {
        const DoublePoint at = GetPositionInRoot();
        const DoubleRect frame = GetFrame();
        renderer->FillRect(LongRect{int32_t(at.x), int32_t(at.y), int32_t(frame.width), int32_t(frame.height)},
                           LColor::FromARGB(colour), false);
        return ProbeControl::Draw(r, region, overlay, layer);
    }
    LRenderer* renderer;
    uint32_t colour = 0xFFFF0000u;
};

class SdlWindowTest : public ::testing::Test {
protected:
    SdlWindowTest() : mControlScope(controlApp), mWindowScope(windowApp) {}

    void SetUp() override
    {
        // Video stays up for the process: quitting unloads the X libraries,
        // whose kept allocations would then show as leaks of an unknown module.
        static const bool videoUp = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        ASSERT_TRUE(videoUp) << SDL_GetError();
        main = Open(nullptr);
        LRootWindow& root = *main->GetRootWindow();
        top = Solid(nullptr, u"top", 0, 0, 320, 240);
        left = Solid(top.Get(), u"left", 10, 10, 100, 100);
        right = Solid(top.Get(), u"right", 200, 10, 100, 100);
        EXPECT_GE(root.SetMainControl(top), 0);
        EXPECT_GE(top->SetBounds({0, 0}, {320, 240}), 0);
        main->Show(1);
        RunFor(std::chrono::milliseconds(150));
    }
    void TearDown() override
    {
        for (OSWindow* w : {dialog.get(), main.get()}) {
            if (!w) continue;
            RCPtr<LRootWindow> root = w->GetRootWindow();
            w->DestroyWindow();
            if (root) root->ReleaseInternalReferences();
        }
        dialog.reset();
        main.reset();
    }

    std::unique_ptr<OSWindow> Open(OSWindow* owner)
    {
        auto backend = std::make_unique<SdlWindowBackend>("test", 320, 240);
        SdlWindowBackend* raw = backend.get();
        auto window = std::make_unique<OSWindow>(std::move(backend), owner);
        raw->SetHost(window.get());
        EXPECT_GE(window->CreateRenderer(LRenderer::kGdi), 0);
        return window;
    }

    RCPtr<SolidControl> Solid(LControl* parent, const char16_t* name, double x, double y, double w, double h)
    {
        RCPtr<SolidControl> c(new SolidControl(parent, name, main->GetRootWindow()->GetRenderer().Get()));
        ControlLayout layout;
        layout.position[0].offset = x;
        layout.position[1].offset = y;
        layout.size[0].offset = w;
        layout.size[1].offset = h;
        c->SetLayout(layout);
        c->AddVisualPart(RCPtr<ILook>(new control_test::FakeLook(&drawLog, control_test::Narrow(name))));
        c->ShowPart(0);
        c->Initialize();
        c->SetInitialized(true);
        EXPECT_GE(c->UpdateLayout(), 0);
        return c;
    }

    // Runs the real loop: idle passes, events, paints, ticks.
    void RunFor(std::chrono::milliseconds span)
    {
        auto& backend = main->GetBackend();
        const auto end = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < end) {
            if (!backend.HasPendingMessage()) windowApp.ProcessPendingNotifications(true);
            backend.PumpMessage();
        }
    }

    void Push(SDL_Event e) { SDL_PushEvent(&e); }

    SDL_Event Button(Uint32 type, int x, int y)
    {
        SDL_Event e{};
        e.type = type;
        e.button.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(main->GetWindowHandle()));
        e.button.button = SDL_BUTTON_LEFT;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        return e;
    }

    uint32_t PixelAt(int x, int y)
    {
        SDL_Surface* s = SDL_GetWindowSurface(static_cast<SDL_Window*>(main->GetWindowHandle()));
        SDL_LockSurface(s);
        Uint32 pixel = *reinterpret_cast<Uint32*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch + x * 4);
        SDL_UnlockSurface(s);
        Uint8 r, g, b;
        SDL_GetRGB(pixel, s->format, &r, &g, &b);
        return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
    }

    control_test::FakeApplication controlApp;
    ScopedControlApplication mControlScope;
    window_test::FakeWindowApplication windowApp;
    ScopedWindowApplication mWindowScope;
    std::unique_ptr<OSWindow> main;
    std::unique_ptr<OSWindow> dialog;
    RCPtr<SolidControl> top, left, right;
    std::vector<std::string> drawLog;
};

TEST_F(SdlWindowTest, RealClicksKeysAndTextReachTheControls)
{
    Push(Button(SDL_MOUSEBUTTONDOWN, 20, 30));
    Push(Button(SDL_MOUSEBUTTONUP, 20, 30));
    RunFor(std::chrono::milliseconds(100));
    ASSERT_FALSE(left->events.empty());
    EXPECT_NE(std::find(left->events.begin(), left->events.end(), "down 10,20"), left->events.end());

    main->GetRootWindow()->SetFocusControl(left.Get());
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(main->GetWindowHandle()));
    key.key.keysym.sym = SDLK_RETURN;
    Push(key);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = key.key.windowID;
    std::strcpy(text.text.text, "\xC3\xA9");
    Push(text);
    RunFor(std::chrono::milliseconds(100));
    std::vector<uint32_t> codes;
    for (const KeyCode& k : left->keys) codes.push_back(k.code & 0x00FFFFFF);
    // The Enter press, its synthesised character, then the typed e acute.
    EXPECT_EQ(codes, (std::vector<uint32_t>{0x0D0000, 0x00000D, 0x0000E9}));
}

TEST_F(SdlWindowTest, RepaintPresentsOnlyTheDirtyRectangle)
{
    ASSERT_EQ(PixelAt(50, 50), 0xFF0000u);
    // A mark outside the dirty rectangle must survive the repaint.
    SDL_Surface* s = SDL_GetWindowSurface(static_cast<SDL_Window*>(main->GetWindowHandle()));
    SDL_Rect mark{250, 50, 4, 4};
    SDL_FillRect(s, &mark, SDL_MapRGB(s->format, 0, 255, 0));
    left->colour = 0xFF0000FFu;
    drawLog.clear();
    main->GetRootWindow()->InvalidateRect(DoubleRect{10, 10, 100, 100});
    RunFor(std::chrono::milliseconds(100));
    EXPECT_EQ(PixelAt(50, 50), 0x0000FFu);
    EXPECT_EQ(PixelAt(251, 51), 0x00FF00u);
    EXPECT_NE(std::find(drawLog.begin(), drawLog.end(), "left:background"), drawLog.end());
    EXPECT_EQ(std::find(drawLog.begin(), drawLog.end(), "right:background"), drawLog.end())
        << "a control outside the dirty area is not drawn";
}

// As while the desktop's file chooser runs over the window.
TEST_F(SdlWindowTest, KeepPaintingRepaintsAndDropsInput)
{
    left->colour = 0xFF0000FFu;
    main->GetRootWindow()->InvalidateRect(DoubleRect{10, 10, 100, 100});
    Push(Button(SDL_MOUSEBUTTONDOWN, 20, 30));
    Push(Button(SDL_MOUSEBUTTONUP, 20, 30));
    left->events.clear();
    SdlWindowBackend::KeepPainting();
    EXPECT_EQ(PixelAt(50, 50), 0x0000FFu);
    RunFor(std::chrono::milliseconds(100));
    EXPECT_TRUE(left->events.empty()) << "a click meant for the window while it was covered came through";
    EXPECT_NE(SdlWindowBackend::GetX11WindowId(main->GetWindowHandle()), 0u);
}

TEST_F(SdlWindowTest, SleepingLoopWakesForAnInvalidationFromAnotherThread)
{
    // Nothing animates, so the loop sleeps up to the backstop between events.
    ASSERT_FALSE(main->WantsTimerTicks());
    left->colour = 0xFF0000FFu;
    const auto start = std::chrono::steady_clock::now();
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const LongRect all{0, 0, 320, 240};
        main->GetBackend().InvalidateRect(&all);
    });
    while (PixelAt(50, 50) != 0x0000FFu && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        main->GetBackend().PumpMessage();
    }
    other.join();
    EXPECT_EQ(PixelAt(50, 50), 0x0000FFu);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(SdlWindowBackend::kIdleBackstopMs))
        << "the wake did not end the sleep";
}

TEST_F(SdlWindowTest, NestedModalLoopEndsWhenItsWindowIsClosed)
{
    dialog = Open(main.get());
    RCPtr<SolidControl> content = Solid(nullptr, u"dialog", 0, 0, 100, 100);
    EXPECT_GE(dialog->GetRootWindow()->SetMainControl(content), 0);
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(dialog->GetWindowHandle()));
    Push(close);
    EXPECT_EQ(dialog->RunModal(), 0);
    EXPECT_TRUE(dialog->IsDestroyed());
    EXPECT_EQ(windowApp.exitRequests, 0);
    EXPECT_FALSE(main->IsDestroyed());
}

TEST_F(SdlWindowTest, CursorChangesAndComesBack)
{
    SDL_Cursor* before = SDL_GetCursor();
    const uint32_t previous = main->GetRootWindow()->SetCursor(1 + SDL_SYSTEM_CURSOR_HAND);
    EXPECT_NE(SDL_GetCursor(), before);
    main->GetRootWindow()->SetCursor(previous);
    EXPECT_NE(SDL_GetCursor(), nullptr);
}

}  // namespace
}  // namespace Platform::Window
