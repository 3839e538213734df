// Real message boxes on the test display, answered by another X client
// pressing keys or the close box, as a user and a window manager would.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Acts on the box titled caption until killed; repeats now and then, in case
// the box was not reading its events yet.
[[noreturn]] void AnswerBox(const std::string& caption, Action action)
{
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) ::_exit(1);
    for (;;) {
        if (std::optional<Window> box = FindWindowTitled(display.get(), DefaultRootWindow(display.get()), caption)) {
            if (action == Action::kCloseBox) {
                PressCloseBox(display.get(), *box);
            } else {
                PressKey(display.get(), *box, action == Action::kEnter ? XK_Return : XK_Escape);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

// The user answering the box is another process. SDL shows its box from a
// forked child; a thread of ours inside Xlib at that moment would leave the
// child holding Xlib's global lock for ever.
class AnsweringUser {
public:
    AnsweringUser(const std::string& caption, Action action) : mPid(::fork())
    {
        if (mPid == 0) AnswerBox(caption, action);
    }
    ~AnsweringUser()
    {
        if (mPid <= 0) return;
        ::kill(mPid, SIGKILL);
        int status = 0;
        ::waitpid(mPid, &status, 0);
    }
    AnsweringUser(const AnsweringUser&) = delete;
    AnsweringUser& operator=(const AnsweringUser&) = delete;

private:
    pid_t mPid;
};

TEST(SdlMessageBoxTest, EnterEscapeAndTheCloseBoxGiveTheWindowsAnswers)
{
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
        int32_t answer = 0;
        {
            const AnsweringUser user(caption, row.action);
            answer = SdlMessageBoxService().Show(u"Keep the changes?", caption16, row.flags, {});
        }
        EXPECT_EQ(answer, row.answer);
    }
    XSetErrorHandler(previousHandler);
    // Video stays up: quitting unloads the X libraries, whose kept
    // allocations would then show as leaks of an unknown module.
}

}  // namespace
