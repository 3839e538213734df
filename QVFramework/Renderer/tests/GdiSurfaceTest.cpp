#include "LGDIRenderContextInfo.h"

#include <gtest/gtest.h>

#include "GdiTestSupport.h"

namespace QV::Testing {
namespace {

TEST(GdiSurfaceTest, SurfacesAreAtLeastOnePixelAndTheContextAllows4096)
{
    RCPtr<LGDIRenderContextInfo> context(new LGDIRenderContextInfo({0, 0, 0, -4}, nullptr, true));
    EXPECT_EQ(context->GetDrawingSurface()->GetSize(), LongSize(1, 1));
    EXPECT_EQ(context->GetSpareSurface()->GetSize(), LongSize(1, 1));
    EXPECT_EQ(context->GetMaximumSurfaceSize(), LongSize(4096, 4096));
    context->GetDrawingSurface()->SetSize({3, 0});
    EXPECT_EQ(context->GetDrawingSurface()->GetSize(), LongSize(3, 1));
}

class GdiFrameTest : public GdiRendererFixture {
protected:
    GdiFrameTest() : GdiRendererFixture({0, 0, 8, 6}, false) {}

    // Draws a red pixel at (0, 0) in a frame whose dirty region is `dirty`.
    void PaintMarker(std::initializer_list<DoubleRect> dirty)
    {
        for (const DoubleRect& r : dirty) context->GetDirtyRegion().AddRect(r);
        Start();
        renderer->FillRect({0, 0, 1, 1}, kRed, true);
        Finish();
        context->GetDirtyRegion().Clear();
    }
};

TEST_F(GdiFrameTest, SurfacesAreRebuiltOnlyForANewSizeOrAWholeViewportRepaint)
{
    const struct {
        const char* name;
        std::vector<DoubleRect> dirty;
        LongRect viewport;
        bool rebuilt;
    } rows[] = {
        {"partial repaint", {{2, 2, 3, 3}}, {0, 0, 8, 6}, false},
        {"two rectangles covering the viewport", {{0, 0, 4, 6}, {4, 0, 4, 6}}, {0, 0, 8, 6}, false},
        {"one rectangle equal to the viewport", {{0, 0, 8, 6}}, {0, 0, 8, 6}, true},
        {"window resized", {{2, 2, 3, 3}}, {0, 0, 9, 6}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        context->SetViewport({0, 0, 8, 6});
        PaintMarker({{0, 0, 1, 1}});
        ASSERT_EQ(Pixel(0, 0), kRedArgb);
        context->SetViewport(row.viewport);
        for (const DoubleRect& r : row.dirty) context->GetDirtyRegion().AddRect(r);
        Start();
        Finish();
        context->GetDirtyRegion().Clear();
        EXPECT_EQ(Pixel(0, 0) == 0u, row.rebuilt);
        EXPECT_EQ(Gdi().GetDrawingSurface()->GetSize(), LongSize(row.viewport.width, row.viewport.height));
    }
}

TEST_F(GdiFrameTest, AWindowContextPresentsExactlyItsDirtyRectanglesFromTheLast)
{
    context->GetDirtyRegion().AddRect(DoubleRect{1, 1, 2, 2});
    context->GetDirtyRegion().AddRect(DoubleRect{5, 0, 3, 1});
    std::vector<LongRect> rects;
    context->GetDirtyRegion().GetRects(rects);
    Start();
    EXPECT_TRUE(sink.calls.empty());
    Finish();
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.calls[0].window, window);
    ASSERT_EQ(sink.calls[0].rects.size(), rects.size());
    for (size_t i = 0; i < rects.size(); ++i) {
        const LongRect& r = rects[rects.size() - 1 - i];
        EXPECT_EQ(sink.calls[0].rects[i], (Platform::Gdip::RectI{r.x, r.y, r.width, r.height}));
    }
    EXPECT_EQ(context->GetDirtyRegion().GetCount(), 2);  // the window's code empties it
}

TEST_F(GdiRendererFixture, AnOffscreenContextPresentsNothing)
{
    context->GetDirtyRegion().AddRect(DoubleRect{0, 0, 2, 2});
    Start();
    renderer->FillRect({0, 0, 2, 2}, kRed, true);
    Finish();
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_EQ(Pixel(1, 1), kRedArgb);
}

TEST_F(GdiRendererFixture, AfterASwapTheRendererDrawsOnTheFormerSpareSurface)
{
    const RCPtr<LGDIRendererOffscreenSurface> spare = Gdi().GetSpareSurface();
    Gdi().SwapSurfaces();
    EXPECT_EQ(Gdi().GetDrawingSurface().Get(), spare.Get());
    Start();
    renderer->FillRect({0, 0, 1, 1}, kBlue, true);
    Finish();
    EXPECT_EQ(spare->GetBitmap().GetPixel(0, 0), kBlueArgb);
    EXPECT_EQ(Gdi().GetSpareSurface()->GetBitmap().GetPixel(0, 0), 0u);
}

}  // namespace
}  // namespace QV::Testing
