#include "KeyCode.h"

#include <string>

#include "KeyNameTable.h"

namespace QV {
namespace {

uint32_t FlagsFromModifiers(uint32_t modifiers)
{
    uint32_t flags = 0;
    if (modifiers & KeyCode::kModShift) flags |= KeyCode::kShift;
    if (modifiers & KeyCode::kModCtrl) flags |= KeyCode::kCtrl;
    if (modifiers & KeyCode::kModAlt) flags |= KeyCode::kAlt;
    if (modifiers & KeyCode::kModWin) flags |= KeyCode::kCommand;
    if (modifiers & KeyCode::kModFifth) flags |= KeyCode::kFifth;
    return flags;
}

// A side counts only together with its generic modifier.
uint32_t SidesFromModifiers(uint32_t modifiers)
{
    static constexpr struct {
        uint32_t mask;
        uint32_t side;
    } kSides[] = {{0x18, 0x01}, {0x28, 0x02},  {0x03, 0x04},  {0x05, 0x08},
                  {0xC0, 0x10}, {0x140, 0x20}, {0x600, 0x40}, {0xA00, 0x80}};
    uint32_t sides = 0;
    for (const auto& s : kSides) {
        if ((modifiers & s.mask) == s.mask) sides |= s.side;
    }
    return sides;
}

std::u16string Units(const String& text)
{
    return std::u16string(text.GetChars(), static_cast<size_t>(text.GetLength()));
}

}  // namespace

KeyCode::KeyCode(uint32_t virtualKey, bool isDown, uint8_t previous, uint32_t modifiers)
    : code(((virtualKey & 0xFF) << 16) | (isDown ? kKeyDown : 0) | FlagsFromModifiers(modifiers)),
      sides(SidesFromModifiers(modifiers)),
      previousState(previous)
{}

KeyCode::KeyCode(char16_t character, uint32_t modifiers)
    : code(static_cast<uint32_t>(character) | FlagsFromModifiers(modifiers)), sides(SidesFromModifiers(modifiers))
{}

bool KeyCode::IsKeyPress() const
{
    return GetVirtualKey() != 0 && (code & kNoKey) == 0 && (code & kKeyDown) != 0;
}

bool KeyCode::Matches(const KeyCode& a, const KeyCode& b)
{
    constexpr uint32_t kKeyBits = 0x80FF0000;
    if ((a.code & kKeyBits) == 0 && (b.code & kKeyBits) == 0) {
        return (a.code & ~(kCtrl | kShift)) == (b.code & ~(kCtrl | kShift));
    }
    return a.code == b.code;
}

KeyCode KeyCode::Parse(const String& text)
{
    const std::u16string original = Units(text);
    const std::u16string upper = Units(text.ToUpper());
    const bool ctrl = upper.find(u"CTRL") != std::u16string::npos;
    const bool alt = upper.find(u"ALT") != std::u16string::npos;
    const bool shift = upper.find(u"SHIFT") != std::u16string::npos;
    const bool command = upper.find(u"COMMAND") != std::u16string::npos;

    KeyCode key;
    const size_t name = upper.find(u"VKEY_");
    if (name != std::u16string::npos) {
        key.code = (KeyNameTable::Get().FindVirtualKey(upper.substr(name)) << 16) | kKeyDown | (ctrl ? kCtrl : 0) |
                   (shift ? kShift : 0) | (alt ? kAlt : 0) | (command ? kCommand : 0);
        return key;
    }
    const uint32_t altModifier = alt ? kModAlt : 0;
    const size_t open = upper.find(u'[');
    if (open == std::u16string::npos) {
        if (original.empty()) return key;
        return KeyCode(original.back(), altModifier);
    }
    const size_t close = upper.find(u']', open + 1);
    if (close == std::u16string::npos) return key;
    uint32_t number = 0;
    for (size_t i = open + 1; i < close && upper[i] >= u'0' && upper[i] <= u'9'; ++i) {
        number = (number * 10 + (upper[i] - u'0')) & 0xFFFF;
    }
    return KeyCode(static_cast<char16_t>(number), altModifier);
}

String KeyCode::GetDisplayText(const KeyCode& key)
{
    std::u16string text;
    if (key.code & kCtrl) text += u"Ctrl+";
    if (key.code & kAlt) text += u"Alt+";
    if (key.code & kShift) text += u"Shift+";
    if (key.code & kCommand) text += u"Cmd+";
    if ((key.code & kNoKey) == 0) {
        const uint32_t virtualKey = key.GetVirtualKey();
        const char16_t c = key.GetCharacter();
        if (virtualKey != 0) {
            text += KeyNameTable::Get().FindDisplayName(virtualKey);
        } else if (c >= 1 && c <= 26) {
            text += u"Ctrl+";
            text += static_cast<char16_t>(c + 0x40);
        } else if (c >= 0x21 && c <= 0x7E) {
            text += c;
        }
    }
    return String(text.c_str());
}

uint32_t KeyCode::GetVirtualKey(const String& name)
{
    return KeyNameTable::Get().FindVirtualKey(Units(name));
}

String KeyCode::GetDisplayName(uint32_t virtualKey)
{
    return String(KeyNameTable::Get().FindDisplayName(virtualKey).c_str());
}

}  // namespace QV
