#pragma once
// One parameter named by id (and a sub-descriptor, empty for a whole
// parameter), and a named parameter together with its value.
#include <cstdint>

#include "Variant.h"

namespace QV {

struct ParamDescriptor {
    static constexpr const char* kTypeName = "struct QV::ParamDescriptor";
    int32_t id = 0;
    Variant subDescriptor;
};

struct ParamValue {
    static constexpr const char* kTypeName = "struct QV::ParamValue";
    ParamDescriptor descriptor;
    Variant value;
};

}  // namespace QV
