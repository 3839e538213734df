#include "GlyphAtlas.h"

#include <GL/gl.h>

#include <algorithm>
#include <cfloat>
#include <cstring>

#include "GLPixelImage.h"

namespace QV {

GlyphAtlas::GlyphAtlas(int32_t firstRowHeight)
{
    Reserve(0, firstRowHeight);
}

bool GlyphAtlas::Reserve(int32_t width, int32_t height)
{
    if (width > kWidth || width < 0 || height < 0) return false;
    if (mCursorX + width >= kWidth) {
        // The new row starts as tall as the cell that broke the old one.
        mCursorX = 0;
        mRowY += mRowHeight;
        mRowHeight = 0;
    }
    mRowHeight = std::max(mRowHeight, height);
    if (!mPixels) {
        mPixels = LPixelBuffer<uint8_t>::Create(kWidth, 0, kWidth);
        if (!mPixels) return false;
    }
    const int32_t needed = mRowY + mRowHeight;
    if (needed < mPixels->GetHeight()) return true;
    int32_t rows = NextPowerOfTwo(needed);
    while (rows < needed) rows *= 2;
    if (mPixels->SetHeight(rows) < 0) return false;
    MarkChanged(0, 0, static_cast<float>(kWidth), static_cast<float>(rows));
    return true;
}

bool GlyphAtlas::AddGlyph(const LPixelBuffer<uint8_t>* bitmap, int32_t& x, int32_t& y)
{
    const int32_t width = bitmap ? bitmap->GetWidth() : 0, height = bitmap ? bitmap->GetHeight() : 0;
    if (!Reserve(width + 2, height + 2)) return false;
    x = mCursorX + 1;
    y = mRowY + 1;
    if (bitmap) CopyGlyph(*bitmap, x, y);
    mCursorX += width + 2;
    return true;
}

void GlyphAtlas::CopyGlyph(const LPixelBuffer<uint8_t>& bitmap, int32_t x, int32_t y)
{
    if (bitmap.GetHeight() == 0 || !mPixels || x < 0 || y < 0) return;
    const int32_t columns = std::min(bitmap.GetWidth(), kWidth - x);
    const int32_t rows = std::min(bitmap.GetHeight(), mPixels->GetHeight() - y);
    for (int32_t row = 0; row < rows && columns > 0; ++row)
        std::memcpy(mPixels->GetPixelAddress(x, y + row), bitmap.GetPixelAddress(0, row), static_cast<size_t>(columns));
    MarkChanged(static_cast<float>(x - 1), static_cast<float>(y - 1), static_cast<float>(x + 1 + bitmap.GetWidth()),
                static_cast<float>(y + 1 + bitmap.GetHeight()));
}

void GlyphAtlas::MarkChanged(float left, float top, float right, float bottom)
{
    mChanged.left = std::min(mChanged.left, left);
    mChanged.top = std::min(mChanged.top, top);
    mChanged.right = std::max(mChanged.right, right);
    mChanged.bottom = std::max(mChanged.bottom, bottom);
}

bool GlyphAtlas::HasChanges() const
{
    return mChanged.right - mChanged.left > FLT_EPSILON && mChanged.bottom - mChanged.top > FLT_EPSILON;
}

bool GlyphAtlas::Upload(LGLTexture& texture)
{
    if (!HasChanges() || !mPixels) return false;
    GLPixelImage image;
    image.Wrap(mPixels->GetData(), mPixels->GetStride(), 1, mPixels->GetWidth(), mPixels->GetHeight(), GL_ALPHA,
               GL_UNSIGNED_BYTE);
    texture.SetImage(image, GL_ALPHA, kTextureNearest, 1.0f);
    mChanged = {};
    return true;
}

}  // namespace QV
