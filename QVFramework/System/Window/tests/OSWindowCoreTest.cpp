#include <gtest/gtest.h>

#include <algorithm>

#include "KeyCode.h"
#include "WindowTestSupport.h"

namespace window_test {
namespace {

using Kind = WindowMessage::Kind;

int Count(const std::vector<std::string>& events, const std::string& prefix)
{
    return int(std::count_if(events.begin(), events.end(), [&](auto& e) { return e.starts_with(prefix); }));
}

class OSWindowCoreTest : public WindowFixture {
protected:
    OSWindowCoreTest() : window(MakeWindow(state)), root(*window.GetRootWindow()) { MakeTree(root); }

    OSWindow& window;
    LRootWindow& root;
};

TEST_F(OSWindowCoreTest, WheelDeliversOneEventPerCrossingAndKeepsTheSignedRemainder)
{
    struct Case {
        std::vector<int32_t> deltas;
        int events;
        int32_t remainder;
        const char* last;
    };
    const Case cases[] = {
        {{60}, 0, 60, ""},          {{60, 60}, 1, 0, "wheel1"},   {{360}, 1, 0, "wheel1"},
        {{-130}, 1, -10, "wheel0"}, {{119, -119, -1}, 0, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.deltas.front() << " x" << c.deltas.size());
        OSWindow& fresh = MakeWindow(otherStates.emplace_back());
        MakeTree(*fresh.GetRootWindow());
        for (int32_t delta : c.deltas) {
            WindowMessage m = Message(Kind::kWheel);
            m.delta = delta;
            m.point = {20, 20};
            fresh.HandleMessage(m);
        }
        EXPECT_EQ(Count(left->events, "wheel"), c.events);
        EXPECT_EQ(fresh.GetWheelRemainder(0), c.remainder);
        if (c.events) {
            EXPECT_EQ(left->events.back(), c.last);
        }
    }
}

TEST_F(OSWindowCoreTest, HorizontalWheelUsesItsOwnAccumulatorAndDirections)
{
    WindowMessage m = Message(Kind::kHorizontalWheel);
    m.delta = -120;
    m.point = {20, 20};
    window.HandleMessage(m);
    m.delta = 240;
    window.HandleMessage(m);
    EXPECT_EQ(Count(left->events, "scroll2"), 1);
    EXPECT_EQ(Count(left->events, "scroll3"), 1);
    EXPECT_EQ(window.GetWheelRemainder(0), 0);
}

TEST_F(OSWindowCoreTest, PaintTakesTheWholeTargetPathOrOnlyTheDirtyArea)
{
    struct Case {
        const char* name;
        LongRect dirty;
        LongRect update;
        bool drawsControls;
        std::vector<Platform::Gdip::RectI> presented;
    };
    const Case cases[] = {
        {"whole update, nothing dirty", {}, {0, 0, 400, 300}, true, {{0, 0, 400, 300}}},
        {"small update, nothing dirty", {}, {5, 5, 3, 3}, false, {{5, 5, 3, 3}}},
        {"dirty corner", {300, 200, 20, 20}, {}, true, {{300, 200, 20, 20}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RectRegion discard;
        root.TakeDirtyRegion(discard);
        if (!c.dirty.IsEmpty())
            root.InvalidateRect(
                DoubleRect{double(c.dirty.x), double(c.dirty.y), double(c.dirty.width), double(c.dirty.height)});
        drawLog.clear();
        sink.calls.clear();
        WindowMessage paint = Message(Kind::kPaint);
        paint.updateRect = c.update;
        window.HandleMessage(paint);
        EXPECT_EQ(!drawLog.empty(), c.drawsControls);
        ASSERT_EQ(sink.calls.size(), 1u);
        EXPECT_EQ(sink.calls[0].rects, c.presented);
    }
}

TEST_F(OSWindowCoreTest, UpdateNowPaintsAHiddenWindowOnlyOnceItIsShown)
{
    window.Show(0);
    drawLog.clear();
    sink.calls.clear();
    state.invalidatedAll = 0;
    EXPECT_EQ(window.UpdateNow(), S_OK);
    EXPECT_TRUE(drawLog.empty());
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_EQ(state.invalidatedAll, 1) << "the system is still asked to repaint it";
    window.Show(1);
    EXPECT_EQ(window.UpdateNow(), S_OK);
    EXPECT_FALSE(drawLog.empty());
    EXPECT_EQ(sink.calls.size(), 1u);
}

TEST_F(OSWindowCoreTest, SystemCloseExitsFromTheMainWindowAndCancelsOthers)
{
    window.HandleMessage(Message(Kind::kSystemClose));
    EXPECT_EQ(windowApp.exitRequests, 1);
    EXPECT_FALSE(state.destroyed) << "the application decides";

    BackendState& secondState = otherStates.emplace_back();
    OSWindow& second = MakeWindow(secondState, &window);
    MakeTree(*second.GetRootWindow());
    secondState.pending.push_back([&] { second.HandleMessage(Message(Kind::kSystemClose)); });
    EXPECT_EQ(second.RunModal(), 0) << "Cancel requests a close with 0";
    EXPECT_EQ(windowApp.exitRequests, 1);
    EXPECT_EQ(secondState.destroyCount, 1);

    // A window that never got a root window ignores it.
    BackendState& bareState = otherStates.emplace_back();
    OSWindow bare(std::make_unique<FakeBackend>(bareState));
    bare.HandleMessage(Message(Kind::kSystemClose));
    EXPECT_EQ(windowApp.exitRequests, 1);
}

TEST_F(OSWindowCoreTest, KeyMessagesBecomeKeyCodesAndModifierOnlyCodesNeedCtrlAlt)
{
    struct Case {
        Kind kind;
        uint32_t virtualKey;
        uint32_t modifiers;
        bool repeat;
        bool delivered;
        KeyCode expected;
    };
    const uint32_t ctrlAlt = WindowMessage::kCtrl | WindowMessage::kAlt;
    const Case cases[] = {
        {Kind::kKeyDown, 0x41, WindowMessage::kShift, false, true, KeyCode(0x41, true, 0, WindowMessage::kShift)},
        {Kind::kKeyDown, 0x41, 0, true, true, KeyCode(0x41, true, 1, 0)},
        {Kind::kKeyUp, 0x41, 0, false, true, KeyCode(0x41, false, 1, 0)},
        {Kind::kKeyDown, 0, WindowMessage::kCtrl, false, false, {}},
        {Kind::kKeyDown, 0, ctrlAlt, false, true, KeyCode(0u, true, 0, ctrlAlt)},
        {Kind::kSysKeyDown, 0, WindowMessage::kAlt, false, true, KeyCode(0u, true, 0, WindowMessage::kAlt)},
        {Kind::kSysKeyDown, 0x73, WindowMessage::kAlt, false, true, KeyCode(0x73, true, 0, WindowMessage::kAlt)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.kind) << " vk " << c.virtualKey << " mods " << c.modifiers);
        left->keys.clear();
        root.SetFocusControl(left.Get());
        WindowMessage m = Message(c.kind);
        m.virtualKey = c.virtualKey;
        m.modifiers = c.modifiers;
        m.repeat = c.repeat;
        window.HandleMessage(m);
        ASSERT_EQ(left->keys.size(), c.delivered ? 1u : 0u);
        if (c.delivered) {
            EXPECT_EQ(left->keys[0].code, c.expected.code);
        }
    }
}

TEST_F(OSWindowCoreTest, CharactersKeepShiftCtrlAltAndAreDroppedWithAWindowsKey)
{
    root.SetFocusControl(left.Get());
    WindowMessage m = Message(Kind::kChar);
    m.character = u'a';
    m.modifiers = WindowMessage::kShift | WindowMessage::kLeftShift;
    window.HandleMessage(m);
    m.modifiers = WindowMessage::kWin | WindowMessage::kLeftWin;
    window.HandleMessage(m);
    ASSERT_EQ(left->keys.size(), 1u);
    EXPECT_EQ(left->keys[0].code, KeyCode(u'a', WindowMessage::kShift).code);
}

TEST_F(OSWindowCoreTest, CommandTextIsTakenOnlyWhileEnabledAndIsBounded)
{
    struct Case {
        std::string data;
        bool enabled;
        uint32_t id;
        std::u16string expected;
    };
    const Case cases[] = {
        {std::string("open x.tps\0tail", 15), true, 0x465, u"open x.tps"},
        {"no terminator", true, 0x465, u"no terminator"},
        {"while modal", false, 0x465, u""},
        {"other id", true, 0x466, u""},
        {std::string(40000, 'a'), true, 0x465, std::u16string(OSWindow::kMaxCommandTextBytes, u'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data.substr(0, 20));
        windowApp.commandTexts.clear();
        state.enabled = c.enabled;
        WindowMessage m = Message(Kind::kCopyData);
        m.dataId = c.id;
        m.data = c.data;
        window.HandleMessage(m);
        if (c.expected.empty()) {
            EXPECT_TRUE(windowApp.commandTexts.empty());
        } else {
            ASSERT_EQ(windowApp.commandTexts.size(), 1u);
            EXPECT_EQ(std::u16string(windowApp.commandTexts[0].GetChars()), c.expected);
        }
    }
}

TEST_F(OSWindowCoreTest, ModalLoopAnswersTheResultDisablesTheOwnerAndQuitsWithMinusOne)
{
    BackendState& dialogState = otherStates.emplace_back();
    OSWindow& dialog = MakeWindow(dialogState, &window);
    MakeTree(*dialog.GetRootWindow());
    bool ownerDisabledDuringRun = false;
    dialogState.pending.push_back([&] {
        ownerDisabledDuringRun = !state.enabled;
        dialog.EndModal(6);
    });
    EXPECT_EQ(dialog.RunModal(), 6);
    EXPECT_TRUE(ownerDisabledDuringRun);
    EXPECT_TRUE(state.enabled);
    EXPECT_FALSE(dialog.IsModal());
    EXPECT_EQ(dialogState.destroyCount, 1);
    dialog.EndModal(1);
    EXPECT_EQ(dialogState.destroyCount, 1) << "destroyed once";

    BackendState& quitState = otherStates.emplace_back();
    OSWindow& quitting = MakeWindow(quitState, &window);
    quitState.quit = true;
    EXPECT_EQ(quitting.RunModal(), -1);
    EXPECT_TRUE(quitState.quitPosted);
    EXPECT_FALSE(quitState.destroyed) << "the quit path leaves the window as it is";
}

TEST_F(OSWindowCoreTest, ReleaseOutsideAfterDragEndsTheCaptureReleaseInsideKeepsIt)
{
    window.HandleMessage(Button(Kind::kButtonDown, 1, 20, 20));
    EXPECT_TRUE(window.IsCaptureHeld());
    EXPECT_TRUE(state.pointerCaptured) << "a drag hears the pointer outside the window";
    window.HandleMessage(Button(Kind::kButtonUp, 1, 20, 20));
    EXPECT_TRUE(window.IsCaptureHeld()) << "until the next move or capture change";
    EXPECT_FALSE(state.pointerCaptured) << "no pointer grab outlives the drag";

    EXPECT_GE(root.SetCaptureControl(left.Get()), 0);
    window.HandleMessage(Button(Kind::kButtonDown, 1, 20, 20));
    WindowMessage up = Button(Kind::kButtonUp, 1, 600, 20);
    up.elsewhere = true;
    window.HandleMessage(up);
    EXPECT_FALSE(window.IsCaptureHeld());
    EXPECT_FALSE(state.capture);
    EXPECT_EQ(window.GetPressCount(), 0);
    EXPECT_EQ(left->events.back(), "dragend") << "the capture change ends the control's drag";
    EXPECT_EQ(Count(left->events, "up"), 1) << "the first release had no capturing control";
}

TEST_F(OSWindowCoreTest, DoubleClickMessageReachesTheControlAsADoubleClick)
{
    window.HandleMessage(Button(Kind::kButtonDown, 1, 20, 20));
    window.HandleMessage(Button(Kind::kButtonUp, 1, 20, 20));
    window.HandleMessage(Button(Kind::kButtonDoubleClick, 1, 20, 20));
    EXPECT_EQ(Count(left->events, "down 10,10 dbl"), 1);
}

TEST_F(OSWindowCoreTest, LeavingTheWindowWithoutButtonsReleasesTheHoverCapture)
{
    WindowMessage move = Button(Kind::kMouseMove, 0, 20, 20);
    window.HandleMessage(move);
    EXPECT_TRUE(window.IsCaptureHeld());
    EXPECT_EQ(root.GetHoverControl().Get(), left.Get());
    move.elsewhere = true;
    move.point = {-5, -5};
    window.HandleMessage(move);
    EXPECT_FALSE(window.IsCaptureHeld());
    EXPECT_NE(root.GetHoverControl().Get(), left.Get());
}

TEST_F(OSWindowCoreTest, SizeRelayoutsAndRepaintsAllWhileMinimisingOnlyMovesTheTarget)
{
    WindowMessage size = Message(Kind::kSize);
    size.width = 640;
    size.height = 480;
    window.HandleMessage(size);
    EXPECT_EQ(window.GetRenderContext()->GetViewport(), (LongRect{0, 0, 640, 480}));
    RectRegion region;
    root.TakeDirtyRegion(region);
    RegionRect bounds;
    ASSERT_TRUE(region.GetBounds(bounds));
    EXPECT_EQ(bounds, (RegionRect{0, 0, 640, 480}));

    size.minimized = true;
    size.width = 0;
    size.height = 0;
    window.HandleMessage(size);
    root.TakeDirtyRegion(region);
    EXPECT_TRUE(region.IsEmpty());
    EXPECT_EQ(root.GetSize().x, 640);
    EXPECT_EQ(window.GetRenderContext()->GetViewport(), (LongRect{0, 0, 640, 480}))
        << "a minimised window keeps its image";

    // Restored at the same size: drawn whole again.
    size.minimized = false;
    size.width = 640;
    size.height = 480;
    window.HandleMessage(size);
    root.TakeDirtyRegion(region);
    ASSERT_TRUE(region.GetBounds(bounds));
    EXPECT_EQ(bounds, (RegionRect{0, 0, 640, 480}));
}

TEST_F(OSWindowCoreTest, TheWindowCannotBeMadeSmallerThanItsMainControlsMinimum)
{
    ControlLayout layout = main->GetLayout();
    layout.minimum[0] = LayoutRecord{LayoutKind::kSelf, String(), 0.0f, 300.0};
    layout.minimum[1] = LayoutRecord{LayoutKind::kSelf, String(), 0.0f, 200.0};
    main->SetLayout(layout);
    const struct {
        int32_t width, height, wantWidth, wantHeight;
        bool changed;
    } cases[] = {{1, 1, 300, 200, true}, {100, 250, 300, 250, true}, {640, 480, 640, 480, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        int32_t width = c.width;
        int32_t height = c.height;
        EXPECT_EQ(root.ConstrainSize(width, height), c.changed);
        EXPECT_EQ(width, c.wantWidth);
        EXPECT_EQ(height, c.wantHeight);
    }
    window.Show(1);
    EXPECT_EQ(state.minimumSize, (LongPoint{300, 200}));
}

TEST_F(OSWindowCoreTest, AResizeKeepsTheWindowWhereItIs)
{
    // The client area sits at 100,120 on the screen.
    state.clientRects.clear();
    WindowMessage size = Message(Kind::kSize);
    size.width = 640;
    size.height = 480;
    window.HandleMessage(size);
    EXPECT_EQ(main->GetFrame(), (DoubleRect{0, 0, 640, 480}));
    // The program's own bounds change: the main control follows the window.
    EXPECT_EQ(main->SetBounds({0, 0}, {500, 400}), S_OK);
    EXPECT_EQ(main->GetFrame(), (DoubleRect{0, 0, 640, 480}));
    root.SetBounds({100, 120, 700, 500});
    ASSERT_FALSE(state.clientRects.empty());
    for (const LongRect& placed : state.clientRects) EXPECT_EQ(placed.Origin(), (LongPoint{100, 120}));
    EXPECT_EQ(state.clientRects.back(), (LongRect{100, 120, 700, 500}));
}

TEST_F(OSWindowCoreTest, MovePartlyOutsideTheWorkAreaRepaintsAllAfterTheNextMove)
{
    RectRegion region;
    root.TakeDirtyRegion(region);
    state.frame = {-50, 100, 400, 320};
    window.HandleMessage(Message(Kind::kMove));
    root.TakeDirtyRegion(region);
    EXPECT_TRUE(region.IsEmpty());
    state.frame = {100, 100, 400, 320};
    window.HandleMessage(Message(Kind::kMove));
    root.TakeDirtyRegion(region);
    EXPECT_FALSE(region.IsEmpty());
}

TEST_F(OSWindowCoreTest, DestroyingTheMainWindowWritesItsPlacementOnceAndDetaches)
{
    state.frame = {10, 20, 300, 200};
    RCPtr<LRootWindow> held = window.GetRootWindow();
    window.HandleMessage(Message(Kind::kClose));
    window.HandleMessage(Message(Kind::kClose));
    EXPECT_EQ(state.destroyCount, 1);
    const auto& wp = windowApp.profile["TarselMainWindow/WP"];
    ASSERT_EQ(wp.size(), 44u);
    auto at = [&](size_t i) {
        return int32_t(uint32_t(wp[i * 4]) | uint32_t(wp[i * 4 + 1]) << 8 | uint32_t(wp[i * 4 + 2]) << 16 |
                       uint32_t(wp[i * 4 + 3]) << 24);
    };
    EXPECT_EQ(at(0), 44);
    EXPECT_EQ(at(2), 1);
    EXPECT_EQ((std::vector<int32_t>{at(7), at(8), at(9), at(10)}), (std::vector<int32_t>{10, 20, 310, 220}));
    EXPECT_TRUE(windowApp.roots.empty());
    EXPECT_EQ(held->GetOSServices(), nullptr);
    held->OnMouseMove({20, 20}, 0, 0);  // a detached root window drops input
}

TEST_F(OSWindowCoreTest, KickIdleAsksForMoreOnlyForTheFirstPasses)
{
    struct FakeMore : FakeWindowApplication {
        bool ProcessPendingNotifications(bool) override { return true; }
    } busy;
    ScopedWindowApplication scope(busy);
    WindowMessage idle = Message(Kind::kKickIdle);
    std::vector<bool> answers;
    for (int32_t i = 0; i < 4; ++i) {
        idle.idleCount = i;
        answers.push_back(window.HandleMessage(idle));
    }
    EXPECT_EQ(answers, (std::vector<bool>{true, true, false, false}));
}

TEST_F(OSWindowCoreTest, TimerTicksAreWantedOnlyWhileSomethingWaitsForIdlePasses)
{
    EXPECT_FALSE(window.WantsTimerTicks());
    ASSERT_EQ(left->SubscribeIdle(), S_OK);
    EXPECT_TRUE(window.WantsTimerTicks());
    ASSERT_EQ(left->UnsubscribeIdle(), S_OK);
    EXPECT_FALSE(window.WantsTimerTicks());

    ASSERT_EQ(root.GetQueue()->PostNamedNotification(u"NID_WAITING"), S_OK);
    EXPECT_TRUE(window.WantsTimerTicks());
    root.ProcessNotifications(false);
    EXPECT_FALSE(window.WantsTimerTicks());

    {
        // An idle pass that leaves work keeps the ticks until a pass finishes it.
        struct Busy : FakeWindowApplication {
            bool more = true;
            bool ProcessPendingNotifications(bool) override { return more; }
        } busy;
        ScopedWindowApplication scope(busy);
        WindowMessage idle = Message(Kind::kKickIdle);
        window.HandleMessage(idle);
        EXPECT_TRUE(window.WantsTimerTicks());
        busy.more = false;
        window.HandleMessage(idle);
        EXPECT_FALSE(window.WantsTimerTicks());
    }

    window.DestroyWindow();
    ASSERT_EQ(right->SubscribeIdle(), S_OK);
    EXPECT_FALSE(window.WantsTimerTicks());
    right->UnsubscribeIdle();
}

TEST_F(OSWindowCoreTest, ClipboardDestroyedDropsTheBridgesValue)
{
    window.HandleMessage(Message(Kind::kClipboardDestroyed));
    EXPECT_EQ(windowApp.clipboardDrops, 1);
}

}  // namespace
}  // namespace window_test
