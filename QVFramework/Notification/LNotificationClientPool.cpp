#include "LNotificationClientPool.h"

#include <utility>
#include <vector>

namespace QV {

// The pool's lock, which a delivery leaves while the receiver runs.
class LNotificationDistributor::LNotificationClientPool::HeldLock {
public:
    explicit HeldLock(Mutex& mutex) : mMutex(mutex) { mMutex.Enter(); }
    ~HeldLock()
    {
        if (mHeld) mMutex.Leave();
    }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

    void Leave()
    {
        mHeld = false;
        mMutex.Leave();
    }
    void Enter()
    {
        mMutex.Enter();
        mHeld = true;
    }
    bool IsHeld() const { return mHeld; }

private:
    Mutex& mMutex;
    bool mHeld = true;
};

// Links a walk's cursor into the pool for the walk's duration, also when a
// receiver throws. Made and ended under the walk's lock, which it then does
// not take again.
class LNotificationDistributor::LNotificationClientPool::CursorScope {
public:
    CursorScope(LNotificationClientPool& pool, int32_t index, HeldLock& lock)
        : mPool(pool), mLock(lock), mCursor{index, mPool.mCursors}
    {
        mPool.mCursors = &mCursor;
    }
    ~CursorScope()
    {
        // A receiver that threw left the lock.
        if (!mLock.IsHeld()) mLock.Enter();
        for (Cursor** link = &mPool.mCursors; *link != nullptr; link = &(*link)->next) {
            if (*link == &mCursor) {
                *link = mCursor.next;
                break;
            }
        }
    }
    CursorScope(const CursorScope&) = delete;
    CursorScope& operator=(const CursorScope&) = delete;

