#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "LButton.h"

namespace {

using namespace controls_test;

constexpr double kBar = 16;

// A 200 x 200 view with a 16-pixel corner at its bottom right and both bars
// sized to the corner, as a skin lays them out.
class ScrollViewTest : public TreeFixture {
protected:
    ScrollViewTest()
    {
        MakeTop();
        view = Add<LScrollView>(top.Get(), u"view", At(10, 200), At(20, 200));
        const AxisRules farEdge{Rec(LayoutKind::kClient, 0, 1.0f), Rec(LayoutKind::kSelf, kBar), 1.0f};
        corner = Add<TestControl>(view.Get(), u"corner", farEdge, farEdge, true);
        const AxisRules toCornerStart{Rec(LayoutKind::kClient, 0), Rec(LayoutKind::kSibling, 0, 0.0f, u"corner")};
        const AxisRules cornerThick{Rec(LayoutKind::kClient, 0, 1.0f), Rec(LayoutKind::kSibling, 0, 0.0f, u"corner"),
                                    1.0f};
        hBar = Add<LScrollbar>(view.Get(), u"hBar", toCornerStart, cornerThick, true);
        vBar = Add<LScrollbar>(view.Get(), u"vBar", cornerThick, toCornerStart, true);
        Initialize(view.Get());
        log->Listen(view.Get(), {u"NID_CLIENT_EXTENT_CHANGE"});
    }

