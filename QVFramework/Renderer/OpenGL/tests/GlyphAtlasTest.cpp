#include "GlyphAtlas.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace QV;

RCPtr<LPixelBuffer<uint8_t>> Glyph(int32_t width, int32_t height, uint8_t value = 200)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(width) * height, value);
    return LPixelBuffer<uint8_t>::Create(width, height, width, bytes.data());
}

struct Cell {
    int32_t x, y, width, height;  // the glyph with its border
    bool Overlaps(const Cell& o) const
    {
        return x < o.x + o.width && o.x < x + width && y < o.y + o.height && o.y < y + height;
    }
};

TEST(GlyphAtlasTest, FirstGlyphLandsInsideItsBorder)
{
    GlyphAtlas atlas(12);
    ASSERT_TRUE(atlas.GetPixels());
    EXPECT_EQ(atlas.GetPixels()->GetWidth(), 512);
    EXPECT_EQ(atlas.GetPixels()->GetHeight(), 16);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(atlas.AddGlyph(Glyph(10, 12).Get(), x, y));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 1);
    EXPECT_EQ(atlas.GetCursorX(), 12);
    const LPixelBuffer<uint8_t>& pixels = *atlas.GetPixels();
    EXPECT_EQ(*pixels.GetPixelAddress(1, 1), 200);
    EXPECT_EQ(*pixels.GetPixelAddress(10, 12), 200);
    EXPECT_EQ(*pixels.GetPixelAddress(0, 0), 0);    // border
    EXPECT_EQ(*pixels.GetPixelAddress(11, 13), 0);  // border
}

TEST(GlyphAtlasTest, RowsBreakWithoutOverlapAndTheAtlasGrowsByPowersOfTwo)
{
    // Short cells, then a tall one that breaks the row, then more rows: the
    // row after the tall cell must start below it.
    const std::vector<std::pair<int32_t, int32_t>> sizes = {{100, 5}, {100, 5}, {100, 5}, {100, 5}, {100, 5}, {100, 30},
                                                            {100, 4}, {300, 4}, {200, 8}, {50, 3},  {510, 2}};
    GlyphAtlas atlas(8);
    std::vector<Cell> cells;
    for (const auto& [w, h] : sizes) {
        int32_t x = 0, y = 0;
        ASSERT_TRUE(atlas.AddGlyph(Glyph(w, h).Get(), x, y));
        const Cell cell{x - 1, y - 1, w + 2, h + 2};
        EXPECT_LE(cell.x + cell.width, 512);
        EXPECT_LE(cell.y + cell.height, atlas.GetPixels()->GetHeight());
        for (const Cell& other : cells) EXPECT_FALSE(cell.Overlaps(other)) << cells.size();
        cells.push_back(cell);
    }
    EXPECT_EQ(cells[5].x, 0);                // 5 x 102 = 510: the sixth would reach 512
    EXPECT_EQ(cells[5].y, 8);                // below the first row, as tall as the atlas was made
    EXPECT_EQ(cells[8].y, cells[5].y + 32);  // below the tall cell that broke its row
    const int32_t height = atlas.GetPixels()->GetHeight();
    EXPECT_EQ(height & (height - 1), 0);
}

TEST(GlyphAtlasTest, GlyphWiderThanTheAtlasIsRefusedAndEmptyGlyphsTakeABorderOnly)
{
    GlyphAtlas atlas(12);
    int32_t x = -1, y = -1;
    EXPECT_FALSE(atlas.AddGlyph(Glyph(511, 3).Get(), x, y));
    EXPECT_EQ(atlas.GetCursorX(), 0);
    EXPECT_TRUE(atlas.AddGlyph(Glyph(510, 3).Get(), x, y));  // exactly the atlas width with its border

    GlyphAtlas other(12);
    ASSERT_TRUE(other.AddGlyph(nullptr, x, y));  // a blank glyph (a space)
    EXPECT_EQ(other.GetCursorX(), 2);
}

TEST(GlyphAtlasTest, CopyIsClippedToTheAtlas)
{
    GlyphAtlas atlas(4);
    const int32_t bottom = atlas.GetPixels()->GetHeight();
    atlas.CopyGlyph(*Glyph(20, 20, 7), 500, bottom - 2);
    EXPECT_EQ(*atlas.GetPixels()->GetPixelAddress(511, bottom - 1), 7);
    EXPECT_EQ(atlas.GetPixels()->GetPixelAddress(0, bottom), nullptr);
}

}  // namespace
