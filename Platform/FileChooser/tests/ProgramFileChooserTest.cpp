#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "FileChooser.h"
#include "ProgramFileChooser.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"

namespace Platform::FileChooser {
namespace {

// A stand-in chooser: writes its arguments NUL-separated beside itself, then
// does what the test wrote for it.
class ProgramFileChooserTest : public ::testing::Test {
protected:
    std::string Stub(const std::string& behaviour, const std::string& name = "chooser")
    {
        const std::string path = folder / name;
        TempFolder::WriteText(path, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"" + ArgsFile() +
                                        "\"\n" + behaviour + "\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }
    std::string ArgsFile() const { return folder / "args"; }
    std::vector<std::string> ReceivedArguments() const
    {
        const std::string text = TempFolder::ReadText(ArgsFile());
        std::vector<std::string> args;
        size_t start = 0;
        for (size_t end; (end = text.find('\0', start)) != std::string::npos; start = end + 1) {
            args.push_back(text.substr(start, end - start));
        }
        return args;
    }
    static Request Save(const std::string& folder)
    {
        Request request;
        request.mode = Mode::Save;
        request.title = "Save $(touch pwned) `x` 'q' \"d\"";
        request.startFolder = folder;
        request.proposedName = "My song; rm -rf ~";
        request.defaultExtension = "tps";
        request.overwritePrompt = true;
        request.filters = {{"Presets", {"*.tps"}}};
        return request;
    }

    TempFolder folder{"chooser-program-test"};
};

TEST_F(ProgramFileChooserTest, TheNamedProgramGetsZenityArgumentsUntouchedByAnyShell)
{
    ScopedEnvironment env("TARSEL_FILE_CHOOSER", Stub("printf '%s\\n' '" + folder / "a b.tps" + "'"));
    const Request request = Save(folder.Path());

    const Result result = ProgramFileChooser().Run(request);

    ASSERT_EQ(result.outcome, Outcome::Ok) << result.error;
    EXPECT_EQ(result.paths, std::vector<std::string>{folder / "a b.tps"});
    EXPECT_EQ(ReceivedArguments(), BuildArguments(Dialect::Zenity, request));
    EXPECT_FALSE(std::filesystem::exists(folder / "pwned"));
}

TEST_F(ProgramFileChooserTest, AProgramCalledKdialogGetsKdialogArguments)
{
    ScopedEnvironment env("TARSEL_FILE_CHOOSER", Stub("echo /x/y.tps", "kdialog"));
    const Request request = Save(folder.Path());
    EXPECT_EQ(ProgramFileChooser().Run(request).paths, std::vector<std::string>{"/x/y.tps"});
    EXPECT_EQ(ReceivedArguments(), BuildArguments(Dialect::Kdialog, request));
}

TEST_F(ProgramFileChooserTest, ExitCodesOfTheProgram)
{
    struct Case {
        const char* behaviour;
        Outcome outcome;
        const char* errorPart;
    };
    const Case cases[] = {
        {"exit 1", Outcome::Cancel, ""},
        {"echo 'cannot open display' >&2; exit 5", Outcome::Error, "ended with code 5: cannot open display"},
        {"kill -9 $$", Outcome::Error, "signal 9"},
        {"exit 0", Outcome::Error, "no file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        ScopedEnvironment env("TARSEL_FILE_CHOOSER", Stub(c.behaviour));
        const Result result = ProgramFileChooser().Run(Request{});
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_TRUE(result.paths.empty());
        EXPECT_NE(result.error.find(c.errorPart), std::string::npos) << result.error;
    }
}

TEST_F(ProgramFileChooserTest, SeveralChosenFilesComeBackInOrder)
{
    ScopedEnvironment env("TARSEL_FILE_CHOOSER", Stub("printf '/p/one.tps\\n/p/two words.tps\\n'"));
    Request request;
    request.multiple = true;
    EXPECT_EQ(ProgramFileChooser().Run(request).paths, (std::vector<std::string>{"/p/one.tps", "/p/two words.tps"}));
}

TEST_F(ProgramFileChooserTest, TheCallerKeepsRunningWhileTheChooserIsOpen)
{
    ScopedEnvironment env("TARSEL_FILE_CHOOSER", Stub("sleep 0.3; exit 1"));
    int calls = 0;
    Request request;
    request.whileOpen = [&calls] { ++calls; };
    EXPECT_EQ(ProgramFileChooser().Run(request).outcome, Outcome::Cancel);
    EXPECT_GE(calls, 5);
}

TEST_F(ProgramFileChooserTest, AMissingProgramIsAnErrorThatNamesIt)
{
    const std::string missing = folder / "no-such-chooser";
    ScopedEnvironment env("TARSEL_FILE_CHOOSER", missing);
    const Result result = ProgramFileChooser().Run(Request{});
    EXPECT_EQ(result.outcome, Outcome::Error);
    EXPECT_NE(result.error.find(missing), std::string::npos) << result.error;
}

TEST_F(ProgramFileChooserTest, WithoutZenityKdialogIsTried)
{
    const std::string bin = folder / "bin";
    std::filesystem::create_directory(bin);
    const std::string stub = Stub("echo /k/chosen.tps", "kdialog");
    std::filesystem::rename(stub, bin + "/kdialog");
    ScopedEnvironment path("PATH", bin);
    ScopedEnvironment named("TARSEL_FILE_CHOOSER", "");

    const Result result = ProgramFileChooser().Run(Save(folder.Path()));

    EXPECT_EQ(result.paths, std::vector<std::string>{"/k/chosen.tps"});
    EXPECT_EQ(ReceivedArguments(), BuildArguments(Dialect::Kdialog, Save(folder.Path())));

    std::filesystem::remove(bin + "/kdialog");
    const Result none = ProgramFileChooser().Run(Request{});
    EXPECT_EQ(none.outcome, Outcome::Error);
    EXPECT_NE(none.error.find("install zenity"), std::string::npos) << none.error;
}

TEST_F(ProgramFileChooserTest, TheSaveRulesApplyToTheRealBackEnd)
{
    TempFolder::WriteText(folder / "song.tps", "old");
    ScopedEnvironment env("TARSEL_FILE_CHOOSER", Stub("echo \"" + folder / "song" + "\""));
    Request request = Save(folder.Path());
    std::string asked;
    request.confirmReplace = [&asked](const std::string& path) {
        asked = path;
        return true;
    };
    const Result result = Choose(request);
    EXPECT_EQ(result.paths, std::vector<std::string>{folder / "song.tps"});
    EXPECT_EQ(asked, folder / "song.tps");
}

}  // namespace
}  // namespace Platform::FileChooser