    RCPtr<LScrollView> view;
    RCPtr<TestControl> corner;
    RCPtr<LScrollbar> hBar, vBar;
    RCPtr<NotificationLog> log{new NotificationLog()};  // counted: distributors hold it
};

TEST_F(ScrollViewTest, UnregisteringForgetsTheViewsOwnHandlerEntry)
{
    view->SetClientExtent(200, 600);
    vBar->SetValue(0.5);
    const double scrolled = view->GetScrollOffset().y;
    ASSERT_GT(scrolled, 0.0);
    const RCPtr<LNotificationDistributor> from(vBar.Get());
    EXPECT_EQ(view->UnregisterNotification(from, u"NID_VALUE_CHANGE"), S_OK);
    vBar->SetValue(1.0);
    (void)view->ReceiveNotification(from, LNotification::Create(u"NID_VALUE_CHANGE"));
    EXPECT_EQ(view->GetScrollOffset().y, scrolled) << "the view no longer follows the bar";
}

TEST_F(ScrollViewTest, BarsShowOnlyWhereTheContentDoesNotFit)
{
    struct Row {
        const char* what;
        double x, y;
        bool h, v;
    } rows[] = {
        {"taller content brings the vertical bar, which then crowds the width", 200, 300, true, true},
        {"content equal to the view shows none", 200, 200, false, false},
        {"smaller content shows none", 100, 100, false, false},
        {"wider content, low enough to stay clear of the horizontal bar", 300, 100, true, false},
        {"wider content that the horizontal bar pushes below the view", 300, 190, true, true},
        {"taller content only", 150, 300, false, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_GE(view->SetClientExtent(r.x, r.y), 0);
        EXPECT_EQ(hBar->GetFrame().height, r.h ? kBar : 0);
        EXPECT_EQ(vBar->GetFrame().width, r.v ? kBar : 0);
        EXPECT_EQ(hBar->GetFrame().width, 200 - (r.v ? kBar : 0));  // bars re-flow to the corner
        const DoubleRect client = view->GetClientRect();
        EXPECT_EQ(client.width, 200 - (r.v ? kBar : 0));
        EXPECT_EQ(client.height, 200 - (r.h ? kBar : 0));
    }
}

TEST_F(ScrollViewTest, ScrollRangeAndExtentNotifications)
{
    EXPECT_EQ(view->GetScrollRange(nullptr), (DoubleRect{0, 0, kMaxExactDouble, kMaxExactDouble}));
    EXPECT_EQ(view->SetClientExtent(300, 300), S_OK);
    EXPECT_EQ(view->GetScrollRange(nullptr), (DoubleRect{0, 0, 116, 116}));
    EXPECT_EQ(view->SetClientExtent(300 + 1e-16, 300), 1);
    EXPECT_EQ(log->names, (std::vector<std::string>{"NID_CLIENT_EXTENT_CHANGE"}));
    EXPECT_GE(view->SetClientExtent(200, 200), 0);
    EXPECT_EQ(view->GetScrollRange(nullptr), (DoubleRect{0, 0, 0, 0}));
}

TEST_F(ScrollViewTest, PixelScrollingFollowsTheBars)
{
    EXPECT_GE(view->SetClientExtent(500, 184), 0);  // only the horizontal bar; client 200 x 184
    EXPECT_DOUBLE_EQ(hBar->thumbFraction, 200.0 / 500.0);
    EXPECT_DOUBLE_EQ(hBar->pageStep, 200.0 / 300.0);
    EXPECT_DOUBLE_EQ(hBar->lineStep, 200.0 / 3000.0);
    hBar->SetValue(0.5);
    EXPECT_EQ(view->GetScrollOffset(), (DoublePoint{150, 0}));
    vBar->SetValue(1.0);  // a hidden bar with an empty range moves nothing
    EXPECT_EQ(view->GetScrollOffset().y, 0);
}

TEST_F(ScrollViewTest, ItemScrollingStepsInWholeItemsAndFallsBackToPixels)
{
    EXPECT_GE(view->SetClientExtent(100, 460), 0);  // ten items of 46, four of which fit in 184..200
    view->SetItemScrolling(true, 46);
    EXPECT_DOUBLE_EQ(vBar->lineStep, 1.0 / 6);
    EXPECT_DOUBLE_EQ(vBar->pageStep, 4.0 / 6);
    EXPECT_DOUBLE_EQ(vBar->thumbFraction, 0.4);
    EXPECT_DOUBLE_EQ(vBar->NormalizedToValue(1.0), 6);
    vBar->SetValue(0.5);
    EXPECT_EQ(view->GetScrollOffset().y, 3 * 46);

    view->SetItemScrolling(true, 0);
    EXPECT_DOUBLE_EQ(vBar->pageStep, 200.0 / 260.0);
    EXPECT_DOUBLE_EQ(vBar->lineStep, vBar->pageStep / 10);
}

TEST_F(ScrollViewTest, WheelPicksTheBarAndStepByModifiers)
{
    EXPECT_GE(view->SetClientExtent(400, 400), 0);
    constexpr double kLine = 184.0 / 216 / 10;
    constexpr double kPage = 184.0 / 216;
    struct Row {
        const char* what;
        uint32_t modifiers;
        uint32_t direction;
        double start;
        double h, v;
    } rows[] = {
        {"plain wheel down moves the vertical bar a line", 0, LMouseWheelParam::kDown, 0, 0, kLine},
        {"wheel up moves back", 0, LMouseWheelParam::kUp, 0.5, 0.5, 0.5 - kLine},
        {"Alt moves the horizontal bar", 0x40, LMouseWheelParam::kDown, 0, kLine, 0},
        {"Shift moves a page", 8, LMouseWheelParam::kDown, 0, 0, kPage},
        {"a tilt right moves the horizontal bar forward", 0, LMouseWheelParam::kRight, 0.5, 0.5 + kLine, 0.5},
        {"a tilt left moves it back", 0, LMouseWheelParam::kLeft, 0.5, 0.5 - kLine, 0.5},
        {"Shift tilts a page", 8, LMouseWheelParam::kRight, 0, kPage, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        hBar->SetValue(r.start);
        vBar->SetValue(r.start);
        EXPECT_EQ(view->HandleMouseWheel(LMouseWheelParam::Create({0, 0}, r.modifiers, r.direction)), S_OK);
        EXPECT_NEAR(hBar->GetValue(), r.h, 1e-12);
        EXPECT_NEAR(vBar->GetValue(), r.v, 1e-12);
    }
    EXPECT_GE(view->SetClientExtent(10, 10), 0);
    EXPECT_EQ(view->OnMouseWheel(LMouseWheelParam::Create({0, 0}, 0, LMouseWheelParam::kDown)), kNotHandled);
    EXPECT_EQ(view->OnScrollKey(LMouseWheelParam::Create({0, 0}, 0, LMouseWheelParam::kRight)), kNotHandled);
}

TEST_F(ScrollViewTest, AutomaticExtentFollowsTheChildren)
{
    Add<TestControl>(view.Get(), u"content", At(0, 150), At(260, 40));
    EXPECT_EQ(view->SetAutoClientExtent(LScrollView::kAutoHeight, 0, 10), S_OK);
    EXPECT_EQ(view->GetClientExtent(), (DoublePoint{0, 310}));
    EXPECT_EQ(vBar->GetFrame().width, kBar);
    EXPECT_EQ(view->GetChildrenExtent(), (DoublePoint{150, 300}));  // docked corner and bars left out
}

TEST_F(ScrollViewTest, ContentRectIsTheShownContentAtTheScrollOffset)
{
    struct Row {
        const char* what;
        std::vector<DoubleRect> children;
        DoublePoint extent, offset;
        DoubleRect expected;
    } rows[] = {
        {"no content children: the client area", {}, {100, 100}, {0, 0}, {0, 0, 200, 200}},
        {"children smaller than the client area limit it",
         {{5, 5, 60, 30}, {0, 50, 20, 40}},
         {100, 100},
         {0, 0},
         {0, 0, 65, 90}},
        {"scrolled, at the offset within the client area beside the bar",
         {{0, 0, 150, 600}},
         {150, 600},
         {0, 120},
         {0, 120, 150, 200}},
        {"an empty child still counts one pixel", {{0, 0, 0, 0}}, {10, 10}, {0, 0}, {0, 0, 1, 1}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::vector<RCPtr<TestControl>> added;
        const char16_t* names[] = {u"first", u"second"};
        for (const DoubleRect& c : r.children)
            added.push_back(Add<TestControl>(view.Get(), names[added.size()], At(c.x, c.width), At(c.y, c.height)));
        EXPECT_GE(view->SetClientExtent(r.extent.x, r.extent.y), 0);
        vBar->SetValue(r.offset.y / 400.0);
        EXPECT_EQ(view->GetContentRect(), r.expected);
        for (const RCPtr<TestControl>& c : added) c->Close();
        vBar->SetValue(0);
    }
}

TEST_F(ScrollViewTest, ExtentChangesAndBarMovesRedrawTheShownContent)
{
    Add<TestControl>(view.Get(), u"content", At(0, 150), At(0, 600));
    const auto redrawn = [&](const LongRect& area) {
        for (const LongRect& d : root->dirty) {
            LongRect meet = d;
            if (meet.Intersect(area) && meet == area) return true;
        }
        return false;
    };
    root->dirty.clear();
    EXPECT_GE(view->SetClientExtent(150, 600), 0);  // brings the vertical bar
    EXPECT_TRUE(redrawn({10, 20, 150, 200}));

    root->dirty.clear();
    vBar->SetValue(0.5);
    EXPECT_EQ(view->GetScrollOffset().y, 200);
    EXPECT_TRUE(redrawn({10, 20, 184, 200}));  // the whole client area beside the bar
}

TEST_F(ScrollViewTest, ReappliedDescriptorKeepsTheBarsItNamesAndDropsTheOthers)
{
    RCPtr<FakeDescriptor> d(new FakeDescriptor(u"view"));
    d->layout = view->GetLayout();
    for (const RCPtr<LControl>& child : {RCPtr<LControl>(corner.Get()), RCPtr<LControl>(vBar.Get())}) {
        RCPtr<FakeDescriptor> c(new FakeDescriptor(child->GetName()));
        c->layout = child->GetLayout();
        if (child.Get() == corner.Get())
            c->layout.size[0].offset = c->layout.size[1].offset = kBar;  // as the skin gives it
        d->children.push_back(RCPtr<IControlDescriptor>(c.Get()));
    }
    EXPECT_GE(view->SetClientExtent(300, 300), 0);
    EXPECT_EQ(view->ApplyDescriptor(RCPtr<IControlDescriptor>(d.Get())), S_OK);
    EXPECT_EQ(view->GetBar(0), nullptr);
    EXPECT_EQ(view->GetBar(1), vBar.Get());
    EXPECT_EQ(vBar->GetFrame().width, kBar);  // the content is still taller than the view

    EXPECT_GE(view->SetClientExtent(100, 100), 0);
    EXPECT_EQ(vBar->GetFrame().width, 0);
    EXPECT_EQ(view->ApplyDescriptor(nullptr), E_INVALIDARG);
    EXPECT_EQ(view->GetBar(1), vBar.Get());
}

class ScrollbarTest : public TreeFixture {
protected:
    ScrollbarTest()
    {
        MakeTop();
        bar = Add<LScrollbar>(top.Get(), u"bar", At(0, 16), At(0, 216));
        channel = Add<TestControl>(bar.Get(), u"channel", At(0, 16), At(8, 200));
        thumb = Add<TestControl>(channel.Get(), u"thumb", At(0, 16), At(0, 16));
        Initialize(bar.Get());
    }
    RCPtr<LScrollbar> bar;
    RCPtr<TestControl> channel, thumb;
};

TEST_F(ScrollbarTest, ThumbLengthAndPlaceFollowFractionAndValue)
{
    EXPECT_DOUBLE_EQ(bar->minimumThumbLength, 16);  // the thumb's thickness
    bar->thumbFraction = 0.1;
    bar->UpdateThumb();
    EXPECT_EQ(thumb->GetFrame().height, 20);
    bar->SetValue(0.5);
    EXPECT_EQ(thumb->GetFrame().y, 90);
    bar->thumbFraction = 0.01;
    bar->UpdateThumb();
    EXPECT_EQ(thumb->GetFrame().height, 16);
}

TEST_F(ScrollbarTest, RangeChangeKeepsTheMappedValueAndDragsDeferValues)
{
    bar->SetValue(0.5);
    EXPECT_EQ(bar->SetValueRange(0, 200, 0), S_OK);
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.25);
    EXPECT_EQ(bar->SetValueRange(-1, 5, 1), E_INVALIDARG);
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.25);

    bar->SetDragging(true);
    EXPECT_DOUBLE_EQ(bar->SetValue(0.7), 0.25);
    bar->SetValue(0.9);
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.25);
    bar->SetDragging(false);
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.9);  // the last one wins

