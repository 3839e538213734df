#pragma once
// The remote-device list as the device-control library reports it: a type-16
// list whose records are device identifiers, never interpreted here.
#include <cstdint>

#include "Array.h"
#include "Variant.h"

namespace RemoteDeviceList {

// The identifiers of a library result: one per record of a type-16 list
// longer than 4 bytes, counted by the records' length words; any other
// result is an empty list.
void Read(const QV::Variant& result, QV::Array<QV::Variant>& devices);

// Whether two lists hold the same identifiers in the same order, each of the
// same type with the same bytes. Unlike Variant's ==, a list always equals
// itself, also when an identifier is a NaN.
bool IsSame(const QV::Array<QV::Variant>& a, const QV::Array<QV::Variant>& b);

}  // namespace RemoteDeviceList
