#pragma once
// The desktop's pointer and key state outside any one window, in the
// Windows terms the application object speaks (virtual keys, cursor names).
#include <cstdint>

#include "PointT.h"

namespace Platform::Window {

// Negative (high bit set) while the virtual key is down; mouse buttons and
// the modifier keys only, as the application asks for nothing else.
int16_t GetKeyState(int32_t virtualKey);
QV::LongPoint GetScreenCursor();
void WarpCursor(const QV::LongPoint& screenPoint);
void ShowCursor(bool show);
// The cursor id the host window's SetCursor takes for a cursor name
// ("UI_CURSOR_IBEAM"); 0 (the arrow) for names it does not know.
uint32_t GetCursorIdForName(const char16_t* name);

}  // namespace Platform::Window
