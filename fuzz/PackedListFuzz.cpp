// Packed value lists come from the device library and from preset files:
// reads every value of a list made of random bytes, and checks that the
// values read pack into a list that reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "PackedList.h"

namespace {

// The same type and bytes; NaNs included, borrowed blocks by their bytes.
bool SameBytes(const QV::Variant& a, const QV::Variant& b)
{
    uint32_t n = 0;
    uint32_t m = 0;
    const uint8_t* x = a.GetData(n);
    const uint8_t* y = b.GetData(m);
    return a.GetType() == b.GetType() && n == m && (n == 0 || std::memcmp(x, y, n) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0x10000) return 0;
    QV::Variant list;
    list.SetData(QV::Variant::kArray, data, static_cast<uint32_t>(size));
    const uint32_t count = PackedList::CountRecords(list);

    std::vector<QV::ParamValue> values;
    for (uint32_t i = 0; i < count; ++i) {
        QV::ParamValue value;
        const int32_t result = PackedList::ReadValue(list, i, value);
        Check(result == 0 || result == -7);
        if (result != 0) {
            Check(value.descriptor.id == -1 && value.value.IsEmpty());
            continue;
        }
        values.push_back(value);
    }

    const QV::ParamValues packed = PackedList::PackValues(values);
    Check(PackedList::CountRecords(packed) == values.size());
    for (uint32_t i = 0; i < values.size(); ++i) {
        QV::ParamValue back;
        Check(PackedList::ReadValue(packed, i, back) == 0);
        Check(back.descriptor.id == values[i].descriptor.id);
        // A borrowed block is packed as the bytes it points at.
        const int32_t type = values[i].value.GetType();
        if (type != QV::Variant::kBorrowed && type != QV::Variant::kBorrowedHidden) {
            Check(SameBytes(back.value, values[i].value));
        }
    }
    return 0;
}
