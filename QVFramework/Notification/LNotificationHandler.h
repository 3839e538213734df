#pragma once
// Maps {sending distributor, notification id} to a member function of its
// owner T, an LNotificationClient whose ReceiveNotification forwards here.
#include <map>
#include <string>

#include "LNotificationDistributor.h"
#include "Mutex.h"
#include "Receivable.h"

namespace QV {

template <class T>
class LNotificationHandler : public LRefCountedObject {
public:
    // A handler's answer goes back to whoever delivered the notification, and
    // no sender reads it: the notification reaches every receiver whatever
    // each answers.
    using Handler = QVResult (T::*)(const RCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification);

    explicit LNotificationHandler(T* owner) : mOwner(owner) {}

    const char* GetTypeName() const override
    {
        static const std::string name = "class QV::LNotificationHandler<" + CloseTemplateName(TypeNameOf<T>());
        return name.c_str();
    }

    // 0; E_INVALIDARG for a null distributor; E_FAIL when the owner could not
    // register. A second handler for the same key keeps the first. A caller
    // wiring a live sender to a literal name cannot be refused, so it may
    // ignore the answer.
    [[nodiscard]] QVResult RegisterHandler(Handler handler, const RCPtr<LNotificationDistributor>& distributor,
                                           const char16_t* nameOrId, uint32_t flags = 0)
    {
        if (!distributor) return E_INVALIDARG;
        const NotificationID id = mOwner->RegisterNotification(distributor, nameOrId, flags);
        if (id == nullptr) return E_FAIL;
        Mutex::Lock lock(mLock);
        mHandlers.emplace(Receivable(distributor.Get(), id), handler);
        return S_OK;
    }

    // The mapped member's result; 0 when nothing is mapped.
    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                               const RCPtr<LNotification>& notification)
    {
        if (!notification) return S_OK;
        Handler handler = nullptr;
        {
            Mutex::Lock lock(mLock);
            auto it = mHandlers.find(Receivable(sender.Get(), notification->GetID()));
            if (it == mHandlers.end()) return S_OK;
            handler = it->second;
        }
        return (mOwner->*handler)(sender, notification);
    }

    // Whether a member is mapped for the sender and id.
    bool Handles(const RCPtr<LNotificationDistributor>& sender, NotificationID id) const
    {
        Mutex::Lock lock(mLock);
        return mHandlers.count(Receivable(sender.Get(), id)) > 0;
    }

    // Takes the map entry back only; the owner unregisters separately.
    bool UnregisterHandler(const RCPtr<LNotificationDistributor>& sender, const char16_t* nameOrId)
    {
        const NotificationID id = NotificationNameTable::GetNotificationID(nameOrId);
        Mutex::Lock lock(mLock);
        return mHandlers.erase(Receivable(sender.Get(), id)) > 0;
    }

    // 0 with the member and the registration's flags; E_FAIL when absent.
    [[nodiscard]] QVResult FindHandler(const RCPtr<LNotificationDistributor>& sender, const char16_t* nameOrId,
                                       Handler& handler, uint32_t& flags) const
    {
        if (!sender) return E_FAIL;
        const NotificationID id = NotificationNameTable::GetNotificationID(nameOrId);
        {
            Mutex::Lock lock(mLock);
            auto it = mHandlers.find(Receivable(sender.Get(), id));
            if (it == mHandlers.end()) return E_FAIL;
            handler = it->second;
        }
        return sender->GetClientFlags(mOwner, id, flags);
    }

private:
    T* mOwner;
    mutable Mutex mLock;
    std::map<Receivable, Handler> mHandlers;
};

}  // namespace QV
