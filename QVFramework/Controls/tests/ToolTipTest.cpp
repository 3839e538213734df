#include "ControlTestSupport.h"
#include "LToolTip.h"

namespace control_test {
namespace {

class ToolTipTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop();
        owner = Make(top.Get(), u"owner", 100, 50, 80, 20);
        tip = new LToolTip(owner.Get(), u"toolTip");
        ControlLayout l;
        l.size[0].offset = 60;
        l.size[1].offset = 16;
        tip->SetLayout(l);
        tip->Initialize();
        tip->SetInitialized(true);
        tip->SetText(u"Hint");
        root->cursorX = 130;
        root->cursorY = 60;
    }
    void Idle(uint32_t ms)
    {
        app.nowMs += ms;
        root->Idle();
    }
    bool Shown() const { return tip->IsEffectivelyVisible(false); }

    RCPtr<TestControl> owner;
    RCPtr<LToolTip> tip;
};

TEST_F(ToolTipTest, ShowsAfterTheHoverDelayBelowTheCursor)
{
    tip->PlaceAtCursor();
    struct Tick {
        uint32_t ms;
        bool shown;
    };
    for (const Tick t : {Tick{0, false}, Tick{300, false}, Tick{199, false}, Tick{2, true}}) {
        SCOPED_TRACE(t.ms);
        Idle(t.ms);
        EXPECT_EQ(t.shown, Shown());
    }
    // Cursor (130, 60) in the root; the owner sits at (100, 50).
    EXPECT_DOUBLE_EQ(30, tip->GetFrame().x);
    EXPECT_DOUBLE_EQ(30, tip->GetFrame().y);
    EXPECT_EQ(0, tip->GetIdleUserCount());
}

TEST_F(ToolTipTest, DismissHidesAndStopsWaiting)
{
    tip->PlaceAtCursor();
    tip->Dismiss();
    EXPECT_EQ(0, tip->GetIdleUserCount());
    Idle(1000);
    EXPECT_FALSE(Shown());
}

TEST_F(ToolTipTest, ATipAskedForSoonAfterAHideShowsAtOnce)
{
    tip->PlaceAtCursor();
    Idle(600);
    ASSERT_TRUE(Shown());
    tip->Dismiss();
    EXPECT_FALSE(Shown());
    Idle(100);
    tip->PlaceAtCursor();
    EXPECT_TRUE(Shown());
    tip->Dismiss();
    Idle(2000);
    tip->PlaceAtCursor();
    EXPECT_FALSE(Shown());
}

}  // namespace
}  // namespace control_test
