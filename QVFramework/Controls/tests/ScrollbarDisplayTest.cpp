// Real SDL events through a real window: a scroll view's thumb pressed and
// dragged with the mouse moves the content, and so does the wheel.
#include <gtest/gtest.h>

#include <chrono>

#include "LButton.h"
#include "LScrollView.h"
#include "RealWindowFixture.h"

namespace {

using namespace QV;
using namespace class_factory_test;

// The view sits at (20, 20), 200 x 150; its bar at its right edge, with a
// 118-pixel channel between two 16-pixel buttons.
constexpr int kBarX = 20 + 184 + 8;
constexpr int kChannelTop = 20 + 16;

class ScrollbarDisplayTest : public RealWindowFixture {
protected:
    void SetUp() override
    {
        OpenWindow("scroll bar", 320, 240);
        if (HasFatalFailure()) return;
        ClassFactory& factory = controlApp.factory;
        factory.Register<LScrollView>("View");
        factory.Register<LScrollbar>("Framework.ScrollBar");
        factory.Register<LButton>("Framework.Button");
        factory.Register<control_test::TestControl>("Plain");

        RCPtr<FakeDescriptor> bar = With(Describe(u"vBar", u"Framework.ScrollBar", 184, 0, 16, 150),
                                         {Describe(u"dec", u"Framework.Button", 0, 0, 16, 16, 7),
                                          With(Describe(u"channel", u"Plain", 0, 16, 16, 118, 2),
                                               {Describe(u"thumb", u"Framework.Button", 0, 0, 16, 16, 7)}),
                                          Describe(u"inc", u"Framework.Button", 0, 134, 16, 16, 7)});
        // Docked and placed against the view's frame, the bar stays put while the content scrolls.
        bar->layout.xIsDocked = bar->layout.yIsDocked = true;
        bar->layout.position[0].kind = bar->layout.position[1].kind = LayoutKind::kParent;
        RCPtr<FakeDescriptor> view =
            With(Describe(u"view", u"View", 20, 20, 200, 150), {Describe(u"content", u"Plain", 0, 0, 150, 600), bar});
        // A second view below, 200 x 50, that scrolls only sideways.
        RCPtr<FakeDescriptor> hBar = With(Describe(u"hBar", u"Framework.ScrollBar", 0, 34, 200, 16),
                                          {With(Describe(u"channel", u"Plain", 0, 0, 200, 16, 2),
                                                {Describe(u"thumb", u"Framework.Button", 0, 0, 16, 16, 7)})});
        hBar->layout.xIsDocked = hBar->layout.yIsDocked = true;
        hBar->layout.position[0].kind = hBar->layout.position[1].kind = LayoutKind::kParent;
        RCPtr<FakeDescriptor> wide = With(Describe(u"wide", u"View", 20, 180, 200, 50),
                                          {Describe(u"wideContent", u"Plain", 0, 0, 600, 34), hBar});
        RCPtr<LControl> main =
            factory.CreateControl(With(Describe(u"top", u"", 0, 0, 320, 240), {view, wide}), nullptr);
        LRootWindow& root = *window->GetRootWindow();
        EXPECT_GE(root.SetMainControl(main), 0);
        EXPECT_GE(main->SetBounds({0, 0}, {320, 240}), 0);
        theView = RCPtr<LScrollView>(dynamic_cast<LScrollView*>(main->FindChildControl(u"view").Get()));
        ASSERT_TRUE(theView);
        EXPECT_GE(theView->SetClientExtent(184, 600), 0);
        wideView = RCPtr<LScrollView>(dynamic_cast<LScrollView*>(main->FindChildControl(u"wide").Get()));
        ASSERT_TRUE(wideView);
        EXPECT_GE(wideView->SetClientExtent(600, 34), 0);
        window->Show(1);
        RunFor(std::chrono::milliseconds(150));
    }
    void Move(int x, int y, Uint32 buttons)
    {
        PushMotion(x, y, buttons);
        RunFor(std::chrono::milliseconds(60));
    }
    void Button(Uint32 type, int x, int y)
    {
        PushButton(type, x, y);
        RunFor(std::chrono::milliseconds(60));
    }

