#include "ControlTestSupport.h"

namespace control_test {
namespace {

// Chooses its drag mode when the left drag starts, as a subclass would.
class Dragged : public TestControl {
public:
    using TestControl::TestControl;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& p) override
    {
        if ((p->newConditions & Condition::kLeftDragging) && !(p->oldConditions & Condition::kLeftDragging))
            SetDragMode(mode, axes);
    }
    QVResult OnMouseWheel(const RCPtr<LMouseWheelParam>&) override
    {
        hooks += "wheel ";
        return takesWheel ? 0 : kNotHandled;
    }
    QVResult OnScrollKey(const RCPtr<LMouseWheelParam>&) override
    {
        hooks += "scroll ";
        return takesWheel ? 0 : kNotHandled;
    }
    int32_t mode = DragMode::kNone, axes = 0;
    bool takesWheel = false;
    std::string hooks;
};

class MouseTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop();
        panel = Make(top.Get(), u"panel", 0, 0, 200, 100);
        log = new NotificationLog();
    }
    void TearDown() override { log->UnregisterAllNotifications(); }

    RCPtr<Dragged> MakeDragged(LControl* parent, double x, double y, double w, double h, int32_t mode, int32_t axes)
    {
        RCPtr<Dragged> c(new Dragged(parent, u"dragged"));
        ControlLayout l;
        l.position[0].offset = x;
        l.position[1].offset = y;
        l.size[0].offset = w;
        l.size[1].offset = h;
        c->SetLayout(l);
        c->AddVisualPart(RCPtr<ILook>(new FakeLook()));
        c->ShowPart(0);
        c->SetNotFocusable(false);
        c->Initialize();
        c->SetInitialized(true);
        EXPECT_GE(c->UpdateLayout(), 0);
        c->mode = mode;
        c->axes = axes;
        return c;
    }

    static RCPtr<LMouseButtonParam> Press(int32_t x, int32_t y, uint32_t button = LMouseButtonParam::kLeft)
    {
        return LMouseButtonParam::Create(button, {x, y}, 0, false, button, 0);
    }
    static RCPtr<LMouseButtonParam> Release(int32_t x, int32_t y, uint32_t button = LMouseButtonParam::kLeft)
    {
        return LMouseButtonParam::Create(button, {x, y}, 0, false, 0, 0);
    }
    static RCPtr<LPointWithModifiersParam> Move(int32_t x, int32_t y)
    {
        return LPointWithModifiersParam::Create({x, y}, 0, 0);
    }

    RCPtr<TestControl> panel;
    RCPtr<NotificationLog> log;
};

TEST_F(MouseTest, PressAndReleaseOnAHoveredControlClick)
{
    RCPtr<TestControl> b = Make(panel.Get(), u"b", 10, 10, 50, 20);
    log->Listen(b.Get(), {u"NID_MOUSE_DOWN", u"NID_MOUSE_UP", u"NID_LEFT_CLICK", u"NID_RIGHT_CLICK"});
    b->OnMouseEnter();
    EXPECT_EQ(b->HandleMouseDown(Press(5, 5)), S_OK);
    EXPECT_EQ(root->capture, b.Get());
    EXPECT_TRUE(b->HasFocus());
    EXPECT_EQ(b->HandleMouseUp(Release(5, 5)), S_OK);
    EXPECT_EQ(root->capture, nullptr);
    EXPECT_EQ(log->names, (std::vector<std::string>{"NID_MOUSE_DOWN", "NID_MOUSE_UP", "NID_LEFT_CLICK"}));

    log->Clear();
    b->HandleMouseDown(Press(5, 5));
    b->OnMouseLeave();
    b->HandleMouseUp(Release(90, 5));
    EXPECT_EQ(log->names, (std::vector<std::string>{"NID_MOUSE_DOWN", "NID_MOUSE_UP"})) << "released outside";

    log->Clear();
    b->OnMouseEnter();
    root->buttons = LMouseButtonParam::kRight;
    b->HandleMouseDown(Press(5, 5, LMouseButtonParam::kRight));
    b->HandleMouseUp(Release(5, 5, LMouseButtonParam::kRight));
    EXPECT_EQ(log->names, (std::vector<std::string>{"NID_MOUSE_DOWN", "NID_MOUSE_UP", "NID_RIGHT_CLICK"}));
}

