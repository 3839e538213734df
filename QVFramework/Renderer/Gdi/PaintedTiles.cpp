#include "PaintedTiles.h"

#include <algorithm>
#include <cstdint>

namespace QV {
namespace {

// Adds an area, growing the last one instead when it is its left neighbour
// of the same rows.
void AddArea(std::vector<LongRect>& areas, const LongRect& area)
{
    if (area.width <= 0 || area.height <= 0) return;
    if (!areas.empty()) {
        LongRect& last = areas.back();
        if (last.y == area.y && last.height == area.height && last.x + last.width == area.x) {
            last.width += area.width;
            return;
        }
    }
    areas.push_back(area);
}

// What of area `covered` does not hold, in at most four areas.
void AddUncovered(std::vector<LongRect>& areas, const LongRect& area, const LongRect& covered)
{
    const int64_t right = int64_t{area.x} + area.width, bottom = int64_t{area.y} + area.height;
    const int64_t inLeft = std::max<int64_t>(area.x, covered.x), inTop = std::max<int64_t>(area.y, covered.y);
    const int64_t inRight = std::min<int64_t>(right, int64_t{covered.x} + covered.width);
    const int64_t inBottom = std::min<int64_t>(bottom, int64_t{covered.y} + covered.height);
    if (covered.width <= 0 || covered.height <= 0 || inLeft >= inRight || inTop >= inBottom) {
        AddArea(areas, area);
        return;
    }
    // All inside the area now, so within 32 bits.
    const auto l = int32_t(inLeft), t = int32_t(inTop), r = int32_t(inRight), b = int32_t(inBottom);
    AddArea(areas, {area.x, area.y, area.width, t - area.y});
    AddArea(areas, {area.x, t, l - area.x, b - t});
    AddArea(areas, {r, t, int32_t(right) - r, b - t});
    AddArea(areas, {area.x, b, area.width, int32_t(bottom) - b});
}

}  // namespace

LongRect PaintedTiles::AreaOf(Box box, int64_t column, int64_t row)
{
    const int32_t left = box & 0xF, top = box >> 4 & 0xF, right = (box >> 8 & 0xF) + 1, bottom = (box >> 12) + 1;
    return {static_cast<int32_t>(column * kTileSize) + left, static_cast<int32_t>(row * kTileSize) + top,
            right - left, bottom - top};
}

void PaintedTiles::Reset(int32_t width, int32_t height)
{
    mWidth = std::max(width, 0);
    mHeight = std::max(height, 0);
    mColumns = (mWidth + kTileSize - 1) / kTileSize;
    mRows = (mHeight + kTileSize - 1) / kTileSize;
    mTiles.assign(static_cast<size_t>(mColumns) * mRows, 0);
    mBoxes.assign(mTiles.size(), 0);
    mRepaint = 1;
    mPaintedCount = 0;
    mStaleCount = 0;
    mPaintedArea = 0;
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
    mPaintedArea = 0;
}

void PaintedTiles::Paint(const LongRect& reach, const LongRect& covered, std::vector<LongRect>& toEmpty)
{
    // 64-bit edges: an area near the 32-bit limits must not wrap round.
    const int64_t left = std::max<int64_t>(reach.x, 0);
    const int64_t top = std::max<int64_t>(reach.y, 0);
    const int64_t right = std::min<int64_t>(int64_t{reach.x} + reach.width, mWidth);
    const int64_t bottom = std::min<int64_t>(int64_t{reach.y} + reach.height, mHeight);
    if (left >= right || top >= bottom) return;
    // Inside the image now, so within 32 bits.
    const auto l = int32_t(left), t = int32_t(top), r = int32_t(right), b = int32_t(bottom);
    const int32_t firstColumn = l / kTileSize, lastColumn = (r - 1) / kTileSize;
    // Only the first and last column's boxes are cut at the sides.
    const int32_t firstLeft = l - firstColumn * kTileSize, lastRight = r - lastColumn * kTileSize;
    if (mPaintedCount == 0 && mStaleCount == 0) {
        // Every tile clear, as for a frame's background: nothing to empty,
        // and each box is the reach within its tile.
        PaintClear(firstColumn, lastColumn, firstLeft, lastRight, t, b);
        mPaintedArea += int64_t{r - l} * (b - t);
        return;
    }
    for (int32_t row = t / kTileSize; row <= (b - 1) / kTileSize; ++row) {
        const size_t first = static_cast<size_t>(row) * mColumns;
        uint8_t* tiles = mTiles.data() + first;
        Box* boxes = mBoxes.data() + first;
        const int32_t y = row * kTileSize;
        const int32_t boxTop = std::max(t - y, 0), boxBottom = std::min(b - y, kTileSize);
        // The stale boxes met along the row, joined while neighbours, so the
        // opaque area is taken out of a few long areas rather than each tile.
        LongRect stale{};
        for (int32_t column = firstColumn; column <= lastColumn; ++column) {
            const Box box = MakeBox(column == firstColumn ? firstLeft : 0, boxTop,
                                    column == lastColumn ? lastRight : kTileSize, boxBottom);
            const uint8_t tile = tiles[column];
            if (tile == mRepaint) {
                const Box old = boxes[column];
                if (old == box) continue;
                const Box joined = Join(old, box);
                mPaintedArea += AreaOf(joined) - AreaOf(old);
                boxes[column] = joined;
                continue;
            }
            if (tile != 0) {
                --mStaleCount;
                const LongRect area = AreaOf(boxes[column], column, row);
                if (stale.y == area.y && stale.height == area.height && stale.x + stale.width == area.x) {
                    stale.width += area.width;
                } else {
                    if (stale.width > 0) AddUncovered(toEmpty, stale, covered);
                    stale = area;
                }
            }
            tiles[column] = mRepaint;
            boxes[column] = box;
            ++mPaintedCount;
            mPaintedArea += AreaOf(box);
        }
        if (stale.width > 0) AddUncovered(toEmpty, stale, covered);
    }
}

void PaintedTiles::PaintClear(int32_t firstColumn, int32_t lastColumn, int32_t firstLeft, int32_t lastRight, int32_t top,
                              int32_t bottom)
{
    for (int32_t row = top / kTileSize; row <= (bottom - 1) / kTileSize; ++row) {
        const size_t first = static_cast<size_t>(row) * mColumns;
        const int32_t y = row * kTileSize;
        const int32_t boxTop = std::max(top - y, 0), boxBottom = std::min(bottom - y, kTileSize);
        std::fill(mTiles.begin() + first + firstColumn, mTiles.begin() + first + lastColumn + 1, mRepaint);
        Box* boxes = mBoxes.data() + first;
        std::fill(boxes + firstColumn, boxes + lastColumn + 1, MakeBox(0, boxTop, kTileSize, boxBottom));
        boxes[firstColumn] = MakeBox(firstLeft, boxTop, firstColumn == lastColumn ? lastRight : kTileSize, boxBottom);
        if (lastColumn != firstColumn) boxes[lastColumn] = MakeBox(0, boxTop, lastRight, boxBottom);
        mPaintedCount += lastColumn - firstColumn + 1;
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
    mStaleCount = mPaintedCount = mPaintedArea = 0;
    return Take([](uint8_t tile) { return tile != 0; });
}

template <typename Taken>
std::vector<LongRect> PaintedTiles::Take(Taken taken)
{
    std::vector<LongRect> areas;
    // The runs of the row of tiles being read, and indices in `areas` of
    // those of the row above, in column order, to be grown downwards.
    std::vector<LongRect> runs;
    std::vector<size_t> above;
    std::vector<size_t> current;
    for (int32_t row = 0; row < mRows; ++row) {
        const size_t first = static_cast<size_t>(row) * mColumns;
        uint8_t* tiles = mTiles.data() + first;
        const Box* boxes = mBoxes.data() + first;
        runs.clear();
        for (int32_t column = 0; column < mColumns; ++column) {
            if (!taken(tiles[column])) continue;
            tiles[column] = 0;
            AddArea(runs, AreaOf(boxes[column], column, row));
        }
        current.clear();
        size_t next = 0;
        for (const LongRect& run : runs) {
            while (next < above.size() && areas[above[next]].x < run.x) ++next;
            LongRect* upper = next < above.size() ? &areas[above[next]] : nullptr;
            if (upper && upper->x == run.x && upper->width == run.width && upper->y + upper->height == run.y) {
                upper->height += run.height;
                current.push_back(above[next]);
            } else {
                current.push_back(areas.size());
                areas.push_back(run);
            }
        }
        std::swap(above, current);
    }
    return areas;
}

}  // namespace QV
