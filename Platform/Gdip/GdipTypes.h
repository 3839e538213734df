#pragma once
// Plain values of the 2D layer: packed straight colours, float geometry and
// the drawing modes of a graphics object.
#include <cstdint>

namespace Platform::Gdip {

// 0xAARRGGBB, straight (not premultiplied) alpha.
using Argb = uint32_t;

struct PointF {
    float x = 0;
    float y = 0;
};

struct RectF {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
};

struct RectI {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const RectI&) const = default;
};

enum class SmoothingMode { HighSpeed, AntiAlias };
enum class InterpolationMode { NearestNeighbor, Bilinear, HighQuality };
enum class CompositingMode { SourceOver, SourceCopy };
// HighSpeed puts pixel centres on whole coordinates, so a one-pixel line at
// y = 2 covers row 2 alone.
enum class PixelOffsetMode { HighSpeed, Half };

// Font style bits as the framework passes them.
enum FontStyle : int32_t {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};

// A straight colour made premultiplied, as image surfaces store it.
constexpr uint32_t Premultiply(Argb c)
{
    const uint32_t a = c >> 24;
    auto mul = [a](uint32_t v) { return (v * a + 127) / 255; };
    return (a << 24) | (mul((c >> 16) & 0xFF) << 16) | (mul((c >> 8) & 0xFF) << 8) | mul(c & 0xFF);
}

// A premultiplied pixel made straight again.
constexpr Argb Unpremultiply(uint32_t p)
{
    const uint32_t a = p >> 24;
    if (a == 0) return 0;
    auto div = [a](uint32_t v) { return (v * 255 + a / 2) / a; };
    return (a << 24) | (div((p >> 16) & 0xFF) << 16) | (div((p >> 8) & 0xFF) << 8) | div(p & 0xFF);
}

}  // namespace Platform::Gdip
