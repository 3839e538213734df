#pragma once
// Reading and building the packed parameter lists: a type-16 Variant of
// records, each packed value being a list [value, id, sub-descriptor].
#include <cstdint>
#include <vector>

#include "ParamDescriptor.h"
#include "ParamValues.h"
#include "Variant.h"

namespace PackedList {

// Whole records at the front of a type-16 list, walked as the list reader
// walks them (stopping at a damaged length); 0 for any other value.
uint32_t CountRecords(const QV::Variant& list);

// Reads packed value `index` of a list. 0; -4 for a bad index or a value
// that is not a packed list; -7 for a record that is not a list of three.
[[nodiscard]] int32_t ReadValue(const QV::Variant& list, uint32_t index, QV::ParamValue& out);

// Packs one value as [value, id as a 32-bit integer, sub-descriptor].
QV::Variant PackValue(const QV::ParamValue& value);
// Packs a descriptor as [id as a 32-bit integer, sub-descriptor].
QV::Variant PackDescriptor(const QV::ParamDescriptor& descriptor);

// Packs the values, in order, as one list.
QV::ParamValues PackValues(const std::vector<QV::ParamValue>& values);

}  // namespace PackedList
