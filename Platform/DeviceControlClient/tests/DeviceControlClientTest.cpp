// The simulated library's promises about its callbacks and its keyboard,
// checked through its exported entries as the editor reaches them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "DeviceControlClientApi.h"
#include "DynamicLibrary.h"
#include "Eventually.h"
#include "SimulatorControl.h"

namespace {

using QV::Variant;

class DeviceControlClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mLibrary.IsLoaded()) << mLibrary.GetError();
        Get("SIM_Reset", mReset);
        Get("SIM_InjectBurst", mInjectBurst);
        Get("SIM_WaitForCallbacks", mWaitForCallbacks);
        Get("SIM_SetPresent", mSetPresent);
        Get("DVCL_ConnectDevice", mConnect);
        Get("DVCL_DisconnectDevice", mDisconnect);
        Get("DVCL_ReleaseAll", mReleaseAll);
        Get("DVCL_RequestParamValues", mRequestValues);
        Get("DVCL_SetParamValue", mSetValue);
        Get("DVCL_GetParamValue", mGetValue);
        mReset();
    }
    void TearDown() override
    {
        if (mReset) mReset();
    }

    template <class F>
    void Get(const char* name, F& function)
    {
        function = mLibrary.GetFunction<F>(name);
        ASSERT_NE(function, nullptr) << name;
    }

    Platform::DynamicLibrary mLibrary{Platform::GetExecutableFolder() + "/DeviceControlClient.so"};
    SIM_ResetFn mReset = nullptr;
    SIM_InjectBurstFn mInjectBurst = nullptr;
    SIM_WaitForCallbacksFn mWaitForCallbacks = nullptr;
    SIM_SetPresentFn mSetPresent = nullptr;
    DVCL_ConnectDeviceFn mConnect = nullptr;
    DVCL_DisconnectDeviceFn mDisconnect = nullptr;
    DVCL_ReleaseAllFn mReleaseAll = nullptr;
    DVCL_RequestParamValuesFn mRequestValues = nullptr;
    DVCL_SetParamValueFn mSetValue = nullptr;
    DVCL_GetParamValueFn mGetValue = nullptr;
    const Variant mKeyboard;  // the keyboard on this computer
};

// Records where and how often the library called back.
struct CallbackProbe {
    std::atomic<int> calls{0};
    std::atomic<bool> onCallerThread{false};
    std::thread::id caller = std::this_thread::get_id();
    // The first call waits here until released, then marks itself finished.
    std::atomic<bool> holdFirst{false};
    std::atomic<bool> entered{false};
    std::atomic<bool> release{false};
    std::atomic<bool> firstFinished{false};

    static void Callback(void* context, int32_t, const QV::ParamValues*)
    {
        auto* probe = static_cast<CallbackProbe*>(context);
        if (std::this_thread::get_id() == probe->caller) probe->onCallerThread = true;
        const bool first = probe->calls.fetch_add(1) == 0;
        if (first && probe->holdFirst) {
            probe->entered = true;
            EXPECT_TRUE(Eventually([probe] { return probe->release.load(); }));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            probe->firstFinished = true;
        }
    }
};

QV::ParamDescriptors DescriptorsOf(std::vector<int32_t> ids)
{
    std::vector<Variant> packed;
    for (const int32_t id : ids) {
        const Variant items[2] = {Variant(id), Variant()};
        packed.emplace_back().SetArray(items, 2);
    }
    QV::ParamDescriptors list;
    list.SetArray(packed.data(), static_cast<uint32_t>(packed.size()));
    return list;
}

TEST_F(DeviceControlClientTest, AnswersArriveLaterOnTheLibrarysOwnThread)
{
    CallbackProbe probe;
    ASSERT_EQ(mConnect(&mKeyboard, &CallbackProbe::Callback, &probe), 0);
    const QV::ParamDescriptors request = DescriptorsOf({0, -8, -9, -10, 99});
    ASSERT_EQ(mRequestValues(&mKeyboard, &request), 0);
    ASSERT_EQ(mWaitForCallbacks(20000), 0);
    EXPECT_EQ(probe.calls.load(), 1);
    EXPECT_FALSE(probe.onCallerThread.load());
    EXPECT_EQ(mDisconnect(&mKeyboard), 0);
}

