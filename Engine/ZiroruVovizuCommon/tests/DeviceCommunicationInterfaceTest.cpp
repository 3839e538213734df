#include "LDeviceCommunicationInterface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Eventually.h"
#include "FakeTimeSource.h"
#include "RemoteDeviceList.h"
#include "SimulatorHandle.h"

namespace {

using DeviceLinkTest::SimulatorHandle;
using QV::Variant;

constexpr auto kPatience = std::chrono::seconds(20);

// Collects delivered value sets; can hold the first delivery back so that
// value sets pile up in the interface's queue.
class TestReceiver : public DeviceCommunicationReceiver {
public:
    int32_t ReceiveParamValues(const QV::ParamValues& values) override
    {
        std::unique_lock lock(mMutex);
        mOpened.wait(lock, [this] { return mOpen; });
        mSets.emplace_back(values);
        return 0;
    }
    int32_t Reserved(int32_t, int32_t, int32_t) override { return QV::E_FAIL; }

    void Hold()
    {
        std::lock_guard lock(mMutex);
        mOpen = false;
    }
    void Open()
    {
        std::lock_guard lock(mMutex);
        mOpen = true;
        mOpened.notify_all();
    }
    std::vector<QV::ParamValues> Sets()
    {
        std::lock_guard lock(mMutex);
        return mSets;
    }

private:
    std::mutex mMutex;
    std::condition_variable mOpened;
    bool mOpen = true;
    std::vector<QV::ParamValues> mSets;
};

// One record of a value set as [value, id, sub-descriptor].
struct Record {
    Variant value;
    int32_t id = 0;
    Variant sub;
};

std::vector<Record> Records(const Variant& set)
{
    std::vector<Record> records;
    Variant packed;
    for (uint32_t i = 0; set.GetArrayItem(i, packed) == 0; ++i) {
        Record r;
        Variant id;
        packed.GetArrayItem(0, r.value);
        packed.GetArrayItem(1, id);
        packed.GetArrayItem(2, r.sub);
        r.id = id.GetAsInt32();
        records.push_back(r);
    }
    return records;
}

std::vector<uint8_t> Bytes(const Variant& value)
{
    uint32_t size = 0;
    const uint8_t* data = value.GetData(size);
    return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

std::string Text(const Variant& value) { return value.GetString() ? value.GetString() : ""; }

QV::ParamDescriptor Descriptor(int32_t id) { return QV::ParamDescriptor{id, Variant()}; }

Variant Blob(std::vector<uint8_t> bytes)
{
    Variant v;
    v.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return v;
}

Variant DeviceList(const std::vector<Variant>& devices)
{
    Variant list;
    list.SetArray(devices.data(), static_cast<uint32_t>(devices.size()));
    return list;
}

// Counts its own destruction, so a test can see the interface go.
class ObservedInterface : public LDeviceCommunicationInterface {
public:
    ObservedInterface(const QV::String* path, std::atomic<int>& destroyed)
        : LDeviceCommunicationInterface(path), mDestroyed(destroyed)
    {
    }
    ~ObservedInterface() override { ++mDestroyed; }

private:
    std::atomic<int>& mDestroyed;
};

class DeviceCommunicationInterfaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mSimulator.IsLoaded()) << mSimulator.GetPath();
        mSimulator.Reset();
    }
    void TearDown() override
    {
        mInterface = nullptr;
        mSimulator.Reset();
    }

    // An interface bound to the library at path (the simulator by default).
    LDeviceCommunicationInterface& Make(const std::string& path = "")
    {
        const QV::String widePath((path.empty() ? mSimulator.GetPath() : path).c_str());
        mInterface = new ObservedInterface(&widePath, mDestroyed);
        return *mInterface;
    }
    LDeviceCommunicationInterface& MakeConnected()
    {
        LDeviceCommunicationInterface& link = Make();
        link.SetReceiver(&mReceiver);
        link.SetDeliveryEnabled(true);
        EXPECT_EQ(link.LoadClientLibrary(), 0);
        EXPECT_EQ(link.ConnectDevice(Variant()), 0);
        return link;
    }
    size_t CountCalls(const char* entry)
    {
        const auto names = mSimulator.CallNames();
        return static_cast<size_t>(std::count(names.begin(), names.end(), entry));
    }

    SimulatorHandle mSimulator;
    TestReceiver mReceiver;
    std::atomic<int> mDestroyed{0};
    QV::RCPtr<LDeviceCommunicationInterface> mInterface;
};

