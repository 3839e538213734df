#include <gtest/gtest.h>

#include "FakeFileChooser.h"
#include "FileChooser.h"
#include "TempFolder.h"

namespace Platform::FileChooser {
namespace {

class ChooseTest : public ::testing::Test {
protected:
    Request SaveRequest(const std::string& extension = "tps")
    {
        Request request;
        request.mode = Mode::Save;
        request.defaultExtension = extension;
        request.startFolder = folder.Path();
        request.proposedName = "Untitled";
        request.overwritePrompt = true;
        return request;
    }

    TempFolder folder{"choose-test"};
    FakeFileChooser fake;
    ScopedFileChooser scope{fake};
};

TEST_F(ChooseTest, SavedNameGetsTheDefaultExtensionOnlyWhenItHasNone)
{
    struct Case {
        const char* typed;
        const char* extension;
        const char* expected;
    };
    const Case cases[] = {
        {"/p/name", "tps", "/p/name.tps"},       {"/p/name", ".tps", "/p/name.tps"},
        {"/p/name.txt", "tps", "/p/name.txt"},   {"/p.d/name", "tps", "/p.d/name.tps"},
        {"/p/.hidden", "tps", "/p/.hidden.tps"}, {"/p/name", "", "/p/name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed + std::string(" + ") + c.extension);
        fake.requests.clear();
        fake.AnswerPaths({c.typed});
        const Result result = Choose(SaveRequest(c.extension));
        ASSERT_EQ(result.outcome, Outcome::Ok);
        EXPECT_EQ(result.paths, std::vector<std::string>{c.expected});
        EXPECT_EQ(fake.requests.size(), 1u);
    }
}

TEST_F(ChooseTest, AnExistingFileBehindTheAddedExtensionIsAskedAboutAgain)
{
    TempFolder::WriteText(folder / "song.tps", "old");
    fake.AnswerPaths({folder / "song"});
    fake.AnswerPaths({folder / "other.tps"});

    const Result result = Choose(SaveRequest());

    ASSERT_EQ(fake.requests.size(), 2u);
    EXPECT_EQ(fake.requests[1].startFolder, folder.Path());
    EXPECT_EQ(fake.requests[1].proposedName, "song.tps");
    EXPECT_TRUE(fake.requests[1].overwritePrompt);
    EXPECT_EQ(result.paths, std::vector<std::string>{folder / "other.tps"});
}

TEST_F(ChooseTest, AskedAgainTheUserMayKeepTheNameOrCancel)
{
    TempFolder::WriteText(folder / "song.tps", "old");
    fake.AnswerPaths({folder / "song"});
    fake.AnswerPaths({folder / "song"});
    Result kept = Choose(SaveRequest());
    EXPECT_EQ(fake.requests.size(), 2u);
    EXPECT_EQ(kept.paths, std::vector<std::string>{folder / "song.tps"});

    fake.requests.clear();
    fake.AnswerPaths({folder / "song"});
    fake.AnswerCancel();
    EXPECT_EQ(Choose(SaveRequest()).outcome, Outcome::Cancel);
    EXPECT_EQ(TempFolder::ReadText(folder / "song.tps"), "old");
}

TEST_F(ChooseTest, WithoutAnOverwritePromptOrOnOpenNothingIsAskedAgain)
{
    TempFolder::WriteText(folder / "song.tps", "old");
    Request save = SaveRequest();
    save.overwritePrompt = false;
    fake.AnswerPaths({folder / "song"});
    EXPECT_EQ(Choose(save).paths, std::vector<std::string>{folder / "song.tps"});

    Request open;
    open.defaultExtension = "tps";
    fake.AnswerPaths({folder / "song"});
    EXPECT_EQ(Choose(open).paths, std::vector<std::string>{folder / "song"});
    EXPECT_EQ(fake.requests.size(), 2u);
}

TEST_F(ChooseTest, CancelAndErrorsPassThrough)
{
    fake.AnswerCancel();
    EXPECT_EQ(Choose(SaveRequest()).outcome, Outcome::Cancel);
    fake.AnswerError("no display");
    const Result failed = Choose(SaveRequest());
    EXPECT_EQ(failed.outcome, Outcome::Error);
    EXPECT_EQ(failed.error, "no display");
}

}  // namespace
}  // namespace Platform::FileChooser
