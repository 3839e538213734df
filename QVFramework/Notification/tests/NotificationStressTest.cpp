#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "Eventually.h"
#include "LNotificationCenterManager.h"
#include "NotificationTestSupport.h"

namespace {

using namespace QV;
using namespace notification_test;

// Which poster sent it and its number in that poster's sequence.
class PostMark : public LRefCountedObject {
    QV_TYPE_NAME("class PostMark")
public:
    PostMark(int thread, int sequence) : thread(thread), sequence(sequence) {}
    const int thread;
    const int sequence;
};

// Checks that each poster's notifications arrive once each, in order.
class SequenceClient : public LNotificationClient {
    QV_TYPE_NAME("class SequenceClient")
public:
    explicit SequenceClient(int threads) : next(static_cast<size_t>(threads), 0) {}

    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                                 const RCPtr<LNotification>& notification) override
    {
        const auto mark = RCPtr<PostMark>::DynamicCast(notification->GetPayload());
        if (!mark) {
            ++faults;
            return S_OK;
        }
        if (mark->sequence != next[static_cast<size_t>(mark->thread)]) ++faults;
        next[static_cast<size_t>(mark->thread)] = mark->sequence + 1;
        ++received;
        return S_OK;
    }

    std::vector<int> next;
    int received = 0;
    int faults = 0;
};

class NotificationStressTest : public ::testing::Test {
protected:
    void SetUp() override { LNotification::EnableRecycling(true); }
    void TearDown() override
    {
        LNotificationCenterManager::ResetInstance();
        LNotification::EnableRecycling(false);
    }
};

TEST_F(NotificationStressTest, FourPostersAreDeliveredOnceEachInTheirOrder)
{
    constexpr int kThreads = 4;
    constexpr int kPosts = 10000;
    RCPtr<LNotificationCenter> center = GetDefaultNotificationCenter();
    RCPtr<SequenceClient> client(new SequenceClient(kThreads));
    client->RegisterNotification(center, u"NID_PARAM_MODULE_STATE_CHANGE");

    std::atomic<int> failedPosts{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([t, &failedPosts] {
            for (int i = 0; i < kPosts; ++i) {
                if (GetDefaultNotificationCenter()->PostNamedNotification(u"NID_PARAM_MODULE_STATE_CHANGE",
                                                                         new PostMark(t, i)) != S_OK) {
                    ++failedPosts;
                }
            }
        });
    }
    // This thread plays the UI thread, draining while the posters run.
    RCPtr<LNotificationCenterManager> manager = LNotificationCenterManager::GetInstance();
    EXPECT_TRUE(Eventually([&] {
        manager->ProcessNotifications(false);
        return client->received + failedPosts.load() >= kThreads * kPosts;
    }, std::chrono::seconds(60)));
    for (auto& poster : posters) poster.join();
    EXPECT_FALSE(manager->ProcessNotifications(false));

    EXPECT_EQ(failedPosts.load(), 0);
    EXPECT_EQ(client->faults, 0);
    EXPECT_EQ(client->received, kThreads * kPosts);
    EXPECT_EQ(client->next, std::vector<int>(kThreads, kPosts));
}

// The MIDI pool's worker delivers through a distributor while the UI thread
// registers and unregisters at it.
TEST_F(NotificationStressTest, RegisteringWhileAnotherThreadDelivers)
{
    constexpr int kRounds = 3000;
    RCPtr<LNotificationDistributor> distributor(new LNotificationDistributor());
    RCPtr<RecordingClient> steady(new RecordingClient("steady", nullptr));
    steady->RegisterNotification(distributor, u"NID_MIDI_DATA_CAPTURED");

    std::atomic<bool> stop{false};
    std::atomic<int> sends{0};
    std::thread deliverer([&] {
        while (!stop || sends < 1000) {
            distributor->SendNotification(LNotification::Create(u"NID_MIDI_DATA_CAPTURED"));
            ++sends;
        }
    });

    // Kept until the deliverer is done: two threads dropping the last
    // references of one object at the same moment would race in its release
    // hook, which is not what this test is about.
    std::vector<RCPtr<RecordingClient>> transients;
    transients.reserve(kRounds);
    for (int round = 0; round < kRounds; ++round) {
        RCPtr<RecordingClient> transient(new RecordingClient("transient", nullptr));
        RecordingClient* self = transient.Get();
        transient->onReceive = [self](const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& n) {
            // Some leave from inside the delivery, on the delivering thread.
            if (self->ids.size() == 2) self->UnregisterNotification(sender, n->GetID());
        };
        transient->RegisterNotification(distributor, u"NID_MIDI_DATA_CAPTURED");
        transient->RegisterNotification(distributor, u"NID_OTHER");
        if (round % 2 == 0) transient->UnregisterNotification(distributor, u"NID_MIDI_DATA_CAPTURED");
        if (round % 3 == 0) transient->UnregisterAllNotifications();
        transients.push_back(transient);
    }
    stop = true;
    deliverer.join();

    EXPECT_EQ(steady->ids.size(), static_cast<size_t>(sends.load()));
    for (const auto& transient : transients) EXPECT_LE(transient->ids.size(), 2u);
    transients.clear();  // the rest unregister as they go
    EXPECT_EQ(distributor->GetRegistrationCount(), 1);
    steady->UnregisterAllNotifications();
}

// Posters mark pending-only registrations while the UI thread changes them.
TEST_F(NotificationStressTest, PendingMarksWhileRegistrationsChange)
{
    constexpr int kPosts = 5000;
    RCPtr<LNotificationCenter> center = GetDefaultNotificationCenter();
    RCPtr<RecordingClient> status(new RecordingClient("status", nullptr));
    status->RegisterNotification(center, u"NID_SET_STATUS_TEXT", LNotificationDistributor::kPendingOnly);

    std::atomic<int> postersLeft{2};
    std::vector<std::thread> posters;
    for (int t = 0; t < 2; ++t) {
        posters.emplace_back([&postersLeft] {
            for (int i = 0; i < kPosts; ++i) {
                GetDefaultNotificationCenter()->PostNamedNotification(u"NID_SET_STATUS_TEXT",
                                                                     new Tracked(nullptr, i));
            }
            --postersLeft;
        });
    }
    RCPtr<LNotificationCenterManager> manager = LNotificationCenterManager::GetInstance();
    while (postersLeft > 0) {
        RCPtr<RecordingClient> other(new RecordingClient("other", nullptr));
        other->RegisterNotification(center, u"NID_SET_STATUS_TEXT", LNotificationDistributor::kPendingOnly);
        manager->ProcessNotifications(true);
    }
    for (auto& poster : posters) poster.join();
    manager->ProcessNotifications(false);

    ASSERT_FALSE(status->values.empty());
    EXPECT_LE(status->values.size(), static_cast<size_t>(2 * kPosts));
    EXPECT_EQ(status->values.back(), kPosts - 1);  // the newest text is never lost
}

}  // namespace
