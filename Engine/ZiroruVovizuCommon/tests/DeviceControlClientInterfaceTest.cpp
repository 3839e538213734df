#include "DeviceControlClientInterface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SimulatorHandle.h"

namespace {

using DeviceLinkTest::SimulatorHandle;
using QV::DeviceControlClientInterface;

uint64_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }
uint64_t Number(int32_t v) { return static_cast<uint64_t>(static_cast<int64_t>(v)); }

void NoCallback(void*, int32_t, const QV::ParamValues*) {}

std::unique_ptr<DeviceControlClientInterface> Bind(const std::string& path)
{
    const QV::String widePath(path.c_str());
    return std::make_unique<DeviceControlClientInterface>(&widePath);
}

class DeviceControlClientInterfaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mSimulator.IsLoaded()) << mSimulator.GetPath();
        mSimulator.Reset();
    }
    void TearDown() override { mSimulator.Reset(); }

    SimulatorHandle mSimulator;
};

// Arguments every wrapper is called with, so the log can be checked against them.
struct Arguments {
    QV::Variant device{int32_t{42}};
    QV::Variant result;
    QV::ParamRanges ranges;
    QV::ParamDescriptors descriptors;
    QV::ParamDescriptor descriptor{-8, QV::Variant()};
    QV::Variant value{int32_t{7}};
    uint8_t record[256] = {};
    int context = 0;
};

struct PassThroughCase {
    const char* entry;
    // Calls the wrapper; answers its result and the arguments the entry must have seen.
    std::function<int32_t(DeviceControlClientInterface&, Arguments&, std::vector<uint64_t>&)> call;
};

TEST_F(DeviceControlClientInterfaceTest, EveryWrapperPassesArgumentsAndResultThrough)
{
    const std::vector<PassThroughCase> cases = {
        {"DVCL_FindDevices",
         [](auto& b, auto&, auto& args) {
             args = {Number(3), Number(-4), Number(5)};
             return b.FindDevices(3, -4, 5);
         }},
        {"DVCL_FindRemoteDevices",
         [](auto& b, auto& a, auto& args) {
             args = {0, Number(0), Address(&a.result), Number(1)};
             return b.FindRemoteDevices(nullptr, 0, &a.result, 1);
         }},
        {"DVCL_ConnectDevice",
         [](auto& b, auto& a, auto& args) {
             args = {Address(&a.device), reinterpret_cast<uintptr_t>(&NoCallback), Address(&a.context)};
             return b.ConnectDevice(&a.device, &NoCallback, &a.context);
         }},
        {"DVCL_RequestParamRanges",
         [](auto& b, auto& a, auto& args) {
             args = {Address(&a.device), Address(&a.ranges)};
             return b.RequestParamRanges(&a.device, &a.ranges);
         }},
        {"DVCL_RequestParamValues",
         [](auto& b, auto& a, auto& args) {
             args = {Address(&a.device), Address(&a.descriptors)};
             return b.RequestParamValues(&a.device, &a.descriptors);
         }},
        {"DVCL_GetParamRanges",
         [](auto& b, auto& a, auto& args) {
             args = {Address(&a.device), Number(11), Number(-12)};
             return b.GetParamRanges(&a.device, 11, -12);
         }},
        {"DVCL_GetParamValues",
         [](auto& b, auto& a, auto& args) {
             args = {Address(&a.device), Number(13), Number(14)};
             return b.GetParamValues(&a.device, 13, 14);
         }},
        {"DVCL_GetParamValue",
         [](auto& b, auto& a, auto& args) {
             args = {Address(&a.device), Address(&a.descriptor), Address(&a.result)};
             return b.GetParamValue(&a.device, &a.descriptor, &a.result);
         }},
        {"DVCL_SetParamValue",
         [](auto& b, auto& a, auto& args) {
             args = {Address(&a.device), Address(&a.descriptor), Address(&a.value)};
             return b.SetParamValue(&a.device, &a.descriptor, &a.value);
         }},
        {"DVCL_SetParamValues",
         [](auto& b, auto& a, auto& args) {
             args = {Address(&a.device), Number(-15)};
             return b.SetParamValues(&a.device, -15);
         }},
        {"DVCL_DisconnectDevice",
         [](auto& b, auto& a, auto& args) {
             args = {Address(&a.device)};
             return b.DisconnectDevice(&a.device);
         }},
        {"DVCL_GetDeviceInfo",
         [](auto& b, auto& a, auto& args) {
             args = {Address(&a.device), Address(a.record)};
             return b.GetDeviceInfo(&a.device, a.record);
         }},
    };

    auto binding = Bind(mSimulator.GetPath());
    ASSERT_TRUE(binding->IsLoaded());
    for (const int32_t scripted : {7, -9}) {
        for (const PassThroughCase& c : cases) {
            SCOPED_TRACE(std::string(c.entry) + " answering " + std::to_string(scripted));
            mSimulator.ClearCallLog();
            mSimulator.SetResult(c.entry, scripted);
            Arguments arguments;
            std::vector<uint64_t> expected;
            EXPECT_EQ(c.call(*binding, arguments, expected), scripted);

            const auto calls = mSimulator.Calls();
            ASSERT_EQ(calls.size(), 1u);
            EXPECT_STREQ(calls[0].entry, c.entry);
            EXPECT_EQ(calls[0].result, scripted);
            ASSERT_EQ(calls[0].argCount, static_cast<int32_t>(expected.size()));
            for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(calls[0].args[i], expected[i]) << "argument " << i;
        }
    }
}

