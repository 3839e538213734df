#include <gtest/gtest.h>

#include <optional>

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

TEST_F(ChooseTest, AnExistingFileBehindTheAddedExtensionIsReplacedOnlyWhenTheUserSaysYes)
{
    TempFolder::WriteText(folder / "song.tps", "old");
    struct Case {
        const char* what;
        std::optional<bool> answer;  // none: nobody to ask
        Outcome outcome;
    };
    const Case cases[] = {
        {"yes", true, Outcome::Ok},
        {"no", false, Outcome::Cancel},
        {"nobody asked", std::nullopt, Outcome::Cancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> asked;
        Request request = SaveRequest();
        if (c.answer) {
            request.confirmReplace = [&asked, &c](const std::string& path) {
                asked.push_back(path);
                return *c.answer;
            };
        }
        fake.AnswerPaths({folder / "song"});
        const Result result = Choose(request);
        EXPECT_EQ(result.outcome, c.outcome);
        if (c.outcome == Outcome::Ok) {
            EXPECT_EQ(result.paths, std::vector<std::string>{folder / "song.tps"});
        }
        EXPECT_EQ(asked, c.answer ? std::vector<std::string>{folder / "song.tps"} : std::vector<std::string>{});
    }
    EXPECT_EQ(TempFolder::ReadText(folder / "song.tps"), "old");
}

TEST_F(ChooseTest, NothingIsAskedForANewFileOrANameTheChooserConfirmed)
{
    TempFolder::WriteText(folder / "song.tps", "old");
    int asked = 0;
    Request request = SaveRequest();
    request.confirmReplace = [&asked](const std::string&) { return ++asked, false; };
    for (const std::string& chosen : {folder / "new", folder / "song.tps"}) {
        fake.AnswerPaths({chosen});
        EXPECT_EQ(Choose(request).outcome, Outcome::Ok) << chosen;
    }
    EXPECT_EQ(asked, 0);
}

TEST_F(ChooseTest, WithoutAnOverwritePromptOrOnOpenNothingIsAsked)
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
