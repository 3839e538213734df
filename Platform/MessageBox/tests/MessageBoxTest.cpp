#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

#include "FakeMessageBoxService.h"
#include "MessageBoxLayout.h"
#include "ScopedEnvironment.h"
#include "SdlMessageBoxService.h"

namespace {

using namespace Platform;
namespace Flag = MessageBoxFlag;
namespace Answer = MessageBoxAnswer;
using Icon = MessageBoxLayout::Icon;

std::vector<int32_t> Answers(const MessageBoxLayout& layout)
{
    std::vector<int32_t> answers;
    for (const MessageBoxButton& button : layout.buttons) answers.push_back(button.answer);
    return answers;
}

TEST(MessageBoxLayoutTest, FlagsGiveButtonsIconAndTheEnterAndCloseAnswers)
{
    struct Row {
        uint32_t flags;
        std::vector<int32_t> buttons;
        Icon icon;
        int32_t enter;
        int32_t close;
    };
    const Row rows[] = {
        {Flag::kOk, {Answer::kOk}, Icon::kNone, Answer::kOk, Answer::kOk},
        {Flag::kOk | Flag::kIconError, {Answer::kOk}, Icon::kError, Answer::kOk, Answer::kOk},
        {Flag::kOkCancel | Flag::kIconWarning,
         {Answer::kOk, Answer::kCancel},
         Icon::kWarning,
         Answer::kOk,
         Answer::kCancel},
        {Flag::kYesNoCancel | Flag::kIconQuestion,
         {Answer::kYes, Answer::kNo, Answer::kCancel},
         Icon::kQuestion,
         Answer::kYes,
         Answer::kCancel},
        {Flag::kYesNo | Flag::kIconInformation,
         {Answer::kYes, Answer::kNo},
         Icon::kInformation,
         Answer::kYes,
         Answer::kNo},
        // Sets and icons no caller uses fall back to OK and no icon.
        {0x2 | 0x50, {Answer::kOk}, Icon::kNone, Answer::kOk, Answer::kOk},
        {0x5, {Answer::kOk}, Icon::kNone, Answer::kOk, Answer::kOk},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << row.flags);
        const MessageBoxLayout layout = MessageBoxLayout::For(row.flags);
        EXPECT_EQ(Answers(layout), row.buttons);
        EXPECT_EQ(layout.icon, row.icon);
        EXPECT_EQ(layout.defaultAnswer, row.enter);
        EXPECT_EQ(layout.closeAnswer, row.close);
    }
}

TEST(MessageBoxServiceTest, ScopedFakeTakesEveryBoxWhileItLives)
{
    IMessageBoxService& real = GetMessageBoxService();
    {
        FakeMessageBoxService fake;
        ScopedMessageBoxService scope(fake);
        fake.answers = {Answer::kNo};
        EXPECT_EQ(ShowMessageBox(u"Overwrite?", u"Save", Flag::kYesNo | Flag::kIconQuestion), Answer::kNo);
        EXPECT_EQ(ShowMessageBox(u"Saved.", u"Save", Flag::kOkCancel), Answer::kOk);
        ASSERT_EQ(fake.shown.size(), 2u);
        EXPECT_EQ(fake.shown[0].text, QV::String(u"Overwrite?"));
        EXPECT_EQ(fake.shown[0].caption, QV::String(u"Save"));
        EXPECT_EQ(fake.shown[0].flags, 0x24u);
    }
    EXPECT_EQ(&GetMessageBoxService(), &real);
}

TEST(SdlMessageBoxServiceTest, WithoutADisplayTheBoxGoesToTheStreamAndAnswersItsDefault)
{
    const ScopedEnvironment noX("DISPLAY", nullptr);
    const ScopedEnvironment noWayland("WAYLAND_DISPLAY", nullptr);
    struct Row {
        uint32_t flags;
        int32_t answer;
    };
    for (const Row row :
         {Row{Flag::kOk | Flag::kIconError, Answer::kOk}, Row{Flag::kOkCancel, Answer::kOk},
          Row{Flag::kYesNoCancel, Answer::kYes}, Row{Flag::kYesNo | Flag::kIconWarning, Answer::kYes}}) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << row.flags);
        std::ostringstream err;
        SdlMessageBoxService service(err);
        EXPECT_EQ(service.Show(u"Stra\u00DFe nicht gefunden", u"Fehler", row.flags, {}), row.answer);
        EXPECT_EQ(err.str(),
                  "Fehler: Stra\xC3\x9F"
                  "e nicht gefunden\n");
    }
}

}  // namespace
