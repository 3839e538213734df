#include "MessageBoxLayout.h"

#include "MessageBoxService.h"

namespace Platform {
namespace {

namespace Answer = MessageBoxAnswer;

constexpr MessageBoxButton kOk{Answer::kOk, "OK"};
constexpr MessageBoxButton kCancel{Answer::kCancel, "Cancel"};
constexpr MessageBoxButton kYes{Answer::kYes, "Yes"};
constexpr MessageBoxButton kNo{Answer::kNo, "No"};

std::vector<MessageBoxButton> ButtonsFor(uint32_t set)
{
    switch (set) {
    case MessageBoxFlag::kOkCancel: return {kOk, kCancel};
    case MessageBoxFlag::kYesNoCancel: return {kYes, kNo, kCancel};
    case MessageBoxFlag::kYesNo: return {kYes, kNo};
    default: return {kOk};
    }
}

MessageBoxLayout::Icon IconFor(uint32_t icon)
{
    switch (icon) {
    case MessageBoxFlag::kIconError: return MessageBoxLayout::Icon::kError;
    case MessageBoxFlag::kIconQuestion: return MessageBoxLayout::Icon::kQuestion;
    case MessageBoxFlag::kIconWarning: return MessageBoxLayout::Icon::kWarning;
    case MessageBoxFlag::kIconInformation: return MessageBoxLayout::Icon::kInformation;
    default: return MessageBoxLayout::Icon::kNone;
    }
}

}  // namespace

MessageBoxLayout MessageBoxLayout::For(uint32_t flags)
{
    MessageBoxLayout layout;
    layout.buttons = ButtonsFor(flags & 0xF);
    layout.icon = IconFor(flags & 0xF0);
    layout.defaultAnswer = layout.buttons.front().answer;
    layout.closeAnswer = layout.buttons.back().answer;
    return layout;
}

}  // namespace Platform
