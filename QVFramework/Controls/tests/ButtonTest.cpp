#include "ControlTestSupport.h"
#include "LButton.h"

namespace control_test {
namespace {

constexpr int kParts = 14;

class ButtonFixture : public ControlFixture {
protected:
    ButtonFixture() { MakeTop(); }

    RCPtr<LButton> MakeButton(const char16_t* name, double x = 0, bool radio = false, bool toggle = false)
    {
        RCPtr<LButton> b(new LButton(top.Get(), name));
        RCPtr<FakeDescriptor> d(new FakeDescriptor(name));
        d->lookCount = kParts;
        d->layout.position[0].offset = x;
        d->layout.size[0].offset = 40;
        d->layout.size[1].offset = 20;
        d->layout.size[0].kind = d->layout.size[1].kind = LayoutKind::kParent;
        if (radio) d->attributes.push_back({u"IS_RADIO", u" True "});
        if (toggle) d->attributes.push_back({u"AUTO_VALUE_SET", u"true"});
        b->ApplyDescriptor(d);
        b->Initialize();
        b->OnInitialized();
        b->SetInitialized(true);
        EXPECT_GE(b->UpdateLayout(), 0);
        b->ChooseVisualPart();
        log->Listen(b.Get(), {u"NID_LEFT_CLICK", u"NID_BUTTON_AUTOREPEAT"});
        return b;
    }
    void Press(LButton& b) { b.HandleMouseDown(LMouseButtonParam::Create(1, {5, 5}, 0, false, 1, 0)); }
    void Release(LButton& b) { b.HandleMouseUp(LMouseButtonParam::Create(1, {5, 5}, 0, false, 0, 0)); }
    void Click(LButton& b)
    {
        b.OnMouseEnter();
        Press(b);
        Release(b);
    }
    // Idle passes every 10 ms up to the given time.
    void RunUntil(uint32_t ms)
    {
        while (app.nowMs < ms) {
            app.nowMs += 10;
            root->Idle();
        }
    }
    int Count(const char* name) const { return static_cast<int>(std::count(log->names.begin(), log->names.end(), name)); }

