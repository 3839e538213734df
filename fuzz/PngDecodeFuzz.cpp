// Images come from resources and from files a user may swap: feeds random
// bytes to the PNG decoder and, when it accepts them, walks every pixel
// access path so a bad size or stride shows as an out-of-bounds read.
// Inputs that do not start like a PNG are first made into one (size, pixel
// format and pixels from the bytes), so valid images of every layout reach
// the decoder even without a seed corpus.
#include <png.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "Image.h"

namespace {

void Check(bool condition)
{
    if (!condition) __builtin_trap();
}

void Exercise(Platform::Gdip::Image& image)
{
    const int32_t width = image.GetWidth();
    const int32_t height = image.GetHeight();
    Check(width > 0 && height > 0 && int64_t{width} * height <= Platform::Gdip::Image::kMaxPixels);

    volatile uint32_t sink = 0;
    uint32_t argb = 0;
    for (int32_t y = 0; y < height; y += 1 + height / 64) {
        for (int32_t x = 0; x < width; x += 1 + width / 64) {
            Check(image.GetPixel(x, y, argb));
            sink = sink + argb;
        }
    }
    Check(!image.GetPixel(width, 0, argb) && !image.GetPixel(0, height, argb) && !image.GetPixel(-1, 0, argb));

    Platform::Gdip::LockedBits bits;
    if (image.LockBits(width / 2, height / 2, width, height, Platform::Gdip::kLockReadWrite, bits)) {
        for (int32_t y = 0; y < bits.height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(bits.scan0 + static_cast<ptrdiff_t>(y) * bits.stride);
            row[bits.width - 1] ^= 0x00FFFFFF;
        }
        image.UnlockBits(bits);
    }
    if (const auto clone = image.CloneArea(-1, -1, width, height)) sink = sink + clone->GetWidth();
    if (int64_t{width} * height <= 1 << 20) Check(image.GetSurface() != nullptr);
}

constexpr png_uint_32 kFormats[] = {
    PNG_FORMAT_GRAY,
    PNG_FORMAT_GA,
    PNG_FORMAT_RGB,
    PNG_FORMAT_RGBA,
    PNG_FORMAT_BGRA,
    PNG_FORMAT_LINEAR_Y,
    PNG_FORMAT_LINEAR_RGB_ALPHA,
};

// Bytes 0 and 1 give the size, byte 2 the layout, the rest the pixels.
std::vector<unsigned char> MakePng(const uint8_t* data, size_t size, std::vector<unsigned char>& pixels,
                                   png_uint_32& format)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = 1 + data[0] % 64;
    image.height = 1 + data[1] % 64;
    format = kFormats[data[2] % std::size(kFormats)];
    image.format = format;
    pixels.assign(PNG_IMAGE_SIZE(image), 0);
    for (size_t i = 3; i < size && i - 3 < pixels.size(); ++i) pixels[i - 3] = data[i];
    png_alloc_size_t length = 0;
    if (png_image_write_get_memory_size(image, length, 0, pixels.data(), 0, nullptr) == 0) return {};
    std::vector<unsigned char> png(length);
    if (png_image_write_to_memory(&image, png.data(), &length, 0, pixels.data(), 0, nullptr) == 0) return {};
    png.resize(length);
    return png;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 8 && std::memcmp(data, kSignature, 8) == 0) {
        if (auto image = Platform::Gdip::Image::FromPngBytes(std::span(data, size))) Exercise(*image);
        return 0;
    }
    if (size < 3) return 0;
    std::vector<unsigned char> pixels;
    png_uint_32 format = 0;
    const std::vector<unsigned char> png = MakePng(data, size, pixels, format);
    if (png.empty()) return 0;
    auto image = Platform::Gdip::Image::FromPngBytes(png);
    Check(image != nullptr);
    Check(image->GetWidth() == 1 + data[0] % 64 && image->GetHeight() == 1 + data[1] % 64);
    if (format == PNG_FORMAT_BGRA) {
        // Straight 8-bit BGRA comes back exactly as it went in.
        uint32_t argb = 0;
        Check(image->GetPixel(0, 0, argb));
        uint32_t first = 0;
        std::memcpy(&first, pixels.data(), 4);
        Check(argb == first);
    } else if ((format & PNG_FORMAT_FLAG_ALPHA) == 0) {
        uint32_t argb = 0;
        Check(image->GetPixel(image->GetWidth() - 1, image->GetHeight() - 1, argb) && (argb >> 24) == 0xFF);
    }
    Exercise(*image);
    return 0;
}
