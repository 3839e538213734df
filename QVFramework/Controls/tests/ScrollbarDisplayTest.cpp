// Real SDL events through a real window: a scroll view's thumb pressed and
// dragged with the mouse moves the content.
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
        RCPtr<LControl> main = factory.CreateControl(With(Describe(u"top", u"", 0, 0, 320, 240), {view}), nullptr);
        LRootWindow& root = *window->GetRootWindow();
        EXPECT_GE(root.SetMainControl(main), 0);
        EXPECT_GE(main->SetBounds({0, 0}, {320, 240}), 0);
        theView = RCPtr<LScrollView>(dynamic_cast<LScrollView*>(main->FindChildControl(u"view").Get()));
        ASSERT_TRUE(theView);
        EXPECT_GE(theView->SetClientExtent(184, 600), 0);
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

    RCPtr<LScrollView> theView;
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

}  // namespace
