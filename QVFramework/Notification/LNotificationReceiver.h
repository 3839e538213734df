#pragma once
// The receiving side of notification delivery.
#include "LNotification.h"

namespace QV {

class LNotificationDistributor;

class LNotificationReceiver : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LNotificationReceiver")
public:
    // The result is not used by the distributor.
    [[nodiscard]] virtual QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                                       const RCPtr<LNotification>& notification) = 0;
    [[nodiscard]] virtual QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                          const char16_t* nameOrId) = 0;
};

}  // namespace QV
