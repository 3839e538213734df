#include "ControlTestSupport.h"
#include "LHolder.h"
#include "LSlider.h"

namespace control_test {
namespace {

class SliderTest : public ControlFixture {
protected:
    void SetUp() override
    {
        MakeTop();
        log = new NotificationLog();
        log->onReceive = [this](const RCPtr<LNotification>& n) {
            if (auto* h = dynamic_cast<LHolder<bool>*>(n->GetPayload().Get())) captures.push_back(h->GetValue());
        };
    }
    void TearDown() override { log->UnregisterAllNotifications(); }

    // A 200 x 20 slider at (20, 40) whose markers are 10 x 10 at the given origins.
    void MakeSlider(DoublePoint start = {0, 5}, DoublePoint end = {190, 5})
    {
        slider = new LSlider(top.Get(), u"slider");
        ControlLayout l;
        l.position[0].offset = 20;
        l.position[1].offset = 40;
        l.size[0].offset = 200;
        l.size[1].offset = 20;
        slider->SetLayout(l);
        slider->AddVisualPart(RCPtr<ILook>(new FakeLook()));
        slider->AddVisualPart(RCPtr<ILook>(new FakeLook()));
        slider->AddVisualPart(RCPtr<ILook>(new FakeLook()));
        slider->SetNotFocusable(false);
        EXPECT_GE(slider->UpdateLayout(), 0);
        Make(slider.Get(), u"thumbStart", start.x, start.y, 10, 10, -1);
        Make(slider.Get(), u"thumbEnd", end.x, end.y, 10, 10, -1);
        ASSERT_EQ(S_OK, slider->Initialize());
        slider->OnInitialized();
        slider->SetInitialized(true);
        log->Listen(slider.Get(), {u"NID_VALUE_CHANGE_CAPTURE", u"NID_VALUE_CHANGE_KEY_DOWN",
                                   u"NID_VALUE_CHANGE_KEY_UP", u"NID_VALUE_CHANGE"});
        log->Clear();
    }
    DoublePoint Thumb() const
    {
        const DoubleRect& f = slider->GetThumb()->GetFrame();
        return {f.x, f.y};
    }
    int Count(const std::string& name) const { return int(std::count(log->names.begin(), log->names.end(), name)); }
    void Idle(uint32_t ms = 0)
    {
        app.nowMs += ms;
        root->Idle();
    }
    static RCPtr<LKeyParam> Key(uint32_t flags)
    {
        KeyCode key;
        key.code = flags;
        return RCPtr<LKeyParam>(new LKeyParam(key));
    }

    RCPtr<NotificationLog> log;
    RCPtr<LSlider> slider;
    std::vector<bool> captures;
};

TEST_F(SliderTest, ThumbFollowsTheValueBetweenTheMarkers)
{
    MakeSlider();
    ASSERT_NE(nullptr, slider->GetThumb());
    EXPECT_FALSE(slider->FindChildControl(u"thumbStart")->IsEffectivelyVisible(false));
    EXPECT_EQ(DoublePoint(0, 5), Thumb());
    EXPECT_DOUBLE_EQ(127.0, slider->NormalizedToValue(1.0));
    slider->SetValue(0.5);
    EXPECT_EQ(DoublePoint(95, 5), Thumb());
    slider->SetValue(1.0);
    EXPECT_EQ(DoublePoint(190, 5), Thumb());
}

TEST_F(SliderTest, ArrowKeysStepOneUnitAndPostHoldAndRelease)
{
    MakeSlider();
    struct Step {
        uint32_t flags;
        double units;  // value afterwards, in range units
        int downs;
        int ups;
    };
    const std::vector<Step> steps = {
        {0x20270000, 1, 1, 0},  // Right
        {0x20270000, 2, 1, 0},  // held: no second key-down
        {0x00270000, 2, 1, 1},  // Right released
        {0x20260000, 3, 2, 1},  // Up
        {0x20250000, 2, 2, 1},  // Left, still held
        {0x20280000, 1, 2, 1},  // Down
        {0x22280000, 1, 2, 1},  // Shift+Down is another key
        {0x20410000, 1, 2, 1},  // 'A' goes on unhandled
        {0x00280000, 1, 2, 2},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        slider->HandleKey(Key(steps[i].flags));
        Idle();
        EXPECT_NEAR(steps[i].units, slider->NormalizedToValue(slider->GetValue()), 1e-9);
        EXPECT_EQ(steps[i].downs, Count("NID_VALUE_CHANGE_KEY_DOWN"));
        EXPECT_EQ(steps[i].ups, Count("NID_VALUE_CHANGE_KEY_UP"));
    }
}

TEST_F(SliderTest, AThumbGivenWithoutADescriptorIsPlacedLikeTheStartMarker)
{
    MakeSlider();
    ASSERT_EQ(slider->GetThumb()->ChangeParent(nullptr), S_OK);  // makes room for a thumb by that name
    RCPtr<LControl> thumb(new TestControl(nullptr, u"thumb"));
    thumb->SetVisible(false);
    EXPECT_EQ(slider->SetParent(thumb, nullptr), S_OK);
    EXPECT_EQ(thumb->GetParent(), slider.Get());
    EXPECT_TRUE(thumb->GetLayout().isVisible);
    const ControlLayout& start = slider->FindChildControl(u"thumbStart")->GetLayout();
    EXPECT_EQ(thumb->GetLayout().size[0].offset, start.size[0].offset);
    EXPECT_EQ(thumb->GetLayout().position[0].offset, 0);  // the value places it, not the marker
    EXPECT_EQ(thumb->GetLayout().position[1].offset, 0);

    RCPtr<LControl> other(new TestControl(nullptr, u"other"));
    EXPECT_EQ(slider->SetParent(other, nullptr), static_cast<QVResult>(E_FAIL));
    EXPECT_EQ(slider->SetParent(nullptr, nullptr), static_cast<QVResult>(E_FAIL));
}

TEST_F(SliderTest, WheelUpOrRightStepsUpAndDownOrLeftStepsDown)
{
    MakeSlider();
    const struct {
        const char* what;
        uint32_t direction;
        double units;
    } rows[] = {
        {"down", LMouseWheelParam::kDown, 9},
        {"up", LMouseWheelParam::kUp, 11},
        {"left", LMouseWheelParam::kLeft, 9},
        {"right", LMouseWheelParam::kRight, 11},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        slider->SetValue(slider->ValueToNormalized(10));
        EXPECT_EQ(S_OK, slider->HandleMouseWheel(LMouseWheelParam::Create({5, 5}, 0, r.direction)));
        EXPECT_NEAR(r.units, slider->NormalizedToValue(slider->GetValue()), 1e-9);
    }
}

TEST_F(SliderTest, LosingTheFocusWhileAKeyIsHeldPostsKeyUp)
{
    MakeSlider();
    RCPtr<TestControl> other = Make(top.Get(), u"other", 0, 100, 20, 20);
    slider->SetFocus(true);
    slider->HandleKey(Key(0x20270000));
    other->SetFocus(true);
    Idle();
    EXPECT_EQ(1, Count("NID_VALUE_CHANGE_KEY_DOWN"));
    EXPECT_EQ(1, Count("NID_VALUE_CHANGE_KEY_UP"));
}

TEST_F(SliderTest, DraggingTheThumbSetsTheValueAndDefersOutsideValues)
{
    MakeSlider();
    RCPtr<LControl> thumb = slider->GetThumb();
    thumb->HandleMouseDown(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {3, 4}, 0, false, 1, 0));
    thumb->HandleMouseMove(LPointWithModifiersParam::Create({10, 30}, 0, 0));
    ASSERT_TRUE(slider->IsDragging());
    // Pointer at 10 in the thumb, grabbed at 3: the thumb moves 7 along x only.
    EXPECT_EQ(DoublePoint(7, 5), Thumb());
    EXPECT_NEAR(7.0 / 190.0, slider->GetValue(), 1e-12);