    bar->SetDragging(true);
    bar->SetValue(1.5);
    bar->SetDragging(false);
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.9);
}

TEST_F(ScrollbarTest, KeysMoveByOrientationAndMask)
{
    struct Row {
        const char* what;
        KeyCode key;
        bool vertical;
        double expected;
        bool taken;
    } rows[] = {
        {"Down on a vertical bar", KeyPress(0x28), true, 0.52, true},
        {"Page Up on a vertical bar", KeyPress(0x21), true, 0.3, true},
        {"Page Up on a horizontal bar passes on", KeyPress(0x21), false, 0.5, false},
        {"Right on a horizontal bar", KeyPress(0x27), false, 0.52, true},
        {"End on either", KeyPress(0x23), false, 1.0, true},
        {"Home on either", KeyPress(0x24), true, 0.0, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        bar->SetVertical(r.vertical);
        bar->SetValue(0.5);
        RCPtr<LSiblingKeyParam> sibling(new LSiblingKeyParam(RCPtr<LKeyParam>(new LKeyParam(r.key))));
        EXPECT_GE(bar->OnScrollbarKey(nullptr, LNotification::Create(u"NID_SIBLING_KEY", sibling)), 0);
        EXPECT_NEAR(bar->GetValue(), r.expected, 1e-12);
        EXPECT_EQ(sibling->unhandled, r.taken ? 0 : 1);
    }
    EXPECT_EQ(bar->SetKeyMask(0x1FF), E_INVALIDARG);
}

// The bar answers the keys its siblings pass on wherever it is moved.
TEST_F(ScrollbarTest, AMovedBarAnswersItsNewSiblingsKeys)
{
    ASSERT_EQ(bar->SetKeyMask(0xFF), S_OK);
    RCPtr<TestControl> box = Add<TestControl>(top.Get(), u"box", At(100, 50), At(0, 50));
    Initialize(box.Get());

    ASSERT_EQ(bar->ChangeParent(box.Get()), S_OK);

    const struct {
        const char* what;
        LControl* asked;
        QVResult answer;
    } rows[] = {
        {"the new parent's siblings reach it", box.Get(), S_OK},
        {"the old parent's no longer do", top.Get(), kNotHandled},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        bar->SetValue(0.5);
        EXPECT_EQ(r.asked->HandleSiblingKey(RCPtr<LKeyParam>(new LKeyParam(KeyPress(0x28)))), r.answer);
        EXPECT_NEAR(bar->GetValue(), r.answer == S_OK ? 0.52 : 0.5, 1e-12);
    }
}

}  // namespace

