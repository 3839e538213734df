#include "RectRegion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <limits>
#include <random>
#include <vector>

namespace {

using QV::RectRegion;
using QV::RectRegionNodePool;
using QV::RegionRect;

constexpr int kGrid = 48;
using Coverage = std::bitset<kGrid * kGrid>;

Coverage Cover(const RegionRect& r)
{
    Coverage c;
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, kGrid); ++y)
        for (int x = std::max(r.left, 0); x < std::min(r.right, kGrid); ++x) c.set(static_cast<size_t>(y * kGrid + x));
    return c;
}

// The pixels a region covers; fails the test when two nodes overlap.
Coverage CoverDisjoint(const RectRegion& region)
{
    Coverage all;
    for (const RegionRect& r : region) {
        EXPECT_FALSE(r.IsEmpty());
        const Coverage c = Cover(r);
        EXPECT_TRUE((all & c).none()) << "overlap at " << r.left << "," << r.top;
        all |= c;
    }
    return all;
}

std::vector<RegionRect> Rects(const RectRegion& region)
{
    return {region.begin(), region.end()};
}

RegionRect RandomRect(std::mt19937& rng)
{
    std::uniform_int_distribution<int32_t> pos(0, kGrid - 1);
    std::uniform_int_distribution<int32_t> size(1, kGrid / 2);
    const int32_t x = pos(rng), y = pos(rng);
    return {x, y, std::min(x + size(rng), kGrid), std::min(y + size(rng), kGrid)};
}

TEST(RectRegionTest, AddRectCutsTheOldNodeIntoPieces)
{
    RectRegion region;
    region.AddRect(RegionRect{0, 0, 10, 10});
    region.AddRect(RegionRect{5, 5, 15, 15});
    EXPECT_EQ(Rects(region), (std::vector<RegionRect>{{5, 5, 15, 15}, {0, 5, 5, 10}, {0, 0, 10, 5}}));
    region.AddRect(RegionRect{3, 3, 3, 20});  // empty: ignored
    EXPECT_EQ(region.GetCount(), 3);

    std::vector<QV::RectT<int32_t>> rects;
    region.GetRects(rects);
    EXPECT_EQ(rects.front(), (QV::RectT<int32_t>{5, 5, 10, 10}));
}

TEST(RectRegionTest, AddDoubleRectRoundsFirst)
{
    RectRegion region;
    region.AddRect(QV::RectT<double>{0.5, 5.4, 2.4, 3e9});  // bottom saturates
    EXPECT_EQ(Rects(region), (std::vector<RegionRect>{{1, 5, 3, INT32_MAX}}));
}

TEST(RectRegionTest, IntersectKeepsExactlyTheOverlap)
{
    RectRegion region, other;
    region.AddRect(RegionRect{0, 0, 10, 10});
    other.AddRect(RegionRect{5, 5, 15, 15});
    region.Intersect(other);
    EXPECT_EQ(Rects(region), (std::vector<RegionRect>{{5, 5, 10, 10}}));
    region.Intersect(region);
    EXPECT_EQ(region.GetCount(), 1);
}

TEST(RectRegionTest, SubtractCollectsTheRemovedPieces)
{
    RectRegion region, collected;
    region.AddRect(RegionRect{0, 0, 10, 10});
    region.SubtractRect({2, 2, 4, 4}, &collected);
    EXPECT_EQ(Rects(collected), (std::vector<RegionRect>{{2, 2, 4, 4}}));
    EXPECT_EQ(CoverDisjoint(region), Cover({0, 0, 10, 10}) & ~Cover({2, 2, 4, 4}));
    region.SubtractRegion(region);
    EXPECT_TRUE(region.IsEmpty());
}