    // From outside during the drag: kept, the thumb stays.
    slider->SetValue(0.9);
    EXPECT_EQ(DoublePoint(7, 5), Thumb());
    EXPECT_NEAR(7.0 / 190.0, slider->GetValue(), 1e-12);

    thumb->HandleMouseMove(LPointWithModifiersParam::Create({500, 5}, 0, 0));
    EXPECT_EQ(DoublePoint(190, 5), Thumb());
    thumb->HandleMouseUp(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {0, 0}, 0, false, 0, 0));
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_DOUBLE_EQ(0.9, slider->GetValue());
    EXPECT_EQ(DoublePoint(171, 5), Thumb());
    Idle();
    EXPECT_EQ((std::vector<bool>{true, false}), captures);
}

TEST_F(SliderTest, AnOutOfRangeDeferredValueIsDroppedAndCapturePostsEvenWithoutChange)
{
    MakeSlider();
    RCPtr<LControl> thumb = slider->GetThumb();
    thumb->HandleMouseDown(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {3, 4}, 0, false, 1, 0));
    thumb->HandleMouseMove(LPointWithModifiersParam::Create({3, 5}, 0, 0));
    ASSERT_TRUE(slider->IsDragging());
    slider->SetValue(1.5);
    thumb->HandleMouseUp(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {0, 0}, 0, false, 0, 0));
    EXPECT_DOUBLE_EQ(0.0, slider->GetValue());
    Idle();
    EXPECT_EQ((std::vector<bool>{true, false}), captures);
}

TEST_F(SliderTest, HoldingTheTrackStepsAtOnceThenAfterThreeTenthsThenEveryTenth)
{
    MakeSlider();
    root->cursorX = 20 + 155;  // track point 155: the thumb's centre reaches it at 150 / 190
    root->cursorY = 40 + 10;
    slider->HandleMouseDown(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {155, 10}, 0, false, 1, 0));
    ASSERT_TRUE(slider->IsTrackPressed());
    struct Tick {
        uint32_t ms;
        double value;
    };
    const double target = 150.0 / 190.0;
    const std::vector<Tick> ticks = {
        {0, 0.1},   {200, 0.1}, {99, 0.1},  {2, 0.2},   {50, 0.2},     {51, 0.3},
        {101, 0.4}, {101, 0.5}, {101, 0.6}, {101, 0.7}, {101, target}, {101, target},
    };
    for (size_t i = 0; i < ticks.size(); ++i) {
        SCOPED_TRACE(i);
        Idle(ticks[i].ms);
        EXPECT_NEAR(ticks[i].value, slider->GetValue(), 1e-9);
    }
    slider->HandleMouseUp(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {155, 10}, 0, false, 0, 0));
    EXPECT_FALSE(slider->IsTrackPressed());
    EXPECT_NEAR(target, slider->GetValue(), 1e-9);
    // Released: no idle subscription is left to step again.
    EXPECT_EQ(0, slider->GetIdleUserCount());
}

TEST_F(SliderTest, ZeroLengthTrackLeavesTheValue)
{
    MakeSlider({50, 5}, {50, 5});
    slider->SetValue(0.4);
    slider->HandleMouseDown(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {150, 10}, 0, false, 1, 0));
    Idle(500);
    slider->HandleMouseUp(LMouseButtonParam::Create(LMouseButtonParam::kLeft, {150, 10}, 0, false, 0, 0));
    EXPECT_DOUBLE_EQ(0.4, slider->GetValue());
}

}  // namespace
}  // namespace control_test
