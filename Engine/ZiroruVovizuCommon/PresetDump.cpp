#include "PresetDump.h"

#include <cstring>

namespace QV {

namespace {

constexpr uint32_t SumOf(const uint32_t (&lengths)[kPresetParamCount])
{
    uint32_t sum = 0;
    for (uint32_t length : lengths) sum += length;
    return sum;
}
static_assert(SumOf(kPresetParamLengths) == kPresetDataSize);

// F0 and the six bytes after it that open every preset message.
constexpr uint8_t kPrefix[] = {0xF0, 0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15};
constexpr uint8_t kCommandDumpToKeyboard = 0x01;
constexpr uint8_t kCommandPresetRequest = 0x02;
constexpr uint8_t kCommandDumpFromKeyboard = 0x03;

void SetBody(IArray<signed char>& body, const uint8_t* bytes, uint32_t count)
{
    if (Failed(body.SetCount(count))) {
        (void)body.SetCount(0);
        return;
    }
    std::memcpy(body.GetData(), bytes, count);
}

// The byte blob of a value, or null when it holds something else.
const uint8_t* BlobOf(const ParamValue& value, uint32_t& size)
{
    size = 0;
    if (value.value.GetType() != Variant::kBlob) return nullptr;
    return value.value.GetData(size);
}

// Fifteen byte blobs, each of its parameter's length, so they fill the
// dump's parameter bytes exactly and each byte lands in its own parameter.
bool FillsDump(const IArray<ParamValue>& values)
{
    if (values.GetCount() != kPresetParamCount) return false;
    for (uint32_t i = 0; i < kPresetParamCount; ++i) {
        uint32_t size = 0;
        if (BlobOf(*values.GetItemPtr(i), size) == nullptr || size != kPresetParamLengths[i]) return false;
    }
    return true;
}

}  // namespace

void BuildPresetRequest(IArray<signed char>& body)
{
    const uint8_t bytes[] = {kPrefix[1], kPrefix[2], kPrefix[3], kPrefix[4], kPrefix[5], kPrefix[6],
                             kCommandPresetRequest};
    SetBody(body, bytes, sizeof bytes);
}

void BuildPresetDumpHeader(IArray<signed char>& body)
{
    const uint8_t bytes[] = {kPrefix[1], kPrefix[2], kPrefix[3], kPrefix[4], kPrefix[5], kPrefix[6],
                             kCommandDumpToKeyboard, 0x00, static_cast<uint8_t>(kPresetDataSize)};
    SetBody(body, bytes, sizeof bytes);
}

bool IsPresetDump(const uint8_t* bytes, uint32_t count)
{
    return bytes != nullptr && count == kPresetDumpSize && std::memcmp(bytes, kPrefix, sizeof kPrefix) == 0 &&
           bytes[sizeof kPrefix] == kCommandDumpFromKeyboard;
}

bool BuildPresetDumpBody(const IArray<ParamValue>& values, IArray<signed char>& body)
{
    (void)body.SetCount(0);  // shrinking cannot fail
    if (!FillsDump(values)) return false;
    BuildPresetDumpHeader(body);
    const uint32_t headerSize = body.GetCount();
    if (Failed(body.SetCount(headerSize + kPresetDataSize))) return false;
    auto* out = reinterpret_cast<uint8_t*>(body.GetData()) + headerSize;
    for (uint32_t i = 0; i < kPresetParamCount; ++i) {
        uint32_t size = 0;
        const uint8_t* blob = BlobOf(*values.GetItemPtr(i), size);
        for (uint32_t k = 0; k < size; ++k) {
            if (blob[k] >= 0x80) {
                (void)body.SetCount(0);
                return false;
            }
        }
        std::memcpy(out, blob, size);
        out += size;
    }
    return true;
}

bool ReadPresetDump(const uint8_t* dump, const IArray<ParamValue>& current, Array<ParamValue>& out)
{
    (void)out.SetCount(0);  // shrinking cannot fail
    if (dump == nullptr || !FillsDump(current)) return false;
    if (Failed(out.SetCount(kPresetParamCount))) return false;
    uint32_t position = kPresetDumpDataOffset;
    for (uint32_t i = 0; i < kPresetParamCount; ++i) {
        const ParamValue& now = *current.GetItemPtr(i);
        uint32_t size = 0;
        BlobOf(now, size);
        ParamValue& next = *out.GetItemPtr(i);
        next.descriptor = now.descriptor;
        next.value.SetBlob(dump + position, size);
        position += size;
    }
    return true;
}

}  // namespace QV
