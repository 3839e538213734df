#include "Font.h"

#include <gtest/gtest.h>

#include "Graphics.h"
#include "Surface.h"

namespace Platform::Gdip {
namespace {

TEST(FontTest, DesignMetricsComeFromTheFace)
{
    const Font font("DejaVu Sans", 16, FontStyleRegular);
    ASSERT_TRUE(font.IsValid());
    const FontDesignMetrics& m = font.GetDesignMetrics();
    EXPECT_EQ(m.emHeight, 2048);
    EXPECT_GT(m.cellAscent, m.emHeight / 2);
    EXPECT_GT(m.cellDescent, 0);
    EXPECT_GE(m.lineSpacing, m.cellAscent + m.cellDescent);
    EXPECT_NEAR(font.GetHeight(), 16.0f * m.lineSpacing / 2048, 1e-4);
}

TEST(FontTest, FacesAreFoundWithoutRegardToCaseAndUnknownFamiliesFallBack)
{
    const Font exact("Liberation Sans", 12, FontStyleBold);
    const Font folded("LIBERATION sans", 12, FontStyleBold);
    const Font unknown("No Such Family Anywhere", 12, FontStyleRegular);
    ASSERT_TRUE(exact.IsValid());
    EXPECT_EQ(exact.GetDesignMetrics().emHeight, folded.GetDesignMetrics().emHeight);
    EXPECT_FLOAT_EQ(exact.MeasureString("Tarsel"), folded.MeasureString("Tarsel"));
    EXPECT_TRUE(unknown.IsValid());
    EXPECT_FALSE(Font("DejaVu Sans", 0, 0).IsValid());
}

TEST(FontTest, MeasuringCountsTrailingSpacesScalesWithSizeAndRepeats)
{
    const Font font("DejaVu Sans", 20, FontStyleRegular);
    const Font twice("DejaVu Sans", 40, FontStyleRegular);
    const float word = font.MeasureString("Zone");
    EXPECT_EQ(font.MeasureString(""), 0.0f);
    EXPECT_GT(word, 20.0f);
    EXPECT_GT(font.MeasureString("Zone  "), word + 8.0f);
    EXPECT_FLOAT_EQ(font.MeasureString("Zone"), word);
    EXPECT_NEAR(twice.MeasureString("Zone"), 2 * word, 0.01);
}

// Rows of s holding any dark pixel.
std::vector<int> InkRows(const Surface& s)
{
    std::vector<int> rows;
    for (int y = 0; y < s.GetHeight(); ++y)
        for (int x = 0; x < s.GetWidth(); ++x)
            if ((s.GetPixel(x, y) >> 24) > 0x80) {
                rows.push_back(y);
                break;
            }
    return rows;
}

TEST(FontTest, TextSitsOnItsBaselineAndTheLayerDrawsUnderlineAndStrikeout)
{
    const struct {
        int32_t style;
        bool belowBaseline;
    } rows[] = {{FontStyleRegular, false}, {FontStyleUnderline, true}, {FontStyleStrikeout, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.style);
        Surface s(80, 40);
        Graphics g(s);
        const Font font("DejaVu Sans", 20, row.style);
        g.DrawString("ace", font, {2, 5}, 0xFF000000);  // no descenders
        const int baseline = 5 + static_cast<int>(font.ToPixels(font.GetDesignMetrics().cellAscent));
        const std::vector<int> ink = InkRows(s);
        ASSERT_FALSE(ink.empty());
        EXPECT_GE(ink.front(), 5);
        EXPECT_EQ(ink.back() > baseline, row.belowBaseline);
        if (row.style == FontStyleStrikeout) {
            // The strike line crosses the gap between 'a' and 'c' at mid-height.
            const int mid = baseline - static_cast<int>(font.ToPixels(font.GetDesignMetrics().strikeoutPosition));
            int inked = 0;
            for (int x = 2; x < 2 + static_cast<int>(font.MeasureString("ace")); ++x)
                inked += (s.GetPixel(x, mid) >> 24) > 0x80;
            EXPECT_GE(inked, static_cast<int>(font.MeasureString("ace")) - 2);
        }
    }
}

}  // namespace
}  // namespace Platform::Gdip
