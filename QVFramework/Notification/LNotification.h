#pragma once
// A named event with one optional payload object. Released notifications go
// back to a process-wide recycle pool while recycling is switched on.
#include <atomic>
#include <vector>

#include "NotificationNameTable.h"
#include "RCPtr.h"
#include "RefCountedObject.h"

namespace QV {

// On a line of its own: a notification passes between the posting and the
// draining thread, and one that straddled two lines would cost two transfers.
class alignas(64) LNotification : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LNotification")
public:
    // Null for a null or empty name. Taken from the pool while recycling is on.
    static RCPtr<LNotification> Create(const char16_t* nameOrId,
                                       const RCPtr<LRefCountedObject>& payload = nullptr);
    // Always a new object; null for a null or empty name.
    static RCPtr<LNotification> NewNotification(const char16_t* nameOrId,
                                                const RCPtr<LRefCountedObject>& payload = nullptr);
    // Switching off empties the pool.
    static void EnableRecycling(bool on);
    static bool IsRecyclingEnabled();
    static uint32_t GetPoolCount();
    // Releases every notification of the batch and empties it; the ones held
    // only by the batch go to the pool under one lock, as Release would put
    // them there one by one.
    static void ReleaseAll(std::vector<RCPtr<LNotification>>& batch);

    ~LNotification() override;

    int32_t Release() const override;
    // Drops the payload unless queued; pools this object while recycling is on.
    void ReturnToPool();

    NotificationID GetID() const { return mID; }
    RCPtr<LRefCountedObject> GetPayload() const { return mPayload; }

    bool IsQueued() const { return mQueued.load(std::memory_order_acquire); }
    // For notification queues: false when it was marked already.
    bool MarkQueued() { return !mQueued.exchange(true, std::memory_order_acq_rel); }
    void ClearQueued() { mQueued.store(false, std::memory_order_release); }

private:
    LNotification(NotificationID id, const RCPtr<LRefCountedObject>& payload);

    NotificationID mID;
    RCPtr<LRefCountedObject> mPayload;
    std::atomic<bool> mQueued{false};
    mutable std::atomic<bool> mReturning{false};
};

}  // namespace QV
