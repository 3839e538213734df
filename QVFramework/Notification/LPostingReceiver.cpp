#include "LPostingReceiver.h"

#include <utility>

namespace QV {

LNotificationQueue::LPostingReceiver::LPostingReceiver(LNotificationQueue* queue) : mQueue(queue) {}

RCPtr<LNotificationQueue> LNotificationQueue::LPostingReceiver::GetQueue() const
{
    Mutex::Lock lock(GetNotificationQueueLock());
    return mQueue;
}

RCPtr<LNotificationQueue> LNotificationQueue::LPostingReceiver::Detach()
{
    Mutex::Lock lock(GetNotificationQueueLock());
    RCPtr<LNotificationQueue> queue = std::move(mQueue);
    mQueue = nullptr;
    return queue;
}

QVResult LNotificationQueue::LPostingReceiver::ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                                                                   const RCPtr<LNotification>& notification)
{
    if (!notification) return S_OK;
    if (RCPtr<LNotificationQueue> queue = GetQueue()) {
        // Not passed on: the distributor does not use a receiver's result.
        (void)queue->Post(LNotification::Create(notification->GetID(), notification->GetPayload()));
    }
    return S_OK;
}

QVResult LNotificationQueue::LPostingReceiver::UnregisterNotification(const RCPtr<LNotificationDistributor>&,
                                                                      const char16_t*)
{
    return E_FAIL;
}

}  // namespace QV
