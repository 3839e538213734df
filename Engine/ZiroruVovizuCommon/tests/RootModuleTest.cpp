#include <gtest/gtest.h>

#include <vector>

#include "LRootModule.h"
#include "PackedList.h"
#include "ParamTestValues.h"

namespace {

using QV::ParamDescriptor;
using QV::ParamValue;
using QV::RCPtr;
using QV::Variant;

using ParamTest::Blob;
using ParamTest::Desc;

// The device link without a library: records what would reach the keyboard.
class FakeLink : public LDeviceCommunicationInterface {
public:
    std::vector<int32_t> sent;
    std::vector<int32_t> fetched;
    std::vector<std::string> calls;
    int32_t connectResult = 0;

    int32_t SetParamValue(const ParamDescriptor* d, const Variant&) override
    {
        sent.push_back(d->id);
        return 0;
    }
    int32_t GetParamValue(const ParamDescriptor* d, Variant& value) override
    {
        fetched.push_back(d->id);
        value = Variant(int32_t{42});
        return 0;
    }
    int32_t ConnectDevice(const Variant&) override
    {
        calls.push_back("connect");
        return connectResult;
    }
    int32_t DisconnectDevice() override
    {
        calls.push_back("disconnect");
        return 0;
    }
    int32_t RequestParamRanges(const QV::ParamRanges* ranges) override
    {
        Variant range, first, count;
        ranges->GetArrayItem(0, range);
        range.GetArrayItem(0, first);
        range.GetArrayItem(1, count);
        calls.push_back("ranges " + std::to_string(first.GetAsInt32()) + "+" + std::to_string(count.GetAsInt32()));
        return 0;
    }
    int32_t RequestParamValueList(const ParamDescriptor* d) override
    {
        calls.push_back("values " + std::to_string(d->id));
        return 0;
    }
};

struct RootFixture : ::testing::Test {
    static constexpr int32_t kFirst = 0;
    std::vector<ParamValue> changes;
    RCPtr<FakeLink> link{new FakeLink()};
    RCPtr<LParamCache> cache{new LParamCache(15)};
    RCPtr<LRootModule> root;

    static int32_t OnChanges(void* self, const QV::IArray<ParamValue>* list)
    {
        auto* fixture = static_cast<RootFixture*>(self);
        for (uint32_t i = 0; i < list->GetCount(); ++i) fixture->changes.push_back(*list->GetItemPtr(i));
        return 0;
    }

    void Make(bool offline, int32_t first = kFirst)
    {
        root = LRootModule::Create(offline);
        ASSERT_EQ(root->Initialize(&OnChanges, this, cache, link, first), 0);
    }

    QV::ParamValues ValueSet(const std::vector<ParamValue>& values) { return PackedList::PackValues(values); }
};

TEST_F(RootFixture, InitializeLoadsDefaultsUnderOffsetKeys)
{
    Make(false, 100);
    for (int32_t i = 0; i < 15; ++i) {
        Variant cached;
        ASSERT_EQ(cache->GetValue(Desc(i), cached), 0);
        EXPECT_EQ(cached.GetType(), Variant::kBlob) << i;
    }
    Variant zone3;
    cache->GetValue(Desc(5), zone3);
    EXPECT_TRUE(zone3 == Blob({0, 3, 0, 87, 6, 12}));
    EXPECT_TRUE(root->GetParamValue(105) == zone3);
    EXPECT_TRUE(changes.empty());  // defaults are not reported
}

TEST_F(RootFixture, OfflineChangesStayInTheCacheAndReportOnce)
{
    Make(true);
    const Variant blob = Blob({1, 0, 10, 20, 6, 12});
    EXPECT_EQ(root->ApplyParamValue(Desc(2), blob), 0);
    EXPECT_EQ(root->ApplyParamValue(Desc(2), blob), 0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].descriptor.id, 2);
    EXPECT_TRUE(changes[0].value == blob);
    EXPECT_TRUE(link->sent.empty());
    Variant read;
    EXPECT_EQ(root->FetchParamValue(Desc(2), read), 0);
    EXPECT_TRUE(read == blob);
}

