// Real message boxes on the test display, answered by another X client
// pressing keys or the close box, as a user and a window manager would.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "SdlMessageBoxService.h"

#include <SDL.h>

#include "X11Windows.h"

namespace {

using namespace Platform;
using namespace X11Testing;
namespace Flag = MessageBoxFlag;
namespace Answer = MessageBoxAnswer;

enum class Action { kEnter, kEscape, kCloseBox };

// Acts on the box titled caption until done is set; repeats now and then, in
// case the box was not reading its events yet.
void AnswerBox(const std::string& caption, Action action, const std::atomic<bool>& done)
{
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) return;
    while (!done) {
        if (std::optional<Window> box = FindWindowTitled(display.get(), DefaultRootWindow(display.get()), caption)) {
            if (action == Action::kCloseBox) {
                PressCloseBox(display.get(), *box);
            } else {
                PressKey(display.get(), *box, action == Action::kEnter ? XK_Return : XK_Escape);
            }
            for (int i = 0; i < 50 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

TEST(SdlMessageBoxTest, EnterEscapeAndTheCloseBoxGiveTheWindowsAnswers)
{
    // The answering thread has its own connection, but Xlib's globals are shared.
    ASSERT_NE(XInitThreads(), 0);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    // A box that goes just as a key is sent names a window that is gone.
    const auto previousHandler = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    struct Row {
        uint32_t flags;
        Action action;
        int32_t answer;
    };
    const Row rows[] = {
        {Flag::kOkCancel | Flag::kIconWarning, Action::kEnter, Answer::kOk},
        {Flag::kOkCancel, Action::kEscape, Answer::kCancel},
        {Flag::kYesNoCancel | Flag::kIconQuestion, Action::kCloseBox, Answer::kCancel},
        {Flag::kYesNo, Action::kEscape, Answer::kNo},
        {Flag::kYesNo | Flag::kIconError, Action::kEnter, Answer::kYes},
        {Flag::kOk | Flag::kIconInformation, Action::kCloseBox, Answer::kOk},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << index);
        const std::string caption = "Box " + std::to_string(::getpid()) + "-" + std::to_string(index++);
        const QV::String caption16(std::u16string(caption.begin(), caption.end()).c_str());
        std::atomic<bool> done{false};
        std::thread user(AnswerBox, caption, row.action, std::cref(done));
        const int32_t answer = SdlMessageBoxService().Show(u"Keep the changes?", caption16, row.flags);
        done = true;
        user.join();
        EXPECT_EQ(answer, row.answer);
    }
    XSetErrorHandler(previousHandler);
    // Video stays up: quitting unloads the X libraries, whose kept
    // allocations would then show as leaks of an unknown module.
}

}  // namespace
