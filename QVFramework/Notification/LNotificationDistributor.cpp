#include "LNotificationDistributor.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "Mutex.h"

namespace QV {

namespace {

// Every distributor that holds at least one registration; each entry is one
// internal reference of its distributor. Never destroyed (see the name table).
struct DistributorsWithClients {
    Mutex lock;
    RCPtrArray<LNotificationDistributor> items;
};

DistributorsWithClients& WithClients()
{
    static auto* list = new DistributorsWithClients();
    return *list;
}

void AddWithClients(LNotificationDistributor* distributor)
{
    DistributorsWithClients& list = WithClients();
    Mutex::Lock lock(list.lock);
    (void)list.items.AddItem(RCPtr<LNotificationDistributor>(distributor));  // the array grows
}

// The caller releases the returned reference when it holds no lock.
RCPtr<LNotificationDistributor> TakeWithClients(const LNotificationDistributor* distributor)
{
    DistributorsWithClients& list = WithClients();
    Mutex::Lock lock(list.lock);
    for (uint32_t i = list.items.GetCount(); i-- > 0;) {
        if (list.items.GetItemPtr(i)->Get() != distributor) continue;
        RCPtr<LNotificationDistributor> taken;
        (void)list.items.RemoveItem(i, taken);  // i is in range
        return taken;
    }
    return nullptr;
}

}  // namespace

LNotificationDistributor::LNotificationDistributor() = default;
LNotificationDistributor::~LNotificationDistributor() = default;

RCPtr<LNotificationDistributor::LNotificationClientPool>
LNotificationDistributor::FindPoolLocked(NotificationID id) const
{
    for (uint32_t i = mPools.GetCount(); i-- > 0;) {
        const RCPtr<LNotificationClientPool>& pool = *mPools.GetItemPtr(i);
        if (pool->GetID() == id) return pool;
    }
    return nullptr;
}

RCPtr<LNotificationDistributor::LNotificationClientPool> LNotificationDistributor::FindClientPool(NotificationID id) const
{
    Mutex::Lock lock(mLock);
    return FindPoolLocked(id);
}

int32_t LNotificationDistributor::GetRegistrationCount() const
{
    Mutex::Lock lock(mLock);
    return mRegistrationCount;
}

QVResult LNotificationDistributor::RegisterClient(LNotificationReceiver* client, const char16_t* nameOrId,
                                                  uint32_t flags)
{
    if (client == nullptr) return E_INVALIDARG;
    const NotificationID id = NotificationNameTable::GetNotificationID(nameOrId);
    if (id == nullptr) return kNothingToDo;

    Mutex::Lock lock(mLock);
    RCPtr<LNotificationClientPool> pool = FindPoolLocked(id);
    if (!pool) {
        pool = new LNotificationClientPool(id);
        (void)mPools.AddItem(pool);  // the array grows
    }
    if (flags & kPendingOnly) mHadPendingOnly.store(true, std::memory_order_release);
    const QVResult added = pool->AddClient(client, flags);
    if (added == S_OK) {
        // The registration's reference to this distributor.
        AddRef();
        AddInternalReference();
        if (++mRegistrationCount == 1) {
            AddWithClients(this);
            AddInternalReference();
        }
    }
    return added;
}

void LNotificationDistributor::ReleaseRegistrationReferences(int32_t removed, bool leftDistributorList)
{
    RCPtr<LNotificationDistributor> listReference;
    if (leftDistributorList) {
        listReference = TakeWithClients(this);
        RemoveInternalReference();
    }
    for (int32_t i = 0; i < removed; ++i) RemoveInternalReference();
    listReference.Reset();
    // The last of these may destroy this distributor.
    for (int32_t i = 0; i < removed; ++i) Release();
}

QVResult LNotificationDistributor::UnregisterClient(LNotificationReceiver* client, const char16_t* nameOrId)
{
    RCPtr<LNotificationRegisteredClientInfo> removed;
    return TakeRegistration(client, nameOrId, removed);
}

QVResult LNotificationDistributor::TakeRegistration(LNotificationReceiver* client, const char16_t* nameOrId,
                                                    RCPtr<LNotificationRegisteredClientInfo>& removed)
{
    removed.Reset();
    if (client == nullptr) return E_INVALIDARG;
    const NotificationID id = NotificationNameTable::GetNotificationID(nameOrId);
    if (id == nullptr) return E_INVALIDARG;

    bool leftList = false;
    {
        Mutex::Lock lock(mLock);
        RCPtr<LNotificationClientPool> pool = FindPoolLocked(id);
        if (!pool) return kNothingToDo;
        removed = pool->RemoveClient(client);
        if (!removed) return kNothingToDo;
        leftList = (--mRegistrationCount == 0);
    }
    ReleaseRegistrationReferences(1, leftList);
    return S_OK;
}

int32_t LNotificationDistributor::UnregisterClientFromAll(LNotificationReceiver* client)
{
    if (client == nullptr) return E_INVALIDARG;
    std::vector<RCPtr<LNotificationRegisteredClientInfo>> removed;
    bool leftList = false;
    {
        Mutex::Lock lock(mLock);
        for (uint32_t i = mPools.GetCount(); i-- > 0;) {
            if (auto info = (*mPools.GetItemPtr(i))->RemoveClient(client)) removed.push_back(std::move(info));
        }
        if (removed.empty()) return 0;
        mRegistrationCount -= static_cast<int32_t>(removed.size());
        leftList = (mRegistrationCount == 0);
    }
    const auto count = static_cast<int32_t>(removed.size());
    removed.clear();
    ReleaseRegistrationReferences(count, leftList);
    return count;
}

bool LNotificationDistributor::HasClient(const LNotificationReceiver* client) const
{
    Mutex::Lock lock(mLock);
    for (uint32_t i = mPools.GetCount(); i-- > 0;) {
        if ((*mPools.GetItemPtr(i))->FindClient(client) >= 0) return true;
    }
    return false;
}

QVResult LNotificationDistributor::GetClientFlags(const LNotificationReceiver* client, const char16_t* nameOrId,
                                                  uint32_t& flags) const
{
    const NotificationID id = NotificationNameTable::GetNotificationID(nameOrId);
    if (id == nullptr) return E_FAIL;
    RCPtr<LNotificationClientPool> pool = FindClientPool(id);
    return pool ? pool->GetClientFlags(client, flags) : E_FAIL;
}

QVResult LNotificationDistributor::SendNotification(const RCPtr<LNotification>& notification)
{
    if (!notification) return E_INVALIDARG;
    RCPtr<LNotificationClientPool> pool = FindClientPool(notification->GetID());
    if (!pool) return kNothingToDo;
    const RCPtr<LNotificationDistributor> sender(this);
    return pool->NotifyAllClients(sender, notification);
}

QVResult LNotificationDistributor::ReleaseAllClients()
{
    const RCPtr<LNotificationDistributor> self(this);
    uint32_t poolIndex;
    {
        Mutex::Lock lock(mLock);
        poolIndex = mPools.GetCount();
    }
    // Pools are never removed, so an index stays valid.
    while (poolIndex-- > 0) {
        RCPtr<LNotificationClientPool> pool;
        {
            Mutex::Lock lock(mLock);
            pool = *mPools.GetItemPtr(poolIndex);
        }
        // A client that refuses to go (a queue's posting receiver) is passed by.
        for (int32_t i = static_cast<int32_t>(pool->GetClientCount()) - 1; i >= 0; --i) {
            i = std::min(i, static_cast<int32_t>(pool->GetClientCount()) - 1);
            if (i < 0) break;
            if (RCPtr<LNotificationReceiver> client = pool->GetClientAt(i)) {
                (void)client->UnregisterNotification(self, pool->GetID());  // one gone already is fine
            }
        }
    }
    return S_OK;
}

void LNotificationDistributor::MarkPending(const RCPtr<LNotification>& notification)
{
    if (!notification || !HadPendingOnlyClient()) return;
    if (RCPtr<LNotificationClientPool> pool = FindClientPool(notification->GetID())) {
        pool->MarkPending(notification);
    }
}

}  // namespace QV
