#include <cmath>

#include "ControlTestSupport.h"

namespace control_test {
namespace {

class CountsLayouts : public TestControl {
public:
    using TestControl::TestControl;
    QVResult OnLayoutChange(int32_t w, int32_t h) override
    {
        ++layoutChanges;
        return TestControl::OnLayoutChange(w, h);
    }
    int layoutChanges = 0;
};

class BoundsTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop();
        panel = Make(top.Get(), u"panel", 10, 10, 100, 100);
        log = new NotificationLog();
    }
    void TearDown() override { log->UnregisterAllNotifications(); }

    RCPtr<TestControl> panel;
    RCPtr<NotificationLog> log;
};

TEST_F(BoundsTest, SetBoundsAnswersOneForNoChangeAndRelaysChildrenOnlyOnResize)
{
    RCPtr<CountsLayouts> child(new CountsLayouts(panel.Get(), u"child"));
    root->dirty.clear();
    EXPECT_EQ(panel->SetBounds({10, 10}, {100, 100}), 1);
    EXPECT_TRUE(root->dirty.empty());

    EXPECT_EQ(panel->SetBounds({20, 10}, {100, 100}), S_OK);
    EXPECT_EQ(child->layoutChanges, 0) << "a move keeps the children's layout";
    EXPECT_EQ(root->dirty.front(), LongRect(10, 10, 100, 100)) << "the old place first";
    EXPECT_EQ(root->dirty.back(), LongRect(20, 10, 100, 100));

    EXPECT_EQ(panel->SetBounds({20, 10}, {120, 100}), S_OK);
    EXPECT_EQ(child->layoutChanges, 1);

    const double nan = std::nan("");
    const struct {
        DoublePoint position, size;
    } bad[] = {{{nan, 10}, {120, 100}}, {{20, nan}, {120, 100}}, {{20, 10}, {nan, 100}}, {{20, 10}, {120, nan}}};
    const DoubleRect frame = panel->GetFrame();
    root->dirty.clear();
    for (const auto& r : bad) {
        SCOPED_TRACE(&r - bad);
        EXPECT_EQ(panel->SetBounds(r.position, r.size), E_INVALIDARG);
        EXPECT_EQ(panel->GetFrame(), frame);
    }
    EXPECT_TRUE(root->dirty.empty());
    EXPECT_EQ(child->layoutChanges, 1);
}

TEST_F(BoundsTest, ShrinkingTheFocusedControlToNothingHandsTheFocusToItsParent)
{
    RCPtr<TestControl> a = Make(panel.Get(), u"a", 0, 0, 20, 20);
    RCPtr<TestControl> b = Make(panel.Get(), u"b", 0, 30, 20, 20);
    a->SetFocus(true);
    LayoutRecord none;
    none.kind = LayoutKind::kParent;
    EXPECT_GE(a->SetLayoutSize(0, none, {}), 0);
    EXPECT_EQ(a->GetFrame().width, 0);
    EXPECT_FALSE(a->HasFocus());
    EXPECT_TRUE(b->HasFocus());
}

TEST_F(BoundsTest, LayoutRecordsRelayAndRefuseUnknownAxes)
{
    LayoutRecord wide;
    wide.offset = 60;
    EXPECT_EQ(panel->SetLayoutSize(2, wide, {}), E_INVALIDARG);
    EXPECT_EQ(panel->SetLayoutPosition(-1, wide, {}), E_INVALIDARG);
    EXPECT_EQ(panel->SetLayoutSize(0, wide, {}), 1);
    EXPECT_EQ(panel->GetFrame().width, 60);
    EXPECT_EQ(panel->SetLayoutSize(0, wide, {}), 0);
    LayoutRecord x;
    x.offset = 33;
    EXPECT_GE(panel->SetLayoutRecords(x, {}, x, {}), 0);
    EXPECT_EQ(panel->GetFrame(), (DoubleRect{33, 33, 60, 100}));

    RCPtr<TestControl> loose(new TestControl(nullptr, u"loose"));
    EXPECT_EQ(loose->UpdateLayout(), E_FAIL) << "no layout record";
}

