#pragma once
// A 16-byte interface or device-class identifier, laid out as Windows does.
#include <cstdint>

namespace QV {

struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
};
static_assert(sizeof(Guid) == 16);

}  // namespace QV
