#include "LNotification.h"

#include <utility>
#include <vector>

namespace QV {

namespace {

// Never destroyed, like the name table: pooled notifications may be released
// by other static objects during process exit. Guarded by GetNotificationLock().
struct RecyclePool {
    bool enabled = false;
    // Keeps its largest block: once a burst has been pooled, taking and
    // returning notifications allocates nothing, whatever the burst size.
    std::vector<RCPtr<LNotification>> items;
};

RecyclePool& Pool()
{
    static auto* pool = new RecyclePool();
    return *pool;
}

}  // namespace

LNotification::LNotification(NotificationID id, const RCPtr<LRefCountedObject>& payload) : mID(id), mPayload(payload) {}

LNotification::~LNotification() = default;

RCPtr<LNotification> LNotification::NewNotification(const char16_t* nameOrId, const RCPtr<LRefCountedObject>& payload)
{
    const NotificationID id = NotificationNameTable::GetNotificationID(nameOrId);
    if (id == nullptr) return nullptr;
    return RCPtr<LNotification>(new LNotification(id, payload));
}

RCPtr<LNotification> LNotification::Create(const char16_t* nameOrId, const RCPtr<LRefCountedObject>& payload)
{
    // Checked first so a pooled notification never leaves with a stale id.
    if (nameOrId == nullptr || *nameOrId == u'\0') return nullptr;

    RCPtr<LNotification> result;
    NotificationID id;
    {
        // One lock for the name and the pool.
        Mutex::Lock lock(GetNotificationLock());
        id = NotificationNameTable::GetNotificationIDLocked(nameOrId);
        RecyclePool& pool = Pool();
        if (pool.enabled && !pool.items.empty()) {
            result = std::move(pool.items.back());
            pool.items.pop_back();
        }
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
    if (pool.enabled) pool.items.emplace_back(this);
}

void LNotification::ReleaseAll(std::vector<RCPtr<LNotification>>& batch)
{
    // Held by the batch alone, an object cannot gain a reference elsewhere,
    // so it may go to the pool without passing through Release.
    size_t kept = 0;
    for (size_t i = 0; i < batch.size(); ++i) {
        RCPtr<LNotification>& n = batch[i];
        if (n && n->GetRefCount() == 1 && !n->IsQueued()) {
            // Dropped here, outside the lock, like Release drops it. Left
            // unwritten when empty: the next poster takes the line back sooner.
            if (n->mPayload) {
                const RCPtr<LRefCountedObject> payload = std::move(n->mPayload);
                n->mPayload = nullptr;
            }
            if (kept != i) batch[kept] = std::move(n);
            ++kept;
        } else {
            n.Reset();
        }
    }
    {
        Mutex::Lock lock(GetNotificationLock());
        RecyclePool& pool = Pool();
        if (pool.enabled) {
            for (size_t i = 0; i < kept; ++i) pool.items.push_back(std::move(batch[i]));
        }
    }
    // Whatever recycling refused is released outside the lock.
    batch.clear();
}

void LNotification::EnableRecycling(bool on)
{
    // Released after the lock is left: each release finds recycling off and
    // destroys the notification, with any payload a queued one kept.
    std::vector<RCPtr<LNotification>> dropped;
    Mutex::Lock lock(GetNotificationLock());
    RecyclePool& pool = Pool();
    pool.enabled = on;
    if (!on) dropped.swap(pool.items);
}

bool LNotification::IsRecyclingEnabled()
{
    Mutex::Lock lock(GetNotificationLock());
    return Pool().enabled;
}

uint32_t LNotification::GetPoolCount()
{
    Mutex::Lock lock(GetNotificationLock());
    return static_cast<uint32_t>(Pool().items.size());
}

}  // namespace QV
