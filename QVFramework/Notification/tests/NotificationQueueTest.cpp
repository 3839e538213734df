#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "LNotificationCenterManager.h"
#include "NotificationTestSupport.h"

namespace {

using namespace QV;
using namespace notification_test;
using Log = std::vector<std::string>;

// A queue delivering through its own distributor, with two clients.
class QueueTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(queue->SetDistributor(distributor), S_OK); }
    void TearDown() override
    {
        queue->Shutdown();
        LNotification::EnableRecycling(false);
    }

    Log log;
    RCPtr<LNotificationDistributor> distributor{new LNotificationDistributor()};
    RCPtr<LNotificationQueue> queue{new LNotificationQueue()};
    RCPtr<RecordingClient> a{new RecordingClient("A", &log)};
    RCPtr<RecordingClient> b{new RecordingClient("B", &log)};
};

TEST_F(QueueTest, PostRefusals)
{
    EXPECT_EQ(queue->PostNotification(nullptr), E_INVALIDARG);
    EXPECT_EQ(queue->PostNamedNotification(u""), E_INVALIDARG);
    RCPtr<LNotification> n = LNotification::Create(u"NID_TEST_A");
    EXPECT_EQ(queue->PostNotification(n), S_OK);
    EXPECT_TRUE(n->IsQueued());
    EXPECT_EQ(queue->PostNotification(n), E_INVALIDARG);
    EXPECT_EQ(queue->GetQueuedCount(), 1u);

    RCPtr<LNotificationQueue> lonely(new LNotificationQueue());
    RCPtr<LNotification> other = LNotification::Create(u"NID_TEST_A");
    EXPECT_EQ(lonely->PostNotification(other), E_FAIL);
    EXPECT_FALSE(other->IsQueued());
    EXPECT_FALSE(lonely->ProcessNotifications(true));  // no distributor: not even "NID_IDLE"
    EXPECT_EQ(queue->SetDistributor(distributor), E_FAIL);
}

// A refused named post hands its notification straight back: into the pool,
// not marked queued, its payload gone.
TEST_F(QueueTest, ARefusedNamedPostReturnsItsNotificationToThePool)
{
    struct Case {
        const char* what;
        bool shutDown;
    };
    for (const Case& c : {Case{"no distributor", false}, Case{"shut down", true}}) {
        SCOPED_TRACE(c.what);
        LNotification::EnableRecycling(false);
        LNotification::EnableRecycling(true);
        RCPtr<LNotificationQueue> target(new LNotificationQueue());
        if (c.shutDown) {
            ASSERT_EQ(target->SetDistributor(distributor), S_OK);
            target->Shutdown();
        }
        int destroyed = 0;
        EXPECT_EQ(target->PostNamedNotification(u"NID_TEST_A", new Tracked(&destroyed)), E_FAIL);
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(target->GetQueuedCount(), 0u);
        ASSERT_EQ(LNotification::GetPoolCount(), 1u);
        const RCPtr<LNotification> again = LNotification::Create(u"NID_TEST_B");
        EXPECT_FALSE(again->IsQueued());
        EXPECT_EQ(again->GetID(), NotificationNameTable::GetNotificationID(u"NID_TEST_B"));
    }
}

