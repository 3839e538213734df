#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <string>
#include <string_view>
#include <type_traits>

#include "StringT.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace {

using namespace QV;

// A name view (the layout solver keeps them) can be taken from a string that
// lives on, never from a temporary one, whose text would be freed under it.
static_assert(std::is_convertible_v<const String&, std::u16string_view>);
static_assert(!std::is_convertible_v<String&&, std::u16string_view>);
static_assert(!std::is_convertible_v<String, std::u16string_view>);
static_assert(!std::is_convertible_v<NarrowString&&, std::string_view>);

std::u16string Text(const String& s)
{
    return std::u16string(s.GetChars(), static_cast<size_t>(s.GetLength()));
}

const char16_t* EmptyChars()
{
    return String().GetChars();
}

TEST(StringTest, EveryEmptyStringSharesOneBuffer)
{
    String cleared(u"x");
    cleared.Clear();
    String unlockedBlank;
    unlockedBlank.Lock(8);
    unlockedBlank.Unlock();
    const String abc(u"abc");
    const String empties[] = {
        String(), String(u'\0'), String(u""), String(static_cast<const char16_t*>(nullptr)),
        String(""), String(static_cast<const char*>(nullptr)), cleared, unlockedBlank,
        abc.Mid(3, 1), abc.Left(0), abc.Trim().Mid(5u), String(u"  \t\r\n").Trim(),
    };
    for (const String& s : empties) {
        EXPECT_EQ(s.GetLength(), 0);
        EXPECT_TRUE(s.IsEmpty());
        EXPECT_EQ(s.GetChars(), EmptyChars());
        EXPECT_EQ(s.GetChars()[0], u'\0');
    }
    EXPECT_EQ(NarrowString().GetChars(), NarrowString(String()).GetChars());
    EXPECT_EQ(NarrowString().GetLength(), 0);
}

TEST(StringTest, ConstructionFromCharactersAndTexts)
{
    EXPECT_EQ(Text(String(u'x')), u"x");
    EXPECT_EQ(Text(String(u"abc")), u"abc");
    EXPECT_EQ(Text(String("h\xC3\xA9")), u"h\u00E9");
    EXPECT_EQ(Text(String(NarrowString("\xE2\x82\xAC"))), u"\u20AC");
    EXPECT_STREQ(NarrowString(String(u"\U0001F600")).GetChars(), "\xF0\x9F\x98\x80");
    EXPECT_EQ(NarrowString(String(u"\U0001F600")).GetLength(), 4);
    // A lone surrogate, even the last unit, keeps its own three-byte form.
    const char16_t loneHigh[] = {u'a', 0xD800, 0};
    EXPECT_STREQ(NarrowString(String(loneHigh)).GetChars(), "a\xED\xA0\x80");
    String locked(loneHigh);
    locked.Lock(8);
    EXPECT_STREQ(NarrowString(locked).GetChars(), "a\xED\xA0\x80");
    locked.Unlock();
}

TEST(StringTest, CopiesShareUntilOneIsLocked)
{
    String original(u"hello");
    const String copy = original;
    EXPECT_EQ(copy.GetChars(), original.GetChars());
    EXPECT_EQ(original.GetCopy().GetChars(), original.GetChars());

    char16_t* p = original.Lock(10);
    ASSERT_NE(p, nullptr);
    EXPECT_NE(p, copy.GetChars());
    EXPECT_EQ(Text(copy), u"hello");

    // A copy of a locked string gets its own characters and is unlocked.
    const String snapshot = original;
    EXPECT_NE(snapshot.GetChars(), original.GetChars());
    EXPECT_FALSE(snapshot.IsLocked());
    EXPECT_EQ(Text(snapshot), u"hello");
    String assigned;
    assigned = original;
    EXPECT_NE(assigned.GetChars(), original.GetChars());
    EXPECT_EQ(Text(assigned), u"hello");
}

// Checks that a locked buffer holds exactly `units` units: its last unit is
// NUL, all of them can be written (the sanitizer watches the end) and once
// they are all filled the bounded length scan stops at the end.
void ExpectLockedUnits(String& s, int32_t units, bool exactBlock)
{
    char16_t* p = const_cast<char16_t*>(s.GetChars());
    EXPECT_EQ(p[units - 1], u'\0');
    for (int32_t i = s.GetLength(); i < units; ++i) p[i] = u'#';
    EXPECT_EQ(s.GetLength(), units);
#if defined(__SANITIZE_ADDRESS__)
    // A private copy is allocated at exactly the locked size.
    if (exactBlock) {
        EXPECT_TRUE(__asan_address_is_poisoned(p + units));
    }
#else
    (void)exactBlock;
#endif
}

