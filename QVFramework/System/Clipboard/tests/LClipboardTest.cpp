#include <gtest/gtest.h>

#include <vector>

#include "FakeClipboardService.h"
#include "LClipboard.h"
#include "LNotificationDistributor.h"

namespace {

using namespace QV;

std::string Narrow(const String& s)
{
    return NarrowString(s).GetChars();
}

std::string TextOf(const RCPtr<LRefCountedObject>& value)
{
    const auto* text = dynamic_cast<const LStringValue*>(value.Get());
    return text ? Narrow(text->GetText()) : "<not text>";
}

RCPtr<LRefCountedObject> Text(const char16_t* text)
{
    return RCPtr<LRefCountedObject>(new LStringValue(String(text)));
}

class LClipboardTest : public ::testing::Test {
protected:
    Platform::FakeClipboardService fake;
    Platform::ScopedClipboardService scoped{fake};
    RCPtr<LClipboard> bridge = LClipboard::Create();
};

TEST_F(LClipboardTest, OwnCopyComesBackWithoutReadingTheClipboard)
{
    RCPtr<LRefCountedObject> copied = Text(u"zone 1");
    ASSERT_EQ(bridge->SetText(copied), S_OK);
    EXPECT_EQ(fake.PeekText(), "zone 1");
    EXPECT_EQ(bridge->GetText(), copied);
    EXPECT_EQ(fake.readCount, 0);
}

TEST_F(LClipboardTest, ForeignCopyIsReadOnceUntilTheClipboardChanges)
{
    EXPECT_GE(bridge->SetText(Text(u"ours")), 0);
    fake.ForeignCopy("th\xC3\xA9irs");
    RCPtr<LRefCountedObject> first = bridge->GetText();
    EXPECT_EQ(TextOf(first), "th\xC3\xA9irs");
    EXPECT_EQ(bridge->GetText(), first);
    EXPECT_EQ(fake.readCount, 1);
    fake.ForeignCopy("again");
    EXPECT_EQ(TextOf(bridge->GetText()), "again");
    EXPECT_EQ(fake.readCount, 2);
}

TEST_F(LClipboardTest, PrivateValueStaysWhileTheMarkHolds)
{
    RCPtr<LRefCountedObject> value(new LRefCountedObject);
    ASSERT_EQ(bridge->SetText(value), S_OK);
    EXPECT_EQ(fake.PeekText(), std::nullopt);  // other programs see no text
    EXPECT_TRUE(fake.HasPrivateMark());
    fake.PeekText();  // another program reads
    EXPECT_EQ(bridge->GetText(), value);
    fake.ForeignCopy("replaced");
    EXPECT_EQ(TextOf(bridge->GetText()), "replaced");
}

TEST_F(LClipboardTest, EmptyClipboardGivesTheSharedEmptyText)
{
    fake.ForeignClear();
    RCPtr<LRefCountedObject> first = bridge->GetText();
    EXPECT_EQ(TextOf(first), "");
    EXPECT_EQ(bridge->GetText(), first);
    EXPECT_EQ(fake.readCount, 0);
}

TEST_F(LClipboardTest, NoValueThenTextPutsTheText)
{
    EXPECT_EQ(bridge->SetText(nullptr), S_OK);
    EXPECT_EQ(fake.PeekText(), std::nullopt);
    EXPECT_EQ(bridge->SetText(Text(u"after")), S_OK);
    EXPECT_EQ(fake.PeekText(), "after");
}

TEST_F(LClipboardTest, FailuresKeepTheCachedValue)
{
    RCPtr<LRefCountedObject> kept = Text(u"kept");
    EXPECT_GE(bridge->SetText(kept), 0);
    fake.failWrites = true;
    EXPECT_EQ(bridge->SetText(Text(u"refused")), E_FAIL);
    EXPECT_EQ(bridge->SetText(RCPtr<LRefCountedObject>(new LRefCountedObject)), E_FAIL);
    EXPECT_EQ(fake.PeekText(), "kept");
    fake.failWrites = false;
    EXPECT_GE(bridge->SetText(kept), 0);
    fake.failReads = true;
    fake.ForeignCopy("unreadable");
    EXPECT_EQ(bridge->GetText(), kept);
    fake.failReads = false;
    EXPECT_EQ(TextOf(bridge->GetText()), "unreadable");  // read once it can be
}

class ReenteringClipboard : public Platform::FakeClipboardService {
public:
    bool SetText(const std::string& utf8) override
    {
        if (bridge) inner = bridge->SetText(RCPtr<LRefCountedObject>(new LStringValue(String(u"inner"))));
        return FakeClipboardService::SetText(utf8);
    }
    LClipboard* bridge = nullptr;
    QVResult inner = S_OK;
};

TEST(LClipboardReentryTest, SetTextInsideSetTextDoesNothing)
{
    ReenteringClipboard fake;
    Platform::ScopedClipboardService scoped(fake);
    RCPtr<LClipboard> bridge = LClipboard::Create();
    fake.bridge = bridge.Get();
    EXPECT_EQ(bridge->SetText(Text(u"outer")), S_OK);
    EXPECT_EQ(fake.inner, 1);
    EXPECT_EQ(fake.PeekText(), "outer");
    EXPECT_EQ(TextOf(bridge->GetText()), "outer");
}

class Target : public IEditCommandTarget {
public:
    bool HandlesEditCommands() override { return handles; }
    bool CanPerformEdit(int32_t command) override { return command != LClipboard::kDelete; }
    QVResult PerformEdit(int32_t command) override
    {
        performed.push_back(command);
        return 7;
    }
    bool handles = true;
    std::vector<int32_t> performed;
};

TEST_F(LClipboardTest, EditRequestsReachTheFocusedTarget)
{
    RCPtr<LNotificationDistributor> center(new LNotificationDistributor);
    ASSERT_EQ(bridge->Initialize(center), S_OK);
    EXPECT_TRUE(bridge->IsInitialized());
    EXPECT_EQ(bridge->PerformEditCommand(LClipboard::kCopy), kNotHandled);  // nobody focused

    auto target = std::make_shared<Target>();
    bridge->SetEditTargetLookup([&] { return target; });
    for (const char16_t* name :
         {u"NID_EDIT_CUT_REQ", u"NID_EDIT_COPY_REQ", u"NID_EDIT_PASTE_REQ", u"NID_EDIT_DELETE_REQ"}) {
        center->SendNotification(LNotification::Create(name));
    }
    EXPECT_EQ(target->performed, (std::vector<int32_t>{LClipboard::kCut, LClipboard::kCopy, LClipboard::kPaste}));
    EXPECT_EQ(bridge->PerformEditCommand(LClipboard::kPaste), 7);
    EXPECT_EQ(bridge->PerformEditCommand(LClipboard::kDelete), kNotHandled);
    EXPECT_TRUE(bridge->CanPerformEditCommand(LClipboard::kCut));
    target->handles = false;
    EXPECT_FALSE(bridge->CanPerformEditCommand(LClipboard::kCut));
    EXPECT_EQ(bridge->PerformEditCommand(LClipboard::kCut), kNotHandled);
    bridge->UnregisterAllNotifications();
}

TEST_F(LClipboardTest, RefusedSubscriptionRaisesAFailedResult)
{
    try {
        EXPECT_GE(bridge->Initialize(nullptr), 0);
        FAIL() << "no exception";
    } catch (const FailedResultException& e) {
        EXPECT_STREQ(e.what(),
                     "Failed Result : QVRESULT = 80070057 : QV::LClipboard::Initialize : System\\ClipBoard : Line 41");
    }
    EXPECT_FALSE(bridge->IsInitialized());
}

}  // namespace
