#include "KeyNameTable.h"

namespace QV {
namespace {

struct Row {
    const char* name;  // after "VKEY_"
    uint32_t virtualKey;
    const char* displayName;  // null: none
};

// Every row but the digits, letters, numpad digits and function keys, which
// are made by the loops below. Where several rows share a key, the first
// display name stays.
constexpr Row kRows[] = {
    {"BACK", 0x08, nullptr},
    {"TAB", 0x09, nullptr},
    {"CLEAR", 0x0C, "Clear"},
    {"RETURN", 0x0D, "Return"},
    {"SHIFT", 0x10, "Shift"},
    {"CONTROL", 0x11, "Control"},
    {"MENU", 0x12, "Menu"},
    {"PAUSE", 0x13, "Pause"},
    {"CAPITAL", 0x14, "Capital"},
    {"KANA", 0x15, "Kana"},
    {"HANGEUL", 0x15, "Hangeul"},
    {"HANGUL", 0x15, "Hangul"},
    {"JUNJA", 0x17, "Junja"},
    {"FINAL", 0x18, "Final"},
    {"HANJA", 0x19, "Hanja"},
    {"KANJI", 0x19, "Kanji"},
    {"ESCAPE", 0x1B, "Escape"},
    {"CONVERT", 0x1C, "Convert"},
    {"NONCONVERT", 0x1D, "Non-convert"},
    {"ACCEPT", 0x1E, "Accept"},
    {"MODECHANGE", 0x1F, "Mode Change"},
    {"SPACE", 0x20, "Space"},
    {"PAGEUP", 0x21, "Page Up"},
    {"PAGEDN", 0x22, "Page Down"},
    {"END", 0x23, "End"},
    {"HOME", 0x24, "Home"},
    {"LEFT", 0x25, "Left Arrow"},
    {"UP", 0x26, "Up Arrow"},
    {"RIGHT", 0x27, "Right Arrow"},
    {"DOWN", 0x28, "Down Arrow"},
    {"SELECT", 0x29, "Select"},
    {"PRINT", 0x2A, "Print"},
    {"EXECUTE", 0x2B, "Execute"},
    {"SNAPSHOT", 0x2C, "Snapshot"},
    {"INSERT", 0x2D, "Insert"},
    {"DELETE", 0x2E, "Del"},
    {"HELP", 0x2F, "Help"},
    {"LWIN", 0x5B, "Left Win"},
    {"RWIN", 0x5C, "Right Win"},
    {"APPS", 0x5D, "Apps"},
    {"SLEEP", 0x5F, "Sleep"},
    {"MULTIPLY", 0x6A, "*"},
    {"ADD", 0x6B, "+"},
    {"SEPARATOR", 0x6C, "Separator"},
    {"SUBTRACT", 0x6D, "-"},
    {"DECIMAL", 0x6E, "."},
    {"DIVIDE", 0x6F, "/"},
    {"NUMLOCK", 0x90, "Numlock"},
    {"SCROLL", 0x91, "Scroll"},
    {"OEM_NEC_EQUAL", 0x92, "NEC Equal"},
    {"OEM_FJ_JISHO", 0x92, "Jisho"},
    {"OEM_FJ_MASSHOU", 0x93, "Masshou"},
    {"OEM_FJ_TOUROKU", 0x94, "Touroku"},
    {"OEM_FJ_LOYA", 0x95, "Loya"},
    {"OEM_FJ_ROYA", 0x96, "Roya"},
    {"LSHIFT", 0xA0, "Left Shift"},
    {"RSHIFT", 0xA1, "Right Shift"},
    {"LCONTROL", 0xA2, "Left Control"},
    {"RCONTROL", 0xA3, "Right Control"},
    {"LMENU", 0xA4, "Left Menu"},
    {"RMENU", 0xA5, "Right Menu"},
    {"BROWSER_BACK", 0xA6, "Browser Back"},
    {"BROWSER_FORWARD", 0xA7, "Browser Forward"},
    {"BROWSER_REFRESH", 0xA8, "Browser Refresh"},
    {"BROWSER_STOP", 0xA9, "Browser Stop"},
    {"BROWSER_SEARCH", 0xAA, "Browser Search"},
    {"BROWSER_FAVORITES", 0xAB, "Browser Favorites"},
    {"BROWSER_HOME", 0xAC, "Browser Home"},
    {"VOLUME_MUTE", 0xAD, "Volume Mute"},
    {"VOLUME_DOWN", 0xAE, "Volume Down"},
    {"VOLUME_UP", 0xAF, "Volume Up"},
    {"MEDIA_NEXT_TRACK", 0xB0, "Media Next Track"},
    {"MEDIA_PREV_TRACK", 0xB1, "Media Prev Track"},
    {"MEDIA_STOP", 0xB2, "Media Stop"},
    {"MEDIA_PLAY_PAUSE", 0xB3, "Media Play Pause"},
    {"LAUNCH_MAIL", 0xB4, "Launch Mail"},
    {"LAUNCH_MEDIA_SELECT", 0xB5, "Launch Media Select"},
    {"LAUNCH_APP1", 0xB6, "Launch App 1"},
    {"LAUNCH_APP2", 0xB7, "Launch App 2"},
};

std::u16string Ascii(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

}  // namespace

const KeyNameTable& KeyNameTable::Get()
{
    static const KeyNameTable table;
    return table;
}

KeyNameTable::KeyNameTable()
{
    for (const Row& row : kRows) Add(Ascii(row.name), row.virtualKey, row.displayName ? Ascii(row.displayName) : u"");
    for (char16_t c = u'0'; c <= u'9'; ++c) Add(std::u16string(1, c), c, std::u16string(1, c));
    for (char16_t c = u'A'; c <= u'Z'; ++c) Add(std::u16string(1, c), c, std::u16string(1, c));
    for (uint32_t i = 0; i <= 9; ++i) {
        std::u16string name = u"NUMPAD";
        std::u16string display = u"Numpad ";
        name.push_back(static_cast<char16_t>(u'0' + i));
        display.push_back(static_cast<char16_t>(u'0' + i));
        Add(name, 0x60 + i, display);
    }
    for (uint32_t i = 1; i <= 24; ++i) {
        std::u16string name = u"F";
        name.append(Ascii(std::to_string(i)));
        Add(name, 0x6F + i, name);
    }
}

void KeyNameTable::Add(const std::u16string& name, uint32_t virtualKey, const std::u16string& displayName)
{
    mKeys.emplace(u"VKEY_" + name, virtualKey);
    if (!displayName.empty()) mDisplayNames.emplace(virtualKey, displayName);
}

uint32_t KeyNameTable::FindVirtualKey(const std::u16string& name) const
{
    auto it = mKeys.find(name);
    return it == mKeys.end() ? 0 : it->second;
}

std::u16string KeyNameTable::FindDisplayName(uint32_t virtualKey) const
{
    auto it = mDisplayNames.find(virtualKey);
    return it == mDisplayNames.end() ? std::u16string() : it->second;
}

}  // namespace QV
