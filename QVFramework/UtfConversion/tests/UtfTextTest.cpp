#include <gtest/gtest.h>

#include <string>

#include "UtfConversion.h"

namespace {

using QV::Utf16ToUtf8;
using QV::Utf8ToUtf16;

TEST(UtfTextTest, Utf8ToUtf16KeepsTheTextBeforeTheFirstBadSequence)
{
    struct Case {
        const char* name;
        std::string utf8;
        std::u16string expected;
    };
    const Case cases[] = {
        {"empty", "", u""},
        {"mixed lengths", "K\xC3\xB6nig \xE2\x82\xAC \xF0\x9F\x8E\xB9", u"K\u00F6nig \u20AC \U0001F3B9"},
        {"embedded NUL kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"lone trailing byte", "a\x80z", u"a"},
        {"byte FF",
         "a\xFF"
         "b",
         u"a"},
        {"overlong", "ok\xC0\xAF", u"ok"},
        {"encoded surrogate", "x\xED\xA0\x80", u"x"},
        {"cut at the end", "ab\xE2\x82", u"ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.expected);
    }
}

TEST(UtfTextTest, Utf16ToUtf8WritesUnpairedSurrogatesInTheirOwnForm)
{
    struct Case {
        const char* name;
        std::u16string utf16;
        std::string expected;
    };
    const Case cases[] = {
        {"empty", u"", ""},
        {"pair", u"a\U0001F3B9", "a\xF0\x9F\x8E\xB9"},
        {"lone high then letter", std::u16string{0xD83C, u'x'}, "\xED\xA0\xBCx"},
        {"lone low", std::u16string{u'a', 0xDC00}, "a\xED\xB0\x80"},
        {"high surrogate last", std::u16string{u'a', 0xD800}, "a\xED\xA0\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.expected);
    }
}

TEST(UtfTextTest, WellFormedTextSurvivesARoundTrip)
{
    const std::u16string text = u"Tarsel \u00E9\u4E2D\U0010FFFF\uFFFD";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
}

}  // namespace
