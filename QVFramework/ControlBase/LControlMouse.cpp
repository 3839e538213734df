#include <algorithm>
#include <cmath>

#include "IControlApplication.h"
#include "LControl.h"
#include "Platform/Clock/Clock.h"

namespace QV {
namespace {

constexpr uint32_t kClickWindowMs = 100;
constexpr double kFlickMinimumSpeed = 1000.0;
constexpr uint32_t kDecelerationDelayMs = 1000;

uint32_t NowMs()
{
    IControlApplication* app = GetControlApplication();
    return app ? app->GetTimeMs() : Platform::Clock::NowMs();
}

// Inertia runs on the system clock when there is no application.
double ElapsedSeconds()
{
    return Now(Platform::Clock::NowMs() / 1000.0);
}

int ButtonIndex(uint32_t button)
{
    switch (button) {
    case LMouseButtonParam::kLeft: return 0;
    case LMouseButtonParam::kMiddle: return 1;
    case LMouseButtonParam::kRight: return 2;
    default: return -1;
    }
}

}  // namespace

QVResult LControl::HandleMouseDown(const RCPtr<LMouseButtonParam>& param)
{
    if (!param) return E_INVALIDARG;
    const int b = ButtonIndex(param->GetButton());
    if (b < 0) return E_INVALIDARG;
    if (!mMouse.captured && !IsInputAllowed()) return kNotHandled;
    RCPtr<LControl> self(this);
    if (!mMouse.captured) {
        if (HasNotFocusableAncestor(true)) {
            if (mParent) mParent->Activate(this);
        } else {
            SetFocus(true);
        }
    }
    if (b == 0) {
        mMouse.heldLeft = param;
        OnLeftMouseDown(param);
    } else if (b == 1) {
        OnMiddleMouseDown(param);
    } else {
        OnRightMouseDown(param);
    }
    Notify(u"NID_MOUSE_DOWN", param);
    if (!mMouse.captured) {
        const LongPoint at = param->GetPoint();
        BeginDrag(static_cast<int32_t>(param->GetButton()), at.x, at.y);
    }
    return S_OK;
}

QVResult LControl::BeginDrag(int32_t button, int32_t x, int32_t y)
{
    if (!IsInputAllowed() || mMouse.captured) return kNotHandled;
    RCPtr<IRootWindow> root = GetRootWindow();
    const int b = ButtonIndex(static_cast<uint32_t>(button));
    if (button != 0) {
        if (b < 0 || !root || (root->GetMouseButtonState() & static_cast<uint32_t>(button)) == 0) return kNotHandled;
        mMouse.pressPoint = {x + mFrame.x, y + mFrame.y};
        mMouse.appliedTravel = {};
    }
    RCPtr<LControl> self(this);
    StopFlicks(this);
    mMouse.captured = true;
    mMouse.pressTime = mMouse.previousMoveTime = NowMs();
    mMouse.dragVelocity = {};
    if (root) root->SetCapture(this);
    if (b == 0) {
        mMouse.pressed[0] = true;
        mMouse.dragMode = DragMode::kNone;
        if (mMouse.keepHitChild && !mMouse.holdSubscribed) mMouse.holdSubscribed = SubscribeIdle() == S_OK;
    } else if (b > 0) {
        mMouse.pressed[b] = true;
    }
    UpdateConditions();
    if (mMouse.dragThreshold != 0 || b < 0) return S_OK;
    mMouse.pressed[b] = false;
    mMouse.dragging[b] = true;
    UpdateConditions();
    if (b == 0 && mMouse.dragMode != DragMode::kNone) MoveBy(RCPtr<LPointParam>(new LPointParam({x, y})));
    return S_OK;
}

QVResult LControl::HandleMouseMove(const RCPtr<LPointWithModifiersParam>& param)
{
    if (!param) return E_INVALIDARG;
    RCPtr<LControl> self(this);
    mMouse.moveTime = NowMs();
    const int pressed = mMouse.pressed[0] ? 0 : mMouse.pressed[1] ? 1 : mMouse.pressed[2] ? 2 : -1;
    if (pressed >= 0) {
        const int32_t px = SaturateToLong(mMouse.pressPoint.x - mFrame.x);
        const int32_t py = SaturateToLong(mMouse.pressPoint.y - mFrame.y);
        const LongPoint at = param->GetPoint();
        const int64_t distance = std::max(std::llabs(int64_t{at.x} - px), std::llabs(int64_t{at.y} - py));
        if (distance >= mMouse.dragThreshold) {
            const auto startDrag = [this, pressed] {
                mMouse.pressed[0] = mMouse.pressed[1] = mMouse.pressed[2] = false;
                mMouse.dragging[pressed] = true;
            };
            // With threshold 0 the move at the press point would start the drag again, so it
            // is dragging first. Otherwise that move comes while only pressed: a mode chosen at
            // the press must not move the control before its move has begun.
            const bool atOnce = mMouse.dragThreshold == 0;
            if (atOnce) startDrag();
            // The press point, always a valid input: the answer is always S_OK.
            (void)HandleMouseMove(
                LPointWithModifiersParam::Create({px, py}, param->GetModifiers(), param->GetPointerIndex()));
            if (!atOnce) startDrag();
            UpdateConditions();
        }
    }
    OnMouseMove(param);
    Notify(u"NID_MOUSE_MOVE", param);
    if (mMouse.dragging[0] && mMouse.dragMode != DragMode::kNone) MoveBy(param);
    mMouse.previousMoveTime = mMouse.moveTime;
    return S_OK;
}

QVResult LControl::HandleMouseUp(const RCPtr<LMouseButtonParam>& param)
{
    if (!param) return E_INVALIDARG;
    const int b = ButtonIndex(param->GetButton());
    if (b < 0) return E_INVALIDARG;
    if (!mMouse.captured && !IsInputAllowed()) return kNotHandled;
    RCPtr<LControl> self(this);
    if (b == 0) {
        OnLeftMouseUp(param);
    } else if (b == 1) {
        OnMiddleMouseUp(param);
    } else {
        OnRightMouseUp(param);
    }
    // Read after the button's hook, which may end the drag or the hover.
    const bool click =
        mMouse.hover && (mMouse.pressed[b] || (mMouse.dragging[b] && mMouse.dragMode == DragMode::kNone));
    if (b == 0 && mMouse.dragging[0] && mMouse.dragMode == DragMode::kScrollContent) {
        const uint32_t now = NowMs();
        mMouse.flickStartTime = now;
        if (Platform::Clock::ElapsedMs(mMouse.previousMoveTime, now) < kClickWindowMs) {
            const DoubleRect range = GetScrollRange(this);
            const double extent[2] = {range.width, range.height};
            const double velocity[2] = {mMouse.dragVelocity.x, mMouse.dragVelocity.y};
            for (int axis = 0; axis < 2; ++axis) {
                if (ScrollsAlong(mMouse.dragAxes, axis) && std::fabs(velocity[axis]) >= kFlickMinimumSpeed) {
                    StartInertialScroll(axis, velocity[axis], extent[axis], 0.0, nullptr);
                    mInertia[axis].decelerating = true;
                }
            }
        }
    }
    Notify(u"NID_MOUSE_UP", param);
    if (mMouse.captured && param->GetButtonState() == 0) EndDrag();
    // The release is handled whatever the click's own answer.
    if (click && IsEnabledInTree(true)) (void)HandleClick(param);
    return S_OK;
}

QVResult LControl::EndDrag()
{
    if (!mMouse.captured) return kNothingToDo;
    RCPtr<LControl> self(this);
    mMouse.captured = false;
    for (int b = 0; b < 3; ++b) mMouse.pressed[b] = mMouse.dragging[b] = false;
    if (RCPtr<IRootWindow> root = GetRootWindow()) root->ReleaseCapture(this);
    UpdateConditions();
    mMouse.heldLeft = nullptr;
    if (mMouse.holdSubscribed) {
        mMouse.holdSubscribed = false;
        UnsubscribeIdle();
    }
    return S_OK;
}

QVResult LControl::SetDragThreshold(int32_t threshold)
{
    if (threshold < 0) return E_INVALIDARG;
    mMouse.dragThreshold = threshold;
    return S_OK;
}

QVResult LControl::SetDragMode(int32_t mode, int32_t axes)
{
    mMouse.dragMode = static_cast<DragMode::Mode>(mode);
    mMouse.dragAxes = axes;
    return S_OK;
}

QVResult LControl::HandleClick(const RCPtr<LMouseButtonParam>& param)
{
    if (!param) return E_INVALIDARG;
    switch (param->GetButton()) {
    case LMouseButtonParam::kLeft: return DoLeftClick(param);
    case LMouseButtonParam::kMiddle: return DoMiddleClick(param);
    case LMouseButtonParam::kRight: return DoRightClick(param);
    default: return E_INVALIDARG;
    }
}

QVResult LControl::DoLeftClick(const RCPtr<LMouseButtonParam>& param)
{
    if (!param) return E_INVALIDARG;
    OnLeftClick(param);
    Notify(u"NID_LEFT_CLICK", param);
    return S_OK;
}

QVResult LControl::DoMiddleClick(const RCPtr<LMouseButtonParam>& param)
{
    if (!param) return E_INVALIDARG;
    OnMiddleClick(param);
    Notify(u"NID_MIDDLE_CLICK", param);
    return S_OK;
}

QVResult LControl::DoRightClick(const RCPtr<LMouseButtonParam>& param)
{
    if (!param) return E_INVALIDARG;
    RCPtr<LControl> self(this);
    OnRightClick(param);
    Notify(u"NID_RIGHT_CLICK", param);
    // A menu that cannot show leaves the click handled all the same.
    if (RCPtr<LRefCountedObject> menu = GetContextMenu()) (void)ShowContextMenu(menu);
    return S_OK;
}

DoubleRect LControl::GetScrollRange(LControl*)
{
    return {0.0, 0.0, kMaxExactDouble, kMaxExactDouble};
}

void LControl::StartInertialScroll(int axis, double velocity, double maximum, double minimum, LControl* linked)
{
    if (axis < 0 || axis > 1) return;
    Inertia& in = mInertia[axis];
    in.velocity = velocity;
    in.maximum = maximum;
    in.minimum = minimum;
    in.linked = linked;
    if (!in.running) {
        in.lastTime = ElapsedSeconds();
        // An axis marked running without a subscription would never move, and
        // stopping it would release another user's subscription.
        in.running = Succeeded(SubscribeIdle());
    }
}

QVResult LControl::StopInertialScroll(int axis)
{
    if (axis < 0 || axis > 1) return E_INVALIDARG;
    Inertia& in = mInertia[axis];
    in.linked = nullptr;
    in.decelerating = false;
    // An axis that is not running holds no idle subscription.
    if (!in.running) return kNothingToDo;
    in.running = false;
    UnsubscribeIdle();
    return S_OK;
}

QVResult LControl::SubscribeIdle()
{
    if (++mIdleUsers != 1) return S_OK;
    RCPtr<IRootWindow> root = GetRootWindow();
    if (!root) return S_OK;
    const QVResult registered =
        mHandler ? mHandler->RegisterHandler(&LControl::OnIdle, root->GetDistributor(), u"NID_IDLE") : E_FAIL;
    if (Failed(registered)) {
        mIdleUsers = 0;
        return E_FAIL;
    }
    return S_OK;
}

QVResult LControl::UnsubscribeIdle()
{
    if (mIdleUsers <= 0) return kNothingToDo;
    if (--mIdleUsers != 0) return S_OK;
    RCPtr<IRootWindow> root = GetRootWindow();
    if (!root) return S_OK;
    return UnregisterNotification(root->GetDistributor(), u"NID_IDLE") == S_OK ? S_OK : E_FAIL;
}

QVResult LControl::OnIdle(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    RCPtr<LControl> self(this);
    RCPtr<IRootWindow> root = GetRootWindow();
    for (int axis = 0; axis < 2; ++axis) {
        Inertia& in = mInertia[axis];
        if (!in.running) continue;
        const double t = ElapsedSeconds();
        const double elapsed = t - in.lastTime;
        const double step = RoundHalfAwayFromZero(in.velocity * elapsed);
        in.lastTime = t;
        if (step != 0) {
            DoublePoint offset = mScrollOffset;
            double& value = axis == 0 ? offset.x : offset.y;
            value = std::clamp(value + step, in.minimum, std::max(in.minimum, in.maximum));
            SetScrollOffset(offset);
            if (in.linked && root) {
                int32_t x = 0, y = 0;
                root->GetCursorPosition(x, y);
                const LongPoint local = ToLongPoint(DoublePoint{double(x), double(y)} - in.linked->GetPositionInRoot());
                RCPtr<LControl> linked = in.linked;
                linked->MoveBy(LPointWithModifiersParam::Create(local, root->GetModifierState(), 0));
            }
        }
        if (in.decelerating && Platform::Clock::ElapsedMs(mMouse.flickStartTime, NowMs()) > kDecelerationDelayMs) {
            const double dec = RoundHalfAwayFromZero(mDecelerationRate * elapsed);
            if (in.velocity > dec) {
                in.velocity -= dec;
            } else if (in.velocity < -dec) {
                in.velocity += dec;
            } else {
                StopInertialScroll(axis);
            }
        }
    }
    if (mMouse.pressed[0] && mMouse.keepHitChild && mMouse.lastHitChild && mMouse.heldLeft &&
        Platform::Clock::ElapsedMs(mMouse.pressTime, NowMs()) > kClickWindowMs) {
        const LongPoint at = ToLongPoint(mMouse.hitPoint);
        RCPtr<LMouseButtonParam> press =
            LMouseButtonParam::Create(mMouse.heldLeft->GetButton(), at, mMouse.heldLeft->GetModifiers(), false,
                                      mMouse.heldLeft->GetButtonState(), mMouse.heldLeft->GetPointerIndex());
        RCPtr<LControl> child = mMouse.lastHitChild;
        EndDrag();
        if (root) root->SetPressTarget(child.Get());
        (void)child->HandleMouseDown(press);  // the child answers for its own press
    }
    ProcessPendingRemovals();
    OnTimer();
    return 1;
}

QVResult LControl::SetScrollOffset(const DoublePoint& offset)
{
    const DoublePoint rounded{RoundHalfAwayFromZero(offset.x), RoundHalfAwayFromZero(offset.y)};
    if (rounded == mScrollOffset) return kNothingToDo;
    RCPtr<LControl> self(this);
    InvalidateTree();
    const DoublePoint old = mScrollOffset;
    const RCPtr<LControl> busyParent = mParent;
    const BusyChildScope busy(busyParent ? &busyParent->GetChildren() : nullptr, this);
    mChangingScroll = true;
    mScrollOffset = rounded;
    for (const RCPtr<LControl>& child : mChildren.Snapshot(ChildControlList::kInsertion)) {
        child->OnParentOffsetChanged(old, rounded);
    }
    mChangingScroll = false;
    InvalidateArea();
    Notify(u"NID_SCROLL_OFFSET_CHANGE");
    if (RCPtr<IRootWindow> root = GetRootWindow()) {
        int32_t x = 0, y = 0;
        root->GetCursorPosition(x, y);
        const DoublePoint local = DoublePoint{double(x), double(y)} - GetPositionInRoot();
        if (local.x >= 0 && local.y >= 0 && local.x < mFrame.width && local.y < mFrame.height)
            root->HitTest(x, y, true);
    }
    return S_OK;
}

void LControl::OnParentOffsetChanged(const DoublePoint&, const DoublePoint&)
{
    if (mHasLayout && (mLayout.position[0].kind == 0 || mLayout.position[1].kind == 0)) UpdateLayout();
}

QVResult LControl::HandleMouseWheel(const RCPtr<LMouseWheelParam>& param)
{
    return RouteMouseEvent(param);
}

QVResult LControl::RouteMouseEvent(const RCPtr<LMouseWheelParam>& param)
{
    if (!param) return E_INVALIDARG;
    RCPtr<LControl> current(this);
    std::vector<RCPtr<LControl>> tried;
    QVResult result = kNotHandled;
    RCPtr<IRootWindow> root = GetRootWindow();
    const LongPoint at = param->GetPoint();
    const DoublePoint rootPoint = GetPositionInRoot() + DoublePoint{double(at.x), double(at.y)};
    // Up and down are the wheel proper; left and right scroll sideways.
    const bool vertical =
        param->GetDirection() == LMouseWheelParam::kDown || param->GetDirection() == LMouseWheelParam::kUp;
    while (current) {
        result = vertical ? current->OnMouseWheel(param) : current->OnScrollKey(param);
        if (result != kNotHandled) return result;
        tried.push_back(current);
        LControl* parent = current->mParent.Get();
        const bool overlay = !current->ClipsToParent() || (parent && !parent->ClipsToParent());
        if (overlay && root) {
            for (auto& c : tried) c->mMouse.ignore = true;
            const LongPoint at = ToLongPoint(rootPoint);
            RCPtr<LControl> next = root->HitTest(at.x, at.y, false);
            for (auto& c : tried) c->mMouse.ignore = false;
            // A control already offered the event is not asked again.
            for (auto& c : tried) {
                if (c == next) next = nullptr;
            }
            current = next;
        } else {
            current = parent;
        }
    }
    return result;
}

}  // namespace QV