TEST_F(QueueTest, DrainDeliversOldestFirstAndClearsTheQueuedMark)
{
    a->RegisterNotification(distributor, u"NID_TEST_A");
    a->RegisterNotification(distributor, u"NID_TEST_B");
    RCPtr<LNotification> first = LNotification::Create(u"NID_TEST_A", new Tracked(nullptr, 1));
    EXPECT_GE(queue->PostNotification(first), 0);
    EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_B", new Tracked(nullptr, 2)), 0);
    EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_A", new Tracked(nullptr, 3)), 0);
    EXPECT_TRUE(log.empty());

    EXPECT_FALSE(queue->ProcessNotifications(false));
    EXPECT_EQ(a->ids, (std::vector<NotificationID>{Id(u"NID_TEST_A"), Id(u"NID_TEST_B"), Id(u"NID_TEST_A")}));
    EXPECT_EQ(a->values, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(first->IsQueued());
    EXPECT_EQ(queue->PostNotification(first), S_OK);  // may go again
}

TEST_F(QueueTest, APostMadeDuringADrainArrivesOnTheNextPass)
{
    a->RegisterNotification(distributor, u"NID_TEST_A");
    LNotificationQueue* target = queue.Get();
    int posts = 0;
    a->onReceive = [target, &posts](const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
        if (posts++ == 0) {
            EXPECT_EQ(target->PostNamedNotification(u"NID_TEST_A"), S_OK);
        }
    };
    EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_A"), 0);
    EXPECT_TRUE(queue->ProcessNotifications(false));
    EXPECT_EQ(log.size(), 1u);
    EXPECT_FALSE(queue->ProcessNotifications(false));
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(QueueTest, IdlePassesSendNidIdle)
{
    a->RegisterNotification(distributor, u"NID_IDLE");
    b->RegisterNotification(distributor, u"NID_TEST_A");
    EXPECT_FALSE(queue->ProcessNotifications(true));
    EXPECT_EQ(log, (Log{"A"}));
    EXPECT_EQ(a->ids, (std::vector<NotificationID>{Id(u"NID_IDLE")}));

    EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_A"), 0);
    queue->ProcessNotifications(false);
    EXPECT_EQ(log, (Log{"A", "B"}));

    // A nested drain (a modal loop in a receiver) skips the queue but still idles.
    LNotificationQueue* nestedQueue = queue.Get();
    std::vector<bool> nestedResults;
    b->onReceive = [nestedQueue, &nestedResults](const RCPtr<LNotificationDistributor>&,
                                                 const RCPtr<LNotification>&) {
        nestedResults.push_back(nestedQueue->ProcessNotifications(true));
    };
    EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_A"), 0);
    EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_A"), 0);
    EXPECT_FALSE(queue->ProcessNotifications(true));
    EXPECT_EQ(log, (Log{"A", "B", "B", "A", "B", "A", "A"}));
    EXPECT_EQ(nestedResults, (std::vector<bool>{true, false}));
}

TEST_F(QueueTest, TheRingGrowsPast256InFirstInFirstOutOrder)
{
    LNotification::EnableRecycling(true);
    a->RegisterNotification(distributor, u"NID_TEST_A");
    EXPECT_EQ(queue->GetRingSlotCount(), 256u);
    for (int i = 0; i < 255; ++i) EXPECT_EQ(queue->PostNamedNotification(u"NID_TEST_A", new Tracked(nullptr, i)), S_OK);
    EXPECT_EQ(queue->GetRingSlotCount(), 256u);
    // Move the read index off zero, so growth happens across the wrap too.
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(queue->PostNamedNotification(u"NID_TEST_A", new Tracked(nullptr, 255 + i)), S_OK);
    EXPECT_EQ(queue->GetQueuedCount(), 355u);
    EXPECT_EQ(queue->GetRingSlotCount(), 356u);

    EXPECT_FALSE(queue->ProcessNotifications(false));
    std::vector<int> expected(355);
    for (int i = 0; i < 355; ++i) expected[static_cast<size_t>(i)] = i;
    EXPECT_EQ(a->values, expected);
}

// Bursts of several names, some without a client, come through recycled
// notifications in posting order, and every notification goes back to the
// pool, which keeps what it gathered for the next burst.
TEST_F(QueueTest, RecycledBurstsOfSeveralNamesKeepTheirOrder)
{
    LNotification::EnableRecycling(true);
    a->RegisterNotification(distributor, u"NID_TEST_A");
    a->RegisterNotification(distributor, u"NID_TEST_B");
    const char16_t* names[] = {u"NID_TEST_A", u"NID_TEST_A", u"NID_TEST_B", u"NID_TEST_NOBODY"};
    for (const int burst : {1, 255, 256, 700, 700}) {
        SCOPED_TRACE(burst);
        a->values.clear();
        a->ids.clear();
        std::vector<int> expected;
        std::vector<NotificationID> expectedIds;
        for (int i = 0; i < burst; ++i) {
            const char16_t* name = names[i % 4];
            EXPECT_GE(queue->PostNamedNotification(name, new Tracked(nullptr, i)), 0);
            if (name[9] == u'N') continue;
            expected.push_back(i);
            expectedIds.push_back(Id(name));
        }
        const uint32_t pooledBefore = LNotification::GetPoolCount();
        EXPECT_FALSE(queue->ProcessNotifications(false));
        EXPECT_EQ(a->values, expected);
        EXPECT_EQ(a->ids, expectedIds);
        EXPECT_GE(LNotification::GetPoolCount(), pooledBefore + static_cast<uint32_t>(burst));
    }
}

// A name without a client when the pass began still reaches a client that
// registers for it during the pass.
TEST_F(QueueTest, ARegistrationMadeDuringAPassGetsTheRestOfItsName)
{
    a->RegisterNotification(distributor, u"NID_TEST_A");
    const RCPtr<RecordingClient> late = b;
    const RCPtr<LNotificationDistributor> source = distributor;
    a->onReceive = [&](const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
        late->RegisterNotification(source, u"NID_TEST_B");
    };
    EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_B", new Tracked(nullptr, 0)), 0);
    EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_A", new Tracked(nullptr, 1)), 0);
    EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_B", new Tracked(nullptr, 2)), 0);
    EXPECT_FALSE(queue->ProcessNotifications(false));
    EXPECT_EQ(b->values, std::vector<int>{2});
    a->onReceive = nullptr;
    b->UnregisterAllNotifications();
}

TEST_F(QueueTest, GrowthKeepsOrderWhenTheReadIndexIsPastTheWriteIndex)
{
    a->RegisterNotification(distributor, u"NID_TEST_A");
    int next = 0;
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(queue->PostNamedNotification(u"NID_TEST_A", new Tracked(nullptr, next++)), S_OK);
    queue->ProcessNotifications(false);  // read and write now at 200
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(queue->PostNamedNotification(u"NID_TEST_A", new Tracked(nullptr, next++)), S_OK);
    EXPECT_EQ(queue->GetRingSlotCount(), 301u);
    queue->ProcessNotifications(false);
    std::vector<int> expected(500);
    for (int i = 0; i < 500; ++i) expected[static_cast<size_t>(i)] = i;
    EXPECT_EQ(a->values, expected);
}

TEST_F(QueueTest, APendingOnlyClientReceivesOnlyTheNewestPost)
{
    a->RegisterNotification(distributor, u"NID_SET_STATUS_TEXT");
    b->RegisterNotification(distributor, u"NID_SET_STATUS_TEXT", LNotificationDistributor::kPendingOnly);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(queue->PostNamedNotification(u"NID_SET_STATUS_TEXT", new Tracked(nullptr, i)), S_OK);
    queue->ProcessNotifications(false);
    EXPECT_EQ(a->values, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(b->values, (std::vector<int>{3}));

    EXPECT_GE(queue->PostNamedNotification(u"NID_SET_STATUS_TEXT", new Tracked(nullptr, 4)), 0);
    queue->ProcessNotifications(false);
    EXPECT_EQ(b->values, (std::vector<int>{3, 4}));
}

TEST_F(QueueTest, ClearDropsEverythingUndelivered)
{
    a->RegisterNotification(distributor, u"NID_TEST_A");
    RCPtr<LNotification> n = LNotification::Create(u"NID_TEST_A");
    EXPECT_GE(queue->PostNotification(n), 0);
    EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_A"), 0);
    EXPECT_FALSE(queue->Clear());
    EXPECT_FALSE(n->IsQueued());
    EXPECT_FALSE(queue->ProcessNotifications(false));
    EXPECT_TRUE(log.empty());
}

TEST_F(QueueTest, AReceiverThatShutsTheQueueDownEndsThePass)
{
    a->RegisterNotification(distributor, u"NID_TEST_A");
    a->RegisterNotification(distributor, u"NID_IDLE");  // a shut-down queue idles no more
    LNotificationQueue* closing = queue.Get();
    a->onReceive = [closing](const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
        closing->Shutdown();
    };
    RCPtr<LNotification> last = LNotification::Create(u"NID_TEST_A");
    EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_A"), 0);
    EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_A"), 0);
    EXPECT_GE(queue->PostNotification(last), 0);
    EXPECT_FALSE(queue->ProcessNotifications(true));
    EXPECT_EQ(log, (Log{"A"}));
    EXPECT_FALSE(last->IsQueued());
}

TEST_F(QueueTest, ThePostingReceiverTurnsDeliveriesIntoPosts)
{
    RCPtr<LNotificationDistributor> source(new LNotificationDistributor());
    RCPtr<LNotificationQueue::LPostingReceiver> receiver = queue->GetPostingReceiver();
    ASSERT_FALSE(receiver.IsNull());
    EXPECT_EQ(source->RegisterClient(receiver.Get(), u"NID_TEST_A"), S_OK);
    a->RegisterNotification(distributor, u"NID_TEST_A");

    RCPtr<Tracked> payload(new Tracked(nullptr, 7));
    EXPECT_GE(source->SendNotification(LNotification::Create(u"NID_TEST_A", payload)), 0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(queue->GetQueuedCount(), 1u);
    queue->ProcessNotifications(false);
    EXPECT_EQ(a->payloads, (std::vector<const LRefCountedObject*>{payload.Get()}));

    // It has no registrations of its own to give back, so it stays.
    EXPECT_EQ(source->ReleaseAllClients(), S_OK);
    EXPECT_TRUE(source->HasClient(receiver.Get()));
    EXPECT_EQ(source->UnregisterClient(receiver.Get(), u"NID_TEST_A"), S_OK);
}

TEST_F(QueueTest, ShutdownCutsTheQueueOff)
{
    RCPtr<LNotificationDistributor> source(new LNotificationDistributor());
    RCPtr<LNotificationQueue::LPostingReceiver> receiver = queue->GetPostingReceiver();
    EXPECT_GE(source->RegisterClient(receiver.Get(), u"NID_TEST_A"), 0);
    a->RegisterNotification(distributor, u"NID_TEST_A");
    a->RegisterNotification(distributor, u"NID_IDLE");
    RCPtr<LNotification> waiting = LNotification::Create(u"NID_TEST_A");
    EXPECT_GE(queue->PostNotification(waiting), 0);

    queue->Shutdown();
    EXPECT_FALSE(waiting->IsQueued());
    EXPECT_TRUE(queue->GetPostingReceiver().IsNull());
    EXPECT_TRUE(queue->GetDistributor().IsNull());
    EXPECT_EQ(queue->PostNamedNotification(u"NID_TEST_A"), E_FAIL);
    EXPECT_EQ(queue->SetDistributor(distributor), E_FAIL);
    EXPECT_GE(source->SendNotification(LNotification::Create(u"NID_TEST_A")), 0);
    EXPECT_EQ(queue->GetQueuedCount(), 0u);
    EXPECT_FALSE(queue->ProcessNotifications(true));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(queue->GetInternalRefCount(), 0);
    EXPECT_GE(source->UnregisterClient(receiver.Get(), u"NID_TEST_A"), 0);
}

// Counts its destructions.
class TrackedQueue : public LNotificationQueue {
    QV_TYPE_NAME("class TrackedQueue")
public:
    explicit TrackedQueue(int* destroyed) : mDestroyed(destroyed) {}
    ~TrackedQueue() override { ++*mDestroyed; }

private:
    int* mDestroyed;
};

TEST(NotificationQueueLifetimeTest, AQueueDroppedWithoutShutdownIsDestroyed)
{
    int destroyed = 0;
    int payloads = 0;
    {
        RCPtr<TrackedQueue> queue(new TrackedQueue(&destroyed));
        RCPtr<LNotificationDistributor> distributor(new LNotificationDistributor());
        EXPECT_GE(queue->SetDistributor(distributor), 0);
        EXPECT_GE(queue->PostNamedNotification(u"NID_TEST_A", new Tracked(&payloads)), 0);
    }
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(payloads, 1);
}

class CenterTest : public ::testing::Test {
protected:
    void TearDown() override { LNotificationCenterManager::ResetInstance(); }
};

TEST_F(CenterTest, GetNotificationCenterMakesOneCenterPerName)
{
    RCPtr<LNotificationCenterManager> manager = LNotificationCenterManager::GetInstance();
    EXPECT_EQ(manager->GetCenterCount(), 0u);
    RCPtr<LNotificationCenter> application = GetDefaultNotificationCenter();
    ASSERT_FALSE(application.IsNull());
    EXPECT_EQ(manager->GetCenterCount(), 1u);
    EXPECT_EQ(std::u16string(application->GetName().GetChars()), u"application");
    EXPECT_EQ(manager->FindNotificationCenter(u"application").Get(), application.Get());

    RCPtr<LNotificationCenter> other = manager->GetNotificationCenter(u"other");
    EXPECT_EQ(manager->GetNotificationCenter(u"other").Get(), other.Get());
    EXPECT_EQ(manager->FindNotificationCenter(other->GetName().GetChars()).Get(), other.Get());
    EXPECT_NE(other.Get(), application.Get());
    EXPECT_TRUE(manager->GetNotificationCenter(u"").IsNull());
    EXPECT_TRUE(manager->FindNotificationCenter(u"Other").IsNull());
    EXPECT_EQ(manager->GetCenterCount(), 2u);
    EXPECT_EQ(other->GetDistributor().Get(), static_cast<LNotificationDistributor*>(other.Get()));
}

TEST_F(CenterTest, TheManagerDrainsCentersFromTheLastToTheFirst)
{
    Log log;
    RCPtr<LNotificationCenterManager> manager = LNotificationCenterManager::GetInstance();
    RCPtr<LNotificationCenter> first = GetDefaultNotificationCenter();
    RCPtr<LNotificationCenter> second = manager->GetNotificationCenter(u"second");
    RCPtr<RecordingClient> one(new RecordingClient("first", &log));
    RCPtr<RecordingClient> two(new RecordingClient("second", &log));
    one->RegisterNotification(first, u"NID_IDLE");
    two->RegisterNotification(second, u"NID_IDLE");
    two->RegisterNotification(second, u"NID_TEST_A");
    LNotificationCenter* repost = second.Get();
    two->onReceive = [repost](const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& n) {
        if (n->GetID() == Id(u"NID_TEST_A")) {
            EXPECT_EQ(repost->PostNamedNotification(u"NID_TEST_B"), S_OK);
        }
    };
    EXPECT_GE(second->PostNamedNotification(u"NID_TEST_A"), 0);

    EXPECT_TRUE(manager->ProcessNotifications(true));
    EXPECT_EQ(log, (Log{"second", "second", "first"}));
    EXPECT_FALSE(manager->ProcessNotifications(false));
}

TEST_F(CenterTest, ADroppedCenterReleasesItsClients)
{
    int destroyed = 0;
    RCPtr<RecordingClient> client(new RecordingClient("C", nullptr, &destroyed));
    {
        RCPtr<LNotificationCenter> center =
            LNotificationCenterManager::GetInstance()->CreateNotificationCenter(u"standalone");
        client->RegisterNotification(center, u"NID_TEST_A");
        EXPECT_GE(center->PostNamedNotification(u"NID_TEST_A", new Tracked(&destroyed)), 0);
    }
    EXPECT_EQ(destroyed, 1);  // the queued payload; the center went with it
    EXPECT_EQ(client->GetRegistrationCount(), 0);
    EXPECT_EQ(client->GetInternalRefCount(), 0);
}

TEST_F(CenterTest, TheDefaultCenterCanBeDrainedOnTheTestThread)
{
    RCPtr<RecordingClient> client(new RecordingClient("C", nullptr));
    client->RegisterNotification(GetDefaultNotificationCenter(), u"NID_DEVICE_CONNECTION_STATE_CHANGE");
    std::thread worker([] {
        EXPECT_EQ(GetDefaultNotificationCenter()->PostNamedNotification(u"NID_DEVICE_CONNECTION_STATE_CHANGE",
                                                                        new Tracked(nullptr, 5)),
                  S_OK);
    });
    worker.join();
    EXPECT_TRUE(client->ids.empty());
    EXPECT_FALSE(LNotificationCenterManager::GetInstance()->ProcessNotifications(false));
    EXPECT_EQ(client->values, (std::vector<int>{5}));

    // A reset ends the center: its clients are let go and a new one is made.
    RCPtr<LNotificationCenter> old = GetDefaultNotificationCenter();
    LNotificationCenterManager::ResetInstance();
    EXPECT_EQ(client->GetRegistrationCount(), 0);
    EXPECT_EQ(old->PostNamedNotification(u"NID_TEST_A"), E_FAIL);
    RCPtr<LNotificationCenter> fresh = GetDefaultNotificationCenter();
    EXPECT_NE(fresh.Get(), old.Get());
    EXPECT_EQ(fresh->PostNamedNotification(u"NID_TEST_A"), S_OK);
}

}  // namespace
