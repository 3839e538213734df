#include "ControlTestSupport.h"

namespace control_test {
namespace {

class AlwaysKeepsFocus : public TestControl {
public:
    using TestControl::TestControl;
    bool AllowsFocusChange() override { return false; }
};

class ConditionsTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop();
        panel = Make(top.Get(), u"panel", 10, 10, 200, 200);
        a = Make(panel.Get(), u"a", 0, 0, 50, 20, 2);
        b = Make(panel.Get(), u"b", 0, 30, 50, 20, 1);
        log = new NotificationLog();
    }
    void TearDown() override { log->UnregisterAllNotifications(); }

    RCPtr<TestControl> panel, a, b;
    RCPtr<NotificationLog> log;
};

TEST_F(ConditionsTest, HoverSendsOneNotificationAndForcedActiveAddsNothingWhileHovered)
{
    log->Listen(a.Get(), {u"NID_CONDITION_CHANGE", u"NID_HOVER_CONDITION_CHANGE"});
    a->OnMouseEnter();
    EXPECT_EQ(log->names, (std::vector<std::string>{"NID_CONDITION_CHANGE", "NID_HOVER_CONDITION_CHANGE"}));
    EXPECT_EQ(a->GetConditions() & 0x1004u, 0x1004u);
    log->Clear();
    a->SetActiveCondition(true);
    EXPECT_TRUE(log->names.empty());
    a->OnMouseLeave();
    EXPECT_EQ(a->GetConditions() & 0x1004u, 0x1000u) << "forced active keeps 0x1000";
}

TEST_F(ConditionsTest, DisablingSendsEnabledChangesDepthFirstLastChildFirst)
{
    RCPtr<TestControl> g = Make(a.Get(), u"g", 0, 0, 5, 5);
    for (LControl* c : {panel.Get(), a.Get(), b.Get(), g.Get()}) log->Listen(c, {u"NID_ENABLED_CONDITION_CHANGE"});
    panel->SetEnabled(false);
    EXPECT_EQ(log->senders, (std::vector<std::string>{"panel", "b", "a", "g"}));
    EXPECT_EQ(g->GetConditions() & Condition::kEnabled, 0u);
}

TEST_F(ConditionsTest, HidingSendsTheVisibilityChangeUnderItsOwnSpelling)
{
    log->Listen(a.Get(), {u"NID_VISIBLITY_CONDITION_CHANGE"});
    EXPECT_FALSE(a->SetVisible(false));
    EXPECT_EQ(log->names, std::vector<std::string>{"NID_VISIBLITY_CONDITION_CHANGE"});
    EXPECT_TRUE(a->SetVisible(true));
    EXPECT_EQ(log->names.size(), 2u);
}

TEST_F(ConditionsTest, ACursorFollowsHoverAndWaitsForTheCaptureToEnd)
{
    a->SetCursor(7);
    a->OnMouseEnter();
    EXPECT_EQ(root->cursor, 7u);
    a->BeginDrag(0, 0, 0);
    a->OnMouseLeave();
    EXPECT_EQ(root->cursor, 7u) << "kept while captured";
    a->EndDrag();
    EXPECT_EQ(root->cursor, 1u);
}

TEST_F(ConditionsTest, HoverIsTestedAgainWhenTheHoveredControlGoesOrTheCaptureEnds)
{
    a->OnMouseEnter();
    root->hoverUpdates = 0;
    a->SetVisible(false);
    EXPECT_EQ(root->hoverUpdates, 1);

    b->BeginDrag(0, 0, 0);
    b->EndDrag();
    EXPECT_EQ(root->hoverUpdates, 2) << "the capture ended away from the control";
    b->OnMouseEnter();
    b->BeginDrag(0, 0, 0);
    b->EndDrag();
    EXPECT_EQ(root->hoverUpdates, 2) << "still over it: nothing to find";
}

TEST_F(ConditionsTest, SetNotFocusableFlipsTheTabStopSign)
{
    struct Row {
        int32_t tab;
        bool flag;
        int32_t expected;
    };
    const Row rows[] = {{0, true, -1}, {-1, false, 1}, {3, true, -3}, {-3, false, 3}, {-2, true, -2}, {4, false, 4},
                       {INT32_MIN, false, INT32_MAX}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.tab);
        ControlLayout l = a->GetLayout();
        l.tabStop = r.tab;
        a->SetLayout(l);
        a->SetNotFocusable(r.flag);
        EXPECT_EQ(a->GetLayout().tabStop, r.expected);
        EXPECT_EQ(a->IsNotFocusable(), r.flag);
    }
}