// ---- without a binding -----------------------------------------------------

TEST_F(DeviceCommunicationInterfaceTest, WithoutBindingSomeIdsAreAnsweredLocally)
{
    LDeviceCommunicationInterface& link = Make();
    Variant value;
    QV::ParamDescriptor d = Descriptor(-2);
    EXPECT_EQ(link.GetParamValue(&d, value), 0);
    EXPECT_EQ(value.GetType(), Variant::kBool);
    EXPECT_TRUE(value.GetAsBool());

    d = Descriptor(-9);
    EXPECT_EQ(link.GetParamValue(&d, value), 0);
    EXPECT_EQ(value.GetType(), Variant::kString);
    EXPECT_EQ(Text(value), "Corvane");

    d = Descriptor(-10);
    EXPECT_EQ(link.GetParamValue(&d, value), 0);
    EXPECT_EQ(Text(value), "Tarsel Preset Editor");

    d = Descriptor(-8);
    EXPECT_EQ(link.GetParamValue(&d, value), -1);
    d = Descriptor(3);
    EXPECT_EQ(link.GetParamValue(&d, value), QV::E_FAIL);
    EXPECT_EQ(mSimulator.GetCallCount(), 0);
}

TEST_F(DeviceCommunicationInterfaceTest, WithoutBindingEveryDeviceCallAnswersMinusOne)
{
    LDeviceCommunicationInterface& link = Make();
    link.SetReceiver(&mReceiver);
    QV::Array<QV::Guid> filters;
    QV::Array<Variant> devices;
    Variant value;
    uint8_t record[256] = {};
    const QV::ParamDescriptor d = Descriptor(1);
    QV::ParamRanges ranges;
    QV::ParamDescriptors descriptors;
    int32_t index = 5;
    const std::vector<int32_t> results = {
        link.WaitForRemoteDeviceListChange(filters, devices, 0),
        link.FindRemoteDevices(filters, devices),
        link.ConnectDevice(Variant()),
        link.RequestParamRanges(&ranges),
        link.RequestParamValues(&descriptors),
        link.RequestParamValueList(&d),
        link.GetParamRanges(0, 15),
        link.GetParamValues(0, 15),
        link.SetParamValues(0),
        link.GetConnectedDevice(value),
        link.DisconnectDevice(),
        link.GetDeviceInfo(&value, record),
        link.GetDeviceParam(value),
        link.SetDeviceParam(value),
    };
    for (size_t i = 0; i < results.size(); ++i) EXPECT_EQ(results[i], -1) << "operation " << i;
    // Writes without a binding: -8 goes to SetDeviceParam, the rest fail.
    const QV::ParamDescriptor device = Descriptor(-8);
    EXPECT_EQ(link.SetParamValue(&device, value), -1);
    EXPECT_EQ(link.SetParamValue(&d, value), QV::E_FAIL);
    // Answered without the library.
    EXPECT_EQ(link.FindDevices(filters, devices), 0);
    ASSERT_EQ(devices.GetCount(), 1u);
    EXPECT_TRUE(devices.GetItemPtr(0)->IsEmpty());
    EXPECT_EQ(link.GetDeviceIndex(index), 0);
    EXPECT_EQ(index, 0);
    EXPECT_TRUE(link.IsReady());
    EXPECT_TRUE(link.IsOnline());
    EXPECT_EQ(mSimulator.GetCallCount(), 0);
}

