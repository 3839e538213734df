#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <thread>

#include "EngineTestSupport.h"
#include "LHolder.h"
#include "LWrapper.h"
#include "PackedList.h"
#include "ParamTestValues.h"
#include "SimulatorHandle.h"

namespace {

using EngineTest::PostCollector;
using EngineTest::Received;
using QV::ParamDescriptor;
using QV::RCPtr;
using QV::Variant;

using ParamTest::Blob;
using ParamTest::Desc;

int32_t StateOf(const Received& r)
{
    auto* holder = dynamic_cast<QV::LHolder<LRootModuleEngine::DeviceConnectionState>*>(r.payload.Get());
    return holder ? holder->GetValue() : -1;
}

uint32_t CountOf(const Received& r)
{
    auto* holder = dynamic_cast<QV::LHolder<unsigned int>*>(r.payload.Get());
    return holder ? holder->GetValue() : 0xFFFFFFFF;
}

// The values of one "NID_PARAM_MODULE_STATE_CHANGE", pair or packed list.
std::vector<QV::ParamValue> ChangesOf(const Received& r)
{
    if (auto* pair = dynamic_cast<ParamChangePair*>(r.payload.Get())) return {{pair->GetKey(), pair->GetValue()}};
    std::vector<QV::ParamValue> values;
    if (auto* list = dynamic_cast<QV::LWrapper<QV::ParamValues>*>(r.payload.Get())) {
        for (uint32_t i = 0; i < PackedList::CountRecords(*list); ++i) {
            QV::ParamValue v;
            EXPECT_GE(PackedList::ReadValue(*list, i, v), 0);
            values.push_back(v);
        }
    }
    return values;
}

class EngineFixture : public ::testing::Test {
protected:
    DeviceLinkTest::SimulatorHandle sim;
    EngineTest::ShortSleeps time;
    Platform::Clock::ScopedTimeSource timeScope{time};
    RCPtr<PostCollector> posts{new PostCollector()};
    RCPtr<LRootModuleEngine> engine{new LRootModuleEngine()};

