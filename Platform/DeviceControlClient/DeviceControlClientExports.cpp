// The exported C entries of DeviceControlClient.so: the 14 DVCL_* entries
// of the device-control client library and the SIM_* test controls.
// Built without DVCL_ReleaseAll and DVCL_GetDeviceInfo when
// DVCL_PARTIAL_LIBRARY is defined, for tests of a library that lacks them.
#include <cstdint>

#include "DeviceControlClientApi.h"
#include "SimulatedTarsel.h"
#include "SimulatorControl.h"

#define DVCL_EXPORT extern "C" __attribute__((visibility("default")))

using DeviceControlClient::SimulatedTarsel;

namespace {

uint64_t Address(const void* p) { return reinterpret_cast<uintptr_t>(p); }
uint64_t Address(DVCL_ValueSetCallback f) { return reinterpret_cast<uintptr_t>(f); }
uint64_t Number(int32_t v) { return static_cast<uint64_t>(static_cast<int64_t>(v)); }

SimulatedTarsel& Sim() { return SimulatedTarsel::Instance(); }

}  // namespace

DVCL_EXPORT int32_t DVCL_FindDevices(int32_t a, int32_t b, int32_t c)
{
    return Sim().Call("DVCL_FindDevices", {Number(a), Number(b), Number(c)}, [] { return 0; });
}

DVCL_EXPORT int32_t DVCL_FindRemoteDevices(const void* filters, int32_t filterCount, QV::Variant* result,
                                           int32_t mode)
{
    return Sim().Call("DVCL_FindRemoteDevices", {Address(filters), Number(filterCount), Address(result), Number(mode)},
                      [&] { return Sim().FindRemoteDevices(result); });
}

DVCL_EXPORT int32_t DVCL_ConnectDevice(const QV::Variant* device, DVCL_ValueSetCallback callback, void* context)
{
    return Sim().Call("DVCL_ConnectDevice", {Address(device), Address(callback), Address(context)},
                      [&] { return Sim().ConnectDevice(device, callback, context); });
}

DVCL_EXPORT int32_t DVCL_RequestParamRanges(const QV::Variant* device, const QV::ParamRanges* ranges)
{
    return Sim().Call("DVCL_RequestParamRanges", {Address(device), Address(ranges)},
                      [&] { return Sim().RequestParamRanges(device, ranges); });
}

DVCL_EXPORT int32_t DVCL_RequestParamValues(const QV::Variant* device, const QV::ParamDescriptors* descriptors)
{
    return Sim().Call("DVCL_RequestParamValues", {Address(device), Address(descriptors)},
                      [&] { return Sim().RequestParamValues(device, descriptors); });
}

DVCL_EXPORT int32_t DVCL_GetParamRanges(const QV::Variant* device, int32_t a, int32_t b)
{
    return Sim().Call("DVCL_GetParamRanges", {Address(device), Number(a), Number(b)},
                      [&] { return Sim().CheckConnected(device); });
}

DVCL_EXPORT int32_t DVCL_GetParamValues(const QV::Variant* device, int32_t a, int32_t b)
{
    return Sim().Call("DVCL_GetParamValues", {Address(device), Number(a), Number(b)},
                      [&] { return Sim().CheckConnected(device); });
}

DVCL_EXPORT int32_t DVCL_GetParamValue(const QV::Variant* device, const QV::ParamDescriptor* descriptor,
                                       QV::Variant* value)
{
    return Sim().Call("DVCL_GetParamValue", {Address(device), Address(descriptor), Address(value)},
                      [&] { return Sim().GetParamValue(device, descriptor, value); });
}

DVCL_EXPORT int32_t DVCL_SetParamValue(const QV::Variant* device, const QV::ParamDescriptor* descriptor,
                                       const QV::Variant* value)
{
    return Sim().Call("DVCL_SetParamValue", {Address(device), Address(descriptor), Address(value)},
                      [&] { return Sim().SetParamValue(device, descriptor, value); });
}

DVCL_EXPORT int32_t DVCL_SetParamValues(const QV::Variant* device, int32_t a)
{
    return Sim().Call("DVCL_SetParamValues", {Address(device), Number(a)},
                      [&] { return Sim().CheckConnected(device); });
}

DVCL_EXPORT int32_t DVCL_DisconnectDevice(const QV::Variant* device)
{
    return Sim().Call("DVCL_DisconnectDevice", {Address(device)}, [&] { return Sim().DisconnectDevice(device); });
}

DVCL_EXPORT int32_t DVCL_IsDeviceConnected(int32_t a)
{
    return Sim().Call("DVCL_IsDeviceConnected", {Number(a)}, [] { return Sim().IsDeviceConnected(); });
}

#ifndef DVCL_PARTIAL_LIBRARY
DVCL_EXPORT int32_t DVCL_GetDeviceInfo(const QV::Variant* device, uint8_t* record)
{
    return Sim().Call("DVCL_GetDeviceInfo", {Address(device), Address(record)},
                      [&] { return Sim().GetDeviceInfo(device, record); });
}

DVCL_EXPORT int32_t DVCL_ReleaseAll()
{
    return Sim().Call("DVCL_ReleaseAll", {}, [] { return Sim().ReleaseAll(); });
}
#endif

// ---- test controls ---------------------------------------------------------

DVCL_EXPORT int32_t SIM_Reset()
{
    Sim().Reset();
    return 0;
}

DVCL_EXPORT int32_t SIM_SetResult(const char* entry, int32_t result) { return Sim().SetScriptedResult(entry, result); }

DVCL_EXPORT int32_t SIM_ClearResults()
{
    Sim().ClearScriptedResults();
    return 0;
}

DVCL_EXPORT int32_t SIM_GetCallCount() { return Sim().GetCallCount(); }

DVCL_EXPORT int32_t SIM_GetCall(int32_t index, SIM_CallRecord* record) { return Sim().GetCall(index, record); }

DVCL_EXPORT int32_t SIM_ClearCallLog()
{
    Sim().ClearCallLog();
    return 0;
}

DVCL_EXPORT int32_t SIM_SetRemoteDevices(const QV::Variant* devices)
{
    Sim().SetRemoteDevices(devices);
    return 0;
}

DVCL_EXPORT int32_t SIM_InjectValueSet(const QV::ParamValues* values)
{
    return values ? Sim().InjectValueSet(*values) : -1;
}

DVCL_EXPORT int32_t SIM_InjectBurst(int32_t id, int32_t count) { return Sim().InjectBurst(id, count); }

DVCL_EXPORT int32_t SIM_BlockCallbacks(int32_t block)
{
    Sim().BlockCallbacks(block != 0);
    return 0;
}

DVCL_EXPORT int32_t SIM_WaitForCallbacks(int32_t timeoutMs)
{
    return Sim().WaitForCallbacks(timeoutMs < 0 ? 0u : static_cast<uint32_t>(timeoutMs)) ? 0 : -1;
}

DVCL_EXPORT int32_t SIM_SetPresent(int32_t present)
{
    Sim().SetPresent(present != 0);
    return 0;
}

DVCL_EXPORT int32_t SIM_HideConnectedFlag(int32_t hide)
{
    Sim().HideConnectedFlag(hide != 0);
    return 0;
}

DVCL_EXPORT int32_t SIM_IsClientConnected() { return Sim().IsClientConnected() ? 1 : 0; }

DVCL_EXPORT int32_t SIM_GetKeyboardValue(int32_t id, QV::Variant* value) { return Sim().GetKeyboardValue(id, value); }
