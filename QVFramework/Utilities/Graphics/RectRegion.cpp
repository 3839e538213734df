#include "RectRegion.h"

#include <algorithm>
#include <utility>

#include "RectRegionBands.h"

namespace QV {
namespace {

// From this many nodes on an add looks its neighbours up in the index.
constexpr int32_t kIndexFrom = 48;

bool Overlaps(const RegionRect& a, const RegionRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

int32_t SaturatingAdd(int32_t a, int32_t b)
{
    const int64_t sum = static_cast<int64_t>(a) + b;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
}

}  // namespace

RectRegion::RectRegion(const RectRegion& other)
{
    AppendRegion(other);
}

RectRegion& RectRegion::operator=(const RectRegion& other)
{
    if (this != &other) {
        Clear();
        AppendRegion(other);
    }
    return *this;
}

RectRegion::RectRegion(RectRegion&& other) noexcept
    : mHead(std::exchange(other.mHead, nullptr)), mIndex(std::move(other.mIndex))
{
}

RectRegion& RectRegion::operator=(RectRegion&& other) noexcept
{
    if (this != &other) {
        Clear();
        mHead = std::exchange(other.mHead, nullptr);
        mIndex = std::move(other.mIndex);
    }
    return *this;
}

RectRegion::~RectRegion()
{
    Clear();
}

void RectRegion::Clear()
{
    mIndex.reset();
    RectRegionNodePool::ReleaseList(std::exchange(mHead, nullptr));
}

void RectRegion::PushFront(const RegionRect& rect)
{
    RectRegionNode* node = RectRegionNodePool::Allocate();
    node->rect = rect;
    node->next = mHead;
    mHead = node;
    if (mIndex) mIndex->Add(node);
}

void RectRegion::BuildIndex()
{
    mIndex = std::make_unique<RectRegionIndex>(mHead);
}

void RectRegion::AddRect(const RegionRect& rect)
{
    if (rect.IsEmpty()) return;
    SubtractRect(rect);
    PushFront(rect);
}

void RectRegion::AddRect(const RectT<double>& rect)
{
    const RectT<int32_t> r = rect.Round();
    AddRect(RegionRect{r.x, r.y, SaturatingAdd(r.x, r.width), SaturatingAdd(r.y, r.height)});
}

void RectRegion::SubtractRect(const RegionRect& rect, RectRegion* collect)
{
    // Collected nodes go straight onto that list, past its index.
    if (collect != nullptr) collect->mIndex.reset();
    if (mIndex && RectRegionIndex::CanQuery(rect) && !mIndex->AnyOverlaps(rect)) return;
    // Cut-off pieces go in front once the walk is over, so it never sees them.
    RectRegionNode* pieces = nullptr;
    auto addPiece = [&pieces](const RegionRect& r) {
        RectRegionNode* node = RectRegionNodePool::Allocate();
        node->rect = r;
        node->next = pieces;
        pieces = node;
    };
    RectRegionNode** link = &mHead;
    int32_t kept = 0;
    while (*link != nullptr) {
        RectRegionNode* node = *link;
        RegionRect& n = node->rect;
        if (!Overlaps(n, rect)) {
            link = &node->next;
            ++kept;
            continue;
        }
        if (mIndex) mIndex->Remove(node, n);
        // Full-width top and bottom pieces, then left and right of what remains.
        if (n.top < rect.top) {
            addPiece({n.left, n.top, n.right, rect.top});
            n.top = rect.top;
        }
        if (rect.bottom < n.bottom) {
            addPiece({n.left, rect.bottom, n.right, n.bottom});
            n.bottom = rect.bottom;
        }
        if (n.left < rect.left) {
            addPiece({n.left, n.top, rect.left, n.bottom});
            n.left = rect.left;
        }
        if (rect.right < n.right) {
            addPiece({rect.right, n.top, n.right, n.bottom});
            n.right = rect.right;
        }
        *link = node->next;
        if (collect != nullptr) {
            node->next = collect->mHead;
            collect->mHead = node;
        } else {
            RectRegionNodePool::Release(node);
        }
    }
    if (pieces != nullptr) {
        RectRegionNode* last = pieces;
        while (true) {
            if (mIndex) mIndex->Add(last);
            ++kept;
            if (last->next == nullptr) break;
            last = last->next;
        }
        last->next = mHead;
        mHead = pieces;
    }
    if (!mIndex && kept >= kIndexFrom) BuildIndex();
}

void RectRegion::SubtractRegion(const RectRegion& other, RectRegion* collect)
{
    if (&other == this || &other == collect) {
        const RectRegion copy(other);
        SubtractRegion(copy, collect);
        return;
    }
    for (const RegionRect& r : other) SubtractRect(r, collect);
}

void RectRegion::Intersect(const RectRegion& other)
{
    if (&other == this) return;
    RectRegion collected;
    SubtractRegion(other, &collected);
    std::swap(mHead, collected.mHead);
    mIndex.reset();
    collected.mIndex.reset();
}

void RectRegion::AppendRegion(const RectRegion& other)
{
    if (&other == this) {
        const RectRegion copy(other);
        AppendRegion(copy);
        return;
    }
    for (const RegionRect& r : other) PushFront(r);
}

void RectRegion::Offset(int32_t dx, int32_t dy)
{
    if (dx == 0 && dy == 0) return;
    mIndex.reset();
    for (RectRegionNode* node = mHead; node != nullptr; node = node->next) {
        RegionRect& r = node->rect;
        r = {SaturatingAdd(r.left, dx), SaturatingAdd(r.top, dy), SaturatingAdd(r.right, dx),
             SaturatingAdd(r.bottom, dy)};
    }
}

void RectRegion::Normalize()
{
    if (mHead == nullptr || mHead->next == nullptr) return;
    // The index goes first: its memory, pages already in place, takes the rects.
    mIndex.reset();
    std::vector<RegionRect> rects;
    rects.reserve(size_t(GetCount()));
    rects.assign(begin(), end());
    ToBands(rects);

    // Reuse the nodes in place; give back or take what the count changed.
    RectRegionNode** link = &mHead;
    for (const RegionRect& r : rects) {
        if (*link == nullptr) *link = RectRegionNodePool::Allocate();
        (*link)->rect = r;
        link = &(*link)->next;
    }
    RectRegionNodePool::ReleaseList(std::exchange(*link, nullptr));
}

bool RectRegion::GetBounds(RegionRect& out) const
{
    out = {};
    if (mHead == nullptr) return false;
    out = mHead->rect;
    for (const RegionRect& r : *this) {
        out.left = std::min(out.left, r.left);
        out.top = std::min(out.top, r.top);
        out.right = std::max(out.right, r.right);
        out.bottom = std::max(out.bottom, r.bottom);
    }
    return true;
}

void RectRegion::GetRects(std::vector<RectT<int32_t>>& out) const
{
    out.clear();
    for (const RegionRect& r : *this) out.push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
}

int32_t RectRegion::GetCount() const
{
    int32_t count = 0;
    for (auto it = begin(); it != end(); ++it) ++count;
    return count;
}

bool RectRegion::IntersectsRect(const RegionRect& rect) const
{
    return std::any_of(begin(), end(), [&rect](const RegionRect& r) { return Overlaps(r, rect); });
}

bool RectRegion::IntersectsRectF(const RectT<double>& rect, const PointT<double>& offset) const
{
    constexpr double kEpsilon = 2.220446049250313e-16;
    const double left = std::max(rect.x + offset.x, 0.0);
    const double top = std::max(rect.y + offset.y, 0.0);
    const double right = std::min(rect.x + offset.x + rect.width, 2147483647.0);
    const double bottom = std::min(rect.y + offset.y + rect.height, 2147483647.0);
    // Written so that NaN answers false too.
    if (!(right - left > kEpsilon) || !(bottom - top > kEpsilon)) return false;
    return IntersectsRect({SaturateToLong(left), SaturateToLong(top), SaturateToLong(right), SaturateToLong(bottom)});
}

}  // namespace QV
