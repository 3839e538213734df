#include "PaintedTiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace QV {
namespace {

constexpr int32_t T = PaintedTiles::kTileSize;

std::vector<LongRect> Paint(PaintedTiles& tiles, const LongRect& reach, const LongRect& covered = {})
{
    std::vector<LongRect> toEmpty;
    tiles.Paint(reach, covered, toEmpty);
    return toEmpty;
}

TEST(PaintedTilesTest, TakeAllGivesThePaintedAreasInsideTheImageAndLeavesItClear)
{
    const struct {
        const char* name;
        std::vector<LongRect> painted;
        std::vector<LongRect> areas;
    } rows[] = {
        {"nothing", {}, {}},
        {"one pixel", {{T + 1, 1, 1, 1}}, {{T + 1, 1, 1, 1}}},
        {"two in one tile give the box holding both", {{1, 1, 1, 1}, {4, 5, 1, 1}}, {{1, 1, 4, 5}}},
        {"a run along a row", {{1, 1, 2 * T, 1}}, {{1, 1, 2 * T, 1}}},
        {"a run repeated below becomes one area", {{1, 1, T, 2 * T}}, {{1, 1, T, 2 * T}}},
        {"runs of different widths stay apart", {{0, 0, 2 * T, 1}, {0, T, 1, 1}}, {{0, 0, 2 * T, 1}, {0, T, 1, 1}}},
        {"boxes one above the other but apart stay apart", {{0, 0, 1, 1}, {0, T, 1, 1}}, {{0, 0, 1, 1}, {0, T, 1, 1}}},
        {"cut at the image's edges", {{-50, -50, 100 * T, 100 * T}}, {{0, 0, 5 * T + 3, 2 * T + 5}}},
        {"far off and near the 32-bit limits", {{INT32_MAX - 2, 0, INT32_MAX, 5}, {INT32_MIN, INT32_MIN, 10, 10}}, {}},
        {"empty", {{3, 3, 0, 9}, {3, 3, 9, -1}}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PaintedTiles tiles;
        tiles.Reset(5 * T + 3, 2 * T + 5);
        for (const LongRect& r : row.painted) EXPECT_TRUE(Paint(tiles, r).empty());
        EXPECT_EQ(tiles.TakeAll(), row.areas);
        EXPECT_TRUE(tiles.TakeAll().empty());
    }
}

TEST(PaintedTilesTest, StaleTilesAreGivenToEmptyOnceLessWhatTheCoverHolds)
{
    PaintedTiles tiles;
    tiles.Reset(4 * T, 2 * T);
    (void)Paint(tiles, {0, 0, 4 * T, 2 * T});
    tiles.MakeStale();
    EXPECT_TRUE(tiles.HasStale());
    // Left to right in a row, neighbours in one area.
    EXPECT_EQ(Paint(tiles, {1, 1, 2 * T, 1}), (std::vector<LongRect>{{0, 0, 3 * T, T}}));
    EXPECT_TRUE(Paint(tiles, {0, 0, 3 * T, T}).empty()) << "painted in this repaint: not emptied again";
    // A cover holding one tile whole and the next only in part.
    EXPECT_EQ(Paint(tiles, {0, T, 2 * T, T}, {0, T, T + T / 2, T}), (std::vector<LongRect>{{T + T / 2, T, T / 2, T}}));
    // What no drawing reached is left for the end; this repaint's tiles stay.
    EXPECT_EQ(tiles.TakeStale(), (std::vector<LongRect>{{3 * T, 0, T, T}, {2 * T, T, 2 * T, T}}));
    EXPECT_FALSE(tiles.HasStale());
    EXPECT_EQ(tiles.TakeAll(), (std::vector<LongRect>{{0, 0, 3 * T, T}, {0, T, 2 * T, T}}));
}

TEST(PaintedTilesTest, AStaleBoxIsEmptiedWhereTheCoverLeavesIt)
{
    const struct {
        const char* name;
        LongRect covered;
        std::vector<LongRect> toEmpty;
    } rows[] = {
        {"no cover", {}, {{2, 1, 4, 5}}},
        {"beside it", {6, 0, 2, 8}, {{2, 1, 4, 5}}},
        {"over it all", {-5, -5, 20, 20}, {}},
        {"its left part", {0, 0, 3, 8}, {{3, 1, 3, 5}}},
        {"its bottom part", {0, 4, 8, 8}, {{2, 1, 4, 3}}},
        {"inside it", {3, 2, 2, 2}, {{2, 1, 4, 1}, {2, 2, 1, 2}, {5, 2, 1, 2}, {2, 4, 4, 2}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PaintedTiles tiles;
        tiles.Reset(T, T);
        (void)Paint(tiles, {2, 1, 4, 5});
        tiles.MakeStale();
        EXPECT_EQ(Paint(tiles, {0, 0, T, T}, row.covered), row.toEmpty);
        EXPECT_FALSE(tiles.HasStale());
    }
}

TEST(PaintedTilesTest, ACoverReachingTheImagesEdgeHoldsTheTilesItCutsShort)
{
    PaintedTiles tiles;
    tiles.Reset(T + 3, T + 3);
    (void)Paint(tiles, {0, 0, T + 3, T + 3});
    tiles.MakeStale();
    EXPECT_TRUE(Paint(tiles, {0, 0, T + 3, T + 3}, {0, 0, T + 3, T + 3}).empty());
    EXPECT_FALSE(tiles.HasStale());
    tiles.MakeStale();
    EXPECT_EQ(Paint(tiles, {0, 0, T + 3, T + 3}, {0, 0, T + 2, T + 3}),
              (std::vector<LongRect>{{T + 2, 0, 1, T}, {T + 2, T, 1, 3}}));
}

TEST(PaintedTilesTest, StaleTilesStayStaleThroughManyRepaints)
{
    PaintedTiles tiles;
    tiles.Reset(3 * T, T);
    (void)Paint(tiles, {0, 0, 1, 1});
    // The repaint counter wraps many times; tile 0 is left stale from the start.
    for (int i = 0; i < 600; ++i) {
        SCOPED_TRACE(i);
        tiles.MakeStale();
        const std::vector<LongRect> toEmpty = Paint(tiles, {T + 1, 0, 1, 1});
        EXPECT_EQ(toEmpty.size(), i == 0 ? 0u : 1u);
    }
    EXPECT_EQ(tiles.TakeStale(), (std::vector<LongRect>{{0, 0, 1, 1}}));
    EXPECT_EQ(tiles.TakeAll(), (std::vector<LongRect>{{T + 1, 0, 1, 1}}));
}

}  // namespace
}  // namespace QV