// Runs a chosen step in its release hooks; its context menu can fail to show.
class ReleaseHooked : public TestControl {
public:
    using TestControl::TestControl;
    void OnLeftMouseUp(const RCPtr<LMouseButtonParam>&) override { atRelease(*this); }
    void OnRightMouseUp(const RCPtr<LMouseButtonParam>&) override { atRelease(*this); }
    QVResult ShowContextMenu(const RCPtr<LRefCountedObject>&) override
    {
        ++menus;
        return E_FAIL;
    }
    std::function<void(LControl&)> atRelease = [](LControl&) {};
    int menus = 0;
};

TEST_F(MouseTest, TheClickIsDecidedAfterTheReleaseHookAndAFailedMenuLeavesItHandled)
{
    const struct Row {
        const char* name;
        uint32_t button;
        std::function<void(LControl&)> atRelease;
        std::vector<std::string> expected;
    } rows[] = {
        {"left, nothing", LMouseButtonParam::kLeft, [](LControl&) {},
         {"NID_MOUSE_DOWN", "NID_MOUSE_UP", "NID_LEFT_CLICK"}},
        {"left, the hook ends the drag", LMouseButtonParam::kLeft, [](LControl& c) { c.EndDrag(); },
         {"NID_MOUSE_DOWN", "NID_MOUSE_UP"}},
        {"right, the hook loses the hover", LMouseButtonParam::kRight,
         [](LControl& c) { c.OnMouseLeave(); }, {"NID_MOUSE_DOWN", "NID_MOUSE_UP"}},
        {"right, the menu fails to show", LMouseButtonParam::kRight, [](LControl&) {},
         {"NID_MOUSE_DOWN", "NID_MOUSE_UP", "NID_RIGHT_CLICK"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        RCPtr<ReleaseHooked> c(new ReleaseHooked(panel.Get(), u"hooked"));
        ControlLayout l;
        l.size[0].offset = l.size[1].offset = 20;
        c->SetLayout(l);
        c->AddVisualPart(RCPtr<ILook>(new FakeLook()));
        c->ShowPart(0);
        c->Initialize();
        ASSERT_GE(c->UpdateLayout(), 0);
        c->SetContextMenu(RCPtr<LRefCountedObject>(new LConditionsParam()));
        c->atRelease = r.atRelease;
        log->Clear();
        log->Listen(c.Get(), {u"NID_MOUSE_DOWN", u"NID_MOUSE_UP", u"NID_LEFT_CLICK", u"NID_RIGHT_CLICK"});
        root->buttons = r.button;
        c->OnMouseEnter();
        EXPECT_EQ(c->HandleMouseDown(Press(5, 5, r.button)), S_OK);
        EXPECT_EQ(c->HandleMouseUp(Release(5, 5, r.button)), S_OK);
        EXPECT_EQ(log->names, r.expected);
        const bool rightClick = r.expected.back() == "NID_RIGHT_CLICK";
        EXPECT_EQ(c->menus, rightClick ? 1 : 0);
        if (rightClick) {
            EXPECT_EQ(c->DoRightClick(Release(5, 5, r.button)), S_OK);
        }
        log->UnregisterAllNotifications();
        c->Close();
    }
}

TEST_F(MouseTest, ADoubleClickPressIsAPressCarryingItsFlag)
{
    RCPtr<TestControl> b = Make(panel.Get(), u"b", 10, 10, 50, 20);
    bool flagged = false;
    log->Listen(b.Get(), {u"NID_MOUSE_DOWN"});
    log->onReceive = [&](const RCPtr<LNotification>& n) {
        flagged = static_cast<LMouseButtonParam*>(n->GetPayload().Get())->IsDoubleClick();
    };
    b->OnMouseEnter();
    b->HandleMouseDown(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {5, 5}, 0, true, 1, 0));
    EXPECT_TRUE(flagged);
    EXPECT_EQ(b->GetConditions() & Condition::kLeftPressed, Condition::kLeftPressed);
}

TEST_F(MouseTest, BadInputAndHiddenControlsAreRefused)
{
    RCPtr<TestControl> b = Make(panel.Get(), u"b", 10, 10, 50, 20);
    EXPECT_EQ(b->HandleMouseDown(nullptr), E_INVALIDARG);
    EXPECT_EQ(b->HandleMouseDown(Press(1, 1, 3)), E_INVALIDARG);
    EXPECT_EQ(b->HandleMouseUp(Release(1, 1, 8)), E_INVALIDARG);
    EXPECT_EQ(b->HandleClick(Release(1, 1, 8)), E_INVALIDARG);
    EXPECT_EQ(b->SetDragThreshold(-1), E_INVALIDARG);
    b->SetEnabled(false);
    EXPECT_EQ(b->HandleMouseDown(Press(1, 1)), kNotHandled);
    EXPECT_EQ(root->capture, nullptr);
}

TEST_F(MouseTest, TheThresholdDecidesWhenTheDragStarts)
{
    RCPtr<TestControl> b = Make(panel.Get(), u"b", 10, 10, 50, 20);
    b->SetFocus(true);
    log->Listen(b.Get(), {u"NID_CONDITION_CHANGE", u"NID_LEFT_DRAG_CONDITION_CHANGE", u"NID_MOUSE_MOVE"});
    EXPECT_GE(b->SetDragThreshold(3), 0);
    b->HandleMouseDown(Press(5, 5));
    EXPECT_EQ(log->names, (std::vector<std::string>{"NID_CONDITION_CHANGE", "NID_LEFT_DRAG_CONDITION_CHANGE"}));
    EXPECT_EQ(log->words.back() & 0x90u, 0x10u);
    log->Clear();
    b->HandleMouseMove(Move(7, 5));
    EXPECT_EQ(log->names, std::vector<std::string>{"NID_MOUSE_MOVE"});
    log->Clear();
    b->HandleMouseMove(Move(8, 6));
    EXPECT_EQ(log->names, (std::vector<std::string>{"NID_MOUSE_MOVE", "NID_CONDITION_CHANGE",
                                                    "NID_LEFT_DRAG_CONDITION_CHANGE", "NID_MOUSE_MOVE"}));
    EXPECT_EQ(b->GetConditions() & 0x90u, 0x80u);
}

TEST_F(MouseTest, ThresholdZeroDragsAtThePressAndNeverReentersWithoutEnd)
{
    RCPtr<TestControl> b = Make(panel.Get(), u"b", 10, 10, 50, 20);
    EXPECT_GE(b->SetDragThreshold(0), 0);
    b->HandleMouseDown(Press(5, 5));
    EXPECT_EQ(b->GetConditions() & 0x90u, 0x80u);
    b->HandleMouseUp(Release(5, 5));

    // A threshold that drops to 0 while pressed: the move at the press point must not start again.
    EXPECT_GE(b->SetDragThreshold(2), 0);
    b->HandleMouseDown(Press(5, 5));
    EXPECT_GE(b->SetDragThreshold(0), 0);
    log->Listen(b.Get(), {u"NID_MOUSE_MOVE"});
    b->HandleMouseMove(Move(5, 5));
    EXPECT_EQ(log->names.size(), 2u);
    EXPECT_EQ(b->GetConditions() & 0x90u, 0x80u);
}

// Chooses its drag mode as soon as the left button goes down, as the splitters do.
class PressDragged : public TestControl {
public:
    using TestControl::TestControl;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& p) override
    {
        if ((p->newConditions & Condition::kLeftPressed) && !(p->oldConditions & Condition::kLeftPressed))
            SetDragMode(DragMode::kMove, DragAxis::kX);
    }
    void OnMouseMove(const RCPtr<LPointWithModifiersParam>& p) override
    {
        moves.push_back({p->GetPoint().x, (GetConditions() & Condition::kLeftPressed) != 0});
    }
    void OnMoved(const RCPtr<LPointParam>&) override { ++moved; }
    std::vector<std::pair<int32_t, bool>> moves;
    int moved = 0;
};

