#include "SimulatorHandle.h"

namespace DeviceLinkTest {

std::string BesideExecutable(const std::string& fileName)
{
    return Platform::GetExecutableFolder() + "/" + fileName;
}

SimulatorHandle::SimulatorHandle(const std::string& fileName)
    : mPath(BesideExecutable(fileName)), mLibrary(mPath)
{
    Reset = mLibrary.GetFunction<SIM_ResetFn>("SIM_Reset");
    SetResult = mLibrary.GetFunction<SIM_SetResultFn>("SIM_SetResult");
    ClearResults = mLibrary.GetFunction<SIM_ClearResultsFn>("SIM_ClearResults");
    GetCallCount = mLibrary.GetFunction<SIM_GetCallCountFn>("SIM_GetCallCount");
    GetCall = mLibrary.GetFunction<SIM_GetCallFn>("SIM_GetCall");
    ClearCallLog = mLibrary.GetFunction<SIM_ClearCallLogFn>("SIM_ClearCallLog");
    SetRemoteDevices = mLibrary.GetFunction<SIM_SetRemoteDevicesFn>("SIM_SetRemoteDevices");
    InjectValueSet = mLibrary.GetFunction<SIM_InjectValueSetFn>("SIM_InjectValueSet");
    InjectBurst = mLibrary.GetFunction<SIM_InjectBurstFn>("SIM_InjectBurst");
    BlockCallbacks = mLibrary.GetFunction<SIM_BlockCallbacksFn>("SIM_BlockCallbacks");
    WaitForCallbacks = mLibrary.GetFunction<SIM_WaitForCallbacksFn>("SIM_WaitForCallbacks");
    SetPresent = mLibrary.GetFunction<SIM_SetPresentFn>("SIM_SetPresent");
    HideConnectedFlag = mLibrary.GetFunction<SIM_HideConnectedFlagFn>("SIM_HideConnectedFlag");
    IsClientConnected = mLibrary.GetFunction<SIM_IsClientConnectedFn>("SIM_IsClientConnected");
    GetKeyboardValue = mLibrary.GetFunction<SIM_GetKeyboardValueFn>("SIM_GetKeyboardValue");
}

std::vector<SIM_CallRecord> SimulatorHandle::Calls() const
{
    std::vector<SIM_CallRecord> calls(static_cast<size_t>(GetCallCount()));
    for (size_t i = 0; i < calls.size(); ++i) GetCall(static_cast<int32_t>(i), &calls[i]);
    return calls;
}

std::vector<std::string> SimulatorHandle::CallNames() const
{
    std::vector<std::string> names;
    for (const SIM_CallRecord& call : Calls()) names.emplace_back(call.entry);
    return names;
}

}  // namespace DeviceLinkTest