TEST(RectRegionTest, NormalizeMergesBandsAndNeighbours)
{
    struct Row {
        std::vector<RegionRect> added;
        std::vector<RegionRect> normalized;
    };
    const Row rows[] = {
        {{{0, 0, 10, 10}, {5, 5, 15, 15}}, {{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}},
        {{{0, 0, 5, 10}, {5, 0, 10, 10}}, {{0, 0, 10, 10}}},
        {{{0, 0, 10, 5}, {0, 5, 10, 10}}, {{0, 0, 10, 10}}},
        {{{0, 0, 4, 4}, {8, 0, 12, 4}}, {{0, 0, 4, 4}, {8, 0, 12, 4}}},
        // A column through three bands; one below of another width; one past a gap.
        {{{0, 0, 4, 4}, {8, 0, 12, 4}, {0, 4, 4, 8}, {8, 4, 13, 8}, {0, 8, 4, 12}, {0, 14, 4, 16}},
         {{0, 0, 4, 12}, {8, 0, 12, 4}, {8, 4, 13, 8}, {0, 14, 4, 16}}},
        {{}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.added.size());
        RectRegion region;
        for (const RegionRect& r : row.added) region.AddRect(r);
        region.Normalize();
        EXPECT_EQ(Rects(region), row.normalized);
    }
}

// The banded form straight from the pixels: each row's runs, a run joined
// with the same run of the row above.
std::vector<RegionRect> BandsOf(const Coverage& c)
{
    std::vector<RegionRect> out;
    for (int32_t y = 0; y < kGrid; ++y) {
        for (int32_t x = 0; x < kGrid;) {
            int32_t end = x;
            while (end < kGrid && c.test(static_cast<size_t>(y * kGrid + end))) ++end;
            if (end == x) {
                ++x;
                continue;
            }
            const auto above = std::find_if(out.begin(), out.end(), [&](const RegionRect& r) {
                return r.bottom == y && r.left == x && r.right == end;
            });
            if (above != out.end()) {
                above->bottom = y + 1;
            } else {
                out.push_back({x, y, end, y + 1});
            }
            x = end;
        }
    }
    return out;
}

// Nodes that overlap (appended), touch, contain one another or repeat: the
// result depends only on the area covered.
TEST(RectRegionTest, NormalizeGivesTheBandsOfTheCoveredArea)
{
    const std::vector<std::vector<RegionRect>> cases = {
        {{2, 2, 20, 20}, {5, 5, 10, 10}},                  // contained
        {{5, 5, 10, 10}, {2, 2, 20, 20}},                  // containing
        {{0, 0, 10, 10}, {0, 0, 10, 10}, {0, 0, 10, 10}},  // repeated
        {{0, 0, 10, 4}, {10, 0, 20, 8}, {0, 4, 10, 8}},    // touching on both sides
        {{10, 0, 14, 30}, {0, 10, 30, 14}},                // a cross
        {{0, 0, 4, 4}, {3, 3, 7, 7}, {6, 6, 10, 10}, {9, 9, 13, 13}},
        {{0, 0, 30, 2}, {0, 2, 2, 30}, {28, 2, 30, 30}, {0, 28, 30, 30}},  // a frame
        {{4, 0, 8, 40}, {0, 10, 12, 12}, {4, 20, 8, 22}, {0, 30, 12, 32}},
    };
    std::mt19937 rng(77);
    std::vector<std::vector<RegionRect>> all = cases;
    for (int round = 0; round < 300; ++round) {
        all.emplace_back();
        for (int i = 0; i < 1 + round % 60; ++i) all.back().push_back(RandomRect(rng));
    }
    for (const std::vector<RegionRect>& rects : all) {
        SCOPED_TRACE(::testing::Message() << rects.front().left << "," << rects.front().top << " of " << rects.size());
        RectRegion region;
        Coverage covered;
        for (const RegionRect& r : rects) {
            RectRegion one;
            one.AddRect(r);
            region.AppendRegion(one);  // overlaps and all
            covered |= Cover(r);
        }
        region.Normalize();
        EXPECT_EQ(Rects(region), BandsOf(covered));
    }
}

// A saturating offset can squeeze nodes to nothing; they cover nothing and go.
TEST(RectRegionTest, NormalizeDropsNodesSqueezedEmpty)
{
    RectRegion region;
    region.AddRect(RegionRect{0, 0, 10, 10});
    region.AddRect(RegionRect{20, 0, 30, 10});
    region.AddRect(RegionRect{0, 20, 10, 30});
    region.Offset(INT32_MAX - 15, 0);  // the second squeezed to zero width at the edge
    region.Normalize();
    EXPECT_EQ(Rects(region),
              (std::vector<RegionRect>{{INT32_MAX - 15, 0, INT32_MAX - 5, 10}, {INT32_MAX - 15, 20, INT32_MAX - 5, 30}}));
}

TEST(RectRegionTest, RandomOperationsKeepNodesDisjointAndAreasExact)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        RectRegion a, b;
        Coverage expectA, expectB;
        for (int i = 0; i < 1 + round % 12; ++i) {
            const RegionRect r = RandomRect(rng);
            a.AddRect(r);
            expectA |= Cover(r);
            const RegionRect s = RandomRect(rng);
            b.AddRect(s);
            expectB |= Cover(s);
        }
        ASSERT_EQ(CoverDisjoint(a), expectA);

        RectRegion normalized(a);
        normalized.Normalize();
        EXPECT_EQ(CoverDisjoint(normalized), expectA);
        EXPECT_LE(normalized.GetCount(), static_cast<int32_t>(expectA.count()));

        RectRegion difference(a), collected;
        difference.SubtractRegion(b, &collected);
        EXPECT_EQ(CoverDisjoint(difference), expectA & ~expectB);
        EXPECT_EQ(CoverDisjoint(collected), expectA & expectB);

        RectRegion intersection(a);
        intersection.Intersect(b);
        EXPECT_EQ(CoverDisjoint(intersection), expectA & expectB);

        RegionRect bounds;
        ASSERT_TRUE(a.GetBounds(bounds));
        EXPECT_EQ(expectA & ~Cover(bounds), Coverage());
        const RegionRect probe = RandomRect(rng);
        EXPECT_EQ(a.IntersectsRect(probe), (expectA & Cover(probe)).any());
    }
}