TEST_F(DeviceCommunicationInterfaceTest, MissingLibraryFileStillGivesABindingThatAnswersMinusOne)
{
    LDeviceCommunicationInterface& link = Make(DeviceLinkTest::BesideExecutable("NoSuchLibrary.dll"));
    EXPECT_EQ(link.LoadClientLibrary(), 0);
    EXPECT_EQ(link.LoadClientLibrary(), 1);
    EXPECT_EQ(link.ConnectDevice(Variant()), -1);
    // Now the local answers are gone: the read goes to the (missing) library.
    Variant value;
    const QV::ParamDescriptor d = Descriptor(-9);
    EXPECT_EQ(link.GetParamValue(&d, value), -1);
    EXPECT_TRUE(value.IsEmpty());
}

// ---- writes ----------------------------------------------------------------

TEST_F(DeviceCommunicationInterfaceTest, WritesAreRefusedWithoutReceiverAndForTheReservedIds)
{
    LDeviceCommunicationInterface& link = Make();
    ASSERT_EQ(link.LoadClientLibrary(), 0);
    ASSERT_EQ(link.ConnectDevice(Variant()), 0);
    const Variant value = Blob({9});

    for (const int32_t id : {0, -4, -8, -243}) {
        const QV::ParamDescriptor d = Descriptor(id);
        EXPECT_EQ(link.SetParamValue(&d, value), QV::E_FAIL) << "no receiver, id " << id;
    }
    link.SetReceiver(&mReceiver);
    mSimulator.ClearCallLog();
    for (const int32_t id : {-240, -241, -242}) {
        const QV::ParamDescriptor d = Descriptor(id);
        EXPECT_EQ(link.SetParamValue(&d, value), QV::E_FAIL) << id;
    }
    EXPECT_EQ(mSimulator.GetCallCount(), 0);

    // Just outside the refused range: sent to the library.
    mSimulator.SetResult("DVCL_SetParamValue", 0);
    for (const int32_t id : {-243, -239}) {
        const QV::ParamDescriptor d = Descriptor(id);
        EXPECT_EQ(link.SetParamValue(&d, value), 0) << id;
    }
    EXPECT_EQ(CountCalls("DVCL_SetParamValue"), 2u);
}

TEST_F(DeviceCommunicationInterfaceTest, WritesReachTheKeyboard)
{
    LDeviceCommunicationInterface& link = MakeConnected();
    const QV::ParamDescriptor keybed = Descriptor(1);
    EXPECT_EQ(link.SetParamValue(&keybed, Blob({5, 3, 14})), 0);
    Variant stored;
    ASSERT_EQ(mSimulator.GetKeyboardValue(1, &stored), 0);
    EXPECT_EQ(Bytes(stored), (std::vector<uint8_t>{5, 3, 14}));

    // A blob of the wrong length is the library's to refuse.
    EXPECT_LT(link.SetParamValue(&keybed, Blob({5, 3})), 0);
    Variant read;
    EXPECT_EQ(link.GetParamValue(&keybed, read), 0);
    EXPECT_EQ(Bytes(read), (std::vector<uint8_t>{5, 3, 14}));
}

TEST_F(DeviceCommunicationInterfaceTest, SelectionIsEchoedToTheReceiverNotSent)
{
    LDeviceCommunicationInterface& link = Make();
    EXPECT_FALSE(link.ReportSelection(5));
    link.SetReceiver(&mReceiver);
    ASSERT_EQ(link.LoadClientLibrary(), 0);
    mSimulator.ClearCallLog();

    const QV::ParamDescriptor d = Descriptor(-4);
    EXPECT_EQ(link.SetParamValue(&d, Variant(int64_t{0x123456789})), 0);
    // Handed over synchronously, on this thread.
    const auto sets = mReceiver.Sets();
    ASSERT_EQ(sets.size(), 1u);
    const auto records = Records(sets[0]);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].id, -4);
    EXPECT_TRUE(records[0].sub.IsEmpty());
    Variant selection;
    Variant online;
    ASSERT_EQ(records[0].value.GetArrayItem(0, selection), 0);
    ASSERT_EQ(records[0].value.GetArrayItem(1, online), 0);
    EXPECT_EQ(selection.GetType(), Variant::kInt64);
    EXPECT_EQ(selection.GetAsInt64(), 0x123456789);
    EXPECT_EQ(online.GetType(), Variant::kBool);
    EXPECT_TRUE(online.GetAsBool());
    EXPECT_EQ(mSimulator.GetCallCount(), 0);
}

