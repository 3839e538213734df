#pragma once
// Test controls of the simulated Tarsel, exported by DeviceControlClient.so
// beside the DVCL_* entries. Tests reach them through dlsym on the loaded
// library; the editor never calls them.
#include <cstdint>

#include "DeviceControlClientApi.h"

extern "C" {

// One DVCL_* call as the library saw it: integer arguments and addresses in
// argument order, and the result it returned.
struct SIM_CallRecord {
    char entry[32];
    int32_t argCount;
    int32_t result;
    uint64_t args[4];
};

// Factory keyboard (present and connected), no scripted results, empty call
// log, no remote devices, callbacks not blocked, connection dropped.
using SIM_ResetFn = int32_t (*)();
// From now on `entry` (for example "DVCL_SetParamValue") returns `result`:
// a negative one without doing anything, another one after its usual work.
// -1 for an unknown entry name.
using SIM_SetResultFn = int32_t (*)(const char* entry, int32_t result);
using SIM_ClearResultsFn = int32_t (*)();
using SIM_GetCallCountFn = int32_t (*)();
// 0, or -1 for an index outside the log.
using SIM_GetCallFn = int32_t (*)(int32_t index, SIM_CallRecord* record);
using SIM_ClearCallLogFn = int32_t (*)();
// The identifiers reported by DVCL_FindRemoteDevices: a type-16 list, each
// record one identifier; any other Variant empties the list.
using SIM_SetRemoteDevicesFn = int32_t (*)(const QV::Variant* devices);
// Queues a value set for the connected client; -1 without a connection.
using SIM_InjectValueSetFn = int32_t (*)(const QV::ParamValues* values);
// Queues `count` value sets at once; set i holds the one value
// [int32 i, id, empty sub-descriptor]. -1 without a connection.
using SIM_InjectBurstFn = int32_t (*)(int32_t id, int32_t count);
// Nonzero holds every value set back (queued) until called with 0.
using SIM_BlockCallbacksFn = int32_t (*)(int32_t block);
// 0 once nothing is queued or being delivered, -1 after timeoutMs.
using SIM_WaitForCallbacksFn = int32_t (*)(int32_t timeoutMs);
// The keyboard side of the connection.
using SIM_SetPresentFn = int32_t (*)(int32_t present);
// Nonzero: device-info records clear byte 252 (a keyboard that answers but
// reports itself not connected) until called with 0.
using SIM_HideConnectedFlagFn = int32_t (*)(int32_t hide);
using SIM_IsClientConnectedFn = int32_t (*)();
// The keyboard's own value of a parameter (0-14, -8, -9, -10); 0 or -1.
using SIM_GetKeyboardValueFn = int32_t (*)(int32_t id, QV::Variant* value);

}  // extern "C"