namespace {

class ScrollbarPagingTest : public TreeFixture {
protected:
    ScrollbarPagingTest()
    {
        MakeTop();
        bar = Add<LScrollbar>(top.Get(), u"bar", At(0, 16), At(0, 216));
        channel = Add<TestControl>(bar.Get(), u"channel", At(0, 16), At(8, 200));
        thumb = Add<TestControl>(channel.Get(), u"thumb", At(0, 16), At(0, 16));
        Initialize(bar.Get());
        bar->thumbFraction = 0.1;
        bar->UpdateThumb();  // a 20-pixel thumb on a 200-pixel channel
        channel->SetActiveCondition(true);
        root->cursorX = 5;
        root->cursorY = 8 + 150;  // the pointer stays at 150 along the channel
    }

    void Press(uint32_t oldWord, uint32_t newWord)
    {
        RCPtr<LConditionsParam> p(new LConditionsParam);
        p->oldConditions = oldWord;
        p->newConditions = newWord;
        p->pressX = 5;
        p->pressY = 8 + 150;  // in the bar's coordinates, like the channel's frame
        EXPECT_GE(bar->OnChannelLeftDragChange(nullptr, LNotification::Create(u"NID_LEFT_DRAG_CONDITION_CHANGE", p)), 0);
    }
    void IdleAt(uint32_t ms)
    {
        app.nowMs = ms;
        root->Idle();
    }

