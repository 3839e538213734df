#pragma once
// An off-screen image that graphics draw on: premultiplied 32-bit ARGB,
// never smaller than 1 x 1. The pixels are reached through Pixel/SetPixel in
// straight colour, or raw for copying.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "GdipTypes.h"

typedef struct _cairo_surface cairo_surface_t;

namespace Platform::Gdip {

class Surface {
public:
    Surface(int32_t width, int32_t height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }
    // False when the image could not be made (too large); drawing on it
    // then has no effect.
    bool IsValid() const { return mData != nullptr; }

    // Whether every pixel has full alpha.
    bool IsOpaque() const;
    // Straight colour of one pixel; transparent black outside the image.
    Argb GetPixel(int32_t x, int32_t y) const;
    // Replaces the pixels of area (clipped to the image) without blending.
    void FillNoBlend(const RectI& area, Argb colour);
    void Clear() { FillNoBlend({0, 0, mWidth, mHeight}, 0); }
    // Makes each area (clipped to the image) transparent: for many small
    // areas, where telling cairo about each would cost more than the filling.
    void Clear(std::span<const RectI> areas);

    // Raw premultiplied rows, for copying to a window.
    const uint8_t* GetData() const { return mData; }
    int32_t GetStride() const { return mStride; }

    // The image as a PNG file (straight alpha); false when it cannot be written.
    bool WritePng(const std::string& utf8Path) const;
    // A PNG file as a surface; null when it cannot be read.
    static std::unique_ptr<Surface> ReadPng(const std::string& utf8Path);

    cairo_surface_t* GetCairoSurface() const { return mSurface; }
    // Makes cairo see pixels written through FillNoBlend/raw access.
    void MarkDirty();
    // Finishes cairo's pending drawing so the raw pixels are current.
    void Flush() const;

private:
    // The part of area inside the image, as 64-bit edges so an area near the
    // 32-bit limits cannot wrap round; empty when they do not meet.
    struct Edges {
        int64_t left, top, right, bottom;
        bool IsEmpty() const { return left >= right || top >= bottom; }
    };
    Edges Clip(const RectI& area) const;
    // Sets the pixels of area inside the image, telling cairo nothing.
    void Fill(const RectI& area, uint32_t pixel);

    // cairo's own limit on an image's sides.
    static constexpr int32_t kMaxSide = 32767;

    cairo_surface_t* mSurface = nullptr;
    uint8_t* mData = nullptr;
    uint8_t* mMapped = nullptr;  // the pixels, when mapped here rather than by cairo
    size_t mMappedBytes = 0;
    int32_t mWidth;
    int32_t mHeight;
    int32_t mStride = 0;
};

}  // namespace Platform::Gdip
