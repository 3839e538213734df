#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>

#include "FileChooser.h"
#include "TempFolder.h"

#include <SDL.h>

#include "X11Windows.h"

namespace Platform::FileChooser {
namespace {

using namespace X11Testing;

TEST(ZenityChooserTest, ClosingTheRealChooserCancelsWhileOurWindowKeepsPainting)
{
    ASSERT_EQ(::setenv("TARSEL_FILE_CHOOSER", "zenity", 1), 0);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("editor", 0, 0, 200, 100, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    DisplayPtr display(XOpenDisplay(nullptr));
    ASSERT_TRUE(display);

    TempFolder folder("zenity-test");
    Request request;
    request.title = "Chooser test " + std::to_string(::getpid());
    request.startFolder = folder.Path();
    request.filters = {{"Presets", {"*.tps"}}};
    int frames = 0;
    int framesWhileShown = 0;
    std::optional<Window> chooser;
    uint32_t lastClose = 0;
    request.whileOpen = [&] {
        for (SDL_Event event; SDL_PollEvent(&event);) {
        }
        SDL_Surface* surface = SDL_GetWindowSurface(window);
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, frames % 256, 0, 0));
        SDL_UpdateWindowSurface(window);
        ++frames;
        if (!chooser) {
            chooser = FindWindowTitled(display.get(), DefaultRootWindow(display.get()), request.title);
            lastClose = SDL_GetTicks();
            return;
        }
        ++framesWhileShown;
        // Once it had time to paint; again later should the first be lost.
        if (SDL_GetTicks() - lastClose > 500) {
            PressCloseBox(display.get(), *chooser);
            lastClose = SDL_GetTicks();
        }
    };
    // A close sent just as the chooser goes names a window that is gone.
    const auto previousHandler = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });

    const Result result = Choose(request);
    XSync(display.get(), False);
    XSetErrorHandler(previousHandler);

    EXPECT_EQ(result.outcome, Outcome::Cancel) << result.error;
    EXPECT_TRUE(chooser.has_value());
    EXPECT_GT(framesWhileShown, 10);
    // Video stays up: quitting unloads the X libraries, whose kept
    // allocations would then show as leaks of an unknown module.
    SDL_DestroyWindow(window);
}

}  // namespace
}  // namespace Platform::FileChooser
