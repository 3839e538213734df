#include <gtest/gtest.h>

#include "ControlsTestSupport.h"

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
        view->SetClientExtent(r.x, r.y);
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
    view->SetClientExtent(200, 200);
    EXPECT_EQ(view->GetScrollRange(nullptr), (DoubleRect{0, 0, 0, 0}));
}

TEST_F(ScrollViewTest, PixelScrollingFollowsTheBars)
{
    view->SetClientExtent(500, 184);  // only the horizontal bar; client 200 x 184
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
    view->SetClientExtent(100, 460);  // ten items of 46, four of which fit in 184..200
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
    view->SetClientExtent(400, 400);
    struct Row {
        const char* what;
        uint32_t modifiers;
        int32_t direction;
        double h, v;
    } rows[] = {
        {"plain wheel moves the vertical bar a line", 0, 0, 0, 184.0 / 216 / 10},
        {"a negative direction moves back", 0, 1, 0, 0},
        {"Alt moves the horizontal bar", 0x40, 0, 184.0 / 216 / 10, 0},
        {"Shift moves a page", 8, 0, 0, 184.0 / 216},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        hBar->SetValue(0);
        vBar->SetValue(0);
        RCPtr<LPointerInput> wheel(new LPointerInput(0, 0, r.modifiers));
        wheel->direction = r.direction;
        EXPECT_EQ(view->OnMouseWheel(wheel), S_OK);
        EXPECT_NEAR(hBar->GetValue(), r.h, 1e-12);
        EXPECT_NEAR(vBar->GetValue(), r.v, 1e-12);
    }
    view->SetClientExtent(10, 10);
    EXPECT_EQ(view->OnMouseWheel(RCPtr<LPointerInput>(new LPointerInput(0, 0))), 1);
}

TEST_F(ScrollViewTest, AutomaticExtentFollowsTheChildren)
{
    Add<TestControl>(view.Get(), u"content", At(0, 150), At(260, 40));
    EXPECT_EQ(view->SetAutoClientExtent(LScrollView::kAutoHeight, 0, 10), S_OK);
    EXPECT_EQ(view->GetClientExtent(), (DoublePoint{0, 310}));
    EXPECT_EQ(vBar->GetFrame().width, kBar);
    EXPECT_EQ(view->GetChildrenExtent(), (DoublePoint{150, 300}));  // docked corner and bars left out
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
        uint32_t key;
        bool vertical;
        double expected;
        bool taken;
    } rows[] = {
        {"Down on a vertical bar", 0x20280000, true, 0.52, true},
        {"Page Up on a vertical bar", 0x20210000, true, 0.3, true},
        {"Page Up on a horizontal bar passes on", 0x20210000, false, 0.5, false},
        {"Right on a horizontal bar", 0x20270000, false, 0.52, true},
        {"End on either", 0x20230000, false, 1.0, true},
        {"Home on either", 0x20240000, true, 0.0, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        bar->SetVertical(r.vertical);
        bar->SetValue(0.5);
        RCPtr<LSiblingKeyParam> sibling(new LSiblingKeyParam(RCPtr<LKeyParam>(new LKeyParam({r.key, 0, 0}))));
        bar->OnScrollbarKey(nullptr, LNotification::Create(u"NID_SIBLING_KEY", sibling));
        EXPECT_NEAR(bar->GetValue(), r.expected, 1e-12);
        EXPECT_EQ(sibling->unhandled, r.taken ? 0 : 1);
    }
    EXPECT_EQ(bar->SetKeyMask(0x1FF), E_INVALIDARG);
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
        p->pressY = 150;
        bar->OnChannelLeftDragChange(nullptr, LNotification::Create(u"NID_LEFT_DRAG_CONDITION_CHANGE", p));
    }
    void IdleAt(uint32_t ms)
    {
        app.nowMs = ms;
        root->Idle();
    }

    RCPtr<LScrollbar> bar;
    RCPtr<TestControl> channel, thumb;
};

TEST_F(ScrollbarPagingTest, HeldPressPagesAtOnceThenAfterTheDelayThenRepeatsUntilTheThumbReachesThePointer)
{
    app.nowMs = 10000;
    Press(0, Condition::kLeftPressed | Condition::kCaptured);
    EXPECT_EQ(bar->GetPagingSide(), 2);
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
    EXPECT_EQ(bar->GetPagingSide(), 0);
    EXPECT_EQ(bar->GetIdleUserCount(), 0);
}

TEST_F(ScrollbarPagingTest, PressOnTheThumbPagesNothingAndAFullThumbKeepsItsValue)
{
    bar->SetValue(0.75);  // thumb at 135..155 covers 150
    Press(0, Condition::kLeftPressed | Condition::kCaptured);
    EXPECT_EQ(bar->GetPagingSide(), 0);
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.75);

    bar->thumbFraction = 1.0;
    bar->UpdateThumb();
    bar->SetValueFromThumb();
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.75);
}

}  // namespace