TEST(StringTest, LockGivesBufferOfRequestedSize)
{
    struct Case {
        const char16_t* text;
        bool shared;
        int32_t lockUnits;
        int32_t expectUnits;
        const char16_t* lockedText;
    };
    const Case cases[] = {
        {u"hello", true, 10, 10, u"hello"},
        {u"hello", false, 10, 10, u"hello"},
        {u"hello", true, 0, 6, u"hello"},
        {u"hello", false, 0, 6, u"hello"},
        {u"hello", true, 3, 3, u"he"},
        {u"hello", false, 2, 2, u"h"},
        {u"", true, 0, 1, u""},
        {u"", true, 4, 4, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text)) +
                     " lock " + std::to_string(c.lockUnits));
        String s(c.text);
        String other;
        if (c.shared) other = s;
        else s = String(u"") + String(c.text);  // sole owner
        char16_t* p = s.Lock(c.lockUnits);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(s.IsLocked());
        EXPECT_EQ(Text(s), c.lockedText);
        ExpectLockedUnits(s, c.expectUnits, c.shared);
        EXPECT_EQ(s.Unlock(), 0);
        EXPECT_EQ(s.GetLength(), c.expectUnits);
        if (c.shared) {
            EXPECT_EQ(Text(other), c.text);
        }
    }
}

TEST(StringTest, UnlockSizesBufferToText)
{
    String s(u"abc");
    char16_t* p = s.Lock(10);
    p[0] = u'x';
    p[1] = u'y';
    p[2] = u'\0';
    EXPECT_EQ(s.GetLength(), 2);
    EXPECT_EQ(s.Unlock(), 0);
    EXPECT_FALSE(s.IsLocked());
    EXPECT_EQ(s.GetLength(), 2);  // buffer of (2 + 1) units
    EXPECT_EQ(Text(s), u"xy");

    // A copy now shares again.
    const String copy = s;
    EXPECT_EQ(copy.GetChars(), s.GetChars());

    String blank(u"abc");
    blank.Lock(10)[0] = u'\0';
    blank.Unlock();
    EXPECT_EQ(blank.GetChars(), EmptyChars());
}

TEST(StringTest, LockAndUnlockMisuse)
{
    String s(u"abc");
    EXPECT_EQ(s.Unlock(), 1);
    ASSERT_NE(s.Lock(), nullptr);
    EXPECT_EQ(s.Lock(), nullptr);
    EXPECT_EQ(s.Lock(20), nullptr);
    EXPECT_EQ(s.Unlock(), 0);
    EXPECT_EQ(s.Unlock(), 1);
    EXPECT_EQ(s.Lock(-1), nullptr);
    EXPECT_EQ(Text(s), u"abc");

    // Destroyed while locked: the private buffer simply goes.
    String dropped(u"abc");
    dropped.Lock(100);
}

