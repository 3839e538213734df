#include <gtest/gtest.h>

#include <vector>

#include "ArrayBufferM.h"

namespace QV {
namespace {

std::vector<int> Items(const ArrayBufferM<int>& array)
{
    return std::vector<int>(array.GetData(), array.GetData() + array.GetCount());
}

TEST(ArrayBufferMTest, KeepsUpToFourInsideAndMovesOutBeyondWithTheContents)
{
    ArrayBufferM<int> array;
    for (int i = 1; i <= 4; ++i) ASSERT_EQ(array.AddItem(i * 10), i);
    EXPECT_TRUE(array.IsInline());
    ASSERT_EQ(array.AddItem(50), 5);
    EXPECT_FALSE(array.IsInline());
    EXPECT_EQ(Items(array), (std::vector<int>{10, 20, 30, 40, 50}));

    int removed = 0;
    ASSERT_EQ(array.RemoveItem(0, removed), 4);
    EXPECT_EQ(removed, 10);
    EXPECT_TRUE(array.IsInline());
    EXPECT_EQ(Items(array), (std::vector<int>{20, 30, 40, 50}));

    ASSERT_EQ(array.InsertItems(1, 3), 7);
    EXPECT_EQ(Items(array), (std::vector<int>{20, 0, 0, 0, 30, 40, 50}));
    ASSERT_EQ(array.SetCount(2), 2);
    EXPECT_EQ(Items(array), (std::vector<int>{20, 0}));
}

TEST(ArrayBufferMTest, CopiesAreIndependentOnEitherSideOfTheBoundary)
{
    for (const uint32_t count : {3u, 9u}) {
        ArrayBufferM<int> source;
        for (uint32_t i = 0; i < count; ++i) EXPECT_GE(source.AddItem(static_cast<int>(i)), 0);
        ArrayBufferM<int> copy(source);
        *source.GetItemPtr(0) = 99;
        EXPECT_EQ(copy.GetCount(), count);
        EXPECT_EQ(*copy.GetItemPtr(0), 0);
        copy = source;
        EXPECT_EQ(Items(copy), Items(source));
    }
}

TEST(ArrayBufferMTest, BadRangesAreRefused)
{
    ArrayBufferM<int> array;
    EXPECT_GE(array.SetCount(2), 0);
    int out = 0;
    EXPECT_EQ(array.InsertItems(3, 1), E_INVALIDARG);
    EXPECT_EQ(array.RemoveItems(1, 2), E_INVALIDARG);
    EXPECT_EQ(array.RemoveItem(2, out), E_INVALIDARG);
    EXPECT_EQ(array.SwapItems(0, 2), E_INVALIDARG);
    EXPECT_EQ(array.GetCount(), 2u);
}

}  // namespace
}  // namespace QV
