#include "LNotificationClient.h"

#include <vector>

#include "LNotificationDistributor.h"

namespace QV {

LNotificationClient::~LNotificationClient() = default;

uint32_t LNotificationClient::GetDistributorCount() const
{
    Mutex::Lock lock(mLock);
    return mDistributors.GetCount();
}

int32_t LNotificationClient::FindDistributor(const LNotificationDistributor* distributor) const
{
    for (uint32_t i = 0; i < mDistributors.GetCount(); ++i) {
        if (*mDistributors.GetItemPtr(i) == distributor) return static_cast<int32_t>(i);
    }
    return -1;
}

NotificationID LNotificationClient::RegisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                         const char16_t* nameOrId, uint32_t flags)
{
    if (!distributor) return nullptr;
    const NotificationID id = NotificationNameTable::GetNotificationID(nameOrId);
    if (id == nullptr) return nullptr;

    Mutex::Lock lock(mLock);
    const QVResult added = distributor->RegisterClient(this, id, flags);
    if (added == S_OK) {
        // The registration's reference to this client.
        AddInternalReference();
        mRegistrationCount.fetch_add(1, std::memory_order_acq_rel);
    }
    if (added >= 0 && FindDistributor(distributor.Get()) < 0)
        (void)mDistributors.AddItem(distributor.Get());  // the array grows
    return id;
}

QVResult LNotificationClient::UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                     const char16_t* nameOrId)
{
    // Goes last: dropping the registration's reference to this client must
    // not look like the last outside release.
    RCPtr<LNotificationDistributor::LNotificationRegisteredClientInfo> registration;
    // Taken before the count is read: a registration made on another thread
    // is counted only once RegisterNotification has returned.
    Mutex::Lock lock(mLock);
    if (GetRegistrationCount() < 1) return kNothingToDo;
    if (!distributor || nameOrId == nullptr || *nameOrId == u'\0') return E_INVALIDARG;
    const QVResult removed = distributor->TakeRegistration(this, nameOrId, registration);
    if (removed == S_OK) {
        RemoveInternalReference();
        mRegistrationCount.fetch_sub(1, std::memory_order_acq_rel);
        const int32_t index = FindDistributor(distributor.Get());
        if (index >= 0 && !distributor->HasClient(this)) {
            LNotificationDistributor* gone = nullptr;
            (void)mDistributors.RemoveItem(static_cast<uint32_t>(index), gone);  // index was just found
        }
    }
    return removed;
}

int32_t LNotificationClient::UnregisterAllNotifications()
{
    std::vector<RCPtr<LNotificationDistributor>> held;
    int32_t sum = 0;
    {
        Mutex::Lock lock(mLock);
        const int32_t count = GetRegistrationCount();
        if (count < 1) return 0;
        for (int32_t i = 0; i < count; ++i) RemoveInternalReference();
        held.reserve(mDistributors.GetCount());
        while (mDistributors.GetCount() > 0) {
            // Each distributor is alive while it holds a registration of ours;
            // the reference keeps it so until we are done with it.
            LNotificationDistributor* last = nullptr;
            (void)mDistributors.RemoveLastItem(last);  // the loop checked the count
            held.emplace_back(last);
            sum += held.back()->UnregisterClientFromAll(this);
        }
        mRegistrationCount.store(0, std::memory_order_release);
    }
    // Released outside the lock: a distributor may end here.
    held.clear();
    return sum;
}

QVResult LNotificationClient::ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                                                  const RCPtr<LNotification>&)
{
    return S_OK;
}

QVResult LNotificationClient::ReleaseInternalReferences()
{
    UnregisterAllNotifications();
    return HeldOnlyByCaller();
}

}  // namespace QV
