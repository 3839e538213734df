#include "DesktopInput.h"

#include <SDL.h>

#include <string_view>

namespace Platform::Window {

namespace {

constexpr int32_t kVkLeftButton = 0x01;
constexpr int32_t kVkRightButton = 0x02;
constexpr int32_t kVkMiddleButton = 0x04;
constexpr int32_t kVkShift = 0x10;
constexpr int32_t kVkControl = 0x11;
constexpr int32_t kVkMenu = 0x12;

struct NamedCursor {
    std::u16string_view name;
    SDL_SystemCursor cursor;
};

constexpr NamedCursor kCursors[] = {
    {u"UI_CURSOR_ARROW", SDL_SYSTEM_CURSOR_ARROW},     {u"UI_CURSOR_IBEAM", SDL_SYSTEM_CURSOR_IBEAM},
    {u"UI_CURSOR_WAIT", SDL_SYSTEM_CURSOR_WAIT},       {u"UI_CURSOR_CROSS", SDL_SYSTEM_CURSOR_CROSSHAIR},
    {u"UI_CURSOR_SIZEWE", SDL_SYSTEM_CURSOR_SIZEWE},   {u"UI_CURSOR_SIZENS", SDL_SYSTEM_CURSOR_SIZENS},
    {u"UI_CURSOR_SIZEALL", SDL_SYSTEM_CURSOR_SIZEALL}, {u"UI_CURSOR_NO", SDL_SYSTEM_CURSOR_NO},
    {u"UI_CURSOR_HAND", SDL_SYSTEM_CURSOR_HAND},
};

bool IsDown(int32_t virtualKey)
{
    const Uint32 buttons = SDL_GetGlobalMouseState(nullptr, nullptr);
    const SDL_Keymod mods = SDL_GetModState();
    switch (virtualKey) {
    case kVkLeftButton: return buttons & SDL_BUTTON_LMASK;
    case kVkRightButton: return buttons & SDL_BUTTON_RMASK;
    case kVkMiddleButton: return buttons & SDL_BUTTON_MMASK;
    case kVkShift: return mods & KMOD_SHIFT;
    case kVkControl: return mods & KMOD_CTRL;
    case kVkMenu: return mods & KMOD_ALT;
    default: return false;
    }
}

}  // namespace

int16_t GetKeyState(int32_t virtualKey)
{
    return IsDown(virtualKey) ? int16_t(-128) : int16_t(0);
}

QV::LongPoint GetScreenCursor()
{
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
}

void WarpCursor(const QV::LongPoint& screenPoint)
{
    SDL_WarpMouseGlobal(screenPoint.x, screenPoint.y);
}

void ShowCursor(bool show)
{
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

uint32_t GetCursorIdForName(const char16_t* name)
{
    if (!name) return 0;
    for (const NamedCursor& c : kCursors) {
        if (c.name == name) return uint32_t(c.cursor) + 1;
    }
    return 0;
}

}  // namespace Platform::Window
