#include <gtest/gtest.h>

#include <stdexcept>

#include "LVisualPart.h"
#include "LVisualPartDescriptor.h"
#include "LookTestSupport.h"

namespace {

using namespace QV;
using namespace look_test;

RCPtr<LColorizer> Solid(uint32_t argb)
{
    return RCPtr<LColorizer>(new LColorizer(LColorizer::kSolid, LColor::FromARGB(argb)));
}

RCPtr<LVisualPart> ColourPart(int32_t w, int32_t h, int32_t type, uint32_t argb, float opacity = 1.0f)
{
    return RCPtr<LVisualPart>(new LVisualPart(u"c", nullptr, w, h, type, Solid(argb), opacity, nullptr));
}

RCPtr<LVisualPart> ImagePart(const RCPtr<LBitmap>& bitmap, int32_t type)
{
    return RCPtr<LVisualPart>(new LVisualPart(u"i", bitmap, 0, 0, type, nullptr, 1.0f, nullptr));
}

TEST(VisualPartDraw, ColourPartsFillByResizeTypeAndOpacity)
{
    struct Row {
        const char* what;
        int32_t type;
        float opacity;
        int fills;
        LongRect rect;
        uint32_t argb;
    } rows[] = {
        {"stretch fills the area", 0, 1.0f, 1, {0, 0, 15, 20}, 0xFF336699},
        {"centre fills its own size in the middle", 2, 1.0f, 1, {2, 5, 10, 10}, 0xFF336699},
        {"opacity multiplies the alpha", 0, 0.5f, 1, {0, 0, 15, 20}, 0x80336699},
        {"opacity 0 draws nothing", 0, 0.0f, 0, {}, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        RecordingRenderer renderer;
        ColourPart(10, 10, r.type, 0xFF336699, r.opacity)->Draw(renderer, {15.2f, 19.6f});
        ASSERT_EQ(renderer.drawn.size(), size_t(r.fills));
        if (r.fills == 0) continue;
        EXPECT_EQ(renderer.drawn[0].rect, r.rect);
        EXPECT_EQ(renderer.drawn[0].argb, r.argb);
    }
}

TEST(VisualPartDraw, ImagesGoToTheRendererWithTheirResizeTypeAndThinTilesDrawNothing)
{
    RecordingRenderer renderer;
    ImagePart(PatternBitmap(4, 4), 1)->Draw(renderer, {30, 20});
    ASSERT_EQ(renderer.drawn.size(), 1u);
    EXPECT_EQ(renderer.drawn[0].what, "bitmap");
    EXPECT_EQ(renderer.drawn[0].resizeType, 1);
    EXPECT_EQ(renderer.drawn[0].rect, (LongRect{0, 0, 30, 20}));

    renderer.drawn.clear();
    ColourPart(0, 5, 1, 0xFF000000)->Draw(renderer, {30, 20});
    EXPECT_TRUE(renderer.drawn.empty());
    EXPECT_EQ(ColourPart(0, 5, 1, 0xFF000000)->GetColorAtPoint(3.0f, 3.0f, 30.0f, 20.0f), LVisualPart::kNoColor);
}

TEST(VisualPartColour, PointsOfImagePartsByResizeType)
{
    struct Row {
        const char* what;
        int32_t w, h, type;
        float x, y, areaW, areaH;
        uint32_t expected;
    } rows[] = {
        {"own size reads the pixel", 8, 8, 0, 3.4f, 4.6f, 8, 8, Pattern(3, 5)},
        {"far edge is outside", 8, 8, 0, 8.0f, 1.0f, 8, 8, LVisualPart::kNoColor},
        {"far edge of an area is outside", 8, 8, 0, 20.0f, 1.0f, 20, 8, LVisualPart::kNoColor},
        {"tile wraps", 64, 64, 1, 130.2f, 10.6f, 200, 30, Pattern(2, 11)},
        {"centre shifts by half the difference", 10, 10, 2, 7.0f, 9.0f, 16, 20, Pattern(4, 4)},
        {"centre outside the image", 10, 10, 2, 1.0f, 1.0f, 16, 20, LVisualPart::kNoColor},
        {"stretch enlarged scales down", 10, 10, 0, 15.0f, 9.9f, 20, 20, Pattern(7, 4)},
        {"stretch shrunk reads the first of two columns", 100, 4, 0, 10.0f, 1.0f, 50, 4, Pattern(20, 1)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        RCPtr<LVisualPart> part = ImagePart(PatternBitmap(r.w, r.h), r.type);
        EXPECT_EQ(part->GetColorAtPoint(r.x, r.y, r.areaW, r.areaH), r.expected);
    }
}

TEST(VisualPartColour, ShrunkStretchSkipsTransparentSourcePixels)
{
    RCPtr<LVisualPart> part = ImagePart(PatternBitmap(100, 4, {{20, 1}}), 0);
    EXPECT_EQ(part->GetColorAtPoint(10.0f, 1.0f, 50.0f, 4.0f), Pattern(21, 1));
    RCPtr<LVisualPart> clear = ImagePart(PatternBitmap(100, 4, {{20, 1}, {21, 1}}), 0);
    EXPECT_EQ(clear->GetColorAtPoint(10.0f, 1.0f, 50.0f, 4.0f), 0u);  // the last read
}

TEST(VisualPartColour, ColourPartsAnswerTheirColourAndRaiseWithoutOne)
{
    EXPECT_EQ(ColourPart(10, 10, 0, 0xFF336699, 0.0f)->GetColorAtPoint(1, 1), 0x00336699u);
    EXPECT_EQ(ColourPart(10, 10, 0, 0xFF336699, 0.5f)->GetColorAtPoint(9, 9), 0x80336699u);
    EXPECT_EQ(ColourPart(10, 10, 0, 0xFF336699)->GetColorAtPoint(10, 0), LVisualPart::kNoColor);

    RCPtr<LVisualPart> bare(new LVisualPart(u"b", nullptr, 10, 10, 0, nullptr, 1.0f, nullptr));
    try {
        bare->GetColorAtPoint(1, 1);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Runtime Error : QV::LVisualPart::GetColorAtPoint : ControlBase\\VisualPart : Line 91");
    }
    try {
        RecordingRenderer renderer;
        bare->Draw(renderer, {10, 10});
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Runtime Error : QV::LVisualPart::Draw : ControlBase\\VisualPart : Line 218");
    }
    RCPtr<LVisualPart> odd(new LVisualPart(u"o", nullptr, 10, 10, 7, Solid(0xFF000000), 1.0f, nullptr));
    EXPECT_THROW(odd->GetColorAtPoint(1.0f, 1.0f, 20.0f, 20.0f), std::runtime_error);
}

TEST(VisualPartColour, ColouriserTintsAnImagePartOnce)
{
    RCPtr<LVisualPart> part(new LVisualPart(u"t", PatternBitmap(4, 4), 0, 0, 0, Solid(0xFFFF0000), 1.0f, nullptr));
    EXPECT_EQ(part->GetWidth(), 4);
    EXPECT_NE(part->GetColorAtPoint(1, 1), Pattern(1, 1));  // a tinted copy
}

TEST(VisualPartDescriptorCache, OnePartPerDescriptorAndNoCycle)
{
    RCPtr<LVisualPartDescriptor> descriptor(new LVisualPartDescriptor);
    descriptor->name = u"fill";
    descriptor->width = 6;
    descriptor->height = 4;
    descriptor->colorizer = Solid(0xFF00FF00);
    RCPtr<LVisualPart> first = LVisualPart::FromDescriptor(descriptor.Get());
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Get(), LVisualPart::FromDescriptor(descriptor.Get()).Get());
    EXPECT_EQ(first->GetWidth(), 6);
    EXPECT_EQ(LVisualPart::FromDescriptor(nullptr), nullptr);
    // The descriptor goes with its cache; the part lives on with its holder.
    descriptor = nullptr;
    EXPECT_EQ(first->GetColorAtPoint(0, 0), 0xFF00FF00u);
}

}  // namespace