    int32_t& Index() { return mCursor.index; }

private:
    LNotificationClientPool& mPool;
    HeldLock& mLock;
    Cursor mCursor;
};

LNotificationDistributor::LNotificationClientPool::~LNotificationClientPool() = default;

uint32_t LNotificationDistributor::LNotificationClientPool::GetCombinedFlags() const
{
    Mutex::Lock lock(mLock);
    return mCombinedFlags;
}

uint32_t LNotificationDistributor::LNotificationClientPool::GetClientCount() const
{
    Mutex::Lock lock(mLock);
    return mClients.GetCount();
}

QVResult LNotificationDistributor::LNotificationClientPool::AddClient(LNotificationReceiver* client, uint32_t flags)
{
    Mutex::Lock lock(mLock);
    uint32_t combined = 0;
    bool found = false;
    for (uint32_t i = Count(); i-- > 0;) {
        LNotificationRegisteredClientInfo& info = At(i);
        if (info.GetClient().Get() == client) {
            if (info.GetFlags() == flags) return 1;
            info.SetFlags(flags);
            found = true;
        }
        combined |= info.GetFlags();
    }
    if (found) {
        mCombinedFlags = combined;
        return 1;
    }
    (void)mClients.AddItem(MakeRC<LNotificationRegisteredClientInfo>(client, flags));  // the array grows
    mCombinedFlags |= flags;
    return S_OK;
}

RCPtr<LNotificationDistributor::LNotificationRegisteredClientInfo>
LNotificationDistributor::LNotificationClientPool::RemoveClient(const LNotificationReceiver* client)
{
    Mutex::Lock lock(mLock);
    for (uint32_t i = Count(); i-- > 0;) {
        if (At(i).GetClient().Get() != client) continue;
        RCPtr<LNotificationRegisteredClientInfo> removed;
        (void)mClients.RemoveItem(i, removed);  // i is in range
        // Walks past this entry continue with the entry that was below it.
        for (Cursor* cursor = mCursors; cursor != nullptr; cursor = cursor->next) {
            if (static_cast<int32_t>(i) < cursor->index) --cursor->index;
        }
        return removed;
    }
    return nullptr;
}

int32_t LNotificationDistributor::LNotificationClientPool::FindClient(const LNotificationReceiver* client) const
{
    Mutex::Lock lock(mLock);
    for (uint32_t i = Count(); i-- > 0;) {
        if (At(i).GetClient().Get() == client) return static_cast<int32_t>(i);
    }
    return -1;
}

QVResult LNotificationDistributor::LNotificationClientPool::GetClientFlags(const LNotificationReceiver* client,
                                                                           uint32_t& flags) const
{
    Mutex::Lock lock(mLock);
    for (uint32_t i = Count(); i-- > 0;) {
        if (At(i).GetClient().Get() == client) {
            flags = At(i).GetFlags();
            return S_OK;
        }
    }
    return E_FAIL;
}

RCPtr<LNotificationReceiver> LNotificationDistributor::LNotificationClientPool::GetClientAt(int32_t index) const
{
    Mutex::Lock lock(mLock);
    if (index < 0 || static_cast<uint32_t>(index) >= Count()) return nullptr;
    return At(static_cast<uint32_t>(index)).GetClient();
}

void LNotificationDistributor::LNotificationClientPool::Deliver(int32_t index, HeldLock& lock,
                                                                const RCPtr<LNotificationDistributor>& sender,
                                                                const RCPtr<LNotification>& notification)
{
    // The registration, not the client, is held for the call: the client's
    // own count then changes here only when it unregisters meanwhile.
    RCPtr<LNotificationRegisteredClientInfo> info(&At(static_cast<uint32_t>(index)));
    RCPtr<LNotification> taken;
    if (info->GetFlags() & kPendingOnly) {
        Mutex::Lock queueLock(GetNotificationQueueLock());
        if (info->Pending().Get() != notification.Get()) return;
        taken = std::exchange(info->Pending(), nullptr);
    }
    lock.Leave();
    (void)info->GetClient()->ReceiveNotification(sender, notification);  // delivery does not wait on answers
    // Released before the lock is taken again: a release may run hooks that
    // unregister from this pool.
    info.Reset();
    taken.Reset();
    lock.Enter();
}

QVResult LNotificationDistributor::LNotificationClientPool::NotifyAllClients(
    const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification)
{
    if (!notification) return E_INVALIDARG;
    HeldLock lock(mLock);
    if (Count() == 0) return kNothingToDo;
    CursorScope cursor(*this, static_cast<int32_t>(Count()) - 1, lock);
    // Registrations made during the walk land above it and are not visited.
    for (int32_t& index = cursor.Index(); index >= 0; --index) {
        if (static_cast<uint32_t>(index) >= Count()) continue;
        Deliver(index, lock, sender, notification);
    }
    return S_OK;
}

int32_t LNotificationDistributor::LNotificationClientPool::NotifyClient(int32_t index,
                                                                        const RCPtr<LNotificationDistributor>& sender,
                                                                        const RCPtr<LNotification>& notification)
{
    if (!notification) return index;
    HeldLock lock(mLock);
    CursorScope cursor(*this, index, lock);
    if (index >= 0 && static_cast<uint32_t>(index) < Count()) {
        Deliver(index, lock, sender, notification);
    }
    return cursor.Index();
}

void LNotificationDistributor::LNotificationClientPool::MarkPending(const RCPtr<LNotification>& notification)
{
    // Replaced marks are released after both locks are left: the last
    // reference to a notification may run its recycling hook.
    constexpr size_t kInline = 4;
    RCPtr<LNotification> replaced[kInline];
    std::vector<RCPtr<LNotification>> moreReplaced;
    size_t replacedCount = 0;

    Mutex::Lock lock(mLock);
    if ((mCombinedFlags & kPendingOnly) == 0) return;
    Mutex::Lock queueLock(GetNotificationQueueLock());
    for (uint32_t i = Count(); i-- > 0;) {
        LNotificationRegisteredClientInfo& info = At(i);
        if ((info.GetFlags() & kPendingOnly) == 0) continue;
        RCPtr<LNotification> old = std::exchange(info.Pending(), notification);
        if (!old) continue;
        if (replacedCount < kInline) {
            replaced[replacedCount++] = std::move(old);
        } else {
            moreReplaced.push_back(std::move(old));
        }
    }
}

}  // namespace QV
