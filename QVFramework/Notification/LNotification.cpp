#include "LNotification.h"

#include <utility>

#include "RCPtrArray.h"

namespace QV {

namespace {

// Never destroyed, like the name table: pooled notifications may be released
// by other static objects during process exit. Guarded by GetNotificationLock().
struct RecyclePool {
    bool enabled = false;
    // Grows and shrinks in steps of 256: after a burst of posts the pool holds
    // thousands, and a step of one would copy the whole pool on every return.
    RCPtrArray<LNotification, 256, 256> items;
};

RecyclePool& Pool()
{
    static auto* pool = new RecyclePool();
    return *pool;
}

}  // namespace

LNotification::LNotification(NotificationID id, const RCPtr<LRefCountedObject>& payload)
    : mID(id), mPayload(payload)
{
}

LNotification::~LNotification() = default;

RCPtr<LNotification> LNotification::NewNotification(const char16_t* nameOrId,
                                                    const RCPtr<LRefCountedObject>& payload)
{
    const NotificationID id = NotificationNameTable::GetNotificationID(nameOrId);
    if (id == nullptr) return nullptr;
    return RCPtr<LNotification>(new LNotification(id, payload));
}

RCPtr<LNotification> LNotification::Create(const char16_t* nameOrId,
                                           const RCPtr<LRefCountedObject>& payload)
{
    // Checked first so a pooled notification never leaves with a stale id.
    if (nameOrId == nullptr || *nameOrId == u'\0') return nullptr;

    RCPtr<LNotification> result;
    NotificationID id;
    {
        // One lock for the name and the pool.
        Mutex::Lock lock(GetNotificationLock());
        id = NotificationNameTable::GetNotificationID(nameOrId);
        RecyclePool& pool = Pool();
        if (pool.enabled) pool.items.RemoveLastItem(result);
    }
    if (!result) return RCPtr<LNotification>(new LNotification(id, payload));
    // The object is ours alone now; an old payload kept because it was still
    // marked queued goes outside the lock.
    result->mID = id;
    result->ClearQueued();
    result->mReturning.store(false, std::memory_order_release);
    RCPtr<LRefCountedObject> old = std::exchange(result->mPayload, payload);
    return result;
}

int32_t LNotification::Release() const
{
    bool expected = false;
    if (GetRefCount() == 1 && mReturning.compare_exchange_strong(expected, true)) {
        const_cast<LNotification*>(this)->ReturnToPool();
        mReturning.store(false, std::memory_order_release);
    }
    return LRefCountedObject::Release();
}

void LNotification::ReturnToPool()
{
    if (!IsQueued()) {
        RCPtr<LRefCountedObject> old = std::move(mPayload);
        mPayload = nullptr;
    }
    Mutex::Lock lock(GetNotificationLock());
    RecyclePool& pool = Pool();
    if (pool.enabled) pool.items.AddItem(RCPtr<LNotification>(this));
}

void LNotification::EnableRecycling(bool on)
{
    // Released after the lock is left: each release finds recycling off and
    // destroys the notification, with any payload a queued one kept.
    RCPtrArray<LNotification, 256, 256> dropped;
    Mutex::Lock lock(GetNotificationLock());
    RecyclePool& pool = Pool();
    pool.enabled = on;
    while (!on && pool.items.GetCount() > 0) {
        RCPtr<LNotification> n;
        pool.items.RemoveLastItem(n);
        dropped.AddItem(n);
    }
}

bool LNotification::IsRecyclingEnabled()
{
    Mutex::Lock lock(GetNotificationLock());
    return Pool().enabled;
}

uint32_t LNotification::GetPoolCount()
{
    Mutex::Lock lock(GetNotificationLock());
    return Pool().items.GetCount();
}

}  // namespace QV
