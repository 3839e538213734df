#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "StringT.h"
#include "WideFormat.h"

namespace {

using namespace QV;

template <class... Args>
std::u16string F(const char16_t* format, Args... args)
{
    String s;
    s.Format(format, args...);
    return std::u16string(s.GetChars(), static_cast<size_t>(s.GetLength()));
}

struct Case {
    std::u16string actual;
    std::u16string expected;
};

void Check(const Case* cases, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_TRUE(cases[i].actual == cases[i].expected)
            << NarrowString(String(cases[i].actual.c_str())).GetChars() << " != "
            << NarrowString(String(cases[i].expected.c_str())).GetChars();
    }
}

TEST(WideFormatTest, Integers)
{
    const Case cases[] = {
        {F(u"%d", 42), u"42"},
        {F(u"%i", -7), u"-7"},
        {F(u"[%5d]", 42), u"[   42]"},
        {F(u"[%-5d]", 42), u"[42   ]"},
        {F(u"%05d", -42), u"-0042"},
        {F(u"%+d % d", 5, 5), u"+5  5"},
        {F(u"%.3d", 7), u"007"},
        {F(u"%u", -1), u"4294967295"},
        {F(u"%x %X %#x %o", 255, 255, 255, 8), u"ff FF 0xff 10"},
        {F(u"%ld", int32_t{-2}), u"-2"},  // long is 32 bits in these formats
        {F(u"%lu", UINT32_MAX), u"4294967295"},
        {F(u"%lld", INT64_MAX), u"9223372036854775807"},
        {F(u"%I64d", INT64_MIN), u"-9223372036854775808"},
        {F(u"%I64u %I64X", UINT64_MAX, uint64_t{0xABCDEF0123}), u"18446744073709551615 ABCDEF0123"},
        {F(u"%I32d", -3), u"-3"},
        {F(u"%zu %Iu", size_t{123}, size_t{456}), u"123 456"},
        {F(u"%hd %hu %hhd", 70000, 70000, 200), u"4464 4464 -56"},
        {F(u"%*d|%-*d|", 4, 1, 3, 2), u"   1|2  |"},
        {F(u"%*d|", -3, 9), u"9  |"},
        {F(u"%.*d", 4, 5), u"0005"},
    };
    Check(cases, std::size(cases));
}

TEST(WideFormatTest, FloatingPoint)
{
    const Case cases[] = {
        {F(u"%f", 1.5), u"1.500000"},
        {F(u"%lf", 1.5), u"1.500000"},
        {F(u"%.2f", 3.14159), u"3.14"},
        {F(u"[%8.3f]", -3.14159), u"[  -3.142]"},
        {F(u"%08.2f", 3.14159), u"00003.14"},
        {F(u"%e", 12345.678), u"1.234568e+04"},
        {F(u"%E", 0.00012), u"1.200000E-04"},
        {F(u"%g %g", 0.0001, 1e20), u"0.0001 1e+20"},
        {F(u"%G", 1e-10), u"1E-10"},
        {F(u"%.*f", 1, 2.25), u"2.2"},
        {F(u"%+.1f", 2.0), u"+2.0"},
        {F(u"%#.0f", 3.0), u"3."},
    };
    Check(cases, std::size(cases));
}

TEST(WideFormatTest, WideAndNarrowTextArguments)
{
    const Case cases[] = {
        {F(u"%s", u"wide"), u"wide"},
        {F(u"%S", "n\xC3\xA4rrow"), u"n\u00E4rrow"},
        {F(u"%hs|%ls|%ws", "a", u"b", u"c"), u"a|b|c"},
        {F(u"%hS|%lS", "a", u"b"), u"a|b"},
        {F(u"%S", "\xF0\x9F\x98\x80"), u"\U0001F600"},
        {F(u"%.3s", u"abcdef"), u"abc"},
        {F(u"%.2S", "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"), u"\u20AC\u20AC"},
        {F(u"[%5s]", u"ab"), u"[   ab]"},
        {F(u"[%-5S]", "ab"), u"[ab   ]"},
        {F(u"%s", static_cast<const char16_t*>(nullptr)), u"(null)"},
        {F(u"%S", static_cast<const char*>(nullptr)), u"(null)"},
        {F(u"%S!", "ok\xC3"), u"ok!"},  // a cut sequence ends the argument, not the format
        {F(u"%c%c", u'\u00E9', u'x'), u"\u00E9x"},
        {F(u"%C%hc%lc", 'a', 'b', u'\u20AC'), u"ab\u20AC"},
        {F(u"%C", '\xC3'), u"\uFFFD"},
        {F(u"[%3c]", u'z'), u"[  z]"},
        {F(u"%s=%d (%S)", u"key", 5, "note"), u"key=5 (note)"},
    };
    Check(cases, std::size(cases));
}

