#pragma once
// The C entry points of the device-control client library
// ("DeviceControlClient.dll", here DeviceControlClient.so). Every entry
// returns a signed 32-bit result, negative on failure. Device identifiers,
// values and packed parameter lists are QV::Variant objects passed by
// address; both sides build them from the same Variant code.
#include <cstdint>

#include "ParamDescriptor.h"
#include "ParamValues.h"

extern "C" {

// Called on the library's own thread for every value set from the device.
// The middle argument carries nothing the editor uses.
using DVCL_ValueSetCallback = void (*)(void* context, int32_t reserved, const QV::ParamValues* values);

using DVCL_FindDevicesFn = int32_t (*)(int32_t, int32_t, int32_t);
// filters: 16-byte GUIDs (null when count is 0); mode 0 polls, 1 queries fully.
using DVCL_FindRemoteDevicesFn = int32_t (*)(const void* filters, int32_t filterCount,
                                             QV::Variant* result, int32_t mode);
using DVCL_ConnectDeviceFn = int32_t (*)(const QV::Variant* device, DVCL_ValueSetCallback callback,
                                         void* context);
using DVCL_RequestParamRangesFn = int32_t (*)(const QV::Variant* device, const QV::ParamRanges* ranges);
using DVCL_RequestParamValuesFn = int32_t (*)(const QV::Variant* device,
                                              const QV::ParamDescriptors* descriptors);
using DVCL_GetParamRangesFn = int32_t (*)(const QV::Variant* device, int32_t, int32_t);
using DVCL_GetParamValuesFn = int32_t (*)(const QV::Variant* device, int32_t, int32_t);
using DVCL_GetParamValueFn = int32_t (*)(const QV::Variant* device, const QV::ParamDescriptor* descriptor,
                                         QV::Variant* value);
using DVCL_SetParamValueFn = int32_t (*)(const QV::Variant* device, const QV::ParamDescriptor* descriptor,
                                         const QV::Variant* value);
using DVCL_SetParamValuesFn = int32_t (*)(const QV::Variant* device, int32_t);
using DVCL_DisconnectDeviceFn = int32_t (*)(const QV::Variant* device);
using DVCL_IsDeviceConnectedFn = int32_t (*)(int32_t);
// record: 256 bytes; byte 252 is nonzero while the device is present and connected.
using DVCL_GetDeviceInfoFn = int32_t (*)(const QV::Variant* device, uint8_t* record);
using DVCL_ReleaseAllFn = int32_t (*)();

}  // extern "C"

namespace DeviceControlClient {

inline constexpr uint32_t kDeviceInfoSize = 256;
inline constexpr uint32_t kConnectedFlagOffset = 252;

}  // namespace DeviceControlClient