TEST_F(MouseTest, AModeChosenAtThePressMovesFromWhereTheControlStood)
{
    RCPtr<PressDragged> c(new PressDragged(panel.Get(), u"split"));
    ControlLayout l;
    l.position[0].offset = 60;
    l.size[0].offset = 4;
    l.size[1].offset = 100;
    c->SetLayout(l);
    c->AddVisualPart(RCPtr<ILook>(new FakeLook()));
    c->ShowPart(0);
    c->Initialize();
    ASSERT_GE(c->UpdateLayout(), 0);
    for (const int32_t travel : {10, -20}) {
        SCOPED_TRACE(travel);
        const double x = c->GetFrame().x;
        c->moves.clear();
        c->moved = 0;
        c->HandleMouseDown(Press(2, 50));
        c->HandleMouseMove(Move(2 + travel, 50));
        EXPECT_EQ(c->GetFrame().x, x + travel);
        // Listeners see the press point while the button is still only pressed; the drag moves once.
        EXPECT_EQ(c->moves, (std::vector<std::pair<int32_t, bool>>{{2, true}, {2 + travel, false}}));
        EXPECT_EQ(c->moved, 1);
        c->HandleMouseUp(Release(2 + travel, 50));
    }
}

TEST_F(MouseTest, ResizingByEdgesKeepsASizeOfAtLeastOne)
{
    struct Row {
        const char* name;
        double x, y;
        int32_t edges;
        int32_t pressX, pressY, moveX, moveY;
        DoubleRect expected;
    };
    const Row rows[] = {
        {"right and bottom", 100, 40, DragAxis::kRightEdge | DragAxis::kBottomEdge, 49, 39, 29, 29, {100, 40, 30, 30}},
        {"limits far away stop at width 1", 100, 40, DragAxis::kRightEdge, 49, 39, -11, 39, {100, 40, 1, 40}},
        {"limits 45 units away stop at width 5", 0, 40, DragAxis::kRightEdge, 45, 39, -15, 39, {0, 40, 5, 40}},
        {"top edge moves down and shrinks", 100, 40, DragAxis::kTopEdge, 10, 0, 10, 15, {100, 55, 50, 25}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        RCPtr<Dragged> c = MakeDragged(panel.Get(), r.x, r.y, 50, 40, DragMode::kResize, r.edges);
        c->HandleMouseDown(Press(r.pressX, r.pressY));
        c->HandleMouseMove(Move(r.moveX, r.moveY));
        EXPECT_EQ(c->GetFrame(), r.expected);
        c->HandleMouseUp(Release(r.moveX, r.moveY));
        c->Close();
    }
}

TEST_F(MouseTest, BoundedMovesKeepThePointerInsideTheParentsVisibleArea)
{
    const struct {
        int32_t mode, axes;
        DoubleRect expected;
    } rows[] = {{DragMode::kMove, DragAxis::kX | DragAxis::kY, {190, 90, 20, 20}},
                {DragMode::kMove, DragAxis::kX, {190, 20, 20, 20}},
                {DragMode::kResizeAndScroll, DragAxis::kRightEdge, {20, 20, 190, 20}}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.mode * 100 + r.axes);
        RCPtr<Dragged> c = MakeDragged(panel.Get(), 20, 20, 20, 20, r.mode, r.axes);
        c->HandleMouseDown(Press(10, 10));
        c->HandleMouseMove(Move(500, 500));
        EXPECT_EQ(c->GetFrame(), r.expected);
        EXPECT_FALSE(panel->IsInertialScrollRunning(1)) << "a limited axis takes no direction";
        c->HandleMouseUp(Release(0, 0));
        EXPECT_FALSE(panel->IsInertialScrollRunning(0)) << "the end of the move stops the parent";
        c->Close();
    }
}