TEST_F(RootFixture, OnlineChangeReachesModuleCacheAndKeyboard)
{
    Make(false);
    const Variant blob = Blob({5});
    EXPECT_EQ(root->ApplyParamValue(Desc(0), blob), 0);
    EXPECT_EQ(link->sent, (std::vector<int32_t>{0}));
    ASSERT_EQ(changes.size(), 1u);
    Variant read;
    EXPECT_EQ(root->FetchParamValue(Desc(0), read), 0);
    EXPECT_TRUE(read == blob);
    EXPECT_EQ(root->FetchParamValue(Desc(15), read), QV::E_FAIL);
    EXPECT_TRUE(read.IsEmpty());
}

TEST_F(RootFixture, NegativeIdsGoStraightToTheKeyboard)
{
    Make(false);
    struct Case {
        int32_t id;
        std::vector<int32_t> sent;
    };
    const Case cases[] = {{-129, {-129}}, {-256, {-256}}, {-100, {-100}}, {-8, {-8}}};
    for (const Case& c : cases) {
        link->sent.clear();
        EXPECT_EQ(root->ApplyParamValue(Desc(c.id), Variant(int32_t{1})), 0);
        EXPECT_EQ(link->sent, c.sent) << c.id;
    }
    EXPECT_TRUE(changes.empty());
    Variant read;
    EXPECT_EQ(root->FetchParamValue(Desc(-9), read), 0);
    EXPECT_EQ(link->fetched, (std::vector<int32_t>{-9}));
}

TEST_F(RootFixture, SelectionEchoComesBackOnTheSameThread)
{
    Make(false);
    EXPECT_EQ(root->ApplyParamValue(Desc(-4), Variant(int64_t{0x123456789})), 0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].descriptor.id, -4);
    Variant selected;
    ASSERT_EQ(changes[0].value.GetArrayItem(0, selected), 0);
    EXPECT_EQ(selected.GetAsInt64(), 0x123456789);
    EXPECT_TRUE(link->sent.empty());
}

TEST_F(RootFixture, ValueSetsFromTheKeyboard)
{
    Make(false);
    Variant defaultGlobal;
    cache->GetValue(Desc(0), defaultGlobal);
    Variant malformed(int32_t{3});
    std::vector<Variant> records = {
        PackedList::PackValue({Desc(0), defaultGlobal}),     // unchanged: no report
        PackedList::PackValue({Desc(1), Blob({0, 2, 12})}),  // changed: one report
        PackedList::PackValue({Desc(20), Variant(true)}),    // no module: reported
        PackedList::PackValue({Desc(-2), Variant(true)}),    // tree hook, then reported
        malformed,                                           // not a packed value
    };
    QV::ParamValues set;
    set.SetArray(records.data(), static_cast<uint32_t>(records.size()));
    EXPECT_EQ(root->ReceiveParamValues(set), 0);

    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(changes[0].descriptor.id, 1);
    EXPECT_EQ(changes[1].descriptor.id, 20);
    EXPECT_TRUE(changes[1].descriptor.subDescriptor.IsEmpty());
    EXPECT_EQ(changes[2].descriptor.id, -2);
    EXPECT_EQ(changes[3].descriptor.id, -1);
    EXPECT_TRUE(changes[3].value.IsEmpty());
    EXPECT_TRUE(link->sent.empty());  // no echo to the keyboard
}

TEST_F(RootFixture, StoreRefusesForeignIdsAndIgnoresEmptyValues)
{
    Make(false);
    EXPECT_EQ(root->StoreParamValue(Desc(15), Blob({1})), -1);
    EXPECT_EQ(root->StoreParamValue(Desc(-1), Blob({1})), -1);
    EXPECT_EQ(root->StoreParamValue(Desc(3), Variant()), 0);
    Variant zone;
    cache->GetValue(Desc(3), zone);
    EXPECT_TRUE(zone == Blob({0, 1, 0, 87, 6, 12}));
    EXPECT_TRUE(changes.empty());
}

TEST_F(RootFixture, ConnectRequestsRangesAndDeviceParamOrGoesOffline)
{
    Make(true);
    EXPECT_EQ(root->ConnectDevice(Variant()), 0);
    EXPECT_FALSE(root->IsOffline());
    EXPECT_EQ(link->calls, (std::vector<std::string>{"disconnect", "connect", "ranges 0+15", "values -8"}));
    link->calls.clear();
    link->connectResult = -5;
    EXPECT_EQ(root->ConnectDevice(Variant()), -5);
    EXPECT_TRUE(root->IsOffline());
    EXPECT_EQ(link->calls, (std::vector<std::string>{"disconnect", "connect"}));
}

}  // namespace