TEST(RectRegionTest, IntersectsRectUsesOpenEdges)
{
    RectRegion region;
    EXPECT_FALSE(region.IntersectsRect({0, 0, 100, 100}));
    region.AddRect(RegionRect{10, 10, 20, 20});
    EXPECT_FALSE(region.IntersectsRect({20, 10, 30, 20}));
    EXPECT_TRUE(region.IntersectsRect({19, 19, 30, 30}));
}

TEST(RectRegionTest, IntersectsRectFRoundsClampsAndRefusesThinRects)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        QV::RectT<double> rect;
        QV::PointT<double> offset;
        bool hits;
    };
    const Row rows[] = {
        {{12, 12, 1, 1}, {0, 0}, true},
        {{12, 12, 0, 5}, {0, 0}, false},  // zero width even though inside
        {{12, 12, 5, 1e-17}, {0, 0}, false},
        {{2, 2, 1, 1}, {10, 10}, true},
        {{-100, -100, 110.4, 110.4}, {0, 0}, false},  // right edge 10.4 rounds to 10
        {{-100, -100, 110.5, 110.5}, {0, 0}, true},
        {{nan, 12, 1, 1}, {0, 0}, false},
        {{12, 12, 1e300, 1e300}, {0, 0}, true},
    };
    RectRegion region;
    region.AddRect(RegionRect{10, 10, 20, 20});
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.rect.x << "," << row.rect.width);
        EXPECT_EQ(region.IntersectsRectF(row.rect, row.offset), row.hits);
    }
    EXPECT_FALSE(RectRegion().IntersectsRectF({0, 0, 10, 10}, {0, 0}));
}

TEST(RectRegionTest, BoundsOffsetAndAppend)
{
    RectRegion region;
    RegionRect bounds{1, 2, 3, 4};
    EXPECT_FALSE(region.GetBounds(bounds));
    EXPECT_EQ(bounds, RegionRect{});

    region.AddRect(RegionRect{0, 0, 2, 2});
    region.AddRect(RegionRect{5, 6, 7, 8});
    region.Offset(10, -1);
    ASSERT_TRUE(region.GetBounds(bounds));
    EXPECT_EQ(bounds, (RegionRect{10, -1, 17, 7}));

    region.AppendRegion(region);  // overlaps kept
    EXPECT_EQ(region.GetCount(), 4);
    region.Offset(INT32_MAX, 0);  // saturates rather than wraps
    ASSERT_TRUE(region.GetBounds(bounds));
    EXPECT_EQ(bounds.right, INT32_MAX);
}

