#include <gtest/gtest.h>

#include <string>

#include "KeyCode.h"
#include "KeyNameTable.h"

namespace {

using namespace QV;

std::string Narrow(const String& s)
{
    return NarrowString(s).GetChars();
}

TEST(KeyCodeTest, FromKeyMessageSetsFlagsAndSides)
{
    struct Row {
        uint32_t virtualKey;
        bool down;
        uint8_t previous;
        uint32_t modifiers;
        uint32_t code;
        uint32_t sides;
    };
    const Row rows[] = {
        {0x41, true, 0, 0, 0x20410000, 0},         {0x41, false, 1, 0, 0x00410000, 0},
        {0x141, true, 0, 0, 0x20410000, 0},  // only the low byte is the key
        {0x53, true, 0, 0x1 | 0x8, 0x23530000, 0}, {0x53, true, 0, 0x18, 0x22530000, 0x01},  // Shift + left Shift
        {0x53, true, 0, 0x20, 0x20530000, 0},  // a side without its generic flag
        {0x53, true, 0, 0x28, 0x22530000, 0x02},   {0x53, true, 0, 0x03, 0x21530000, 0x04},
        {0x53, true, 0, 0x05, 0x21530000, 0x08},   {0x53, true, 0, 0xC0, 0x24530000, 0x10},
        {0x53, true, 0, 0x140, 0x24530000, 0x20},  {0x53, true, 0, 0x600, 0x28530000, 0x40},
        {0x53, true, 0, 0xA00, 0x28530000, 0x80},  {0x53, true, 0, 0x1000, 0x30530000, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.virtualKey) + "/" + std::to_string(row.modifiers));
        const KeyCode key(row.virtualKey, row.down, row.previous, row.modifiers);
        EXPECT_EQ(key.code, row.code);
        EXPECT_EQ(key.sides, row.sides);
        EXPECT_EQ(key.previousState, row.previous);
    }
}

TEST(KeyCodeTest, FromCharacterHasNoKeyDownBit)
{
    const KeyCode key(u'a', 0x8 | 0x40);
    EXPECT_EQ(key.code, 0x06000061u);
    EXPECT_EQ(key.previousState, 0);
    EXPECT_EQ(KeyCode().code, 0x20000000u);
}

TEST(KeyCodeTest, IsKeyPress)
{
    EXPECT_TRUE(KeyCode(0x41, true, 0, 0).IsKeyPress());
    EXPECT_FALSE(KeyCode(0x41, false, 1, 0).IsKeyPress());
    EXPECT_FALSE(KeyCode(u'a', 0).IsKeyPress());
    EXPECT_FALSE(KeyCode().IsKeyPress());
    KeyCode noKey(0x41, true, 0, 0);
    noKey.code |= KeyCode::kNoKey;
    EXPECT_FALSE(noKey.IsKeyPress());
}

TEST(KeyCodeTest, Parse)
{
    struct Row {
        const char16_t* text;
        uint32_t code;
    };
    const Row rows[] = {
        {u"Ctrl+VKEY_C", 0x21430000},
        {u"Shift+Ctrl+VKEY_S", 0x23530000},
        {u"ShiftCtrlVKEY_S", 0x23530000},  // separators are not checked
        {u"VKEY_DELETE", 0x202E0000},
        {u"vkey_delete", 0x202E0000},
        {u"Alt+Command+VKEY_F24", 0x2C870000},
        {u"VKEY_PAGEDN", 0x20220000},
        {u"VKEY_NOSUCHKEY", 0x20000000},
        {u"Ctrl+VKEY_NOSUCHKEY", 0x21000000},
        {u"ctrl+a", 0x00000061},  // the character as written, Ctrl dropped
        {u"Alt+a", 0x04000061},
        {u"Shift+A", 0x00000041},
        {u"[27]", 0x0000001B},
        {u"Alt+[65]", 0x04000041},
        {u"[65601]", 0x00000041},  // low 16 bits
        {u"[x]", 0x00000000},
        {u"[27", 0x20000000},
        {u"", 0x20000000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.text));
        const KeyCode key = KeyCode::Parse(String(row.text));
        EXPECT_EQ(key.code, row.code);
        EXPECT_EQ(key.sides, 0u);
        EXPECT_EQ(key.previousState, 0);
    }
}

