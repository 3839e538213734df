#pragma once
// The registrations of one notification id in one distributor.
// Every operation takes the pool's own lock; none calls out while holding it.
#include "LNotificationDistributor.h"
#include "RCPtrArray.h"

namespace QV {

class LNotificationDistributor::LNotificationClientPool : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LNotificationDistributor::LNotificationClientPool")
public:
    explicit LNotificationClientPool(NotificationID id) : mID(id) {}
    ~LNotificationClientPool() override;

    NotificationID GetID() const { return mID; }
    uint32_t GetCombinedFlags() const;
    uint32_t GetClientCount() const;

    // 0 added; 1 registered already (its flags replaced when they differ).
    [[nodiscard]] QVResult AddClient(LNotificationReceiver* client, uint32_t flags);
    // The removed registration, or null; the caller releases it.
    RCPtr<LNotificationRegisteredClientInfo> RemoveClient(const LNotificationReceiver* client);
    // The index of the client's registration, -1 when absent.
    int32_t FindClient(const LNotificationReceiver* client) const;
    [[nodiscard]] QVResult GetClientFlags(const LNotificationReceiver* client, uint32_t& flags) const;
    RCPtr<LNotificationReceiver> GetClientAt(int32_t index) const;

    // Walks the registrations from the last to the first; 1 when empty.
    [[nodiscard]] QVResult NotifyAllClients(const RCPtr<LNotificationDistributor>& sender,
                                            const RCPtr<LNotification>& notification);
    // Delivers to the registration at index; answers that walk position
    // afterwards (lowered when registrations below it went during the call).
    int32_t NotifyClient(int32_t index, const RCPtr<LNotificationDistributor>& sender,
                         const RCPtr<LNotification>& notification);

    void MarkPending(const RCPtr<LNotification>& notification);

private:
    // The position of one walk over the registrations. Every walk in
    // progress (nested, or on other threads) has its own, so a removal can
    // move each of them.
    struct Cursor {
        int32_t index;
        Cursor* next;
    };

    class CursorScope;

    uint32_t Count() const { return mClients.GetCount(); }
    LNotificationRegisteredClientInfo& At(uint32_t index) const { return *mClients.GetItemPtr(index)->Get(); }
    class HeldLock;

    // Entered and left with the lock held; releases it during the call.
    void Deliver(int32_t index, HeldLock& lock,
                 const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);

    const NotificationID mID;
    mutable Mutex mLock;
    uint32_t mCombinedFlags = 0;
    RCPtrArray<LNotificationRegisteredClientInfo> mClients;
    Cursor* mCursors = nullptr;
};

}  // namespace QV

#include "LNotificationRegisteredClientInfo.h"
