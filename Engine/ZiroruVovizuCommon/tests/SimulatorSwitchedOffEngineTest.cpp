// With TARSEL_SIMULATOR=0 the simulated library has no keyboard attached, and
// the engine must not claim one.
#include <gtest/gtest.h>

#include <cstdlib>

#include "EngineTestSupport.h"
#include "ParamTestValues.h"
#include "SimulatorHandle.h"

namespace {

using EngineTest::PostCollector;
using EngineTest::Received;
using QV::RCPtr;
using QV::Variant;

// A program of its own: the library reads the setting when it is first used.
TEST(SimulatorSwitchedOffEngineTest, NoKeyboardIsFoundAndNothingSaysConnected)
{
    ASSERT_EQ(::setenv("TARSEL_SIMULATOR", "0", 1), 0);
    DeviceLinkTest::SimulatorHandle sim;
    ASSERT_TRUE(sim.IsLoaded());
    EngineTest::ShortSleeps time;
    const Platform::Clock::ScopedTimeSource timeScope{time};
    RCPtr<PostCollector> posts{new PostCollector()};
    posts->Subscribe();
    {
        const RCPtr<LRootModuleEngine> engine{new LRootModuleEngine()};
        ASSERT_EQ(engine->Initialize(0), 0);
        EXPECT_FALSE(engine->IsOffline());  // the library is there; the keyboard is not
        EXPECT_FALSE(engine->IsKeyboardConnected());
        EXPECT_TRUE(engine->GetRootModule()->IsOffline());
        EXPECT_EQ(sim.IsClientConnected(), 0);
        EXPECT_FALSE(engine->IsDeviceConnected(Variant()));  // connected flag of the device info unset
        // Edits are still kept, for presets; none is sent.
        sim.ClearCallLog();
        EXPECT_EQ(engine->SetParamValue(ParamTest::Desc(0), ParamTest::Blob({2})), 0);
        EXPECT_TRUE(sim.CallNames().empty());

        // A scan finds nothing, even where the simulator was told of a device.
        const Variant remote[] = {Variant(int32_t{5})};
        Variant list;
        list.SetArray(remote, 1);
        ASSERT_EQ(sim.SetRemoteDevices(&list), 0);
        QV::Array<Variant> devices;
        EXPECT_EQ(engine->RefreshRemoteDevices(devices), 0);
        EXPECT_EQ(devices.GetCount(), 0u);

        EXPECT_LT(engine->SelectDevice(Variant()), 0);
        EXPECT_FALSE(engine->IsKeyboardConnected());
    }
    posts->Drain();
    posts->UnregisterAllNotifications();
    posts = nullptr;
    QV::LNotificationCenterManager::ResetInstance();
}

}  // namespace
