#pragma once
// Reading a control's skin attributes.
#include <cstdint>

#include "LControl.h"

namespace QV {

// false when the attribute is absent or is no whole number.
bool ReadSkinInt(const LControl& control, const char16_t* name, int32_t& value);
// true when the value is "true" after trimming and lower-casing; false when absent.
bool ReadSkinBool(const LControl& control, const char16_t* name, bool& value);

}  // namespace QV
