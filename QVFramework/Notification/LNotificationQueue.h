#pragma once
// Takes notifications from any thread and delivers them later, on the thread
// that drains it (the UI thread), through its distributor.
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "LNotificationDistributor.h"
#include "RCPtrQueue.h"

namespace QV {

class LNotificationQueue : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LNotificationQueue")
public:
    class LPostingReceiver;

    LNotificationQueue();
    ~LNotificationQueue() override;

    // 0; E_FAIL when a distributor is set already or the queue is shut down.
    // A queue that distributes its own notifications counts that reference
    // as internal.
    [[nodiscard]] QVResult SetDistributor(const RCPtr<LNotificationDistributor>& distributor);
    RCPtr<LNotificationDistributor> GetDistributor() const;

    // Any thread. 0 queued; E_INVALIDARG for a null or already queued
    // notification; E_FAIL without a distributor.
    [[nodiscard]] QVResult PostNotification(const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult PostNamedNotification(const char16_t* nameOrId,
                                                 const RCPtr<LRefCountedObject>& payload = nullptr);

    // Wakes the loop that drains this queue. Called on the posting thread,
    // after the enqueue and outside the queue lock; at most once until the
    // next drain begins, so a burst of posts costs one wake.
    using WakeHook = std::function<void()>;
    void SetWakeHook(WakeHook hook);

    // Delivers what was queued at entry, then "NID_IDLE" when asked; true
    // when notifications are still queued.
    bool ProcessNotifications(bool sendIdle);
    // Drops every queued notification undelivered; true when some remain.
    bool Clear();
    // Empties the queue and cuts it off from its distributor and its posting receiver.
    void Shutdown();

    uint32_t GetQueuedCount() const;
    uint32_t GetRingSlotCount() const { return mRing.GetSlotCount(); }
    // Registered with a distributor, turns its deliveries into posts here.
    RCPtr<LPostingReceiver> GetPostingReceiver() const;

    QVResult ReleaseInternalReferences() override;

private:
    // Takes over the caller's reference: a post moves no count.
    [[nodiscard]] QVResult Post(RCPtr<LNotification>&& notification);
    // Caller holds the queue lock. The hook to call once the lock is left,
    // when this post is the one that wakes.
    std::shared_ptr<const WakeHook> EnqueueLocked(RCPtr<LNotification>&& notification);
    // Caller holds the queue lock and the busy flag; the number taken out.
    uint32_t TakeOutLocked();
    bool Dequeue(RCPtr<LNotification>& notification);
    void ClearWakePending();

    // Hands the ring the process-wide queue lock.
    struct RingLock {
        void lock() { GetNotificationQueueLock().Enter(); }
        void unlock() { GetNotificationQueueLock().Leave(); }
    };
    static RingLock sRingLock;

    static constexpr uint32_t kRingSlots = 256;
    // Posters and the drainer write on separate cache lines, so a post does
    // not pull in the line the drainer has just written, nor the reverse.
    static constexpr size_t kLine = 64;

    // Posting side: changed under the queue lock.
    // One slot always stays free: 255 fit before the ring first grows.
    alignas(kLine) RCPtrQueue<LNotification, kRingSlots, RingLock> mRing{kRingSlots, &sRingLock};
    // Queued in the ring; written under the queue lock with the ring, read
    // without it.
    std::atomic<uint32_t> mInRing{0};
    // Set by the post that wakes, cleared when a drain begins: a post that
    // lands after the drain counted the ring wakes again.
    std::atomic<bool> mWakePending{false};
    RCPtr<LNotificationDistributor> mDistributor;
    // Read under the queue lock; shared so a poster may call it unlocked
    // while the hook is being replaced.
    std::shared_ptr<const WakeHook> mWakeHook;

    // Draining side: the UI thread.
    alignas(kLine) std::atomic<bool> mBusy{false};
    // Counts Clear calls, so a drain notices one made by a receiver.
    std::atomic<uint32_t> mClears{0};
    // Taken out by the running pass and not yet delivered: still queued.
    std::atomic<uint32_t> mTakenOut{0};
    // The pass's take-out, kept between passes so it allocates only when a
    // pass is longer than any before.
    std::vector<RCPtr<LNotification>> mBatch;

    // Seldom changed.
    alignas(kLine) bool mDistributorIsSelf = false;
    bool mShutDown = false;
    // Made before the posting receiver, which already holds this queue.
    RCPtr<LNotification> mIdleNotification;
    RCPtr<LPostingReceiver> mPostingReceiver;
};

}  // namespace QV

#include "LPostingReceiver.h"
