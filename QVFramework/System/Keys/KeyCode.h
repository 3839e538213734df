#pragma once
// One value for every key event, character and shortcut.
// code: bits 0-15 a UTF-16 character (character codes), bits 16-23 a Windows
// virtual key (key codes), 0x01000000 Ctrl, 0x02000000 Shift, 0x04000000 Alt,
// 0x08000000 Command, 0x10000000 fifth modifier, 0x20000000 key down,
// 0x80000000 no key. sides: which physical modifier keys were held (low byte).
#include <cstdint>

#include "StringT.h"

namespace QV {

// Virtual keys, the values of bits 16-23. Digits and letters are their ASCII
// characters ('0'..'9', 'A'..'Z'); the numpad digits and function keys run
// on from kNumpad0 and kF1.
namespace Keys {
inline constexpr uint32_t kBack = 0x08;
inline constexpr uint32_t kTab = 0x09;
inline constexpr uint32_t kClear = 0x0C;
inline constexpr uint32_t kReturn = 0x0D;
inline constexpr uint32_t kShift = 0x10;
inline constexpr uint32_t kControl = 0x11;
inline constexpr uint32_t kMenu = 0x12;
inline constexpr uint32_t kPause = 0x13;
inline constexpr uint32_t kCapital = 0x14;
inline constexpr uint32_t kKana = 0x15;  // also Hangeul, Hangul
inline constexpr uint32_t kJunja = 0x17;
inline constexpr uint32_t kFinal = 0x18;
inline constexpr uint32_t kHanja = 0x19;  // also Kanji
inline constexpr uint32_t kEscape = 0x1B;
inline constexpr uint32_t kConvert = 0x1C;
inline constexpr uint32_t kNonConvert = 0x1D;
inline constexpr uint32_t kAccept = 0x1E;
inline constexpr uint32_t kModeChange = 0x1F;
inline constexpr uint32_t kSpace = 0x20;
inline constexpr uint32_t kPageUp = 0x21;
inline constexpr uint32_t kPageDown = 0x22;
inline constexpr uint32_t kEnd = 0x23;
inline constexpr uint32_t kHome = 0x24;
inline constexpr uint32_t kLeft = 0x25;
inline constexpr uint32_t kUp = 0x26;
inline constexpr uint32_t kRight = 0x27;
inline constexpr uint32_t kDown = 0x28;
inline constexpr uint32_t kSelect = 0x29;
inline constexpr uint32_t kPrint = 0x2A;
inline constexpr uint32_t kExecute = 0x2B;
inline constexpr uint32_t kSnapshot = 0x2C;
inline constexpr uint32_t kInsert = 0x2D;
inline constexpr uint32_t kDelete = 0x2E;
inline constexpr uint32_t kHelp = 0x2F;
inline constexpr uint32_t kLeftWin = 0x5B;
inline constexpr uint32_t kRightWin = 0x5C;
inline constexpr uint32_t kApps = 0x5D;
inline constexpr uint32_t kSleep = 0x5F;
inline constexpr uint32_t kNumpad0 = 0x60;  // .. kNumpad0 + 9
inline constexpr uint32_t kMultiply = 0x6A;
inline constexpr uint32_t kAdd = 0x6B;
inline constexpr uint32_t kSeparator = 0x6C;
inline constexpr uint32_t kSubtract = 0x6D;
inline constexpr uint32_t kDecimal = 0x6E;
inline constexpr uint32_t kDivide = 0x6F;
inline constexpr uint32_t kF1 = 0x70;  // .. kF1 + 23 (F24)
inline constexpr uint32_t kNumLock = 0x90;
inline constexpr uint32_t kScroll = 0x91;
inline constexpr uint32_t kOemNecEqual = 0x92;  // also Jisho
inline constexpr uint32_t kOemFjMasshou = 0x93;
inline constexpr uint32_t kOemFjTouroku = 0x94;
inline constexpr uint32_t kOemFjLoya = 0x95;
inline constexpr uint32_t kOemFjRoya = 0x96;
inline constexpr uint32_t kLeftShift = 0xA0;
inline constexpr uint32_t kRightShift = 0xA1;
inline constexpr uint32_t kLeftControl = 0xA2;
inline constexpr uint32_t kRightControl = 0xA3;
inline constexpr uint32_t kLeftMenu = 0xA4;
inline constexpr uint32_t kRightMenu = 0xA5;
inline constexpr uint32_t kBrowserBack = 0xA6;
inline constexpr uint32_t kBrowserForward = 0xA7;
inline constexpr uint32_t kBrowserRefresh = 0xA8;
inline constexpr uint32_t kBrowserStop = 0xA9;
inline constexpr uint32_t kBrowserSearch = 0xAA;
inline constexpr uint32_t kBrowserFavorites = 0xAB;
inline constexpr uint32_t kBrowserHome = 0xAC;
inline constexpr uint32_t kVolumeMute = 0xAD;
inline constexpr uint32_t kVolumeDown = 0xAE;
inline constexpr uint32_t kVolumeUp = 0xAF;
inline constexpr uint32_t kMediaNextTrack = 0xB0;
inline constexpr uint32_t kMediaPrevTrack = 0xB1;
inline constexpr uint32_t kMediaStop = 0xB2;
inline constexpr uint32_t kMediaPlayPause = 0xB3;
inline constexpr uint32_t kLaunchMail = 0xB4;
inline constexpr uint32_t kLaunchMediaSelect = 0xB5;
inline constexpr uint32_t kLaunchApp1 = 0xB6;
inline constexpr uint32_t kLaunchApp2 = 0xB7;
// Punctuation keys of the US layout.
inline constexpr uint32_t kOemSemicolon = 0xBA;
inline constexpr uint32_t kOemPlus = 0xBB;
inline constexpr uint32_t kOemComma = 0xBC;
inline constexpr uint32_t kOemMinus = 0xBD;
inline constexpr uint32_t kOemPeriod = 0xBE;
inline constexpr uint32_t kOemSlash = 0xBF;
inline constexpr uint32_t kOemBackquote = 0xC0;
inline constexpr uint32_t kOemLeftBracket = 0xDB;
inline constexpr uint32_t kOemBackslash = 0xDC;
inline constexpr uint32_t kOemRightBracket = 0xDD;
inline constexpr uint32_t kOemQuote = 0xDE;
}  // namespace Keys

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

    // The code of a key going down with the given modifier bits held.
    static constexpr uint32_t Pressed(uint32_t virtualKey, uint32_t modifiers = 0)
    {
        return kKeyDown | modifiers | (virtualKey << 16);
    }

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
