#pragma once
// The test's own handle on the simulated Tarsel library beside the test
// program, with its SIM_* controls. Holding it keeps the library (and its
// call log) loaded while the code under test loads and unloads it.
#include <string>
#include <vector>

#include "DynamicLibrary.h"
#include "SimulatorControl.h"

namespace DeviceLinkTest {

inline constexpr const char* kFullLibrary = "DeviceControlClient.so";
inline constexpr const char* kPartialLibrary = "DeviceControlClientPartial.so";

// The path of a file beside the test program.
std::string BesideExecutable(const std::string& fileName);

class SimulatorHandle {
public:
    explicit SimulatorHandle(const std::string& fileName = kFullLibrary);

    bool IsLoaded() const { return mLibrary.IsLoaded() && Reset; }
    const std::string& GetPath() const { return mPath; }
    std::vector<SIM_CallRecord> Calls() const;
    // The entry names of the log, in call order.
    std::vector<std::string> CallNames() const;

    SIM_ResetFn Reset = nullptr;
    SIM_SetResultFn SetResult = nullptr;
    SIM_ClearResultsFn ClearResults = nullptr;
    SIM_GetCallCountFn GetCallCount = nullptr;
    SIM_GetCallFn GetCall = nullptr;
    SIM_ClearCallLogFn ClearCallLog = nullptr;
    SIM_SetRemoteDevicesFn SetRemoteDevices = nullptr;
    SIM_InjectValueSetFn InjectValueSet = nullptr;
    SIM_InjectBurstFn InjectBurst = nullptr;
    SIM_BlockCallbacksFn BlockCallbacks = nullptr;
    SIM_WaitForCallbacksFn WaitForCallbacks = nullptr;
    SIM_SetPresentFn SetPresent = nullptr;
    SIM_HideConnectedFlagFn HideConnectedFlag = nullptr;
    SIM_IsClientConnectedFn IsClientConnected = nullptr;
    SIM_GetKeyboardValueFn GetKeyboardValue = nullptr;

private:
    std::string mPath;
    Platform::DynamicLibrary mLibrary;
};

}  // namespace DeviceLinkTest