    void SetUp() override
    {
        ASSERT_TRUE(sim.IsLoaded());
        sim.Reset();
        posts->Subscribe();
    }
    void TearDown() override
    {
        engine = nullptr;  // stops the worker and the device thread
        posts->Drain();
        posts->UnregisterAllNotifications();
        posts = nullptr;
        QV::LNotificationCenterManager::ResetInstance();
    }
    // Drains until `done` holds for what arrived, for up to two seconds.
    std::vector<Received> CollectUntil(const std::function<bool(const std::vector<Received>&)>& done)
    {
        std::vector<Received> all;
        (void)Eventually(
            [&] {
                for (Received& r : posts->Take()) all.push_back(std::move(r));
                return done(all);
            },
            std::chrono::seconds(2));  // callers check what arrived
        return all;
    }
    static bool HasChangeOf(const std::vector<Received>& all, int32_t id)
    {
        for (const Received& r : all) {
            if (r.name != u"NID_PARAM_MODULE_STATE_CHANGE") continue;
            for (const QV::ParamValue& v : ChangesOf(r)) {
                if (v.descriptor.id == id) return true;
            }
        }
        return false;
    }
    // Initialises and waits for the keyboard's answers to the connection
    // (its -8 value is the last), so later posts come from the test alone.
    void InitializeAndSettle()
    {
        ASSERT_EQ(engine->Initialize(0), 0);
        const auto all = CollectUntil([](const std::vector<Received>& got) { return HasChangeOf(got, -8); });
        ASSERT_TRUE(HasChangeOf(all, -8));
        sim.ClearCallLog();
    }
    // Makes a value that differs from the engine's current one for id.
    Variant Changed(int32_t id, uint8_t firstByte)
    {
        Variant value;
        EXPECT_GE(engine->GetParamValue(Desc(id), value), 0);
        uint32_t size = 0;
        const uint8_t* bytes = value.GetData(size);
        std::vector<uint8_t> changed(bytes, bytes + size);
        changed[0] = firstByte;
        return Blob(changed);
    }
};

TEST_F(EngineFixture, WritesAreRefusedBeforeInitialize)
{
    EXPECT_EQ(engine->SetParamValue(Desc(0), Blob({2})), QV::E_FAIL);
    EXPECT_EQ(sim.GetCallCount(), 0);
}

TEST_F(EngineFixture, InitializeConnectsTheLocalKeyboardAndPostsInOrder)
{
    ASSERT_EQ(engine->Initialize(0), 0);
    EXPECT_EQ(engine->GetConnectionState(), LRootModuleEngine::kConnected);
    EXPECT_TRUE(engine->IsKeyboardConnected());
    EXPECT_FALSE(engine->IsOffline());
    const std::vector<std::string> expected = {"DVCL_DisconnectDevice", "DVCL_DisconnectDevice", "DVCL_ConnectDevice",
                                               "DVCL_RequestParamRanges", "DVCL_RequestParamValues"};
    EXPECT_EQ(sim.CallNames(), expected);

    const std::vector<Received> received = posts->Take();
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(received[0].name, u"NID_PARAM_MODULE_STATE_CHANGE");
    const std::vector<QV::ParamValue> initial = ChangesOf(received[0]);
    ASSERT_EQ(initial.size(), 15u);
    for (int32_t i = 0; i < 15; ++i) EXPECT_EQ(initial[i].descriptor.id, i);
    // The keyboard's answer to the connection may come in between.
    const auto state = std::find_if(received.begin(), received.end(), [](const Received& r) {
        return r.name == u"NID_DEVICE_CONNECTION_STATE_CHANGE";
    });
    ASSERT_NE(state, received.end());
    EXPECT_EQ(StateOf(*state), 3);
    for (auto it = received.begin() + 1; it != state; ++it) EXPECT_FALSE(HasChangeOf({*it}, 0));
    // The local keyboard has the empty identifier: the worker was not started.
    EXPECT_TRUE(engine->WaitForWorkerStop());
    EXPECT_TRUE(time.Sleeps().empty());
}

TEST_F(EngineFixture, WritesPassThroughWithTheLibraryResult)
{
    InitializeAndSettle();
    EXPECT_EQ(engine->SetParamValue(Desc(0), Blob({9})), 0);
    EXPECT_EQ(sim.CallNames(), std::vector<std::string>{"DVCL_SetParamValue"});
    Variant keyboard;
    ASSERT_EQ(sim.GetKeyboardValue(0, &keyboard), 0);
    EXPECT_TRUE(keyboard == Blob({9}));

    sim.SetResult("DVCL_SetParamValue", -77);
    EXPECT_EQ(engine->SetParamValue(Desc(1), Blob({1, 2, 3})), -77);
    // The state follows the link's readiness and stays connected: no post.
    for (const Received& r : posts->Take()) EXPECT_NE(r.name, u"NID_DEVICE_CONNECTION_STATE_CHANGE");
}

TEST_F(EngineFixture, ChangePostShapesFollowTheNumberOfChanges)
{
    InitializeAndSettle();
    const std::vector<std::vector<size_t>> cases = {{}, {1}, {1, 1}, {3}, {7}};
    const size_t counts[] = {0, 1, 2, 3, 7};
    for (size_t c = 0; c < std::size(counts); ++c) {
        QV::Array<QV::ParamValue> changes;
        EXPECT_GE(changes.SetCount(static_cast<uint32_t>(counts[c])), 0);
        for (uint32_t i = 0; i < counts[c]; ++i) *changes.GetItemPtr(i) = {Desc(static_cast<int32_t>(i)), Blob({1})};
        EXPECT_GE(engine->OnParamValuesChanged(changes), 0);
        const std::vector<Received> all = posts->Take();
        ASSERT_EQ(all.size(), cases[c].size()) << counts[c];
        int32_t next = 0;
        for (size_t i = 0; i < all.size(); ++i) {
            const std::vector<QV::ParamValue> values = ChangesOf(all[i]);
            ASSERT_EQ(values.size(), cases[c][i]);
            for (const QV::ParamValue& v : values) EXPECT_EQ(v.descriptor.id, next++);  // in order
        }
    }
}

TEST_F(EngineFixture, KeyboardChangesArriveOnePairEach)
{
    InitializeAndSettle();
    std::vector<QV::ParamValue> values;
    uint8_t fill = 40;
    for (int32_t id : {5, 7, 8}) values.push_back({Desc(id), Changed(id, fill++)});
    const QV::ParamValues set = PackedList::PackValues(values);
    ASSERT_EQ(sim.InjectValueSet(&set), 0);
    const auto all = CollectUntil([](const std::vector<Received>& got) { return HasChangeOf(got, 8); });
    ASSERT_EQ(all.size(), 3u);
    for (const Received& r : all) EXPECT_EQ(ChangesOf(r).size(), 1u);
    // Received values are never sent back to the keyboard.
    EXPECT_TRUE(sim.CallNames().empty());
}

TEST_F(EngineFixture, UnchangedValuesFromTheKeyboardAreNotReported)
{
    InitializeAndSettle();
    const Variant changed = Changed(3, 99);
    const std::vector<QV::ParamValue> values = {{Desc(2), Changed(2, 0)}, {Desc(3), changed}};
    const QV::ParamValues set = PackedList::PackValues(values);
    ASSERT_EQ(sim.InjectValueSet(&set), 0);
    ASSERT_EQ(sim.InjectValueSet(&set), 0);
    const auto all = CollectUntil([](const std::vector<Received>&) { return false; });
    ASSERT_EQ(all.size(), 1u);  // zone 1 unchanged; zone 2 changed once
    EXPECT_EQ(ChangesOf(all[0])[0].descriptor.id, 3);
    Variant stored;
    EXPECT_GE(engine->GetParamValue(Desc(3), stored), 0);
    EXPECT_TRUE(stored == changed);
}

TEST_F(EngineFixture, SelectionEchoDoesNotDeadlock)
{
    InitializeAndSettle();
    EXPECT_EQ(engine->SetParamValue(Desc(-4), Variant(int64_t{7})), 0);
    const auto all = CollectUntil([](const std::vector<Received>& got) { return HasChangeOf(got, -4); });
    EXPECT_TRUE(HasChangeOf(all, -4));
    EXPECT_TRUE(sim.CallNames().empty());
}

TEST_F(EngineFixture, FailedConnectionKeepsWritesInTheCache)
{
    sim.SetResult("DVCL_ConnectDevice", -5);
    ASSERT_EQ(engine->Initialize(0), 0);
    EXPECT_TRUE(engine->GetRootModule()->IsOffline());
    EXPECT_EQ(engine->GetConnectionState(), LRootModuleEngine::kConnected);
    EXPECT_FALSE(engine->IsKeyboardConnected());  // edits are kept, but no keyboard has them
    sim.ClearCallLog();
    posts->Take();
    EXPECT_EQ(engine->SetParamValue(Desc(4), Blob({1, 2, 3, 4, 5, 6})), 0);
    EXPECT_TRUE(sim.CallNames().empty());
    Variant stored;
    EXPECT_GE(engine->GetParamValue(Desc(4), stored), 0);
    EXPECT_TRUE(stored == Blob({1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(HasChangeOf(posts->Take(), 4));
}

TEST_F(EngineFixture, ListenersHearWhenAKeyboardTakesOrRefusesTheConnection)
{
    InitializeAndSettle();
    posts->Take();
    struct Case {
        const char* name;
        bool present;
        bool keyboard;
    };
    const Case cases[] = {
        {"keyboard gone: refused", false, false},
        {"refused again: nothing new to tell", false, false},
        {"keyboard back: taken", true, true},
    };
    bool before = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.SetPresent(c.present ? 1 : 0);
        (void)engine->SelectDevice(Variant());  // the outcome is what is checked
        EXPECT_EQ(engine->GetConnectionState(), LRootModuleEngine::kConnected);
        EXPECT_EQ(engine->IsKeyboardConnected(), c.keyboard);
        const auto received = posts->Take();
        const auto notices = std::ranges::count_if(
            received, [](const Received& r) { return r.name == u"NID_DEVICE_CONNECTION_STATE_CHANGE"; });
        EXPECT_EQ(notices, c.keyboard != before ? 1 : 0);
        before = c.keyboard;
    }
}

TEST_F(EngineFixture, GetParamValuesFillsARange)
{
    InitializeAndSettle();
    QV::Array<QV::ParamValue> values;
    EXPECT_EQ(engine->GetParamValues(0, 15, values, -1), 0);
    ASSERT_EQ(values.GetCount(), 15u);
    for (uint32_t i = 0; i < 15; ++i) {
        EXPECT_EQ(values.GetItemPtr(i)->descriptor.id, static_cast<int32_t>(i));
        EXPECT_EQ(values.GetItemPtr(i)->value.GetType(), Variant::kBlob);
    }
    EXPECT_EQ(engine->GetParamValues(2, 1, values, 20), 0);
    EXPECT_EQ(values.GetCount(), 21u);
    EXPECT_EQ(values.GetItemPtr(20)->descriptor.id, 2);
}

TEST_F(EngineFixture, ChangeRequestNotificationIsApplied)
{
    InitializeAndSettle();
    RCPtr<QV::LRefCountedObject> pair(new ParamChangePair(Desc(0), Blob({12})));
    EXPECT_GE(QV::GetDefaultNotificationCenter()->PostNamedNotification(u"NID_PARAM_MODULE_CHANGE_REQ", pair), 0);
    posts->Drain();
    Variant keyboard;
    sim.GetKeyboardValue(0, &keyboard);
    EXPECT_TRUE(keyboard == Blob({12}));
    EXPECT_EQ(std::u16string(pair->ToString().GetChars()), u"0");
    EXPECT_EQ(std::u16string(ParamDescriptorToString(Desc(-4)).GetChars()), u"4294967292");
}

// A remote device: any non-empty identifier the library lists.
Variant RemoteDevice(int32_t n) { return Variant(n); }

void SetRemoteDevices(DeviceLinkTest::SimulatorHandle& sim, std::vector<Variant> devices)
{
    Variant list;
    list.SetArray(devices.data(), static_cast<uint32_t>(devices.size()));
    sim.SetRemoteDevices(&list);
}

TEST_F(EngineFixture, SelectingAConnectedRemoteDeviceStartsTheWorker)
{
    InitializeAndSettle();
    SetRemoteDevices(sim, {RemoteDevice(5)});
    struct Case {
        const char* name;
        bool present;
        bool connectedFlag;        // byte 252 of the device-info record
        int32_t deviceInfoResult;  // 0: the library's own answer
        int32_t selectResult;
        bool workerRuns;
    };
    const Case cases[] = {
        {"absent keyboard refuses the connection", false, true, 0, -3, false},
        {"device info refused", true, true, -2, 0, false},
        {"connected flag unset", true, false, 0, 0, false},
        {"connected flag set", true, true, 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.SetPresent(c.present ? 1 : 0);
        sim.HideConnectedFlag(c.connectedFlag ? 0 : 1);
        sim.ClearResults();
        if (c.deviceInfoResult < 0) sim.SetResult("DVCL_GetDeviceInfo", c.deviceInfoResult);
        time.ClearSleeps();
        EXPECT_EQ(engine->SelectDevice(RemoteDevice(5)), c.selectResult);
        EXPECT_EQ(engine->GetConnectionState(), LRootModuleEngine::kConnected);
        EXPECT_EQ(engine->IsKeyboardConnected(), c.selectResult >= 0);
        // A running worker sleeps out its cycles; an idle one never sleeps.
        EXPECT_EQ(Eventually([&] { return !time.Sleeps().empty(); }, std::chrono::milliseconds(200)), c.workerRuns);
        EXPECT_EQ(engine->StartWorker(), c.workerRuns ? 1 : 0);
        EXPECT_TRUE(engine->WaitForWorkerStop());
    }
}

TEST_F(EngineFixture, ScanningPostsOneListChangeAndFollowsTheCadence)
{
    InitializeAndSettle();
    SetRemoteDevices(sim, {RemoteDevice(1)});
    time.ClearSleeps();
    EXPECT_EQ(engine->EnableDeviceScan(true), 0);  // first query: the list differs from an empty one
    EXPECT_EQ(engine->EnableDeviceScan(true), 0);
    // Wait for the first full query's pause: 1 changed poll, 7 unchanged polls.
    EXPECT_EVENTUALLY(std::ranges::count(time.Sleeps(), 1500u) >= 1);
    EXPECT_TRUE(engine->EnableDeviceScan(false) == 0);
    EXPECT_TRUE(engine->WaitForWorkerStop());
    const auto sleeps = time.Sleeps();
    const auto firstPause = std::find(sleeps.begin(), sleeps.end(), 1500u);
    ASSERT_NE(firstPause, sleeps.end());
    // Seven unchanged polls of six 250 ms waits each before the full query.
    EXPECT_EQ(std::count(sleeps.begin(), firstPause, 250u), 42);

    const auto all = posts->Take();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].name, u"NID_REMOTE_DEVICE_LIST_CHANGE");
    EXPECT_EQ(CountOf(all[0]), 1u);
    QV::Array<Variant> devices;
    EXPECT_EQ(engine->RefreshRemoteDevices(devices), 0);
    ASSERT_EQ(devices.GetCount(), 1u);
    EXPECT_TRUE(*devices.GetItemPtr(0) == RemoteDevice(1));
}

TEST_F(EngineFixture, ANonNumberDeviceIdIsReportedOnce)
{
    InitializeAndSettle();
    SetRemoteDevices(sim, {Variant(std::nan(""))});
    time.ClearSleeps();
    EXPECT_EQ(engine->EnableDeviceScan(true), 0);
    // Two full queries with their polls, each of which compares the list.
    for (int i = 0; i < 8000; ++i) {
        const auto sleeps = time.Sleeps();
        if (std::count(sleeps.begin(), sleeps.end(), 1500u) >= 2) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(engine->EnableDeviceScan(false), 0);
    EXPECT_TRUE(engine->WaitForWorkerStop());
    const auto sleeps = time.Sleeps();
    ASSERT_GE(std::count(sleeps.begin(), sleeps.end(), 1500u), 2);
    const auto all = posts->Take();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].name, u"NID_REMOTE_DEVICE_LIST_CHANGE");
}

TEST_F(EngineFixture, FailedFirstQueryKeepsScanningOff)
{
    InitializeAndSettle();
    sim.SetResult("DVCL_FindRemoteDevices", -9);
    EXPECT_EQ(engine->EnableDeviceScan(true), QV::E_FAIL);
    EXPECT_FALSE(engine->IsScanning());
    sim.ClearResults();
    EXPECT_EQ(engine->EnableDeviceScan(true), QV::E_FAIL);  // the kept result, no new query
    EXPECT_TRUE(sim.CallNames().size() == 1u);
}

TEST_F(EngineFixture, WritesWhileTheKeyboardSendsStayConsistent)
{
    InitializeAndSettle();
    constexpr int kRounds = 300;
    // Each set differs from the one before, so each must be reported once.
    const auto footValue = [](int round) { return Blob(std::vector<uint8_t>(13, uint8_t(round % 100))); };
    std::thread keyboard([&] {
        for (int i = 0; i < kRounds; ++i) {
            const QV::ParamValues set = PackedList::PackValues({{Desc(13), footValue(i)}});
            sim.InjectValueSet(&set);
        }
    });
    for (int i = 0; i < kRounds; ++i) {
        ASSERT_EQ(engine->SetParamValue(Desc(2), Blob({1, uint8_t(i % 16), 0, 87, 6, 12})), 0);
        posts->Drain();
    }
    keyboard.join();
    ASSERT_EQ(sim.WaitForCallbacks(5000), 0);
    const auto footReports = [](const std::vector<Received>& got) {
        std::vector<Variant> values;
        for (const Received& r : got) {
            for (const QV::ParamValue& v : ChangesOf(r)) {
                if (v.descriptor.id == 13) values.push_back(v.value);
            }
        }
        return values;
    };
    const auto all = CollectUntil([&](const std::vector<Received>& got) { return footReports(got).size() >= kRounds; });
    const std::vector<Variant> reported = footReports(all);
    ASSERT_EQ(reported.size(), static_cast<size_t>(kRounds));
    for (int i = 0; i < kRounds; ++i) EXPECT_TRUE(reported[i] == footValue(i)) << i;

    Variant zone, foot;
    EXPECT_GE(engine->GetParamValue(Desc(2), zone), 0);
    EXPECT_GE(engine->GetParamValue(Desc(13), foot), 0);
    EXPECT_TRUE(zone == Blob({1, uint8_t((kRounds - 1) % 16), 0, 87, 6, 12}));
    EXPECT_TRUE(foot == footValue(kRounds - 1));
    Variant keyboardZone;
    sim.GetKeyboardValue(2, &keyboardZone);
    EXPECT_TRUE(keyboardZone == zone);
}

}  // namespace
