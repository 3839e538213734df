#include "GLPixelImage.h"

#include <GL/glu.h>

#include <algorithm>
#include <cstring>

#include "GLErrors.h"

namespace QV {
namespace {

int32_t RoundUpTo4(int32_t n)
{
    return (n + 3) & ~3;
}

// The smallest power of two above remainder; 1 for whole pixels.
GLint UnpackAlignment(int32_t stride, int32_t bytesPerPixel)
{
    const int32_t remainder = bytesPerPixel > 0 ? stride % bytesPerPixel : 0;
    GLint alignment = 1;
    while (alignment <= remainder) alignment *= 2;
    return alignment;
}

uint8_t AlphaOfGrey(uint32_t word)
{
    if (word == 0) return 0;
    const double blue = word & 0xFF, green = (word >> 8) & 0xFF, red = (word >> 16) & 0xFF;
    const auto grey = static_cast<uint32_t>(0.59 * green + 0.30 * red + 0.11 * blue);
    return static_cast<uint8_t>(~grey);
}

}  // namespace

void GLPixelImage::Clear()
{
    (void)mOwned.release();  // the block belongs to whoever took it
    Free();
}

uint8_t* GLPixelImage::Free()
{
    uint8_t* const old = mData;
    mOwned.reset();
    mData = nullptr;
    mFormat = mType = 0;
    mWidth = mHeight = mStride = mBytesPerPixel = 0;
    return old;
}

void GLPixelImage::TakeFrom(GLPixelImage& other)
{
    if (this == &other) return;
    Free();
    mFormat = other.mFormat;
    mType = other.mType;
    mOwned = std::move(other.mOwned);
    mData = other.mData;
    mWidth = other.mWidth;
    mHeight = other.mHeight;
    mStride = other.mStride;
    mBytesPerPixel = other.mBytesPerPixel;
    other.Clear();
}

void GLPixelImage::Wrap(uint8_t* data, int32_t stride, int32_t bytesPerPixel, int32_t width, int32_t height,
                        GLenum format, GLenum type)
{
    Free();
    mData = data;
    mStride = stride;
    mBytesPerPixel = bytesPerPixel;
    mWidth = width;
    mHeight = height;
    mFormat = format;
    mType = type;
}

void GLPixelImage::Allocate(int32_t width, int32_t height, int32_t stride, int32_t bytesPerPixel, GLenum format,
                            GLenum type)
{
    Free();
    const size_t size = static_cast<size_t>(std::max(stride, 0)) * static_cast<size_t>(std::max(height, 0));
    mOwned = std::make_unique<uint8_t[]>(size ? size : 1);
    mData = mOwned.get();
    mWidth = width;
    mHeight = height;
    mStride = stride;
    mBytesPerPixel = bytesPerPixel;
    mFormat = format;
    mType = type;
}

void GLPixelImage::MakeAlphaFromGrey(int32_t width, int32_t height, const GLPixelImage& source)
{
    Allocate(width, height, RoundUpTo4(width), 1, GL_ALPHA, GL_UNSIGNED_BYTE);
    const int32_t rows = std::min(height, source.mHeight);
    const int32_t columns = std::min(width, source.mWidth);
    for (int32_t y = 0; y < rows; ++y) {
        const uint8_t* in = source.mData + static_cast<ptrdiff_t>(y) * source.mStride;
        uint8_t* out = mData + static_cast<ptrdiff_t>(y) * mStride;
        for (int32_t x = 0; x < columns; ++x) {
            const uint8_t* p = in + 4 * x;
            const uint32_t word = p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
            out[x] = AlphaOfGrey(word);
        }
    }
}

void GLPixelImage::ConvertToAlpha()
{
    GLPixelImage source;
    source.TakeFrom(*this);
    MakeAlphaFromGrey(source.mWidth, source.mHeight, source);
}

void GLPixelImage::Rescale(int32_t width, int32_t height)
{
    GLPixelImage source;
    source.TakeFrom(*this);
    ScaleFrom(width, height, source);
}

void GLPixelImage::SetUnpackState() const
{
    glPixelStorei(GL_UNPACK_ROW_LENGTH, mBytesPerPixel > 0 ? mStride / mBytesPerPixel : 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, UnpackAlignment(mStride, mBytesPerPixel));
}

void GLPixelImage::ScaleFrom(int32_t width, int32_t height, const GLPixelImage& source)
{
    Allocate(width, height, RoundUpTo4(width * source.mBytesPerPixel), source.mBytesPerPixel, source.mFormat,
             source.mType);
    source.SetUnpackState();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    gluScaleImage(source.mFormat, source.mWidth, source.mHeight, source.mType, source.mData, width, height, mType,
                  mData);
    DropGLErrors();
}

void GLPixelImage::Upload(GLenum target, GLint internalFormat, bool mipmaps) const
{
    SetUnpackState();
    if (mipmaps) {
        gluBuild2DMipmaps(target, internalFormat, mWidth, mHeight, mFormat, mType, mData);
    } else {
        glTexSubImage2D(target, 0, 0, 0, mWidth, mHeight, mFormat, mType, mData);
    }
    DropGLErrors();
}

}  // namespace QV
