#include "ArrayUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Array.h"
#include "ArrayBuffer.h"
#include "RCPtrArray.h"
#include "TestObjects.h"

namespace QV {
namespace {

struct Item {
    int key;
    int order;  // position before sorting
};

int ByKey(const Item& a, const Item& b) { return a.key - b.key; }

TEST(ArrayUtilsTest, SortIsStable)
{
    struct Case {
        std::vector<int> keys;
        uint32_t start;
        uint32_t count;
        std::vector<std::pair<int, int>> sorted;  // {key, order}
    };
    const Case cases[] = {
        {{3, 1, 3, 1, 2}, 0, 5, {{1, 1}, {1, 3}, {2, 4}, {3, 0}, {3, 2}}},
        {{5, 4, 3, 2, 1}, 1, 3, {{5, 0}, {2, 3}, {3, 2}, {4, 1}, {1, 4}}},
        {{2, 1}, 0, 1, {{2, 0}, {1, 1}}},
        {{}, 0, 0, {}},
    };
    for (const Case& c : cases) {
        ArrayBuffer<Item> array;
        for (size_t i = 0; i < c.keys.size(); ++i) EXPECT_GE(array.AddItem({c.keys[i], static_cast<int>(i)}), 0);
        ArrayUtils::Sort(array, c.start, c.count, ByKey);
        std::vector<std::pair<int, int>> got;
        for (const Item& it : array) got.emplace_back(it.key, it.order);
        EXPECT_EQ(got, c.sorted);
    }
}

TEST(ArrayUtilsTest, SortMovesCountedPointersWithoutCountChanges)
{
    RCPtr<LZone> z1(new LZone(1)), z2(new LZone(2)), z3(new LZone(3));
    RCPtrArray<LZone> array;
    for (auto* z : {&z3, &z1, &z2}) EXPECT_GE(array.AddItem(*z), 0);
    ArrayUtils::Sort(array, 0, 3, [](const ConstRCPtr<LZone>& a, const ConstRCPtr<LZone>& b) {
        return a->id - b->id;
    });
    EXPECT_EQ(array.GetItemPtr(0)->Get(), z1.Get());
    EXPECT_EQ(array.GetItemPtr(2)->Get(), z3.Get());
    EXPECT_EQ(z1->GetRefCount(), 2);
}

TEST(ArrayUtilsTest, SortIndeciesLeavesTheArrayAlone)
{
    Array<Item> array;
    for (int k : {9, 4, 7, 4}) EXPECT_GE(array.AddItem({k, 0}), 0);
    Array<uint32_t> indices;
    ArrayUtils::SortIndecies(indices, array, 0, 4, ByKey);
    EXPECT_EQ(std::vector<uint32_t>(indices.GetFirst(), indices.GetEnd()),
              (std::vector<uint32_t>{1, 3, 2, 0}));
    ArrayUtils::SortIndecies(indices, array, 2, 1, ByKey);
    EXPECT_EQ(std::vector<uint32_t>(indices.GetFirst(), indices.GetEnd()), (std::vector<uint32_t>{2}));
}

TEST(ArrayUtilsTest, RangesPastTheEndRaise)
{
    Array<Item> array;
    EXPECT_GE(array.AddItem({1, 0}), 0);
    EXPECT_GE(array.AddItem({2, 0}), 0);
    Array<uint32_t> indices;
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { ArrayUtils::Sort(array, 1, 2, ByKey); },
         "Out of Range : QV::ArrayUtils::Sort : Utilities\\Storage\\ArrayUtils : Line 254"},
        {[&] { ArrayUtils::SortIndecies(indices, array, 2, 1, ByKey); },
         "Out of Range : QV::ArrayUtils::SortIndecies : Utilities\\Storage\\ArrayUtils : Line 266"},
    };
    for (const auto& [run, message] : cases) {
        try {
            run();
            ADD_FAILURE() << "no error for " << message;
        } catch (const std::out_of_range& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
    // Fewer than two elements are left alone, wherever they lie.
    EXPECT_NO_THROW(ArrayUtils::Sort(array, 5, 1, ByKey));
}

}  // namespace
}  // namespace QV
