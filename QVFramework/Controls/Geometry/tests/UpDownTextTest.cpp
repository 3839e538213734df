#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "UpDownText.h"

namespace {

using namespace QV;

TEST(UpDownTextTest, TypedTextBecomesAValueInRange)
{
    struct Row {
        const char16_t* text;
        double minimum;
        double maximum;
        std::optional<double> expected;
    };
    const std::vector<Row> rows = {
        {u"42", 0, 127, 42},
        {u"200", 0, 127, 127},
        {u"0", 1, 16, 1},
        {u"-5", -12, 12, -5},
        {u"-20", -12, 12, -12},
        {u"-5", 0, 127, std::nullopt},
        {u"", 0, 127, std::nullopt},
        {u"-", -12, 12, std::nullopt},
        {u"1-2", -12, 12, std::nullopt},
        {u"--1", -12, 12, std::nullopt},
        {u"4a", 0, 127, std::nullopt},
        {u"99999999999999999999", 0, 127, 127},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(String(row.text).ToUtf8());
        EXPECT_EQ(row.expected, ParseUpDownText(row.text, row.minimum, row.maximum));
    }
}

TEST(UpDownTextTest, MinusIsOfferedOnlyBelowZero)
{
    EXPECT_EQ(String(u"0123456789"), UpDownAllowedCharacters(0));
    EXPECT_EQ(String(u"0123456789-"), UpDownAllowedCharacters(-1));
}

TEST(UpDownTextTest, ValuesShowWithTheirDecimals)
{
    EXPECT_EQ(String(u"5"), FormatUpDownValue(5.0, 0));
    EXPECT_EQ(String(u"-12"), FormatUpDownValue(-12.0, 0));
    EXPECT_EQ(String(u"2.50"), FormatUpDownValue(2.5, 2));
}

}  // namespace
