#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "RectRegion.h"

namespace {

using QV::RectRegion;
using QV::RectRegionNodePool;
using QV::RegionRect;

// Regions of several threads take and give back nodes of the one pool at
// once, beyond its 512 slots; every node must come back exactly once.
TEST(RectRegionPoolThreadTest, ThreadsShareThePoolWithoutLosingNodes)
{
    constexpr int kThreads = 4;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int round = 0; round < 50; ++round) {
                RectRegion region;
                for (int32_t i = 0; i < 200; ++i) region.AddRect(RegionRect{i, t, i + 1, t + 1});
                region.AddRect(RegionRect{50, 0, 150, 10});
                region.Normalize();
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(RectRegionNodePool::InUseCount(), 0);
    EXPECT_EQ(RectRegionNodePool::FreeSlotCount(), RectRegionNodePool::kSlots);
    EXPECT_GT(RectRegionNodePool::PeakCount(), 0);
}

}  // namespace