    RCPtr<LScrollbar> bar;
    RCPtr<TestControl> channel, thumb;
};

// A notification already on its way when its registration is taken back must
// not reach the handler any more.
TEST_F(ScrollbarPagingTest, UnregisteringForgetsTheBarsOwnHandlerEntry)
{
    RCPtr<LConditionsParam> p(new LConditionsParam);
    p->oldConditions = 0;
    p->newConditions = Condition::kLeftPressed | Condition::kCaptured;
    p->pressX = 5;
    p->pressY = 8 + 150;
    const RCPtr<LNotification> press = LNotification::Create(u"NID_LEFT_DRAG_CONDITION_CHANGE", p);
    const RCPtr<LNotificationDistributor> from(channel.Get());
    EXPECT_EQ(bar->UnregisterNotification(from, u"NID_LEFT_DRAG_CONDITION_CHANGE"), S_OK);
    (void)bar->ReceiveNotification(from, press);
    EXPECT_EQ(bar->GetValue(), 0.0) << "no paging";
    EXPECT_EQ(bar->GetPagingSide(), LScrollbar::kOnThumb);
}

TEST_F(ScrollbarPagingTest, HeldPressPagesAtOnceThenAfterTheDelayThenRepeatsUntilTheThumbReachesThePointer)
{
    app.nowMs = 10000;
    Press(0, Condition::kLeftPressed | Condition::kCaptured);
    EXPECT_EQ(bar->GetPagingSide(), LScrollbar::kAfterThumb);
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.2);
    IdleAt(10300);
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.2);  // the first delay is 0.4 s
    IdleAt(10400);
    EXPECT_NEAR(bar->GetValue(), 0.4, 1e-12);
    IdleAt(10500);
    EXPECT_NEAR(bar->GetValue(), 0.4, 1e-12);
    IdleAt(10610);  // clear of the exact 0.2 s edge, which sums of tenths straddle
    EXPECT_NEAR(bar->GetValue(), 0.6, 1e-12);
    IdleAt(10820);
    EXPECT_NEAR(bar->GetValue(), 0.8, 1e-12);  // the thumb now covers the pointer
    IdleAt(11000);
    IdleAt(11200);
    EXPECT_NEAR(bar->GetValue(), 0.8, 1e-12);

    Press(Condition::kLeftPressed | Condition::kCaptured, 0);
    EXPECT_EQ(bar->GetPagingSide(), LScrollbar::kOnThumb);
    EXPECT_EQ(bar->GetIdleUserCount(), 0);
}

TEST_F(ScrollbarPagingTest, PressOnTheThumbPagesNothingAndAFullThumbKeepsItsValue)
{
    bar->SetValue(0.75);  // thumb at 135..155 covers 150
    Press(0, Condition::kLeftPressed | Condition::kCaptured);
    EXPECT_EQ(bar->GetPagingSide(), LScrollbar::kOnThumb);
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.75);

    bar->thumbFraction = 1.0;
    bar->UpdateThumb();
    bar->SetValueFromThumb();
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.75);
}

// A look that keeps the region the bar gives it, and answers it back as
// the control's region operations expect.
class RegionLook : public FakeLook {
    QV_TYPE_NAME("class RegionLook")
public:
    void SetRegion(const RectRegion& region) override
    {
        FakeLook::SetRegion(region);
        rects.clear();
        for (const RegionRect& r : region) rects.push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
    }
    std::vector<LongRect> rects;
};

