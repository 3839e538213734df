#include "Surface.h"

#include <cairo.h>
#include <pixman.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstring>

namespace Platform::Gdip {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// From this size on the pixels get pages of their own, huge where the
// system allows: drawing all over a window-sized image otherwise misses the
// address cache on nearly every row.
constexpr size_t kOwnPagesFrom = size_t{4} << 20;

}  // namespace

Surface::Surface(int32_t width, int32_t height) : mWidth(std::max(width, 1)), mHeight(std::max(height, 1))
{
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, mWidth);
    const size_t bytes = stride > 0 ? static_cast<size_t>(stride) * static_cast<size_t>(mHeight) : 0;
    if (bytes >= kOwnPagesFrom && mWidth <= kMaxSide && mHeight <= kMaxSide) {
        mMappedBytes = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* pages = mmap(nullptr, mMappedBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (pages != MAP_FAILED) {
            (void)madvise(pages, mMappedBytes, MADV_HUGEPAGE);  // a hint: ordinary pages work too
            mMapped = static_cast<uint8_t*>(pages);
            mSurface = cairo_image_surface_create_for_data(mMapped, CAIRO_FORMAT_ARGB32, mWidth, mHeight, stride);
        }
    }
    if (!mSurface) mSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, mWidth, mHeight);
    if (cairo_surface_status(mSurface) != CAIRO_STATUS_SUCCESS) return;
    mData = cairo_image_surface_get_data(mSurface);
    mStride = cairo_image_surface_get_stride(mSurface);
}

Surface::~Surface()
{
    cairo_surface_destroy(mSurface);
    if (mMapped) munmap(mMapped, mMappedBytes);
}

bool Surface::IsOpaque() const
{
    if (!mData) return false;
    Flush();
    for (int32_t y = 0; y < mHeight; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(mData + static_cast<size_t>(y) * mStride);
        if (!std::all_of(row, row + mWidth, [](uint32_t p) { return p >> 24 == 0xFF; })) return false;
    }
    return true;
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
    if (Clip(area).IsEmpty()) return;
    Flush();
    Fill(area, Premultiply(colour));
    MarkDirty();
}

void Surface::Clear(std::span<const RectI> areas)
{
    if (!mData || areas.empty()) return;
    Flush();
    for (const RectI& area : areas) Fill(area, 0);
    MarkDirty();
}

Surface::Edges Surface::Clip(const RectI& area) const
{
    return {std::max<int64_t>(area.x, 0), std::max<int64_t>(area.y, 0),
            std::min<int64_t>(int64_t{area.x} + area.width, mWidth),
            std::min<int64_t>(int64_t{area.y} + area.height, mHeight)};
}

void Surface::Fill(const RectI& area, uint32_t pixel)
{
    const auto [left, top, right, bottom] = Clip(area);
    if (left >= right || top >= bottom) return;
    // Colour through pixman, as cairo fills; emptying (most of the filling)
    // through memset's wide stores.
    if (pixel != 0 && pixman_fill(reinterpret_cast<uint32_t*>(mData), mStride / 4, 32, int(left), int(top),
                                  int(right - left), int(bottom - top), pixel))
        return;
    for (int64_t y = top; y < bottom; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(mData + y * mStride);
        if (pixel == 0)
            std::memset(row + left, 0, static_cast<size_t>(right - left) * sizeof(uint32_t));
        else
            std::fill(row + left, row + right, pixel);
    }
}

bool Surface::WritePng(const std::string& utf8Path) const
{
    Flush();
    return IsValid() && cairo_surface_write_to_png(mSurface, utf8Path.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::unique_ptr<Surface> Surface::ReadPng(const std::string& utf8Path)
{
    cairo_surface_t* png = cairo_image_surface_create_from_png(utf8Path.c_str());
    std::unique_ptr<Surface> out;
    if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
        out = std::make_unique<Surface>(cairo_image_surface_get_width(png), cairo_image_surface_get_height(png));
        cairo_t* cr = cairo_create(out->mSurface);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr, png, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    cairo_surface_destroy(png);
    return out;
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
