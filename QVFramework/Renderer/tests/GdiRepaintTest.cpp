// A whole repaint over earlier frames must leave exactly the pixels the same
// drawing leaves on a fresh surface: the surface empties only what earlier
// drawing reached, and only where this frame's drawing is not opaque.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "GdiTestSupport.h"
#include "LFont.h"
#include "RendererScene.h"

namespace QV::Testing {
namespace {

constexpr int32_t kWidth = 200, kHeight = 120;
using Scene = std::function<void(LRenderer&)>;

RCPtr<LFont> Font(int32_t style, float size = 10)
{
    return LFont::GetFont(u"DejaVu Sans", size, style);
}

// Colour and ink in most places, some of it translucent.
void DrawBusyScene(LRenderer& r)
{
    for (int32_t y = 0; y < kHeight; y += 7)
        for (int32_t x = (y / 7) % 3; x < kWidth; x += 11)
            r.FillRect({x, y, 6, 5}, LColor::FromARGB(0x80000000u | uint32_t(x * 977 + y * 131) % 0xFFFFFFu), true);
    for (int32_t y = -4; y < kHeight; y += 13) r.DrawText(u"Wjg|ÅÖ fader", Font(LFont::kBold, 11), {-3, y}, kBlue);
    r.DrawLine({0, 0}, {kWidth, kHeight}, kRed, 3);
}

// A few things: few enough that a repaint empties them one by one.
void DrawSparseScene(LRenderer& r)
{
    r.DrawText(u"Wjg|ÅÖ", Font(LFont::kBold, 11), {60, 40}, kBlue);
    for (int32_t i = 0; i < 5; ++i) r.FillRect({10 + 37 * i, 90 - 9 * i, 6, 5}, LColor(1, 0, 0, 0.5f), true);
    r.DrawLine({150, 10}, {170, 30}, kRed, 3);
}

// Opaque fills and an opaque bitmap, off the tile grid: a later frame that
// puts opaque drawing over parts of them empties only the rest.
void DrawOpaqueScene(LRenderer& r)
{
    const RCPtr<LBitmap> solid = MakeBitmap(2, 2, {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0});
    for (int32_t i = 0; i < 6; ++i) r.FillRect({3 + 31 * i, 5 + 17 * i, 23, 13}, LColor(0.2f, 0.6f, 0.1f, 1), true);
    r.DrawBitmap(solid, {61, 3, 45, 27}, LRenderer::kResizeStretch);
    r.DrawText(u"Wjg|ÅÖ", Font(LFont::kRegular, 10), {120, 60}, kBlue);
}

class GdiRepaintTest : public ::testing::Test {
protected:
    // A window context and its drawing surface after one frame.
    struct Window {
        RCPtr<LRenderContextInfo> context;
        void Frame(LGDIRenderer& renderer, const Scene& scene, const DoubleRect& dirty)
        {
            context->GetDirtyRegion().Clear();
            context->GetDirtyRegion().AddRect(dirty);
            ASSERT_EQ(renderer.RenderStart(context), S_OK);
            scene(renderer);
            ASSERT_EQ(renderer.RenderFinish(context), S_OK);
        }
        const Platform::Gdip::Surface& Image()
        {
            return dynamic_cast<LGDIRenderContextInfo&>(*context).GetDrawingSurface()->GetBitmap();
        }
    };

    Window MakeWindow()
    {
        Window w;
        (void)renderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, window, false, w.context);
        return w;
    }

    static int32_t Differing(const Platform::Gdip::Surface& a, const Platform::Gdip::Surface& b)
    {
        a.Flush();
        b.Flush();
        int32_t count = 0;
        for (int32_t y = 0; y < kHeight; ++y)
            for (int32_t x = 0; x < kWidth * 4; ++x)
                count += a.GetData()[y * a.GetStride() + x] != b.GetData()[y * b.GetStride() + x];
        return count;
    }

