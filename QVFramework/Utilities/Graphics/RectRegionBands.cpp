#include "RectRegionBands.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace QV {
namespace {

// Unsigned, in the order of the signed values.
uint32_t OrderKey(int32_t value)
{
    return static_cast<uint32_t>(value) ^ 0x80000000u;
}

// Sorted by counting, not comparing: a comparison sort of shuffled rects
// mispredicts a branch at nearly every step. Stable, a byte of the key at a
// time; a byte every item shares costs no pass.
template <typename T, typename KeyOf>
void RadixSort(std::vector<T>& items, std::vector<T>& scratch, KeyOf keyOf)
{
    if (items.empty()) return;
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

// The distinct tops and bottoms of the rects, ascending, and where a value
// stands among them: looked up by value in a table when the edges lie close
// together, as a window's do, else sorted and searched for. The table takes
// less memory than sorting, and a new process pays for memory in page faults.
struct Edges {
    std::vector<int32_t> values;
    int64_t first = 0;
    std::vector<uint32_t> placeOf;  // by value - first; empty when searched

    explicit Edges(const std::vector<RegionRect>& rects);
    size_t Place(int32_t edge) const
    {
        if (!placeOf.empty()) return placeOf[size_t(edge - first)];
        // The halving compiles to conditional moves, so it never mispredicts.
        const int32_t* base = values.data();
        for (size_t n = values.size(); n > 1; n -= n / 2) base = base[n / 2] <= edge ? base + n / 2 : base;
        return size_t(base - values.data());
    }
};

Edges::Edges(const std::vector<RegionRect>& rects)
{
    int32_t low = rects.front().top, high = rects.front().bottom;
    for (const RegionRect& r : rects) {
        low = std::min(low, r.top);
        high = std::max(high, r.bottom);
    }
    first = low;
    const uint64_t span = uint64_t(int64_t(high) - low) + 1;
    if (span <= 8 * rects.size()) {
        placeOf.assign(span, 0);
        for (const RegionRect& r : rects) placeOf[size_t(r.top - first)] = placeOf[size_t(r.bottom - first)] = 1;
        for (size_t v = 0; v < span; ++v) {
            if (placeOf[v] == 0) continue;
            placeOf[v] = uint32_t(values.size());
            values.push_back(int32_t(first + int64_t(v)));
        }
        return;
    }
    std::vector<int32_t> scratch;
    values.reserve(rects.size() * 2);
    for (const RegionRect& r : rects) {
        values.push_back(r.top);
        values.push_back(r.bottom);
    }
    RadixSort(values, scratch, OrderKey);
    values.erase(std::unique(values.begin(), values.end()), values.end());
}

// A run and the one of the band below with the same sides become one. The
// runs are sorted by top, then left; every run of a band has the same
// bottom and no two share a left, so the place below each run moves only
// forward and is found by one walk over the list.
void MergeAcrossBands(const std::vector<RegionRect>& runs, std::vector<RegionRect>& out)
{
    out.clear();
    std::vector<uint8_t> used(runs.size(), 0);
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
            used[j] = 1;
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

    // Per band, how many rects cross it, then where its first piece goes.
    const Edges edges(rects);
    std::vector<uint32_t> next(edges.values.size(), 0);
    for (const RegionRect& r : rects) {
        ++next[edges.Place(r.top)];
        --next[edges.Place(r.bottom)];
    }
    uint32_t crossing = 0, total = 0;
    for (uint32_t& n : next) {
        crossing += n;
        n = std::exchange(total, total + crossing);
    }
    pieces.resize(total);
    for (const RegionRect& r : rects) {
        for (size_t b = edges.Place(r.top), end = edges.Place(r.bottom); b < end; ++b)
            pieces[next[b]++] = {r.left, edges.values[b], r.right, edges.values[b + 1]};
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
