#include "RectRegionIndex.h"

#include <algorithm>

namespace QV {
namespace {

bool Overlaps(const RegionRect& a, const RegionRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

void Erase(std::vector<RectRegionNode*>& nodes, const RectRegionNode* node)
{
    const auto found = std::find(nodes.begin(), nodes.end(), node);
    if (found == nodes.end()) return;
    *found = nodes.back();
    nodes.pop_back();
}

}  // namespace

RectRegionIndex::CellSpan RectRegionIndex::Cells(const RegionRect& rect)
{
    // Right and bottom are exclusive; an arithmetic shift floors negative edges too.
    return {rect.left >> kCellShift, rect.top >> kCellShift, (rect.right - 1) >> kCellShift,
            (rect.bottom - 1) >> kCellShift};
}

bool RectRegionIndex::CanQuery(const RegionRect& rect)
{
    return rect.IsEmpty() || Cells(rect).Count() <= kMaxCells;
}

void RectRegionIndex::Add(RectRegionNode* node)
{
    const RegionRect& rect = node->rect;
    if (rect.IsEmpty()) return;
    const CellSpan span = Cells(rect);
    if (span.Count() > kMaxCells) {
        mLarge.push_back(node);
        return;
    }
    for (int32_t cy = span.top; cy <= span.bottom; ++cy) {
        for (int32_t cx = span.left; cx <= span.right; ++cx) mCells[Key(cx, cy)].push_back(node);
    }
}

void RectRegionIndex::Remove(RectRegionNode* node, const RegionRect& rect)
{
    if (rect.IsEmpty()) return;
    const CellSpan span = Cells(rect);
    if (span.Count() > kMaxCells) {
        Erase(mLarge, node);
        return;
    }
    for (int32_t cy = span.top; cy <= span.bottom; ++cy) {
        for (int32_t cx = span.left; cx <= span.right; ++cx) {
            const auto cell = mCells.find(Key(cx, cy));
            if (cell != mCells.end()) Erase(cell->second, node);
        }
    }
}

bool RectRegionIndex::AnyOverlaps(const RegionRect& rect) const
{
    if (rect.IsEmpty()) return false;
    for (const RectRegionNode* node : mLarge) {
        if (Overlaps(node->rect, rect)) return true;
    }
    const CellSpan span = Cells(rect);
    for (int32_t cy = span.top; cy <= span.bottom; ++cy) {
        for (int32_t cx = span.left; cx <= span.right; ++cx) {
            const auto cell = mCells.find(Key(cx, cy));
            if (cell == mCells.end()) continue;
            for (const RectRegionNode* node : cell->second) {
                if (Overlaps(node->rect, rect)) return true;
            }
        }
    }
    return false;
}

}  // namespace QV
