#include "DeviceControlClientInterface.h"

#include <string>

namespace QV {

namespace {

constexpr const char* kLibraryName = "DeviceControlClient.dll";
// The executable's path is read into 521 wide characters and the library's
// path built in 261; a longer path cannot be formed, so nothing is loaded.
constexpr int32_t kExecutablePathUnits = 521;
constexpr int32_t kLibraryPathUnits = 261;

int32_t Utf16Length(const std::string& utf8)
{
    return String(utf8.c_str()).GetLength();
}

// The library path beside the executable, or empty when it does not fit.
std::string DefaultLibraryPath()
{
    const std::string folder = Platform::GetExecutableFolder();
    if (folder.empty() || Utf16Length(folder) >= kExecutablePathUnits) return {};
    const std::string path = (folder == "/" ? folder : folder + "/") + kLibraryName;
    if (Utf16Length(path) >= kLibraryPathUnits) return {};
    return Platform::ResolveLibraryPath(path);
}

}  // namespace

DeviceControlClientInterface::DeviceControlClientInterface(const String* path)
{
    std::string file;
    if (path) {
        file = Platform::ResolveLibraryPath(path->ToUtf8().c_str());
    } else {
        file = DefaultLibraryPath();
    }
    if (!file.empty() && mModule.Load(file)) BindEntries();
}

DeviceControlClientInterface::~DeviceControlClientInterface()
{
    if (!mModule.IsLoaded()) return;
    // The last call into the library; unloading follows at once.
    if (mReleaseAll) mReleaseAll();
    mModule.Unload();
}

void DeviceControlClientInterface::BindEntries()
{
    mFindDevices = mModule.GetFunction<DVCL_FindDevicesFn>("DVCL_FindDevices");
    mFindRemoteDevices = mModule.GetFunction<DVCL_FindRemoteDevicesFn>("DVCL_FindRemoteDevices");
    mConnectDevice = mModule.GetFunction<DVCL_ConnectDeviceFn>("DVCL_ConnectDevice");
    mRequestParamRanges = mModule.GetFunction<DVCL_RequestParamRangesFn>("DVCL_RequestParamRanges");
    mRequestParamValues = mModule.GetFunction<DVCL_RequestParamValuesFn>("DVCL_RequestParamValues");
    mGetParamRanges = mModule.GetFunction<DVCL_GetParamRangesFn>("DVCL_GetParamRanges");
    mGetParamValues = mModule.GetFunction<DVCL_GetParamValuesFn>("DVCL_GetParamValues");
    mGetParamValue = mModule.GetFunction<DVCL_GetParamValueFn>("DVCL_GetParamValue");
    mSetParamValue = mModule.GetFunction<DVCL_SetParamValueFn>("DVCL_SetParamValue");
    mSetParamValues = mModule.GetFunction<DVCL_SetParamValuesFn>("DVCL_SetParamValues");
    mDisconnectDevice = mModule.GetFunction<DVCL_DisconnectDeviceFn>("DVCL_DisconnectDevice");
    mIsDeviceConnected = mModule.GetFunction<DVCL_IsDeviceConnectedFn>("DVCL_IsDeviceConnected");
    mGetDeviceInfo = mModule.GetFunction<DVCL_GetDeviceInfoFn>("DVCL_GetDeviceInfo");
    mReleaseAll = mModule.GetFunction<DVCL_ReleaseAllFn>("DVCL_ReleaseAll");
}

Variant DeviceControlClientInterface::PackDescriptor(const ParamDescriptor& descriptor)
{
    const Variant items[2] = {Variant(descriptor.id), descriptor.subDescriptor};
    Variant packed;
    packed.SetArray(items, 2);
    return packed;
}

int32_t DeviceControlClientInterface::FindDevices(int32_t a, int32_t b, int32_t c)
{
    if (!IsLoaded() || !mFindDevices) return kMissing;
    return mFindDevices(a, b, c);
}

int32_t DeviceControlClientInterface::FindRemoteDevices(const void* filters, int32_t filterCount, Variant* result,
                                                        int32_t mode)
{
    if (!IsLoaded() || !mFindRemoteDevices) return kMissing;
    return mFindRemoteDevices(filters, filterCount, result, mode);
}

int32_t DeviceControlClientInterface::ConnectDevice(const Variant* device, DVCL_ValueSetCallback callback,
                                                    void* context)
{
    if (!IsLoaded() || !mConnectDevice) return kMissing;
    return mConnectDevice(device, callback, context);
}

int32_t DeviceControlClientInterface::RequestParamRanges(const Variant* device, const ParamRanges* ranges)
{
    if (!IsLoaded() || !mRequestParamRanges) return kMissing;
    return mRequestParamRanges(device, ranges);
}

int32_t DeviceControlClientInterface::RequestParamValues(const Variant* device, const ParamDescriptors* descriptors)
{
    if (!IsLoaded() || !mRequestParamValues) return kMissing;
    return mRequestParamValues(device, descriptors);
}

int32_t DeviceControlClientInterface::RequestParamValues(const Variant* device, const ParamDescriptor* descriptor)
{
    if (!IsLoaded() || !mRequestParamValues) return kMissing;
    ParamDescriptors list;
    if (descriptor) {
        const Variant packed = PackDescriptor(*descriptor);
        list.SetArray(&packed, 1);
    } else {
        list.SetArray(static_cast<const Variant*>(nullptr), 0);
    }
    return mRequestParamValues(device, &list);
}

int32_t DeviceControlClientInterface::GetParamRanges(const Variant* device, int32_t a, int32_t b)
{
    if (!IsLoaded() || !mGetParamRanges) return kMissing;
    return mGetParamRanges(device, a, b);
}

int32_t DeviceControlClientInterface::GetParamValues(const Variant* device, int32_t a, int32_t b)
{
    if (!IsLoaded() || !mGetParamValues) return kMissing;
    return mGetParamValues(device, a, b);
}

int32_t DeviceControlClientInterface::GetParamValue(const Variant* device, const ParamDescriptor* descriptor,
                                                    Variant* value)
{
    if (!IsLoaded() || !mGetParamValue) return kMissing;
    return mGetParamValue(device, descriptor, value);
}

int32_t DeviceControlClientInterface::SetParamValue(const Variant* device, const ParamDescriptor* descriptor,
                                                    const Variant* value)
{
    if (!IsLoaded() || !mSetParamValue) return kMissing;
    return mSetParamValue(device, descriptor, value);
}

int32_t DeviceControlClientInterface::SetParamValues(const Variant* device, int32_t a)
{
    if (!IsLoaded() || !mSetParamValues) return kMissing;
    return mSetParamValues(device, a);
}

bool DeviceControlClientInterface::IsDeviceConnected(int32_t a)
{
    if (!IsLoaded() || !mIsDeviceConnected) return false;
    return mIsDeviceConnected(a) == 0;
}

int32_t DeviceControlClientInterface::DisconnectDevice(const Variant* device)
{
    if (!IsLoaded() || !mDisconnectDevice) return kMissing;
    return mDisconnectDevice(device);
}

int32_t DeviceControlClientInterface::GetDeviceInfo(const Variant* device, uint8_t* record)
{
    if (!IsLoaded() || !mGetDeviceInfo) return kMissing;
    return mGetDeviceInfo(device, record);
}

}  // namespace QV