    RCPtr<NotificationLog> log{new NotificationLog()};  // counted: distributors hold it
};

TEST_F(ButtonFixture, ClickingTogglesAndGroupsRadiosTable)
{
    struct Row {
        const char* what;
        bool radio, toggle;
        int clicks;
        double expected;
        int part;  // shown part afterwards, with hover and focus
    };
    const Row rows[] = {
        {"push button stays unchecked", false, false, 1, 0.0, 1 + 3},
        {"toggle on", false, true, 1, 1.0, 8 + 3},
        {"toggle off again", false, true, 2, 0.0, 1 + 3},
        {"radio on", true, true, 1, 1.0, 8 + 3},
        {"radio clicked again stays on", true, true, 2, 1.0, 8 + 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RCPtr<LButton> b = MakeButton(u"b", 0, row.radio, row.toggle);
        log->Clear();
        for (int i = 0; i < row.clicks; ++i) Click(*b);
        EXPECT_EQ(b->GetValue(), row.expected);
        EXPECT_EQ(Count("NID_LEFT_CLICK"), row.clicks);
        EXPECT_EQ(b->GetFirstVisiblePartIndex(), row.part);
        b->Close();
    }
}

TEST_F(ButtonFixture, ToggleAlternatesBetweenCheckedAndNormalParts)
{
    RCPtr<LButton> b = MakeButton(u"b", 0, false, true);
    std::vector<int32_t> parts;
    for (int i = 0; i < 3; ++i) {
        b->DoLeftClick(LMouseButtonParam::Create(1, {0, 0}, 0, false, 0, 0));
        parts.push_back(b->GetFirstVisiblePartIndex());
    }
    EXPECT_EQ(parts, (std::vector<int32_t>{7, 0, 7}));
}

TEST_F(ButtonFixture, CheckingARadioUnchecksOnlyItsRadioSiblings)
{
    RCPtr<LButton> a = MakeButton(u"a", 0, true, true);
    RCPtr<LButton> b = MakeButton(u"b", 50, true, true);
    RCPtr<LButton> plain = MakeButton(u"plain", 100, false, true);
    plain->SetChecked(true);
    EXPECT_TRUE(a->SetChecked(true));
    Click(*b);
    EXPECT_FALSE(a->IsChecked());
    EXPECT_TRUE(b->IsChecked());
    EXPECT_TRUE(plain->IsChecked()) << "not a radio";
    EXPECT_TRUE(a->SetChecked(true)) << "programmatic checks group too";
    EXPECT_FALSE(b->IsChecked());
}

TEST_F(ButtonFixture, OnlyPlainEnterFlashesThenClicksAfterTheFlash)
{
    struct Row {
        KeyCode key;
        bool handled;
    };
    const Row rows[] = {{KeyPress(0x0D), true},
                        {KeyPress(0x20), false},
                        {KeyPress(0x0D, KeyCode::kShift), false},
                        {KeyPress(0x0D, KeyCode::kCtrl), false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key.code);
        RCPtr<LButton> b = MakeButton(u"b");
        log->Clear();
        const uint32_t start = app.nowMs;
        EXPECT_EQ(b->OnKeyDown(RCPtr<LKeyParam>(new LKeyParam(row.key))), row.handled ? S_OK : kNotHandled);
        if (row.handled) {
            EXPECT_EQ(b->GetFirstVisiblePartIndex(), 2);
            RunUntil(start + 140);
            EXPECT_EQ(Count("NID_LEFT_CLICK"), 0) << "still flashing";
            RunUntil(start + 160);
            EXPECT_EQ(Count("NID_LEFT_CLICK"), 1);
            EXPECT_FALSE(b->IsFlashActive());
            EXPECT_EQ(b->GetIdleUserCount(), 0);
        } else {
            RunUntil(start + 200);
            EXPECT_EQ(Count("NID_LEFT_CLICK"), 0);
        }
        b->Close();
    }
}

TEST_F(ButtonFixture, ASecondSimulatedClickDuringTheFlashClicksTheFirstAtOnce)
{
    RCPtr<LButton> b = MakeButton(u"b");
    b->Notify(u"NID_SIMULATE_CLICK");
    app.nowMs += 50;
    b->Notify(u"NID_SIMULATE_CLICK");
    EXPECT_EQ(Count("NID_LEFT_CLICK"), 1);
    EXPECT_TRUE(b->IsFlashActive());
    RunUntil(app.nowMs + 160);
    EXPECT_EQ(Count("NID_LEFT_CLICK"), 2);
}

TEST_F(ButtonFixture, DisabledButtonsShowTheirPartAndIgnoreSimulatedClicks)
{
    RCPtr<LButton> b = MakeButton(u"b");
    b->SetChecked(true);
    b->SetEnabled(false);
    EXPECT_EQ(b->GetFirstVisiblePartIndex(), 13);
    b->SetChecked(false);
    EXPECT_EQ(b->GetFirstVisiblePartIndex(), 6);
    b->Notify(u"NID_SIMULATE_CLICK");
    RunUntil(app.nowMs + 300);
    EXPECT_EQ(Count("NID_LEFT_CLICK"), 0);
    EXPECT_FALSE(b->IsFlashActive());
}

TEST_F(ButtonFixture, PressedLookOffTheButtonDependsOnKeepPressedLook)
{
    struct Row {
        bool keep, checked;
        int32_t over, off;
    };
    const Row rows[] = {{false, false, 2 + 3, 1 + 3}, {true, false, 2 + 3, 2 + 3}, {true, true, 9 + 3, 9 + 3}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keep);
        RCPtr<LButton> b = MakeButton(u"b");
        b->SetKeepPressedLook(row.keep);
        b->SetChecked(row.checked);
        b->OnMouseEnter();
        Press(*b);
        b->HandleMouseMove(LPointWithModifiersParam::Create({7, 5}, 0, 0));  // the drag begins
        EXPECT_EQ(b->GetFirstVisiblePartIndex(), row.over);
        b->OnMouseLeave();
        EXPECT_EQ(b->GetFirstVisiblePartIndex(), row.off);
        Release(*b);
        b->Close();
    }
}

TEST_F(ButtonFixture, ThePressedLookWaitsForTheDragToBegin)
{
    RCPtr<LButton> b = MakeButton(u"b");
    ASSERT_GE(b->SetDragThreshold(4), 0);
    b->OnMouseEnter();
    Press(*b);
    EXPECT_EQ(b->GetFirstVisiblePartIndex(), 0 + 3) << "held, not yet dragging";
    b->HandleMouseMove(LPointWithModifiersParam::Create({6, 5}, 0, 0));
    EXPECT_EQ(b->GetFirstVisiblePartIndex(), 0 + 3) << "still inside the threshold";
    b->HandleMouseMove(LPointWithModifiersParam::Create({10, 5}, 0, 0));
    EXPECT_EQ(b->GetFirstVisiblePartIndex(), 2 + 3) << "the drag began";
    Release(*b);
}

TEST_F(ButtonFixture, AutoRepeatSendsOnPressAfterTheDelayAndThenEveryInterval)
{
    RCPtr<LButton> b = MakeButton(u"b");
    b->SetAutoRepeat(true);
    std::vector<uint32_t> times;
    log->onReceive = [&](const RCPtr<LNotification>& n) {
        if (Narrow(n->GetID()) == "NID_BUTTON_AUTOREPEAT") times.push_back(app.nowMs);
    };
    const uint32_t start = app.nowMs;
    b->OnMouseEnter();
    Press(*b);
    RunUntil(start + 450);
    ASSERT_EQ(times.size(), 3u);
    EXPECT_EQ(times[0], start);
    EXPECT_NEAR(times[1] - start, 300, 10);
    EXPECT_NEAR(times[2] - start, 400, 10);

    // Outside the button time stands still, and coming back brings no burst.
    b->OnMouseLeave();
    RunUntil(start + 1000);
    // Left at 450 with about 40 ms of the interval used.
    EXPECT_EQ(times.size(), 3u);
    b->OnMouseEnter();
    RunUntil(start + 1040);
    EXPECT_EQ(times.size(), 3u);
    RunUntil(start + 1080);
    EXPECT_EQ(times.size(), 4u) << "the interval left when the pointer went out";

    Release(*b);
    EXPECT_FALSE(b->IsRepeating());
    EXPECT_EQ(b->GetIdleUserCount(), 0);
}

TEST_F(ButtonFixture, AQuickClickOfAnAutoRepeatButtonRepeatsOnceOnly)
{
    RCPtr<LButton> b = MakeButton(u"b");
    b->SetAutoRepeat(true);
    Click(*b);
    RunUntil(app.nowMs + 500);
    EXPECT_EQ(Count("NID_BUTTON_AUTOREPEAT"), 1);
    EXPECT_EQ(Count("NID_LEFT_CLICK"), 1);
}

TEST_F(ButtonFixture, ADisabledAutoRepeatButtonDoesNotRepeat)
{
    RCPtr<LButton> b = MakeButton(u"b");
    b->SetAutoRepeat(true);
    b->SetEnabled(false);
    b->OnMouseEnter();
    Press(*b);
    RunUntil(app.nowMs + 500);
    EXPECT_EQ(Count("NID_BUTTON_AUTOREPEAT"), 0);
    EXPECT_EQ(Count("NID_LEFT_CLICK"), 0);
}

}  // namespace
}  // namespace control_test
