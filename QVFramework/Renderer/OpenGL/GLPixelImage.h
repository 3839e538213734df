#pragma once
// A described block of pixels and the conversions texture upload needs:
// grey to alpha, rescaling through GLU, upload into the bound texture.
// Owns its block or wraps someone else's; moved, never shared.
#include <GL/gl.h>

#include <cstdint>
#include <memory>

namespace QV {

class GLPixelImage {
public:
    GLPixelImage() = default;
    GLPixelImage(const GLPixelImage&) = delete;
    GLPixelImage& operator=(const GLPixelImage&) = delete;
    ~GLPixelImage() { Free(); }

    // Forgets everything without freeing.
    void Clear();
    // Frees an owned block, then forgets everything; answers the data
    // pointer it had (no longer valid when the block was owned).
    uint8_t* Free();
    // Takes all of other; other is left cleared.
    void TakeFrom(GLPixelImage& other);
    // Describes pixels that stay the caller's.
    void Wrap(uint8_t* data, int32_t stride, int32_t bytesPerPixel, int32_t width, int32_t height, GLenum format,
              GLenum type);

    // This image becomes the alpha of a 4-byte BGRA source: 0 for an
    // all-zero pixel, else 255 minus its weighted grey (black is opaque).
    void MakeAlphaFromGrey(int32_t width, int32_t height, const GLPixelImage& source);
    void ConvertToAlpha();
    // Rescales to width x height (GL must be current).
    void Rescale(int32_t width, int32_t height);
    void ScaleFrom(int32_t width, int32_t height, const GLPixelImage& source);
    // Fills level 0 of the bound texture (or builds mipmaps from the image).
    void Upload(GLenum target, GLint internalFormat, bool mipmaps) const;

    GLenum GetFormat() const { return mFormat; }
    GLenum GetType() const { return mType; }
    bool OwnsData() const { return mOwned != nullptr; }
    const uint8_t* GetData() const { return mData; }
    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }
    int32_t GetStride() const { return mStride; }
    int32_t GetBytesPerPixel() const { return mBytesPerPixel; }

private:
    GLenum mFormat = 0;
    GLenum mType = 0;
    std::unique_ptr<uint8_t[]> mOwned;
    uint8_t* mData = nullptr;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mStride = 0;
    int32_t mBytesPerPixel = 0;

    void Allocate(int32_t width, int32_t height, int32_t stride, int32_t bytesPerPixel, GLenum format, GLenum type);
    void SetUnpackState() const;
};

}  // namespace QV
