#pragma once
// Re-posts every notification delivered to it to its queue.
#include "LNotificationQueue.h"

namespace QV {

class LNotificationQueue::LPostingReceiver : public LNotificationReceiver {
    QV_TYPE_NAME("class QV::LNotificationQueue::LPostingReceiver")
public:
    explicit LPostingReceiver(LNotificationQueue* queue);

    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                               const RCPtr<LNotification>& notification) override;
    // E_FAIL: it has no registrations of its own to take back.
    [[nodiscard]] QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                  const char16_t* nameOrId) override;

    RCPtr<LNotificationQueue> GetQueue() const;
    // Later deliveries are dropped. Returns the queue reference for the
    // caller to release.
    RCPtr<LNotificationQueue> Detach();

private:
    // Guarded by GetNotificationQueueLock().
    RCPtr<LNotificationQueue> mQueue;
};

}  // namespace QV
