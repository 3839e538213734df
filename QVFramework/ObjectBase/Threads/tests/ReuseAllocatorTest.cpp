#include "ReuseAllocator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace QV {
namespace {

struct Item {
    double value;
    char text[20];
};

std::atomic<int> gFaults{0};
void CountFault(std::string_view) { gFaults.fetch_add(1); }

class ReuseAllocatorTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        gFaults = 0;
        mPrevious = SetThreadFaultSink(&CountFault);
    }
    void TearDown() override { SetThreadFaultSink(mPrevious); }

    ReuseAllocator<Item, 4> mAllocator{GetParam()};
    ThreadFaultSink mPrevious = nullptr;
};

TEST_P(ReuseAllocatorTest, FreedBlocksAreReusedLastFreedFirst)
{
    void* a = mAllocator.Allocate(sizeof(Item));
    void* b = mAllocator.Allocate(sizeof(Item));
    ASSERT_NE(a, b);
    mAllocator.Free(a);
    mAllocator.Free(b);
    EXPECT_EQ(mAllocator.Allocate(sizeof(Item)), b);
    EXPECT_EQ(mAllocator.Allocate(sizeof(Item)), a);
    EXPECT_EQ(mAllocator.GetBlockCount(), 2u);
    mAllocator.Free(a);
    mAllocator.Free(b);
}

TEST_P(ReuseAllocatorTest, BlocksAreAlignedForAnyType)
{
    std::vector<void*> blocks;
    for (int i = 0; i < 9; ++i) {
        void* p = mAllocator.Allocate(sizeof(Item));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % alignof(std::max_align_t), 0u);
        new (p) Item{1.0 * i, "x"};
        blocks.push_back(p);
    }
    EXPECT_EQ(mAllocator.GetBlockCount(), 9u);
    for (void* p : blocks) mAllocator.Free(p);
    EXPECT_EQ(gFaults.load(), 0);
}

TEST_P(ReuseAllocatorTest, OtherSizesAreSeparateHeapBlocks)
{
    void* plain = mAllocator.Allocate(sizeof(Item) + 8);
    EXPECT_EQ(mAllocator.GetBlockCount(), 0u);
    mAllocator.Free(plain);
    void* pooled = mAllocator.Allocate(sizeof(Item));
    EXPECT_EQ(mAllocator.GetBlockCount(), 1u);
    mAllocator.Free(pooled);
    EXPECT_EQ(gFaults.load(), 0);
}

TEST_P(ReuseAllocatorTest, SecondFreeOfABlockIsReportedAndIgnored)
{
    void* a = mAllocator.Allocate(sizeof(Item));
    mAllocator.Free(a);
    mAllocator.Free(a);
    EXPECT_EQ(gFaults.load(), 1);
    // Had the second free counted, the block would now be handed out twice.
    void* first = mAllocator.Allocate(sizeof(Item));
    void* second = mAllocator.Allocate(sizeof(Item));
    EXPECT_EQ(first, a);
    EXPECT_NE(second, a);
    mAllocator.Free(first);
    mAllocator.Free(second);
}

TEST_P(ReuseAllocatorTest, FreeOfABlockItDidNotMakeIsReportedAndIgnored)
{
    Item onStack{};
    auto* small = new char[2];  // nothing readable before it
    void* plain = mAllocator.Allocate(3);
    mAllocator.Free(&onStack);
    mAllocator.Free(small);
    mAllocator.Free(static_cast<char*>(plain) + 1);
    EXPECT_EQ(gFaults.load(), 3);
    mAllocator.Free(plain);
    mAllocator.Free(plain);  // a plain block freed twice
    EXPECT_EQ(gFaults.load(), 4);
    delete[] small;
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutLock, ReuseAllocatorTest, ::testing::Bool());

TEST(ReuseAllocatorThreadsTest, LockedAllocatorServesSeveralThreads)
{
    ReuseAllocator<Item, 1> allocator(true);
    auto churn = [&] {
        for (int i = 0; i < 2000; ++i) {
            auto* item = new (allocator.Allocate(sizeof(Item))) Item{};
            item->value = i;
            allocator.Free(item);
        }
    };
    std::thread a(churn), b(churn), c(churn);
    a.join();
    b.join();
    c.join();
    EXPECT_LE(allocator.GetBlockCount(), 3u);
}

}  // namespace
}  // namespace QV
