#pragma once
// The pixels of one font's glyph atlas: 512 coverage bytes wide, packed
// left to right in rows, each glyph with a one-pixel empty border. It only
// grows, in height, by powers of two. No two cells overlap.
#include <cstdint>

#include "LGLTexture.h"
#include "LPixelBuffer.h"

namespace QV {

class GlyphAtlas {
public:
    static constexpr int32_t kWidth = 512;

    // Makes the first rows: kWidth x NextPowerOfTwo(firstRowHeight).
    explicit GlyphAtlas(int32_t firstRowHeight);

    // Makes room for a cell of width x height at (cursor, row); false for a
    // cell wider than the atlas or storage that cannot be had.
    bool Reserve(int32_t width, int32_t height);
    // Places bitmap in a new cell; false when it was refused. (x, y) is
    // the bitmap's top-left corner inside the atlas.
    bool AddGlyph(const LPixelBuffer<uint8_t>* bitmap, int32_t& x, int32_t& y);
    // Copies bitmap's rows to (x, y), clipped to the atlas.
    void CopyGlyph(const LPixelBuffer<uint8_t>& bitmap, int32_t x, int32_t y);
    // Uploads the whole atlas into texture when it changed since the last
    // upload; answers whether it did.
    bool Upload(LGLTexture& texture);

    bool HasChanges() const;
    int32_t GetCursorX() const { return mCursorX; }
    int32_t GetRowY() const { return mRowY; }
    int32_t GetRowHeight() const { return mRowHeight; }
    const LPixelBuffer<uint8_t>* GetPixels() const { return mPixels.Get(); }

private:
    int32_t mCursorX = 0;
    int32_t mRowY = 0;
    int32_t mRowHeight = 0;
    RCPtr<LPixelBuffer<uint8_t>> mPixels;
    GLEdges mChanged;  // empty: all 0

    void MarkChanged(float left, float top, float right, float bottom);
};

}  // namespace QV
