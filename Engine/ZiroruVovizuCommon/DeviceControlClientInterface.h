#pragma once
// Binding of the device-control client library ("DeviceControlClient.dll",
// loaded from beside the executable): its 14 entries bound by name, one
// wrapper per entry. A wrapper answers -1 without calling anything when the
// library or its entry is missing. No state of the conversation lives here.
#include <cstdint>

#include "DeviceControlClientApi.h"
#include "DynamicLibrary.h"
#include "ParamDescriptor.h"
#include "ParamValues.h"
#include "StringT.h"

namespace QV {

class DeviceControlClientInterface {
public:
    static constexpr int32_t kMissing = -1;

    // No path: the library beside the running executable. A path (used by
    // tests) names the library file; a ".dll" name means the ".so" file.
    explicit DeviceControlClientInterface(const String* path = nullptr);
    // Calls DVCL_ReleaseAll (when bound) and unloads the library.
    virtual ~DeviceControlClientInterface();

    DeviceControlClientInterface(const DeviceControlClientInterface&) = delete;
    DeviceControlClientInterface& operator=(const DeviceControlClientInterface&) = delete;

    [[nodiscard]] virtual int32_t FindDevices(int32_t a, int32_t b, int32_t c);
    [[nodiscard]] virtual int32_t FindRemoteDevices(const void* filters, int32_t filterCount, Variant* result,
                                                    int32_t mode);
    [[nodiscard]] virtual int32_t ConnectDevice(const Variant* device, DVCL_ValueSetCallback callback, void* context);
    [[nodiscard]] virtual int32_t RequestParamRanges(const Variant* device, const ParamRanges* ranges);
    [[nodiscard]] virtual int32_t RequestParamValues(const Variant* device, const ParamDescriptors* descriptors);
    // Packs the one descriptor into a one-record descriptor list.
    [[nodiscard]] virtual int32_t RequestParamValues(const Variant* device, const ParamDescriptor* descriptor);
    [[nodiscard]] virtual int32_t GetParamRanges(const Variant* device, int32_t a, int32_t b);
    [[nodiscard]] virtual int32_t GetParamValues(const Variant* device, int32_t a, int32_t b);
    [[nodiscard]] virtual int32_t GetParamValue(const Variant* device, const ParamDescriptor* descriptor,
                                                Variant* value);
    [[nodiscard]] virtual int32_t SetParamValue(const Variant* device, const ParamDescriptor* descriptor,
                                                const Variant* value);
    [[nodiscard]] virtual int32_t SetParamValues(const Variant* device, int32_t a);
    // True exactly when the entry answered 0.
    virtual bool IsDeviceConnected(int32_t a);
    [[nodiscard]] virtual int32_t DisconnectDevice(const Variant* device);
    // record: 256 bytes; byte 252 tells whether the device is connected.
    [[nodiscard]] virtual int32_t GetDeviceInfo(const Variant* device, uint8_t* record);

    bool IsLoaded() const { return mModule.IsLoaded(); }

    // The packed descriptor [id as int32, sub-descriptor].
    static Variant PackDescriptor(const ParamDescriptor& descriptor);

private:
    void BindEntries();

    Platform::DynamicLibrary mModule;
    DVCL_FindDevicesFn mFindDevices = nullptr;
    DVCL_FindRemoteDevicesFn mFindRemoteDevices = nullptr;
    DVCL_ConnectDeviceFn mConnectDevice = nullptr;
    DVCL_RequestParamRangesFn mRequestParamRanges = nullptr;
    DVCL_RequestParamValuesFn mRequestParamValues = nullptr;
    DVCL_GetParamRangesFn mGetParamRanges = nullptr;
    DVCL_GetParamValuesFn mGetParamValues = nullptr;
    DVCL_GetParamValueFn mGetParamValue = nullptr;
    DVCL_SetParamValueFn mSetParamValue = nullptr;
    DVCL_SetParamValuesFn mSetParamValues = nullptr;
    DVCL_DisconnectDeviceFn mDisconnectDevice = nullptr;
    DVCL_IsDeviceConnectedFn mIsDeviceConnected = nullptr;
    DVCL_GetDeviceInfoFn mGetDeviceInfo = nullptr;
    DVCL_ReleaseAllFn mReleaseAll = nullptr;
};

}  // namespace QV