TEST(WideFormatTest, PercentPointersAndUnknownSpecs)
{
    int n = 0;
    const Case cases[] = {
        {F(u"100%%"), u"100%"},
        {F(u"100%"), u"100%"},
        {F(u"%y %d", 3), u"%y 3"},
        {F(u"%p", static_cast<void*>(nullptr)), u"0000000000000000"},
        {F(u"%p", reinterpret_cast<void*>(uintptr_t{0xBEEF})), u"000000000000BEEF"},
        {F(u"a%nb", &n), u"ab"},
        {F(u""), u""},
    };
    Check(cases, std::size(cases));
    EXPECT_EQ(n, 0);
}

TEST(WideFormatTest, LongOutputIsCutAtTheBuffer)
{
    const std::u16string exact(16383, u'a');
    const std::u16string over(20000, u'b');
    EXPECT_EQ(F(u"%s", exact.c_str()).size(), 16383u);
    const std::u16string cut = F(u"%s", over.c_str());
    EXPECT_EQ(cut.size(), 16383u);
    EXPECT_EQ(cut, over.substr(0, 16383));
    EXPECT_EQ(F(u"x%s", exact.c_str()).size(), 16383u);
    EXPECT_EQ(F(u"%100000d", 1).size(), 16383u);
    EXPECT_EQ(F(u"%.100000f", 1.0).size(), 16383u);
    EXPECT_EQ(F(u"%*s", 1 << 30, u"x").size(), 16383u);
    // A surrogate pair that does not fit whole is left out whole.
    const std::u16string nearly(16382, u'c');
    const std::u16string tail = F(u"%s\U0001F600", nearly.c_str());
    EXPECT_EQ(tail.size(), 16382u);

    char16_t small[4];
    EXPECT_EQ(FormatWide(small, 4, u"%s", u"abcdef"), 3);
    EXPECT_EQ(std::u16string(small), u"abc");
    EXPECT_EQ(FormatWide(small, 1, u"%d", 12345), 0);
    EXPECT_EQ(small[0], u'\0');
}

TEST(WideFormatTest, FormatIntoALockedString)
{
    String s;
    char16_t* p = s.Lock(4);
    s.Format(u"%d", 123456);
    EXPECT_EQ(s.GetChars(), p);
    EXPECT_EQ(std::u16string(s.GetChars()), u"123");
    s.Unlock();

    String self(u"ab");
    self.Format(u"%s%s", self.GetChars(), self.GetChars());
    EXPECT_EQ(std::u16string(self.GetChars()), u"abab");
}

TEST(WideFormatTest, APrecisionNeverCutsAPairInHalf)
{
    const Case cases[] = {
        {F(u"[%.2s]", u"a\U0001F3B9b"), u"[a]"},
        {F(u"[%.3s]", u"a\U0001F3B9b"), u"[a\U0001F3B9]"},
        {F(u"[%.2S]", "a\xF0\x9F\x8E\xB9" "b"), u"[a]"},
        {F(u"[%.3S]", "a\xF0\x9F\x8E\xB9" "b"), u"[a\U0001F3B9]"},
        {F(u"[%4.1s]", u"\U0001F3B9"), u"[    ]"},
        // A lone high surrogate is no pair: it is kept.
        {F(u"[%.2s]", std::u16string{u'a', 0xD800, u'b'}.c_str()), std::u16string{u'[', u'a', 0xD800, u']'}},
    };
    Check(cases, std::size(cases));
}

}  // namespace
