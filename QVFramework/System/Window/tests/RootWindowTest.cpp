#include <gtest/gtest.h>

#include <algorithm>

#include "KeyCode.h"
#include "LStringTable.h"
#include "WindowTestSupport.h"

namespace window_test {
namespace {

using Kind = WindowMessage::Kind;

class RootWindowTest : public WindowFixture {
protected:
    RootWindowTest() : window(MakeWindow(state)), root(*window.GetRootWindow()) {}

    std::vector<LongRect> DirtyRects()
    {
        RectRegion region;
        root.TakeDirtyRegion(region);
        std::vector<LongRect> rects;
        region.GetRects(rects);
        return rects;
    }

    OSWindow& window;
    LRootWindow& root;
};

TEST_F(RootWindowTest, InvalidationClipsRoundsAndAsksTheWindowOnlyForRealAreas)
{
    struct Case {
        DoubleRect rect;
        std::vector<LongRect> expected;
    };
    const Case cases[] = {
        {{10.4, 20.6, 30.5, 10.2}, {{10, 21, 31, 10}}},
        {{-50, -50, 60, 60}, {{0, 0, 10, 10}}},
        {{395, 295, 50, 50}, {{395, 295, 5, 5}}},
        {{500, 10, 20, 20}, {}},
        {{399.5, 10, 20, 20}, {}},
        {{10, 10, 0.5, 20}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rect.x << "," << c.rect.y << " " << c.rect.width);
        state.invalidated.clear();
        root.InvalidateRect(c.rect);
        EXPECT_EQ(DirtyRects(), c.expected);
        EXPECT_EQ(state.invalidated, c.expected);
    }
}

// A new window rectangle redraws the main control's whole area on either
// layer, the border its look draws outside the client area included.
TEST_F(RootWindowTest, NewBoundsRedrawTheMainControlForItsLayer)
{
    struct Row {
        bool clipToParent;
        std::vector<LongRect> dirty;
    };
    const Row rows[] = {{true, {{0, 0, 400, 300}}}, {false, {{0, 0, 400, 300}}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.clipToParent);
        RCPtr<ProbeControl> main = Probe(nullptr, u"main", 0, 0, 400, 300, row.clipToParent);
        auto* look = dynamic_cast<control_test::FakeLook*>(main->GetVisualPart(0).Get());
        ASSERT_TRUE(look);
        look->inset = 10;
        ASSERT_GE(root.SetMainControl(main), 0);
        (void)DirtyRects();
        const DoubleRect bounds = root.GetBounds();
        root.SetBounds({bounds.x + 5, bounds.y, bounds.width, bounds.height});
        EXPECT_EQ(DirtyRects(), row.dirty);
        root.SetBounds(root.GetBounds());
        EXPECT_TRUE(DirtyRects().empty()) << "the same rectangle redraws nothing";
    }
}

TEST_F(RootWindowTest, OverlappingInvalidationsNeverOverlapInTheRegion)
{
    root.InvalidateRect(DoubleRect{0, 0, 100, 100});
    root.InvalidateRect(DoubleRect{50, 50, 100, 100});
    RectRegion region;
    root.TakeDirtyRegion(region);
    std::vector<LongRect> rects;
    region.GetRects(rects);
    int64_t area = 0;
    for (const LongRect& r : rects) area += int64_t(r.width) * r.height;
    EXPECT_EQ(area, 100 * 100 * 2 - 50 * 50);
    EXPECT_TRUE(DirtyRects().empty());
}

TEST_F(RootWindowTest, RepaintAllPendingInvalidatesTheClientOnceWhenTaken)
{
    root.SetRepaintAllPending();
    EXPECT_EQ(DirtyRects(), (std::vector<LongRect>{{0, 0, 400, 300}}));
    EXPECT_TRUE(DirtyRects().empty());
}

TEST_F(RootWindowTest, OverlaysDrawAfterTheTreeByZOrderWithTheirOwnOpacity)
{
    MakeTree(root);
    left->SetOpacity(0.5f);
    // Appended in child order: low(z 0), high(z 5), negative(z -3), equal(z 0).
    auto low = Probe(left.Get(), u"low", 0, 0, 20, 20, false, 0);
    auto high = Probe(left.Get(), u"high", 0, 0, 20, 20, false, 5);
    auto negative = Probe(left.Get(), u"negative", 0, 0, 20, 20, false, -3);
    auto equal = Probe(left.Get(), u"equal", 0, 0, 20, 20, false, 0);
    auto clipped = Probe(left.Get(), u"clipped", 0, 0, 20, 20);
    clipped->SetOpacity(0.5f);
    drawLog.clear();
    sink.calls.clear();
    window.UpdateNow();

    std::vector<std::string> backgrounds;
    for (const std::string& entry : drawLog) {
        if (entry.ends_with(":background")) backgrounds.push_back(entry.substr(0, entry.find(':')));
    }
    EXPECT_EQ(backgrounds,
              (std::vector<std::string>{"main", "left", "clipped", "right", "negative", "low", "equal", "high"}));
    auto opacityOf = [](const RCPtr<ProbeControl>& c) {
        auto* look = static_cast<control_test::FakeLook*>(c->GetVisualPart(0).Get());
        return look->opacities.back();
    };
    EXPECT_FLOAT_EQ(opacityOf(low), 1.0f);
    EXPECT_FLOAT_EQ(opacityOf(clipped), 0.25f);
    ASSERT_EQ(sink.calls.size(), 1u);
}

TEST_F(RootWindowTest, MouseSequenceCarriesDoubleClicksAndDropsWhatHasNoTarget)
{
    MakeTree(root);
    // A release with nobody capturing goes nowhere.
    root.OnMouseButton(LRootWindow::kRelease, 1, 0, {20, 20}, 0);
    EXPECT_TRUE(left->events.empty() || left->events.back().rfind("up", 0) != 0);

    EXPECT_GE(root.SetCaptureControl(left.Get()), 0);
    left->events.clear();
    state.screenCursor = {100 + 20, 100 + 20 + 20};
    root.OnMouseButton(LRootWindow::kDoubleClick, 1, 0, {20, 20}, 0);
    root.OnMouseButton(LRootWindow::kRelease, 1, 0, {20, 20}, 0);
    root.OnMouseButton(LRootWindow::kPress, 1, 0, {20, 20}, 0);
    root.OnMouseButton(LRootWindow::kRelease, 1, 0, {20, 20}, 0);
    EXPECT_EQ(left->events, (std::vector<std::string>{"down 10,10 dbl", "up 10,10 dbl", "down 10,10", "up 10,10"}));
}

TEST_F(RootWindowTest, PointerMasksKeepTenPointersAndInactiveWindowsHearNothing)
{
    MakeTree(root);
    state.screenCursor = {100 + 20, 100 + 20 + 20};
    root.OnMouseButton(LRootWindow::kPress, 4, 0, {20, 20}, 9);
    root.OnMouseButton(LRootWindow::kPress, 4, 0, {20, 20}, 10);
    EXPECT_EQ(root.GetPointerButtons(9), 4u);
    EXPECT_EQ(root.GetPointerButtons(10), 0u);
    EXPECT_EQ(std::count_if(left->events.begin(), left->events.end(), [](auto& e) { return e.starts_with("down"); }),
              2);

    state.active = false;
    left->events.clear();
    root.SetFocusControl(left.Get());
    root.OnMouseButton(LRootWindow::kPress, 1, 0, {20, 20}, 0);
    root.OnMouseMove({30, 30}, 0, 0);
    root.OnMouseWheel({20, 20}, 0, 1);
    root.OnKey(RCPtr<LKeyParam>(new LKeyParam(KeyCode(u'a', 0), 1)));
    EXPECT_TRUE(left->events.empty());
    EXPECT_TRUE(left->keys.empty()) << "a key typed into another window reached this one";
}

TEST_F(RootWindowTest, AWheelClimbsFromTheControlUnderThePointerThenFallsBackToTheFocus)
{
    MakeTree(root);
    struct Row {
        const char* what;
        int32_t direction;
        QVResult leftTakes, mainTakes;
        bool focusRight;
        std::vector<std::string> left, main, right;
    } rows[] = {
        {"the control under the pointer takes it", 1, 0, 0, true, {"wheel1"}, {}, {}},
        {"refused, it climbs to the parent", 0, 1, 0, true, {"wheel0"}, {"wheel0"}, {}},
        {"refused by all, without a focus it is dropped", 1, 1, 1, false, {"wheel1"}, {"wheel1"}, {}},
        // The focus's own climb offers it to the shared parent again.
        {"refused by all, the focus gets it", 1, 1, 1, true, {"wheel1"}, {"wheel1", "wheel1"}, {"wheel1"}},
        {"sideways goes to the scroll hook", 3, 1, 1, true, {"scroll3"}, {"scroll3", "scroll3"}, {"scroll3"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        left->wheelResult = r.leftTakes;
        main->wheelResult = r.mainTakes;
        right->wheelResult = 1;
        root.SetFocusControl(r.focusRight ? right.Get() : nullptr);
        for (auto* probe : {main.Get(), left.Get(), right.Get()}) probe->events.clear();
        root.OnMouseWheel({25, 27}, 0, r.direction);
        for (auto* probe : {main.Get(), left.Get(), right.Get()})
            std::erase_if(probe->events, [](const std::string& e) { return e == "enter" || e == "leave"; });
        EXPECT_EQ(left->events, r.left);
        EXPECT_EQ(main->events, r.main);
        EXPECT_EQ(right->events, r.right);
        // Each receiver reads the point in its own coordinates.
        EXPECT_EQ(left->wheelPoint, (LongPoint{15, 17}));
        if (!r.right.empty()) {
            EXPECT_EQ(right->wheelPoint, (LongPoint{25 - 200, 27 - 10}));
        }
    }
}

TEST_F(RootWindowTest, CaptureHandOverEndsTheOldDragAndFreezesHover)
{
    MakeTree(root);
    EXPECT_EQ(root.SetCaptureControl(nullptr), E_INVALIDARG);
    EXPECT_GE(root.SetCaptureControl(left.Get()), 0);
    EXPECT_GE(root.SetCaptureControl(right.Get()), 0);
    EXPECT_EQ(left->events.back(), "dragend");

    root.OnMouseMove({20, 20}, 0, 0);
    EXPECT_TRUE(root.GetHoverControl().IsNull()) << "another control captures";
    EXPECT_EQ(right->events.back(), "move -180,10") << "relative to the capturing control";
    EXPECT_GE(root.ClearCapture(), 0);
    root.OnMouseMove({20, 20}, 0, 0);
    EXPECT_EQ(root.GetHoverControl().Get(), left.Get());
}

TEST_F(RootWindowTest, RequestCloseIsCarriedOutAtTheNextIdlePass)
{
    MakeTree(root);
    int32_t result = 99;
    state.pending.push_back([&] { EXPECT_EQ(root.RequestClose(7), S_OK); });
    result = window.RunModal();
    EXPECT_EQ(result, 7);
    EXPECT_EQ(state.destroyCount, 1);
    EXPECT_EQ(root.RequestClose(1), E_FAIL) << "the host has gone from its root window";
}

TEST_F(RootWindowTest, HotKeysComeFromTheMainControlsGhkStrings)
{
    main = Probe(nullptr, u"main", 0, 0, 400, 300);
    RCPtr<LStringTable> table(new LStringTable());
    EXPECT_GE(table->SetString(u"GHK.NID_TEST_SAVE", u"Ctrl+S"), 0);
    EXPECT_GE(table->SetString(u"OTHER.NID_TEST_OPEN", u"Ctrl+O"), 0);
    main->table = table;
    EXPECT_GE(root.SetMainControl(main), 0);
    const KeyMap& map = root.GetHotKeyManager()->GetKeyMap();
    EXPECT_TRUE(map.HasCommand(u"NID_TEST_SAVE"));
    EXPECT_FALSE(map.HasCommand(u"NID_TEST_OPEN"));

    // The command is queued on the root window and delivered at its next idle pass.
    RCPtr<control_test::NotificationLog> log(new control_test::NotificationLog());
    log->RegisterNotification(RCPtr<LNotificationDistributor>(&root), u"NID_TEST_SAVE");
    const KeyCode ctrlS = KeyCode::Parse(u"Ctrl+S");
    EXPECT_EQ(root.HandleHotKey(ctrlS), S_OK);
    EXPECT_TRUE(log->names.empty());
    root.ProcessNotifications(false);
    EXPECT_EQ(log->names, (std::vector<std::string>{"NID_TEST_SAVE"}));
    log->ReleaseInternalReferences();

    EXPECT_GE(root.SetMainControl(nullptr), 0);
    EXPECT_FALSE(root.GetHotKeyManager()->GetKeyMap().HasCommand(u"NID_TEST_SAVE"));
}

// The window's animating controls (caret, click flash, auto-repeat) subscribe
// to its "NID_IDLE": the first idle pass after a message sends it, the later
// passes of the same round do not.
TEST_F(RootWindowTest, TheFirstIdlePassSendsTheWindowsIdleNotification)
{
    RCPtr<control_test::NotificationLog> log(new control_test::NotificationLog());
    log->RegisterNotification(RCPtr<LNotificationDistributor>(&root), u"NID_IDLE");
    root.ProcessNotifications(true);
    EXPECT_EQ(log->names, (std::vector<std::string>{"NID_IDLE"}));
    root.ProcessNotifications(false);
    EXPECT_EQ(log->names.size(), 1u);
    log->ReleaseInternalReferences();
}

TEST_F(RootWindowTest, TabLeavesForTheNextRootWindowOrCyclesInsideTheOnlyOne)
{
    MakeTree(root);
    root.SetFocusControl(nullptr);
    root.FocusNextRootWindow(RCPtr<LKeyParam>(new LKeyParam(control_test::KeyPress(9))));
    EXPECT_TRUE(root.GetFocusControl()) << "one root window: focus cycles inside it";

    BackendState& secondState = otherStates.emplace_back();
    secondState.active = false;
    MakeWindow(secondState);
    const int before = secondState.focusRequests;
    root.FocusNextRootWindow(RCPtr<LKeyParam>(new LKeyParam(control_test::KeyPress(9, KeyCode::kShift))));
    EXPECT_EQ(secondState.focusRequests, before + 1) << "Shift+Tab from the first wraps to the last";
}

}  // namespace
}  // namespace window_test