    const DoubleRect kWhole{0, 0, kWidth, kHeight};
    Platform::Gdip::RecordingPresentSink sink;
    Platform::Gdip::ScopedPresentSink sinkScope{sink};
    WindowHandle window = reinterpret_cast<WindowHandle>(0x5A00);
    RCPtr<LGDIRenderer> renderer{new LGDIRenderer()};
};

TEST_F(GdiRepaintTest, AWholeRepaintLeavesWhatAFreshSurfaceWouldHold)
{
    const RCPtr<LBitmap> checker = MakeBitmap(2, 2, {0xFF204080, 0x80F0C020, 0x40F0C020, 0xFF204080});
    const struct {
        const char* name;
        Scene scene;
    } rows[] = {
        {"nothing drawn", [](LRenderer&) {}},
        {"an opaque background, then text",
         [](LRenderer& r) {
             r.FillRect({0, 0, kWidth, kHeight}, LColor(0.9f, 0.9f, 0.9f, 1), true);
             r.DrawText(u"CHAN", Font(LFont::kRegular), {10, 10}, kBlue);
         }},
        {"an opaque background cut by a clip",
         [](LRenderer& r) {
             r.PushClipRect({1, 1, kWidth - 2, kHeight - 2}, {0, 0, kWidth, kHeight}, nullptr, true);
             r.FillRect({-1, -1, kWidth + 2, kHeight + 2}, LColor(0.9f, 0.9f, 0.9f, 1), true);
             r.RestoreState();
         }},
        {"a translucent background", [](LRenderer& r) { r.FillRect({0, 0, kWidth, kHeight}, LColor(0, 1, 0, 0.5f), true); }},
        {"text in every style, some beyond the edges",
         [](LRenderer& r) {
             const int32_t styles[] = {LFont::kRegular, LFont::kBold | LFont::kItalic, LFont::kUnderline,
                                       LFont::kStrikeout};
             for (int32_t i = 0; i < 4; ++i)
                 r.DrawText(u"fjord Wave ÅÉ", Font(styles[i], 9.0f + 3 * i), {-6 + 40 * i, -5 + 30 * i}, kRed);
         }},
        {"wide pens, sharp mitred corners and polygons",
         [](LRenderer& r) {
             r.DrawRect({20, 20, 60, 40}, kBlue, 5);
             r.DrawLine({100, 10}, {190, 100}, kRed, 7);
             const PolylineT<float> spike({{10, 110}, {60, 70}, {12, 108}}, 4);
             r.DrawPolyline(spike, kBlue, {0, 0}, {1, 1}, true);
             const PolylineT<float> star({{0, 0}, {30, 10}, {0, 20}, {15, 5}}, 3);
             r.DrawPolygon(star, kRed, {120, 60}, {2, -1}, false);
             r.FillPolygon(star, kBlue, {150, 80}, {1, 1}, true);
             r.DrawLines(star, kRed, {10, 10}, {1, 1}, true);
         }},
        {"clips, origins, fills with and without blending",
         [](LRenderer& r) {
             r.PushClipRect({30, 20, 50, 40}, {0, 0, 50, 40}, nullptr, true);
             r.FillRect({-10, -10, 100, 100}, kRed, true);
             r.PushOrigin({5, 5});
             r.FillRect({0, 0, 20, 20}, LColor(0, 0, 1, 0.3f), true);
             r.RestoreState();
             r.RestoreState();
             r.FillRect({150, 5, 30, 30}, LColor(0, 0, 0, 0.25f), false);
             ColorRectListT<float> rects;
             rects.Add({0, 0, 10, 10}, 0xFF00FF00);
             rects.Add({5, 5, 10, 10}, 0x8000FF00);
             r.FillRects(rects, {100, 80}, true);
         }},
        {"bitmaps stretched, tiled and centred",
         [&checker](LRenderer& r) {
             r.DrawBitmap(checker, {5, 5, 37, 23}, LRenderer::kResizeStretch);
             r.DrawBitmap(checker, {60, 40, 30, 30}, LRenderer::kResizeTile);
             r.DrawBitmap(checker, {120, 70, 9, 9}, LRenderer::kResizeCenter);
         }},
        {"the earlier frames' texts again, elsewhere",
         [](LRenderer& r) {
             r.DrawText(u"Wjg|ÅÖ", Font(LFont::kBold, 11), {137, 81}, kBlue);
             r.DrawText(u"Wjg|ÅÖ", Font(LFont::kRegular, 10), {-2, 97}, kRed);
             r.DrawText(u"Wjg|ÅÖ fader", Font(LFont::kBold, 11), {41, 3}, kBlue);
         }},
        {"the shared renderer scene", [](LRenderer& r) { DrawRendererScene(r); }},
        {"opaque fills and bitmaps over parts of earlier ones, under a fractional origin",
         [](LRenderer& r) {
             const RCPtr<LBitmap> solid = MakeBitmap(2, 2, {0xFF800000, 0xFF008000, 0xFF000080, 0xFF808080});
             r.FillRect({10, 9, 30, 9}, LColor(1, 1, 0, 1), true);
             r.PushOrigin({0.5, 0.25});
             r.DrawBitmap(solid, {63, 1, 30, 20}, LRenderer::kResizeStretch);
             r.FillRect({100, 40, 17, 40}, LColor(0, 1, 1, 1), true);
             r.RestoreState();
             r.FillRect({118, 58, 40, 8}, LColor(1, 0, 1, 1), true);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Window fresh = MakeWindow();
        fresh.Frame(*renderer, row.scene, kWhole);
        for (const Scene& earlier : {Scene(DrawBusyScene), Scene(DrawSparseScene), Scene(DrawOpaqueScene)}) {
            Window reused = MakeWindow();
            reused.Frame(*renderer, earlier, kWhole);
            reused.Frame(*renderer, [](LRenderer& r) { r.FillRect({150, 100, 50, 20}, kRed, true); },
                         {150, 100, 50, 20});
            reused.Frame(*renderer, row.scene, kWhole);
            EXPECT_EQ(Differing(reused.Image(), fresh.Image()), 0) << "after other frames";
            reused.Frame(*renderer, row.scene, kWhole);
            EXPECT_EQ(Differing(reused.Image(), fresh.Image()), 0) << "the same frame again";
        }
    }
}

// After a frame that drew over most of the image, the next whole repaint
// empties it only once its first drawing shows what that drawing replaces.
TEST_F(GdiRepaintTest, AFrameAfterAFullOneSeesAnEmptyImageWhereItsFirstDrawingDoesNotReach)
{
    const LColor grey(0.9f, 0.9f, 0.9f, 1);
    const struct {
        const char* name;
        Scene scene;
    } rows[] = {
        {"text first", [](LRenderer& r) { r.DrawText(u"CHAN", Font(LFont::kRegular), {10, 10}, kBlue); }},
        {"a translucent background first",
         [](LRenderer& r) { r.FillRect({0, 0, kWidth, kHeight}, LColor(0, 1, 0, 0.5f), true); }},
        {"an opaque fill of a part first",
         [&grey](LRenderer& r) {
             r.FillRect({20, 10, 100, 60}, grey, true);
             r.DrawText(u"CHAN", Font(LFont::kRegular), {150, 90}, kBlue);
         }},
        {"an opaque background a pixel short of each edge",
         [&grey](LRenderer& r) { r.FillRect({1, 1, kWidth - 2, kHeight - 2}, grey, true); }},
        {"an opaque background under a fractional origin",
         [&grey](LRenderer& r) {
             r.PushOrigin({0.5, 0});
             r.FillRect({0, 0, kWidth, kHeight}, grey, true);
             r.RestoreState();
         }},
        {"an opaque background, then text",
         [&grey](LRenderer& r) {
             r.FillRect({0, 0, kWidth, kHeight}, grey, true);
             r.DrawText(u"CHAN", Font(LFont::kRegular), {10, 10}, kBlue);
         }},
        {"a fill without blending beyond the image",
         [](LRenderer& r) { r.FillRect({-5, -5, kWidth + 10, kHeight + 10}, LColor(0, 0, 1, 0.25f), false); }},
    };
    const Scene full = [](LRenderer& r) {
        r.FillRect({0, 0, kWidth, kHeight}, LColor(1, 0, 0, 1), true);
        DrawBusyScene(r);
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Window fresh = MakeWindow();
        fresh.Frame(*renderer, row.scene, kWhole);
        Window reused = MakeWindow();
        reused.Frame(*renderer, full, kWhole);
        reused.Frame(*renderer, row.scene, kWhole);
        EXPECT_EQ(Differing(reused.Image(), fresh.Image()), 0);
        reused.Frame(*renderer, full, kWhole);
        reused.Frame(*renderer, full, kWhole);
        reused.Frame(*renderer, row.scene, kWhole);
        EXPECT_EQ(Differing(reused.Image(), fresh.Image()), 0) << "after two full frames";
    }
}

TEST_F(GdiRepaintTest, AnOffscreenImageCopiedDuringItsWholeRepaintIsAlreadyEmpty)
{
    RCPtr<LRenderContextInfo> offscreen;
    (void)renderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, nullptr, true, offscreen);
    offscreen->GetDirtyRegion().AddRect(kWhole);
    ASSERT_EQ(renderer->RenderStart(offscreen), S_OK);
    DrawBusyScene(*renderer);
    ASSERT_EQ(renderer->RenderFinish(offscreen), S_OK);

    Window target = MakeWindow();
    target.Frame(
        *renderer,
        [&](LRenderer& r) {
            // The offscreen image's repaint begins, then it is drawn before any drawing reaches it.
            ASSERT_EQ(r.RenderStart(offscreen), S_OK);
            EXPECT_EQ(r.DrawSurface(offscreen, {0, 0}), S_OK);
            ASSERT_EQ(r.RenderFinish(offscreen), S_OK);
            EXPECT_EQ(r.DrawBitmapRect(offscreen, {0, 0}, {0, 0, kWidth, kHeight}), S_OK);
        },
        kWhole);
    Window fresh = MakeWindow();
    fresh.Frame(*renderer, [](LRenderer&) {}, kWhole);
    EXPECT_EQ(Differing(target.Image(), fresh.Image()), 0);
}

}  // namespace
}  // namespace QV::Testing
