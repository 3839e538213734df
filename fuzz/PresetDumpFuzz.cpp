// Preset dumps arrive from the keyboard over MIDI: checks random bytes as a
// received dump against random current values, and that a dump built from
// values reads back as those values.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "PresetDump.h"

namespace {

constexpr uint8_t kReceivedPrefix[] = {0xF0, 0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15, 0x03};

// Fifteen current values from the bytes after the dump: per value one byte
// that picks a blob of the right length (mostly), of another length, or no
// blob at all, then the blob's bytes.
QV::Array<QV::ParamValue> CurrentValues(const uint8_t* data, size_t size)
{
    QV::Array<QV::ParamValue> values;
    size_t at = 0;
    const auto next = [&] { return at < size ? data[at++] : uint8_t{0}; };
    const uint32_t count = next() < 0xF0 ? QV::kPresetParamCount : next() % 20;
    for (uint32_t i = 0; i < count; ++i) {
        QV::ParamValue value;
        value.descriptor.id = static_cast<int32_t>(i);
        const uint8_t kind = next();
        const uint32_t length = kind < 0xE0 ? QV::kPresetParamLengths[i % QV::kPresetParamCount] : kind % 16;
        if (kind == 0xFF) {
            value.value = QV::Variant(int32_t{7});
        } else {
            std::vector<uint8_t> blob(length);
            for (uint8_t& byte : blob) byte = next();
            value.value.SetBlob(blob.data(), length);
        }
        Check(values.AddItem(value) >= 0);
    }
    return values;
}

bool IsReference(const uint8_t* dump, uint32_t size)
{
    return size == QV::kPresetDumpSize && std::memcmp(dump, kReceivedPrefix, sizeof kReceivedPrefix) == 0;
}

void CheckRead(const uint8_t* dump, const QV::Array<QV::ParamValue>& current)
{
    QV::Array<QV::ParamValue> out;
    Check(out.SetCount(2) == 2);
    if (!QV::ReadPresetDump(dump, current, out)) {
        Check(out.GetCount() == 0);
        return;
    }
    Check(out.GetCount() == QV::kPresetParamCount && current.GetCount() == QV::kPresetParamCount);
    uint32_t position = QV::kPresetDumpDataOffset;
    for (uint32_t i = 0; i < QV::kPresetParamCount; ++i) {
        const QV::ParamValue& value = *out.GetItemPtr(i);
        uint32_t length = 0;
        const uint8_t* blob = value.value.GetData(length);
        Check(value.value.GetType() == QV::Variant::kBlob && length == QV::kPresetParamLengths[i]);
        Check(value.descriptor.id == current.GetItemPtr(i)->descriptor.id);
        Check(std::memcmp(blob, dump + position, length) == 0);
        position += length;
    }
    Check(position == QV::kPresetDumpSize - 1);
}

void CheckBuild(const QV::Array<QV::ParamValue>& current)
{
    QV::Array<signed char> body;
    Check(body.SetCount(5) == 5);
    if (!QV::BuildPresetDumpBody(current, body)) {
        Check(body.GetCount() == 0);
        return;
    }
    Check(body.GetCount() == 9 + QV::kPresetDataSize);
    const auto* bytes = reinterpret_cast<const uint8_t*>(body.GetData());
    for (uint32_t i = 0; i < body.GetCount(); ++i) Check(bytes[i] < 0x80);
    // The keyboard answers with the same bytes under command 03.
    std::vector<uint8_t> dump(kReceivedPrefix, kReceivedPrefix + sizeof kReceivedPrefix);
    dump.insert(dump.end(), bytes + 7, bytes + body.GetCount());
    dump.push_back(0xF7);
    Check(QV::IsPresetDump(dump.data(), static_cast<uint32_t>(dump.size())));
    QV::Array<QV::ParamValue> back;
    Check(QV::ReadPresetDump(dump.data(), current, back));
    for (uint32_t i = 0; i < QV::kPresetParamCount; ++i) {
        Check(back.GetItemPtr(i)->value == current.GetItemPtr(i)->value);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto dumpSize = static_cast<uint32_t>(size < QV::kPresetDumpSize ? size : QV::kPresetDumpSize);
    Check(QV::IsPresetDump(data, static_cast<uint32_t>(size)) == IsReference(data, static_cast<uint32_t>(size)));
    const QV::Array<QV::ParamValue> current = CurrentValues(data + dumpSize, size - dumpSize);
    if (dumpSize == QV::kPresetDumpSize) CheckRead(data, current);
    CheckBuild(current);
    return 0;
}