// ---- remote-device list ----------------------------------------------------

class RemoteDeviceListTest : public DeviceCommunicationInterfaceTest {
protected:
    // Advances time without waiting; can change the library's list after a given sleep.
    class Time : public Platform::Clock::ITimeSource {
    public:
        explicit Time(SimulatorHandle& simulator) : mSimulator(simulator) {}
        uint32_t NowMs() override { return mFake.NowMs(); }
        void SleepMs(uint32_t ms) override
        {
            mFake.SleepMs(ms);
            if (mFake.Sleeps().size() == mChangeAfter) mSimulator.SetRemoteDevices(&mChangeTo);
        }
        std::vector<uint32_t> Sleeps() const { return mFake.Sleeps(); }
        void ChangeListAfter(size_t sleeps, const Variant& list)
        {
            mChangeAfter = sleeps;
            mChangeTo = list;
        }

    private:
        SimulatorHandle& mSimulator;
        Platform::Clock::FakeTimeSource mFake;
        size_t mChangeAfter = 0;
        Variant mChangeTo;
    };

    void SetUp() override
    {
        DeviceCommunicationInterfaceTest::SetUp();
        ASSERT_EQ(Make().LoadClientLibrary(), 0);
    }
    int32_t Wait(QV::Array<Variant>& devices, uint32_t timeoutMs)
    {
        mSimulator.ClearCallLog();
        return mInterface->WaitForRemoteDeviceListChange(QV::Array<QV::Guid>(), devices, timeoutMs);
    }

    Time mTime{mSimulator};
    Platform::Clock::ScopedTimeSource mScopedTime{mTime};
};

TEST_F(RemoteDeviceListTest, UnchangedListPollsEvery250MsUntilTheTimeOut)
{
    QV::Array<Variant> devices;
    EXPECT_EQ(Wait(devices, 1500), 1);
    EXPECT_EQ(CountCalls("DVCL_FindRemoteDevices"), 7u);
    EXPECT_EQ(mTime.Sleeps(), std::vector<uint32_t>(6, 250));
    for (const SIM_CallRecord& call : mSimulator.Calls()) {
        EXPECT_EQ(call.args[0], 0u) << "no filters";
        EXPECT_EQ(call.args[3], 0u) << "poll mode";
    }
}

TEST_F(RemoteDeviceListTest, ZeroTimeOutAsksOnce)
{
    QV::Array<Variant> devices;
    EXPECT_EQ(Wait(devices, 0), 1);
    EXPECT_EQ(CountCalls("DVCL_FindRemoteDevices"), 1u);

    const Variant list = DeviceList({Variant("remote-1")});
    mSimulator.SetRemoteDevices(&list);
    EXPECT_EQ(Wait(devices, 0), 0);
    EXPECT_EQ(CountCalls("DVCL_FindRemoteDevices"), 1u);
    ASSERT_EQ(devices.GetCount(), 1u);
    EXPECT_EQ(Text(*devices.GetItemPtr(0)), "remote-1");
    EXPECT_TRUE(mTime.Sleeps().empty());
}

TEST_F(RemoteDeviceListTest, AChangeDuringTheWaitEndsItAtTheNextPoll)
{
    QV::Array<Variant> devices;
    EXPECT_GE(devices.SetCount(1), 0);
    *devices.GetItemPtr(0) = Variant("remote-1");
    const Variant same = DeviceList({Variant("remote-1")});
    mSimulator.SetRemoteDevices(&same);
    mTime.ChangeListAfter(3, DeviceList({Variant("remote-1"), Variant("remote-2")}));

    EXPECT_EQ(Wait(devices, 1500), 0);
    EXPECT_EQ(CountCalls("DVCL_FindRemoteDevices"), 4u);
    EXPECT_EQ(mTime.Sleeps().size(), 3u);
    ASSERT_EQ(devices.GetCount(), 2u);
    EXPECT_EQ(Text(*devices.GetItemPtr(1)), "remote-2");
}

