#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "LNotificationQueue.h"
#include "NotificationTestSupport.h"
#include "UIThread.h"

namespace {

using namespace QV;
using namespace notification_test;

// Stands in for the window layer: counts wakes and checks, from another
// thread, that the queue lock is free and the post is already in the ring.
class WakeDouble {
public:
    explicit WakeDouble(LNotificationQueue* queue) : mQueue(queue) {}

    void operator()()
    {
        auto probe = std::async(std::launch::async, [queue = mQueue] { return queue->GetQueuedCount(); });
        if (probe.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ++lockedWakes;
        } else if (probe.get() == 0) {
            ++emptyWakes;
        }
        ++wakes;
    }

    std::atomic<int> wakes{0};
    std::atomic<int> lockedWakes{0};
    std::atomic<int> emptyWakes{0};

private:
    LNotificationQueue* mQueue;
};

class QueueWakeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(queue->SetDistributor(distributor), S_OK);
        queue->SetWakeHook([this] { (*wake)(); });
    }
    void TearDown() override { queue->Shutdown(); }

    void PostBurst(int count, const char16_t* name = u"NID_TEST_A")
    {
        std::thread poster([&] {
            for (int i = 0; i < count; ++i) EXPECT_EQ(queue->PostNamedNotification(name), S_OK);
        });
        poster.join();
    }

    RCPtr<LNotificationDistributor> distributor{new LNotificationDistributor()};
    RCPtr<LNotificationQueue> queue{new LNotificationQueue()};
    std::shared_ptr<WakeDouble> wake = std::make_shared<WakeDouble>(queue.Get());
    RCPtr<RecordingClient> client{new RecordingClient("C", nullptr)};
};

TEST_F(QueueWakeTest, EachBurstFromAnotherThreadWakesOnce)
{
    client->RegisterNotification(distributor, u"NID_TEST_A");
    PostBurst(50);
    EXPECT_EQ(wake->wakes, 1);
    EXPECT_FALSE(queue->ProcessNotifications(false));
    EXPECT_EQ(client->ids.size(), 50u);

    PostBurst(20);
    EXPECT_EQ(wake->wakes, 2);
    EXPECT_EQ(wake->lockedWakes, 0);
    EXPECT_EQ(wake->emptyWakes, 0);
}

TEST_F(QueueWakeTest, APostDuringTheDrainWakesForTheNextPass)
{
    client->RegisterNotification(distributor, u"NID_TEST_A");
    client->onReceive = [this](const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& n) {
        if (n->GetID() == Id(u"NID_TEST_A")) {
            EXPECT_EQ(queue->PostNamedNotification(u"NID_TEST_B"), S_OK);
        }
    };
    PostBurst(1);
    EXPECT_TRUE(queue->ProcessNotifications(false));
    EXPECT_EQ(wake->wakes, 2);
}

// The wake is re-armed by a drain that finds nothing, as by one that delivers.
TEST_F(QueueWakeTest, ADrainOfAClearedQueueStillRearmsTheWake)
{
    client->RegisterNotification(distributor, u"NID_TEST_A");
    PostBurst(2);
    EXPECT_EQ(wake->wakes, 1);
    EXPECT_FALSE(queue->Clear());
    EXPECT_FALSE(queue->ProcessNotifications(false));
    PostBurst(1);
    EXPECT_EQ(wake->wakes, 2);
    EXPECT_FALSE(queue->ProcessNotifications(false));
    EXPECT_EQ(client->ids.size(), 1u);
}

TEST_F(QueueWakeTest, PendingOnlyPostsWakeAndRefusedPostsDoNot)
{
    client->RegisterNotification(distributor, u"NID_SET_STATUS_TEXT", 1);
    PostBurst(3, u"NID_SET_STATUS_TEXT");
    EXPECT_EQ(wake->wakes, 1);
    queue->ProcessNotifications(false);
    EXPECT_EQ(client->ids.size(), 1u);

    RCPtr<LNotification> queued = LNotification::Create(u"NID_TEST_A");
    queued->MarkQueued();
    EXPECT_EQ(queue->PostNotification(queued), E_INVALIDARG);
    EXPECT_EQ(queue->PostNotification(nullptr), E_INVALIDARG);
    queued->ClearQueued();
    EXPECT_EQ(wake->wakes, 1);

    // A shut-down queue refuses posts and lets its hook go.
    queue->Shutdown();
    EXPECT_EQ(queue->PostNamedNotification(u"NID_TEST_A"), E_FAIL);
    EXPECT_EQ(wake->wakes, 1);
    EXPECT_EQ(wake.use_count(), 1);
}

#ifndef NDEBUG
TEST(UIThreadDeathTest, DrainingOffTheUIThreadAbortsInDebugBuilds)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    RCPtr<LNotificationQueue> queue(new LNotificationQueue());
    RCPtr<LNotificationDistributor> distributor(new LNotificationDistributor());
    EXPECT_GE(queue->SetDistributor(distributor), 0);
    EXPECT_DEATH(
        {
            std::thread([] { UIThread::SetCurrent(); }).join();
            queue->ProcessNotifications(false);
        },
        "QV::LNotificationQueue::ProcessNotifications called off the UI thread");

    // On the recorded UI thread a drain runs; the scope restores the record.
    const bool recorded = UIThread::IsRecorded();
    {
        UIThread::Scope ui;
        EXPECT_FALSE(queue->ProcessNotifications(true));
    }
    EXPECT_EQ(UIThread::IsRecorded(), recorded);
    queue->Shutdown();
}
#endif

}  // namespace
