#include "PaintedTiles.h"

#include <algorithm>
#include <cstdint>

namespace QV {

void PaintedTiles::Reset(int32_t width, int32_t height)
{
    mWidth = std::max(width, 0);
    mHeight = std::max(height, 0);
    mColumns = (mWidth + kTileSize - 1) / kTileSize;
    mRows = (mHeight + kTileSize - 1) / kTileSize;
    mTiles.assign(static_cast<size_t>(mColumns) * mRows, 0);
    mRepaint = 1;
    mPaintedCount = 0;
    mStaleCount = 0;
}

void PaintedTiles::MakeStale()
{
    if (mPaintedCount == 0) return;
    if (mRepaint == UINT8_MAX) {
        // Renumbered before the count wraps: every painted tile is of repaint 1.
        for (uint8_t& tile : mTiles) tile = tile ? 1 : 0;
        mRepaint = 1;
    }
    ++mRepaint;
    mStaleCount += mPaintedCount;
    mPaintedCount = 0;
}

void PaintedTiles::Paint(const LongRect& reach, const LongRect& covered, std::vector<LongRect>& toEmpty)
{
    // 64-bit edges: an area near the 32-bit limits must not wrap round.
    const int64_t left = std::max<int64_t>(reach.x, 0);
    const int64_t top = std::max<int64_t>(reach.y, 0);
    const int64_t right = std::min<int64_t>(int64_t{reach.x} + reach.width, mWidth);
    const int64_t bottom = std::min<int64_t>(int64_t{reach.y} + reach.height, mHeight);
    if (left >= right || top >= bottom) return;
    // The tiles `covered` holds whole, as a range of columns and rows.
    const int64_t coverLeft = (int64_t{covered.x} + kTileSize - 1) / kTileSize;
    const int64_t coverTop = (int64_t{covered.y} + kTileSize - 1) / kTileSize;
    const int64_t coverRightEdge = std::min<int64_t>(int64_t{covered.x} + covered.width, mWidth);
    const int64_t coverBottomEdge = std::min<int64_t>(int64_t{covered.y} + covered.height, mHeight);
    // A last tile cut short by the image's edge is held when the cover reaches that edge.
    auto end = [](int64_t edge, int64_t limit) { return edge == limit ? (edge + kTileSize - 1) / kTileSize : edge / kTileSize; };
    const int64_t coverRight = covered.width > 0 ? end(coverRightEdge, mWidth) : 0;
    const int64_t coverBottom = covered.height > 0 ? end(coverBottomEdge, mHeight) : 0;
    const int64_t firstColumn = left / kTileSize, lastColumn = (right - 1) / kTileSize;
    for (int64_t row = top / kTileSize; row <= (bottom - 1) / kTileSize; ++row) {
        uint8_t* tiles = mTiles.data() + row * mColumns;
        const bool rowHeld = row >= coverTop && row < coverBottom;
        for (int64_t column = firstColumn; column <= lastColumn; ++column) {
            const uint8_t tile = tiles[column];
            if (tile == mRepaint) continue;
            tiles[column] = mRepaint;
            ++mPaintedCount;
            if (tile == 0) continue;
            --mStaleCount;
            if (rowHeld && column >= coverLeft && column < coverRight) continue;
            const int32_t x = static_cast<int32_t>(column) * kTileSize, y = static_cast<int32_t>(row) * kTileSize;
            const int32_t width = std::min(kTileSize, mWidth - x), height = std::min(kTileSize, mHeight - y);
            // A stale neighbour on the left grows its area instead.
            LongRect* last = toEmpty.empty() ? nullptr : &toEmpty.back();
            if (last && last->y == y && last->x + last->width == x && last->height == height)
                last->width += width;
            else
                toEmpty.push_back({x, y, width, height});
        }
    }
}

std::vector<LongRect> PaintedTiles::TakeStale()
{
    if (mStaleCount == 0) return {};
    mStaleCount = 0;
    const uint8_t current = mRepaint;
    return Take([current](uint8_t tile) { return tile != 0 && tile != current; });
}

std::vector<LongRect> PaintedTiles::TakeAll()
{
    if (mStaleCount == 0 && mPaintedCount == 0) return {};
    mStaleCount = mPaintedCount = 0;
    return Take([](uint8_t tile) { return tile != 0; });
}

template <typename Taken>
std::vector<LongRect> PaintedTiles::Take(Taken taken)
{
    std::vector<LongRect> areas;
    // Indices in `areas` of the runs of the row of tiles above, in column
    // order, to be grown downwards.
    std::vector<size_t> above;
    std::vector<size_t> current;
    for (int32_t row = 0; row < mRows; ++row) {
        uint8_t* tiles = mTiles.data() + static_cast<size_t>(row) * mColumns;
        const int32_t top = row * kTileSize;
        const int32_t height = std::min(kTileSize, mHeight - top);
        current.clear();
        size_t next = 0;
        for (int32_t column = 0; column < mColumns;) {
            if (!taken(tiles[column])) {
                ++column;
                continue;
            }
            const int32_t first = column;
            for (; column < mColumns && taken(tiles[column]); ++column) tiles[column] = 0;
            const int32_t x = first * kTileSize;
            const int32_t width = std::min(column * kTileSize, mWidth) - x;
            while (next < above.size() && areas[above[next]].x < x) ++next;
            if (next < above.size() && areas[above[next]].x == x && areas[above[next]].width == width) {
                areas[above[next]].height += height;
                current.push_back(above[next]);
            } else {
                current.push_back(areas.size());
                areas.push_back({x, top, width, height});
            }
        }
        std::swap(above, current);
    }
    return areas;
}

}  // namespace QV
