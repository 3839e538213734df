#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "ControlRenderer.h"
#include "FakeMeasurementRenderer.h"
#include "LControl.h"
#include "LLook.h"
#include "LookTestSupport.h"
#include "MeasurementRendererSource.h"

namespace {

using namespace QV;
using namespace look_test;

RCPtr<LVisualPartDescriptor> ColourDescriptor(int32_t w, int32_t h, uint32_t argb)
{
    RCPtr<LVisualPartDescriptor> d(new LVisualPartDescriptor);
    d->width = w;
    d->height = h;
    d->colorizer = RCPtr<LColorizer>(new LColorizer(LColorizer::kSolid, LColor::FromARGB(argb)));
    return d;
}

RCPtr<LDockedPart> Docked(const RCPtr<LVisualPartDescriptor>& part, int32_t mask, int32_t l, int32_t t, int32_t r,
                          int32_t b)
{
    RCPtr<LDockedPart> d(new LDockedPart);
    d->part = part;
    d->edgeMask = mask;
    d->left = l;
    d->top = t;
    d->right = r;
    d->bottom = b;
    return d;
}

// A framed look: client offsets 1, 1, -5, -6 over a grey fill, a 6 x 6
// corner at the top right and a 7-wide bar centred at the top.
RCPtr<LLookDescriptor> FramedLook()
{
    RCPtr<LLookDescriptor> d(new LLookDescriptor);
    d->clientPart = Docked(ColourDescriptor(1, 1, 0xFF808080), LDockedPart::kAllEdges, 1, 1, -5, -6);
    d->nonClientParts.push_back(
        Docked(ColourDescriptor(6, 6, 0xFFFF0000), LDockedPart::kTop | LDockedPart::kRight, 0, 0, 0, 0));
    d->nonClientParts.push_back(Docked(ColourDescriptor(7, 3, 0xFF0000FF), LDockedPart::kTop, 0, 0, 0, 0));
    return d;
}

TEST(LookLayout, PartsClientAreaAndTextAreaFollowTheSize)
{
    RCPtr<LLook> look = LLook::Create(FramedLook(), false);
    ASSERT_TRUE(look);
    look->SetSize(100, 40);
    EXPECT_EQ(look->GetPartRect(0), (LongRect{94, 0, 6, 6}));
    EXPECT_EQ(look->GetPartRect(1), (LongRect{46, 0, 7, 3}));
    EXPECT_EQ(look->GetClientRect(), (DoubleRect{1, 1, 94, 33}));
    EXPECT_EQ(look->Resize(100, 40), 1);
    look->SetSize(3, 3);
    EXPECT_EQ(look->GetClientRect(), (DoubleRect{1, 1, 0, 0}));

    RCPtr<LLookDescriptor> noClient(new LLookDescriptor);
    EXPECT_EQ(LLook::Create(noClient, false), nullptr);
}

TEST(LookLayout, TextAreaFromFactorsAndOffsets)
{
    LLookDescriptor d;
    d.hasTextProperties = true;
    d.textLeftOffset = 22;
    d.textRightFactor = 1.0f;
    d.textRightOffset = -8;
    d.textBottomFactor = 1.0f;
    const DoubleRect r = LLook::GetTextRect(d, 200, 30);
    EXPECT_DOUBLE_EQ(r.x, 22);
    EXPECT_DOUBLE_EQ(r.width, 170);
    EXPECT_DOUBLE_EQ(r.height, 30);
    d.hasTextProperties = false;
    EXPECT_EQ(LLook::GetTextRect(d, 200, 30), DoubleRect{});
}

TEST(LookColour, FrameFirstThenOverlayThenClient)
{
    RCPtr<LLookDescriptor> d = FramedLook();
    RCPtr<LVisualPartDescriptor> corner(new LVisualPartDescriptor);
    corner->name = u"clearCorner";
    RCPtr<LLook> look = LLook::Create(d, false);
    look->SetSize(100, 40);
    EXPECT_EQ(look->GetColorAtPoint({96, 2}), 0xFFFF0000u);
    EXPECT_EQ(look->GetColorAtPoint({50, 20}), 0xFF808080u);
    EXPECT_EQ(look->GetColorAtPoint({99, 39}), LVisualPart::kNoColor);  // outside client and frame

    // A transparent pixel of an overlay falls through to the client part.
    RCPtr<LBitmap> overlay = PatternBitmap(4, 4, {{0, 0}});
    EXPECT_EQ(look->SetOverlayPart(RCPtr<LRefCountedObject>(overlay.Get()), 0, false), 0);
    EXPECT_EQ(look->GetColorAtPoint({1, 1}), 0xFF808080u);
    EXPECT_EQ(look->GetColorAtPoint({94, 33}), Pattern(3, 3));
    EXPECT_EQ(look->SetOverlayPart(nullptr, 0, false), 0);
    EXPECT_EQ(look->SetOverlayPart(nullptr, 0, false), 1);
}

// A part cut from an image, as the skin's first use of the part leaves it.
RCPtr<LVisualPartDescriptor> ImageDescriptor(const RCPtr<LBitmap>& bitmap)
{
    RCPtr<LVisualPartDescriptor> d(new LVisualPartDescriptor);
    d->visualPart = new LVisualPart(u"image", bitmap, 0, 0, 0, nullptr, 1.0f, nullptr);
    return d;
}

TEST(LookParts, PartBitmapsAreTheImagesClientFirstThenFrameInSkinOrder)
{
    const RCPtr<LBitmap> client = PatternBitmap(3, 3), first = PatternBitmap(4, 4), second = PatternBitmap(5, 5);
    RCPtr<LLookDescriptor> d = FramedLook();  // colour parts only
    EXPECT_TRUE(LLook::Create(d, false)->GetPartBitmaps().empty());

    d->nonClientParts.push_back(Docked(ImageDescriptor(first), LDockedPart::kLeft, 0, 0, 0, 0));
    d->nonClientParts.push_back(Docked(ImageDescriptor(second), LDockedPart::kRight, 0, 0, 0, 0));
    EXPECT_EQ(LLook::Create(d, false)->GetPartBitmaps(), (std::vector<RCPtr<LBitmap>>{first, second}));

    d->clientPart = Docked(ImageDescriptor(client), LDockedPart::kAllEdges, 0, 0, 0, 0);
    EXPECT_EQ(LLook::Create(d, false)->GetPartBitmaps(), (std::vector<RCPtr<LBitmap>>{client, first, second}));
}

struct LookDrawTest : ::testing::Test {
    LookDrawTest() : control(renderer)
    {
        look = LLook::Create(FramedLook(), false);
        look->SetSize(100, 40);
        renderer.SaveState();           // a drawing pass is under way
        renderer.PushOrigin({10, 20});  // the control's place in the window
    }
    RecordingRenderer renderer;
    ControlRenderer control;
    RCPtr<LLook> look;
};

TEST_F(LookDrawTest, PartsDrawInWindowPlacesClippedToTheDirtyRectangles)
{
    look->DrawBackground(control, {{0, 0, 400, 400}});
    ASSERT_EQ(renderer.drawn.size(), 2u);
    EXPECT_EQ(renderer.drawn[0].rect, (LongRect{104, 20, 6, 6}));
    EXPECT_EQ(renderer.drawn[1].rect, (LongRect{56, 20, 7, 3}));

    renderer.drawn.clear();
    renderer.drawClips.clear();
    look->DrawForeground(control, {{0, 0, 30, 30}, {300, 300, 10, 10}});
    ASSERT_EQ(renderer.drawn.size(), 1u);  // the second rectangle misses the look
    EXPECT_EQ(renderer.drawn[0].rect, (LongRect{11, 21, 94, 33}));
    EXPECT_EQ(renderer.drawClips[0], (DoubleRect{11, 21, 19, 9}));
    EXPECT_EQ(renderer.GetCurrentContext()->GetSavedStates().size(), 2u);  // every push restored
}

TEST_F(LookDrawTest, OwnRegionLimitsDrawingToWhereItMeetsTheDirtyRectangles)
{
    struct Row {
        const char* what;
        std::vector<RegionRect> own;  // in the look's coordinates
        DirtyRects dirty;             // in the window's
        std::vector<DoubleRect> clips;
    } rows[] = {
        {"no region: the dirty rectangles alone", {}, {{0, 0, 30, 30}}, {{11, 21, 19, 9}}},
        {"a region inside the dirty rectangle", {{20, 5, 30, 8}}, {{0, 0, 400, 400}}, {{30, 25, 10, 3}}},
        {"a region and a dirty rectangle that overlap", {{0, 0, 40, 4}}, {{0, 0, 30, 30}}, {{11, 21, 19, 3}}},
        {"a region away from the dirty rectangle", {{60, 20, 70, 30}}, {{0, 0, 30, 30}}, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        RectRegion own;
        for (const RegionRect& rect : r.own) own.AddRect(rect);
        look->SetRegion(own);
        renderer.drawClips.clear();
        look->DrawForeground(control, r.dirty);
        EXPECT_EQ(renderer.drawClips, r.clips);
    }
}

// A control whose one look is shown, drawn at (10, 20) of the window.
struct ControlRegionTest : ::testing::Test {
    ControlRegionTest() : control(renderer), owner(new LControl(nullptr, u"owner"))
    {
        EXPECT_GE(owner->SetBounds({10, 20}, {100, 40}), 0);
        look = LLook::Create(FramedLook(), false);
        owner->AddVisualPart(RCPtr<ILook>(look.Get()));
        owner->ShowPart(0);
        renderer.SaveState();  // a drawing pass is under way
    }
    ~ControlRegionTest() override { owner->Close(); }

    std::vector<DoubleRect> Paint()
    {
        renderer.drawClips.clear();
        LControl::ControlList overlay;
        owner->Draw(control, {{0, 0, 400, 400}}, overlay, 0);
        return renderer.drawClips;
    }

    RecordingRenderer renderer;
    ControlRenderer control;
    RCPtr<LControl> owner;
    RCPtr<LLook> look;
};

TEST_F(ControlRegionTest, ALookWithARegionPaintsOnlyInsideIt)
{
    RectRegion band;
    band.AddRect(RegionRect{40, 0, 50, 13});  // across the client and the top bar, away from the corner
    struct Row {
        const char* what;
        std::function<QVResult(LControl&)> op;
        std::vector<DoubleRect> clips;  // client, then corner and bar, in the window
    } rows[] = {
        {"no region: the whole look",
         [](LControl&) { return S_OK; },
         {{11, 21, 94, 33}, {104, 20, 6, 6}, {56, 20, 7, 3}}},
        {"a region", [&](LControl& c) { return c.SetPartRegion(0, band); }, {{50, 21, 10, 12}, {56, 20, 4, 3}}},
        {"the region cleared",
         [](LControl& c) { return c.ClearPartRegion(0); },
         {{11, 21, 94, 33}, {104, 20, 6, 6}, {56, 20, 7, 3}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(r.op(*owner), S_OK);
        EXPECT_EQ(Paint(), r.clips);
    }
}

TEST_F(LookDrawTest, OverlayDrawsOverOrInPlaceOfTheClient)
{
    RCPtr<LRefCountedObject> image(PatternBitmap(4, 4).Get());
    for (bool replaces : {false, true}) {
        SCOPED_TRACE(replaces);
        renderer.drawn.clear();
        look->SetOverlayPart(image, 2, replaces);
        look->DrawForeground(control, {{0, 0, 400, 400}});
        ASSERT_EQ(renderer.drawn.size(), replaces ? 1u : 2u);
        EXPECT_EQ(renderer.drawn.back().what, "bitmap");
        EXPECT_EQ(renderer.drawn.back().resizeType, 2);
    }
}

TEST(LookTextArea, IsComputedInSingleFloats)
{
    LLookDescriptor d;
    d.hasTextProperties = true;
    d.textLeftFactor = 0.7f;  // 0.699999988 as a float: times 10 is 7 in floats, 6.9999999 in doubles
    d.textRightFactor = 1.0f;
    d.textTopOffset = 1;
    d.textBottomFactor = 1.0f;
    const DoubleRect area = LLook::GetTextRect(d, 10, 20);
    EXPECT_EQ(area.x, 7.0);
    EXPECT_EQ(area.width, 3.0);
    EXPECT_EQ(area.y, 1.0);
    EXPECT_EQ(area.height, 19.0);
}

struct LabelTest : LookDrawTest {
    LabelTest() : measure(new Testing::FakeMeasurementRenderer()), scope(measure) {}

    RCPtr<LLook> Label(const RCPtr<LVisualPartDescriptor>& foreground)
    {
        RCPtr<LLookDescriptor> d = FramedLook();
        d->hasTextProperties = true;
        d->textLeftOffset = 4;
        d->textTopOffset = 2;
        d->textRightFactor = 1.0f;
        d->textBottomFactor = 1.0f;
        d->textForegroundPart = foreground;
        RCPtr<LLook> label = LLook::Create(d, false);
        label->SetFont(LFont::GetFont(u"Sans", 10.0f, 0));
        label->SetText(u"one\ntwo");
        label->SetSize(100, 40);
        return label;
    }

    RCPtr<Testing::FakeMeasurementRenderer> measure;
    ScopedMeasurementRenderer scope;
};

TEST_F(LabelTest, LinesDrawInTheForegroundColourLessTheOffset)
{
    RCPtr<LLook> label = Label(ColourDescriptor(1, 1, 0xFF112233));
    label->DrawLabelText(control, {{0, 0, 400, 400}}, {0, 5});
    ASSERT_EQ(renderer.drawn.size(), 2u);
    EXPECT_EQ(renderer.drawn[0].text, u"one");
    EXPECT_EQ(renderer.drawn[0].argb, 0xFF112233u);
    EXPECT_EQ(renderer.drawn[0].rect.x, 14);  // window 10, text area 4
    EXPECT_EQ(renderer.drawn[0].rect.y, 17);  // window 20, text area 2, offset -5
    EXPECT_EQ(renderer.drawn[1].text, u"two");
    EXPECT_EQ(renderer.drawn[1].rect.y, 17 + measure->lineHeight);
}

TEST_F(LabelTest, NoForegroundDrawsNoTextAndAnImageForegroundRaises)
{
    Label(nullptr)->DrawLabelText(control, {{0, 0, 400, 400}}, {0, 0});
    EXPECT_TRUE(renderer.drawn.empty());

    RCPtr<LVisualPartDescriptor> image(new LVisualPartDescriptor);
    image->visualPart =
        RCPtr<LRefCountedObject>(new LVisualPart(u"img", PatternBitmap(2, 2), 0, 0, 0, nullptr, 1.0f, nullptr));
    try {
        Label(image)->DrawLabelText(control, {{0, 0, 400, 400}}, {0, 0});
        FAIL();
    } catch (const std::domain_error& e) {
        EXPECT_STREQ(e.what(),
                     "Domain Error : Bitmap fill for text foreground part not yet implemented. : "
                     "QV::LLook::DrawLabelText : ControlBase\\Look : Line 293");
    }
}

TEST_F(LabelTest, LayoutTextQueriesFollowTheLabel)
{
    measure->widths[u"a rather long line"] = 150.0f;
    RCPtr<LLook> label = Label(ColourDescriptor(1, 1, 0xFF000000));
    label->SetText(u"a rather long line");
    EXPECT_DOUBLE_EQ(label->GetLayoutMaxLineWidth(), 150);
    EXPECT_DOUBLE_EQ(label->GetLayoutTextRect(100, 40).width, 96);
    EXPECT_DOUBLE_EQ(label->GetLayoutTextFactorSpan(0), 1.0);
    double width = 0;
    EXPECT_TRUE(label->GetTextWidth(width));
    EXPECT_DOUBLE_EQ(width, 150);
}

}  // namespace
