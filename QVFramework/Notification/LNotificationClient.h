#pragma once
// A subscriber that remembers the distributors it is registered with, so it
// can take every registration back at once (also when it is released).
#include <atomic>

#include "Array.h"
#include "LNotificationReceiver.h"

namespace QV {

class LNotificationClient : public LNotificationReceiver {
    QV_TYPE_NAME("class QV::LNotificationClient")
public:
    ~LNotificationClient() override;

    // The id; null when the distributor is null or the name empty.
    NotificationID RegisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                        const char16_t* nameOrId, uint32_t flags = 0);
    // 0 removed, 1 nothing registered, E_INVALIDARG for a null argument.
    [[nodiscard]] QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                  const char16_t* nameOrId) override;
    // The number of registrations removed.
    int32_t UnregisterAllNotifications();

    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                               const RCPtr<LNotification>& notification) override;
    QVResult ReleaseInternalReferences() override;

    int32_t GetRegistrationCount() const { return mRegistrationCount.load(std::memory_order_acquire); }
    uint32_t GetDistributorCount() const;

private:
    // The index in the distributor list, -1 when absent. Under mLock.
    int32_t FindDistributor(const LNotificationDistributor* distributor) const;

    mutable Mutex mLock;
    std::atomic<int32_t> mRegistrationCount{0};
    // Plain pointers: each registration keeps its distributor alive.
    Array<LNotificationDistributor*> mDistributors;
};

}  // namespace QV
