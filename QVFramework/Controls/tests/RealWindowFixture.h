#pragma once
// A real SDL window on the control factory's fakes, for tests that drive
// controls with real events and the real loop.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "ClassFactoryTestSupport.h"
#include "OSWindow.h"
#include "SdlWindowBackend.h"
#include "WindowTestSupport.h"

namespace class_factory_test {

class RealWindowFixture : public ::testing::Test {
protected:
    RealWindowFixture() : mControlScope(controlApp), mWindowScope(windowApp) {}

    // Opens the window with its 2D renderer; the caller builds the tree.
    void OpenWindow(const char* title, int width, int height)
    {
        // Video stays up for the process: quitting unloads the X libraries,
        // whose kept allocations would then show as leaks of an unknown module.
        static const bool videoUp = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        ASSERT_TRUE(videoUp) << SDL_GetError();
        auto backend = std::make_unique<Platform::Window::SdlWindowBackend>(title, width, height);
        Platform::Window::SdlWindowBackend* raw = backend.get();
        window = std::make_unique<QV::OSWindow>(std::move(backend), nullptr);
        raw->SetHost(window.get());
        EXPECT_GE(window->CreateRenderer(QV::LRenderer::kGdi), 0);
    }

    void TearDown() override
    {
        if (!window) return;
        QV::RCPtr<QV::LRootWindow> root = window->GetRootWindow();
        window->DestroyWindow();
        if (root) root->ReleaseInternalReferences();
        window.reset();
    }

    // Runs the real loop: idle passes, events, paints, ticks.
    void RunFor(std::chrono::milliseconds span)
    {
        auto& backend = window->GetBackend();
        const auto end = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < end) {
            if (!backend.HasPendingMessage()) windowApp.ProcessPendingNotifications(true);
            backend.PumpMessage();
        }
    }
    Uint32 WindowId() { return SDL_GetWindowID(static_cast<SDL_Window*>(window->GetWindowHandle())); }

    void PushMotion(int x, int y, Uint32 buttons)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = WindowId();
        e.motion.state = buttons;
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
    }
    // SDL_MOUSEBUTTONDOWN or SDL_MOUSEBUTTONUP of the left button.
    void PushButton(Uint32 type, int x, int y)
    {
        SDL_Event e{};
        e.type = type;
        e.button.windowID = WindowId();
        e.button.button = SDL_BUTTON_LEFT;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }

    ClassApplication controlApp;
    ScopedControlApplication mControlScope;
    window_test::FakeWindowApplication windowApp;
    ScopedWindowApplication mWindowScope;
    std::unique_ptr<QV::OSWindow> window;
};

}  // namespace class_factory_test
