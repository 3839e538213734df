#include "SdlClipboardService.h"

#include <SDL.h>

namespace Platform {

SdlClipboardService::SdlClipboardService() : mAvailable(SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {}

SdlClipboardService::~SdlClipboardService()
{
    if (mAvailable) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::optional<std::string> SdlClipboardService::ReadText()
{
    if (!mAvailable) return std::nullopt;
    char* text = SDL_GetClipboardText();
    if (text == nullptr) return std::nullopt;
    std::string copy(text);
    SDL_free(text);
    // SDL answers an empty text for an empty clipboard as for a failure.
    if (copy.empty()) return std::nullopt;
    return copy;
}

void SdlClipboardService::Observe(const std::optional<std::string>& text)
{
    if (text != mLastSeen) {
        mLastSeen = text;
        ++mSequence;
    }
}

uint32_t SdlClipboardService::GetSequenceNumber()
{
    Observe(ReadText());
    return mSequence;
}

bool SdlClipboardService::HasText()
{
    return mAvailable && SDL_HasClipboardText() == SDL_TRUE;
}

std::optional<std::string> SdlClipboardService::GetText()
{
    if (!mAvailable) return std::nullopt;
    std::optional<std::string> text = ReadText();
    Observe(text);
    return text.value_or(std::string());
}

bool SdlClipboardService::SetText(const std::string& utf8)
{
    if (!mAvailable || SDL_SetClipboardText(utf8.c_str()) != 0) return false;
    mLastSeen = utf8.empty() ? std::nullopt : std::optional<std::string>(utf8);
    ++mSequence;
    return true;
}

bool SdlClipboardService::SetPrivateMark()
{
    if (!SetText(std::string())) return false;
    mPrivateSequence = mSequence;
    return true;
}

bool SdlClipboardService::HasPrivateMark()
{
    return mPrivateSequence && *mPrivateSequence == GetSequenceNumber();
}

}  // namespace Platform