TEST_F(MouseTest, EdgeZonesFlickTheParentAndStopWhenThePointerLeavesThem)
{
    RCPtr<Dragged> c = MakeDragged(panel.Get(), 20, 20, 20, 20, DragMode::kMoveAndScroll, DragAxis::kX);
    c->HandleMouseDown(Press(10, 10));
    c->HandleMouseMove(Move(190 - 20, 10));
    EXPECT_TRUE(panel->IsInertialScrollRunning(0));
    EXPECT_DOUBLE_EQ(panel->GetInertialVelocity(0), 315.0);
    EXPECT_FALSE(panel->IsInertialScrollRunning(1));
    EXPECT_EQ(panel->GetIdleUserCount(), 1);

    const double x = c->GetFrame().x;
    c->HandleMouseMove(Move(static_cast<int32_t>(100 - x), 10));
    EXPECT_FALSE(panel->IsInertialScrollRunning(0));
    EXPECT_EQ(panel->GetIdleUserCount(), 0);
    c->HandleMouseUp(Release(0, 0));
}

TEST_F(MouseTest, FreeMovesWithoutATargetShowTheNoDropCursorAndRestoreTheLayer)
{
    RCPtr<Dragged> c = MakeDragged(panel.Get(), 20, 20, 20, 20, DragMode::kDragAndDrop, DragAxis::kX | DragAxis::kY);
    c->HandleMouseDown(Press(10, 10));
    c->HandleMouseMove(Move(30, 10));
    EXPECT_EQ(root->cursor, FakeApplication::kNoDrop);
    EXPECT_FALSE(c->ClipsToParent()) << "a moved control draws above its siblings";
    EXPECT_EQ(c->GetFrame().x, 40);
    root->cursors.clear();
    c->HandleMouseMove(Move(12, 10));
    EXPECT_EQ(root->cursors, std::vector<uint32_t>{FakeApplication::kNoDrop});
    c->HandleMouseUp(Release(12, 10));
    EXPECT_TRUE(c->ClipsToParent());
    EXPECT_EQ(root->cursor, 1u);
    EXPECT_FALSE(c->GetLayout().xIsDocked);
}

