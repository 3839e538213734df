#include "GlyphBitmap.h"

#include <cstdlib>

namespace QV {

RCPtr<LPixelBuffer<uint8_t>> MakeCoverageBuffer(const FT_Bitmap& bitmap)
{
    const auto width = static_cast<int32_t>(bitmap.width), rows = static_cast<int32_t>(bitmap.rows);
    const int32_t pitch = std::abs(bitmap.pitch);
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
        return LPixelBuffer<uint8_t>::Create(width, rows, pitch ? pitch : width, bitmap.buffer);
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return nullptr;
    RCPtr<LPixelBuffer<uint8_t>> buffer =
        LPixelBuffer<uint8_t>::Create(width, rows, pitch * 8 > width ? pitch * 8 : width);
    if (!buffer) return nullptr;
    for (int32_t y = 0; y < rows; ++y) {
        const uint8_t* in = bitmap.buffer + static_cast<ptrdiff_t>(y) * pitch;
        uint8_t* out = buffer->GetPixelAddress(0, y);
        for (int32_t x = 0; x < width; ++x) out[x] = (in[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
    }
    return buffer;
}

}  // namespace QV