TEST_F(DeviceControlClientInterfaceTest, IsDeviceConnectedIsTrueExactlyWhenTheEntryAnswersZero)
{
    auto binding = Bind(mSimulator.GetPath());
    for (const auto& [scripted, expected] : {std::pair{0, true}, {1, false}, {-1, false}}) {
        mSimulator.ClearCallLog();
        mSimulator.SetResult("DVCL_IsDeviceConnected", scripted);
        EXPECT_EQ(binding->IsDeviceConnected(21), expected) << scripted;
        const auto calls = mSimulator.Calls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_STREQ(calls[0].entry, "DVCL_IsDeviceConnected");
        EXPECT_EQ(calls[0].args[0], Number(21));
    }
}

TEST_F(DeviceControlClientInterfaceTest, ListFormOfRequestParamValuesPacksTheOneDescriptor)
{
    auto binding = Bind(mSimulator.GetPath());
    const QV::Variant device;
    ASSERT_EQ(binding->ConnectDevice(&device, &NoCallback, nullptr), 0);
    mSimulator.ClearCallLog();

    const QV::ParamDescriptor descriptor{-8, QV::Variant()};
    EXPECT_EQ(binding->RequestParamValues(&device, &descriptor), 0);

    // The library read one packed descriptor [int32 -8, empty] and answered it.
    const auto calls = mSimulator.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_STREQ(calls[0].entry, "DVCL_RequestParamValues");
    EXPECT_EQ(calls[0].result, 0);
    const QV::Variant packed = DeviceControlClientInterface::PackDescriptor(descriptor);
    QV::Variant id;
    QV::Variant sub;
    ASSERT_EQ(packed.GetArrayItem(0, id), 0);
    ASSERT_EQ(packed.GetArrayItem(1, sub), 0);
    EXPECT_EQ(id.GetType(), QV::Variant::kInt32);
    EXPECT_EQ(id.GetAsInt32(), -8);
    EXPECT_TRUE(sub.IsEmpty());
    EXPECT_EQ(packed.GetArrayItem(2, sub), -1);
    binding->DisconnectDevice(&device);
}

TEST_F(DeviceControlClientInterfaceTest, WithoutTheLibraryFileEveryWrapperAnswersMinusOne)
{
    auto binding = Bind(DeviceLinkTest::BesideExecutable("NoSuchDeviceControlClient.dll"));
    EXPECT_FALSE(binding->IsLoaded());
    Arguments a;
    const std::vector<int32_t> results = {
        binding->FindDevices(1, 2, 3),
        binding->FindRemoteDevices(nullptr, 0, &a.result, 1),
        binding->ConnectDevice(&a.device, &NoCallback, nullptr),
        binding->RequestParamRanges(&a.device, &a.ranges),
        binding->RequestParamValues(&a.device, &a.descriptors),
        binding->RequestParamValues(&a.device, &a.descriptor),
        binding->GetParamRanges(&a.device, 1, 2),
        binding->GetParamValues(&a.device, 1, 2),
        binding->GetParamValue(&a.device, &a.descriptor, &a.result),
        binding->SetParamValue(&a.device, &a.descriptor, &a.value),
        binding->SetParamValues(&a.device, 1),
        binding->DisconnectDevice(&a.device),
        binding->GetDeviceInfo(&a.device, a.record),
    };
    for (size_t i = 0; i < results.size(); ++i) EXPECT_EQ(results[i], -1) << "wrapper " << i;
    EXPECT_FALSE(binding->IsDeviceConnected(0));
    binding.reset();
    EXPECT_EQ(mSimulator.GetCallCount(), 0);
}

TEST_F(DeviceControlClientInterfaceTest, DestructionEndsWithReleaseAll)
{
    auto binding = Bind(mSimulator.GetPath());
    const QV::Variant device;
    ASSERT_EQ(binding->ConnectDevice(&device, &NoCallback, nullptr), 0);
    binding->DisconnectDevice(&device);
    binding.reset();
    const auto names = mSimulator.CallNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back(), "DVCL_ReleaseAll");
    EXPECT_EQ(std::count(names.begin(), names.end(), "DVCL_ReleaseAll"), 1);
}

TEST_F(DeviceControlClientInterfaceTest, WithoutAPathTheLibraryBesideTheExecutableIsBound)
{
    DeviceControlClientInterface binding;
    EXPECT_TRUE(binding.IsLoaded());
    EXPECT_EQ(binding.FindDevices(0, 0, 0), 0);
    EXPECT_EQ(mSimulator.CallNames(), std::vector<std::string>{"DVCL_FindDevices"});
}

TEST(DeviceControlClientInterfacePartialTest, MissingEntriesAnswerMinusOneAndReleaseAllIsSkipped)
{
    SimulatorHandle partial(DeviceLinkTest::kPartialLibrary);
    ASSERT_TRUE(partial.IsLoaded()) << partial.GetPath();
    partial.Reset();
    {
        auto binding = Bind(partial.GetPath());
        ASSERT_TRUE(binding->IsLoaded());
        const QV::Variant device;
        uint8_t record[256] = {};
        EXPECT_EQ(binding->GetDeviceInfo(&device, record), -1);
        EXPECT_EQ(binding->ConnectDevice(&device, &NoCallback, nullptr), 0);
        EXPECT_EQ(binding->DisconnectDevice(&device), 0);
    }
    EXPECT_EQ(partial.CallNames(), (std::vector<std::string>{"DVCL_ConnectDevice", "DVCL_DisconnectDevice"}));
    partial.Reset();
}

}  // namespace
