#pragma once
// What the engine tests share: a time source that makes the engine's long
// waits short, and a client that collects what the engine posts.
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Clock.h"
#include "Eventually.h"
#include "LNotificationCenterManager.h"
#include "LNotificationClient.h"
#include "LRootModuleEngine.h"

namespace EngineTest {

// Sleeps 1/100 of the asked time for real (so other threads move on) and
// records every sleep; the clock advances by the full amount.
class ShortSleeps final : public Platform::Clock::ITimeSource {
public:
    uint32_t NowMs() override { return mNow.load(); }
    void SleepMs(uint32_t ms) override
    {
        {
            std::lock_guard lock(mLock);
            mSleeps.push_back(ms);
        }
        mNow += ms;
        std::this_thread::sleep_for(std::chrono::microseconds(ms * 10));
    }
    std::vector<uint32_t> Sleeps()
    {
        std::lock_guard lock(mLock);
        return mSleeps;
    }
    void ClearSleeps()
    {
        std::lock_guard lock(mLock);
        mSleeps.clear();
    }

private:
    std::atomic<uint32_t> mNow{0};
    std::mutex mLock;
    std::vector<uint32_t> mSleeps;
};

// One posted notification as the UI would receive it.
struct Received {
    std::u16string name;
    QV::RCPtr<QV::LRefCountedObject> payload;
};

// Registered at the default center for the engine's three posts.
class PostCollector : public QV::LNotificationClient {
    QV_TYPE_NAME("class PostCollector")
public:
    static constexpr const char16_t* kNames[] = {u"NID_PARAM_MODULE_STATE_CHANGE",
                                                 u"NID_DEVICE_CONNECTION_STATE_CHANGE",
                                                 u"NID_REMOTE_DEVICE_LIST_CHANGE"};
    void Subscribe()
    {
        for (const char16_t* name : kNames) RegisterNotification(QV::GetDefaultNotificationCenter(), name);
    }
    QV::QVResult ReceiveNotification(const QV::RCPtr<QV::LNotificationDistributor>&,
                                     const QV::RCPtr<QV::LNotification>& notification) override
    {
        for (const char16_t* name : kNames) {
            if (QV::LNotificationCenter::GetNotificationID(name) == notification->GetID()) {
                received.push_back({name, notification->GetPayload()});
            }
        }
        return 0;
    }
    // Delivers everything posted so far on this (the test's "UI") thread.
    void Drain()
    {
        while (QV::GetDefaultNotificationCenter()->ProcessNotifications(false)) {
        }
    }
    std::vector<Received> Take()
    {
        Drain();
        return std::exchange(received, {});
    }
    std::vector<Received> received;
};

}  // namespace EngineTest