class DropTarget : public TestControl {
public:
    using TestControl::TestControl;
    bool AcceptsControl(LControl*) const override { return true; }
    int32_t QueryDropTarget(LControl*) override { return mask; }
    void OnDragEnter(LControl*) override { events.push_back("enter"); }
    void OnDragOver(LControl*, const DoublePoint& p) override
    {
        events.push_back("over");
        at = p;
    }
    void OnDragLeave(LControl*) override { events.push_back("leave"); }
    QVResult OnDrop(LControl*) override
    {
        events.push_back("drop");
        return S_OK;
    }
    int32_t mask = 0;
    DoublePoint at;
    std::vector<std::string> events;
};

TEST_F(MouseTest, AFreeMoveOverATargetEntersHoversDropsAndStopsItsFlicks)
{
    RCPtr<DropTarget> target(new DropTarget(top.Get(), u"target"));
    ControlLayout l;
    l.position[0].offset = 250;
    l.size[0].offset = l.size[1].offset = 100;
    target->SetLayout(l);
    target->AddVisualPart(RCPtr<ILook>(new FakeLook()));
    target->ShowPart(0);
    target->Initialize();
    EXPECT_GE(target->UpdateLayout(), 0);
    RCPtr<Dragged> c = MakeDragged(panel.Get(), 10, 10, 20, 20, DragMode::kDragAndDrop, DragAxis::kX | DragAxis::kY);

    target->StartInertialScroll(0, 500, 1000, 0, nullptr);
    c->HandleMouseDown(Press(10, 10));
    c->HandleMouseMove(Move(250, 10));
    EXPECT_EQ(target->events, (std::vector<std::string>{"enter", "over"}));
    EXPECT_EQ(target->at, (DoublePoint{10, 20}));
    EXPECT_EQ(root->cursor, FakeApplication::kDropMove);
    EXPECT_FALSE(target->IsInertialScrollRunning(0)) << "a target that may not scroll stops its flicks";

    target->mask = 4;
    c->HandleMouseMove(Move(85, 10));
    EXPECT_TRUE(target->IsInertialScrollRunning(0)) << "near its right edge the target scrolls";
    c->HandleMouseUp(Release(0, 0));
    EXPECT_EQ(target->events.back(), "leave");
    EXPECT_EQ(target->events[target->events.size() - 2], "drop");
    EXPECT_FALSE(target->IsInertialScrollRunning(0));
}

class FlickTest : public MouseTest {
protected:
    // A content drag whose last move went `delta` units in one second, released `releaseAfter` ms later.
    RCPtr<Dragged> Flick(int32_t delta, uint32_t releaseAfter)
    {
        RCPtr<Dragged> c = MakeDragged(panel.Get(), 0, 0, 100, 100, DragMode::kScrollContent, DragAxis::kX);
        app.nowMs = 1000;
        c->HandleMouseDown(Press(500, 50));
        app.nowMs = 1100;
        c->HandleMouseMove(Move(490, 50));
        app.nowMs = 2100;
        c->HandleMouseMove(Move(490 - (delta - 10), 50));
        app.nowMs = 2100 + releaseAfter;
        c->HandleMouseUp(Release(0, 50));
        return c;
    }
};

