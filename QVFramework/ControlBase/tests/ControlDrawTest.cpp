#include <climits>

#include "ControlTestSupport.h"

namespace control_test {
namespace {

using ControlList = LControl::ControlList;

class DrawTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop();
        panel = Make(top.Get(), u"panel", 10, 10, 100, 100);
    }

    static FakeLook& LookOf(LControl& c) { return *static_cast<FakeLook*>(c.GetVisualPart(0).Get()); }

    RCPtr<LControl> HitAt(double x, double y)
    {
        DoublePoint hit;
        int32_t priority = INT_MIN;
        return top->HitTest({x, y}, true, hit, priority);
    }

    ControlList Paint(const DirtyRects& region)
    {
        FakeRenderer renderer;
        ControlList overlay;
        top->Draw(renderer, region, overlay, 1 - 1);
        EXPECT_TRUE(renderer.stack.empty()) << "every push is popped";
        return overlay;
    }

    RCPtr<TestControl> panel;
};

TEST_F(DrawTest, InvalidationIsClippedByEveryClippingAncestorUntilOneDoesNotClip)
{
    RCPtr<TestControl> child = Make(panel.Get(), u"child", 80, 80, 50, 50);
    root->dirty.clear();
    EXPECT_EQ(child->InvalidateArea(), 0);
    EXPECT_EQ(root->dirty, std::vector<LongRect>{LongRect(90, 90, 20, 20)});

    panel->SetLayer(0);
    root->dirty.clear();
    EXPECT_GE(child->InvalidateArea(), 0);
    EXPECT_EQ(root->dirty, std::vector<LongRect>{LongRect(90, 90, 50, 50)});

    root->dirty.clear();
    child->SetVisible(false);
    root->dirty.clear();
    EXPECT_EQ(child->InvalidateArea(), 1);
    EXPECT_TRUE(root->dirty.empty());

    RCPtr<TestControl> loose = Make(nullptr, u"loose", 0, 0, 10, 10);
    EXPECT_EQ(loose->InvalidateRect({0, 0, 5, 5}, true), 0) << "no root window marks nothing";
}

// A look's border lies outside its client area; a change of look repaints
// it too. A child of a bordered parent repaints all it shows, up to the far
// edges of the parent's client area, and nothing past the parent's frame.
TEST_F(DrawTest, InvalidationCoversTheBordersOutsideTheClientAreas)
{
    struct Case {
        const char16_t* name;
        double panelInset, childInset;
        DoubleRect child;  // in the panel's client area
        RegionRect shown;  // what of the child shows, in the root
    };
    const Case cases[] = {
        {u"bordered", 0, 1, {20, 20, 22, 22}, {30, 30, 52, 52}},
        {u"inFarCornerOfBorderedParent", 5, 0, {80, 80, 50, 50}, {95, 95, 105, 105}},
        {u"borderedInBorderedParent", 5, 1, {70, 70, 20, 20}, {85, 85, 105, 105}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.name));
        LookOf(*panel).inset = c.panelInset;
        RCPtr<TestControl> child = Make(panel.Get(), c.name, c.child.x, c.child.y, c.child.width, c.child.height);
        LookOf(*child).inset = c.childInset;
        root->dirty.clear();
        EXPECT_EQ(child->InvalidateArea(), 0);
        RectRegion dirty;
        for (const LongRect& r : root->dirty) dirty.AddRect(RegionRect{r.x, r.y, r.x + r.width, r.y + r.height});
        RectRegion missed = RegionOf({c.shown});
        missed.SubtractRegion(dirty);
        EXPECT_TRUE(missed.IsEmpty()) << "part of what the child shows is not repainted";
        RectRegion outside = dirty;
        outside.SubtractRegion(RegionOf({{10, 10, 110, 110}}));
        EXPECT_TRUE(outside.IsEmpty()) << "repainted past the panel's frame";
    }
}

TEST_F(DrawTest, InvalidationFollowsScrollAndLookInsets)
{
    RCPtr<TestControl> child = Make(panel.Get(), u"child", 20, 20, 10, 10);
    LookOf(*panel).inset = 5;
    panel->SetScrollOffset({10, 20});
    root->dirty.clear();
    child->InvalidateRect({0.4, 0.4, 2.2, 2.2}, false);
    // 10 + 20 - 10 + 5 = 25 and 10 + 20 - 20 + 5 = 15, edges rounded by adding a half.
    EXPECT_EQ(root->dirty, std::vector<LongRect>{LongRect(25, 15, 3, 3)});
}

