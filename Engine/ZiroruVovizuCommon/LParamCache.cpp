#include "LParamCache.h"

#include "PackedList.h"

namespace {

// Sub-descriptor entries are ordered by the id as an unsigned number, then
// by the sub-descriptor.
bool EntryLess(const QV::ParamValue& a, const QV::ParamDescriptor& b)
{
    const auto idA = static_cast<uint32_t>(a.descriptor.id);
    const auto idB = static_cast<uint32_t>(b.id);
    if (idA != idB) return idA < idB;
    return a.descriptor.subDescriptor.IsLess(b.subDescriptor);
}

bool SameEntry(const QV::ParamValue& entry, const QV::ParamDescriptor& descriptor)
{
    return entry.descriptor.id == descriptor.id && entry.descriptor.subDescriptor == descriptor.subDescriptor;
}

// Reads every entry of a slot's list; false when the slot holds something else.
bool ReadEntries(const QV::Variant& slot, std::vector<QV::ParamValue>& entries)
{
    entries.clear();
    if (slot.IsEmpty()) return true;
    if (slot.GetType() != QV::Variant::kArray) return false;
    const uint32_t count = PackedList::CountRecords(slot);
    entries.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        if (PackedList::ReadValue(slot, i, entries[i]) != 0) return false;
    }
    return true;
}

}  // namespace

LParamCache::LParamCache(uint32_t slotCount) : mSlots(slotCount) {}

int32_t LParamCache::SetValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value, bool notify)
{
    const auto index = static_cast<uint32_t>(descriptor.id);
    if (descriptor.id < 0 || index >= mSlots.size()) return -1;
    if (!descriptor.subDescriptor.IsEmpty()) return SetSubValue(index, descriptor, value, notify);
    if (mSlots[index] == value) return 1;
    mSlots[index] = value;
    if (notify) (void)OnValueChanged(index, value);  // the listener's answer does not undo the store
    return 0;
}

int32_t LParamCache::SetSubValue(uint32_t index, const QV::ParamDescriptor& descriptor, const QV::Variant& value,
                                 bool notify)
{
    std::vector<QV::ParamValue> entries;
    if (!ReadEntries(mSlots[index], entries)) return -1;
    auto it = entries.begin();
    while (it != entries.end() && EntryLess(*it, descriptor)) ++it;
    if (it != entries.end() && SameEntry(*it, descriptor)) {
        if (it->value == value) return 1;
        it->value = value;
    } else {
        entries.insert(it, QV::ParamValue{descriptor, value});
    }
    mSlots[index] = PackedList::PackValues(entries);
    if (notify) (void)OnValueChanged(index, mSlots[index]);  // as above
    return 0;
}

int32_t LParamCache::GetValue(const QV::ParamDescriptor& descriptor, QV::Variant& value) const
{
    value.Clear();
    const auto index = static_cast<uint32_t>(descriptor.id);
    if (descriptor.id < 0 || index >= mSlots.size()) return -1;
    if (descriptor.subDescriptor.IsEmpty()) {
        value = mSlots[index];
        return 0;
    }
    std::vector<QV::ParamValue> entries;
    if (!ReadEntries(mSlots[index], entries)) return 1;
    for (const QV::ParamValue& entry : entries) {
        if (SameEntry(entry, descriptor)) {
            value = entry.value;
            return 0;
        }
    }
    return 1;
}

int32_t LParamCache::OnValueChanged(uint32_t, const QV::Variant&)
{
    return QV::E_NOTIMPL;
}
