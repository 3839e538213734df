#include "RectRegionBands.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace QV {
namespace {

// Sorted by counting, not comparing: a comparison sort of shuffled edges
// mispredicts a branch at nearly every step.
uint32_t OrderKey(int32_t value)
{
    return static_cast<uint32_t>(value) ^ 0x80000000u;
}

// Stable, a byte of the key at a time; a byte every item shares costs no pass.
template <typename T, typename KeyOf>
void RadixSort(std::vector<T>& items, std::vector<T>& scratch, KeyOf keyOf)
{
    std::array<std::array<uint32_t, 256>, 4> counts{};
    for (const T& item : items) {
        const uint32_t key = keyOf(item);
        for (size_t d = 0; d < 4; ++d) ++counts[d][(key >> (8 * d)) & 0xFF];
    }
    scratch.resize(items.size());
    const uint32_t firstKey = keyOf(items.front());
    for (size_t d = 0; d < 4; ++d) {
        std::array<uint32_t, 256>& at = counts[d];
        if (at[(firstKey >> (8 * d)) & 0xFF] == items.size()) continue;
        uint32_t sum = 0;
        for (uint32_t& n : at) sum += std::exchange(n, sum);
        for (const T& item : items) scratch[at[(keyOf(item) >> (8 * d)) & 0xFF]++] = item;
        items.swap(scratch);
    }
}

// A run and the one of the band below with the same sides become one. The
// runs are sorted by top, then left; every run of a band has the same
// bottom and no two share a left, so the place below each run moves only
// forward and is found by one walk over the list.
void MergeAcrossBands(const std::vector<RegionRect>& runs, std::vector<RegionRect>& out)
{
    out.clear();
    std::vector<bool> used(runs.size(), false);
    // The first run at or after (top, left).
    const auto seek = [&runs](size_t from, int32_t top, int32_t left) {
        while (from < runs.size() && (runs[from].top != top ? runs[from].top < top : runs[from].left < left)) ++from;
        return from;
    };
    size_t below = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        if (used[i]) continue;
        RegionRect r = runs[i];
        below = seek(below, r.bottom, r.left);
        for (size_t j = below; j < runs.size() && !used[j] && runs[j].top == r.bottom && runs[j].left == r.left &&
                               runs[j].right == r.right;
             j = seek(j + 1, r.bottom, r.left)) {
            r.bottom = runs[j].bottom;
            used[j] = true;
        }
        out.push_back(r);
    }
}

}  // namespace

void ToBands(std::vector<RegionRect>& rects)
{
    std::erase_if(rects, [](const RegionRect& r) { return r.IsEmpty(); });
    if (rects.empty()) return;

    // Taken by left, every band's pieces come out in order of left.
    std::vector<RegionRect> pieces;
    RadixSort(rects, pieces, [](const RegionRect& r) { return OrderKey(r.left); });

    // Every top and bottom, by value, with where it came from: rect i's top is
    // end 2i, its bottom 2i + 1.
    std::vector<uint64_t> ends, edgeOfEnd;
    ends.reserve(rects.size() * 2);
    for (size_t i = 0; i < rects.size(); ++i) {
        ends.push_back(uint64_t(OrderKey(rects[i].top)) << 32 | (2 * i));
        ends.push_back(uint64_t(OrderKey(rects[i].bottom)) << 32 | (2 * i + 1));
    }
    RadixSort(ends, edgeOfEnd, [](uint64_t end) { return uint32_t(end >> 32); });
    // The distinct edges, and which of them each end is.
    std::vector<int32_t> edges;
    edges.reserve(ends.size());
    for (const uint64_t end : ends) {
        const int32_t value = int32_t(uint32_t(end >> 32) ^ 0x80000000u);
        if (edges.empty() || edges.back() != value) edges.push_back(value);
        edgeOfEnd[uint32_t(end)] = edges.size() - 1;
    }

    // Per band, how many rects cross it, then where its first piece goes.
    std::vector<uint32_t> next(edges.size(), 0);
    for (size_t i = 0; i < rects.size(); ++i) {
        ++next[edgeOfEnd[2 * i]];
        --next[edgeOfEnd[2 * i + 1]];
    }
    uint32_t crossing = 0, total = 0;
    for (uint32_t& n : next) {
        crossing += n;
        n = std::exchange(total, total + crossing);
    }
    pieces.resize(total);
    for (size_t i = 0; i < rects.size(); ++i) {
        const RegionRect& r = rects[i];
        for (size_t b = edgeOfEnd[2 * i]; b < edgeOfEnd[2 * i + 1]; ++b)
            pieces[next[b]++] = {r.left, edges[b], r.right, edges[b + 1]};
    }

    // Within a band, neighbours that touch (or overlap) become one run.
    size_t runs = 0;
    for (const RegionRect& p : pieces) {
        RegionRect* last = runs > 0 ? &pieces[runs - 1] : nullptr;
        if (last != nullptr && last->top == p.top && p.left <= last->right) {
            last->right = std::max(last->right, p.right);
        } else {
            pieces[runs++] = p;
        }
    }
    pieces.resize(runs);
    MergeAcrossBands(pieces, rects);
}

}  // namespace QV
