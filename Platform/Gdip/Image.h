#pragma once
// A 32-bit image held as straight (not premultiplied) BGRA, so pixel reads
// are exact; cairo draws from a premultiplied copy made on demand and made
// again after a write. Pixels as 32-bit values are 0xAARRGGBB.
// One thread at a time (the UI thread).
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace Platform::Gdip {

enum LockMode : uint32_t {
    kLockRead = 1,
    kLockWrite = 2,
    kLockReadWrite = 3,
};

// The locked part of an image: rows of `width` pixels, `stride` bytes apart.
struct LockedBits {
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;
    uint8_t* scan0 = nullptr;
    uint32_t mode = 0;
};

class Image {
public:
    // Larger images are refused: 16 megapixels is far beyond any skin image.
    static constexpr int64_t kMaxPixels = int64_t{1} << 24;

    // Transparent black; null when a side is not positive or too large.
    static std::unique_ptr<Image> Create(int32_t width, int32_t height, uint32_t argb = 0);
    // Null when the bytes or the file are not a readable PNG.
    static std::unique_ptr<Image> FromPngBytes(std::span<const unsigned char> bytes);
    static std::unique_ptr<Image> FromPngFile(const std::string& utf8Path);

    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }

    // A copy of the area clipped to the image; null when nothing is left.
    std::unique_ptr<Image> CloneArea(int32_t x, int32_t y, int32_t width, int32_t height) const;
    // The area clipped to the image; false when nothing is left or the image
    // is already locked. A write lock makes the drawing copy stale.
    bool LockBits(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t mode, LockedBits& out);
    void UnlockBits(const LockedBits& bits);
    bool IsLocked() const { return mLocked; }
    // False outside the image.
    bool GetPixel(int32_t x, int32_t y, uint32_t& argb) const;

    // The premultiplied drawing copy; owned by the image.
    cairo_surface_t* GetSurface();

private:
    Image(int32_t width, int32_t height, std::vector<uint32_t> pixels);
    void RebuildSurface();

    int32_t mWidth;
    int32_t mHeight;
    std::vector<uint32_t> mPixels;
    bool mLocked = false;
    bool mSurfaceStale = true;
    cairo_surface_t* mSurface = nullptr;

    friend class PngReader;
};

}  // namespace Platform::Gdip
