#pragma once
// Turns SDL events into the host window's message records: Windows
// virtual-key codes, the modifier word, the character messages SDL never
// sends, text as UTF-16 units, double clicks, wheel steps of 120.
// Needs no display.
#include <SDL.h>

#include <cstdint>
#include <vector>

#include "WindowMessage.h"

namespace Platform::Window {

// 0 for a key the design has no code for; such keys give no message.
uint32_t VirtualKeyFromSdl(SDL_Keycode key);
uint32_t ModifierWordFromSdl(uint16_t mod);

class SdlEventTranslator {
public:
    // The records for one event of this translator's window.
    std::vector<QV::WindowMessage> Translate(const SDL_Event& event);
    const QV::LongPoint& GetPointer() const { return mPointer; }

private:
    void TranslateKey(const SDL_KeyboardEvent& key, std::vector<QV::WindowMessage>& out) const;
    void TranslateText(const char* text, std::vector<QV::WindowMessage>& out) const;
    void TranslateWindow(const SDL_WindowEvent& window, std::vector<QV::WindowMessage>& out);

    QV::LongPoint mPointer;
    uint16_t mMod = 0;
};

}  // namespace Platform::Window