TEST_F(RemoteDeviceListTest, AListOfNonNumberIdsStaysUnchanged)
{
    const Variant list = DeviceList({Variant(std::nan("")), Variant(std::numeric_limits<float>::quiet_NaN())});
    mSimulator.SetRemoteDevices(&list);
    QV::Array<Variant> devices;
    ASSERT_EQ(mInterface->FindRemoteDevices(QV::Array<QV::Guid>(), devices), 0);
    ASSERT_EQ(devices.GetCount(), 2u);
    EXPECT_EQ(Wait(devices, 1500), 1);
    EXPECT_EQ(CountCalls("DVCL_FindRemoteDevices"), 7u);
}

TEST(RemoteDeviceListCompareTest, ListsAreTheSameWhenEveryIdHasTheSameTypeAndBytes)
{
    const auto list = [](std::vector<Variant> ids) {
        QV::Array<Variant> devices;
        for (const Variant& id : ids) EXPECT_GE(devices.AddItem(id), 0);
        return devices;
    };
    const Variant nan(std::nan(""));
    struct Case {
        const char* name;
        QV::Array<Variant> a;
        QV::Array<Variant> b;
        bool same;
    };
    const Case cases[] = {
        {"both empty", list({}), list({}), true},
        {"NaN double", list({nan}), list({nan}), true},
        {"NaN float", list({Variant(std::nanf(""))}), list({Variant(std::nanf(""))}), true},
        {"texts", list({Variant("a"), Variant("b")}), list({Variant("a"), Variant("b")}), true},
        {"other order", list({Variant("a"), Variant("b")}), list({Variant("b"), Variant("a")}), false},
        {"one more", list({nan}), list({nan, nan}), false},
        {"same number, other type", list({Variant(int32_t{1})}), list({Variant(uint32_t{1})}), false},
        {"other text", list({Variant("a")}), list({Variant("b")}), false},
        {"empty id and none", list({Variant()}), list({}), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RemoteDeviceList::IsSame(c.a, c.b), c.same);
        EXPECT_EQ(RemoteDeviceList::IsSame(c.b, c.a), c.same);
        EXPECT_TRUE(RemoteDeviceList::IsSame(c.a, c.a));
    }
}

TEST_F(RemoteDeviceListTest, ALibraryFailureEndsTheWaitWithEFail)
{
    QV::Array<Variant> devices;
    mSimulator.SetResult("DVCL_FindRemoteDevices", -7);
    EXPECT_EQ(Wait(devices, 1500), QV::E_FAIL);
    EXPECT_EQ(CountCalls("DVCL_FindRemoteDevices"), 1u);
    // The full query passes the library's own result back.
    EXPECT_EQ(mInterface->FindRemoteDevices(QV::Array<QV::Guid>(), devices), -7);
}

TEST_F(RemoteDeviceListTest, FullQueryReplacesTheListAndPassesTheResultBack)
{
    QV::Array<Variant> devices;
    EXPECT_GE(devices.SetCount(3), 0);
    const Variant list = DeviceList({Variant("remote-9")});
    mSimulator.SetRemoteDevices(&list);
    mSimulator.SetResult("DVCL_FindRemoteDevices", 1);
    mSimulator.ClearCallLog();
    EXPECT_EQ(mInterface->FindRemoteDevices(QV::Array<QV::Guid>(), devices), 1);
    ASSERT_EQ(devices.GetCount(), 1u);
    EXPECT_EQ(Text(*devices.GetItemPtr(0)), "remote-9");
    const auto calls = mSimulator.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args[3], 1u) << "full-query mode";

    // An empty list from the library empties ours.
    mSimulator.SetRemoteDevices(nullptr);
    EXPECT_EQ(mInterface->FindRemoteDevices(QV::Array<QV::Guid>(), devices), 1);
    EXPECT_EQ(devices.GetCount(), 0u);
}

