#include "LNotificationClient.h"

#include <algorithm>

#include "LNotificationDistributor.h"

namespace QV {

LNotificationClient::~LNotificationClient() = default;

uint32_t LNotificationClient::GetDistributorCount() const
{
    Mutex::Lock lock(mLock);
    return static_cast<uint32_t>(mDistributors.size());
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
    if (added >= 0 &&
        std::find(mDistributors.begin(), mDistributors.end(), distributor.Get()) == mDistributors.end()) {
        mDistributors.push_back(distributor.Get());
    }
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
    if (GetRegistrationCount() < 1) return 1;
    if (!distributor || nameOrId == nullptr || *nameOrId == u'\0') return E_INVALIDARG;
    const QVResult removed = distributor->TakeRegistration(this, nameOrId, registration);
    if (removed == S_OK) {
        RemoveInternalReference();
        mRegistrationCount.fetch_sub(1, std::memory_order_acq_rel);
        if (!distributor->HasClient(this)) {
            std::erase(mDistributors, distributor.Get());
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
        held.reserve(mDistributors.size());
        while (!mDistributors.empty()) {
            // Each distributor is alive while it holds a registration of ours;
            // the reference keeps it so until we are done with it.
            held.emplace_back(mDistributors.back());
            mDistributors.pop_back();
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
    return (GetInternalRefCount() == 0 && GetRefCount() == 1) ? S_OK : E_FAIL;
}

}  // namespace QV
