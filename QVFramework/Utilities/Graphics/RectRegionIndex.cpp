#include "RectRegionIndex.h"

#include <algorithm>
#include <utility>

namespace QV {
namespace {

// Without short cuts: one branch on the answer, not up to four on the sides,
// whose outcomes follow no pattern over a cell's nodes.
bool Overlaps(const RegionRect& a, const RegionRect& b)
{
    return (a.left < b.right) & (b.left < a.right) & (a.top < b.bottom) & (b.top < a.bottom);
}

// Room for the entries from the start: a long region's nodes take up to
// four cells each, and room reserved but never used costs no page of memory,
// while growing copies the entries and touches new pages each time.
constexpr size_t kEntriesPerNode = 4;
constexpr size_t kNodesReserved = 1024;

}  // namespace

RectRegionIndex::RectRegionIndex(RectRegionNode* head)
{
    bool any = false;
    CellSpan box{};
    size_t count = 0;
    for (const RectRegionNode* node = head; node != nullptr; node = node->next) {
        ++count;
        if (node->rect.IsEmpty()) continue;
        const CellSpan span = Cells(node->rect);
        if (span.Count() > kMaxCellsPerRect) continue;
        box = any ? CellSpan{std::min(box.left, span.left), std::min(box.top, span.top),
                             std::max(box.right, span.right), std::max(box.bottom, span.bottom)}
                  : span;
        any = true;
    }
    mEntries.reserve(std::max(count, kNodesReserved) * kEntriesPerNode);
    if (any) (void)Grow(box);  // a grid too large leaves the nodes apart
    for (RectRegionNode* node = head; node != nullptr; node = node->next) Add(node);
}

bool RectRegionIndex::Grow(const CellSpan& span)
{
    const bool empty = mHeads.empty();
    CellSpan grid = empty ? span
                          : CellSpan{std::min(mGrid.left, span.left), std::min(mGrid.top, span.top),
                                     std::max(mGrid.right, span.right), std::max(mGrid.bottom, span.bottom)};
    // Room to spare on every side that grew, so a region spreading out regrows rarely.
    const int64_t spareX = (int64_t(grid.right) - grid.left + 1) / 2, spareY = (int64_t(grid.bottom) - grid.top + 1) / 2;
    const auto widen = [](int32_t edge, int64_t by) { return int32_t(std::clamp<int64_t>(edge + by, INT32_MIN >> kCellShift, INT32_MAX >> kCellShift)); };
    if (!empty) {
        if (grid.left < mGrid.left) grid.left = widen(grid.left, -spareX);
        if (grid.right > mGrid.right) grid.right = widen(grid.right, spareX);
        if (grid.top < mGrid.top) grid.top = widen(grid.top, -spareY);
        if (grid.bottom > mGrid.bottom) grid.bottom = widen(grid.bottom, spareY);
    }
    if (grid.Count() > kMaxGridCells) return false;

    // The entries stay where they are; each cell's chain moves to its new place.
    std::vector<int32_t> heads(size_t(grid.Count()), -1);
    const size_t width = size_t(int64_t(grid.right) - grid.left + 1);
    for (int32_t cy = mGrid.top; cy <= mGrid.bottom && !empty; ++cy) {
        for (int32_t cx = mGrid.left; cx <= mGrid.right; ++cx) {
            int32_t& head = heads[size_t(cy - grid.top) * width + size_t(cx - grid.left)];
            for (int32_t e = Head(cx, cy); e >= 0;) {
                const int32_t next = mEntries[size_t(e)].next;
                mEntries[size_t(e)].next = head;
                head = std::exchange(e, next);
            }
        }
    }
    mGrid = grid;
    mWidth = width;
    mHeads.swap(heads);
    return true;
}

inline void RectRegionIndex::Insert(const RegionRect& rect, const CellSpan& span)
{
    for (int32_t cy = span.top; cy <= span.bottom; ++cy) {
        for (int32_t cx = span.left; cx <= span.right; ++cx) {
            int32_t e = mFree;
            if (e >= 0) {
                mFree = mEntries[size_t(e)].next;
                mEntries[size_t(e)].rect = rect;
            } else {
                e = int32_t(mEntries.size());
                mEntries.push_back({rect, -1});
            }
            int32_t& head = Head(cx, cy);
            mEntries[size_t(e)].next = head;
            head = e;
        }
    }
}

void RectRegionIndex::Add(RectRegionNode* node)
{
    const RegionRect& rect = node->rect;
    if (rect.IsEmpty()) return;
    const CellSpan span = Cells(rect);
    if (span.Count() > kMaxCellsPerRect || (!Inside(span) && !Grow(span))) {
        mLarge.push_back(node);
        return;
    }
    Insert(rect, span);
}

void RectRegionIndex::Remove(RectRegionNode* node, const RegionRect& rect)
{
    if (rect.IsEmpty()) return;
    // Kept apart when it came, perhaps before the grid grew around it.
    const auto apart = std::find(mLarge.begin(), mLarge.end(), node);
    if (apart != mLarge.end()) {
        *apart = mLarge.back();
        mLarge.pop_back();
        return;
    }
    // Else one entry of its rect in each cell: any one, as nodes of the same
    // rect (appended regions overlap) are alike to a query.
    const CellSpan span = Cells(rect);
    if (span.Count() > kMaxCellsPerRect || !Inside(span)) return;
    for (int32_t cy = span.top; cy <= span.bottom; ++cy) {
        for (int32_t cx = span.left; cx <= span.right; ++cx) {
            for (int32_t* link = &Head(cx, cy); *link >= 0; link = &mEntries[size_t(*link)].next) {
                const int32_t e = *link;
                if (!(mEntries[size_t(e)].rect == rect)) continue;
                *link = mEntries[size_t(e)].next;
                mEntries[size_t(e)].next = mFree;
                mFree = e;
                break;
            }
        }
    }
}

bool RectRegionIndex::AnyOverlaps(const RegionRect& rect) const
{
    if (rect.IsEmpty()) return false;
    for (const RectRegionNode* node : mLarge) {
        if (Overlaps(node->rect, rect)) return true;
    }
    if (mHeads.empty()) return false;
    const CellSpan span = Cells(rect);
    const int32_t top = std::max(span.top, mGrid.top), bottom = std::min(span.bottom, mGrid.bottom);
    const int32_t left = std::max(span.left, mGrid.left), right = std::min(span.right, mGrid.right);
    for (int32_t cy = top; cy <= bottom; ++cy) {
        for (int32_t cx = left; cx <= right; ++cx) {
            const size_t cell = size_t(cy - mGrid.top) * mWidth + size_t(cx - mGrid.left);
            for (int32_t e = mHeads[cell]; e >= 0; e = mEntries[size_t(e)].next) {
                if (Overlaps(mEntries[size_t(e)].rect, rect)) return true;
            }
        }
    }
    return false;
}

}  // namespace QV
