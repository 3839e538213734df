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

// The room a conversion needs, counted ahead: exact for whole and lenient
// conversions, never short for UTF-8 that stops early.
TEST(UtfTextTest, CountedLengthsGiveTheRoomTheConversionNeeds)
{
    const std::string utf8Cases[] = {"", "plain", "K\xC3\xB6nig \xE2\x82\xAC \xF0\x9F\x8E\xB9",
                                     "a\x80z", "a\xFF" "b", "ab\xE2\x82", "x\xED\xA0\x80", "\xF8\x88\x80\x80\x80"};
    for (const std::string& text : utf8Cases) {
        SCOPED_TRACE(text);
        const std::u16string wide = Utf8ToUtf16(text);
        EXPECT_GE(QV::Utf16LengthOfUtf8(text), wide.size());
        EXPECT_EQ(QV::Utf8LengthOfUtf16(wide), Utf16ToUtf8(wide).size());
    }
    EXPECT_EQ(QV::Utf16LengthOfUtf8("K\xC3\xB6nig \xF0\x9F\x8E\xB9"), 8u);
    const std::u16string utf16Cases[] = {
        u"\U0001F3B9\U0001F3B9", std::u16string{0xD83C, u'x'}, std::u16string{u'a', 0xDC00},
        std::u16string{0xD800, 0xD800, 0xDC00}, std::u16string{0xD800, 0xDC00, 0xDC00}, std::u16string{u'a', 0xD800},
        u"\u007F\u0080\u07FF\u0800\uFFFF"};
    for (const std::u16string& text : utf16Cases) {
        SCOPED_TRACE(testing::PrintToString(text));
        EXPECT_EQ(QV::Utf8LengthOfUtf16(text), Utf16ToUtf8(text).size());
    }
}

}  // namespace
