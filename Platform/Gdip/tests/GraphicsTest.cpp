#include "Graphics.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdlib>

#include "Surface.h"

namespace Platform::Gdip {
namespace {

constexpr Argb kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

bool Near(Argb a, Argb b, int tolerance = 1)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// Which pixels of a surface hold a colour, as rows of '#' and '.'.
std::string Mask(const Surface& s, Argb colour)
{
    std::string out;
    for (int y = 0; y < s.GetHeight(); ++y) {
        for (int x = 0; x < s.GetWidth(); ++x) out += Near(s.GetPixel(x, y), colour, 2) ? '#' : '.';
        out += '\n';
    }
    return out;
}

class GraphicsTest : public ::testing::Test {
protected:
    Surface surface{6, 5};
    Graphics g{surface};
};

TEST_F(GraphicsTest, SurfaceIsAtLeastOnePixelAndReadsOutsideAsTransparent)
{
    Surface tiny(0, -3);
    EXPECT_EQ(tiny.GetWidth(), 1);
    EXPECT_EQ(tiny.GetHeight(), 1);
    EXPECT_EQ(surface.GetPixel(-1, 0), 0u);
    EXPECT_EQ(surface.GetPixel(6, 0), 0u);
}

TEST_F(GraphicsTest, PngFilesKeepStraightColour)
{
    surface.FillNoBlend({0, 0, 6, 5}, 0x80336699);
    surface.FillNoBlend({5, 4, 1, 1}, 0xFF00FF00);
    const std::string path = ::testing::TempDir() + "/gdip-roundtrip.png";
    ASSERT_TRUE(surface.WritePng(path));
    const std::unique_ptr<Surface> back = Surface::ReadPng(path);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetWidth(), 6);
    EXPECT_TRUE(Near(back->GetPixel(0, 0), 0x80336699, 2)) << std::hex << back->GetPixel(0, 0);
    EXPECT_EQ(back->GetPixel(5, 4), 0xFF00FF00u);
    EXPECT_EQ(Surface::ReadPng(path + ".missing"), nullptr);
}

TEST_F(GraphicsTest, FillNoBlendReplacesPixelsClippedToTheImage)
{
    g.FillRectangle({0, 0, 6, 5}, kRed);
    g.Flush();
    surface.FillNoBlend({-100, 3, 103, 1000}, 0x80204060);
    surface.FillNoBlend({INT32_MAX - 1, 0, 10, 10}, kBlue);  // far outside: nothing, no wrap
    EXPECT_EQ(Mask(surface, kRed), "######\n######\n######\n...###\n...###\n");
    EXPECT_TRUE(Near(surface.GetPixel(1, 4), 0x80204060, 2)) << std::hex << surface.GetPixel(1, 4);
}

TEST(SurfaceTest, ImagesSmallAndWindowSizedStartClearDrawAndEmptyAreas)
{
    const struct {
        const char* name;
        int32_t width, height;
    } rows[] = {
        {"small", 6, 5},
        {"window-sized, pages of its own", 1300, 1000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Surface image(row.width, row.height);
        ASSERT_TRUE(image.IsValid());
        const int32_t right = row.width - 1, bottom = row.height - 1;
        EXPECT_EQ(image.GetPixel(0, 0), 0u);
        EXPECT_EQ(image.GetPixel(right, bottom), 0u);
        EXPECT_FALSE(image.IsOpaque());
        image.FillNoBlend({0, 0, row.width, row.height}, kRed);
        EXPECT_TRUE(image.IsOpaque());
        {
            Graphics g(image);
            g.FillRectangle({0, 0, 1, 1}, kBlue);
        }
        EXPECT_EQ(image.GetPixel(0, 0), kBlue);
        // Areas partly outside the image are cut to it; the rest is kept.
        const RectI areas[] = {{-3, -3, 5, 4}, {right, bottom, 10, 10}};
        image.Clear(areas);
        EXPECT_EQ(image.GetPixel(0, 0), 0u);
        EXPECT_EQ(image.GetPixel(1, 0), 0u);
        EXPECT_EQ(image.GetPixel(2, 0), kRed);
        EXPECT_EQ(image.GetPixel(0, 1), kRed);
        EXPECT_EQ(image.GetPixel(right, bottom), 0u);
        EXPECT_EQ(image.GetPixel(right - 1, bottom), kRed);
        EXPECT_FALSE(image.IsOpaque());
    }
    Surface tooWide(40000, 200);
    EXPECT_FALSE(tooWide.IsValid());
    EXPECT_FALSE(tooWide.IsOpaque());
}

TEST_F(GraphicsTest, FillsCoverWholePixelsAndBlendStraightColour)
{
    g.FillRectangle({1, 1, 3, 2}, kRed);
    g.FillRectangle({2, 2, 3, 2}, 0x800000FF);
    EXPECT_EQ(Mask(surface, kRed), "......\n.###..\n.#....\n......\n......\n");
    EXPECT_TRUE(Near(surface.GetPixel(2, 2), 0xFF7F0080, 2)) << std::hex << surface.GetPixel(2, 2);
    EXPECT_TRUE(Near(surface.GetPixel(4, 3), 0x800000FF, 2)) << std::hex << surface.GetPixel(4, 3);
}

TEST_F(GraphicsTest, PensRunThroughPixelCentresAndAreNeverThinnerThanOnePixel)
{
    g.DrawLine({0, 1}, {6, 1}, kRed, 0.2f);
    g.DrawRectangle({1, 2, 3, 2}, kBlue, 1.0f);
    EXPECT_EQ(Mask(surface, kRed), "......\n######\n......\n......\n......\n");
    EXPECT_EQ(Mask(surface, kBlue), "......\n......\n.####.\n.#..#.\n.####.\n");
}

TEST_F(GraphicsTest, TranslationAndClipApplyToDrawing)
{
    g.TranslateTransform(2, 1);
    g.SetClip({0, 0, 2, 2});  // device {2, 1, 2, 2}
    g.FillRectangle({-5, -5, 20, 20}, kRed);
    g.ResetTransform();
    g.ResetClip();
    g.FillRectangle({0, 4, 1, 1}, kBlue);
    EXPECT_EQ(Mask(surface, kRed), "......\n..##..\n..##..\n......\n......\n");
    EXPECT_EQ(Mask(surface, kBlue), "......\n......\n......\n......\n#.....\n");
}

TEST_F(GraphicsTest, PathsFillEvenOddAndStrokeEachFigure)
{
    GraphicsPath ring;
    ring.AddPolygon(std::vector<PointF>{{0, 0}, {5, 0}, {5, 5}, {0, 5}});
    ring.AddPolygon(std::vector<PointF>{{1, 1}, {4, 1}, {4, 4}, {1, 4}});
    g.FillPath(ring, kRed);
    EXPECT_EQ(Mask(surface, kRed), "#####.\n#...#.\n#...#.\n#...#.\n#####.\n");

    Surface lines(6, 5);
    Graphics lg(lines);
    GraphicsPath two;
    two.AddLine({0, 0}, {5, 0});
    two.AddLine({0, 3}, {2, 3});
    lg.DrawPath(two.Scaled(1, 1), kBlue, 1);
    EXPECT_EQ(Mask(lines, kBlue), "######\n......\n......\n###...\n......\n");
}

TEST_F(GraphicsTest, SourceCopyReplacesInsteadOfBlending)
{
    g.FillRectangle({0, 0, 6, 5}, kRed);
    g.SetCompositingMode(CompositingMode::SourceCopy);
    g.FillRectangle({0, 0, 1, 1}, 0x00000000);
    EXPECT_EQ(surface.GetPixel(0, 0), 0u);
    EXPECT_EQ(surface.GetPixel(1, 0), kRed);
}

// A 2 x 2 image: red, blue / white, transparent.
class ImageTest : public GraphicsTest {
protected:
    Surface image{2, 2};
    void SetUp() override
    {
        image.FillNoBlend({0, 0, 1, 1}, kRed);
        image.FillNoBlend({1, 0, 1, 1}, kBlue);
        image.FillNoBlend({0, 1, 1, 1}, kWhite);
    }
};

TEST_F(ImageTest, ImagesDrawScaledWithNearestNeighbourAndOpacity)
{
    g.DrawImage(image, {0, 0, 2, 2}, {0, 0, 4, 4});
    EXPECT_EQ(Mask(surface, kRed), "##....\n##....\n......\n......\n......\n");
    EXPECT_EQ(Mask(surface, kWhite), "......\n......\n##....\n##....\n......\n");
    EXPECT_EQ(surface.GetPixel(3, 3), 0u);

    Surface faded(2, 1);
    Graphics fg(faded);
    fg.DrawImage(image, {1, 0, 1, 1}, {0, 0, 1, 1}, 0.5f);
    EXPECT_TRUE(Near(faded.GetPixel(0, 0), 0x800000FF, 2)) << std::hex << faded.GetPixel(0, 0);
    EXPECT_EQ(faded.GetPixel(1, 0), 0u);
}

TEST_F(ImageTest, TextureRepeatsTheSourceAreaFromTheDestinationCorner)
{
    g.FillWithTexture(image.GetCairoSurface(), {0, 0, 2, 1}, {1, 1, 5, 2});
    EXPECT_EQ(Mask(surface, kRed), "......\n.#.#.#\n.#.#.#\n......\n......\n");
    EXPECT_EQ(Mask(surface, kBlue), "......\n..#.#.\n..#.#.\n......\n......\n");
}

TEST_F(ImageTest, EmptyAreasDrawNothing)
{
    g.DrawImage(image, {0, 0, 0, 2}, {0, 0, 4, 4});
    g.DrawImage(image, {0, 0, 2, 2}, {0, 0, 0, 4});
    g.FillWithTexture(image.GetCairoSurface(), {0, 0, 0, 1}, {0, 0, 5, 5});
    g.FillWithTexture(nullptr, {0, 0, 1, 1}, {0, 0, 5, 5});
    EXPECT_EQ(Mask(surface, 0), "######\n######\n######\n######\n######\n");
}

}  // namespace
}  // namespace Platform::Gdip
