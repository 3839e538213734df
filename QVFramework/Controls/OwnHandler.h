#pragma once
// The dispatch rule every control class with a handler of its own follows:
// once creation is complete its handler answers first, and what it does not
// map goes on to the base class.
#include "LControl.h"

namespace QV {

template <class T>
bool DispatchToOwnHandler(const RCPtr<LNotificationHandler<T>>& handler, const LControl& control,
                          const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification,
                          QVResult& result)
{
    if (!control.IsInitialized() || !handler || !notification) return false;
    if (!handler->Handles(sender, notification->GetID())) return false;
    result = handler->ReceiveNotification(sender, notification);
    return true;
}

template <class T>
void ForgetInOwnHandler(const RCPtr<LNotificationHandler<T>>& handler,
                        const RCPtr<LNotificationDistributor>& distributor, const char16_t* nameOrId)
{
    if (handler) handler->UnregisterHandler(distributor, nameOrId);
}

}  // namespace QV

// Declares the two receiver overrides of a control class with its own handler.
#define QV_OWN_HANDLER_OVERRIDES                                                                                  \
    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,                                   \
                                 const RCPtr<LNotification>& notification) override;                              \
    [[nodiscard]] QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor, const char16_t* nameOrId) \
        override;

// Defines them: Class's handler member first, then Base.
#define QV_OWN_HANDLER_DEFINITIONS(Class, Base, member)                                        \
    QVResult Class::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,         \
                                        const RCPtr<LNotification>& notification)              \
    {                                                                                          \
        QVResult result = S_OK;                                                                \
        if (DispatchToOwnHandler(member, *this, sender, notification, result)) return result;  \
        return Base::ReceiveNotification(sender, notification);                                \
    }                                                                                          \
    QVResult Class::UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor, \
                                           const char16_t* nameOrId)                           \
    {                                                                                          \
        ForgetInOwnHandler(member, distributor, nameOrId);                                     \
        return Base::UnregisterNotification(distributor, nameOrId);                            \
    }
