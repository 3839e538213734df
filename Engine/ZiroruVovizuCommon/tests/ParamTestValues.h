#pragma once
// Short spellings of parameter values for the device-side tests.
#include <cstdint>
#include <vector>

#include "ParamDescriptor.h"
#include "Variant.h"

namespace ParamTest {

inline QV::Variant Blob(std::vector<uint8_t> bytes)
{
    QV::Variant v;
    v.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return v;
}

// A whole parameter: no sub-descriptor.
inline QV::ParamDescriptor Desc(int32_t id) { return QV::ParamDescriptor{id, QV::Variant()}; }

}  // namespace ParamTest
