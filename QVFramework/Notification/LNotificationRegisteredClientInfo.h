#pragma once
// One registration of a client in a client pool.
#include "LNotificationDistributor.h"

namespace QV {

class LNotificationDistributor::LNotificationRegisteredClientInfo : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LNotificationDistributor::LNotificationRegisteredClientInfo")
public:
    LNotificationRegisteredClientInfo(LNotificationReceiver* client, uint32_t flags)
        : mClient(client), mFlags(flags)
    {
    }

    const RCPtr<LNotificationReceiver>& GetClient() const { return mClient; }
    uint32_t GetFlags() const { return mFlags; }
    void SetFlags(uint32_t flags) { mFlags = flags; }
    // Read and written under GetNotificationQueueLock() only.
    RCPtr<LNotification>& Pending() { return mPending; }

private:
    RCPtr<LNotificationReceiver> mClient;
    RCPtr<LNotification> mPending;
    uint32_t mFlags;
};

}  // namespace QV