TEST_F(ScrollbarPagingTest, ChannelShowsItsPressedLookOverThePagedStretchWhileThePointerIsThere)
{
    RCPtr<RegionLook> normal(new RegionLook), pressed(new RegionLook);
    channel->AddVisualPart(RCPtr<ILook>(normal.Get()));
    channel->AddVisualPart(RCPtr<ILook>(pressed.Get()));
    channel->ShowPart(0, true);
    bar->SetValue(0.5);

    struct Row {
        const char* what;
        int32_t cursorAlong;
        std::vector<LongRect> pressedRects;
        float pressedOpacity;
    } rows[] = {
        {"pointer after the thumb: from the thumb's end to the channel's end", 150, {{0, 146, 16, 54}}, 1.0f},
        {"pointer moved onto the thumb: the channel looks normal", 100, {}, 0.0f},
    };
    Press(0, Condition::kLeftPressed | Condition::kCaptured);  // pages to 0.7: thumb at 126..146
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        root->cursorY = 8 + r.cursorAlong;
        bar->UpdateChannelHighlight();
        EXPECT_EQ(pressed->rects, r.pressedRects);
        EXPECT_EQ(channel->GetPartOpacity(1), r.pressedOpacity);
        EXPECT_EQ(channel->GetPartOpacity(0), 1.0f);
        if (!r.pressedRects.empty()) {
            // The normal look keeps to the rest of the channel.
            EXPECT_EQ(normal->rects, (std::vector<LongRect>{{0, 0, 16, 146}}));
        }
    }
    root->cursorY = 8 + 150;
    bar->UpdateChannelHighlight();
    Press(Condition::kLeftPressed | Condition::kCaptured, 0);
    EXPECT_TRUE(pressed->rects.empty());
    EXPECT_TRUE(normal->rects.empty());
    EXPECT_EQ(channel->GetPartOpacity(1), 0.0f);
}

TEST_F(ScrollbarPagingTest, AChannelWithoutAPressedLookIsLeftWhole)
{
    RCPtr<RegionLook> normal(new RegionLook);
    channel->AddVisualPart(RCPtr<ILook>(normal.Get()));
    channel->AddVisualPart(RCPtr<ILook>());  // the skin gives no pressed look
    channel->ShowPart(0, true);
    bar->SetValue(0.5);
    Press(0, Condition::kLeftPressed | Condition::kCaptured);
    bar->UpdateChannelHighlight();
    EXPECT_TRUE(normal->rects.empty()) << "nothing would draw the cut-out stretch";
    EXPECT_EQ(channel->GetPartOpacity(0), 1.0f);
    Press(Condition::kLeftPressed | Condition::kCaptured, 0);
}

// A bar with real step buttons and a real thumb, driven through the
// controls' own pointer handling on the injected clock.
class ScrollbarInputTest : public TreeFixture {
protected:
    void Build(bool vertical, double fraction)
    {
        MakeTop();
        const auto along = [vertical](double offset, double size, AxisRules across) {
            return vertical ? std::pair{across, At(offset, size)} : std::pair{At(offset, size), across};
        };
        const auto [bx, by] = along(0, 216, At(0, 16));
        bar = Add<LScrollbar>(top.Get(), u"bar", bx, by);
        const auto [dx, dy] = along(0, 8, At(0, 16));
        dec = Add<LButton>(bar.Get(), u"dec", dx, dy);
        const auto [ix, iy] = along(208, 8, At(0, 16));
        inc = Add<LButton>(bar.Get(), u"inc", ix, iy);
        const auto [cx, cy] = along(8, 200, At(0, 16));
        channel = Add<TestControl>(bar.Get(), u"channel", cx, cy);
        thumb = Add<LButton>(channel.Get(), u"thumb", At(0, 16), At(0, 16));
        Initialize(bar.Get());
        bar->thumbFraction = fraction;
        bar->UpdateThumb();
    }
    void TearDownTree()
    {
        top->Close();
        top = nullptr;
        root->top = root->focus = root->capture = root->pressTarget = nullptr;
    }
    double ThumbAlong() const { return bar->IsVertical() ? thumb->GetFrame().y : thumb->GetFrame().x; }
    // The pointer at a place along the channel, in the thumb's coordinates as the window gives them.
    LongPoint OnChannel(double along) const
    {
        const int32_t local = static_cast<int32_t>(along - ThumbAlong());
        return bar->IsVertical() ? LongPoint{4, local} : LongPoint{local, 4};
    }
    static RCPtr<LPointWithModifiersParam> Move(const LongPoint& at)
    {
        return LPointWithModifiersParam::Create(at, 0, 0);
    }
    void IdleAt(uint32_t ms)
    {
        app.nowMs = ms;
        root->Idle();
    }

