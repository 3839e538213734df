#pragma once
// The publisher: keeps one client pool per notification id and delivers
// synchronously on the caller's thread, most recent registration first.
// Registering and unregistering are safe while another thread delivers.
#include <atomic>

#include "LNotificationReceiver.h"
#include "RCPtrArray.h"

namespace QV {

class LNotificationDistributor : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LNotificationDistributor")
public:
    class LNotificationClientPool;
    class LNotificationRegisteredClientInfo;

    // Registration flag: deliver only the notification last posted to a queue
    // for this registration, once.
    static constexpr uint32_t kPendingOnly = 1;

    LNotificationDistributor();
    ~LNotificationDistributor() override;

    // 0 new registration; 1 registered already (flags replaced) or empty
    // name; E_INVALIDARG for a null client.
    [[nodiscard]] QVResult RegisterClient(LNotificationReceiver* client, const char16_t* nameOrId, uint32_t flags = 0);
    // 0 removed; 1 not registered; E_INVALIDARG for a null client or empty name.
    [[nodiscard]] QVResult UnregisterClient(LNotificationReceiver* client, const char16_t* nameOrId);
    // As UnregisterClient, but hands the removed registration (which holds
    // the client) to the caller, so a client can take back its internal
    // count before its reference goes.
    [[nodiscard]] QVResult TakeRegistration(LNotificationReceiver* client, const char16_t* nameOrId,
                                            RCPtr<LNotificationRegisteredClientInfo>& removed);
    // The number of pools the client was removed from.
    int32_t UnregisterClientFromAll(LNotificationReceiver* client);
    bool HasClient(const LNotificationReceiver* client) const;
    // E_FAIL when the name is empty or the client is not registered for it.
    [[nodiscard]] QVResult GetClientFlags(const LNotificationReceiver* client, const char16_t* nameOrId,
                                          uint32_t& flags) const;
    RCPtr<LNotificationClientPool> FindClientPool(NotificationID id) const;

    // 0 delivered (also when every registration skipped it); 1 nobody is
    // registered for its id; E_INVALIDARG for a null notification.
    QVResult SendNotification(const RCPtr<LNotification>& notification);
    // Makes every registered client unregister itself; 0.
    QVResult ReleaseAllClients();

    // For notification queues: marks a posted notification pending for the
    // pending-only registrations of its id.
    void MarkPending(const RCPtr<LNotification>& notification);

    int32_t GetRegistrationCount() const;
    // Whether a pending-only registration was ever made here.
    bool HadPendingOnlyClient() const { return mHadPendingOnly.load(std::memory_order_acquire); }

private:
    RCPtr<LNotificationClientPool> FindPoolLocked(NotificationID id) const;
    // Outside the lock: gives back the references that removed registrations held.
    void ReleaseRegistrationReferences(int32_t removed, bool leftDistributorList);

    mutable Mutex mLock;
    RCPtrArray<LNotificationClientPool> mPools;
    int32_t mRegistrationCount = 0;
    // Set by the first pending-only registration; posts skip the marking
    // until then. Away from the lock's line, which a draining thread writes
    // while posters read this.
    std::atomic<bool> mHadPendingOnly{false};
};

}  // namespace QV

#include "LNotificationClientPool.h"
