#include "LColor.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace QV {
namespace {

float ChannelFromByte(uint32_t packed, int shift)
{
    return static_cast<float>((packed >> shift) & 0xFF) * kByteToChannel;
}

uint32_t ByteFromChannel(float c)
{
    const double n = std::round(static_cast<double>(c) * 255.0);
    if (!(n > 0.0)) return 0;  // NaN packs as 0
    return n > 255.0 ? 255u : static_cast<uint32_t>(n);
}

}  // namespace

LColor LColor::FromARGB(uint32_t packed)
{
    LColor c;
    c.SetARGB(packed);
    return c;
}

void LColor::SetARGB(uint32_t packed)
{
    alpha = ChannelFromByte(packed, 24);
    red = ChannelFromByte(packed, 16);
    green = ChannelFromByte(packed, 8);
    blue = ChannelFromByte(packed, 0);
}

void LColor::SetFromHexString(const char* text)
{
    if (text == nullptr) return;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text += 2;
    // Read into 32 bits: eight digits fill it exactly, whatever "long" is here.
    unsigned int value = 0;
    if (std::sscanf(text, "%8x", &value) != 1) value = 0;
    switch (std::strlen(text)) {
    case 2: alpha = ChannelFromByte(value, 0); break;
    case 6:
        red = ChannelFromByte(value, 16);
        green = ChannelFromByte(value, 8);
        blue = ChannelFromByte(value, 0);
        break;
    case 8: SetARGB(value); break;
    default: break;
    }
}

uint32_t LColor::GetARGB() const
{
    return (ByteFromChannel(alpha) << 24) | (ByteFromChannel(red) << 16) | (ByteFromChannel(green) << 8) |
           ByteFromChannel(blue);
}

}  // namespace QV