TEST(StringTest, LockedStringKeepsWritesInsideItsBuffer)
{
    String s;
    char16_t* p = s.Lock(4);
    s = String(u"xy");
    EXPECT_EQ(s.GetChars(), p);
    EXPECT_EQ(Text(s), u"xy");

    // Longer text is cut to what fits before the closing NUL.
    s = String(u"abcdefgh");
    EXPECT_EQ(s.GetChars(), p);
    EXPECT_EQ(Text(s), u"abc");
    s.Assign(u"0123456789", 2);
    EXPECT_EQ(Text(s), u"01");
    s.AssignNarrow("h\xC3\xA9llo", -1);
    EXPECT_EQ(Text(s), u"h\u00E9l");
    s.ReplaceChars(u"l", u'L');
    EXPECT_EQ(Text(s), u"h\u00E9L");
    EXPECT_EQ(s.GetChars(), p);

    s.Clear();
    EXPECT_TRUE(s.IsLocked());
    EXPECT_EQ(s.GetChars(), p);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(StringTest, AppendGrowsLockedAndUnlockedStrings)
{
    String unlocked(u"ab");
    const String shared = unlocked;
    unlocked += String(u"cd");
    EXPECT_EQ(Text(unlocked), u"abcd");
    EXPECT_EQ(Text(shared), u"ab");
    unlocked += String();
    EXPECT_EQ(Text(unlocked), u"abcd");
    unlocked += unlocked;
    EXPECT_EQ(Text(unlocked), u"abcdabcd");

    String locked;
    char16_t* p = locked.Lock(3);
    p[0] = u'a';
    p[1] = u'b';
    locked += String(u"cdef");
    EXPECT_TRUE(locked.IsLocked());
    EXPECT_EQ(Text(locked), u"abcdef");
    locked += locked;
    EXPECT_EQ(Text(locked), u"abcdefabcdef");
    locked.Unlock();
    EXPECT_EQ(Text(locked), u"abcdefabcdef");

    EXPECT_EQ(Text(String(u"ab") + String(u"cd") + String()), u"abcd");
    EXPECT_EQ(Text(String() + String(u"x")), u"x");
}

TEST(StringTest, MidAndLeftEdgeIndexes)
{
    const String s(u"abcdef");
    struct Case {
        int32_t start;
        int32_t count;
        const char16_t* expected;
    };
    const Case cases[] = {
        {-2, 5, u"ef"},       {4, 10, u"ef"},   {6, 1, u""},          {0, 0, u""},
        {2, 3, u"cde"},       {0, 6, u"abcdef"}, {0, -1, u""},        {-8, 4, u"ab"},
        {-10, 3, u""},        {-6, 2, u"ab"},   {1, INT_MAX, u"bcdef"}, {-1, INT_MAX, u"f"},
        {INT_MAX, INT_MAX, u""}, {INT_MIN, INT_MAX, u"abcde"}, {7, 1, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + "," + std::to_string(c.count));
        EXPECT_EQ(Text(s.Mid(c.start, c.count)), c.expected);
    }
    EXPECT_EQ(Text(s.Mid(2u)), u"cdef");
    EXPECT_EQ(Text(s.Mid(0u)), u"abcdef");
    EXPECT_EQ(Text(s.Mid(6u)), u"");
    EXPECT_EQ(Text(s.Mid(0xFFFFFFFFu)), u"");
    EXPECT_EQ(Text(s.Left(3)), u"abc");
    EXPECT_EQ(Text(s.Left(10)), u"abcdef");
    EXPECT_EQ(Text(s.Left(-1)), u"");
}

TEST(StringTest, InsertStringAtEdges)
{
    struct Case {
        int32_t index;
        QVResult result;
        const char16_t* expected;
    };
    const Case cases[] = {
        {0, S_OK, u"XYabc"},  {3, S_OK, u"abcXY"},         {1, S_OK, u"aXYbc"},
        {2, S_OK, u"abXYc"},  {4, E_INVALIDARG, u"abc"},   {-1, E_INVALIDARG, u"abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        String s(u"abc");
        EXPECT_EQ(s.Insert(c.index, String(u"XY")), c.result);
        EXPECT_EQ(Text(s), c.expected);
    }
}

TEST(StringTest, InsertTextWithMaximum)
{
    struct Case {
        int32_t index;
        const char16_t* text;
        int32_t maximum;
        QVResult result;
        const char16_t* expected;
    };
    const Case cases[] = {
        {1, u"xyz", 2, S_OK, u"axybc"},
        {1, u"xyz", 5, S_OK, u"axyzbc"},
        {1, u"xyz", String::kWholeText, S_OK, u"axyzbc"},
        {1, u"xyz", 0, S_OK, u"abc"},
        {3, u"xyz", 1, S_OK, u"abcx"},
        {0, nullptr, 3, S_OK, u"abc"},
        {4, u"xyz", 2, E_INVALIDARG, u"abc"},
        {4, nullptr, 2, E_INVALIDARG, u"abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + " max " + std::to_string(c.maximum));
        String s(u"abc");
        EXPECT_EQ(s.Insert(c.index, c.text, c.maximum), c.result);
        EXPECT_EQ(Text(s), c.expected);
    }

    String s(u"abc");
    EXPECT_EQ(s.Insert(1, "\xC3\xA9"), S_OK);
    EXPECT_EQ(Text(s), u"a\u00E9bc");
    EXPECT_EQ(s.Insert(5, "x"), E_INVALIDARG);
}

TEST(StringTest, AppendCharacters)
{
    String s(u"ab");
    s.AppendChar(u'\\');
    EXPECT_EQ(s.GetLength(), 3);
    EXPECT_EQ(Text(s), u"ab\\");
    s.AppendChar(u'\0');
    EXPECT_EQ(Text(s), u"ab\\");
    s.AppendChar('x');
    EXPECT_EQ(Text(s), u"ab\\x");
    // A lone byte of a longer UTF-8 sequence is no text of its own.
    s.AppendChar('\xC3');
    EXPECT_EQ(Text(s), u"ab\\x");
    s.AppendChar(u'\u00E9');
    EXPECT_EQ(Text(s), u"ab\\x\u00E9");
}

TEST(StringTest, FindAndReverseFind)
{
    const String s(u"abcabc");
    struct Case {
        const char16_t* sub;
        int32_t expected;
    };
    const Case cases[] = {
        {u"bc", 1}, {u"abc", 0}, {u"ca", 2}, {u"c", 2}, {u"x", -1},
        {u"abcabcd", -1}, {u"", 0}, {nullptr, -1}, {u"abcabc", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(s.Find(c.sub), c.expected);
    }
    EXPECT_EQ(s.Find(String(u"cab")), 2);
    EXPECT_EQ(String().Find(u"a"), -1);

    EXPECT_EQ(s.ReverseFind(u'c'), 5);
    EXPECT_EQ(s.ReverseFind(u'a'), 3);
    EXPECT_EQ(s.ReverseFind(u'x'), -1);
    EXPECT_EQ(String().ReverseFind(u'a'), -1);
}

TEST(StringTest, Equality)
{
    struct Case {
        const char16_t* a;
        const char16_t* b;
        bool equal;
    };
    const Case cases[] = {
        {u"abc", u"abc", true}, {u"abc", u"abd", false}, {u"abc", u"ab", false},
        {u"ab", u"abc", false}, {u"", nullptr, true},    {u"", u"", true},
        {u"a", nullptr, false}, {u"a", u"", false},      {u"abc", u"ABC", false},
    };
    for (const Case& c : cases) {
        const String s(c.a);
        EXPECT_EQ(s == c.b, c.equal);
        EXPECT_EQ(s != c.b, !c.equal);
        EXPECT_EQ(s == String(c.b), c.equal);
        EXPECT_EQ(s != String(c.b), !c.equal);
    }
    const String e(u"\u00E9t\u00E9");
    EXPECT_TRUE(e == "\xC3\xA9t\xC3\xA9");
    EXPECT_FALSE(e == "ete");
    const String shared = e;
    EXPECT_TRUE(shared == e);
    EXPECT_FALSE(shared != e);
}

TEST(StringTest, OrderByCodeUnits)
{
    struct Case {
        const char16_t* a;
        const char16_t* b;
        bool less;
    };
    const Case cases[] = {
        {u"ab", u"abc", true},   {u"abc", u"ab", false}, {u"abc", u"abd", true},
        {u"", u"a", true},       {u"a", u"", false},     {u"Z", u"a", true},
        {u"\u00E9", u"z", false}, {u"abc", u"abc", false},
        // Units, not code points: a surrogate pair sorts below U+FFFD.
        {u"\U0001F600", u"\uFFFD", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(String(c.a) < String(c.b), c.less);
    }
    const String s(u"x");
    EXPECT_FALSE(s < s);
    // UTF-8 bytes order as unsigned values.
    EXPECT_TRUE(NarrowString("z") < NarrowString("\xC3\xA9"));
}

TEST(StringTest, CaseMappingPerUnit)
{
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    struct Case {
        const char16_t* text;
        const char16_t* lower;
        const char16_t* upper;
    };
    const Case cases[] = {
        {u"Hello, World 1", u"hello, world 1", u"HELLO, WORLD 1"},
        {u"\u00C0B\u00C7 d\u00E9F", u"\u00E0b\u00E7 d\u00E9f", u"\u00C0B\u00C7 D\u00C9F"},
        {u"\u03A3\u0391\u03C3", u"\u03C3\u03B1\u03C3", u"\u03A3\u0391\u03A3"},
        // U+10400 has a lower-case pair, but its surrogate halves map to themselves.
        {u"\U00010400", u"\U00010400", u"\U00010400"},
        {u"", u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text(String(c.text).ToLower()), c.lower);
        EXPECT_EQ(Text(String(c.text).ToUpper()), c.upper);
    }
    EXPECT_STREQ(NarrowString("Ab\xC3\x89").ToLower().GetChars(), "ab\xC3\x89");
}

TEST(StringTest, TrimAndTrimRight)
{
    struct Case {
        const char16_t* text;
        const char16_t* trimmed;
    };
    const Case cases[] = {
        {u"  a b \t\r\n", u"a b"}, {u"\t\n", u""},    {u"abc", u"abc"},
        {u"", u""},                {u" x", u"x"},     {u"x ", u"x"},
        {u"\u00A0x\u00A0", u"\u00A0x\u00A0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text(String(c.text).Trim()), c.trimmed);
    }
    EXPECT_EQ(Text(String(u"a/b//\\").TrimRight(u"/\\")), u"a/b");
    EXPECT_EQ(Text(String(u"///").TrimRight(u"/")), u"");
    EXPECT_EQ(Text(String(u"/a").TrimRight(u"/")), u"/a");
    EXPECT_EQ(Text(String(u"a/").TrimRight(nullptr)), u"a/");
}

TEST(StringTest, ReplaceChars)
{
    String s(u"a\\b/c");
    const String before = s;
    s.ReplaceChars(u"\\/", u'_');
    EXPECT_EQ(Text(s), u"a_b_c");
    EXPECT_EQ(Text(before), u"a\\b/c");
    s.ReplaceChars(u"_", u'\0');
    EXPECT_EQ(Text(s), u"a_b_c");
    s.ReplaceChars(u"xyz", u'!');
    EXPECT_EQ(Text(s), u"a_b_c");
}

TEST(StringTest, AssignNarrowLengths)
{
    struct Case {
        const char* text;
        int32_t length;
        const char16_t* expected;
    };
    const Case cases[] = {
        {"h\xC3\xA9llo", -1, u"h\u00E9llo"},
        {"h\xC3\xA9llo", 3, u"h\u00E9"},
        {"h\xC3\xA9llo", 2, u"h"},  // cut inside the sequence: the text before stays
        {"abc", 0, u""},
        {"", -1, u""},
        {nullptr, 3, u""},
    };
    for (const Case& c : cases) {
        String s(u"old");
        s.AssignNarrow(c.text, c.length);
        EXPECT_EQ(Text(s), c.expected);
    }
}

TEST(StringTest, NarrowTwinBehavesAlike)
{
    NarrowString s("abc");
    EXPECT_EQ(s.GetLength(), 3);
    const NarrowString copy = s;
    EXPECT_EQ(copy.GetChars(), s.GetChars());
    char* p = s.Lock(8);
    p[3] = 'd';
    EXPECT_EQ(s.GetLength(), 4);
    s.Unlock();
    EXPECT_STREQ(s.GetChars(), "abcd");
    EXPECT_STREQ(copy.GetChars(), "abc");
    s.Assign("xyz", 2);
    EXPECT_STREQ(s.GetChars(), "xy");
    EXPECT_EQ(s.GetLength(), 2);
    EXPECT_TRUE(s == u"xy");
}

TEST(StringTest, MeetsUtf8LibrariesAndViews)
{
    struct Case {
        const char* name;
        String text;
        std::string utf8;
    };
    const char16_t loneHigh[] = {u'a', 0xD800, 0};
    const Case cases[] = {
        {"empty", String(), ""},
        {"ascii", String(u"Tarsel"), "Tarsel"},
        {"two, three and four bytes", String(u"K\u00F6nig \u20AC\U0001F3B9"), "K\xC3\xB6nig \xE2\x82\xAC\xF0\x9F\x8E\xB9"},
        {"lone high surrogate last", String(loneHigh), "a\xED\xA0\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.text.ToUtf8(), c.utf8);
        const std::u16string_view view = c.text;
        EXPECT_EQ(view.size(), static_cast<size_t>(c.text.GetLength()));
        EXPECT_EQ(view.data(), c.text.GetChars());
        EXPECT_EQ(NarrowString(c.utf8.c_str()).ToUtf8(), c.utf8);
    }
}

TEST(StringTest, LockedStringViewEndsAtItsText)
{
    String s(u"abc");
    char16_t* p = s.Lock(10);
    p[1] = u'\0';
    EXPECT_EQ(s.View(), u"a");
    EXPECT_EQ(s.ToUtf8(), "a");
    s.Unlock();
}

TEST(StringTest, PrintsAsQuotedUtf8)
{
    EXPECT_EQ(::testing::PrintToString(String(u"K\u00F6\"n\\\n")), "u\"K\xC3\xB6\\\"n\\\\\\x0A\"");
    EXPECT_EQ(::testing::PrintToString(NarrowString("ab")), "\"ab\"");
}

}  // namespace
