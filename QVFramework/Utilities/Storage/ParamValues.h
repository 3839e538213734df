#pragma once
// Packed parameter lists: type-16 Variants whose records are packed
// descriptors, values or ranges. They add no fields, so they cross the
// device library's interface exactly like a Variant.
#include "Variant.h"

namespace QV {

class ParamValues : public Variant {
public:
    using Variant::Variant;
    static constexpr const char* kTypeName = "class QV::ParamValues";
};

class ParamDescriptors : public Variant {
public:
    using Variant::Variant;
    static constexpr const char* kTypeName = "class QV::ParamDescriptors";
};

class ParamRanges : public Variant {
public:
    using Variant::Variant;
    static constexpr const char* kTypeName = "class QV::ParamRanges";
};

static_assert(sizeof(ParamValues) == sizeof(Variant));
static_assert(sizeof(ParamDescriptors) == sizeof(Variant));
static_assert(sizeof(ParamRanges) == sizeof(Variant));

}  // namespace QV
