#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "Array.h"
#include "ArrayBuffer.h"
#include "SimpleFixedArray.h"

namespace QV {
namespace {

template <class A>
std::vector<int32_t> Items(const A& a)
{
    std::vector<int32_t> v;
    for (const int32_t& x : a) v.push_back(x);
    return v;
}

template <class A>
class ValueArrayTest : public ::testing::Test {
protected:
    A array;
    void Fill(std::initializer_list<int32_t> values)
    {
        for (int32_t v : values) EXPECT_GE(array.AddItem(v), 0);
    }
};

using ValueArrays = ::testing::Types<Array<int32_t>, ArrayBuffer<int32_t>, ArrayBuffer<int32_t, 4, 32>,
                                     SimpleFixedArray<int32_t, 8>>;
TYPED_TEST_SUITE(ValueArrayTest, ValueArrays);

TYPED_TEST(ValueArrayTest, EmptyArrayHasNoElements)
{
    EXPECT_EQ(this->array.GetFirst(), nullptr);
    EXPECT_EQ(this->array.GetEnd(), nullptr);
    EXPECT_TRUE(Items(this->array).empty());
}

TYPED_TEST(ValueArrayTest, InsertAndRemoveShiftTheTail)
{
    this->Fill({1, 2, 3});
    EXPECT_EQ(this->array.InsertItems(1, 2), 5);
    EXPECT_EQ(Items(this->array), (std::vector<int32_t>{1, 0, 0, 2, 3}));
    EXPECT_EQ(this->array.RemoveItems(0, 2), 3);
    EXPECT_EQ(Items(this->array), (std::vector<int32_t>{0, 2, 3}));
    int32_t out = -1;
    EXPECT_EQ(this->array.RemoveItem(1, out), 2);
    EXPECT_EQ(out, 2);
    EXPECT_EQ(this->array.RemoveLastItem(out), 1);
    EXPECT_EQ(out, 3);
    EXPECT_EQ(Items(this->array), (std::vector<int32_t>{0}));
}

TYPED_TEST(ValueArrayTest, RangeErrors)
{
    this->Fill({1, 2});
    EXPECT_EQ(this->array.InsertItems(2, 0), 2);
    EXPECT_EQ(this->array.InsertItems(3, 1), E_INVALIDARG);
    EXPECT_EQ(this->array.RemoveItems(1, 2), E_INVALIDARG);
    EXPECT_EQ(this->array.SwapItems(0, 2), E_INVALIDARG);
    int32_t out = 7;
    EXPECT_EQ(this->array.RemoveItem(2, out), E_INVALIDARG);
    EXPECT_EQ(out, 7);
    EXPECT_EQ(Items(this->array), (std::vector<int32_t>{1, 2}));
}

TYPED_TEST(ValueArrayTest, SwapAppendSetItemsAndClear)
{
    this->Fill({1, 2, 3});
    EXPECT_EQ(this->array.SwapItems(0, 2), S_OK);
    EXPECT_EQ(this->array.Append(this->array), 6);
    EXPECT_EQ(Items(this->array), (std::vector<int32_t>{3, 2, 1, 3, 2, 1}));
    TypeParam other;
    EXPECT_GE(other.AddItem(9), 0);
    EXPECT_EQ(this->array.SetItems(other), 1);
    EXPECT_EQ(Items(this->array), (std::vector<int32_t>{9}));
    EXPECT_EQ(this->array.RemoveAll(), S_OK);
    EXPECT_EQ(this->array.GetCount(), 0u);
}

TYPED_TEST(ValueArrayTest, SetCountZeroesNewElements)
{
    this->Fill({5});
    EXPECT_GE(this->array.SetCount(0), 0);
    EXPECT_EQ(this->array.SetCount(3), 3);
    EXPECT_EQ(Items(this->array), (std::vector<int32_t>{0, 0, 0}));
}

TYPED_TEST(ValueArrayTest, IteratorOffsetsAreClamped)
{
    this->Fill({1, 2, 3});
    const int32_t* first = this->array.GetFirst();
    EXPECT_EQ(this->array.OffsetIterator(first, -5), first);
    EXPECT_EQ(this->array.OffsetIterator(first, 2), first + 2);
    EXPECT_EQ(this->array.OffsetIterator(first, 10), this->array.GetEnd());
}

TEST(ValueArrayDifferencesTest, RemoveItemsOfNothing)
{
    Array<int32_t> array;
    ArrayBuffer<int32_t> buffer;
    for (int32_t v : {1, 2}) {
        EXPECT_GE(array.AddItem(v), 0);
        EXPECT_GE(buffer.AddItem(v), 0);
    }
    EXPECT_EQ(array.RemoveItems(2, 0), E_INVALIDARG);
    EXPECT_EQ(array.RemoveItems(1, 0), 2);
    EXPECT_EQ(buffer.RemoveItems(50, 0), 2);
}

TEST(ValueArrayDifferencesTest, InsertItemAnswers)
{
    Array<int32_t> array;
    ArrayBuffer<int32_t> buffer;
    EXPECT_GE(array.AddItem(1), 0);
    EXPECT_GE(buffer.AddItem(1), 0);
    EXPECT_EQ(array.InsertItem(0, 5), 0);   // the index
    EXPECT_EQ(buffer.InsertItem(0, 5), 2);  // the new count
}

TEST(ValueArrayDifferencesTest, ArrayRaisesTheVectorSubscriptError)
{
    Array<int32_t> array;
    EXPECT_GE(array.AddItem(1), 0);
    try {
        array.GetItemPtr(1);
        FAIL() << "no error";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
}

TEST(ValueArrayDifferencesTest, FixedArrayStopsAtItsSize)
{
    SimpleFixedArray<char, 8> fixed;
    EXPECT_EQ(fixed.GetMaxCount(), 8u);
    EXPECT_EQ(fixed.SetCount(8), 8);
    EXPECT_EQ(fixed.AddItem('x'), E_INVALIDARG);
    EXPECT_EQ(fixed.SetCount(9), E_INVALIDARG);
    EXPECT_EQ(Array<char>().GetMaxCount(), 2147483647u);
}

}  // namespace
}  // namespace QV
