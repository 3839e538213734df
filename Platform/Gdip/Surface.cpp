#include "Surface.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

namespace Platform::Gdip {

Surface::Surface(int32_t width, int32_t height) : mWidth(std::max(width, 1)), mHeight(std::max(height, 1))
{
    mSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, mWidth, mHeight);
    if (cairo_surface_status(mSurface) != CAIRO_STATUS_SUCCESS) return;
    mData = cairo_image_surface_get_data(mSurface);
    mStride = cairo_image_surface_get_stride(mSurface);
}

Surface::~Surface()
{
    cairo_surface_destroy(mSurface);
}

Argb Surface::GetPixel(int32_t x, int32_t y) const
{
    if (!mData || x < 0 || y < 0 || x >= mWidth || y >= mHeight) return 0;
    Flush();
    uint32_t p;
    std::memcpy(&p, mData + static_cast<size_t>(y) * mStride + static_cast<size_t>(x) * 4, 4);
    return Unpremultiply(p);
}

void Surface::FillNoBlend(const RectI& area, Argb colour)
{
    if (!mData) return;
    // 64-bit edges: an area near the 32-bit limits must not wrap round.
    const int64_t left = std::max<int64_t>(area.x, 0);
    const int64_t top = std::max<int64_t>(area.y, 0);
    const int64_t right = std::min<int64_t>(int64_t{area.x} + area.width, mWidth);
    const int64_t bottom = std::min<int64_t>(int64_t{area.y} + area.height, mHeight);
    if (left >= right || top >= bottom) return;
    Flush();
    const uint32_t pixel = Premultiply(colour);
    for (int64_t y = top; y < bottom; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(mData + y * mStride);
        std::fill(row + left, row + right, pixel);
    }
    MarkDirty();
}

void Surface::MarkDirty()
{
    cairo_surface_mark_dirty(mSurface);
}

void Surface::Flush() const
{
    cairo_surface_flush(mSurface);
}

}  // namespace Platform::Gdip
