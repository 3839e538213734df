#include "KeyNameTable.h"

#include "KeyCode.h"

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
    {"BACK", Keys::kBack, nullptr},
    {"TAB", Keys::kTab, nullptr},
    {"CLEAR", Keys::kClear, "Clear"},
    {"RETURN", Keys::kReturn, "Return"},
    {"SHIFT", Keys::kShift, "Shift"},
    {"CONTROL", Keys::kControl, "Control"},
    {"MENU", Keys::kMenu, "Menu"},
    {"PAUSE", Keys::kPause, "Pause"},
    {"CAPITAL", Keys::kCapital, "Capital"},
    {"KANA", Keys::kKana, "Kana"},
    {"HANGEUL", Keys::kKana, "Hangeul"},
    {"HANGUL", Keys::kKana, "Hangul"},
    {"JUNJA", Keys::kJunja, "Junja"},
    {"FINAL", Keys::kFinal, "Final"},
    {"HANJA", Keys::kHanja, "Hanja"},
    {"KANJI", Keys::kHanja, "Kanji"},
    {"ESCAPE", Keys::kEscape, "Escape"},
    {"CONVERT", Keys::kConvert, "Convert"},
    {"NONCONVERT", Keys::kNonConvert, "Non-convert"},
    {"ACCEPT", Keys::kAccept, "Accept"},
    {"MODECHANGE", Keys::kModeChange, "Mode Change"},
    {"SPACE", Keys::kSpace, "Space"},
    {"PAGEUP", Keys::kPageUp, "Page Up"},
    {"PAGEDN", Keys::kPageDown, "Page Down"},
    {"END", Keys::kEnd, "End"},
    {"HOME", Keys::kHome, "Home"},
    {"LEFT", Keys::kLeft, "Left Arrow"},
    {"UP", Keys::kUp, "Up Arrow"},
    {"RIGHT", Keys::kRight, "Right Arrow"},
    {"DOWN", Keys::kDown, "Down Arrow"},
    {"SELECT", Keys::kSelect, "Select"},
    {"PRINT", Keys::kPrint, "Print"},
    {"EXECUTE", Keys::kExecute, "Execute"},
    {"SNAPSHOT", Keys::kSnapshot, "Snapshot"},
    {"INSERT", Keys::kInsert, "Insert"},
    {"DELETE", Keys::kDelete, "Del"},
    {"HELP", Keys::kHelp, "Help"},
    {"LWIN", Keys::kLeftWin, "Left Win"},
    {"RWIN", Keys::kRightWin, "Right Win"},
    {"APPS", Keys::kApps, "Apps"},
    {"SLEEP", Keys::kSleep, "Sleep"},
    {"MULTIPLY", Keys::kMultiply, "*"},
    {"ADD", Keys::kAdd, "+"},
    {"SEPARATOR", Keys::kSeparator, "Separator"},
    {"SUBTRACT", Keys::kSubtract, "-"},
    {"DECIMAL", Keys::kDecimal, "."},
    {"DIVIDE", Keys::kDivide, "/"},
    {"NUMLOCK", Keys::kNumLock, "Numlock"},
    {"SCROLL", Keys::kScroll, "Scroll"},
    {"OEM_NEC_EQUAL", Keys::kOemNecEqual, "NEC Equal"},
    {"OEM_FJ_JISHO", Keys::kOemNecEqual, "Jisho"},
    {"OEM_FJ_MASSHOU", Keys::kOemFjMasshou, "Masshou"},
    {"OEM_FJ_TOUROKU", Keys::kOemFjTouroku, "Touroku"},
    {"OEM_FJ_LOYA", Keys::kOemFjLoya, "Loya"},
    {"OEM_FJ_ROYA", Keys::kOemFjRoya, "Roya"},
    {"LSHIFT", Keys::kLeftShift, "Left Shift"},
    {"RSHIFT", Keys::kRightShift, "Right Shift"},
    {"LCONTROL", Keys::kLeftControl, "Left Control"},
    {"RCONTROL", Keys::kRightControl, "Right Control"},
    {"LMENU", Keys::kLeftMenu, "Left Menu"},
    {"RMENU", Keys::kRightMenu, "Right Menu"},
    {"BROWSER_BACK", Keys::kBrowserBack, "Browser Back"},
    {"BROWSER_FORWARD", Keys::kBrowserForward, "Browser Forward"},
    {"BROWSER_REFRESH", Keys::kBrowserRefresh, "Browser Refresh"},
    {"BROWSER_STOP", Keys::kBrowserStop, "Browser Stop"},
    {"BROWSER_SEARCH", Keys::kBrowserSearch, "Browser Search"},
    {"BROWSER_FAVORITES", Keys::kBrowserFavorites, "Browser Favorites"},
    {"BROWSER_HOME", Keys::kBrowserHome, "Browser Home"},
    {"VOLUME_MUTE", Keys::kVolumeMute, "Volume Mute"},
    {"VOLUME_DOWN", Keys::kVolumeDown, "Volume Down"},
    {"VOLUME_UP", Keys::kVolumeUp, "Volume Up"},
    {"MEDIA_NEXT_TRACK", Keys::kMediaNextTrack, "Media Next Track"},
    {"MEDIA_PREV_TRACK", Keys::kMediaPrevTrack, "Media Prev Track"},
    {"MEDIA_STOP", Keys::kMediaStop, "Media Stop"},
    {"MEDIA_PLAY_PAUSE", Keys::kMediaPlayPause, "Media Play Pause"},
    {"LAUNCH_MAIL", Keys::kLaunchMail, "Launch Mail"},
    {"LAUNCH_MEDIA_SELECT", Keys::kLaunchMediaSelect, "Launch Media Select"},
    {"LAUNCH_APP1", Keys::kLaunchApp1, "Launch App 1"},
    {"LAUNCH_APP2", Keys::kLaunchApp2, "Launch App 2"},
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
        Add(name, Keys::kNumpad0 + i, display);
    }
    for (uint32_t i = 1; i <= 24; ++i) {
        std::u16string name = u"F";
        name.append(Ascii(std::to_string(i)));
        Add(name, Keys::kF1 + i - 1, name);
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
