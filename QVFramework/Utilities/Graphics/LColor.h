#pragma once
// A colour as four floats, each meant to lie in 0..1; packed form 0xAARRGGBB.
#include <cstdint>

namespace QV {

struct LColor {
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float alpha = 0.0f;

    constexpr LColor() = default;
    constexpr LColor(float r, float g, float b, float a) : red(r), green(g), blue(b), alpha(a) {}
    static LColor FromARGB(uint32_t packed);

    void SetARGB(uint32_t packed);
    // "0x"/"0X" prefix optional, then 2 digits (alpha), 6 (red, green, blue)
    // or 8 (all four); null or any other length leaves the colour as it was.
    void SetFromHexString(const char* text);
    // Each channel rounded half away from zero and clamped to 0..255.
    uint32_t GetARGB() const;

    constexpr bool operator==(const LColor&) const = default;
};

// 1/255 as the design spells it; byte x this is the channel.
inline constexpr float kByteToChannel = 0.003921569f;

}  // namespace QV
