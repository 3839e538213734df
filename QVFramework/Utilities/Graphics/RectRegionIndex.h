#pragma once
// Which nodes of a region lie in which 32-pixel grid cell, so that an added
// rectangle learns whether it touches any node without walking the whole list.
// The grid covers the cells the nodes have used and grows when one lands
// outside; nodes spanning many cells, or too far out, are kept apart and
// always checked. Its storage goes back to the heap with it, where the
// region's Normalize finds it, pages and all.
#include <cstdint>
#include <vector>

#include "RectRegionNodePool.h"

namespace QV {

class RectRegionIndex {
public:
    // Every node of the list, as its rect stands now.
    explicit RectRegionIndex(RectRegionNode* head);
    RectRegionIndex(const RectRegionIndex&) = delete;
    RectRegionIndex& operator=(const RectRegionIndex&) = delete;

    // The node as its rect stands now; Remove takes that same rect.
    void Add(RectRegionNode* node);
    void Remove(RectRegionNode* node, const RegionRect& rect);
    // False for a rect spanning too many cells to look up cell by cell.
    static bool CanQuery(const RegionRect& rect) { return rect.IsEmpty() || Cells(rect).Count() <= kMaxCellsPerRect; }
    // Requires CanQuery(rect).
    bool AnyOverlaps(const RegionRect& rect) const;

private:
    static constexpr int kCellShift = 5;
    static constexpr int64_t kMaxCellsPerRect = 64;
    static constexpr int64_t kMaxGridCells = 1 << 18;

    struct CellSpan {
        int32_t left, top, right, bottom;  // inclusive cell numbers
        int64_t Count() const { return (int64_t(right) - left + 1) * (int64_t(bottom) - top + 1); }
    };
    // One node's rect in one cell's chain: a query reads it here, not from
    // the node, one load fewer on each step of the chain.
    struct Entry {
        RegionRect rect;
        int32_t next;
    };
    static CellSpan Cells(const RegionRect& rect)
    {
        // Right and bottom are exclusive; an arithmetic shift floors negative edges too.
        return {rect.left >> kCellShift, rect.top >> kCellShift, (rect.right - 1) >> kCellShift,
                (rect.bottom - 1) >> kCellShift};
    }
    bool Inside(const CellSpan& span) const
    {
        return span.left >= mGrid.left && span.right <= mGrid.right && span.top >= mGrid.top &&
               span.bottom <= mGrid.bottom;
    }
    // Grows the grid to take the span in; false when it would be too large.
    bool Grow(const CellSpan& span);
    // Links the rect in every cell of its span, which lies inside the grid.
    void Insert(const RegionRect& rect, const CellSpan& span);
    int32_t& Head(int32_t cx, int32_t cy) { return mHeads[size_t(cy - mGrid.top) * mWidth + size_t(cx - mGrid.left)]; }

    CellSpan mGrid{0, 0, -1, -1};
    size_t mWidth = 0;
    std::vector<int32_t> mHeads;  // per cell, the first entry or -1
    std::vector<Entry> mEntries;
    std::vector<RectRegionNode*> mLarge;
    int32_t mFree = -1;  // chain of unused entries
};

}  // namespace QV
