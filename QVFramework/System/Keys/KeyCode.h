#pragma once
// One value for every key event, character and shortcut.
// code: bits 0-15 a UTF-16 character (character codes), bits 16-23 a Windows
// virtual key (key codes), 0x01000000 Ctrl, 0x02000000 Shift, 0x04000000 Alt,
// 0x08000000 Command, 0x10000000 fifth modifier, 0x20000000 key down,
// 0x80000000 no key. sides: which physical modifier keys were held (low byte).
#include <cstdint>

#include "StringT.h"

namespace QV {

struct KeyCode {
    static constexpr uint32_t kCtrl = 0x01000000;
    static constexpr uint32_t kShift = 0x02000000;
    static constexpr uint32_t kAlt = 0x04000000;
    static constexpr uint32_t kCommand = 0x08000000;
    static constexpr uint32_t kFifth = 0x10000000;
    static constexpr uint32_t kKeyDown = 0x20000000;
    static constexpr uint32_t kNoKey = 0x80000000;

    // Modifier word as the host window reads it.
    static constexpr uint32_t kModCtrl = 0x1;
    static constexpr uint32_t kModShift = 0x8;
    static constexpr uint32_t kModAlt = 0x40;
    static constexpr uint32_t kModWin = 0x200;
    static constexpr uint32_t kModFifth = 0x1000;

    uint32_t code = kKeyDown;
    uint32_t sides = 0;
    uint8_t previousState = 0;

    // The empty key code.
    KeyCode() = default;
    // From a key message.
    KeyCode(uint32_t virtualKey, bool isDown, uint8_t previousState, uint32_t modifiers);
    // From a character message or a parsed character; character 0 gives a
    // modifier-only code.
    KeyCode(char16_t character, uint32_t modifiers);

    uint32_t GetVirtualKey() const { return (code >> 16) & 0xFF; }
    char16_t GetCharacter() const { return static_cast<char16_t>(code & 0xFFFF); }
    bool IsKeyPress() const;
    // Neither a virtual key nor a character.
    bool IsEmpty() const { return (code & 0x00FFFFFF) == 0; }

    // Characters match ignoring Ctrl and Shift; anything else only when identical.
    static bool Matches(const KeyCode& a, const KeyCode& b);
    // "Shift+Ctrl+VKEY_S", "VKEY_DELETE", "a", "[27]". Never fails.
    static KeyCode Parse(const String& text);
    // "Ctrl+Shift+S".
    static String GetDisplayText(const KeyCode& key);
    // "VKEY_DELETE" -> 0x2E; 0 when unknown.
    static uint32_t GetVirtualKey(const String& name);
    // Empty when the table has none.
    static String GetDisplayName(uint32_t virtualKey);
};

inline bool operator==(const KeyCode& a, const KeyCode& b)
{
    return a.code == b.code && a.sides == b.sides && a.previousState == b.previousState;
}

}  // namespace QV
