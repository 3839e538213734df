// Lays out and draws a small skinned panel through the 2D renderer and
// compares it with a reference picture. A failing run writes the actual
// picture beside the reference; QV_UPDATE_PICTURES=1 makes it the reference.
#include <gtest/gtest.h>

#include <string>

#include "ControlRenderer.h"
#include "ControlsTestSupport.h"
#include "GdiTestSupport.h"
#include "LLook.h"
#include "MeasurementRendererSource.h"

namespace {

using namespace controls_test;
using QV::Testing::GdiRendererFixture;
using QV::Testing::ExpectMatchesReferencePicture;

const std::string kReference = std::string(QV_CONTROLS_TEST_DATA) + "/SkinnedPanel.png";
const std::string kActual = std::string(QV_CONTROLS_TEST_DATA) + "/SkinnedPanel.actual.png";
constexpr int kTolerance = 24;

RCPtr<LVisualPartDescriptor> Colour(uint32_t argb, int32_t w = 1, int32_t h = 1)
{
    RCPtr<LVisualPartDescriptor> d(new LVisualPartDescriptor);
    d->width = w;
    d->height = h;
    d->colorizer = RCPtr<LColorizer>(new LColorizer(LColorizer::kSolid, LColor::FromARGB(argb)));
    return d;
}

RCPtr<LDockedPart> Dock(const RCPtr<LVisualPartDescriptor>& part, int32_t mask, int32_t l, int32_t t, int32_t r,
                        int32_t b, int32_t fixedW = -1, int32_t fixedH = -1)
{
    RCPtr<LDockedPart> d(new LDockedPart);
    d->part = part;
    d->edgeMask = mask;
    d->left = l;
    d->top = t;
    d->right = r;
    d->bottom = b;
    d->hasFixedWidth = fixedW >= 0;
    d->fixedWidth = fixedW;
    d->hasFixedHeight = fixedH >= 0;
    d->fixedHeight = fixedH;
    return d;
}

// A fill with a one-pixel frame of another colour, its client area inset by 1.
RCPtr<LLookDescriptor> Framed(uint32_t fill, uint32_t frame)
{
    using D = LDockedPart;
    RCPtr<LLookDescriptor> d(new LLookDescriptor);
    d->clientPart = Dock(Colour(fill), D::kAllEdges, 1, 1, -1, -1);
    const RCPtr<LVisualPartDescriptor> line = Colour(frame);
    d->nonClientParts = {Dock(line, D::kLeft | D::kTop | D::kRight, 0, 0, 0, 0, -1, 1),
                         Dock(line, D::kLeft | D::kBottom | D::kRight, 0, 0, 0, 0, -1, 1),
                         Dock(line, D::kLeft | D::kTop | D::kBottom, 0, 0, 0, 0, 1, -1),
                         Dock(line, D::kRight | D::kTop | D::kBottom, 0, 0, 0, 0, 1, -1)};
    return d;
}

RCPtr<LLookDescriptor> Label(uint32_t fill, uint32_t text)
{
    RCPtr<LLookDescriptor> d(new LLookDescriptor);
    d->clientPart = Dock(Colour(fill), LDockedPart::kAllEdges, 0, 0, 0, 0);
    d->hasTextProperties = true;
    d->textLeftOffset = 4;
    d->textRightFactor = 1.0f;
    d->textBottomFactor = 1.0f;
    d->verticalAlignment = 0.5f;
    d->textForegroundPart = Colour(text);
    return d;
}

class SkinnedPanelPictureTest : public GdiRendererFixture {
protected:
    SkinnedPanelPictureTest() : GdiRendererFixture({0, 0, 220, 140}), measure(renderer) {}

    void Skin(LControl* control, const RCPtr<LLookDescriptor>& look)
    {
        control->AddVisualPart(LLook::Create(look, false));
        control->ShowPart(0);
    }

