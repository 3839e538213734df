#pragma once
// Which parts of an image drawing has reached since it was last emptied, in
// square tiles: emptying it again need touch only those, since every pixel
// outside them is still clear. During a repaint the tiles of the frames
// before are stale: each is emptied just before drawing reaches it again
// (while its pixels are at hand anyway), or at the repaint's end if nothing
// does.
#include <cstdint>
#include <vector>

#include "RectT.h"

namespace QV {

class PaintedTiles {
public:
    static constexpr int32_t kTileSize = 8;

    // An image of this size with nothing painted.
    void Reset(int32_t width, int32_t height);
    // Every painted tile becomes stale.
    void MakeStale();
    // The tiles the area reach (image pixels, any size) meets become painted;
    // the stale ones among them that `covered` does not hold whole are added
    // to toEmpty (as areas inside the image).
    void Paint(const LongRect& reach, const LongRect& covered, std::vector<LongRect>& toEmpty);
    // The stale tiles as areas; they become clear.
    std::vector<LongRect> TakeStale();
    // The painted and stale tiles as areas; all become clear.
    std::vector<LongRect> TakeAll();
    bool HasStale() const { return mStaleCount > 0; }
    // The share of the image's tiles painted in the current repaint.
    double GetPaintedShare() const { return mTiles.empty() ? 0.0 : double(mPaintedCount) / double(mTiles.size()); }

private:
    // Tiles for which `taken` holds as areas: runs along a row of tiles, a
    // run repeated in the rows below taken into one; they become clear.
    template <typename Taken>
    std::vector<LongRect> Take(Taken taken);

    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mColumns = 0;
    int32_t mRows = 0;
    // Per tile the repaint it was last painted in, 0 when clear: a tile of an
    // earlier repaint than mRepaint is stale, so starting one costs nothing.
    // A byte a tile keeps the table small enough to stay in the cache.
    std::vector<uint8_t> mTiles;
    uint8_t mRepaint = 1;
    int64_t mPaintedCount = 0;  // tiles of the current repaint
    int64_t mStaleCount = 0;
};

}  // namespace QV