// A top control is measured against its window, or the work area without
// one; one built for a window that is not attached yet waits for it, its frame
// staying as it was.
TEST_F(BoundsTest, ATopControlIsLaidOutAgainstItsWindowOrTheWorkArea)
{
    enum class Attach { kNot, kToTheWindow, kToNoWindow };
    const struct {
        const char* name;
        bool pending;
        Attach attach;
        QVResult answer;
        DoubleRect frame;
    } rows[] = {
        {"waiting for its window", true, Attach::kNot, E_FAIL, {0, 0, 0, 0}},
        {"no window", false, Attach::kNot, S_OK, {0, 0, 512, 668}},  // the 1024 x 768 work area
        {"in its window", false, Attach::kToTheWindow, S_OK, {0, 0, 400, 500}},  // the 800 x 600 window
        {"its window attached at last", true, Attach::kToTheWindow, S_OK, {0, 0, 400, 500}},
        {"attached to no window instead", true, Attach::kToNoWindow, S_OK, {0, 0, 512, 668}},
    };
    ControlLayout layout;
    layout.size[0] = {LayoutKind::kParent, String(), 0.5f, 0.0};
    layout.size[1] = {LayoutKind::kParent, String(), 1.0f, -100.0};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        app.factory.attachmentPending = r.pending;
        RCPtr<TestControl> c(new TestControl(nullptr, u"c"));
        EXPECT_FALSE(app.factory.attachmentPending) << "taken by the control";
        c->SetLayout(layout);
        if (r.attach != Attach::kNot) {
            const RCPtr<IRootWindow> window(r.attach == Attach::kToTheWindow ? root.Get() : nullptr);
            ASSERT_GE(c->AttachToRootWindow(window), 0);
        }
        EXPECT_EQ(c->UpdateLayout(), r.answer);
        EXPECT_EQ(c->GetFrame(), r.frame);
        c->Close();
    }
}

TEST_F(BoundsTest, SizeFromContentAndMaximumSize)
{
    panel->SetText(u"abcd");
    EXPECT_EQ(panel->CalculateSize(), (DoublePoint{28, 14}));
    EXPECT_EQ(panel->GetFrame().width, 100) << "its own rules come back";
    LayoutRecord limit;
    limit.offset = 250;
    EXPECT_GE(panel->SetLayoutSize(1, panel->GetLayout().size[1], limit), 0);
    EXPECT_EQ(panel->GetMaximumSize(), (DoublePoint{0, 250}));
}

// Docking sorts siblings too, so a changed flag must resort the parent's drawing order.
TEST_F(BoundsTest, ADockingChangeResortsTheParentsDrawingOrder)
{
    RCPtr<TestControl> first = Make(panel.Get(), u"first", 0, 0, 10, 10);
    RCPtr<TestControl> second = Make(panel.Get(), u"second", 0, 0, 10, 10);
    EXPECT_EQ(panel->GetChildren().GetAt(0, ChildControlList::kDrawing), first.Get());
    EXPECT_EQ(first->SetDocked(0, true), S_OK);
    EXPECT_EQ(first->SetDocked(0, true), 1);
    EXPECT_EQ(panel->GetChildren().GetAt(0, ChildControlList::kDrawing), second.Get());
}

TEST_F(BoundsTest, PartOpacitiesShowOneOrSeveralLooks)
{
    RCPtr<TestControl> c = Make(panel.Get(), u"c", 0, 0, 10, 10);
    c->AddVisualPart(RCPtr<ILook>(new FakeLook()));
    EXPECT_EQ(c->AddVisualPart(RCPtr<ILook>(new FakeLook())), 2);
    EXPECT_EQ(c->GetPartOpacity(2), 0.0f);
    EXPECT_EQ(c->SetPartOpacity(1, 1.0f, true), S_OK);
    EXPECT_EQ(c->GetFirstVisiblePartIndex(), 1);
    EXPECT_EQ(c->GetPartOpacity(0), 0.0f);
    root->dirty.clear();
    EXPECT_EQ(c->SetPartOpacity(1, 1.5f, false), S_OK);
    EXPECT_EQ(c->GetPartOpacity(1), 1.0f);
    EXPECT_TRUE(root->dirty.empty());
    EXPECT_EQ(c->SetPartOpacity(3, 1.0f, false), E_INVALIDARG);
    EXPECT_GE(c->SetPartOpacity(2, 0.5f, false), 0);
    EXPECT_EQ(c->GetPartOpacity(1), 1.0f);
    EXPECT_EQ(c->GetPartOpacity(2), 0.5f);
    EXPECT_EQ(c->GetVisualPart(7).Get(), c->GetVisualPart(1).Get()) << "out of range: the shown look";
}

