// Message boxes through a dialog program: the arguments each kind of box
// gives zenity and kdialog, what their endings answer, and the service
// running a stand-in program.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <SDL.h>

#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <optional>
#include <string>

#include "FakeMessageBoxService.h"
#include "ProgramMessageBoxService.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"

namespace {

using namespace Platform;
namespace Flag = MessageBoxFlag;
namespace Answer = MessageBoxAnswer;
using FileChooser::ChildOutcome;

DialogBox Box(uint32_t flags, uint64_t owner = 0)
{
    return {MessageBoxLayout::For(flags), "Saved in \"a\\b.trs\".", "Save preset file", owner};
}

TEST(DialogArgumentsTest, EachKindOfBoxForZenity)
{
    struct Row {
        uint32_t flags;
        std::vector<std::string> extra;  // after the common ones
    };
    const std::string title = "--title=Save preset file";
    // zenity reads escapes in its text: the backslash is doubled to stay one.
    const std::string text = "--text=Saved in \"a\\\\b.trs\".";
    const Row rows[] = {
        {Flag::kIconError, {"--error"}},
        {Flag::kIconWarning, {"--warning"}},
        {Flag::kIconInformation, {"--info"}},
        {Flag::kOk, {"--info"}},
        {Flag::kYesNo | Flag::kIconQuestion, {"--question"}},
        {Flag::kYesNo | Flag::kIconWarning, {"--question", "--icon-name=dialog-warning"}},
        {Flag::kOkCancel | Flag::kIconError, {"--question", "--icon-name=dialog-error", "--ok-label=OK",
                                              "--cancel-label=Cancel"}},
        {Flag::kYesNoCancel, {"--question", "--extra-button=Cancel"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << row.flags);
        std::vector<std::string> expected{row.extra.front(), title, text, "--no-markup", "--modal"};
        expected.insert(expected.end(), row.extra.begin() + 1, row.extra.end());
        EXPECT_EQ(BuildDialogArguments(DialogTool::kZenity, Box(row.flags)), expected);
    }
    const std::vector<std::string> owned = BuildDialogArguments(DialogTool::kZenity, Box(Flag::kYesNo, 0x1c00007));
    EXPECT_EQ(owned.back(), "--attach=29360135");
}

TEST(DialogArgumentsTest, EachKindOfBoxForKdialog)
{
    struct Row {
        uint32_t flags;
        std::vector<std::string> middle;  // between the title and the text
    };
    const Row rows[] = {
        {Flag::kIconError, {"--error"}},
        {Flag::kIconWarning, {"--sorry"}},
        {Flag::kIconInformation, {"--msgbox"}},
        {Flag::kYesNo | Flag::kIconQuestion, {"--yesno"}},
        {Flag::kYesNo | Flag::kIconWarning, {"--warningyesno"}},
        {Flag::kOkCancel, {"--yes-label", "OK", "--no-label", "Cancel", "--yesno"}},
        {Flag::kYesNoCancel | Flag::kIconError, {"--warningyesnocancel"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << row.flags);
        std::vector<std::string> expected{"--title", "Save preset file"};
        expected.insert(expected.end(), row.middle.begin(), row.middle.end());
        expected.push_back("Saved in \"a\\b.trs\".");
        EXPECT_EQ(BuildDialogArguments(DialogTool::kKdialog, Box(row.flags)), expected);
    }
    const std::vector<std::string> owned = BuildDialogArguments(DialogTool::kKdialog, Box(Flag::kOk, 42));
    EXPECT_EQ(std::vector<std::string>(owned.begin() + 2, owned.begin() + 4),
              (std::vector<std::string>{"--attach", "42"}));
}

ChildOutcome Exited(int code, std::string out = {})
{
    ChildOutcome outcome;
    outcome.exited = true;
    outcome.exitCode = code;
    outcome.out = std::move(out);
    return outcome;
}

TEST(DialogOutcomeTest, EndingsGiveTheWindowsAnswers)
{
    ChildOutcome signalled;
    signalled.signal = SIGSEGV;
    ChildOutcome ended = signalled;
    ended.endedByCaller = true;
    struct Row {
        DialogTool tool;
        uint32_t flags;
        ChildOutcome outcome;
        std::optional<int32_t> answer;
    };
    const Row rows[] = {
        {DialogTool::kZenity, Flag::kIconError, Exited(0), Answer::kOk},
        {DialogTool::kZenity, Flag::kIconError, Exited(1), Answer::kOk},  // closed
        {DialogTool::kZenity, Flag::kYesNo, Exited(0), Answer::kYes},
        {DialogTool::kZenity, Flag::kYesNo, Exited(1), Answer::kNo},
        {DialogTool::kZenity, Flag::kOkCancel, Exited(1), Answer::kCancel},
        {DialogTool::kZenity, Flag::kYesNoCancel, Exited(1, "Cancel\n"), Answer::kCancel},
        {DialogTool::kZenity, Flag::kYesNoCancel, Exited(1), Answer::kNo},
        {DialogTool::kZenity, Flag::kYesNo, Exited(5), Answer::kNo},
        {DialogTool::kKdialog, Flag::kYesNoCancel, Exited(2), Answer::kCancel},
        {DialogTool::kKdialog, Flag::kYesNo, Exited(1), Answer::kNo},
        // Ended for the program's own end: as closed.
        {DialogTool::kZenity, Flag::kYesNoCancel, ended, Answer::kCancel},
        {DialogTool::kZenity, Flag::kYesNo, ended, Answer::kNo},
        // No box was shown.
        {DialogTool::kZenity, Flag::kYesNo, Exited(2), std::nullopt},
        {DialogTool::kZenity, Flag::kIconError, Exited(255), std::nullopt},
        {DialogTool::kKdialog, Flag::kOk, signalled, std::nullopt},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << index++);
        EXPECT_EQ(InterpretDialogOutcome(row.tool, MessageBoxLayout::For(row.flags), row.outcome), row.answer);
    }
}

// A stand-in dialog program: writes its arguments one a line to "args",
// then does what the test wrote for it.
class ProgramMessageBoxTest : public ::testing::Test {
protected:
    std::string Stub(const std::string& behaviour)
    {
        const std::string path = folder / "dialog";
        TempFolder::WriteText(path, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + (folder / "args") + "\"\n" +
                                        behaviour + "\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }
    std::string Arguments() const { return TempFolder::ReadText(folder / "args"); }

    TempFolder folder{"program-message-box-test"};
    FakeMessageBoxService fallback;
    ProgramMessageBoxService service{fallback};
};

TEST_F(ProgramMessageBoxTest, TheNamedProgramShowsTheBoxAndItsExitAnswers)
{
    const std::string program = Stub("exit 1");
    const ScopedEnvironment named("TARSEL_MESSAGE_BOX", program.c_str());
    EXPECT_EQ(service.Show(u"Replace \u201Cx.trs\u201D?", u"Save", Flag::kYesNo | Flag::kIconQuestion, {7, {}}),
              Answer::kNo);
    EXPECT_EQ(Arguments(), "--question\n--title=Save\n--text=Replace \u201Cx.trs\u201D?\n--no-markup\n--modal\n"
                           "--attach=7\n");
    EXPECT_TRUE(fallback.shown.empty());
}

TEST_F(ProgramMessageBoxTest, TheOwnerKeepsPaintingWhileTheBoxIsOpen)
{
    const ScopedEnvironment named("TARSEL_MESSAGE_BOX", Stub("sleep 0.3").c_str());
    int passes = 0;
    EXPECT_EQ(service.Show(u"Saved.", u"Save", Flag::kIconInformation, {0, [&passes] { ++passes; }}), Answer::kOk);
    EXPECT_GE(passes, 5);
}

TEST_F(ProgramMessageBoxTest, WithoutAProgramOrWhenItShowsNothingTheFallbackShowsTheBox)
{
    for (const std::string& program : {folder / "no-such-dialog", Stub("exit 255")}) {
        SCOPED_TRACE(program);
        const ScopedEnvironment named("TARSEL_MESSAGE_BOX", program.c_str());
        fallback.shown.clear();
        fallback.answers = {Answer::kNo};
        EXPECT_EQ(service.Show(u"Replace?", u"Save", Flag::kYesNo, {9, {}}), Answer::kNo);
        ASSERT_EQ(fallback.shown.size(), 1u);
        EXPECT_EQ(fallback.shown[0].text, QV::String(u"Replace?"));
        EXPECT_EQ(fallback.shown[0].ownerWindow, 9u);
    }
}

// SIGTERM while a box is open: SDL turns it into its quit event, the box's
// program is ended and the box answers as closed; a later box is not shown.
TEST_F(ProgramMessageBoxTest, ARequestToEndTheProgramEndsTheOpenBox)
{
    const ScopedEnvironment driver("SDL_VIDEODRIVER", "dummy");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    const std::string ended = folder / "ended";
    const std::string ready = folder / "ready";
    const ScopedEnvironment named("TARSEL_MESSAGE_BOX",
                                  Stub("trap 'echo TERM > \"" + ended + "\"; exit 143' TERM\ntouch \"" + ready +
                                       "\"\nsleep 30 &\nwait $!")
                                      .c_str());
    bool raised = false;
    const auto start = std::chrono::steady_clock::now();
    const int32_t answer = service.Show(u"Keep?", u"Save", Flag::kYesNoCancel, {0, [&] {
                                            if (raised || !std::filesystem::exists(ready)) return;
                                            ::raise(SIGTERM);
                                            raised = true;
                                        }});
    EXPECT_EQ(answer, Answer::kCancel);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(TempFolder::ReadText(ended), "TERM\n");

    std::filesystem::remove(folder / "args");
    EXPECT_EQ(service.Show(u"Saved.", u"Save", Flag::kOk, {}), Answer::kOk);
    EXPECT_FALSE(std::filesystem::exists(folder / "args")) << "a box was shown after the request to end";
    EXPECT_TRUE(fallback.shown.empty());
    SDL_FlushEvent(SDL_QUIT);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
