#include "RemoteDeviceList.h"

#include <cstring>

namespace RemoteDeviceList {

namespace {

bool IsSameIdentifier(const QV::Variant& a, const QV::Variant& b)
{
    if (a.GetType() != b.GetType() || a.GetLength() != b.GetLength()) return false;
    uint32_t n = 0;
    uint32_t m = 0;
    const uint8_t* x = a.GetData(n);
    const uint8_t* y = b.GetData(m);
    return n == m && (n == 0 || std::memcmp(x, y, n) == 0);
}

}  // namespace

void Read(const QV::Variant& result, QV::Array<QV::Variant>& devices)
{
    if (result.GetType() != QV::Variant::kArray || result.GetLength() <= 4) {
        (void)devices.SetCount(0);  // shrinking cannot fail
        return;
    }
    uint32_t size = 0;
    const uint8_t* data = result.GetData(size);
    uint32_t count = 0;
    for (uint32_t offset = 0; offset + 4 < size; ++count) {
        const uint32_t length = uint32_t{data[offset]} | uint32_t{data[offset + 1]} << 8 |
                                uint32_t{data[offset + 2]} << 16 | uint32_t{data[offset + 3]} << 24;
        // A zero or negative length would never end the walk.
        if (length == 0 || length > size - offset) {
            ++count;
            break;
        }
        offset += length;
    }
    if (QV::Failed(devices.SetCount(count))) {
        (void)devices.SetCount(0);
        return;
    }
    // A damaged entry reads as an empty device, which no caller connects to.
    for (uint32_t i = 0; i < count; ++i) (void)result.GetArrayItem(i, *devices.GetItemPtr(i));
}

bool IsSame(const QV::Array<QV::Variant>& a, const QV::Array<QV::Variant>& b)
{
    if (a.GetCount() != b.GetCount()) return false;
    for (uint32_t i = 0; i < a.GetCount(); ++i) {
        if (!IsSameIdentifier(*a.GetItemPtr(i), *b.GetItemPtr(i))) return false;
    }
    return true;
}

}  // namespace RemoteDeviceList
