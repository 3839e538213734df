#include "SdlMessageBoxService.h"

#include <SDL.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "MessageBoxLayout.h"

namespace Platform {
namespace {

std::string ToUtf8(const QV::String& text)
{
    QV::NarrowString utf8;
    if (QV::ConvertStringToUTF8(utf8, text.GetChars(), static_cast<int32_t>(text.GetLength())) < 0) return {};
    return std::string(utf8.GetChars(), utf8.GetLength());
}

bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// Without a display SDL would try every back end it has, helper programs
// included; there is nothing to show on, so it is not asked.
bool HasDisplay()
{
    return SDL_WasInit(SDL_INIT_VIDEO) != 0 || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

Uint32 IconFlag(MessageBoxLayout::Icon icon)
{
    switch (icon) {
    case MessageBoxLayout::Icon::kError: return SDL_MESSAGEBOX_ERROR;
    case MessageBoxLayout::Icon::kWarning: return SDL_MESSAGEBOX_WARNING;
    // SDL has no question mark.
    case MessageBoxLayout::Icon::kQuestion:
    case MessageBoxLayout::Icon::kInformation: return SDL_MESSAGEBOX_INFORMATION;
    default: return 0;
    }
}

// The answer, or none when SDL could not show the box.
std::optional<int32_t> ShowWithSdl(const MessageBoxLayout& layout, const std::string& text, const std::string& caption)
{
    std::vector<SDL_MessageBoxButtonData> buttons;
    for (const MessageBoxButton& button : layout.buttons) {
        Uint32 keys = 0;
        if (button.answer == layout.defaultAnswer) keys |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (button.answer == layout.closeAnswer) keys |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        buttons.push_back({keys, button.answer, button.label});
    }
    const SDL_MessageBoxData data{IconFlag(layout.icon) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
                                  nullptr,
                                  caption.c_str(),
                                  text.c_str(),
                                  static_cast<int>(buttons.size()),
                                  buttons.data(),
                                  nullptr};
    int chosen = -1;
    if (SDL_ShowMessageBox(&data, &chosen) != 0) return std::nullopt;
    // Closed by the window manager: as Escape.
    return chosen < 0 ? layout.closeAnswer : chosen;
}

}  // namespace

SdlMessageBoxService::SdlMessageBoxService() : SdlMessageBoxService(std::cerr) {}

SdlMessageBoxService::SdlMessageBoxService(std::ostream& fallback) : mFallback(fallback) {}

int32_t SdlMessageBoxService::Show(const QV::String& text, const QV::String& caption, uint32_t flags,
                                   const MessageBoxOwner&)
{
    const MessageBoxLayout layout = MessageBoxLayout::For(flags);
    const std::string text8 = ToUtf8(text);
    const std::string caption8 = ToUtf8(caption);
    if (HasDisplay()) {
        if (const std::optional<int32_t> answer = ShowWithSdl(layout, text8, caption8)) return *answer;
    }
    mFallback << caption8 << ": " << text8 << std::endl;
    return layout.defaultAnswer;
}

}  // namespace Platform