    ScopedMeasurementRenderer measure;
    SolverApplication app;
    ScopedControlApplication scope{app};
    RCPtr<FakeRootWindow> root{new FakeRootWindow()};
};

template <class C>
RCPtr<C> Place(LControl* parent, const char16_t* name, const AxisRules& x, const AxisRules& y, bool docked = false)
{
    RCPtr<C> c(new C(parent, name));
    ControlLayout layout;
    layout.position[0] = x.position;
    layout.size[0] = x.size;
    layout.anchor[0].factor = x.anchor;
    layout.position[1] = y.position;
    layout.size[1] = y.size;
    layout.anchor[1].factor = y.anchor;
    layout.xIsDocked = layout.yIsDocked = docked;
    c->SetLayout(layout);
    EXPECT_GE(c->UpdateLayout(), 0);
    return c;
}

void InitializeTree(LControl* c)
{
    for (const RCPtr<LControl>& child : c->GetChildren().Snapshot(ChildControlList::kInsertion))
        InitializeTree(child.Get());
    c->Initialize();
    c->OnInitialized();
    c->SetInitialized(true);
}

TEST_F(SkinnedPanelPictureTest, PanelMatchesTheReferencePicture)
{
    const RCPtr<LFont> font = LFont::GetFont(u"DejaVu Sans", 8, LFont::kRegular);
    RCPtr<LPanel> panel = Place<LPanel>(nullptr, u"panel", At(0, 220), At(0, 140));
    EXPECT_GE(panel->AttachToRootWindow(RCPtr<IRootWindow>(root.Get())), 0);
    EXPECT_GE(panel->UpdateLayout(), 0);
    Skin(panel.Get(), Framed(0xFFE8E8E8, 0xFF404040));
    const AxisRules fullWidth{Rec(LayoutKind::kClient, 8), Rec(LayoutKind::kClient, -8, 1.0f)};
    const char16_t* texts[] = {u"Zone 1  Channel 3", u"Zone 2  Channel 10"};
    for (int i = 0; i < 2; ++i) {
        RCPtr<LControl> label = Place<LControl>(panel.Get(), i ? u"label2" : u"label1", fullWidth, At(8 + 22 * i, 18));
        Skin(label.Get(), i ? Label(0xFF3060A0, 0xFFFFFFFF) : Label(0xFFFFFFFF, 0xFF202020));
        EXPECT_GE(label->SetFont(font), 0);
        label->SetText(texts[i]);
    }

    RCPtr<LScrollView> view = Place<LScrollView>(panel.Get(), u"view", fullWidth,
                                                 {Rec(LayoutKind::kClient, 56), Rec(LayoutKind::kClient, -8, 1.0f)});
    Skin(view.Get(), Framed(0xFFFFFFFF, 0xFF808080));
    const AxisRules farEdge{Rec(LayoutKind::kClient, 0, 1.0f), Rec(LayoutKind::kSelf, 10), 1.0f};
    const AxisRules toCorner{Rec(LayoutKind::kClient, 0), Rec(LayoutKind::kSibling, 0, 0.0f, u"corner")};
    const AxisRules thick{Rec(LayoutKind::kClient, 0, 1.0f), Rec(LayoutKind::kSibling, 0, 0.0f, u"corner"), 1.0f};
    Skin(Place<LControl>(view.Get(), u"corner", farEdge, farEdge, true).Get(), Framed(0xFFC0C0C0, 0xFFC0C0C0));
    Skin(Place<LScrollbar>(view.Get(), u"hBar", toCorner, thick, true).Get(), Framed(0xFFD0D8E0, 0xFF8090A0));
    Skin(Place<LScrollbar>(view.Get(), u"vBar", thick, toCorner, true).Get(), Framed(0xFFD0D8E0, 0xFF8090A0));
    const char16_t* rows[] = {u"row1", u"row2", u"row3", u"row4"};
    for (int i = 0; i < 4; ++i) {
        RCPtr<LControl> row = Place<LControl>(view.Get(), rows[i], At(4, 260), At(4 + 20 * i, 16));
        Skin(row.Get(), i % 2 ? Label(0xFFF4E0C0, 0xFF603000) : Label(0xFFE0F0E0, 0xFF004000));
        EXPECT_GE(row->SetFont(font), 0);
        String text;
        text.Format(u"Preset row %d, wider than the view", i + 1);
        row->SetText(text);
    }
    InitializeTree(panel.Get());
    EXPECT_GE(view->SetAutoClientExtent(LScrollView::kAutoWidth | LScrollView::kAutoHeight, 4, 4), 0);
    EXPECT_GT(view->GetBar(0)->GetFrame().height, 0);
    EXPECT_GT(view->GetBar(1)->GetFrame().width, 0);

    Start();
    renderer->SaveState();
    ControlRenderer drawing(*renderer);
    LControl::ControlList overlay;
    panel->Draw(drawing, {{0, 0, 220, 140}}, overlay, 0);
    renderer->RestoreState();
    Finish();
    panel->Close();

    const Platform::Gdip::Surface& actual = Gdi().GetDrawingSurface()->GetBitmap();
    ExpectMatchesReferencePicture(actual, kReference, kActual, kTolerance);
}

}  // namespace