TEST(RectRegionTest, PoolServesFiveHundredTwelveThenTheHeap)
{
    ASSERT_EQ(RectRegionNodePool::InUseCount(), 0) << "another test leaked region nodes";
    std::vector<QV::RectRegionNode*> nodes;
    for (int i = 0; i < 513; ++i) nodes.push_back(RectRegionNodePool::Allocate());
    for (int i = 0; i < 512; ++i) EXPECT_TRUE(RectRegionNodePool::IsPoolSlot(nodes[static_cast<size_t>(i)]));
    EXPECT_FALSE(RectRegionNodePool::IsPoolSlot(nodes.back()));
    EXPECT_EQ(RectRegionNodePool::PeakCount(), 513);
    // Given back in another order than taken: the ring keeps every slot.
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) RectRegionNodePool::Release(*it);
    EXPECT_EQ(RectRegionNodePool::FreeSlotCount(), RectRegionNodePool::kSlots);

    RectRegion region;
    for (int32_t i = 0; i < 513; ++i) region.AddRect(RegionRect{i, 0, i + 1, 1});
    EXPECT_EQ(RectRegionNodePool::InUseCount(), 513);
    EXPECT_EQ(RectRegionNodePool::FreeSlotCount(), 0);
    region.Clear();
    EXPECT_EQ(RectRegionNodePool::InUseCount(), 0);
    EXPECT_EQ(RectRegionNodePool::FreeSlotCount(), RectRegionNodePool::kSlots);
}

// The node list, order included, of the plain walk: an add cuts every node it
// overlaps into pieces (top, bottom, left, right, then in front in reverse)
// and goes in front itself.
class ReferenceRegion {
public:
    void Subtract(const RegionRect& rect)
    {
        std::vector<RegionRect> pieces, kept;
        for (const RegionRect& n : nodes) {
            if (!(n.left < rect.right && rect.left < n.right && n.top < rect.bottom && rect.top < n.bottom)) {
                kept.push_back(n);
                continue;
            }
            RegionRect m = n;
            if (m.top < rect.top) pieces.push_back({m.left, m.top, m.right, rect.top}), m.top = rect.top;
            if (rect.bottom < m.bottom) pieces.push_back({m.left, rect.bottom, m.right, m.bottom}), m.bottom = rect.bottom;
            if (m.left < rect.left) pieces.push_back({m.left, m.top, rect.left, m.bottom}), m.left = rect.left;
            if (rect.right < m.right) pieces.push_back({rect.right, m.top, m.right, m.bottom});
        }
        nodes.assign(pieces.rbegin(), pieces.rend());
        nodes.insert(nodes.end(), kept.begin(), kept.end());
    }
    void Add(const RegionRect& rect)
    {
        if (rect.IsEmpty()) return;
        Subtract(rect);
        nodes.insert(nodes.begin(), rect);
    }
    std::vector<RegionRect> nodes;
};

// Last in the file: the pool's peak count above is the process's.
// Long regions look their neighbours up instead of walking: the nodes and
// their order stay those of the walk, for small, large, negative and
// overlapping rectangles, through subtractions, offsets and copies.
TEST(RectRegionTest, LongRegionsKeepTheNodesOfThePlainWalk)
{
    std::mt19937 rng(99);
    std::uniform_int_distribution<int32_t> pos(-300, 1500), small(1, 40), large(100, 900), pick(0, 19);
    RectRegion region;
    ReferenceRegion reference;
    for (int step = 0; step < 3000; ++step) {
        SCOPED_TRACE(step);
        const int32_t x = pos(rng), y = pos(rng);
        const int kind = pick(rng);
        const int32_t w = kind == 0 ? large(rng) : small(rng), h = kind == 0 ? large(rng) : small(rng);
        const RegionRect r{x, y, x + w, y + h};
        if (kind == 1) {
            region.SubtractRect(r);
            reference.Subtract(r);
        } else {
            region.AddRect(r);
            reference.Add(r);
        }
        if (step % 500 == 499) {
            region.Offset(3, -5);
            for (RegionRect& n : reference.nodes) n = {n.left + 3, n.top - 5, n.right + 3, n.bottom - 5};
            region = RectRegion(region);  // a copy takes the nodes in front one by one
            std::reverse(reference.nodes.begin(), reference.nodes.end());
        }
        if (step % 97 == 0) {
            ASSERT_EQ(Rects(region), reference.nodes);
        }
    }
    EXPECT_EQ(Rects(region), reference.nodes);
    EXPECT_GT(region.GetCount(), 100);
}

}  // namespace
