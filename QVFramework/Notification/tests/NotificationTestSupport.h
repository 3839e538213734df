#pragma once
// Small counted objects shared by the notification tests.
#include <functional>
#include <string>
#include <vector>

#include "LNotificationClient.h"
#include "LNotificationDistributor.h"

namespace notification_test {

using namespace QV;

// Counts its destructions.
class Tracked : public LRefCountedObject {
    QV_TYPE_NAME("class Tracked")
public:
    explicit Tracked(int* destroyed = nullptr, int value = 0) : value(value), mDestroyed(destroyed) {}
    ~Tracked() override
    {
        if (mDestroyed) ++*mDestroyed;
    }
    int value;

private:
    int* mDestroyed;
};

// Writes its name to a shared log on every delivery and runs an optional action.
class RecordingClient : public LNotificationClient {
    QV_TYPE_NAME("class RecordingClient")
public:
    using Action = std::function<void(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)>;

    RecordingClient(std::string name, std::vector<std::string>* log, int* destroyed = nullptr)
        : mName(std::move(name)), mLog(log), mDestroyed(destroyed)
    {
    }
    ~RecordingClient() override
    {
        if (mDestroyed) ++*mDestroyed;
    }

    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override
    {
        if (mLog) mLog->push_back(mName);
        ids.push_back(notification->GetID());
        const RCPtr<LRefCountedObject> payload = notification->GetPayload();
        payloads.push_back(payload.Get());
        const auto* tracked = dynamic_cast<const Tracked*>(payload.Get());
        values.push_back(tracked ? tracked->value : -1);
        if (onReceive) onReceive(sender, notification);
        return S_OK;
    }

    Action onReceive;
    std::vector<NotificationID> ids;
    // Compare only while the payloads are alive.
    std::vector<const LRefCountedObject*> payloads;
    std::vector<int> values;

private:
    std::string mName;
    std::vector<std::string>* mLog;
    int* mDestroyed;
};

// A distributor that counts its destructions.
class TrackedDistributor : public LNotificationDistributor {
    QV_TYPE_NAME("class TrackedDistributor")
public:
    explicit TrackedDistributor(int* destroyed = nullptr) : mDestroyed(destroyed) {}
    ~TrackedDistributor() override
    {
        if (mDestroyed) ++*mDestroyed;
    }

private:
    int* mDestroyed;
};

inline NotificationID Id(const char16_t* name) { return NotificationNameTable::GetNotificationID(name); }

}  // namespace notification_test