    RCPtr<LScrollbar> bar;
    RCPtr<LButton> dec, inc, thumb;
    RCPtr<TestControl> channel;
};

TEST_F(ScrollbarInputTest, DraggingTheThumbMovesItAndTheValueWithinTheChannel)
{
    struct Row {
        const char* what;
        bool vertical;
        double fraction, start;
        double pressAlong, moveAlong;
        double thumbAt, value;
    } rows[] = {
        {"vertical: the thumb follows the pointer", true, 0.1, 0.0, 5, 95, 90, 0.5},
        {"horizontal alike", false, 0.1, 0.0, 5, 95, 90, 0.5},
        {"grabbed off its start, the thumb keeps the grab", true, 0.1, 0.5, 105, 150, 135, 0.75},
        {"past the channel's end it stops at the end", true, 0.1, 0.0, 5, 400, 180, 1.0},
        {"before the channel's start it stops at the start", false, 0.1, 0.5, 95, -100, 0, 0.0},
        {"a thumb that fills the channel leaves the value", true, 1.0, 0.3, 5, 60, 0, 0.3},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Build(r.vertical, r.fraction);
        bar->SetValue(r.start);
        thumb->OnMouseEnter();
        thumb->HandleMouseDown(
            LMouseButtonParam::Create(LMouseButtonParam::kLeft, OnChannel(r.pressAlong), 0, false, 1, 0));
        thumb->HandleMouseMove(Move(OnChannel(r.moveAlong)));
        EXPECT_EQ(ThumbAlong(), r.thumbAt);
        EXPECT_NEAR(bar->GetValue(), r.value, 1e-12);
        thumb->HandleMouseUp(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {0, 0}, 0, false, 0, 0));
        EXPECT_EQ(ThumbAlong(), r.thumbAt);  // the release keeps the place
        TearDownTree();
    }
}

TEST_F(ScrollbarInputTest, ValueSetDuringADragWaitsForTheRelease)
{
    Build(true, 0.1);
    thumb->OnMouseEnter();
    thumb->HandleMouseDown(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {4, 5}, 0, false, 1, 0));
    thumb->HandleMouseMove(Move(OnChannel(95)));
    bar->SetValue(0.25);  // the content moved under the drag
    EXPECT_EQ(ThumbAlong(), 90);
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.5);
    thumb->HandleMouseUp(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {0, 0}, 0, false, 0, 0));
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.25);
    EXPECT_EQ(ThumbAlong(), 45);
}

TEST_F(ScrollbarInputTest, HeldStepButtonsRepeatAfterTheFirstDelay)
{
    struct Step {
        uint32_t ms;
        int32_t steps;  // line steps taken so far
    };
    const std::vector<Step> timeline{{10250, 1}, {10310, 2}, {10380, 2}, {10420, 3}, {10530, 4}};
    for (bool forward : {true, false}) {
        SCOPED_TRACE(forward ? "inc" : "dec");
        Build(true, 0.1);
        bar->SetValue(0.5);
        LButton& button = forward ? *inc : *dec;
        const double sign = forward ? 1 : -1;
        app.nowMs = 10000;
        button.OnMouseEnter();
        button.HandleMouseDown(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {4, 4}, 0, false, 1, 0));
        EXPECT_NEAR(bar->GetValue(), 0.5 + sign * 0.02, 1e-12);  // one step at the press
        for (const Step& s : timeline) {
            SCOPED_TRACE(s.ms);
            IdleAt(s.ms);
            EXPECT_NEAR(bar->GetValue(), 0.5 + sign * 0.02 * s.steps, 1e-12);
        }
        button.HandleMouseUp(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {4, 4}, 0, false, 0, 0));
        IdleAt(11000);
        EXPECT_NEAR(bar->GetValue(), 0.5 + sign * 0.08, 1e-12);
        TearDownTree();
    }
}

}  // namespace