TEST_F(FlickTest, OnlyAFastRecentReleaseStartsAFlick)
{
    const struct {
        int32_t delta;
        uint32_t after;
        bool flicks;
    } rows[] = {{1000, 150, false}, {999, 50, false}, {1000, 50, true}, {-1000, 99, true}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.delta);
        RCPtr<Dragged> c = Flick(r.delta, r.after);
        EXPECT_DOUBLE_EQ(c->GetDragVelocity().x, r.delta);
        EXPECT_EQ(c->IsInertialScrollRunning(0), r.flicks);
        EXPECT_EQ(c->GetIdleUserCount(), r.flicks ? 1 : 0);
        EXPECT_GE(c->StopInertialScroll(0), 0);
        c->Close();
    }
}

TEST_F(FlickTest, AFlickDeceleratesAfterOneSecondAndStopsWithoutOvershoot)
{
    RCPtr<Dragged> c = Flick(2500, 50);
    const double start = c->GetScrollOffset().x;
    const uint32_t release = app.nowMs;
    const struct {
        uint32_t at;
        double velocity;
        bool running;
    } steps[] = {{500, 2500, true}, {1200, 1800, true}, {2200, 800, true}, {3200, 0, false}};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.at);
        app.nowMs = release + s.at;
        root->Idle();
        EXPECT_EQ(c->IsInertialScrollRunning(0), s.running);
        if (s.running) {
            EXPECT_DOUBLE_EQ(c->GetInertialVelocity(0), s.velocity);
        }
    }
    EXPECT_DOUBLE_EQ(c->GetScrollOffset().x, start + 1250 + 1750 + 1800 + 800);
    EXPECT_EQ(c->GetIdleUserCount(), 0);
}

TEST_F(FlickTest, APressStopsARunningFlick)
{
    RCPtr<Dragged> c = Flick(1500, 10);
    ASSERT_TRUE(c->IsInertialScrollRunning(0));
    c->HandleMouseDown(Press(5, 5));
    EXPECT_FALSE(c->IsInertialScrollRunning(0));
    EXPECT_EQ(c->GetIdleUserCount(), 0);
    EXPECT_EQ(c->StopInertialScroll(1), 1) << "an axis that is not running unsubscribes nothing";
    EXPECT_EQ(c->GetIdleUserCount(), 0);
}

TEST_F(MouseTest, AHeldPressPassesToTheHitChildAndTheDragSubscribesOnce)
{
    panel->SetKeepHitChild(true);
    RCPtr<TestControl> child = Make(panel.Get(), u"child", 10, 10, 30, 30);
    DoublePoint hit;
    int32_t priority = INT_MIN;
    EXPECT_EQ(panel->HitTest({15, 15}, true, hit, priority).Get(), panel.Get());
    app.nowMs = 1000;
    panel->HandleMouseDown(Press(15, 15));
    EXPECT_EQ(panel->GetIdleUserCount(), 1);
    panel->HandleMouseDown(Press(15, 15));
    EXPECT_EQ(panel->GetIdleUserCount(), 1);
    app.nowMs = 1050;
    root->Idle();
    EXPECT_EQ(root->capture, panel.Get()) << "not held long enough";
    app.nowMs = 1200;
    root->Idle();
    EXPECT_EQ(root->pressTarget, child.Get());
    EXPECT_EQ(root->capture, child.Get());
    EXPECT_EQ(panel->GetIdleUserCount(), 0);
    EXPECT_EQ(child->GetConditions() & Condition::kLeftPressed, Condition::kLeftPressed);
}

TEST_F(MouseTest, AWheelClimbsToTheFirstControlThatTakesIt)
{
    RCPtr<Dragged> outer = MakeDragged(panel.Get(), 0, 0, 100, 100, DragMode::kNone, 0);
    RCPtr<TestControl> inner = Make(outer.Get(), u"inner", 0, 0, 10, 10);
    struct Row {
        uint32_t direction;
        const char* hook;
    } rows[] = {
        {LMouseWheelParam::kDown, "wheel "},
        {LMouseWheelParam::kUp, "wheel "},
        {LMouseWheelParam::kLeft, "scroll "},
        {LMouseWheelParam::kRight, "scroll "},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.direction);
        RCPtr<LMouseWheelParam> wheel = LMouseWheelParam::Create({1, 1}, 0, r.direction);
        outer->takesWheel = false;
        outer->hooks.clear();
        EXPECT_EQ(inner->RouteMouseEvent(wheel), kNotHandled);
        outer->takesWheel = true;
        EXPECT_EQ(inner->HandleMouseWheel(wheel), 0);
        EXPECT_EQ(outer->hooks, std::string(r.hook) + r.hook);
    }
}

}  // namespace
}  // namespace control_test
