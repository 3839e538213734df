#include "LColor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using QV::LColor;

constexpr float k = QV::kByteToChannel;
const LColor kStart{0.25f, 0.5f, 0.75f, 1.0f};

TEST(LColorTest, SetFromHexStringByPrefixAndLength)
{
    struct Row {
        const char* text;
        LColor expected;
    };
    const Row rows[] = {
        {"0x80", {0.25f, 0.5f, 0.75f, 128 * k}},  // alpha alone
        {"0X80", {0.25f, 0.5f, 0.75f, 128 * k}},
        {"FF0000", {255 * k, 0, 0, 1.0f}},  // colour, alpha kept
        {"0x00ff80", {0, 255 * k, 128 * k, 1.0f}},
        {"80FF0000", {255 * k, 0, 0, 128 * k}},  // all four
        {"0xFFFFFFFF", {255 * k, 255 * k, 255 * k, 255 * k}},
        {"12345", kStart},  // odd lengths change nothing
        {"1234567", kStart},
        {"123456789", kStart},
        {"", kStart},
        {"0x", kStart},
        {"zz", {0.25f, 0.5f, 0.75f, 0}},  // unreadable reads as 0
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        LColor c = kStart;
        c.SetFromHexString(row.text);
        EXPECT_EQ(c, row.expected);
    }
}

TEST(LColorTest, NullTextChangesNothing)
{
    LColor c = kStart;
    c.SetFromHexString(nullptr);
    EXPECT_EQ(c, kStart);
}

TEST(LColorTest, EightDigitsFillAllThirtyTwoBits)
{
    LColor c;
    c.SetFromHexString("FFFEFDFC");
    EXPECT_EQ(c.GetARGB(), 0xFFFEFDFCu);
}

TEST(LColorTest, GetARGBRoundsAndClamps)
{
    struct Row {
        LColor colour;
        uint32_t packed;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Row rows[] = {
        {{1.2f, -0.1f, 0.5f, 1.0f}, 0xFFFF0080u},  // 127.5 rounds away from zero
        {{0, 0, 0, 0}, 0x00000000u},
        {{1, 1, 1, 1}, 0xFFFFFFFFu},
        {{0.0019f, 0.002f, 0.998f, 0.5f}, 0x800001FEu},  // 0.48, 0.51, 254.49, 127.5
        {{nan, 2e30f, -2e30f, 1}, 0xFF00FF00u},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << std::hex << row.packed);
        EXPECT_EQ(row.colour.GetARGB(), row.packed);
    }
}

TEST(LColorTest, PackedFormRoundTrips)
{
    for (uint32_t packed : {0x00000000u, 0x12345678u, 0x80FF0001u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(packed);
        EXPECT_EQ(LColor::FromARGB(packed).GetARGB(), packed);
    }
}

}  // namespace