TEST_F(ConditionsTest, FocusIsOnePathAndSetFocusAnswersZero)
{
    RCPtr<TestControl> other = Make(top.Get(), u"other", 300, 0, 50, 50);
    EXPECT_EQ(a->SetFocus(true), S_OK);
    EXPECT_TRUE(a->HasFocus());
    EXPECT_TRUE(panel->ContainsFocus());
    EXPECT_TRUE(top->ContainsFocus());
    EXPECT_EQ(root->focus, a.Get());
    EXPECT_EQ(a->SetFocus(true), S_OK) << "already focused";

    EXPECT_EQ(other->SetFocus(true), S_OK);
    EXPECT_FALSE(a->HasFocus());
    EXPECT_FALSE(panel->ContainsFocus());
    EXPECT_TRUE(top->ContainsFocus());
    EXPECT_EQ(root->focus, other.Get());
}

TEST_F(ConditionsTest, AContainerPassesFocusToItsFirstOrLastChildInTabOrder)
{
    EXPECT_EQ(panel->SetFocus(true), S_OK);
    EXPECT_TRUE(b->HasFocus()) << "b has the smaller tab stop";
    EXPECT_EQ(top->SetFocus(false), S_OK) << "top contains the focus: the focused branch keeps it";
    EXPECT_TRUE(b->HasFocus());
    a->KillFocus();
    b->KillFocus();
    top->KillFocus();
    EXPECT_EQ(panel->SetFocus(false), S_OK);
    EXPECT_TRUE(a->HasFocus());
}

TEST_F(ConditionsTest, HidingTheFocusedControlHandsTheFocusOnOrUp)
{
    b->SetFocus(true);
    b->SetVisible(false);
    EXPECT_TRUE(a->HasFocus()) << "the parent passes it to its next focusable child";
    a->SetVisible(false);
    EXPECT_TRUE(panel->HasFocus()) << "with nobody left the parent keeps it";
    EXPECT_FALSE(panel->ContainsFocus());
}

TEST_F(ConditionsTest, AControlThatKeepsTheFocusRefusesTheMove)
{
    RCPtr<AlwaysKeepsFocus> keeper(new AlwaysKeepsFocus(panel.Get(), u"keeper"));
    ControlLayout l;
    l.size[0].offset = l.size[1].offset = 10;
    keeper->SetLayout(l);
    keeper->AddVisualPart(RCPtr<ILook>(new FakeLook()));
    keeper->SetNotFocusable(false);
    keeper->Initialize();
    EXPECT_GE(keeper->UpdateLayout(), 0);
    ASSERT_EQ(keeper->SetFocus(true), S_OK);
    EXPECT_EQ(a->SetFocus(true), E_FAIL);
    EXPECT_TRUE(keeper->HasFocus());
    EXPECT_FALSE(a->HasFocus());
}

// A control that can take the focus neither itself nor through a child
// answers 1 when the focus is nowhere in its tree, lets the top control keep
// a focused branch, and fails when it is that top control itself.
TEST_F(ConditionsTest, AControlThatCannotTakeTheFocusAnswersByWhatItsTopHolds)
{
    const struct {
        const char* name;
        bool bFocused;  // the focus sits on b before the request
        TestControl* hidden;
        TestControl* disabled;
        TestControl* asks;
        QVResult expected;
    } rows[] = {
        {"a hidden top with the focus nowhere", false, top.Get(), nullptr, top.Get(), 1},
        {"a hidden child with the focus nowhere", false, a.Get(), nullptr, a.Get(), 1},
        {"a disabled child while the top holds a focused branch", true, nullptr, a.Get(), a.Get(), S_OK},
        {"a hidden top that holds the focus below it", true, top.Get(), nullptr, top.Get(), E_FAIL},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        if (r.bFocused) {
            ASSERT_EQ(b->SetFocus(true), S_OK);
        }
        if (r.hidden) r.hidden->SetVisible(false);
        if (r.disabled) r.disabled->SetEnabled(false);

        EXPECT_EQ(r.asks->SetFocus(true), r.expected);
        EXPECT_EQ(b->HasFocus(), r.bFocused) << "the focus stays where it was";
        EXPECT_EQ(root->focus, r.bFocused ? b.Get() : nullptr);
        EXPECT_FALSE(r.asks->HasFocus());

        if (r.hidden) r.hidden->SetVisible(true);
        if (r.disabled) r.disabled->SetEnabled(true);
        top->KillFocus();
    }
}

