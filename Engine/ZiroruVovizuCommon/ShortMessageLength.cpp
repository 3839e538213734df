#include "ShortMessageLength.h"

namespace QV {

uint32_t GetShortMessageLength(uint8_t status)
{
    if (status < 0x80 || status == 0xF0 || status == 0xF7) return 0;
    if (status < 0xC0 || (status >= 0xE0 && status < 0xF0)) return 3;
    if (status < 0xE0) return 2;
    switch (status) {
    case 0xF2:
        return 3;
    case 0xF1:
    case 0xF3:
    case 0xF4:
    case 0xF5:
        return 2;
    default:
        return 1;
    }
}

uint32_t GetCapturedMessageLength(uint8_t status)
{
    if (status >= 0x80 && (status < 0xC0 || (status >= 0xE0 && status < 0xF0))) return 3;
    if (status >= 0xC0 && status < 0xE0) return 2;
    if (status == 0xF2) return 3;
    if (status == 0xF1 || status == 0xF3) return 2;
    return 1;
}

}  // namespace QV
