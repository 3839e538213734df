#pragma once
// A set of integer rectangles (dirty areas). After AddRect no two nodes
// overlap. Regions are not locked: their owners lock them; only the shared
// node pool has its own lock.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "RectRegionIndex.h"
#include "RectRegionNodePool.h"
#include "RectT.h"

namespace QV {

class RectRegion {
public:
    RectRegion() = default;
    RectRegion(const RectRegion& other);
    RectRegion& operator=(const RectRegion& other);
    RectRegion(RectRegion&& other) noexcept;
    RectRegion& operator=(RectRegion&& other) noexcept;
    ~RectRegion();

    // Empty rects are ignored; the rect's area leaves the other nodes first.
    void AddRect(const RegionRect& rect);
    // Rounded half away from zero and saturated first.
    void AddRect(const RectT<double>& rect);
    // Removed overlap pieces go to `collect` when given, else to the pool.
    void SubtractRect(const RegionRect& rect, RectRegion* collect = nullptr);
    void SubtractRegion(const RectRegion& other, RectRegion* collect = nullptr);
    void Intersect(const RectRegion& other);
    // Copies the other's nodes in front, overlaps and all.
    void AppendRegion(const RectRegion& other);
    void Offset(int32_t dx, int32_t dy);
    // Rearranges the nodes into horizontal bands, merging neighbours.
    void Normalize();
    void Clear();

    // An empty region gives {0, 0, 0, 0} and false.
    bool GetBounds(RegionRect& out) const;
    // {x, y, width, height} per node, in list order.
    void GetRects(std::vector<RectT<int32_t>>& out) const;
    int32_t GetCount() const;
    bool IsEmpty() const { return mHead == nullptr; }
    bool IntersectsRect(const RegionRect& rect) const;
    bool IntersectsRectF(const RectT<double>& rect, const PointT<double>& offset) const;

    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = RegionRect;
        using difference_type = std::ptrdiff_t;
        using pointer = const RegionRect*;
        using reference = const RegionRect&;

        Iterator() = default;
        explicit Iterator(const RectRegionNode* node) : mNode(node) {}
        const RegionRect& operator*() const { return mNode->rect; }
        const RegionRect* operator->() const { return &mNode->rect; }
        Iterator& operator++()
        {
            mNode = mNode->next;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const Iterator&) const = default;

    private:
        const RectRegionNode* mNode = nullptr;
    };
    Iterator begin() const { return Iterator(mHead); }
    Iterator end() const { return Iterator(nullptr); }

private:
    void PushFront(const RegionRect& rect);
    void BuildIndex();

    RectRegionNode* mHead = nullptr;
    // Kept once the region is long; dropped by whatever rearranges the nodes.
    std::unique_ptr<RectRegionIndex> mIndex;
};

}  // namespace QV
