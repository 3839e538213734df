#include "Clock.h"

#include <gtest/gtest.h>

#include "FakeTimeSource.h"

namespace Platform::Clock {
namespace {

TEST(ClockTest, ElapsedIsCorrectAcrossTheWrap)
{
    EXPECT_EQ(ElapsedMs(0xFFFFFFF0u, 0x10u), 0x20u);
    EXPECT_EQ(ElapsedMs(100u, 1600u), 1500u);
}

TEST(ClockTest, RealClockAdvancesWithRealSleep)
{
    const uint32_t start = NowMs();
    SleepMs(20);
    const uint32_t elapsed = ElapsedMs(start, NowMs());
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 1000u);
}

TEST(ClockTest, ScopedSourceReplacesClockAndSleepAndIsRestored)
{
    FakeTimeSource fake(0xFFFFFF00u);
    {
        ScopedTimeSource scope(fake);
        const uint32_t start = NowMs();
        EXPECT_EQ(start, 0xFFFFFF00u);
        SleepMs(1500);  // returns at once
        SleepMs(250);
        EXPECT_EQ(ElapsedMs(start, NowMs()), 1750u);
        EXPECT_EQ(fake.Sleeps(), (std::vector<uint32_t>{1500, 250}));
    }
    const uint32_t real = NowMs();
    SleepMs(5);
    EXPECT_GE(ElapsedMs(real, NowMs()), 4u);
    EXPECT_EQ(fake.Sleeps().size(), 2u);
}

TEST(ClockTest, NestedScopesRestoreTheOuterSource)
{
    FakeTimeSource outer(10), inner(500);
    ScopedTimeSource outerScope(outer);
    {
        ScopedTimeSource innerScope(inner);
        EXPECT_EQ(NowMs(), 500u);
    }
    EXPECT_EQ(NowMs(), 10u);
}

}  // namespace
}  // namespace Platform::Clock
