// The remote-device list is whatever the device library answers: reads a
// list from random bytes, checks the walk stays inside them, and that a list
// read twice, or copied, is the same list (so polling sees no change).
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "RemoteDeviceList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 0x10000) return 0;
    // The first byte picks the result's type: mostly a packed list.
    const int32_t type = data[0] < 0xF0 ? QV::Variant::kArray : data[0] & 0x0F;
    QV::Variant result;
    result.SetData(type, data + 1, static_cast<uint32_t>(size - 1));

    QV::Array<QV::Variant> devices;
    RemoteDeviceList::Read(result, devices);
    if (result.GetType() != QV::Variant::kArray) Check(devices.GetCount() == 0);
    Check(devices.GetCount() <= size / 4 + 1);
    Check(RemoteDeviceList::IsSame(devices, devices));

    QV::Array<QV::Variant> again;
    Check(again.SetCount(3) == 3);
    RemoteDeviceList::Read(result, again);
    Check(RemoteDeviceList::IsSame(devices, again));
    const QV::Array<QV::Variant> copy = devices;
    Check(RemoteDeviceList::IsSame(copy, devices));
    return 0;
}
