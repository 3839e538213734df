#pragma once
// Which parts of an image drawing has reached since it was last emptied, in
// square tiles, each with the box drawing reached inside it: emptying it
// again need touch only those boxes, since every pixel outside them is still
// clear. During a repaint the tiles of the frames before are stale: each box
// is emptied just before drawing reaches its tile again (while its pixels
// are at hand anyway), or at the repaint's end if nothing does.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "RectT.h"

namespace QV {

class PaintedTiles {
public:
    // Large enough that drawing a line of text visits few tiles, small
    // enough that a tile's box says closely what was drawn.
    static constexpr int32_t kTileSize = 16;

    // An image of this size with nothing painted.
    void Reset(int32_t width, int32_t height);
    // Every painted tile becomes stale.
    void MakeStale();
    // The area reach (image pixels, any size) becomes painted; the boxes of
    // the stale tiles it meets, less what `covered` holds, are added to
    // toEmpty (as areas inside the image).
    void Paint(const LongRect& reach, const LongRect& covered, std::vector<LongRect>& toEmpty);
    // The boxes of the stale tiles as areas; they become clear.
    std::vector<LongRect> TakeStale();
    // The boxes of the painted and stale tiles as areas; all become clear.
    std::vector<LongRect> TakeAll();
    bool HasStale() const { return mStaleCount > 0; }
    // The share of the image's pixels inside the boxes painted in the current repaint.
    double GetPaintedShare() const
    {
        return mTiles.empty() ? 0.0 : double(mPaintedArea) / (double(mWidth) * double(mHeight));
    }

private:
    // A box inside a tile: left, top, right - 1 and bottom - 1 in four bits each.
    using Box = uint16_t;
    static Box MakeBox(int32_t left, int32_t top, int32_t right, int32_t bottom)
    {
        return static_cast<Box>(left | top << 4 | (right - 1) << 8 | (bottom - 1) << 12);
    }
    static Box Join(Box a, Box b)
    {
        const int32_t left = std::min(a & 0xF, b & 0xF), top = std::min(a >> 4 & 0xF, b >> 4 & 0xF);
        const int32_t right = std::max(a >> 8 & 0xF, b >> 8 & 0xF), bottom = std::max(a >> 12, b >> 12);
        return static_cast<Box>(left | top << 4 | right << 8 | bottom << 12);
    }
    static int32_t AreaOf(Box box)
    {
        return ((box >> 8 & 0xF) + 1 - (box & 0xF)) * ((box >> 12) + 1 - (box >> 4 & 0xF));
    }
    // The box as an area of the image, for the tile at column, row.
    static LongRect AreaOf(Box box, int64_t column, int64_t row);

    // Paint when no tile is painted or stale: the tiles from firstColumn to
    // lastColumn of the rows between top and bottom (image pixels).
    void PaintClear(int32_t firstColumn, int32_t lastColumn, int32_t firstLeft, int32_t lastRight, int32_t top,
                    int32_t bottom);

    // Tiles for which `taken` holds, their boxes as areas: neighbours along a
    // row of tiles whose boxes meet taken into one, and so down the rows;
    // they become clear.
    template <typename Taken>
    std::vector<LongRect> Take(Taken taken);

    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mColumns = 0;
    int32_t mRows = 0;
    // Per tile the repaint it was last painted in, 0 when clear: a tile of an
    // earlier repaint than mRepaint is stale, so starting one costs nothing.
    // A byte a tile keeps the table small enough to stay in the cache; the
    // boxes are read only for the tiles drawing reaches.
    std::vector<uint8_t> mTiles;
    std::vector<Box> mBoxes;
    uint8_t mRepaint = 1;
    int64_t mPaintedCount = 0;  // tiles of the current repaint
    int64_t mStaleCount = 0;
    int64_t mPaintedArea = 0;  // pixels in the boxes of the current repaint
};

}  // namespace QV
