#include <gtest/gtest.h>

#include <string>

#include "FakeParamEngine.h"
#include "LNotificationCenterManager.h"
#include "LPresetManager.h"
#include "SimulatorHandle.h"
#include "TempFolder.h"

namespace {

using namespace QV;
using driver_test::Blob;
using driver_test::BytesOf;

// The default engine seam over the real engine and the simulated keyboard.
class EngineAdapterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.IsLoaded());
        sim.Reset();
        ASSERT_EQ(engine->Initialize(0), 0);
        ASSERT_EQ(engine->GetConnectionState(), LRootModuleEngine::kConnected);
        SetRootModuleEngine(engine);
    }
    void TearDown() override
    {
        SetRootModuleEngine(nullptr);
        manager = nullptr;
        engine = nullptr;
        LNotificationCenterManager::ResetInstance();
    }
    std::vector<uint8_t> KeyboardValue(int32_t id)
    {
        Variant value;
        EXPECT_EQ(sim.GetKeyboardValue(id, &value), 0);
        return BytesOf(value);
    }

    DeviceLinkTest::SimulatorHandle sim;
    RCPtr<LRootModuleEngine> engine{new LRootModuleEngine()};
    RCPtr<LPresetManager> manager = LPresetManager::Create();
    TempFolder folder{"engine-adapter"};
};

TEST_F(EngineAdapterTest, APresetOfTheKeyboardIsSavedAndLoadedBackIntoIt)
{
    const std::string path = folder / "keyboard.trs";
    ASSERT_EQ(manager->SavePresetFile(String(path.c_str())), S_OK);
    const std::string saved = TempFolder::ReadText(path);
    ASSERT_EQ(saved.size(), 461u);

    ASSERT_EQ(engine->SetParamValue(ParamDescriptor{0, Variant()}, Blob({9})), 0);
    ASSERT_EQ(KeyboardValue(0), (std::vector<uint8_t>{9}));
    EXPECT_EQ(manager->LoadPresetFile(String(path.c_str())), LPresetManager::kLoaded);
    for (int32_t i = 0; i < 15; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(KeyboardValue(i), Platform::TarselKeyboard::DefaultBlob(i));
    }
}

TEST_F(EngineAdapterTest, ARefusedPresetLeavesEveryByteOfTheKeyboard)
{
    const std::string path = folder / "keyboard.trs";
    ASSERT_EQ(manager->SavePresetFile(String(path.c_str())), S_OK);
    const std::string saved = TempFolder::ReadText(path);
    // Changed values first, so a load that sends anything shows.
    for (int32_t i = 0; i < 15; ++i) {
        std::vector<uint8_t> bytes = Platform::TarselKeyboard::DefaultBlob(i);
        const auto range = Platform::TarselKeyboard::ByteRanges(i).back();
        bytes.back() = bytes.back() == range.min ? range.max : range.min;
        ASSERT_EQ(engine->SetParamValue(ParamDescriptor{i, Variant()}, Blob(bytes)), 0);
    }
    std::vector<std::vector<uint8_t>> before;
    for (int32_t i = 0; i < 15; ++i) before.push_back(KeyboardValue(i));

    std::string otherDevice = saved;
    otherDevice[8] = 1;
    std::string older = saved;
    older[0] = 0;
    std::string newer = saved;
    newer[0] = 2;
    struct Case {
        const char* name;
        std::string bytes;
        int32_t result;
    };
    const Case cases[] = {
        {"older", older, LPresetManager::kOlderFormat},
        {"newer", newer, LPresetManager::kNewerFormat},
        {"last record cut short", saved.substr(0, saved.size() - 1), LPresetManager::kCorrupt},
        {"bad record after good ones", saved + std::string("\x03\0\0\0", 4), LPresetManager::kCorrupt},
        {"other device", otherDevice, LPresetManager::kOtherDevice},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder::WriteText(path, c.bytes);
        EXPECT_EQ(manager->LoadPresetFile(String(path.c_str())), c.result);
        for (int32_t i = 0; i < 15; ++i) EXPECT_EQ(KeyboardValue(i), before[static_cast<size_t>(i)]) << i;
    }

    // A whole file of fewer records loads just those.
    TempFolder::WriteText(path, saved.substr(0, 12 + 25 + 27));
    EXPECT_EQ(manager->LoadPresetFile(String(path.c_str())), LPresetManager::kLoaded);
    EXPECT_EQ(KeyboardValue(0), Platform::TarselKeyboard::DefaultBlob(0));
    EXPECT_EQ(KeyboardValue(1), Platform::TarselKeyboard::DefaultBlob(1));
    EXPECT_EQ(KeyboardValue(2), before[2]);
}

TEST_F(EngineAdapterTest, TheConfigurationIsTheKeyboardsSettingsOutsideThePreset)
{
    IParamEngine& seam = GetParamEngine();
    EXPECT_TRUE(seam.IsAvailable());
    EXPECT_EQ(seam.GetEngine().Get(), engine.Get());
    Variant configuration;
    ASSERT_GE(seam.GetDeviceConfiguration(configuration), 0);
    EXPECT_EQ(BytesOf(configuration), KeyboardValue(-8));
    EXPECT_FALSE(BytesOf(configuration).empty());
}

TEST_F(EngineAdapterTest, WithoutAnEngineEveryCallFails)
{
    SetRootModuleEngine(nullptr);
    IParamEngine& seam = GetParamEngine();
    EXPECT_FALSE(seam.IsAvailable());
    Variant value = Blob({1});
    EXPECT_LT(seam.GetDeviceConfiguration(value), 0);
    EXPECT_TRUE(value.IsEmpty());
    EXPECT_LT(seam.SetParamValue(ParamDescriptor{0, Variant()}, Blob({1})), 0);
    Array<ParamValue> values;
    EXPECT_LT(seam.GetParamValues(0, 15, values), 0);
    const std::string path = folder / "none.trs";
    EXPECT_EQ(manager->SavePresetFile(String(path.c_str())), E_FAIL);
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
