#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LNotificationCenterManager.h"
#include "LNotificationHandler.h"
#include "NotificationTestSupport.h"

namespace {

using namespace QV;
using namespace notification_test;
using Log = std::vector<std::string>;

class DistributorTest : public ::testing::Test {
protected:
    Log log;
    RCPtr<LNotificationDistributor> distributor{new LNotificationDistributor()};
    RCPtr<RecordingClient> a{new RecordingClient("A", &log)};
    RCPtr<RecordingClient> b{new RecordingClient("B", &log)};
    RCPtr<RecordingClient> c{new RecordingClient("C", &log)};

    QVResult Send(const char16_t* name) { return distributor->SendNotification(LNotification::Create(name)); }
};

TEST_F(DistributorTest, TheLastRegisteredReceivesFirst)
{
    for (auto* client : {a.Get(), b.Get(), c.Get()}) {
        EXPECT_EQ(client->RegisterNotification(distributor, u"NID_TEST_A"), Id(u"NID_TEST_A"));
    }
    c->RegisterNotification(distributor, u"NID_TEST_B");

    EXPECT_EQ(Send(u"NID_TEST_A"), S_OK);
    EXPECT_EQ(log, (Log{"C", "B", "A"}));
    EXPECT_EQ(distributor->GetRegistrationCount(), 4);
    EXPECT_EQ(c->GetRegistrationCount(), 2);
    EXPECT_EQ(c->GetDistributorCount(), 1u);
}

TEST_F(DistributorTest, RegisteringAgainReplacesTheFlagsOfTheOneRegistration)
{
    EXPECT_EQ(distributor->RegisterClient(a.Get(), u"NID_TEST_A", 0), S_OK);
    EXPECT_EQ(distributor->RegisterClient(a.Get(), u"NID_TEST_A", 0), 1);
    EXPECT_EQ(distributor->RegisterClient(a.Get(), u"NID_TEST_A", 6), 1);
    uint32_t flags = 0;
    EXPECT_EQ(distributor->GetClientFlags(a.Get(), u"NID_TEST_A", flags), S_OK);
    EXPECT_EQ(flags, 6u);
    EXPECT_EQ(distributor->FindClientPool(Id(u"NID_TEST_A"))->GetClientCount(), 1u);
    EXPECT_EQ(distributor->FindClientPool(Id(u"NID_TEST_A"))->GetCombinedFlags(), 6u);
    EXPECT_EQ(distributor->GetRegistrationCount(), 1);
    EXPECT_EQ(distributor->GetClientFlags(a.Get(), u"NID_TEST_B", flags), E_FAIL);
    EXPECT_EQ(distributor->GetClientFlags(a.Get(), u"", flags), E_FAIL);

    EXPECT_EQ(distributor->UnregisterClient(a.Get(), u"NID_TEST_A"), S_OK);
    EXPECT_EQ(distributor->UnregisterClient(a.Get(), u"NID_TEST_A"), 1);
}

TEST_F(DistributorTest, ArgumentChecks)
{
    EXPECT_EQ(distributor->RegisterClient(nullptr, u"NID_TEST_A"), E_INVALIDARG);
    EXPECT_EQ(distributor->RegisterClient(a.Get(), u""), 1);
    EXPECT_EQ(distributor->UnregisterClient(nullptr, u"NID_TEST_A"), E_INVALIDARG);
    EXPECT_EQ(distributor->UnregisterClient(a.Get(), u""), E_INVALIDARG);
    EXPECT_EQ(distributor->UnregisterClientFromAll(nullptr), E_INVALIDARG);
    EXPECT_EQ(distributor->SendNotification(nullptr), E_INVALIDARG);
    EXPECT_EQ(a->RegisterNotification(nullptr, u"NID_TEST_A"), nullptr);
    EXPECT_EQ(a->RegisterNotification(distributor, u""), nullptr);

    // Without registrations the client answers 1 before looking at its arguments.
    EXPECT_EQ(a->UnregisterNotification(nullptr, u"NID_TEST_A"), 1);
    a->RegisterNotification(distributor, u"NID_TEST_A");
    EXPECT_EQ(a->UnregisterNotification(nullptr, u"NID_TEST_A"), E_INVALIDARG);
    EXPECT_EQ(a->UnregisterNotification(distributor, nullptr), E_INVALIDARG);
    EXPECT_EQ(a->UnregisterNotification(distributor, u"NID_TEST_B"), 1);
    EXPECT_EQ(a->UnregisterNotification(distributor, Id(u"NID_TEST_A")), S_OK);
    EXPECT_EQ(a->GetRegistrationCount(), 0);
    EXPECT_EQ(a->GetDistributorCount(), 0u);
}

TEST_F(DistributorTest, SendWithoutClientsAnswersOne)
{
    EXPECT_EQ(Send(u"NID_TEST_NOBODY"), 1);
    a->RegisterNotification(distributor, u"NID_TEST_A");
    a->UnregisterNotification(distributor, u"NID_TEST_A");
    EXPECT_EQ(Send(u"NID_TEST_A"), 1);
    EXPECT_TRUE(log.empty());
}

// What B does during its delivery, and who receives the notification.
struct UnregisterCase {
    const char* what;
    bool bRemovesItself;
    Log expected;
};

class UnregisterDuringDeliveryTest : public DistributorTest, public ::testing::WithParamInterface<UnregisterCase> {};

TEST_P(UnregisterDuringDeliveryTest, WalkStaysRight)
{
    const UnregisterCase& param = GetParam();
    for (auto* client : {a.Get(), b.Get(), c.Get()}) client->RegisterNotification(distributor, u"NID_TEST_A");
    RecordingClient* target = param.bRemovesItself ? b.Get() : a.Get();
    b->onReceive = [target](const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& n) {
        EXPECT_EQ(target->UnregisterNotification(sender, n->GetID()), S_OK);
    };
    Send(u"NID_TEST_A");
    EXPECT_EQ(log, param.expected);
    EXPECT_EQ(distributor->GetRegistrationCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnregisterDuringDeliveryTest,
                         ::testing::Values(UnregisterCase{"itself", true, {"C", "B", "A"}},
                                           UnregisterCase{"another", false, {"C", "B"}}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(DistributorTest, ARegistrationMadeDuringDeliveryWaitsForTheNextSend)
{
    a->RegisterNotification(distributor, u"NID_TEST_A");
    RecordingClient* late = c.Get();
    a->onReceive = [late](const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&) {
        late->RegisterNotification(sender, u"NID_TEST_A");
    };
    Send(u"NID_TEST_A");
    EXPECT_EQ(log, (Log{"A"}));
    Send(u"NID_TEST_A");
    EXPECT_EQ(log, (Log{"A", "C", "A"}));
}

TEST_F(DistributorTest, ANestedSendOfTheSameIdLeavesTheOuterWalkIntact)
{
    for (auto* client : {a.Get(), b.Get(), c.Get()}) client->RegisterNotification(distributor, u"NID_TEST_A");
    bool nested = false;
    RecordingClient* removed = a.Get();
    b->onReceive = [&nested, removed](const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&) {
        if (std::exchange(nested, true)) return;
        EXPECT_GE(sender->SendNotification(LNotification::Create(u"NID_TEST_A")), 0);
        removed->UnregisterNotification(sender, u"NID_TEST_A");
    };
    Send(u"NID_TEST_A");
    // Outer C, B; nested C, B, A; then A was removed before the outer walk reached it.
    EXPECT_EQ(log, (Log{"C", "B", "C", "B", "A"}));
}

TEST_F(DistributorTest, APendingOnlyRegistrationIgnoresDirectSends)
{
    a->RegisterNotification(distributor, u"NID_TEST_A", LNotificationDistributor::kPendingOnly);
    b->RegisterNotification(distributor, u"NID_TEST_A");
    EXPECT_EQ(Send(u"NID_TEST_A"), S_OK);
    EXPECT_EQ(log, (Log{"B"}));

    RCPtr<LNotification> pending = LNotification::Create(u"NID_TEST_A");
    distributor->MarkPending(pending);
    EXPECT_GE(distributor->SendNotification(pending), 0);
    EXPECT_GE(distributor->SendNotification(pending), 0);  // delivered once only
    EXPECT_EQ(log, (Log{"B", "B", "A", "B"}));
}

TEST_F(DistributorTest, NotifyClientDeliversToOneRegistration)
{
    for (auto* client : {a.Get(), b.Get(), c.Get()}) client->RegisterNotification(distributor, u"NID_TEST_A");
    RCPtr<LNotificationDistributor::LNotificationClientPool> pool = distributor->FindClientPool(Id(u"NID_TEST_A"));
    ASSERT_FALSE(pool.IsNull());
    RecordingClient* first = a.Get();
    b->onReceive = [first](const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&) {
        first->UnregisterNotification(sender, u"NID_TEST_A");
    };
    RCPtr<LNotification> n = LNotification::Create(u"NID_TEST_A");
    EXPECT_EQ(pool->NotifyClient(1, distributor, n), 0);  // A below B went away
    EXPECT_EQ(log, (Log{"B"}));
    EXPECT_EQ(pool->NotifyClient(5, distributor, n), 5);
    EXPECT_EQ(log, (Log{"B"}));
}

TEST_F(DistributorTest, UnregisterAllNotificationsTakesBackEveryRegistration)
{
    RCPtr<LNotificationDistributor> other(new LNotificationDistributor());
    a->RegisterNotification(distributor, u"NID_TEST_A");
    a->RegisterNotification(distributor, u"NID_TEST_B");
    a->RegisterNotification(other, u"NID_TEST_A");
    EXPECT_EQ(a->GetDistributorCount(), 2u);
    EXPECT_EQ(a->GetInternalRefCount(), 3);

    EXPECT_EQ(a->UnregisterAllNotifications(), 3);
    EXPECT_EQ(a->GetRegistrationCount(), 0);
    EXPECT_EQ(a->GetDistributorCount(), 0u);
    EXPECT_EQ(a->GetInternalRefCount(), 0);
    EXPECT_EQ(a->GetRefCount(), 1);
    EXPECT_EQ(distributor->GetRegistrationCount(), 0);
    EXPECT_EQ(distributor->GetInternalRefCount(), 0);
    EXPECT_EQ(distributor->GetRefCount(), 1);
    EXPECT_FALSE(other->HasClient(a.Get()));
    EXPECT_EQ(a->UnregisterAllNotifications(), 0);
}

TEST_F(DistributorTest, ReleaseAllClientsMakesEveryClientUnregister)
{
    a->RegisterNotification(distributor, u"NID_TEST_A");
    b->RegisterNotification(distributor, u"NID_TEST_A");
    b->RegisterNotification(distributor, u"NID_TEST_B");
    EXPECT_EQ(distributor->ReleaseAllClients(), S_OK);
    EXPECT_EQ(distributor->GetRegistrationCount(), 0);
    EXPECT_EQ(a->GetRegistrationCount(), 0);
    EXPECT_EQ(b->GetRegistrationCount(), 0);
    EXPECT_EQ(b->GetDistributorCount(), 0u);
    EXPECT_EQ(Send(u"NID_TEST_A"), 1);
}

// Both a client and a distributor, like a control.
class Node : public RecordingClient, public LNotificationDistributor {
    QV_TYPE_NAME("class Node")
public:
    using RecordingClient::RecordingClient;
};

TEST(NotificationCycleTest, ClientAndDistributorRegisteredWithEachOtherAreBothDestroyed)
{
    for (bool dropFirstNodeFirst : {true, false}) {
        int destroyed = 0;
        RCPtr<Node> x(new Node("X", nullptr, &destroyed));
        RCPtr<Node> y(new Node("Y", nullptr, &destroyed));
        x->RegisterNotification(y, u"NID_TEST_A");
        y->RegisterNotification(x, u"NID_TEST_B");
        x->RegisterNotification(x, u"NID_TEST_C");  // with itself too
        if (dropFirstNodeFirst) {
            x.Reset();
            EXPECT_EQ(destroyed, 0);
            y.Reset();
        } else {
            y.Reset();
            x.Reset();
        }
        EXPECT_EQ(destroyed, 2) << dropFirstNodeFirst;
    }
}

TEST(NotificationCycleTest, PlainClientAndDistributorGoInEitherOrder)
{
    for (bool clientFirst : {true, false}) {
        int destroyed = 0;
        RCPtr<RecordingClient> client(new RecordingClient("C", nullptr, &destroyed));
        RCPtr<TrackedDistributor> distributor(new TrackedDistributor(&destroyed));
        client->RegisterNotification(distributor, u"NID_TEST_A");
        client->RegisterNotification(distributor, u"NID_TEST_B");
        if (clientFirst) {
            client.Reset();
            EXPECT_EQ(destroyed, 1);
            distributor.Reset();
        } else {
            distributor.Reset();
            EXPECT_EQ(destroyed, 0);  // its clients' registrations keep it
            client.Reset();
        }
        EXPECT_EQ(destroyed, 2) << clientFirst;
    }
}

// Handles two names from one distributor through member functions.
class HandlingClient : public LNotificationClient {
    QV_TYPE_NAME("class HandlingClient")
public:
    HandlingClient() : handler(new LNotificationHandler<HandlingClient>(this)) {}

    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override
    {
        return handler->ReceiveNotification(sender, notification);
    }
    QVResult OnA(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) { calls += "a"; return 10; }
    QVResult OnB(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) { calls += "b"; return 20; }

    RCPtr<LNotificationHandler<HandlingClient>> handler;
    std::string calls;
};

TEST(NotificationHandlerTest, MapsSenderAndIdToMemberFunctions)
{
    RCPtr<LNotificationDistributor> first(new LNotificationDistributor());
    RCPtr<LNotificationDistributor> second(new LNotificationDistributor());
    RCPtr<HandlingClient> owner(new HandlingClient());
    auto& handler = *owner->handler;

    EXPECT_EQ(handler.RegisterHandler(&HandlingClient::OnA, first, u"NID_TEST_A"), S_OK);
    EXPECT_EQ(handler.RegisterHandler(&HandlingClient::OnB, second, u"NID_TEST_A", 2), S_OK);
    // A second handler for the same key keeps the first one.
    EXPECT_EQ(handler.RegisterHandler(&HandlingClient::OnB, first, u"NID_TEST_A"), S_OK);
    EXPECT_EQ(handler.RegisterHandler(&HandlingClient::OnA, nullptr, u"NID_TEST_A"), E_INVALIDARG);
    EXPECT_EQ(handler.RegisterHandler(&HandlingClient::OnA, first, u""), E_FAIL);

    EXPECT_GE(first->SendNotification(LNotification::Create(u"NID_TEST_A")), 0);
    EXPECT_GE(second->SendNotification(LNotification::Create(u"NID_TEST_A")), 0);
    EXPECT_EQ(owner->calls, "ab");
    EXPECT_EQ(handler.ReceiveNotification(first, LNotification::Create(u"NID_TEST_A")), 10);
    EXPECT_EQ(handler.ReceiveNotification(first, LNotification::Create(u"NID_TEST_B")), 0);

    LNotificationHandler<HandlingClient>::Handler found = nullptr;
    uint32_t flags = 99;
    EXPECT_EQ(handler.FindHandler(second, u"NID_TEST_A", found, flags), S_OK);
    EXPECT_EQ(found, &HandlingClient::OnB);
    EXPECT_EQ(flags, 2u);
    EXPECT_EQ(handler.FindHandler(second, u"NID_TEST_B", found, flags), E_FAIL);

    EXPECT_TRUE(handler.UnregisterHandler(first, u"NID_TEST_A"));
    EXPECT_FALSE(handler.UnregisterHandler(first, u"NID_TEST_A"));
    EXPECT_EQ(handler.ReceiveNotification(first, LNotification::Create(u"NID_TEST_A")), 0);
    EXPECT_EQ(owner->GetRegistrationCount(), 2);  // the registrations stay
    owner->UnregisterAllNotifications();
}

TEST(NotificationTypeNameTest, ClassesSpellTheirNames)
{
    RCPtr<LNotificationCenter> center = LNotificationCenterManager::GetInstance()->CreateNotificationCenter(u"names");
    struct Case {
        const LRefCountedObject* object;
        const char* name;
    };
    RCPtr<LNotificationDistributor> distributor(new LNotificationDistributor());
    RCPtr<LNotificationClient> client(new LNotificationClient());
    client->RegisterNotification(distributor, u"NID_TEST_A");
    RCPtr<HandlingClient> owner(new HandlingClient());
    const auto pool = distributor->FindClientPool(Id(u"NID_TEST_A"));
    for (const Case& c : {
             Case{distributor.Get(), "class QV::LNotificationDistributor"},
             Case{client.Get(), "class QV::LNotificationClient"},
             Case{pool.Get(), "class QV::LNotificationDistributor::LNotificationClientPool"},
             Case{center.Get(), "class QV::LNotificationCenter"},
             Case{center->GetPostingReceiver().Get(), "class QV::LNotificationQueue::LPostingReceiver"},
             Case{LNotificationCenterManager::GetInstance().Get(), "class QV::LNotificationCenterManager"},
             Case{owner->handler.Get(), "class QV::LNotificationHandler<class HandlingClient>"},
         }) {
        EXPECT_STREQ(c.object->GetTypeName(), c.name);
    }
    client->UnregisterAllNotifications();
    center->Shutdown();
    LNotificationCenterManager::ResetInstance();
}

}  // namespace
