// The fake chooser program as the editor meets it: through the file chooser
// layer, named by TARSEL_FILE_CHOOSER.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "FileChooser.h"
#include "TempFolder.h"

namespace {

using Platform::FileChooser::Choose;
using Platform::FileChooser::Mode;
using Platform::FileChooser::Outcome;
using Platform::FileChooser::Request;

class FakeFileChooserToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("TARSEL_FILE_CHOOSER", FAKE_FILE_CHOOSER_TOOL, 1);
        ::setenv("FAKE_CHOOSER_LOG", log.c_str(), 1);
        ::unsetenv("FAKE_CHOOSER_ANSWER");
    }
    void TearDown() override
    {
        for (const char* name : {"TARSEL_FILE_CHOOSER", "FAKE_CHOOSER_LOG", "FAKE_CHOOSER_ANSWER"}) ::unsetenv(name);
    }

    static Request SaveRequest(const std::string& title)
    {
        Request request;
        request.mode = Mode::Save;
        request.title = title;
        request.filters = {{"Presets", {"*.trs"}}};
        return request;
    }

    TempFolder folder{"FakeFileChooserToolTest"};
    const std::string log = folder / "chooser.log";
};

TEST_F(FakeFileChooserToolTest, AnswersThePathItIsGivenAndLogsItsArguments)
{
    const std::string answer = folder / "my preset.trs";
    ::setenv("FAKE_CHOOSER_ANSWER", answer.c_str(), 1);
    const auto result = Choose(SaveRequest("Save\tpreset"));
    ASSERT_EQ(result.outcome, Outcome::Ok) << result.error;
    EXPECT_EQ(result.paths, std::vector<std::string>{answer});

    const std::string logged = TempFolder::ReadText(log);
    EXPECT_EQ(logged.rfind("--file-selection\t", 0), 0u) << logged;
    EXPECT_NE(logged.find("\t--save"), std::string::npos) << logged;
    EXPECT_NE(logged.find("\t--title=Save\\tpreset"), std::string::npos) << logged;
    EXPECT_EQ(logged.back(), '\n');
    EXPECT_EQ(logged.find('\n'), logged.size() - 1) << "one line per run";
}

TEST_F(FakeFileChooserToolTest, CancelsWithoutAnAnswerAndAppendsEachRun)
{
    EXPECT_EQ(Choose(SaveRequest("first")).outcome, Outcome::Cancel);
    EXPECT_EQ(Choose(SaveRequest("second")).outcome, Outcome::Cancel);
    const std::string logged = TempFolder::ReadText(log);
    const auto firstEnd = logged.find('\n');
    ASSERT_NE(firstEnd, std::string::npos) << logged;
    EXPECT_NE(logged.substr(0, firstEnd).find("--title=first"), std::string::npos) << logged;
    EXPECT_NE(logged.substr(firstEnd).find("--title=second"), std::string::npos) << logged;
}

TEST_F(FakeFileChooserToolTest, UnwritableLogIsAnErrorNotAnAnswer)
{
    ::setenv("FAKE_CHOOSER_LOG", (folder / "no/such/folder/log").c_str(), 1);
    ::setenv("FAKE_CHOOSER_ANSWER", "/tmp/x.trs", 1);
    const auto result = Choose(SaveRequest("t"));
    EXPECT_EQ(result.outcome, Outcome::Error);
    EXPECT_NE(result.error.find("cannot append"), std::string::npos) << result.error;
}

}  // namespace
