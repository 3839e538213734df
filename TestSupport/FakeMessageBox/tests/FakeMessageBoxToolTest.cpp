// The fake dialog program as the editor meets it: through the message box
// layer, named by TARSEL_MESSAGE_BOX.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "FakeMessageBoxService.h"
#include "ProgramMessageBoxService.h"
#include "TempFolder.h"

namespace {

using namespace Platform;
namespace Flag = MessageBoxFlag;
namespace Answer = MessageBoxAnswer;

class FakeMessageBoxToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("TARSEL_MESSAGE_BOX", FAKE_MESSAGE_BOX_TOOL, 1);
        ::setenv("FAKE_MESSAGE_BOX_LOG", log.c_str(), 1);
        ::unsetenv("FAKE_MESSAGE_BOX_ANSWERS");
    }
    void TearDown() override
    {
        for (const char* name : {"TARSEL_MESSAGE_BOX", "FAKE_MESSAGE_BOX_LOG", "FAKE_MESSAGE_BOX_ANSWERS"}) {
            ::unsetenv(name);
        }
    }

    TempFolder folder{"FakeMessageBoxToolTest"};
    const std::string log = folder / "boxes.log";
    FakeMessageBoxService fallback;
    ProgramMessageBoxService service{fallback};
};

TEST_F(FakeMessageBoxToolTest, EachRunTakesItsAnswerAndLogsItsArguments)
{
    ::setenv("FAKE_MESSAGE_BOX_ANSWERS", "1,0", 1);
    EXPECT_EQ(service.Show(u"First?", u"One\tbox", Flag::kYesNo, {}), Answer::kNo);
    EXPECT_EQ(service.Show(u"Second?", u"Two", Flag::kYesNo, {}), Answer::kYes);
    EXPECT_EQ(service.Show(u"Past the list", u"Three", Flag::kOkCancel, {}), Answer::kOk);
    EXPECT_TRUE(fallback.shown.empty());

    const std::string logged = TempFolder::ReadText(log);
    EXPECT_EQ(logged.substr(0, logged.find('\n')),
              "--question\t--title=One\\tbox\t--text=First?\t--no-markup\t--modal");
    EXPECT_NE(logged.find("--text=Second?"), std::string::npos) << logged;
    EXPECT_NE(logged.find("--ok-label=OK"), std::string::npos) << logged;
}

TEST_F(FakeMessageBoxToolTest, WithoutALogItShowsNothingAndTheFallbackDoes)
{
    ::setenv("FAKE_MESSAGE_BOX_LOG", (folder / "no/such/folder/log").c_str(), 1);
    EXPECT_EQ(service.Show(u"Saved.", u"Save", Flag::kIconInformation, {}), Answer::kOk);
    ASSERT_EQ(fallback.shown.size(), 1u);
    EXPECT_EQ(fallback.shown[0].caption, QV::String(u"Save"));
}

}  // namespace
