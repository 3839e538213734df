#include "PurgableObjectCache.h"

#include <gtest/gtest.h>

#include <vector>

#include "TestObjects.h"

namespace QV {
namespace {

using Cache = PurgableObjectCache<LZone, int32_t, int32_t>;

// Gets key's slot and fills it when empty, as a renderer does.
LZone* Use(Cache& cache, int32_t key, bool reset = false)
{
    RCPtr<LZone>& slot = cache.GetEntry(key, reset);
    if (slot.IsNull()) slot = new LZone(key);
    return slot.Get();
}

std::vector<int32_t> Keys(const Cache& cache)
{
    std::vector<int32_t> keys;
    for (int32_t i = 0; i < cache.GetCapacity(); ++i) keys.push_back(cache.GetEntryAt(i).GetKey());
    return keys;
}

TEST(PurgableObjectCacheTest, FillsEntriesInOrderThenEvictsTheOldest)
{
    Cache cache(3);
    LZone* first = Use(cache, 0x10);
    Use(cache, 0x20);
    Use(cache, 0x30);
    EXPECT_EQ(Use(cache, 0x10), first);  // found again, not rebuilt
    Use(cache, 0x40);                    // 0x20 is now the oldest
    EXPECT_EQ(Keys(cache), (std::vector<int32_t>{0x10, 0x40, 0x30}));
    Use(cache, 0x50);
    EXPECT_EQ(Keys(cache), (std::vector<int32_t>{0x10, 0x40, 0x50}));
}

TEST(PurgableObjectCacheTest, AgeOutweighsUseCount)
{
    Cache cache(2);
    Use(cache, 1);
    Use(cache, 1);
    Use(cache, 2);
    Use(cache, 3);  // 1 is older: evicted despite its higher use count
    EXPECT_EQ(Keys(cache), (std::vector<int32_t>{3, 2}));
    EXPECT_EQ(cache.GetEntryAt(0).GetUseCount(), 1u);
}

TEST(PurgableObjectCacheTest, EmptiedEntryIsTakenBeforeTheOldest)
{
    Cache cache(3);
    Use(cache, 1);
    Use(cache, 2);
    Use(cache, 3);
    EXPECT_EQ(cache.Remove(3), 0);
    EXPECT_EQ(cache.Remove(9), 1);
    Use(cache, 4);  // takes 3's entry, not 1's (the oldest)
    EXPECT_EQ(Keys(cache), (std::vector<int32_t>{1, 2, 4}));
    Use(cache, 2);
    Use(cache, 4);
    // Stamps now: key 1 at 1, key 2 at 5, key 4 at 6.
    EXPECT_EQ(cache.Purge(5), 1);
    Use(cache, 5);
    EXPECT_EQ(Keys(cache), (std::vector<int32_t>{5, 2, 4}));
}

TEST(PurgableObjectCacheTest, ResetDropsTheObjectAndTheUseCount)
{
    Cache cache(2);
    LZone* first = Use(cache, 7);
    RCPtr<LZone> keep(first);
    Use(cache, 7);
    EXPECT_EQ(cache.GetEntryAt(0).GetUseCount(), 2u);
    EXPECT_NE(Use(cache, 7, true), first);
    EXPECT_EQ(cache.GetEntryAt(0).GetUseCount(), 1u);
    EXPECT_EQ(keep->GetRefCount(), 1);
}

TEST(PurgableObjectCacheTest, PurgeCountsEntriesThatNeverHeldAnObject)
{
    Cache cache(4);
    Use(cache, 1);
    Use(cache, 2);
    // Entries 2 and 3 were never used: stamp 0 lies before mark 2.
    EXPECT_EQ(cache.Purge(2), 3);
    EXPECT_EQ(cache.Purge(0), 0);
}

TEST(PurgableObjectCacheTest, DestroyingTheCacheReleasesItsObjects)
{
    RCPtr<LZone> kept;
    {
        Cache cache(2);
        kept = Use(cache, 1);
        EXPECT_EQ(kept->GetRefCount(), 2);
    }
    EXPECT_EQ(kept->GetRefCount(), 1);
}

}  // namespace
}  // namespace QV
