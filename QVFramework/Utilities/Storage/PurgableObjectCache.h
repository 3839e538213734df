#pragma once
// A fixed number of cached objects T made from sources Src, found by key.
// A new key takes an unused entry, then the first entry without an object,
// then the least recently used one. Purge drops what was not used since a
// mark.
#include <cstdint>
#include <memory>

#include "HashedList.h"
#include "PurgableCacheEntry.h"

namespace QV {

template <class T, class Src, class K, class KeyOf = GetSelf<K>, int B = 8,
          class Hash = GetBits<B, 4, K>>
class PurgableObjectCache {
public:
    using Entry = PurgableCacheEntry<T, K>;

    // The key of an entry, for the index.
    struct GetEntryID {
        K operator()(Entry* const& entry) const { return entry->GetKey(); }
    };

    explicit PurgableObjectCache(int32_t capacity)
        : mCapacity(capacity > 0 ? capacity : 1), mEntries(new Entry[mCapacity])
    {
    }
    PurgableObjectCache(const PurgableObjectCache&) = delete;
    PurgableObjectCache& operator=(const PurgableObjectCache&) = delete;
    virtual ~PurgableObjectCache() = default;

    // The key under which a source is cached.
    static K KeyOfSource(const Src& source) { return KeyOf{}(source); }

    // The object slot of key's entry; the caller fills it when it is null.
    RCPtr<T>& GetEntry(const K& key, bool reset)
    {
        Entry* entry = nullptr;
        if (Entry** found = mIndex.Find(key)) {
            entry = *found;
            if (reset) entry->Reset();
        } else {
            entry = TakeEntry();
            entry->Reset();
            entry->SetKey(key);
            mIndex.Add(entry);
        }
        entry->MarkUsed(++mUseCounter);
        return entry->GetObject();
    }

    // 1 when key has no entry; else the entry loses its object (its key
    // stays indexed) and the result is 0.
    int32_t Remove(const K& key)
    {
        Entry** found = mIndex.Find(key);
        if (!found) return kNothingToDo;
        (*found)->Reset();
        return 0;
    }

    // Drops every entry last used before mark; answers how many.
    int32_t Purge(uint32_t mark)
    {
        int32_t purged = 0;
        for (int32_t i = 0; i < mCapacity; ++i) {
            Entry& entry = mEntries[i];
            if (static_cast<int32_t>(entry.GetStamp() - mark) < 0) {
                entry.Reset();
                ++purged;
            }
        }
        return purged;
    }

    int32_t GetCapacity() const { return mCapacity; }
    uint32_t GetUseCounter() const { return mUseCounter; }
    uint32_t GetPurgeMark() const { return mPurgeMark; }
    void SetPurgeMark(uint32_t mark) { mPurgeMark = mark; }
    const Entry& GetEntryAt(int32_t index) const { return mEntries[index]; }

private:
    // An entry for a new key: leaves the index under its old key when reused.
    Entry* TakeEntry()
    {
        const int32_t inUse = mIndex.GetCount();
        if (inUse < mCapacity) return &mEntries[inUse];
        Entry* victim = nullptr;
        for (int32_t i = 0; i < mCapacity && !victim; ++i)
            if (mEntries[i].IsEmpty()) victim = &mEntries[i];
        if (!victim) {
            victim = &mEntries[0];
            for (int32_t i = 1; i < mCapacity; ++i) {
                Entry& e = mEntries[i];
                const uint32_t age = mUseCounter - e.GetStamp();
                const uint32_t victimAge = mUseCounter - victim->GetStamp();
                if (age > victimAge || (age == victimAge && e.GetUseCount() < victim->GetUseCount()))
                    victim = &e;
            }
        }
        mIndex.Remove(victim->GetKey());
        return victim;
    }

    int32_t mCapacity;
    uint32_t mUseCounter = 0;
    uint32_t mPurgeMark = 0;
    // Declared before the entries, so the entries are destroyed first.
    HashedList<Entry*, K, GetEntryID, B, Hash> mIndex;
    std::unique_ptr<Entry[]> mEntries;
};

}  // namespace QV
