#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "RectT.h"

namespace {

using QV::DoublePoint;
using QV::DoubleRect;
using QV::LongPoint;
using QV::LongRect;

TEST(GeometryTest, ToLongRectRoundsHalfAwayFromZeroAndSaturates)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        double in;
        int32_t out;
    };
    const Row rows[] = {
        {2.5, 3},
        {-2.5, -3},
        {2.4999, 2},
        {-0.5, -1},
        {0.0, 0},
        {3e9, INT32_MAX},
        {-3e9, INT32_MIN},
        {2147483647.0, INT32_MAX},
        {-2147483648.0, INT32_MIN},
        {2147483647.4, INT32_MAX},
        {2147483647.6, INT32_MAX},
        {-2147483648.4, INT32_MIN},
        {nan, INT32_MIN},
        {inf, INT32_MAX},
        {-inf, INT32_MIN},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(QV::ToLongRect(DoublePoint{row.in, -row.in}).x, row.out);
        EXPECT_EQ(QV::ToLongRect(DoubleRect{0, 0, row.in, 0}).width, row.out);
    }
    EXPECT_EQ(QV::ToLongRect(DoublePoint{2.5, -2.5}), (LongPoint{3, -3}));
    EXPECT_EQ(QV::ToLongRect(DoublePoint{3e9, -3e9}), (LongPoint{INT32_MAX, INT32_MIN}));
}

TEST(GeometryTest, ToDoubleRectKeepsIntegersExactly)
{
    const LongRect r{INT32_MIN, INT32_MAX, -7, 0};
    EXPECT_EQ(QV::ToDoubleRect(r), (DoubleRect{-2147483648.0, 2147483647.0, -7.0, 0.0}));
    EXPECT_EQ(QV::ToDoubleRect(LongPoint{1, -1}), (DoublePoint{1.0, -1.0}));
    EXPECT_EQ(QV::ClampToDoubleRange(1e300), 4503599627370496.0);
    EXPECT_EQ(QV::ClampToDoubleRange(-1e300), -4503599627370496.0);
}

TEST(GeometryTest, IntersectKeepsOverlapOrLeavesEmpty)
{
    struct Row {
        DoubleRect a, b, expected;
        bool meets;
    };
    const Row rows[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, {5, 5, 5, 5}, true},
        {{5, 5, 15, 15}, {0, 0, 10, 10}, {5, 5, 5, 5}, true},
        {{0, 0, 10, 10}, {2, 3, 4, 5}, {2, 3, 4, 5}, true},
        {{0, 0, 10, 10}, {10, 0, 5, 5}, {10, 0, 0, 0}, false},  // touching edges do not meet
        {{0, 0, 10, 10}, {20, 20, 5, 5}, {20, 20, 0, 0}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.b.x << "," << row.b.y);
        DoubleRect r = row.a;
        EXPECT_EQ(r.Intersect(row.b), row.meets);
        EXPECT_EQ(r, row.expected);
        EXPECT_EQ(r.IsEmpty(), !row.meets);
    }
}

TEST(GeometryTest, NormalizeTurnsNegativeExtentsAndSnapsEdgesDown)
{
    struct Row {
        DoubleRect in, out;
    };
    const Row rows[] = {
        {{10, 10, -4, -6}, {6, 4, 4, 6}},
        {{0.5, 0.5, 10, 10}, {0, 0, 10, 10}},
        {{-0.5, 1.9, 1.0, 0.2}, {-1, 1, 1, 1}},
        {{0.1, 0, 9.9 - 1e-15, 1}, {0, 0, 10, 1}},  // a hair below 10 still counts as 10
        {{0, 0, 9.9, 1}, {0, 0, 9, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.in.x << "," << row.in.width);
        DoubleRect r = row.in;
        r.Normalize();
        EXPECT_EQ(r, row.out);
    }
    LongRect l{10, 10, -4, 3};
    l.Normalize();
    EXPECT_EQ(l, (LongRect{6, 10, 4, 3}));
}

TEST(GeometryTest, RoundInPlaceKeepsFloatingType)
{
    DoublePoint p{2.5, -2.5};
    p.RoundInPlace();
    EXPECT_EQ(p, (DoublePoint{3.0, -3.0}));
    DoubleRect r{0.5, -0.5, 1.49, -1.5};
    r.RoundInPlace();
    EXPECT_EQ(r, (DoubleRect{1, -1, 1, -2}));
}

TEST(GeometryTest, UnionRectHoldsBothAndReportsVisibleExtent)
{
    QV::FloatRect out;
    EXPECT_TRUE(QV::UnionRect(QV::FloatRect{0, 0, 2, 2}, QV::FloatRect{5, -1, 1, 1}, out));
    EXPECT_EQ(out, (QV::FloatRect{0, -1, 6, 3}));
    EXPECT_FALSE(QV::UnionRect(QV::FloatRect{0, 0, 0, 5}, QV::FloatRect{0, 0, 0, 1}, out));
}

}  // namespace
