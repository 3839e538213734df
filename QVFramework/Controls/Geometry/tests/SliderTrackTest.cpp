#include <gtest/gtest.h>

#include <vector>

#include "SliderTrack.h"

namespace {

using namespace QV;

TEST(SliderTrackTest, ThumbForValueRoundsHalfAwayFromZero)
{
    const SliderTrack track{{10.4, 20.0}, {110.0, 20.0}};
    EXPECT_EQ(LongPoint(10, 20), track.ThumbAt(0.0));
    EXPECT_EQ(LongPoint(110, 20), track.ThumbAt(1.0));
    EXPECT_EQ(LongPoint(60, 20), track.ThumbAt(0.5));
    EXPECT_EQ(LongPoint(11, 20), track.ThumbAt(0.005));  // 0.5 rounds away from zero
    const SliderTrack up{{0.0, 100.0}, {0.0, 0.0}};
    EXPECT_EQ(LongPoint(0, 75), up.ThumbAt(0.25));
}

TEST(SliderTrackTest, ProjectionFollowsThePerpendicularAndStaysInTheBox)
{
    struct Row {
        const char* name;
        SliderTrack track;
        LongPoint pointer;
        LongPoint grab;
        DoublePoint thumb;
        LongPoint expected;
    };
    const std::vector<Row> rows = {
        {"horizontal keeps the thumb's y", {{0, 10}, {100, 10}}, {40, 70}, {0, 0}, {5.7, 10.9}, {40, 10}},
        {"horizontal subtracts the grab offset", {{0, 10}, {100, 10}}, {40, 70}, {3, 9}, {5, 10}, {37, 10}},
        {"horizontal clamps to the end", {{0, 10}, {100, 10}}, {400, 10}, {0, 0}, {5, 10}, {100, 10}},
        {"vertical keeps the thumb's x", {{20, 0}, {20, 100}}, {90, 30}, {0, 0}, {20.9, 5}, {20, 30}},
        {"vertical clamps to the start", {{20, 0}, {20, 100}}, {20, -50}, {0, 0}, {20, 5}, {20, 0}},
        // On y = x the foot of (60, 20) is (40, 40).
        {"diagonal foot of the perpendicular", {{0, 0}, {100, 100}}, {60, 20}, {0, 0}, {0, 0}, {40, 40}},
        {"diagonal beyond the end", {{0, 0}, {100, 100}}, {300, 250}, {0, 0}, {0, 0}, {100, 100}},
        // On y = 100 - x the foot of (10, 10) is (50, 50).
        {"falling diagonal", {{0, 100}, {100, 0}}, {10, 10}, {0, 0}, {0, 0}, {50, 50}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.expected, row.track.Project(row.pointer, row.grab, row.thumb));
    }
}

TEST(SliderTrackTest, StepMovesAtMostOneStepAndNeverPastThePoint)
{
    const SliderTrack track{{0, 0}, {100, 0}};
    struct Row {
        const char* name;
        double thumbX;
        double pointX;
        double value;
        double expected;
    };
    const std::vector<Row> rows = {
        {"far ahead: one step", 0, 90, 0.0, 0.1},        {"near ahead: stops at the point", 50, 55, 0.5, 0.55},
        {"far behind: one step back", 80, 10, 0.8, 0.7}, {"near behind: stops at the point", 80, 75, 0.8, 0.75},
        {"at the point: stays", 30, 30, 0.3, 0.3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_NEAR(row.expected, track.StepToward({row.thumbX, 0}, {row.pointX, 0}, row.value, 0.1), 1e-12);
    }
}

TEST(SliderTrackTest, ZeroLengthTrackLeavesTheValue)
{
    const SliderTrack track{{5, 5}, {5, 5}};
    EXPECT_EQ(0.4, track.StepToward({5, 5}, {50, 5}, 0.4, 0.1));
    EXPECT_EQ(0.4, track.ValueAt({9, 5}, 0.4));
    EXPECT_EQ(LongPoint(5, 5), track.Project({50, 60}, {0, 0}, {5, 5}));
}

TEST(SliderTrackTest, ValueIsTheRelativeDistanceFromTheStart)
{
    const SliderTrack track{{0, 0}, {30, 40}};
    EXPECT_DOUBLE_EQ(0.5, track.ValueAt({15, 20}, 0.0));
    EXPECT_DOUBLE_EQ(1.0, track.ValueAt({30, 40}, 0.0));
}

}  // namespace
