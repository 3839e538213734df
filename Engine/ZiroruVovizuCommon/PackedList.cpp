#include "PackedList.h"

namespace PackedList {

uint32_t CountRecords(const QV::Variant& list)
{
    if (list.GetType() != QV::Variant::kArray) return 0;
    uint32_t size = 0;
    const uint8_t* data = list.GetData(size);
    return QV::Variant::WalkRecords(data, size);
}

int32_t ReadValue(const QV::Variant& list, uint32_t index, QV::ParamValue& out)
{
    out = QV::ParamValue{};
    out.descriptor.id = -1;
    QV::Variant record;
    if (list.GetType() != QV::Variant::kArray || list.GetArrayItem(index, record) != 0) return -4;
    QV::Variant id;
    if (record.GetType() != QV::Variant::kArray || CountRecords(record) != 3 ||
        record.GetArrayItem(0, out.value) != 0 || record.GetArrayItem(1, id) != 0 ||
        record.GetArrayItem(2, out.descriptor.subDescriptor) != 0) {
        out = QV::ParamValue{};
        out.descriptor.id = -1;
        return -7;
    }
    out.descriptor.id = id.GetAsInt32();
    return 0;
}

QV::Variant PackValue(const QV::ParamValue& value)
{
    const QV::Variant items[3] = {value.value, QV::Variant(value.descriptor.id), value.descriptor.subDescriptor};
    QV::Variant packed;
    packed.SetArray(items, 3);
    return packed;
}

QV::Variant PackDescriptor(const QV::ParamDescriptor& descriptor)
{
    const QV::Variant items[2] = {QV::Variant(descriptor.id), descriptor.subDescriptor};
    QV::Variant packed;
    packed.SetArray(items, 2);
    return packed;
}

QV::ParamValues PackValues(const std::vector<QV::ParamValue>& values)
{
    std::vector<QV::Variant> packed;
    packed.reserve(values.size());
    for (const QV::ParamValue& v : values) packed.push_back(PackValue(v));
    QV::ParamValues list;
    list.SetArray(packed.data(), static_cast<uint32_t>(packed.size()));
    return list;
}

}  // namespace PackedList
