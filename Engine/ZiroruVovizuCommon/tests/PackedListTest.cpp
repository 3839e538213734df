#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "PackedList.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Packed(const std::vector<QV::ParamValue>& values)
{
    const QV::ParamValues list = PackedList::PackValues(values);
    uint32_t size = 0;
    const uint8_t* data = list.GetData(size);
    return Bytes(data, data + size);
}

TEST(PackedListTest, EveryCountedValueCanBeRead)
{
    const Bytes two = Packed({{{3, QV::Variant()}, QV::Variant(int32_t{7})}, {{4, QV::Variant()}, QV::Variant(true)}});
    const auto with = [&](Bytes tail) {
        Bytes list = two;
        list.insert(list.end(), tail.begin(), tail.end());
        return list;
    };
    struct Case {
        const char* name;
        Bytes list;
        uint32_t count;
    };
    const Case cases[] = {
        {"two values", two, 2},
        {"a record running past the end ends the count", with({200, 0, 0, 0, 1, 0, 0, 0, 16, 0, 0, 0}), 2},
        {"a length below a header ends the count", with({4, 0, 0, 0, 1, 0, 0, 0, 16, 0, 0, 0}), 2},
        {"a negative length ends the count", with({0, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 16, 0, 0, 0}), 2},
        {"a damaged record hides the ones after it",
         [&] {
             Bytes first = Packed({{{3, QV::Variant()}, QV::Variant(int32_t{7})}});
             const Bytes damaged = {8, 0, 0, 0, 1, 0, 0, 0, 16, 0, 0, 0};
             first.insert(first.end(), damaged.begin(), damaged.end());
             const Bytes last = Packed({{{4, QV::Variant()}, QV::Variant(true)}});
             first.insert(first.end(), last.begin(), last.end());
             return first;
         }(),
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QV::Variant list;
        list.SetData(QV::Variant::kArray, c.list.data(), static_cast<uint32_t>(c.list.size()));
        ASSERT_EQ(PackedList::CountRecords(list), c.count);
        for (uint32_t i = 0; i < c.count; ++i) {
            QV::ParamValue value;
            EXPECT_EQ(PackedList::ReadValue(list, i, value), 0);
            EXPECT_EQ(value.descriptor.id, static_cast<int32_t>(3 + i));
        }
    }
}

}  // namespace