TEST(KeyCodeTest, DisplayText)
{
    struct Row {
        uint32_t code;
        const char* text;
    };
    const Row rows[] = {
        {0x21430000, "Ctrl+C"},
        {0x23530000, "Ctrl+Shift+S"},  // fixed order, whatever the parsed order
        {0x2F2E0000, "Ctrl+Alt+Shift+Cmd+Del"},
        {0x20080000, ""},  // Backspace and Tab have no display name
        {0x22090000, "Shift+"},
        {0x20600000, "Numpad 0"},
        {0x20870000, "F24"},
        {0x00000001, "Ctrl+A"},
        {0x0000001A, "Ctrl+Z"},
        {0x00000021, "!"},
        {0x0000007E, "~"},
        {0x00000020, ""},
        {0x0000007F, ""},
        {0x000000E9, ""},
        {0x81430000, "Ctrl+"},  // no-key flag: modifiers only
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        KeyCode key;
        key.code = row.code;
        EXPECT_EQ(Narrow(KeyCode::GetDisplayText(key)), row.text);
    }
}

TEST(KeyCodeTest, KeyNameTable)
{
    EXPECT_EQ(KeyNameTable::Get().GetNameCount(), 149u);
    EXPECT_EQ(KeyNameTable::Get().GetDisplayNameCount(), 143u);
    struct Row {
        const char16_t* name;
        uint32_t virtualKey;
        const char* display;
    };
    const Row rows[] = {
        {u"VKEY_BACK", 0x08, ""},
        {u"VKEY_TAB", 0x09, ""},
        {u"VKEY_KANA", 0x15, "Kana"},
        {u"VKEY_HANGUL", 0x15, "Kana"},
        {u"VKEY_KANJI", 0x19, "Hanja"},
        {u"VKEY_NONCONVERT", 0x1D, "Non-convert"},
        {u"VKEY_PAGEUP", 0x21, "Page Up"},
        {u"VKEY_DELETE", 0x2E, "Del"},
        {u"VKEY_0", 0x30, "0"},
        {u"VKEY_Z", 0x5A, "Z"},
        {u"VKEY_SLEEP", 0x5F, "Sleep"},
        {u"VKEY_NUMPAD9", 0x69, "Numpad 9"},
        {u"VKEY_SUBTRACT", 0x6D, "-"},
        {u"VKEY_F1", 0x70, "F1"},
        {u"VKEY_OEM_FJ_JISHO", 0x92, "NEC Equal"},
        {u"VKEY_OEM_FJ_ROYA", 0x96, "Roya"},
        {u"VKEY_LAUNCH_APP2", 0xB7, "Launch App 2"},
        {u"VKEY_OEM_1", 0, ""},
        {u"VKEY_LBUTTON", 0, ""},
        {u"vkey_a", 0, ""},  // names are exact
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.name));
        EXPECT_EQ(KeyCode::GetVirtualKey(String(row.name)), row.virtualKey);
        if (row.virtualKey != 0) {
            EXPECT_EQ(Narrow(KeyCode::GetDisplayName(row.virtualKey)), row.display);
        }
    }
    EXPECT_EQ(Narrow(KeyCode::GetDisplayName(0xBA)), "");
}

TEST(KeyCodeTest, Matches)
{
    const KeyCode shiftedA(u'a', KeyCode::kModShift);
    const KeyCode plainA(u'a', 0);
    EXPECT_TRUE(KeyCode::Matches(shiftedA, plainA));
    EXPECT_TRUE(KeyCode::Matches(KeyCode(u'a', KeyCode::kModCtrl), plainA));
    EXPECT_FALSE(KeyCode::Matches(KeyCode(u'a', KeyCode::kModAlt), plainA));
    EXPECT_FALSE(KeyCode::Matches(KeyCode(u'b', 0), plainA));

    const KeyCode bound = KeyCode::Parse(String(u"VKEY_A"));
    EXPECT_TRUE(KeyCode::Matches(KeyCode(0x41, true, 1, 0x10), bound));  // sides and repeat never count
    EXPECT_FALSE(KeyCode::Matches(KeyCode(0x41, true, 0, KeyCode::kModShift), bound));
    EXPECT_FALSE(KeyCode::Matches(KeyCode(0x41, false, 1, 0), bound));  // a release
    EXPECT_FALSE(KeyCode::Matches(KeyCode(u'A', 0), bound));
}

}  // namespace
