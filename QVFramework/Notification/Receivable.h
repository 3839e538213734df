#pragma once
// The key of a notification handler map: {sending distributor, id},
// ordered by sender address first, then by id.
#include <functional>

#include "NotificationNameTable.h"

namespace QV {

class LNotificationDistributor;

class Receivable {
public:
    Receivable(const LNotificationDistributor* sender, NotificationID id) : mSender(sender), mID(id) {}
    Receivable(const Receivable&) = default;
    Receivable& operator=(const Receivable&) = default;
    virtual ~Receivable() = default;

    const LNotificationDistributor* GetSender() const { return mSender; }
    NotificationID GetID() const { return mID; }

    friend bool operator<(const Receivable& a, const Receivable& b)
    {
        std::less<const void*> before;
        if (a.mSender != b.mSender) return before(a.mSender, b.mSender);
        return before(a.mID, b.mID);
    }

private:
    const LNotificationDistributor* mSender;
    NotificationID mID;
};

}  // namespace QV