    // One notch; positive y is away from the user, positive x to the right.
    void Wheel(int x, int y, int dx, int dy)
    {
        Move(x, y, 0);
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.windowID = WindowId();
        e.wheel.x = dx;
        e.wheel.y = dy;
        SDL_PushEvent(&e);
        RunFor(std::chrono::milliseconds(60));
    }

    RCPtr<LScrollView> theView;
    RCPtr<LScrollView> wideView;
};

TEST_F(ScrollbarDisplayTest, DraggingTheThumbScrollsTheContent)
{
    LScrollbar* bar = theView->GetBar(1);
    ASSERT_TRUE(bar);
    ASSERT_EQ(bar->GetThumbLength(), 30);  // a quarter of the channel, rounded
    // The thumb travels 88 pixels over a 450-pixel range.
    Move(kBarX, kChannelTop + 4, 0);
    Button(SDL_MOUSEBUTTONDOWN, kBarX, kChannelTop + 4);
    Move(kBarX, kChannelTop + 4 + 44, SDL_BUTTON_LMASK);
    EXPECT_DOUBLE_EQ(bar->GetValue(), 0.5);
    EXPECT_EQ(theView->GetScrollOffset().y, 225);

    Move(kBarX + 60, 230, SDL_BUTTON_LMASK);  // off the bar and past its end
    EXPECT_DOUBLE_EQ(bar->GetValue(), 1.0);
    EXPECT_EQ(theView->GetScrollOffset().y, 450);

    Button(SDL_MOUSEBUTTONUP, kBarX + 60, 230);
    Move(kBarX, kChannelTop + 10, 0);
    EXPECT_EQ(theView->GetScrollOffset().y, 450);  // moves without the button scroll nothing
}

TEST_F(ScrollbarDisplayTest, PressingTheChannelBeforeTheThumbPagesBack)
{
    LScrollbar* bar = theView->GetBar(1);
    ASSERT_TRUE(bar);
    bar->SetValue(0.5);  // the thumb covers 44 to 74 of the channel
    Move(kBarX, kChannelTop + 36, 0);
    Button(SDL_MOUSEBUTTONDOWN, kBarX, kChannelTop + 36);
    Button(SDL_MOUSEBUTTONUP, kBarX, kChannelTop + 36);
    EXPECT_NEAR(bar->GetValue(), 0.5 - 150.0 / 450.0, 1e-12);  // one page of 150 out of 450
    EXPECT_EQ(theView->GetScrollOffset().y, 75);
}

TEST_F(ScrollbarDisplayTest, TheWheelOverTheContentScrollsTheViewTheWayItTurns)
{
    LScrollbar* down = theView->GetBar(1);
    LScrollbar* across = wideView->GetBar(0);
    ASSERT_TRUE(down);
    ASSERT_TRUE(across);
    struct Row {
        const char* what;
        LScrollView* view;
        LScrollbar* bar;
        int x, y, dx, dy;
        bool forward;
    } rows[] = {
        {"wheel down over the content", theView.Get(), down, 60, 60, 0, -1, true},
        {"wheel up over the content", theView.Get(), down, 60, 60, 0, 1, false},
        {"tilt right over the content", wideView.Get(), across, 60, 200, 1, 0, true},
        {"tilt left over the content", wideView.Get(), across, 60, 200, -1, 0, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        r.bar->SetValue(0.5);
        const DoublePoint before = r.view->GetScrollOffset();
        Wheel(r.x, r.y, r.dx, r.dy);
        const double moved = r.bar->GetValue() - 0.5;
        EXPECT_GT(r.forward ? moved : -moved, 0.0);
        const DoublePoint after = r.view->GetScrollOffset();
        const double shift = r.dx != 0 ? after.x - before.x : after.y - before.y;
        EXPECT_GT(r.forward ? shift : -shift, 0.0) << "the content moves with the bar";
    }
}

}  // namespace