// ---- inbound value sets ----------------------------------------------------

TEST_F(DeviceCommunicationInterfaceTest, RangeAndValueRequestsAreAnsweredOnTheCommunicationThread)
{
    LDeviceCommunicationInterface& link = MakeConnected();
    const Variant range[2] = {Variant(int32_t{0}), Variant(int32_t{15})};
    Variant packedRange;
    packedRange.SetArray(range, 2);
    QV::ParamRanges ranges;
    ranges.SetArray(&packedRange, 1);
    EXPECT_EQ(link.RequestParamRanges(&ranges), 0);
    const QV::ParamDescriptor deviceParam = Descriptor(-8);
    EXPECT_EQ(link.RequestParamValueList(&deviceParam), 0);

    ASSERT_TRUE(Eventually([&] { return mReceiver.Sets().size() >= 2; }, kPatience));
    const auto sets = mReceiver.Sets();
    const auto values = Records(sets[0]);
    ASSERT_EQ(values.size(), 15u);
    for (int32_t i = 0; i < 15; ++i) {
        EXPECT_EQ(values[i].id, i);
        EXPECT_EQ(values[i].value.GetType(), Variant::kBlob);
    }
    EXPECT_EQ(Bytes(values[2].value), (std::vector<uint8_t>{0, 0, 0, 87, 6, 12}));
    EXPECT_EQ(Bytes(values[14].value), (std::vector<uint8_t>{0, 6, 0, 0x7F, 0, 0, 0x7F, 0, 0, 67, 0, 0x7F, 0}));
    const auto device = Records(sets[1]);
    ASSERT_EQ(device.size(), 1u);
    EXPECT_EQ(device[0].id, -8);
}

TEST_F(DeviceCommunicationInterfaceTest, ABurstFromTheLibraryThreadArrivesCompleteAndInOrder)
{
    constexpr int32_t kBurst = 1000;
    MakeConnected();
    // The receiver holds the first set until the library has handed over
    // all of them, so the interface's queue has to grow far past 256.
    mReceiver.Hold();
    ASSERT_EQ(mSimulator.InjectBurst(-100, kBurst), 0);
    ASSERT_EQ(mSimulator.WaitForCallbacks(20000), 0);
    mReceiver.Open();

    ASSERT_TRUE(Eventually([&] { return mReceiver.Sets().size() >= kBurst; }, kPatience));
    const auto sets = mReceiver.Sets();
    ASSERT_EQ(sets.size(), static_cast<size_t>(kBurst));
    for (int32_t i = 0; i < kBurst; ++i) {
        const auto records = Records(sets[i]);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].id, -100);
        ASSERT_EQ(records[0].value.GetAsInt32(), i) << "out of order";
    }
}

TEST_F(DeviceCommunicationInterfaceTest, SetsArrivingWhileDeliveryIsOffAreDropped)
{
    LDeviceCommunicationInterface& link = MakeConnected();
    link.SetDeliveryEnabled(false);
    ASSERT_EQ(mSimulator.InjectBurst(-100, 5), 0);
    ASSERT_EQ(mSimulator.WaitForCallbacks(20000), 0);
    // Let the thread's pass over the five end before delivery comes back.
    EXPECT_TRUE(Eventually([&] { return link.GetQueuedValueSetCount() == 0; }, kPatience));
    link.SetDeliveryEnabled(false);

    link.SetDeliveryEnabled(true);
    ASSERT_EQ(mSimulator.InjectBurst(-101, 1), 0);
    ASSERT_TRUE(Eventually([&] { return mReceiver.Sets().size() >= 1; }, kPatience));
    const auto sets = mReceiver.Sets();
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(Records(sets[0])[0].id, -101);
}

// ---- connection and end of life --------------------------------------------

