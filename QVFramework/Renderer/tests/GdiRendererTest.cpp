#include "LGDIRenderer.h"

#include <gtest/gtest.h>

#include <functional>

#include "GdiTestSupport.h"
#include "LD3D9Renderer.h"
#include "LFont.h"

namespace QV::Testing {
namespace {

template <class F>
std::string ErrorOf(F&& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no error";
}

TEST(RendererCreateTest, EachKindMakesItsRendererAndOthersRaiseTheDomainError)
{
    const std::string domain = "Domain Error : QV::LRenderer::Create : Renderer/Renderer : Line 116";
    const struct {
        int32_t kind;
        int32_t type;  // -1: raises
    } rows[] = {{1, 1}, {2, 2}, {3, -1}, {-1, -1}};  // kind 0 needs a GL window: GLRendererTest
    for (const auto& row : rows) {
        SCOPED_TRACE(row.kind);
        if (row.type < 0) {
            EXPECT_EQ(ErrorOf([&] { LRenderer::Create(row.kind, {0, 0, 10, 10}, nullptr); }), domain);
            continue;
        }
        RCPtr<LRenderer> renderer = LRenderer::Create(row.kind, {0, 0, 10, 10}, nullptr);
        ASSERT_NE(renderer, nullptr);
        EXPECT_EQ(renderer->GetRendererType(), row.type);
    }
    EXPECT_NE(dynamic_cast<LGDIRenderer*>(LRenderer::Create(1, {}, nullptr).Get()), nullptr);
}

TEST_F(GdiRendererFixture, WithoutAContextNothingIsDrawnAndDrawBitmapRaises)
{
    const PolylineT<float> line({{0, 0}, {5, 0}});
    renderer->FillRect({0, 0, 8, 6}, kRed, false);
    renderer->FillRect({0, 0, 8, 6}, kRed, true);
    renderer->DrawText(u"x", LFont::GetFont(u"DejaVu Sans", 10, 0), {0, 0}, kRed);
    renderer->DrawLines(line, kRed, {0, 0}, {1, 1}, true);
    EXPECT_EQ(renderer->DrawBitmapRect(context, {0, 0}, {0, 0, 1, 1}), E_FAIL);
    EXPECT_EQ(Mask(0), "########\n########\n########\n########\n########\n########\n");
    EXPECT_EQ(ErrorOf([&] {
                  renderer->DrawBitmap(MakeBitmap(1, 1, {kRedArgb}), {0, 0, 1, 1}, 0);
              }),
              "Runtime Error : QV::LGDIRenderer::DrawBitmap : Renderer/Gdi/GDIRenderer : Line 562");
}

TEST_F(GdiRendererFixture, FillsFollowOriginAndClipButAFillWithoutBlendingTakesSurfacePixels)
{
    Start();
    renderer->SaveState();
    // The clip is given in the parent's coordinates and meets the bounds.
    renderer->PushClipRect({2, 1, 4, 3}, {0, 0, 5, 3}, nullptr, true);
    renderer->FillRect({-10, -10, 50, 50}, kRed, true);
    renderer->FillRect({5, -1, 100, 2}, {0, 0, 1, 0.5f}, false);  // window pixels, clipped to the image
    renderer->RestoreState();
    renderer->RestoreState();
    renderer->DrawFilledRect({0, 4, 3, 2}, kBlue, LColor(), 1);
    Finish();
    EXPECT_EQ(Mask(kRedArgb), "........\n..###...\n..###...\n........\n........\n........\n");
    EXPECT_EQ(Mask(0x800000FF), ".....###\n........\n........\n........\n........\n........\n");
    EXPECT_EQ(Mask(kBlueArgb), "........\n........\n........\n........\n###.....\n###.....\n");
}

TEST_F(GdiRendererFixture, OpacityIsMultipliedIntoFillsTextAndBitmaps)
{
    const RCPtr<LBitmap> blue = MakeBitmap(2, 2, {kBlueArgb, kBlueArgb, kBlueArgb, kBlueArgb});
    const struct {
        const char* name;
        std::function<void()> draw;
        int32_t x, y;
    } rows[] = {
        {"fill",
         [&] {
             renderer->FillRect({0, 0, 8, 6}, kBlue, true);
         },
         3, 3},
        {"rectangle outline",
         [&] {
             renderer->DrawRect({1, 1, 4, 4}, kBlue, 1);
         },
         1, 1},
        {"line",
         [&] {
             renderer->DrawLine({0, 2}, {7, 2}, kBlue, 1);
         },
         3, 2},
        {"bitmap",
         [&] {
             renderer->DrawBitmap(blue, {1, 1, 4, 4}, 0);
         },
         2, 2},
        {"text",
         [&] {
             renderer->DrawText(u"\u2588", LFont::GetFont(u"DejaVu Sans", 12, 0), {0, 0}, kBlue);
         },
         3, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        context->GetState().opacity = 0.5f;
        Start();
        Gdi().GetDrawingSurface()->GetBitmap().Clear();
        row.draw();
        Finish();
        EXPECT_TRUE(Near(Pixel(row.x, row.y), 0x800000FF, 3)) << std::hex << Pixel(row.x, row.y);
    }
}

TEST_F(GdiRendererFixture, FillRectsScalesOffsetsAndDrawsTheFirstRectangleLast)
{
    ColorRectListT<float> list;
    list.Add({0, 0, 1, 1}, kRedArgb);
    list.Add({0, 0, 2, 1}, kBlueArgb);
    list.SetScale(2, 1.5f);
    Start();
    renderer->FillRects(list, {1, 1}, true);
    renderer->FillRect({0, 0, 1, 1}, kRed, true);  // the offset is taken back afterwards
    Finish();
    EXPECT_EQ(Mask(kRedArgb), "#.......\n.##.....\n.##.....\n........\n........\n........\n");
    EXPECT_EQ(Mask(kBlueArgb), "........\n...##...\n...##...\n........\n........\n........\n");
}

// A 2 x 1 bitmap: red, blue.
class GdiBitmapTest : public GdiRendererFixture {
protected:
    GdiBitmapTest() : GdiRendererFixture({0, 0, 12, 4}) {}
    int32_t CachedCount()
    {
        int32_t count = 0;
        for (int32_t i = 0; i < renderer->GetBitmapCache().GetCapacity(); ++i)
            count += !renderer->GetBitmapCache().GetEntryAt(i).IsEmpty();
        return count;
    }
    RCPtr<LBitmap> pair = MakeBitmap(2, 1, {kRedArgb, kBlueArgb});
};

TEST_F(GdiBitmapTest, ResizeTypesStretchTileAndCentre)
{
    const struct {
        const char* name;
        RCPtr<LBitmap> bitmap;
        LongRect destination;
        int32_t type;
        const char* red;
    } rows[] = {
        {"same size, any type", pair, {1, 0, 2, 1}, 7, ".#..........\n............\n............\n............\n"},
        {"stretch", pair, {0, 0, 6, 2}, 0, "##..........\n##..........\n............\n............\n"},
        {"tile below 3x", pair, {0, 0, 5, 2}, 1, "#.#.#.......\n#.#.#.......\n............\n............\n"},
        {"tile at 3x and above", pair, {0, 0, 12, 4}, 1, "#.#.#.#.#.#.\n#.#.#.#.#.#.\n#.#.#.#.#.#.\n#.#.#.#.#.#.\n"},
        {"centre", pair, {0, 0, 6, 3}, 2, "............\n..#.........\n............\n............\n"},
        {"sub-bitmap, no bleeding from its neighbour",
         pair->CreateSubBitmap(1, 0, 1, 1),
         {0, 0, 3, 1},
         0,
         "............\n............\n............\n............\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Start();
        Gdi().GetDrawingSurface()->GetBitmap().Clear();
        renderer->DrawBitmap(row.bitmap, row.destination, row.type);
        Finish();
        EXPECT_EQ(Mask(kRedArgb), row.red);
    }
    EXPECT_EQ(Mask(kBlueArgb), "###.........\n............\n............\n............\n");
}

TEST_F(GdiBitmapTest, BadTypeRaisesAndEmptyInputsDrawNothing)
{
    Start();
    EXPECT_EQ(ErrorOf([&] {
                  renderer->DrawBitmap(pair, {0, 0, 4, 2}, 3);
              }),
              "Invalid Argument : Invalid ResizeType passed to DrawBitmap. : QV::LGDIRenderer::DrawBitmap : "
              "Renderer/Gdi/GDIRenderer : Line 553");
    const RCPtr<LBitmap> unloaded(new LBitmap(u"/no/such/file.png", u""));
    renderer->DrawBitmap(nullptr, {0, 0, 4, 2}, 0);
    renderer->DrawBitmap(unloaded, {0, 0, 4, 2}, 0);
    renderer->DrawBitmap(pair, {0, 0, 0, 2}, 1);
    renderer->DrawBitmap(pair, {0, 0, 4, -2}, 1);
    renderer->DrawBitmap(pair->CreateSubBitmap(5, 0, 1, 1), {0, 0, 12, 4}, 1);  // outside its image
    Finish();
    EXPECT_EQ(Mask(0), "############\n############\n############\n############\n");
}

TEST_F(GdiBitmapTest, EachSizeIsRenderedOnceAndTheLeastRecentlyUsedGoesFirst)
{
    Start();
    renderer->DrawBitmap(pair, {0, 0, 4, 2}, 0);
    renderer->DrawBitmap(pair, {0, 0, 6, 2}, 0);
    renderer->DrawBitmap(pair, {0, 0, 4, 2}, 0);
    EXPECT_EQ(CachedCount(), 2);
    EXPECT_EQ(renderer->GetBitmapCache().GetUseCounter(), 3u);

    // 254 more keys fill the cache; the 257th evicts the 4 x 2 entry, which
    // was used less recently than the 6 x 2 one.
    renderer->DrawBitmap(pair, {0, 0, 6, 2}, 0);
    std::vector<RCPtr<LBitmap>> others;
    for (int i = 0; i < 254; ++i) {
        others.push_back(MakeBitmap(1, 1, {kGreenArgb}));
        renderer->DrawBitmap(others.back(), {0, 0, 1, 1}, 0);
    }
    EXPECT_EQ(CachedCount(), 256);
    const LGDIRenderer::BitmapKey first{pair.Get(), 0, 4, 2}, second{pair.Get(), 0, 6, 2};
    auto has = [&](const LGDIRenderer::BitmapKey& key) {
        for (int32_t i = 0; i < 256; ++i)
            if (!renderer->GetBitmapCache().GetEntryAt(i).IsEmpty() &&
                renderer->GetBitmapCache().GetEntryAt(i).GetKey() == key)
                return true;
        return false;
    };
    others.push_back(MakeBitmap(1, 1, {kGreenArgb}));
    renderer->DrawBitmap(others.back(), {0, 0, 1, 1}, 0);
    EXPECT_FALSE(has(first));
    EXPECT_TRUE(has(second));
    Finish();
}

TEST_F(GdiBitmapTest, UnusedBitmapsArePurgedOnlyAfterTheFullPeriod)
{
    auto frame = [&](uint32_t advanceMs, std::function<void()> draw) {
        clock.Advance(advanceMs);
        Start();
        if (draw) draw();
        Finish();
    };
    frame(0, [&] { renderer->DrawBitmap(pair, {0, 0, 4, 2}, 0); });
    frame(LGDIRenderer::kPurgePeriodMs + 1, nullptr);  // first purge: everything was used since start
    EXPECT_EQ(CachedCount(), 1);
    frame(LGDIRenderer::kPurgePeriodMs, nullptr);  // exactly one period later: not yet
    EXPECT_EQ(CachedCount(), 1);
    frame(1, [&] { renderer->DrawBitmap(pair, {0, 0, 6, 2}, 0); });  // the 4 x 2 goes, the new one stays
    EXPECT_EQ(CachedCount(), 1);
    EXPECT_EQ(pair->GetRefCount(), 2);  // the dropped rendering let its bitmap go
}

class GdiPathTest : public GdiRendererFixture {
protected:
    int32_t CachedPaths()
    {
        int32_t count = 0;
        for (int32_t i = 0; i < renderer->GetPathCache().GetCapacity(); ++i)
            count += !renderer->GetPathCache().GetEntryAt(i).IsEmpty();
        return count;
    }
};

TEST_F(GdiPathTest, OnePolylineDrawnAsLinesAndAsAPolylineKeepsTwoShapes)
{
    PolylineT<float> zigzag({{0, 0}, {7, 0}, {7, 2}, {0, 2}, {0, 5}});
    Start();
    renderer->DrawLines(zigzag, kRed, {0, 0}, {1, 1}, true);  // two lines, the fifth point ignored
    EXPECT_FALSE(zigzag.IsChanged());
    EXPECT_EQ(Mask(kRedArgb), "########\n........\n########\n........\n........\n........\n");
    renderer->DrawPolyline(zigzag, kBlue, {0, 0}, {1, 1}, true);
    EXPECT_EQ(Mask(kBlueArgb), "########\n.......#\n########\n#.......\n#.......\n#.......\n");
    EXPECT_EQ(CachedPaths(), 2);
    Gdi().GetDrawingSurface()->GetBitmap().Clear();
    renderer->DrawLines(zigzag, kRed, {0, 0}, {1, 1}, true);  // replays its own shape
    EXPECT_EQ(Mask(kRedArgb), "########\n........\n########\n........\n........\n........\n");
    Finish();
}

TEST_F(GdiPathTest, AChangedPolylineIsRebuiltAndKeepCachedFalseDropsTheShape)
{
    PolylineT<float> line({{0, 0}, {7, 0}});
    Start();
    renderer->DrawPolyline(line, kRed, {0, 1}, {1, 1}, true);
    line.SetPoints({{0, 0}, {0, 5}});
    EXPECT_TRUE(line.IsChanged());
    renderer->DrawPolyline(line, kBlue, {0, 0}, {1, 1}, false);
    EXPECT_FALSE(line.IsChanged());
    EXPECT_EQ(CachedPaths(), 0);
    Finish();
    EXPECT_EQ(Mask(kRedArgb), "........\n.#######\n........\n........\n........\n........\n");
    EXPECT_EQ(Mask(kBlueArgb), "#.......\n#.......\n#.......\n#.......\n#.......\n#.......\n");
}

TEST_F(GdiPathTest, PolygonsCloseScaleAndFill)
{
    PolylineT<float> square({{0, 0}, {2, 0}, {2, 2}, {0, 2}});
    Start();
    renderer->FillPolygon(square, kBlue, {0, 0}, {2, 2}, true);
    renderer->DrawPolygon(square, kRed, {5, 0}, {1, 1}, true);
    Finish();
    EXPECT_EQ(Mask(kBlueArgb), "####....\n####....\n####....\n####....\n........\n........\n");
    EXPECT_EQ(Mask(kRedArgb), ".....###\n.....#.#\n.....###\n........\n........\n........\n");
}

TEST_F(GdiRendererFixture, MeasureTextCountsTrailingBlanksAndAgreesWithTheMetrics)
{
    const RCPtr<LFont> font = LFont::GetFont(u"DejaVu Sans", 12, 0);
    int32_t height = 0, ascent = 0, descent = 0;
    ASSERT_EQ(renderer->GetFontMetrics(font, height, ascent, descent), S_OK);
    EXPECT_LT(ascent, -10);
    EXPECT_GT(descent, 1);
    EXPECT_GE(height, descent - ascent);
    EXPECT_LE(height, descent - ascent + 2);

    EXPECT_EQ(renderer->MeasureText(u"", font), RectT<float>());
    const RectT<float> word = renderer->MeasureText(u"Zone", font);
    EXPECT_EQ(word.x, 0.0f);
    EXPECT_EQ(word.y, static_cast<float>(ascent));
    EXPECT_EQ(word.height, static_cast<float>(height));
    EXPECT_GT(word.width, 20.0f);
    EXPECT_GT(renderer->MeasureText(u"Zone  ", font).width, word.width + 6.0f);
    EXPECT_EQ(renderer->MeasureText(u"Zone", font), word);
}

TEST_F(GdiRendererFixture, OffscreenImagesAreCopiedAndShifted)
{
    RCPtr<LRenderContextInfo> windowContext;
    renderer->InitRenderContextInfo({0, 0, 8, 6}, window, false, windowContext);
    Start();
    renderer->FillRect({0, 0, 2, 2}, kRed, true);
    EXPECT_EQ(renderer->DrawSurface(context, {3, 1}), S_OK);
    EXPECT_EQ(Mask(kRedArgb), "........\n...##...\n...##...\n........\n........\n........\n");
    EXPECT_EQ(renderer->DrawSurface(windowContext, {0, 0}), E_INVALIDARG);
    Finish();

    ASSERT_EQ(renderer->RenderStart(windowContext), S_OK);
    EXPECT_EQ(renderer->DrawBitmapRect(context, {0, 0}, {3, 1, 1, 2}), S_OK);
    EXPECT_EQ(renderer->DrawBitmapRect(windowContext, {0, 0}, {0, 0, 1, 1}), E_INVALIDARG);
    ASSERT_EQ(renderer->RenderFinish(windowContext), S_OK);
    auto& target = dynamic_cast<LGDIRenderContextInfo&>(*windowContext).GetDrawingSurface()->GetBitmap();
    EXPECT_EQ(target.GetPixel(0, 0), kRedArgb);
    EXPECT_EQ(target.GetPixel(0, 1), kRedArgb);
    EXPECT_EQ(target.GetPixel(1, 0), 0u);
}

}  // namespace
}  // namespace QV::Testing
