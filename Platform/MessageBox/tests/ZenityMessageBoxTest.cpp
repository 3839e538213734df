// The real zenity as the message box: our window keeps painting while the
// box is open, and the box answers as the user answers it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include <optional>
#include <string>

#include "FakeMessageBoxService.h"
#include "ProgramMessageBoxService.h"
#include "ScopedEnvironment.h"
#include "X11Driver.h"
#include "X11Windows.h"

namespace {

using namespace Platform;
using namespace X11Testing;
namespace Flag = MessageBoxFlag;
namespace Answer = MessageBoxAnswer;

Window X11IdOf(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(window, &info) ? info.info.x11.window : 0;
}

TEST(ZenityMessageBoxTest, OurWindowKeepsPaintingUntilTheUserAnswers)
{
    const ScopedEnvironment named("TARSEL_MESSAGE_BOX", "zenity");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("editor", 0, 0, 200, 100, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    DisplayPtr display(XOpenDisplay(nullptr));
    ASSERT_TRUE(display);
    TestSupport::X11Driver keyboard;
    ASSERT_TRUE(keyboard.IsConnected()) << keyboard.Error();
    // A close or key sent just as the box goes names a window that is gone.
    const auto previousHandler = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });

    struct Row {
        bool closeBox;  // else Enter
        int32_t answer;
    };
    int index = 0;
    for (const Row row : {Row{true, Answer::kNo}, Row{false, Answer::kYes}}) {
        SCOPED_TRACE(row.closeBox ? "close box" : "Enter");
        const std::string title = "Box test " + std::to_string(::getpid()) + "-" + std::to_string(index++);
        int framesWhileShown = 0;
        std::optional<Window> box;
        uint32_t lastAnswer = 0;
        MessageBoxOwner host{X11IdOf(window), {}};
        host.whileOpen = [&] {
            for (SDL_Event event; SDL_PollEvent(&event);) {
            }
            SDL_Surface* surface = SDL_GetWindowSurface(window);
            SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, framesWhileShown % 256, 0, 0));
            SDL_UpdateWindowSurface(window);
            if (!box) {
                box = FindWindowTitled(display.get(), DefaultRootWindow(display.get()), title);
                lastAnswer = SDL_GetTicks();
                return;
            }
            ++framesWhileShown;
            // Once it had time to paint; again later should the first be lost.
            if (SDL_GetTicks() - lastAnswer > 500) {
                if (row.closeBox) {
                    PressCloseBox(display.get(), *box);
                } else {
                    keyboard.Focus(*box);
                    keyboard.PressKey(XK_Return);
                }
                lastAnswer = SDL_GetTicks();
            }
        };
        FakeMessageBoxService fallback;
        const int32_t answer = ProgramMessageBoxService(fallback).Show(
            u"Replace \u201Ca&b <c>.trs\u201D?", QV::String(title.c_str()), Flag::kYesNo | Flag::kIconWarning, host);
        XSync(display.get(), False);
        EXPECT_EQ(answer, row.answer);
        EXPECT_TRUE(fallback.shown.empty());
        EXPECT_TRUE(box.has_value());
        EXPECT_GT(framesWhileShown, 10);
    }
    XSetErrorHandler(previousHandler);
    // Video stays up: quitting unloads the X libraries, whose kept
    // allocations would then show as leaks of an unknown module.
    SDL_DestroyWindow(window);
}

}  // namespace
