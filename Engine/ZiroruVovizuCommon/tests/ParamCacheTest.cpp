#include <gtest/gtest.h>

#include <vector>

#include "LParamCache.h"
#include "PackedList.h"

namespace {

using QV::ParamDescriptor;
using QV::RCPtr;
using QV::Variant;

class RecordingCache : public LParamCache {
public:
    using LParamCache::LParamCache;
    std::vector<uint32_t> changedSlots;
    int32_t OnValueChanged(uint32_t index, const Variant& value) override
    {
        changedSlots.push_back(index);
        return LParamCache::OnValueChanged(index, value);
    }
};

ParamDescriptor Key(int32_t index, Variant sub = Variant()) { return ParamDescriptor{index, sub}; }

TEST(ParamCacheTest, WholeValueResults)
{
    RCPtr<RecordingCache> cache(new RecordingCache(15));
    struct Case {
        int32_t index;
        Variant value;
        bool notify;
        int32_t result;
    };
    const Case cases[] = {
        {15, Variant(int32_t{1}), true, -1},
        {-1, Variant(int32_t{1}), true, -1},
        {3, Variant(int32_t{7}), true, 0},
        {3, Variant(int32_t{7}), true, 1},
        {3, Variant(int32_t{8}), false, 0},
        {0, Variant(), true, 1},  // an empty slot already holds "empty"
        {14, Variant(true), true, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(cache->SetValue(Key(c.index), c.value, c.notify), c.result) << c.index;
    EXPECT_EQ(cache->changedSlots, (std::vector<uint32_t>{3, 14}));

    Variant out(int32_t{99});
    EXPECT_EQ(cache->GetValue(Key(3), out), 0);
    EXPECT_EQ(out.GetAsInt32(), 8);
    EXPECT_EQ(cache->GetValue(Key(15), out), -1);
    EXPECT_TRUE(out.IsEmpty());
    EXPECT_EQ(cache->OnValueChanged(0, out), QV::E_NOTIMPL);
}

TEST(ParamCacheTest, SubDescriptorEntriesStaySortedAndReplaceInPlace)
{
    RCPtr<LParamCache> cache(new LParamCache(15));
    EXPECT_EQ(cache->SetValue(Key(2, Variant(int32_t{30})), Variant(uint8_t{3}), false), 0);
    EXPECT_EQ(cache->SetValue(Key(2, Variant(int32_t{10})), Variant(uint8_t{1}), false), 0);
    EXPECT_EQ(cache->SetValue(Key(2, Variant(int32_t{20})), Variant(uint8_t{2}), false), 0);
    EXPECT_EQ(cache->SetValue(Key(2, Variant(int32_t{20})), Variant(uint8_t{2}), false), 1);
    EXPECT_EQ(cache->SetValue(Key(2, Variant(int32_t{20})), Variant(uint8_t{5}), false), 0);

    Variant slot;
    ASSERT_EQ(cache->GetValue(Key(2), slot), 0);
    ASSERT_EQ(PackedList::CountRecords(slot), 3u);
    const int32_t expectedSubs[] = {10, 20, 30};
    const uint8_t expectedValues[] = {1, 5, 3};
    for (uint32_t i = 0; i < 3; ++i) {
        QV::ParamValue entry;
        ASSERT_EQ(PackedList::ReadValue(slot, i, entry), 0);
        EXPECT_EQ(entry.descriptor.id, 2);
        EXPECT_EQ(entry.descriptor.subDescriptor.GetAsInt32(), expectedSubs[i]);
        EXPECT_EQ(entry.value.GetAsUInt8(), expectedValues[i]);
    }

    Variant out;
    EXPECT_EQ(cache->GetValue(Key(2, Variant(int32_t{20})), out), 0);
    EXPECT_EQ(out.GetAsUInt8(), 5);
    EXPECT_EQ(cache->GetValue(Key(2, Variant(int32_t{40})), out), 1);
    EXPECT_TRUE(out.IsEmpty());
}

TEST(ParamCacheTest, SubValueIntoAPlainSlotIsRefused)
{
    RCPtr<LParamCache> cache(new LParamCache(15));
    const uint8_t blob[] = {1, 2, 3};
    Variant plain;
    plain.SetBlob(blob, 3);
    ASSERT_EQ(cache->SetValue(Key(1), plain, false), 0);
    EXPECT_EQ(cache->SetValue(Key(1, Variant(int32_t{1})), Variant(true), false), -1);
    Variant out;
    EXPECT_EQ(cache->GetValue(Key(1), out), 0);
    EXPECT_TRUE(out == plain);  // unchanged
}

}  // namespace
