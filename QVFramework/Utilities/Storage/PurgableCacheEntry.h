#pragma once
// One slot of a PurgableObjectCache: a key, the cached object (null when
// none), the use-counter value of its last use and how often it was used.
#include <cstdint>

#include "RCPtr.h"

namespace QV {

template <class T, class K>
class PurgableCacheEntry {
public:
    PurgableCacheEntry() = default;
    PurgableCacheEntry(const PurgableCacheEntry&) = delete;
    PurgableCacheEntry& operator=(const PurgableCacheEntry&) = delete;
    virtual ~PurgableCacheEntry()
    {
        mObject.Reset();  // the object goes first, then the key
    }

    virtual bool IsEmpty() const { return mObject.IsNull(); }

    const K& GetKey() const { return mKey; }
    RCPtr<T>& GetObject() { return mObject; }
    uint32_t GetStamp() const { return mStamp; }
    uint32_t GetUseCount() const { return mUseCount; }

    // Drops the object and forgets its use.
    void Reset()
    {
        mObject.Reset();
        mStamp = 0;
        mUseCount = 0;
    }
    void SetKey(const K& key) { mKey = key; }
    void MarkUsed(uint32_t stamp)
    {
        if (mUseCount != UINT32_MAX) ++mUseCount;
        mStamp = stamp;
    }

private:
    K mKey{};
    RCPtr<T> mObject;
    uint32_t mStamp = 0;
    uint32_t mUseCount = 0;
};

}  // namespace QV
