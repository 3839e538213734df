#include "Image.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Platform::Gdip {
namespace {

struct Clipped {
    int32_t x, y, width, height;
};

bool Clip(int32_t x, int32_t y, int32_t width, int32_t height, int32_t imageWidth, int32_t imageHeight, Clipped& out)
{
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + width, imageWidth);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + height, imageHeight);
    if (left >= right || top >= bottom) return false;
    out = {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - left),
           static_cast<int32_t>(bottom - top)};
    return true;
}

uint32_t Premultiply(uint32_t argb)
{
    const uint32_t a = argb >> 24;
    if (a == 255) return argb;
    if (a == 0) return 0;
    auto channel = [a](uint32_t v) { return (v * a + 127) / 255; };
    return (a << 24) | (channel((argb >> 16) & 0xFF) << 16) | (channel((argb >> 8) & 0xFF) << 8) | channel(argb & 0xFF);
}

}  // namespace

Image::Image(int32_t width, int32_t height, std::vector<uint32_t> pixels)
    : mWidth(width), mHeight(height), mPixels(std::move(pixels))
{}

Image::~Image()
{
    if (mSurface != nullptr) cairo_surface_destroy(mSurface);
}

std::unique_ptr<Image> Image::Create(int32_t width, int32_t height, uint32_t argb)
{
    if (width <= 0 || height <= 0 || int64_t{width} * height > kMaxPixels) return nullptr;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), argb);
    return std::unique_ptr<Image>(new Image(width, height, std::move(pixels)));
}

std::unique_ptr<Image> Image::CloneArea(int32_t x, int32_t y, int32_t width, int32_t height) const
{
    Clipped c;
    if (!Clip(x, y, width, height, mWidth, mHeight, c)) return nullptr;
    std::unique_ptr<Image> copy = Create(c.width, c.height);
    for (int32_t row = 0; row < c.height; ++row) {
        const uint32_t* from = &mPixels[static_cast<size_t>(c.y + row) * static_cast<size_t>(mWidth) + c.x];
        std::memcpy(&copy->mPixels[static_cast<size_t>(row) * static_cast<size_t>(c.width)], from,
                    static_cast<size_t>(c.width) * sizeof(uint32_t));
    }
    return copy;
}

bool Image::LockBits(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t mode, LockedBits& out)
{
    Clipped c;
    if (mLocked || (mode & kLockReadWrite) == 0 || !Clip(x, y, width, height, mWidth, mHeight, c)) return false;
    mLocked = true;
    out.width = c.width;
    out.height = c.height;
    out.stride = mWidth * 4;
    out.scan0 = reinterpret_cast<uint8_t*>(&mPixels[static_cast<size_t>(c.y) * static_cast<size_t>(mWidth) + c.x]);
    out.mode = mode;
    return true;
}

void Image::UnlockBits(const LockedBits& bits)
{
    if (!mLocked) return;
    mLocked = false;
    if ((bits.mode & kLockWrite) != 0) mSurfaceStale = true;
}

bool Image::GetPixel(int32_t x, int32_t y, uint32_t& argb) const
{
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return false;
    argb = mPixels[static_cast<size_t>(y) * static_cast<size_t>(mWidth) + static_cast<size_t>(x)];
    return true;
}

cairo_surface_t* Image::GetSurface()
{
    if (mSurface == nullptr || mSurfaceStale) RebuildSurface();
    return mSurface;
}

void Image::RebuildSurface()
{
    if (mSurface == nullptr) mSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, mWidth, mHeight);
    if (cairo_surface_status(mSurface) != CAIRO_STATUS_SUCCESS) return;
    cairo_surface_flush(mSurface);
    unsigned char* data = cairo_image_surface_get_data(mSurface);
    const int stride = cairo_image_surface_get_stride(mSurface);
    for (int32_t y = 0; y < mHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        const uint32_t* from = &mPixels[static_cast<size_t>(y) * static_cast<size_t>(mWidth)];
        for (int32_t x = 0; x < mWidth; ++x) row[x] = Premultiply(from[x]);
    }
    cairo_surface_mark_dirty(mSurface);
    mSurfaceStale = false;
}

}  // namespace Platform::Gdip
