#pragma once
// Which nodes of a region lie in which 64-pixel grid cell, so that an added
// rectangle learns whether it touches any node without walking the whole list.
// Nodes wider than a few cells are kept apart and always checked.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "RectRegionNodePool.h"

namespace QV {

class RectRegionIndex {
public:
    // The node as its rect stands now; Remove takes that same rect.
    void Add(RectRegionNode* node);
    void Remove(RectRegionNode* node, const RegionRect& rect);
    // False for a rect spanning too many cells to look up cell by cell.
    static bool CanQuery(const RegionRect& rect);
    // Requires CanQuery(rect).
    bool AnyOverlaps(const RegionRect& rect) const;

private:
    static constexpr int kCellShift = 6;
    static constexpr int64_t kMaxCells = 16;

    struct CellSpan {
        int32_t left, top, right, bottom;  // inclusive cell numbers
        int64_t Count() const { return (int64_t(right) - left + 1) * (int64_t(bottom) - top + 1); }
    };
    static CellSpan Cells(const RegionRect& rect);
    static uint64_t Key(int32_t cx, int32_t cy) { return uint64_t(uint32_t(cx)) << 32 | uint32_t(cy); }

    std::unordered_map<uint64_t, std::vector<RectRegionNode*>> mCells;
    std::vector<RectRegionNode*> mLarge;
};

}  // namespace QV
