// Images come from resources and from files a user may swap: feeds random
// bytes to the PNG decoder and, when it accepts them, walks every pixel
// access path so a bad size or stride shows as an out-of-bounds read.
#include <cstddef>
#include <cstdint>
#include <span>

#include "Image.h"

namespace {

void Check(bool condition)
{
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::unique_ptr<Platform::Gdip::Image> image = Platform::Gdip::Image::FromPngBytes(std::span(data, size));
    if (image == nullptr) return 0;
    const int32_t width = image->GetWidth();
    const int32_t height = image->GetHeight();
    Check(width > 0 && height > 0 && int64_t{width} * height <= Platform::Gdip::Image::kMaxPixels);

    volatile uint32_t sink = 0;
    uint32_t argb = 0;
    for (int32_t y = 0; y < height; y += 1 + height / 64) {
        for (int32_t x = 0; x < width; x += 1 + width / 64) {
            Check(image->GetPixel(x, y, argb));
            sink = sink + argb;
        }
    }
    Check(!image->GetPixel(width, 0, argb) && !image->GetPixel(0, height, argb));

    Platform::Gdip::LockedBits bits;
    if (image->LockBits(width / 2, height / 2, width, height, Platform::Gdip::kLockReadWrite, bits)) {
        for (int32_t y = 0; y < bits.height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(bits.scan0 + static_cast<ptrdiff_t>(y) * bits.stride);
            row[bits.width - 1] ^= 0x00FFFFFF;
        }
        image->UnlockBits(bits);
    }
    if (const auto clone = image->CloneArea(-1, -1, width, height)) sink = sink + clone->GetWidth();
    if (int64_t{width} * height <= 1 << 20) Check(image->GetSurface() != nullptr);
    return 0;
}
