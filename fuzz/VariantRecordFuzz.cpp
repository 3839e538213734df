// Packed records come from preset files and from the device: feeds random
// bytes to the record reader and the list walk, and checks that what was
// accepted encodes back to a record that reads the same.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Variant.h"

namespace {

void Check(bool condition)
{
    if (!condition) __builtin_trap();
}

// Reads every getter, so each one meets the decoded value.
void Touch(const QV::Variant& v)
{
    volatile uint64_t sink = 0;
    sink = sink + v.GetAsBool() + v.GetAsUInt8() + static_cast<uint16_t>(v.GetAsInt16()) +
           static_cast<uint32_t>(v.GetAsInt32()) + static_cast<uint64_t>(v.GetAsInt64()) +
           v.GetAsUInt64() + v.GetAsUInt32() + v.GetAsUInt16();
    volatile double d = v.GetAsDouble() + v.GetAsFloat();
    (void)d;
    uint32_t n = 0;
    const uint8_t* bytes = v.GetBytes(n);
    for (uint32_t i = 0; i < n; ++i) sink = sink + bytes[i];
    if (const char* text = v.GetString()) Check(text[v.GetLength() - 1] == 0);
}

void RoundTrip(const QV::Variant& item)
{
    uint32_t n = 0;
    item.GetData(n);
    std::vector<uint8_t> record(n + QV::Variant::kRecordHeaderSize);
    const auto size = static_cast<uint32_t>(record.size());
    Check(QV::VariantToRecord(item, record.data(), size) == static_cast<int32_t>(size));
    QV::Variant back;
    Check(QV::VariantFromRecord(back, record.data(), size) == QV::S_OK);
    Check(back == item || item.GetAsDouble() != item.GetAsDouble());  // NaN never equals
}

void Walk(const QV::Variant& list, int depth)
{
    QV::Variant item;
    for (uint32_t i = 0; list.GetArrayItem(i, item) == 0; ++i) {
        Touch(item);
        if (depth < 4 && item.GetType() == QV::Variant::kArray) Walk(item, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto length = static_cast<uint32_t>(size > 0x7FFFFFFF ? 0x7FFFFFFF : size);

    QV::Variant item;
    if (QV::VariantFromRecord(item, data, length) == QV::S_OK) {
        Touch(item);
        RoundTrip(item);
        Walk(item, 0);
    }

    QV::Variant list;
    list.SetData(QV::Variant::kArray, data, length);
    Walk(list, 0);
    return 0;
}