TEST_F(DrawTest, HitTestingTakesTheTopmostByDrawingAndEffectiveZOrder)
{
    RCPtr<TestControl> below = Make(panel.Get(), u"below", 0, 0, 50, 50);
    RCPtr<TestControl> above = Make(panel.Get(), u"above", 25, 25, 50, 50);
    RCPtr<TestControl> sibling = Make(top.Get(), u"sibling", 150, 10, 100, 100);
    RCPtr<TestControl> list = Make(panel.Get(), u"list", 60, 60, 120, 40);
    ControlLayout l = list->GetLayout();
    l.zOrder = 4;
    list->SetLayout(l);
    list->SetLayer(0);

    EXPECT_EQ(HitAt(45, 45).Get(), above.Get()) << "later in drawing order";
    EXPECT_EQ(HitAt(20, 20).Get(), below.Get());
    EXPECT_EQ(HitAt(170, 80).Get(), list.Get()) << "the drop-down wins outside its parent";
    EXPECT_EQ(HitAt(200, 30).Get(), sibling.Get());
    EXPECT_EQ(list->GetEffectiveZOrder(), 4);
    EXPECT_EQ(below->GetEffectiveZOrder(), INT_MIN);

    EXPECT_EQ(HitAt(10 + 25 + 50, 50).Get(), panel.Get()) << "the right edge is outside";
    EXPECT_GE(above->SetPartOpacity(0, 0.0f, false), 0);
    EXPECT_EQ(HitAt(45, 45).Get(), below.Get()) << "a look at opacity 0 is not hit";
    LookOf(*below).color = 0x00FFFFFFu;
    EXPECT_EQ(HitAt(20, 20).Get(), panel.Get()) << "transparent where its looks have no alpha";
}

TEST_F(DrawTest, LooksDrawForegroundThenBackgroundThenLabelAndChildren)
{
    RCPtr<TestControl> child = Make(panel.Get(), u"child", 0, 0, 10, 10);
    panel->SetOpacity(0.5f);
    drawLog.clear();
    Paint({LongRect(0, 0, 400, 300)});
    EXPECT_EQ(drawLog, (std::vector<std::string>{"top:foreground", "top:background", "top:label", "panel:foreground",
                                                 "panel:background", "panel:label", "child:foreground",
                                                 "child:background", "child:label"}));
    ASSERT_FALSE(LookOf(*child).opacities.empty());
    EXPECT_FLOAT_EQ(LookOf(*child).opacities.back(), 0.5f);

    drawLog.clear();
    Paint({LongRect(300, 200, 10, 10)});
    EXPECT_EQ(drawLog, (std::vector<std::string>{"top:foreground", "top:background", "top:label"}))
        << "a region that misses the panel draws nothing of it";

    drawLog.clear();
    EXPECT_GE(top->SetPartOpacity(0, 0.0f, true), 0);
    Paint({LongRect(0, 0, 400, 300)});
    EXPECT_TRUE(drawLog.empty()) << "children are drawn once per shown look";
}

TEST_F(DrawTest, ScrolledChildrenMoveUnlessDockedOnBothAxes)
{
    RCPtr<TestControl> plain = Make(panel.Get(), u"plain", 30, 30, 10, 10);
    RCPtr<TestControl> docked = Make(panel.Get(), u"docked", 30, 30, 10, 10);
    EXPECT_GE(docked->SetDocked(0, true), 0);
    EXPECT_GE(docked->SetDocked(1, true), 0);
    panel->SetScrollOffset({10, 20});
    Paint({LongRect(0, 0, 400, 300)});
    ASSERT_FALSE(LookOf(*plain).origins.empty());
    ASSERT_FALSE(LookOf(*docked).origins.empty());
    EXPECT_EQ(LookOf(*plain).origins.back(), (DoublePoint{30, 20}));
    EXPECT_EQ(LookOf(*docked).origins.back(), (DoublePoint{40, 40}));
}

// Scrolled down, the children that were below the first screen come into
// sight and paint whole, docked on one axis (as a list's rows) or not at all.
TEST_F(DrawTest, ChildrenScrolledIntoSightFromBelowTheFirstScreenPaintWhole)
{
    RCPtr<TestControl> plain = Make(panel.Get(), u"plain", 30, 130, 10, 10);
    RCPtr<TestControl> row = Make(panel.Get(), u"row", 50, 140, 10, 10);
    EXPECT_GE(row->SetDocked(1, true), 0);
    panel->SetScrollOffset({0, 60});
    Paint({LongRect(0, 0, 400, 300)});
    for (TestControl* c : {plain.Get(), row.Get()}) {
        SCOPED_TRACE(Narrow(c->GetName().GetChars()));
        ASSERT_FALSE(LookOf(*c).clips.empty());
        const DoubleRect clip = LookOf(*c).clips.back();
        EXPECT_LE(clip.x, 0);
        EXPECT_LE(clip.y, 0);
        EXPECT_GE(clip.x + clip.width, 10);
        EXPECT_GE(clip.y + clip.height, 10);
    }
    EXPECT_EQ(LookOf(*plain).origins.back(), (DoublePoint{40, 80}));
}

TEST_F(DrawTest, UnclippedChildrenGoToTheOverlayEvenWhenTheirParentIsOutOfSight)
{
    RCPtr<TestControl> pop = Make(panel.Get(), u"pop", 200, 200, 50, 50);
    pop->SetLayer(0);
    ControlList overlay = Paint({LongRect(0, 0, 400, 300)});
    ASSERT_EQ(overlay.size(), 1u);
    EXPECT_EQ(overlay[0].Get(), pop.Get());
    EXPECT_EQ(LookOf(*pop).origins.size(), 0u) << "the parent never draws it";

    FakeRenderer renderer;
    renderer.current.clip = {300, 300, 10, 10};
    overlay.clear();
    panel->Draw(renderer, {LongRect(0, 0, 400, 300)}, overlay, 0);
    EXPECT_EQ(overlay.size(), 1u) << "an empty visible area still gathers its overlays";
    EXPECT_EQ(pop->Draw(renderer, {}, overlay, 0), E_INVALIDARG);
}

}  // namespace
}  // namespace control_test
