#include <gtest/gtest.h>

#include <string>

#include "StringT.h"
#include "UtfConversion.h"

namespace {

using namespace QV;

std::u16string Text(const String& s)
{
    return std::u16string(s.GetChars(), static_cast<size_t>(s.GetLength()));
}

std::string Text(const NarrowString& s)
{
    return std::string(s.GetChars(), static_cast<size_t>(s.GetLength()));
}

struct Utf8Case {
    const char* name;
    std::string bytes;
    int32_t length;  // -1: up to and including the NUL
    std::u16string expected;
    QVResult result;
};

TEST(UtfConversionTest, Utf8ToString)
{
    const Utf8Case cases[] = {
        {"ascii", "hello", -1, u"hello", S_OK},
        {"two-byte", "h\xC3\xA9", -1, u"h\u00E9", S_OK},
        {"three-byte", "\xE2\x82\xAC", -1, u"\u20AC", S_OK},
        {"four-byte to pair", "\xF0\x9F\x98\x80!", -1, u"\U0001F600!", S_OK},
        {"highest scalar", "\xF4\x8F\xBF\xBF", -1, u"\U0010FFFF", S_OK},
        {"edges of each length", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80", -1,
         u"\u007F\u0080\u07FF\u0800\uFFFF\U00010000", S_OK},
        {"around the surrogates", "\xED\x9F\xBF\xEE\x80\x80", -1, u"\uD7FF\uE000", S_OK},
        {"length stops early", "abcdef", 3, u"abc", S_OK},
        {"embedded NUL ends the text", std::string("ab\0cd", 5), 5, u"ab", S_OK},
        {"empty", "", -1, u"", S_OK},
        {"cut after lead byte", "ab\xC3", 3, u"ab", E_FAIL},
        {"cut after lead byte before NUL", "ab\xE2", -1, u"ab", E_FAIL},
        {"cut three-byte", "ab\xE2\x82", 4, u"ab", E_FAIL},
        {"cut four-byte", "\xF0\x9F\x98", 3, u"", E_FAIL},
        {"lone trailing byte", "a\x80" "b", -1, u"a", E_FAIL},
        {"overlong two-byte", "x\xC0\xAF", -1, u"x", E_FAIL},
        {"overlong C1", "\xC1\xBF", -1, u"", E_FAIL},
        {"overlong three-byte", "\xE0\x80\xAF", -1, u"", E_FAIL},
        {"overlong four-byte", "\xF0\x80\x80\xAF", -1, u"", E_FAIL},
        {"above U+10FFFF", "ok\xF4\x90\x80\x80", -1, u"ok", E_FAIL},
        {"lead beyond F4", "\xF5\x80\x80\x80", -1, u"", E_FAIL},
        {"encoded high surrogate", "\xED\xA0\x80", -1, u"", E_FAIL},
        {"encoded low surrogate", "a\xED\xBF\xBF", -1, u"a", E_FAIL},
        {"five-byte form", "\xF8\x88\x80\x80\x80", -1, u"", E_FAIL},
        {"six-byte form", "\xFC\x84\x80\x80\x80\x80", -1, u"", E_FAIL},
        {"byte FF", "ab\xFF", -1, u"ab", E_FAIL},
        {"missing trailing byte", "\xC3" "a", -1, u"", E_FAIL},
    };
    for (const Utf8Case& c : cases) {
        SCOPED_TRACE(c.name);
        String out(u"previous");
        EXPECT_EQ(ConvertUTF8ToString(out, c.bytes.c_str(), c.length), c.result);
        EXPECT_EQ(Text(out), c.expected);
        EXPECT_EQ(out.GetChars()[out.GetLength()], u'\0');
        if (c.expected.empty()) {
            EXPECT_EQ(out.GetChars(), String().GetChars());
        }
    }
    String out(u"previous");
    EXPECT_EQ(ConvertUTF8ToString(out, nullptr, -1), S_OK);
    EXPECT_TRUE(out.IsEmpty());

    // A locked output keeps its buffer and what fits in it.
    char16_t* p = out.Lock(4);
    EXPECT_EQ(ConvertUTF8ToString(out, "abcdef", -1), S_OK);
    EXPECT_EQ(out.GetChars(), p);
    EXPECT_EQ(Text(out), u"abc");
    NarrowString narrow;
    char* q = narrow.Lock(3);
    EXPECT_EQ(ConvertStringToUTF8(narrow, u"\u00E9t\u00E9", -1), S_OK);
    EXPECT_EQ(narrow.GetChars(), q);
    EXPECT_EQ(Text(narrow), "\xC3\xA9");
}

TEST(UtfConversionTest, StringToUtf8)
{
    struct Case {
        const char* name;
        std::u16string units;
        int32_t length;
        std::string expected;
        QVResult result;
    };
    const Case cases[] = {
        {"ascii", u"hello", -1, "hello", S_OK},
        {"two and three bytes", u"\u00E9\u20AC", -1, "\xC3\xA9\xE2\x82\xAC", S_OK},
        {"pair to four bytes", u"\U0001F600", -1, "\xF0\x9F\x98\x80", S_OK},
        {"edges of each length", u"\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF", -1,
         "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", S_OK},
        {"lone high surrogate then letter", u"\xD800" "a", -1, "\xED\xA0\x80" "a", S_OK},
        {"lone low surrogate", u"\xDC00", -1, "\xED\xB0\x80", S_OK},
        {"swapped pair", u"\xDE00\xD83D" "x", -1, "\xED\xB8\x80\xED\xA0\xBD" "x", S_OK},
        {"high surrogate before NUL", u"a\xD800", -1, "a\xED\xA0\x80", S_OK},
        {"high surrogate cut by the length", u"a\xD800", 2, "a", E_FAIL},
        {"length stops early", u"abcdef", 2, "ab", S_OK},
        {"empty", u"", -1, "", S_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NarrowString out("previous");
        EXPECT_EQ(ConvertStringToUTF8(out, c.units.c_str(), c.length), c.result);
        EXPECT_EQ(Text(out), c.expected);
        EXPECT_EQ(out.GetChars()[out.GetLength()], '\0');
    }
}

TEST(UtfConversionTest, EveryScalarValueRoundTrips)
{
    std::u16string all;
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        if (c < 0x10000) {
            all += static_cast<char16_t>(c);
        } else {
            all += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            all += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    NarrowString utf8;
    ASSERT_EQ(ConvertStringToUTF8(utf8, all.c_str(), -1), S_OK);
    String back;
    ASSERT_EQ(ConvertUTF8ToString(back, utf8.GetChars(), -1), S_OK);
    EXPECT_TRUE(Text(back) == all);

    const char* ascii = "The quick brown fox jumps over the lazy dog 0123456789 ~!@#$%^&*()";
    ASSERT_EQ(ConvertUTF8ToString(back, ascii, -1), S_OK);
    ASSERT_EQ(ConvertStringToUTF8(utf8, back.GetChars(), -1), S_OK);
    EXPECT_STREQ(utf8.GetChars(), ascii);
}

// Well-formedness straight from the encoding form's definition: bit pattern,
// shortest form, no surrogates, nothing above U+10FFFF.
bool ReferenceDecode(const uint8_t* b, int n, char32_t& value)
{
    int length;
    char32_t v;
    if (b[0] < 0x80) { length = 1; v = b[0]; }
    else if ((b[0] & 0xE0) == 0xC0) { length = 2; v = b[0] & 0x1F; }
    else if ((b[0] & 0xF0) == 0xE0) { length = 3; v = b[0] & 0x0F; }
    else if ((b[0] & 0xF8) == 0xF0) { length = 4; v = b[0] & 0x07; }
    else return false;
    if (length != n) return false;
    for (int i = 1; i < n; ++i) {
        if ((b[i] & 0xC0) != 0x80) return false;
        v = (v << 6) | (b[i] & 0x3F);
    }
    static const char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < kShortest[length] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return false;
    value = v;
    return true;
}

// Runs one candidate sequence through the converter and the reference.
void CheckSequence(const uint8_t* b, int n, int& mismatches)
{
    const char* s = reinterpret_cast<const char*>(b);
    char16_t out[4];
    char16_t* t = out;
    const UtfResult result = ConvertUtf8ToUtf16(s, s + n, t, out + 4);
    char32_t value = 0;
    const bool valid = ReferenceDecode(b, n, value);
    bool same = (result == UtfResult::kOk) == valid;
    if (same && valid) {
        const char32_t decoded = t - out == 2 ? 0x10000 + ((char32_t(out[0]) - 0xD800) << 10) + (out[1] - 0xDC00)
                                              : out[0];
        same = t - out == (value >= 0x10000 ? 2 : 1) && decoded == value;
    }
    if (!same && ++mismatches <= 5) {
        ADD_FAILURE() << "sequence of " << n << " bytes from 0x" << std::hex << int(b[0]) << " "
                      << int(n > 1 ? b[1] : 0) << " " << int(n > 2 ? b[2] : 0) << " " << int(n > 3 ? b[3] : 0);
    }
}

TEST(UtfConversionTest, AcceptsExactlyTheWellFormedSequences)
{
    int mismatches = 0;
    uint8_t b[4];
    for (int lead = 0; lead < 0x100; ++lead) {
        b[0] = static_cast<uint8_t>(lead);
        CheckSequence(b, 1, mismatches);
        for (int second = 0; second < 0x100; ++second) {
            b[1] = static_cast<uint8_t>(second);
            if (lead >= 0x80 && lead < 0xE0) CheckSequence(b, 2, mismatches);
            if (lead < 0xE0) continue;
            for (int third = 0; third < 0x100; ++third) {
                b[2] = static_cast<uint8_t>(third);
                if (lead < 0xF0) {
                    CheckSequence(b, 3, mismatches);
                    continue;
                }
                // Four-byte leads: every second and fourth byte, thirds at the edges.
                if (third != 0x00 && third != 0x80 && third != 0xBF && third != 0xC0) continue;
                for (int fourth = 0; fourth < 0x100; ++fourth) {
                    b[3] = static_cast<uint8_t>(fourth);
                    CheckSequence(b, 4, mismatches);
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(UtfConversionTest, RoutinesReportWhereAndWhyTheyStop)
{
    struct Case {
        std::string bytes;
        UtfResult result;
        size_t consumed;
        size_t produced;
    };
    const Case cases[] = {
        {"abcdefghijk", UtfResult::kOk, 11, 11},
        {"abcdefghij\xE2\x82", UtfResult::kSourceExhausted, 10, 10},
        {"abcdefghij\xE2\x41\x42", UtfResult::kSourceIllegal, 10, 10},
        {"\xF0\x9F\x98\x80\xC3", UtfResult::kSourceExhausted, 4, 2},
        {"\xF0\x9F\x98", UtfResult::kSourceExhausted, 0, 0},
        {"\xF0\x9F\x41\x42", UtfResult::kSourceIllegal, 0, 0},
        // A lead byte whose announced trailing bytes pass the end is cut, even
        // when the bytes present are already ill-formed.
        {"abcdefghij\xE2\x41", UtfResult::kSourceExhausted, 10, 10},
        {"\xF0\x9F\x41", UtfResult::kSourceExhausted, 0, 0},
        {"\xE0\x9F", UtfResult::kSourceExhausted, 0, 0},
        {"ab\xC0", UtfResult::kSourceExhausted, 2, 2},
        {"\xF8\x88\x80\x80", UtfResult::kSourceExhausted, 0, 0},
        {"ab\xFF", UtfResult::kSourceExhausted, 2, 2},
        {"ab\x80", UtfResult::kSourceIllegal, 2, 2},
        {"\xC0\xAF", UtfResult::kSourceIllegal, 0, 0},
        {"\xF5\x80\x80\x80", UtfResult::kSourceIllegal, 0, 0},
    };
    for (const Case& c : cases) {
        char16_t out[32];
        const char* s = c.bytes.data();
        char16_t* t = out;
        EXPECT_EQ(ConvertUtf8ToUtf16(s, c.bytes.data() + c.bytes.size(), t, out + 32), c.result);
        EXPECT_EQ(static_cast<size_t>(s - c.bytes.data()), c.consumed);
        EXPECT_EQ(static_cast<size_t>(t - out), c.produced);
    }

    // A pair needs two units of room.
    const std::string emoji = "a\xF0\x9F\x98\x80";
    char16_t out[2];
    const char* s = emoji.data();
    char16_t* t = out;
    EXPECT_EQ(ConvertUtf8ToUtf16(s, emoji.data() + emoji.size(), t, out + 2), UtfResult::kTargetExhausted);
    EXPECT_EQ(s - emoji.data(), 1);
    EXPECT_EQ(t - out, 1);

    // Strict mode refuses unpaired surrogates; lenient mode writes them.
    const char16_t lone[] = u"ab\xDC00";
    char bytes[16];
    for (const auto& [mode, result, written] :
         {std::tuple{UtfMode::kStrict, UtfResult::kSourceIllegal, 2}, std::tuple{UtfMode::kLenient, UtfResult::kOk, 5}}) {
        const char16_t* u = lone;
        char* b = bytes;
        EXPECT_EQ(ConvertUtf16ToUtf8(u, lone + 3, b, bytes + 16, mode), result);
        EXPECT_EQ(b - bytes, written);
    }
    const char16_t euro[] = u"ab\u20AC";
    const char16_t* u = euro;
    char* b = bytes;
    EXPECT_EQ(ConvertUtf16ToUtf8(u, euro + 3, b, bytes + 4, UtfMode::kLenient), UtfResult::kTargetExhausted);
    EXPECT_EQ(b - bytes, 2);
    EXPECT_EQ(u - euro, 2);
}

}  // namespace