TEST_F(DeviceCommunicationInterfaceTest, DisconnectingTwiceIsHarmless)
{
    LDeviceCommunicationInterface& link = MakeConnected();
    EXPECT_GE(link.DisconnectDevice(), 0);
    EXPECT_GE(link.DisconnectDevice(), 0);
    EXPECT_EQ(mSimulator.IsClientConnected(), 0);
    // The device member stays; reconnecting works.
    Variant device(int32_t{1});
    EXPECT_EQ(link.GetConnectedDevice(device), 0);
    EXPECT_TRUE(device.IsEmpty());
    EXPECT_EQ(link.ConnectDevice(device), 0);
    EXPECT_EQ(mSimulator.IsClientConnected(), 1);
}

TEST_F(DeviceCommunicationInterfaceTest, DeviceInfoTellsWhetherTheKeyboardIsThere)
{
    LDeviceCommunicationInterface& link = MakeConnected();
    const Variant device;
    uint8_t record[256] = {};
    ASSERT_EQ(link.GetDeviceInfo(&device, record), 0);
    EXPECT_NE(record[252], 0);
    mSimulator.SetPresent(0);
    ASSERT_EQ(link.GetDeviceInfo(&device, record), 0);
    EXPECT_EQ(record[252], 0);
}

TEST_F(DeviceCommunicationInterfaceTest, ReleasingTheLastReferenceStopsTheThreadAndDisconnects)
{
    MakeConnected();
    ASSERT_EQ(mSimulator.InjectBurst(-100, 50), 0);
    mInterface = nullptr;
    EXPECT_EQ(mDestroyed.load(), 1);
    const auto names = mSimulator.CallNames();
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[names.size() - 2], "DVCL_DisconnectDevice");
    EXPECT_EQ(names.back(), "DVCL_ReleaseAll");
    EXPECT_EQ(mSimulator.IsClientConnected(), 0);
}

TEST_F(DeviceCommunicationInterfaceTest, NoCallbackReachesADestroyedInterface)
{
    MakeConnected();
    // Sets held back inside the library when the interface goes.
    mSimulator.BlockCallbacks(1);
    ASSERT_EQ(mSimulator.InjectBurst(-100, 200), 0);
    mInterface = nullptr;
    EXPECT_EQ(mDestroyed.load(), 1);
    mSimulator.BlockCallbacks(0);
    EXPECT_EQ(mSimulator.WaitForCallbacks(20000), 0);
    EXPECT_TRUE(mReceiver.Sets().empty());
}

TEST_F(DeviceCommunicationInterfaceTest, WithoutReleaseAllEveryAcceptedConnectionIsClosedAtTheEnd)
{
    SimulatorHandle partial(DeviceLinkTest::kPartialLibrary);
    ASSERT_TRUE(partial.IsLoaded()) << partial.GetPath();
    partial.Reset();
    LDeviceCommunicationInterface& link = Make(partial.GetPath());
    link.SetReceiver(&mReceiver);
    link.SetDeliveryEnabled(true);
    ASSERT_EQ(link.LoadClientLibrary(), 0);
    ASSERT_EQ(link.ConnectDevice(Variant()), 0);
    // Refused: the device member now names a device the library never took.
    EXPECT_LT(link.ConnectDevice(Variant(int32_t{5})), 0);
    EXPECT_EQ(partial.IsClientConnected(), 1);

    mInterface = nullptr;
    EXPECT_EQ(mDestroyed.load(), 1);
    EXPECT_EQ(partial.IsClientConnected(), 0);
    EXPECT_EQ(partial.InjectBurst(-100, 1), -1);
    partial.Reset();
}

TEST_F(DeviceCommunicationInterfaceTest, AnInterfaceThatNeverLoadedTheLibraryGoesQuietly)
{
    Make();
    mInterface = nullptr;
    EXPECT_EQ(mDestroyed.load(), 1);
    EXPECT_EQ(mSimulator.GetCallCount(), 0);
}

}  // namespace
