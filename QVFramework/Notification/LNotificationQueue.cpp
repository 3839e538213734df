#include "LNotificationQueue.h"

#include <optional>
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
    return mInRing.load(std::memory_order_seq_cst) + mTakenOut.load(std::memory_order_acquire);
}

QVResult LNotificationQueue::PostNotification(const RCPtr<LNotification>& notification)
{
    return Post(RCPtr<LNotification>(notification));
}

QVResult LNotificationQueue::PostNamedNotification(const char16_t* nameOrId, const RCPtr<LRefCountedObject>& payload)
{
    return Post(LNotification::Create(nameOrId, payload));
}

QVResult LNotificationQueue::Post(RCPtr<LNotification>&& notification)
{
    // A refused notification is released when the caller's expression ends,
    // outside the queue lock: it may be the last reference.
    if (!notification || notification->IsQueued()) return E_INVALIDARG;
    std::shared_ptr<const WakeHook> hook;
    RCPtr<LNotificationDistributor> pendingMarker;
    {
        Mutex::Lock lock(GetNotificationQueueLock());
        if (!mDistributor) return E_FAIL;
        if (!notification->MarkQueued()) return E_INVALIDARG;
        if (mDistributor->HadPendingOnlyClient()) {
            pendingMarker = mDistributor;
        } else {
            hook = EnqueueLocked(std::move(notification));
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
        hook = EnqueueLocked(std::move(notification));
    }
    if (hook) (*hook)();
    return S_OK;
}

std::shared_ptr<const LNotificationQueue::WakeHook> LNotificationQueue::EnqueueLocked(
    RCPtr<LNotification>&& notification)
{
    (void)mRing.Enqueue(std::move(notification));  // the ring grows rather than refuse
    // Only ever written under the queue lock: no read-modify-write needed.
    const uint32_t inRing = mInRing.load(std::memory_order_relaxed) + 1;
    if (!mWakeHook) {
        mInRing.store(inRing, std::memory_order_release);
        return nullptr;
    }
    // Both in one total order with the drainer's clear of the flag and its
    // count, so a drain that clears the flag after this read finds the post.
    mInRing.store(inRing, std::memory_order_seq_cst);
    // Read before it is exchanged: a burst meets a set flag and writes nothing.
    if (mWakePending.load(std::memory_order_seq_cst) || mWakePending.exchange(true, std::memory_order_seq_cst))
        return nullptr;
    return mWakeHook;
}

void LNotificationQueue::SetWakeHook(WakeHook hook)
{
    auto shared = hook ? std::make_shared<const WakeHook>(std::move(hook)) : nullptr;
    Mutex::Lock lock(GetNotificationQueueLock());
    mWakeHook = std::move(shared);
}

void LNotificationQueue::ClearWakePending()
{
    // A clear flag is left unwritten, so a polling drainer does not take the
    // line from the posters; a set one is cleared before the ring is counted.
    if (mWakePending.load(std::memory_order_relaxed)) mWakePending.exchange(false, std::memory_order_seq_cst);
}

uint32_t LNotificationQueue::TakeOutLocked()
{
    const uint32_t taken = mRing.DequeueUpTo(UINT32_MAX, mBatch);
    // Counted as taken out before they leave the ring's count, so the queue
    // never looks empty on the way.
    mTakenOut.store(taken, std::memory_order_release);
    mInRing.store(mInRing.load(std::memory_order_relaxed) - taken, std::memory_order_release);
    return taken;
}

bool LNotificationQueue::Dequeue(RCPtr<LNotification>& notification)
{
    Mutex::Lock lock(GetNotificationQueueLock());
    if (mRing.GetCount() == 0) return false;
    mRing.Dequeue(notification);
    mInRing.store(mInRing.load(std::memory_order_relaxed) - 1, std::memory_order_release);
    return true;
}

bool LNotificationQueue::ProcessNotifications(bool sendIdle)
{
    UIThread::AssertCurrent("QV::LNotificationQueue::ProcessNotifications");
    // An empty queue costs a loop that polls it no lock at all. The wake
    // flag is cleared first, as a pass clears it, so no later post goes
    // without a wake.
    if (!sendIdle) {
        ClearWakePending();
        if (GetQueuedCount() == 0) return false;
    }
    bool expected = false;
    std::optional<BusyScope> busy;
    if (mBusy.compare_exchange_strong(expected, true)) {
        busy.emplace(mBusy);
        // Before the count is taken, so no later post goes without a wake.
        ClearWakePending();
    }
    // Posts made by receivers during this pass wait for the next one.
    const uint32_t clears = mClears.load(std::memory_order_acquire);
    RCPtr<LNotificationDistributor> distributor;
    uint32_t taken = 0;
    {
        // The distributor and the pass's take-out under one lock.
        Mutex::Lock lock(GetNotificationQueueLock());
        distributor = mDistributor;
        if (distributor && busy) taken = TakeOutLocked();
    }
    if (!distributor) return GetQueuedCount() > 0;

    if (busy) {
        // Pools are never removed, so one found stays valid for the pass;
        // the distributor held above is the sender of every delivery.
        NotificationID poolID = nullptr;
        RCPtr<LNotificationDistributor::LNotificationClientPool> pool;
        // Emptied however the pass ends, so nothing taken out is seen twice.
        struct BatchScope {
            std::vector<RCPtr<LNotification>>& batch;
            std::atomic<uint32_t>& takenOut;
            uint32_t delivered = 0;
            ~BatchScope()
            {
                takenOut.store(0, std::memory_order_release);
                for (size_t i = delivered; i < batch.size(); ++i) batch[i]->ClearQueued();
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
            batchScope.delivered = i + 1;
        }
    }
    busy.reset();
    // Read again: a receiver may have shut the queue down during the pass.
    if (sendIdle) {
        if (const RCPtr<LNotificationDistributor> current = GetDistributor()) {
            current->SendNotification(mIdleNotification);
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