TEST_F(DeviceControlClientTest, DisconnectWaitsForARunningCallbackAndEndsTheRest)
{
    CallbackProbe probe;
    probe.holdFirst = true;
    ASSERT_EQ(mConnect(&mKeyboard, &CallbackProbe::Callback, &probe), 0);
    ASSERT_EQ(mInjectBurst(-100, 10), 0);
    ASSERT_EVENTUALLY(probe.entered);

    auto disconnect = std::async(std::launch::async, [&] { return mDisconnect(&mKeyboard); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    probe.release = true;
    EXPECT_EQ(disconnect.get(), 0);
    // Returned only once the running callback was over; the other nine are gone.
    EXPECT_TRUE(probe.firstFinished.load());
    EXPECT_EQ(mWaitForCallbacks(20000), 0);
    EXPECT_EQ(probe.calls.load(), 1);
    // Disconnecting again is harmless.
    EXPECT_EQ(mDisconnect(&mKeyboard), 0);
}

TEST_F(DeviceControlClientTest, NothingIsCalledBackAfterReleaseAll)
{
    CallbackProbe probe;
    ASSERT_EQ(mConnect(&mKeyboard, &CallbackProbe::Callback, &probe), 0);
    ASSERT_EQ(mReleaseAll(), 0);
    EXPECT_EQ(mInjectBurst(-100, 3), -1);
    const QV::ParamDescriptors request = DescriptorsOf({0});
    EXPECT_LT(mRequestValues(&mKeyboard, &request), 0);
    EXPECT_EQ(mWaitForCallbacks(20000), 0);
    EXPECT_EQ(probe.calls.load(), 0);
}

TEST_F(DeviceControlClientTest, ConnectingNeedsAKnownDeviceThatIsThere)
{
    CallbackProbe probe;
    const Variant stranger(int32_t{77});
    EXPECT_LT(mConnect(&stranger, &CallbackProbe::Callback, &probe), 0);
    mSetPresent(0);
    EXPECT_LT(mConnect(&mKeyboard, &CallbackProbe::Callback, &probe), 0);
    mSetPresent(1);
    EXPECT_EQ(mConnect(&mKeyboard, &CallbackProbe::Callback, &probe), 0);
    mDisconnect(&mKeyboard);
}

TEST_F(DeviceControlClientTest, WritesTheKeyboardRefuses)
{
    CallbackProbe probe;
    ASSERT_EQ(mConnect(&mKeyboard, &CallbackProbe::Callback, &probe), 0);
    const uint8_t channel[1] = {16};
    const uint8_t tooLong[2] = {1, 2};
    Variant blob;
    blob.SetBlob(channel, 1);
    Variant longBlob;
    longBlob.SetBlob(tooLong, 2);
    const Variant text("x");

    struct Case {
        int32_t id;
        const Variant* value;
        bool accepted;
    };
    const Case cases[] = {
        {0, &blob, true},     {0, &longBlob, false}, {0, &text, false},  {15, &blob, false},
        {-9, &text, false},   {-8, &text, false},    {-200, &text, true},  // sub-parameters pass
    };
    for (const Case& c : cases) {
        const QV::ParamDescriptor d{c.id, Variant()};
        EXPECT_EQ(mSetValue(&mKeyboard, &d, c.value) >= 0, c.accepted) << c.id;
    }
    Variant read;
    const QV::ParamDescriptor global{0, Variant()};
    ASSERT_EQ(mGetValue(&mKeyboard, &global, &read), 0);
    uint32_t size = 0;
    const uint8_t* data = read.GetData(size);
    ASSERT_EQ(size, 1u);
    EXPECT_EQ(data[0], 16);
    mDisconnect(&mKeyboard);
}

TEST_F(DeviceControlClientTest, AnUnpluggedKeyboardTakesNoWrites)
{
    CallbackProbe probe;
    ASSERT_EQ(mConnect(&mKeyboard, &CallbackProbe::Callback, &probe), 0);
    const QV::ParamDescriptor global{0, Variant()};
    const QV::ParamDescriptor sub{-200, Variant()};
    const auto blob = [](std::vector<uint8_t> bytes) {
        Variant v;
        v.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
        return v;
    };
    const Variant five = blob({5});
    const Variant nine = blob({9});
    ASSERT_EQ(mSetValue(&mKeyboard, &global, &five), 0);

    mSetPresent(0);
    EXPECT_LT(mSetValue(&mKeyboard, &global, &nine), 0);
    EXPECT_LT(mSetValue(&mKeyboard, &sub, &nine), 0);

    mSetPresent(1);
    Variant read;
    ASSERT_EQ(mGetValue(&mKeyboard, &global, &read), 0);
    EXPECT_EQ(read, five);
    mDisconnect(&mKeyboard);
}

}  // namespace
