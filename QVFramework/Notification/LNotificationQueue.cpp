#include "LNotificationQueue.h"

#include <utility>

#include "LNotificationClientPool.h"
#include "UIThread.h"

namespace QV {

namespace {

// Clears the busy flag also when a receiver throws.
class BusyScope {
public:
    explicit BusyScope(std::atomic<bool>& busy) : mBusy(busy) {}
    ~BusyScope() { mBusy.store(false, std::memory_order_release); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    std::atomic<bool>& mBusy;
};

}  // namespace

LNotificationQueue::RingLock LNotificationQueue::sRingLock;

LNotificationQueue::LNotificationQueue()
    : mIdleNotification(LNotification::Create(u"NID_IDLE")), mPostingReceiver(new LPostingReceiver(this))
{
    // The posting receiver's reference to this queue.
    AddInternalReference();
}

LNotificationQueue::~LNotificationQueue()
{
    Clear();
}

QVResult LNotificationQueue::SetDistributor(const RCPtr<LNotificationDistributor>& distributor)
{
    Mutex::Lock lock(GetNotificationQueueLock());
    if (mShutDown || mDistributor) return E_FAIL;
    if (!distributor) return S_OK;
    mDistributor = distributor;
    mDistributorIsSelf =
        static_cast<const LRefCountedObject*>(distributor.Get()) == static_cast<const LRefCountedObject*>(this);
    if (mDistributorIsSelf) AddInternalReference();
    return S_OK;
}

RCPtr<LNotificationDistributor> LNotificationQueue::GetDistributor() const
{
    Mutex::Lock lock(GetNotificationQueueLock());
    return mDistributor;
}

RCPtr<LNotificationQueue::LPostingReceiver> LNotificationQueue::GetPostingReceiver() const
{
    Mutex::Lock lock(GetNotificationQueueLock());
    return mPostingReceiver;
}

uint32_t LNotificationQueue::GetQueuedCount() const
{
    return mInRing.load(std::memory_order_acquire) + mTakenOut.load(std::memory_order_acquire);
}

QVResult LNotificationQueue::PostNotification(const RCPtr<LNotification>& notification)
{
    if (!notification || notification->IsQueued()) return E_INVALIDARG;
    RCPtr<LNotificationDistributor> pendingMarker;
    std::shared_ptr<const WakeHook> hook;
    {
        Mutex::Lock lock(GetNotificationQueueLock());
        if (!mDistributor) return E_FAIL;
        if (!notification->MarkQueued()) return E_INVALIDARG;
        if (mDistributor->HadPendingOnlyClient()) {
            pendingMarker = mDistributor;
        } else {
            (void)mRing.Enqueue(notification);  // the ring grows; it never refuses
            mInRing.fetch_add(1, std::memory_order_acq_rel);
            hook = mWakeHook;
        }
    }
    if (pendingMarker) {
        // Marked outside the queue lock, which the distributor takes after its own.
        pendingMarker->MarkPending(notification);
        Mutex::Lock lock(GetNotificationQueueLock());
        if (!mDistributor) {
            // Shut down meanwhile.
            notification->ClearQueued();
            return E_FAIL;
        }
        (void)mRing.Enqueue(notification);  // the ring grows; it never refuses
        mInRing.fetch_add(1, std::memory_order_acq_rel);
        hook = mWakeHook;
    }
    Wake(hook);
    return S_OK;
}

QVResult LNotificationQueue::PostNamedNotification(const char16_t* nameOrId, const RCPtr<LRefCountedObject>& payload)
{
    return PostNotification(LNotification::Create(nameOrId, payload));
}

void LNotificationQueue::SetWakeHook(WakeHook hook)
{
    auto shared = hook ? std::make_shared<const WakeHook>(std::move(hook)) : nullptr;
    Mutex::Lock lock(GetNotificationQueueLock());
    mWakeHook = std::move(shared);
}

void LNotificationQueue::Wake(const std::shared_ptr<const WakeHook>& hook)
{
    if (hook && !mWakePending.exchange(true, std::memory_order_acq_rel)) (*hook)();
}

bool LNotificationQueue::Dequeue(RCPtr<LNotification>& notification)
{
    // This thread is the only consumer: a count above 0 stays so.
    if (mRing.GetCount() == 0) return false;
    mRing.Dequeue(notification);
    mInRing.fetch_sub(1, std::memory_order_acq_rel);
    return true;
}

bool LNotificationQueue::ProcessNotifications(bool sendIdle)
{
    UIThread::AssertCurrent("QV::LNotificationQueue::ProcessNotifications");
    // An empty queue costs a loop that polls it no lock at all. The wake
    // flag is cleared first, as a pass clears it, so no later post goes
    // without a wake.
    if (!sendIdle) {
        mWakePending.store(false, std::memory_order_release);
        if (GetQueuedCount() == 0) return false;
    }
    const RCPtr<LNotificationDistributor> distributor = GetDistributor();
    if (!distributor) return GetQueuedCount() > 0;

    bool expected = false;
    if (mBusy.compare_exchange_strong(expected, true)) {
        BusyScope busy(mBusy);
        // Before the count is taken, so no later post goes without a wake.
        mWakePending.store(false, std::memory_order_release);
        // Posts made by receivers during this pass wait for the next one.
        const uint32_t clears = mClears.load(std::memory_order_acquire);
        // Pools are never removed, so one found stays valid for the pass;
        // the distributor held above is the sender of every delivery.
        NotificationID poolID = nullptr;
        RCPtr<LNotificationDistributor::LNotificationClientPool> pool;
        // One take-out for the pass, so posters meet the lock once, not per item.
        const uint32_t taken = mRing.DequeueUpTo(UINT32_MAX, mBatch);
        mTakenOut.store(taken, std::memory_order_release);
        mInRing.fetch_sub(taken, std::memory_order_acq_rel);
        // Emptied however the pass ends, so nothing taken out is seen twice.
        struct BatchScope {
            std::vector<RCPtr<LNotification>>& batch;
            std::atomic<uint32_t>& takenOut;
            ~BatchScope()
            {
                takenOut.store(0, std::memory_order_release);
                for (const RCPtr<LNotification>& n : batch) n->ClearQueued();
                LNotification::ReleaseAll(batch);
            }
        } batchScope{mBatch, mTakenOut};
        for (uint32_t i = 0; i < taken; ++i) {
            // A receiver that cleared the queue ends the pass; what was taken
            // out with the rest is dropped with it.
            if (mClears.load(std::memory_order_acquire) != clears) break;
            const RCPtr<LNotification>& notification = mBatch[i];
            // The rest still count as queued for a nested loop that asks.
            mTakenOut.store(taken - i - 1, std::memory_order_release);
            if (!pool || poolID != notification->GetID()) {
                poolID = notification->GetID();
                pool = distributor->FindClientPool(poolID);
            }
            if (pool)
                (void)pool->NotifyAllClients(distributor, notification);  // a refusing client is no fault of the queue
            notification->ClearQueued();
        }
    }
    // Read again: a receiver may have shut the queue down during the pass.
    if (sendIdle) {
        if (const RCPtr<LNotificationDistributor> current = GetDistributor()) {
            (void)current->SendNotification(mIdleNotification);  // no subscriber is no fault
        }
    }
    return GetQueuedCount() > 0;
}

bool LNotificationQueue::Clear()
{
    mClears.fetch_add(1, std::memory_order_acq_rel);
    // A running pass drops what it took out once it sees the clear.
    mTakenOut.store(0, std::memory_order_release);
    for (uint32_t count = GetQueuedCount(); count > 0; --count) {
        RCPtr<LNotification> notification;
        if (!Dequeue(notification)) break;
        notification->ClearQueued();
    }
    return GetQueuedCount() > 0;
}

void LNotificationQueue::Shutdown()
{
    Clear();
    RCPtr<LNotificationDistributor> distributor;
    RCPtr<LPostingReceiver> receiver;
    bool distributorWasSelf = false;
    std::shared_ptr<const WakeHook> hook;
    {
        Mutex::Lock lock(GetNotificationQueueLock());
        hook = std::move(mWakeHook);
        mShutDown = true;
        distributor = std::move(mDistributor);
        mDistributor = nullptr;
        distributorWasSelf = std::exchange(mDistributorIsSelf, false);
        receiver = std::move(mPostingReceiver);
        mPostingReceiver = nullptr;
    }
    RCPtr<LNotificationQueue> receiverReference;
    if (receiver) {
        RemoveInternalReference();
        receiverReference = receiver->Detach();
    }
    if (distributorWasSelf) RemoveInternalReference();
    receiverReference.Reset();
    distributor.Reset();
}

QVResult LNotificationQueue::ReleaseInternalReferences()
{
    // The last outside reference is going: nothing can drain this queue any more.
    Shutdown();
    return HeldOnlyByCaller();
}

}  // namespace QV
