#include <gtest/gtest.h>

#include <string>

#include "LNotification.h"
#include "NotificationTestSupport.h"

namespace {

using namespace QV;
using namespace notification_test;

// Recycling is process-wide: every test leaves it switched off.
class NotificationTest : public ::testing::Test {
protected:
    void TearDown() override { LNotification::EnableRecycling(false); }
};

TEST_F(NotificationTest, NamesBecomeProcessWideIds)
{
    const NotificationID idle = Id(u"NID_IDLE");
    ASSERT_NE(idle, nullptr);
    EXPECT_EQ(Id(u"NID_IDLE"), idle);
    EXPECT_EQ(std::u16string(idle), u"NID_IDLE");
    // Equal text from another buffer; case matters.
    const std::u16string copy = u"NID_IDLE";
    EXPECT_EQ(Id(copy.c_str()), idle);
    EXPECT_NE(Id(u"nid_idle"), idle);
    // An id is accepted as a name and maps to itself.
    EXPECT_EQ(Id(idle), idle);
    EXPECT_EQ(Id(nullptr), nullptr);
    EXPECT_EQ(Id(u""), nullptr);

    Mutex::Lock lock(GetNotificationLock());
    const NotificationNameTable& table = GetNotificationNameTable();
    const int32_t index = table.FindID(idle);
    ASSERT_GE(index, 0);
    EXPECT_EQ(table.GetAt(static_cast<uint32_t>(index)), idle);
}

TEST_F(NotificationTest, EmptyNamesGiveNoNotification)
{
    for (bool recycling : {false, true}) {
        LNotification::EnableRecycling(recycling);
        // A pooled notification must not leave with a stale id.
        LNotification::Create(u"NID_TEST_POOLED");
        EXPECT_TRUE(LNotification::Create(u"").IsNull()) << recycling;
        EXPECT_TRUE(LNotification::Create(nullptr).IsNull()) << recycling;
        EXPECT_TRUE(LNotification::NewNotification(u"").IsNull()) << recycling;
    }
}

TEST_F(NotificationTest, WithoutRecyclingTheLastReleaseDestroysNotificationAndPayload)
{
    int payloadsDestroyed = 0;
    {
        RCPtr<LNotification> n = LNotification::Create(u"NID_TEST_A", new Tracked(&payloadsDestroyed));
        ASSERT_FALSE(n.IsNull());
        EXPECT_EQ(n->GetID(), Id(u"NID_TEST_A"));
        EXPECT_FALSE(n->IsQueued());
    }
    EXPECT_EQ(payloadsDestroyed, 1);
    EXPECT_EQ(LNotification::GetPoolCount(), 0u);
}

TEST_F(NotificationTest, RecyclingReusesTheLastReturnedNotificationWithNewIdAndPayload)
{
    LNotification::EnableRecycling(true);
    int payloadsDestroyed = 0;
    const LNotification* first;
    const LNotification* second;
    {
        RCPtr<LNotification> a = LNotification::Create(u"NID_TEST_A", new Tracked(&payloadsDestroyed));
        RCPtr<LNotification> b = LNotification::Create(u"NID_TEST_B");
        first = a.Get();
        second = b.Get();
    }
    // Pooled without their payloads.
    EXPECT_EQ(payloadsDestroyed, 1);
    EXPECT_EQ(LNotification::GetPoolCount(), 2u);

    RCPtr<Tracked> payload(new Tracked());
    RCPtr<LNotification> again = LNotification::Create(u"NID_TEST_C", payload);
    EXPECT_EQ(again.Get(), first);  // a went back last
    EXPECT_EQ(again->GetID(), Id(u"NID_TEST_C"));
    EXPECT_EQ(again->GetPayload().Get(), payload.Get());
    EXPECT_EQ(LNotification::Create(u"NID_TEST_D").Get(), second);
}

TEST_F(NotificationTest, AQueuedNotificationKeepsItsPayloadUntilTakenFromThePool)
{
    LNotification::EnableRecycling(true);
    int payloadsDestroyed = 0;
    {
        RCPtr<LNotification> n = LNotification::Create(u"NID_TEST_A", new Tracked(&payloadsDestroyed));
        ASSERT_TRUE(n->MarkQueued());
        EXPECT_FALSE(n->MarkQueued());
    }
    EXPECT_EQ(payloadsDestroyed, 0);
    RCPtr<LNotification> reused = LNotification::Create(u"NID_TEST_B");
    EXPECT_EQ(payloadsDestroyed, 1);
    EXPECT_EQ(reused->GetID(), Id(u"NID_TEST_B"));
    EXPECT_TRUE(reused->GetPayload().IsNull());
    EXPECT_FALSE(reused->IsQueued());
}

TEST_F(NotificationTest, NewNotificationNeverTakesFromThePool)
{
    LNotification::EnableRecycling(true);
    LNotification::Create(u"NID_TEST_A");
    ASSERT_EQ(LNotification::GetPoolCount(), 1u);
    RCPtr<LNotification> fresh = LNotification::NewNotification(u"NID_TEST_B");
    EXPECT_EQ(LNotification::GetPoolCount(), 1u);
}

TEST_F(NotificationTest, SwitchingRecyclingOffEmptiesThePool)
{
    LNotification::EnableRecycling(true);
    for (int i = 0; i < 3; ++i) RCPtr<LNotification> n = LNotification::NewNotification(u"NID_TEST_A");
    EXPECT_EQ(LNotification::GetPoolCount(), 3u);
    LNotification::EnableRecycling(false);
    EXPECT_EQ(LNotification::GetPoolCount(), 0u);  // LeakSanitizer checks they are gone
    EXPECT_FALSE(LNotification::IsRecyclingEnabled());
    RCPtr<LNotification> n = LNotification::Create(u"NID_TEST_A");
    n.Reset();
    EXPECT_EQ(LNotification::GetPoolCount(), 0u);
}

TEST_F(NotificationTest, TypeName)
{
    EXPECT_STREQ(LNotification::Create(u"NID_TEST_A")->GetTypeName(), "class QV::LNotification");
}

}  // namespace