// While the parent holds the focus itself, a child that becomes able to take
// it takes it, however it became able.
TEST_F(ConditionsTest, AChildThatBecomesFocusableTakesTheFocusFromItsParent)
{
    const struct {
        const char* name;
        void (*block)(TestControl&);
        void (*unblock)(TestControl&);
    } rows[] = {
        {"made focusable", [](TestControl& c) { c.SetNotFocusable(true); },
         [](TestControl& c) { c.SetNotFocusable(false); }},
        {"enabled", [](TestControl& c) { c.SetEnabled(false); }, [](TestControl& c) { c.SetEnabled(true); }},
        {"shown", [](TestControl& c) { c.SetVisible(false); }, [](TestControl& c) { c.SetVisible(true); }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        r.block(*a);
        r.block(*b);
        ASSERT_EQ(panel->SetFocus(true), S_OK);
        ASSERT_TRUE(panel->HasFocus());

        r.unblock(*a);
        EXPECT_TRUE(a->HasFocus());
        EXPECT_FALSE(panel->HasFocus());
        EXPECT_TRUE(panel->ContainsFocus());
        EXPECT_EQ(root->focus, a.Get());

        r.unblock(*b);
        EXPECT_TRUE(a->HasFocus()) << "the parent no longer holds the focus itself";
        top->KillFocus();
    }
}

// A press on a control that may not take the focus activates the nearest
// ancestor that may.
TEST_F(ConditionsTest, ActivatingANotFocusableControlFocusesTheNearestAncestorThatMay)
{
    RCPtr<TestControl> leaf = Make(a.Get(), u"leaf", 0, 0, 5, 5, -1);
    const struct {
        const char* name;
        bool panelNotFocusable;
        TestControl* expected;
    } rows[] = {
        {"the parent takes it", false, a.Get()},
        {"a not-focusable grandparent passes it further up", true, top.Get()},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        panel->SetNotFocusable(r.panelNotFocusable);
        EXPECT_EQ(leaf->Activate(nullptr), S_OK);
        EXPECT_TRUE(r.expected->HasFocus());
        EXPECT_FALSE(leaf->HasFocus());
        top->KillFocus();
    }
}

TEST_F(ConditionsTest, NotFocusableAncestorsStopFocusUnlessABoundaryIntervenes)
{
    panel->SetNotFocusable(true);
    EXPECT_FALSE(a->IsFocusCandidate());
    a->SetFocusBoundary(true);
    EXPECT_TRUE(a->IsFocusCandidate());
    EXPECT_EQ(a->SetFocus(true), S_OK);
}

TEST_F(ConditionsTest, ScheduledRemovalsShareOneIdleSubscriptionAndEndIt)
{
    EXPECT_EQ(panel->ScheduleChildRemoval(top.Get()), E_INVALIDARG);
    EXPECT_EQ(panel->ScheduleChildRemoval(a.Get()), S_OK);
    EXPECT_EQ(panel->ScheduleChildRemoval(b.Get()), S_OK);
    EXPECT_EQ(panel->ScheduleChildRemoval(b.Get()), S_OK);
    EXPECT_EQ(panel->GetIdleUserCount(), 1);
    EXPECT_FALSE(a->GetLayout().isVisible);
    root->Idle();
    EXPECT_EQ(panel->GetChildren().GetCount(), 0u);
    EXPECT_EQ(panel->GetIdleUserCount(), 0);
    EXPECT_FALSE(root->HasClient(panel.Get()));
}

TEST_F(ConditionsTest, CloseReleasesCaptureAndIdleAndLeavesTheParent)
{
    a->BeginDrag(0, 0, 0);
    EXPECT_GE(a->SubscribeIdle(), 0);
    EXPECT_GE(a->SubscribeIdle(), 0);
    EXPECT_EQ(a->Close(), S_OK);
    EXPECT_EQ(a->GetParent(), nullptr);
    EXPECT_EQ(root->capture, nullptr);
    EXPECT_EQ(a->GetIdleUserCount(), 0);
    EXPECT_FALSE(root->HasClient(a.Get()));
}

}  // namespace
}  // namespace control_test