TEST_F(BoundsTest, OverlayAndTextSourcePartsGoToTheChosenLook)
{
    RCPtr<TestControl> c = Make(panel.Get(), u"c", 0, 0, 10, 10);
    RCPtr<TestControl> bare(new TestControl(panel.Get(), u"bare"));
    RCPtr<LRefCountedObject> image(new LConditionsParam());
    EXPECT_EQ(bare->SetVisualPart(image, 0, 0, true), E_FAIL);
    EXPECT_EQ(bare->SetPartSource(image, 0), E_FAIL);
    EXPECT_EQ(c->SetPartSource(nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(c->SetPartSource(image, 0), S_OK);
    root->dirty.clear();
    EXPECT_EQ(c->SetVisualPart(nullptr, 0, 0, false), 1);
    EXPECT_TRUE(root->dirty.empty());
    EXPECT_EQ(c->SetVisualPart(image, 0, 0, true), 0);
    EXPECT_FALSE(root->dirty.empty());
}

TEST_F(BoundsTest, PartRegionsAreSetClearedAndRebuiltOnlyOnLooksThatExist)
{
    using Regions = std::vector<RegionRect>;
    constexpr size_t kParts = 4;          // slot 2 holds no look
    const Regions whole{{0, 0, 41, 20}};  // 40.5 x 20.4 rounded half away from zero
    struct Row {
        const char* what;
        std::function<QVResult(LControl&)> op;
        Regions before[kParts];
        QVResult answer;
        Regions after[kParts];
        bool redraws;
    } rows[] = {
        {"setting replaces the old region",
         [](LControl& c) {
             return c.SetPartRegion(1, RegionOf({{2, 3, 12, 8}}));
         },
         {{}, {{0, 0, 5, 5}}, {}, {}},
         S_OK,
         {{}, {{2, 3, 12, 8}}, {}, {}},
         true},
        {"setting on an empty slot",
         [](LControl& c) {
             return c.SetPartRegion(2, RegionOf({{2, 3, 12, 8}}));
         },
         {},
         E_INVALIDARG,
         {},
         false},
        {"setting past the looks",
         [](LControl& c) {
             return c.SetPartRegion(4, RegionOf({{2, 3, 12, 8}}));
         },
         {},
         E_INVALIDARG,
         {},
         false},
        {"a negative index is no stand-in for the shown look",
         [](LControl& c) {
             return c.SetPartRegion(-1, RegionOf({{2, 3, 12, 8}}));
         },
         {},
         E_INVALIDARG,
         {},
         false},
        {"rebuilt as the whole control less the other's region, which may stick out",
         [](LControl& c) { return c.ResetPartRegion(0, 3); },
         {{{1, 1, 2, 2}}, {}, {}, {{30, 0, 45, 10}}},
         S_OK,
         {{{0, 0, 30, 10}, {0, 10, 41, 20}}, {}, {}, {{30, 0, 45, 10}}},
         true},
        {"rebuilt against a look without a region: the whole control",
         [](LControl& c) { return c.ResetPartRegion(0, 1); },
         {},
         S_OK,
         {whole, {}, {}, {}},
         true},
        {"rebuilt against its own region",
         [](LControl& c) { return c.ResetPartRegion(0, 0); },
         {{{0, 0, 10, 20}}, {}, {}, {}},
         S_OK,
         {{{10, 0, 41, 20}}, {}, {}, {}},
         true},
        {"rebuilt against a missing look",
         [](LControl& c) { return c.ResetPartRegion(0, 2); },
         {{{1, 1, 2, 2}}, {}, {}, {}},
         E_INVALIDARG,
         {{{1, 1, 2, 2}}, {}, {}, {}},
         false},
        {"rebuilding a missing look",
         [](LControl& c) { return c.ResetPartRegion(7, 0); },
         {{{1, 1, 2, 2}}, {}, {}, {}},
         E_INVALIDARG,
         {{{1, 1, 2, 2}}, {}, {}, {}},
         false},
        {"clearing one leaves the others",
         [](LControl& c) { return c.ClearPartRegion(1); },
         {{{1, 1, 2, 2}}, {{3, 3, 4, 4}}, {}, {}},
         S_OK,
         {{{1, 1, 2, 2}}, {}, {}, {}},
         true},
        {"clearing one that has none redraws nothing",
         [](LControl& c) { return c.ClearPartRegion(1); },
         {{{1, 1, 2, 2}}, {}, {}, {}},
         S_OK,
         {{{1, 1, 2, 2}}, {}, {}, {}},
         false},
        {"clearing a missing look", [](LControl& c) { return c.ClearPartRegion(2); }, {}, E_INVALIDARG, {}, false},
        {"clearing all",
         [](LControl& c) {
             c.ClearAllPartRegions();
             return S_OK;
         },
         {{{1, 1, 2, 2}}, {{3, 3, 4, 4}}, {}, {{0, 0, 9, 9}}},
         S_OK,
         {},
         true},
        {"clearing all when none has one redraws nothing",
         [](LControl& c) {
             c.ClearAllPartRegions();
             return S_OK;
         },
         {},
         S_OK,
         {},
         false},
    };

    RCPtr<TestControl> c = Make(panel.Get(), u"c", 5, 5, 40.5, 20.4);
    std::vector<RCPtr<FakeLook>> looks{RCPtr<FakeLook>(static_cast<FakeLook*>(c->GetVisualPart(0).Get())),
                                       RCPtr<FakeLook>(new FakeLook()), nullptr, RCPtr<FakeLook>(new FakeLook())};
    for (size_t i = 1; i < kParts; ++i) c->AddVisualPart(RCPtr<ILook>(looks[i].Get()));
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        for (size_t i = 0; i < kParts; ++i) {
            if (looks[i]) looks[i]->region = RegionOf(r.before[i]);
        }
        root->dirty.clear();
        EXPECT_EQ(r.op(*c), r.answer);
        for (size_t i = 0; i < kParts; ++i) {
            SCOPED_TRACE(i);
            if (looks[i]) {
                EXPECT_TRUE(CoversExactly(looks[i]->region, r.after[i]));
            }
        }
        EXPECT_EQ(!root->dirty.empty(), r.redraws);
    }
}

TEST_F(BoundsTest, ContextMenusShowOnRightClickEveryTime)
{
    RCPtr<TestControl> c = Make(panel.Get(), u"c", 0, 0, 20, 20);
    log->Listen(c.Get(), {u"NID_RIGHT_CLICK"});
    RCPtr<LMouseButtonParam> click = LMouseButtonParam::Create(LMouseButtonParam::kRight, {1, 1}, 0, false, 0, 0);
    EXPECT_EQ(c->DoRightClick(click), S_OK);
    EXPECT_EQ(log->names.size(), 1u);
    EXPECT_EQ(c->GetChildren().GetCount(), 0u) << "no menu, nothing shown";

    RCPtr<LRefCountedObject> menu(new LConditionsParam());
    c->SetContextMenu(menu);
    c->DoRightClick(click);
    EXPECT_EQ(c->GetChildren().GetCount(), 0u) << "a skin without a contextMenu shows nothing";

    RCPtr<FakeDescriptor> popup(new FakeDescriptor(u"contextMenu"));
    app.factory.descriptors.push_back(RCPtr<IControlDescriptor>(popup.Get()));
    c->DoRightClick(click);
    c->DoRightClick(click);
    auto* shown = dynamic_cast<FakePopup*>(c->FindChildControl(u"contextMenu").Get());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->shown, 2);
    EXPECT_EQ(shown->menu.Get(), menu.Get());
    EXPECT_EQ(app.factory.created, 1);
}

TEST_F(BoundsTest, ToolTipsShowEveryTimeAndHide)
{
    RCPtr<TestControl> c = Make(panel.Get(), u"c", 0, 0, 20, 20);
    EXPECT_EQ(c->ShowToolTip(true), S_OK);
    RCPtr<FakeDescriptor> tip(new FakeDescriptor(u"toolTip"));
    app.factory.descriptors.push_back(RCPtr<IControlDescriptor>(tip.Get()));
    c->ShowToolTip(true);
    EXPECT_EQ(app.factory.created, 0) << "no text, no tool tip";

    c->SetToolTipText(u"Volume");
    c->ShowToolTip(true);
    c->ShowToolTip(false);
    c->ShowToolTip(true);
    auto* shown = dynamic_cast<FakePopup*>(c->FindChildControl(u"toolTip").Get());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetText(), u"Volume");
    EXPECT_EQ(shown->shown, 2);
    EXPECT_EQ(shown->dismissed, 1);
    EXPECT_EQ(app.factory.created, 1);
}

}  // namespace
}  // namespace control_test
