#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "StringT.h"

namespace {

using namespace QV;

std::string Utf8(const String& s)
{
    return NarrowString(s).GetChars();
}

TEST(NumberTextTest, FixedPointSigned)
{
    struct Case {
        int value;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {
        {5, 2, ".05"},       {0, 2, ".00"},        {1234, 0, "1234"},   {123, 2, "1.23"},
        {7, 1, ".7"},        {-5, 2, "-.05"},      {-123, 2, "-1.23"},  {1234, -1, "1234"},
        {-1234, 0, "-1234"}, {12, 5, ".00012"},    {100, 2, "1.00"},    {INT_MIN, 3, "-2147483.648"},
        {INT_MAX, 10, ".2147483647"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + "/" + std::to_string(c.decimals));
        EXPECT_EQ(Utf8(FixedPointToString(c.value, c.decimals)), c.expected);
    }
}

TEST(NumberTextTest, FixedPointUnsigned)
{
    EXPECT_EQ(Utf8(FixedPointToString(5u, 2)), ".05");
    EXPECT_EQ(Utf8(FixedPointToString(4294967295u, 2)), "42949672.95");
    EXPECT_EQ(Utf8(FixedPointToString(4294967295u, 0)), "4294967295");
}

TEST(NumberTextTest, Doubles)
{
    struct Case {
        double value;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {
        {1.5, -1, "1.500000"}, {1.5, 1, "1.5"},     {1.5, 0, "2"},       {-0.25, 2, "-0.25"},
        {3.14159, 3, "3.142"}, {0.0, 2, "0.00"},    {-1.5, -5, "-1.500000"}, {1e6, 1, "1000000.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + "/" + std::to_string(c.decimals));
        EXPECT_EQ(Utf8(DoubleToString(c.value, c.decimals)), c.expected);
    }
}

}  // namespace
