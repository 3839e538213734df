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
constexpr double kEdgeZone = 30.0;
constexpr double kEdgeScrollSpeed = 15.0;

uint32_t NowMs()
{
    IControlApplication* app = GetControlApplication();
    return app ? app->GetTimeMs() : Platform::Clock::NowMs();
}

double ElapsedSeconds()
{
    IControlApplication* app = GetControlApplication();
    return app ? app->GetElapsedTime() : Platform::Clock::NowMs() / 1000.0;
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

double Trunc(double v)
{
    return std::trunc(v);
}

}  // namespace

QVResult LControl::HandleMouseDown(const RCPtr<LMouseButtonParam>& param)
{
    if (!param) return E_INVALIDARG;
    const int b = ButtonIndex(param->GetButton());
    if (b < 0) return E_INVALIDARG;
    if (!mCaptured && !IsInputAllowed()) return 1;
    RCPtr<LControl> self(this);
    if (!mCaptured) {
        if (HasNotFocusableAncestor(true)) {
            if (mParent) (void)mParent->Activate(this);  // a focus request; a refusal leaves focus where it is
        } else {
            (void)SetFocus(true);  // a focus request; a refusal leaves focus where it is
        }
    }
    if (b == 0) {
        mHeldLeft = param;
        OnLeftMouseDown(param);
    } else if (b == 1) {
        OnMiddleMouseDown(param);
    } else {
        OnRightMouseDown(param);
    }
    Notify(u"NID_MOUSE_DOWN", param);
    if (!mCaptured) {
        const LongPoint at = param->GetPoint();
        (void)BeginDrag(static_cast<int32_t>(param->GetButton()), at.x, at.y);  // 1 only means no drag starts
    }
    return S_OK;
}

QVResult LControl::BeginDrag(int32_t button, int32_t x, int32_t y)
{
    if (!IsInputAllowed() || mCaptured) return 1;
    RCPtr<IRootWindow> root = GetRootWindow();
    const int b = ButtonIndex(static_cast<uint32_t>(button));
    if (button != 0) {
        if (b < 0 || !root || (root->GetMouseButtonState() & static_cast<uint32_t>(button)) == 0) return 1;
        mPressPoint = {x + mFrame.x, y + mFrame.y};
        mAppliedTravel = {};
    }
    RCPtr<LControl> self(this);
    (void)StopInertialScroll(0);  // 1 only means the axis was not running
    (void)StopInertialScroll(1);  // 1 only means the axis was not running
    mCaptured = true;
    mPressTime = mPreviousMoveTime = NowMs();
    mDragVelocity = {};
    if (root) root->SetCapture(this);
    if (b == 0) {
        mPressed[0] = true;
        mDragMode = 0;
        if (mKeepHitChild && !mHoldSubscribed) mHoldSubscribed = SubscribeIdle() == S_OK;
    } else if (b > 0) {
        mPressed[b] = true;
    }
    UpdateConditions();
    if (mDragThreshold != 0 || b < 0) return S_OK;
    mPressed[b] = false;
    mDragging[b] = true;
    UpdateConditions();
    if (b == 0 && mDragMode != 0) MoveBy(RCPtr<LPointParam>(new LPointParam({x, y})));
    return S_OK;
}

QVResult LControl::HandleMouseMove(const RCPtr<LPointWithModifiersParam>& param)
{
    if (!param) return E_INVALIDARG;
    RCPtr<LControl> self(this);
    mMoveTime = NowMs();
    const int pressed = mPressed[0] ? 0 : mPressed[1] ? 1 : mPressed[2] ? 2 : -1;
    if (pressed >= 0) {
        const int32_t px = SaturateToLong(mPressPoint.x - mFrame.x);
        const int32_t py = SaturateToLong(mPressPoint.y - mFrame.y);
        const LongPoint at = param->GetPoint();
        const int64_t distance = std::max(std::llabs(int64_t{at.x} - px), std::llabs(int64_t{at.y} - py));
        if (distance >= mDragThreshold) {
            const auto startDrag = [this, pressed] {
                mPressed[0] = mPressed[1] = mPressed[2] = false;
                mDragging[pressed] = true;
            };
            // With threshold 0 the move at the press point would start the drag again, so it
            // is dragging first. Otherwise that move comes while only pressed: a mode chosen at
            // the press must not move the control before its move has begun.
            const bool atOnce = mDragThreshold == 0;
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
    if (mDragging[0] && mDragMode != 0) MoveBy(param);
    mPreviousMoveTime = mMoveTime;
    return S_OK;
}

QVResult LControl::HandleMouseUp(const RCPtr<LMouseButtonParam>& param)
{
    if (!param) return E_INVALIDARG;
    const int b = ButtonIndex(param->GetButton());
    if (b < 0) return E_INVALIDARG;
    if (!mCaptured && !IsInputAllowed()) return 1;
    RCPtr<LControl> self(this);
    if (b == 0) {
        OnLeftMouseUp(param);
    } else if (b == 1) {
        OnMiddleMouseUp(param);
    } else {
        OnRightMouseUp(param);
    }
    // Read after the button's hook, which may end the drag or the hover.
    const bool click = mHover && (mPressed[b] || (mDragging[b] && mDragMode == 0));
    if (b == 0 && mDragging[0] && mDragMode == 6) {
        const uint32_t now = NowMs();
        mFlickStartTime = now;
        if (Platform::Clock::ElapsedMs(mPreviousMoveTime, now) < kClickWindowMs) {
            const DoubleRect range = GetScrollRange(this);
            const double extent[2] = {range.width, range.height};
            const double velocity[2] = {mDragVelocity.x, mDragVelocity.y};
            for (int axis = 0; axis < 2; ++axis) {
                const bool allowed = mDragAxes == 3 || mDragAxes == axis + 1;
                if (allowed && std::fabs(velocity[axis]) >= kFlickMinimumSpeed) {
                    StartInertialScroll(axis, velocity[axis], extent[axis], 0.0, nullptr);
                    mInertia[axis].decelerating = true;
                }
            }
        }
    }
    Notify(u"NID_MOUSE_UP", param);
    if (mCaptured && param->GetButtonState() == 0) (void)EndDrag();  // releasing the capture; nothing to undo
    // The release is handled whatever the click's own answer.
    if (click && IsEnabledInTree(true)) (void)HandleClick(param);
    return S_OK;
}

QVResult LControl::EndDrag()
{
    if (!mCaptured) return 1;
    RCPtr<LControl> self(this);
    mCaptured = false;
    for (int b = 0; b < 3; ++b) mPressed[b] = mDragging[b] = false;
    if (RCPtr<IRootWindow> root = GetRootWindow()) root->ReleaseCapture(this);
    UpdateConditions();
    mHeldLeft = nullptr;
    if (mHoldSubscribed) {
        mHoldSubscribed = false;
        (void)UnsubscribeIdle();  // the hold's own subscription; nothing to undo
    }
    return S_OK;
}

QVResult LControl::SetDragThreshold(int32_t threshold)
{
    if (threshold < 0) return E_INVALIDARG;
    mDragThreshold = threshold;
    return S_OK;
}

QVResult LControl::SetDragMode(int32_t mode, int32_t axes)
{
    mDragMode = mode;
    mDragAxes = axes;
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

void LControl::BeginMove()
{
    if (!mDragging[0]) return;
    mSavedSize = {mFrame.width, mFrame.height};
    mSavedParentOffset = mParent ? mParent->mScrollOffset : DoublePoint{};
    if (mDragMode == 1) {
        mDropTarget = nullptr;
        mMoveClip = mLayout.clipToParent;
        SetLayer(0);
        const double position[2] = {mFrame.x, mFrame.y};
        const double scroll[2] = {mSavedParentOffset.x, mSavedParentOffset.y};
        for (int axis = 0; axis < 2; ++axis) {
            mWasDocked[axis] = mLayout.IsDocked(axis);
            if (!mWasDocked[axis]) {
                LayoutRecord docked = mLayout.position[axis];
                docked.offset = position[axis] - scroll[axis];
                (void)SetDocked(axis, true);  // a valid axis, not docked yet
                // A valid axis; the answer says only if it changed.
                (void)SetLayoutPosition(axis, docked, mLayout.anchor[axis]);
            }
        }
    }
    for (int axis = 0; axis < 2; ++axis) {
        mSavedPosition[axis] = mLayout.position[axis];
        mSavedSizeRecord[axis] = mLayout.size[axis];
    }
}

void LControl::UpdateMoveOrigin()
{
    mPressPoint = mPressPoint + mAppliedTravel;
    mSavedSize = {mFrame.width, mFrame.height};
    mSavedParentOffset = mParent ? mParent->mScrollOffset : DoublePoint{};
    for (int axis = 0; axis < 2; ++axis) {
        mSavedPosition[axis] = mLayout.position[axis];
        mSavedSizeRecord[axis] = mLayout.size[axis];
    }
}

void LControl::StopFlicks(LControl* target)
{
    if (!target) return;
    (void)target->StopInertialScroll(0);  // 1 only means the axis was not running
    (void)target->StopInertialScroll(1);  // 1 only means the axis was not running
}

void LControl::MoveBy(const RCPtr<LPointParam>& param)
{
    if (!param) return;
    RCPtr<LControl> self(this);
    mMoving = true;
    const LongPoint at = param->GetPoint();
    const double p[2] = {ClampToDoubleRange(at.x), ClampToDoubleRange(at.y)};
    const double position[2] = {mFrame.x, mFrame.y};
    const double press[2] = {mPressPoint.x, mPressPoint.y};
    double t[2] = {position[0] + p[0] - press[0], position[1] + p[1] - press[1]};
    // Where the pointer is, taken before the move changes this control's place.
    const DoublePoint pointerInRoot = GetPositionInRoot() + DoublePoint{p[0], p[1]};
    int direction[2] = {0, 0};
    double depth[2] = {0.0, 0.0};
    LControl* parent = mParent.Get();
    const bool bounded = mDragMode >= 2 && mDragMode <= 5;
    double lo[2] = {-kMaxExactDouble, -kMaxExactDouble};
    double hi[2] = {kMaxExactDouble, kMaxExactDouble};

    if (mDragMode != 1 && parent) {
        DoubleRect r = parent->GetClientRect();
        r.x += parent->mScrollOffset.x;
        r.y += parent->mScrollOffset.y;
        DoubleRect l = r;
        GetMoveLimits(l);
        const double rStart[2] = {r.x, r.y}, rExtent[2] = {r.width, r.height};
        const double lStart[2] = {l.x, l.y}, lExtent[2] = {l.width, l.height};
        for (int axis = 0; axis < 2; ++axis) {
            lo[axis] = lStart[axis] - press[axis];
            hi[axis] = lStart[axis] + lExtent[axis] - press[axis];
        }
        if (mDragMode == 4 || mDragMode == 5) {
            const double size[2] = {mSavedSize.x, mSavedSize.y};
            const int32_t grow[2] = {4, 0x20}, shrink[2] = {8, 0x10};
            for (int axis = 0; axis < 2; ++axis) {
                if (mDragAxes & grow[axis]) {
                    if (lo[axis] <= -size[axis]) lo[axis] = 1 - size[axis];
                } else if (mDragAxes & shrink[axis]) {
                    if (hi[axis] >= size[axis]) hi[axis] = size[axis] - 1;
                }
            }
        }
        if (mDragMode == 3 || mDragMode == 5) {
            const DoublePoint origin = parent->GetPartRect(-1).Origin();
            const double pointer[2] = {p[0] + position[0] + origin.x, p[1] + position[1] + origin.y};
            const int32_t axisMask[2] = {0xd, 0x32};
            for (int axis = 0; axis < 2; ++axis) {
                if ((mDragAxes & axisMask[axis]) == 0) continue;
                if (pointer[axis] > rStart[axis] + 0.5 * rExtent[axis]) {
                    const double zone = std::clamp(
                        Trunc(rStart[axis] + rExtent[axis]) - Trunc(lStart[axis] + lExtent[axis]) + kEdgeZone, 0.0,
                        kEdgeZone);
                    const double edge = (rStart[axis] + rExtent[axis] - press[axis]) - zone;
                    if (t[axis] >= edge) {
                        direction[axis] = 1;
                        depth[axis] = t[axis] - edge;
                    }
                } else {
                    const double zone =
                        std::clamp(kEdgeZone - Trunc(Trunc(rStart[axis]) - lStart[axis]), 0.0, kEdgeZone);
                    const double edge = (rStart[axis] - press[axis]) + zone;
                    if (t[axis] <= edge) {
                        direction[axis] = -1;
                        depth[axis] = edge - t[axis];
                    }
                }
            }
        }
    }
    if (bounded) {
        for (int axis = 0; axis < 2; ++axis) {
            const double limited = std::clamp(t[axis], lo[axis], std::max(lo[axis], hi[axis]));
            if (limited != t[axis]) direction[axis] = 0;
            t[axis] = limited;
        }
        mAppliedTravel = {t[0], t[1]};
    }

    const DoublePoint parentScroll = parent ? parent->mScrollOffset : DoublePoint{};
    const double shift[2] = {mLayout.xIsDocked ? parentScroll.x - mSavedParentOffset.x : 0.0,
                             mLayout.yIsDocked ? parentScroll.y - mSavedParentOffset.y : 0.0};
    const auto movePosition = [&](int axis) {
        LayoutRecord rec = mSavedPosition[axis];
        rec.offset = mSavedPosition[axis].offset + t[axis] - shift[axis];
        (void)SetLayoutPosition(axis, rec, mLayout.anchor[axis]);  // a valid axis; the answer says only if it changed
    };
    const auto resize = [&](int axis, double delta) {
        LayoutRecord rec = mSavedSizeRecord[axis];
        rec.offset = mSavedSizeRecord[axis].offset + delta;
        (void)SetLayoutSize(axis, rec, mLayout.limit[axis]);  // a valid axis; the answer says only if it changed
    };
    if (mDragMode >= 1 && mDragMode <= 3) {
        if (mDragAxes & 1) movePosition(0);
        if (mDragAxes & 2) movePosition(1);
    } else if (mDragMode == 4 || mDragMode == 5) {
        const int32_t grow[2] = {4, 0x20}, shrink[2] = {8, 0x10};
        for (int axis = 0; axis < 2; ++axis) {
            if (mDragAxes & grow[axis]) {
                resize(axis, t[axis]);
            } else if (mDragAxes & shrink[axis]) {
                movePosition(axis);
                resize(axis, -t[axis]);
            }
        }
    } else if (mDragMode == 6) {
        const double dt = Platform::Clock::ElapsedMs(mPreviousMoveTime, mMoveTime) / 1000.0;
        if (dt > 0) {
            const double applied[2] = {mAppliedTravel.x, mAppliedTravel.y};
            double velocity[2] = {mDragVelocity.x, mDragVelocity.y};
            DoublePoint offset = mScrollOffset;
            double* offsets[2] = {&offset.x, &offset.y};
            const DoubleRect range = parent ? parent->GetScrollRange(this) : GetScrollRange(this);
            const double start[2] = {range.x, range.y}, extent[2] = {range.width, range.height};
            for (int axis = 0; axis < 2; ++axis) {
                const double delta = applied[axis] - t[axis];
                const double sample = delta / dt;
                velocity[axis] = (velocity[axis] != 0 && dt < 0.2) ? 0.5 * velocity[axis] + 0.5 * sample : sample;
                const bool allowed = mDragAxes == 3 || mDragAxes == axis + 1;
                if (allowed && delta != 0) {
                    *offsets[axis] = std::clamp(*offsets[axis] + delta, start[axis], start[axis] + extent[axis]);
                }
            }
            mDragVelocity = {velocity[0], velocity[1]};
            (void)SetScrollOffset(offset);  // 1 only means the offset was already there
            mAppliedTravel = {t[0], t[1]};
        }
    }

    LControl* scrollTarget = parent;
    if (mDragMode == 1) {
        RCPtr<IRootWindow> root = GetRootWindow();
        const DoublePoint& rootPoint = pointerInRoot;
        RCPtr<LControl> candidate;
        DoublePoint local;
        if (root) {
            mIgnoreMouse = true;
            int32_t lx = 0, ly = 0;
            const LongPoint rp = ToLongPoint(rootPoint);
            RCPtr<LControl> under = root->HitTest(rp.x, rp.y, false, &lx, &ly);
            mIgnoreMouse = false;
            local = {double(lx), double(ly)};
            if (under) {
                candidate = under->FindAcceptingControl(this, rootPoint);
                if (candidate && candidate != under) local = local + under->OffsetToControl(candidate.Get());
            }
        }
        if (candidate != mDropTarget) {
            if (mDropTarget) {
                StopFlicks(mDropTarget.Get());
                mDropTarget->OnDragLeave(this);
            }
            mDropTarget = candidate;
            if (mDropTarget && root) {
                if (IControlApplication* app = GetControlApplication())
                    root->SetCursor(app->GetCursorHandle(u"UI_CURSOR_DROP_MOVE"));
                mDropTarget->OnDragEnter(this);
            }
        }
        if (mDropTarget) {
            mDropTarget->OnDragOver(this, local);
            const int32_t mask = mDropTarget->QueryDropTarget(this);
            const DoubleRect b = mDropTarget->GetPartRect(-1);
            const double content[2] = {local.x + mDropTarget->mScrollOffset.x - b.x,
                                       local.y + mDropTarget->mScrollOffset.y - b.y};
            const double scroll[2] = {mDropTarget->mScrollOffset.x, mDropTarget->mScrollOffset.y};
            const double extent[2] = {b.width, b.height};
            const int32_t far[2] = {4, 0x20}, near[2] = {8, 0x10};
            for (int axis = 0; axis < 2; ++axis) {
                const double farEdge = scroll[axis] + extent[axis] - kEdgeZone;
                const double nearEdge = scroll[axis] + kEdgeZone;
                if (content[axis] >= farEdge) {
                    if (mask & far[axis]) {
                        direction[axis] = 1;
                        depth[axis] = content[axis] - farEdge;
                    }
                } else if (content[axis] <= nearEdge && (mask & near[axis])) {
                    direction[axis] = -1;
                    depth[axis] = nearEdge - content[axis];
                }
            }
        } else if (root) {
            if (IControlApplication* app = GetControlApplication())
                root->SetCursor(app->GetCursorHandle(u"UI_CURSOR_NO_DROP"));
        }
        scrollTarget = mDropTarget ? mDropTarget.Get() : nullptr;
    }
    EdgeScroll(scrollTarget, this, direction, depth);
    OnMoved(param);
    mMoving = false;
}

void LControl::EdgeScroll(LControl* target, LControl* moved, const int direction[2], const double depth[2])
{
    if (!target) return;
    if (direction[0] == 0 && direction[1] == 0) {
        StopFlicks(target);
        return;
    }
    const DoubleRect range = target->GetScrollRange(moved);
    const double start[2] = {range.x, range.y}, extent[2] = {range.width, range.height};
    for (int axis = 0; axis < 2; ++axis) {
        if (direction[axis] == 0) {
            (void)target->StopInertialScroll(axis);  // a valid axis; 1 only means not running
            continue;
        }
        target->StartInertialScroll(axis, direction[axis] * (depth[axis] + 1.0) * kEdgeScrollSpeed,
                                    start[axis] + extent[axis], start[axis], moved);
    }
}

void LControl::EndMove()
{
    RCPtr<LControl> self(this);
    if (mDragMode != 1) {
        StopFlicks(mParent.Get());
        return;
    }
    if (RCPtr<IRootWindow> root = GetRootWindow()) root->SetCursor(root->GetNormalCursor());
    if (mMoveClip) SetLayer(1);
    const DoublePoint scroll = mParent ? mParent->mScrollOffset : DoublePoint{};
    const double position[2] = {mFrame.x, mFrame.y};
    const double shift[2] = {scroll.x, scroll.y};
    for (int axis = 0; axis < 2; ++axis) {
        if (mWasDocked[axis]) continue;
        LayoutRecord rec = mLayout.position[axis];
        rec.offset = position[axis] + shift[axis];
        (void)SetDocked(axis, false);                              // a valid axis; 1 only means already undocked
        (void)SetLayoutPosition(axis, rec, mLayout.anchor[axis]);  // a valid axis; the answer says only if it changed
    }
    if (RCPtr<LControl> target = std::move(mDropTarget)) {
        StopFlicks(target.Get());
        (void)target->OnDrop(this);  // a refused drop leaves the target as it was
        target->OnDragLeave(this);
    }
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
    if (!in.running) return 1;
    in.running = false;
    (void)UnsubscribeIdle();  // the running axis's own subscription; nothing to undo
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
    if (mIdleUsers <= 0) return 1;
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
            (void)SetScrollOffset(offset);  // 1 only means the offset was already there
            if (in.linked && root) {
                int32_t x = 0, y = 0;
                root->GetCursorPosition(x, y);
                const LongPoint local = ToLongPoint(DoublePoint{double(x), double(y)} - in.linked->GetPositionInRoot());
                RCPtr<LControl> linked = in.linked;
                linked->MoveBy(LPointWithModifiersParam::Create(local, root->GetModifierState(), 0));
            }
        }
        if (in.decelerating && Platform::Clock::ElapsedMs(mFlickStartTime, NowMs()) > kDecelerationDelayMs) {
            const double dec = RoundHalfAwayFromZero(mDecelerationRate * elapsed);
            if (in.velocity > dec) {
                in.velocity -= dec;
            } else if (in.velocity < -dec) {
                in.velocity += dec;
            } else {
                (void)StopInertialScroll(axis);  // a valid, running axis
            }
        }
    }
    if (mPressed[0] && mKeepHitChild && mLastHitChild && mHeldLeft &&
        Platform::Clock::ElapsedMs(mPressTime, NowMs()) > kClickWindowMs) {
        const LongPoint at = ToLongPoint(mHitPoint);
        RCPtr<LMouseButtonParam> press =
            LMouseButtonParam::Create(mHeldLeft->GetButton(), at, mHeldLeft->GetModifiers(), false,
                                      mHeldLeft->GetButtonState(), mHeldLeft->GetPointerIndex());
        RCPtr<LControl> child = mLastHitChild;
        (void)EndDrag();  // releasing the capture; nothing to undo
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
    if (rounded == mScrollOffset) return 1;
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
    (void)InvalidateArea();  // a redraw request; nothing to undo
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
    // Without a resolvable layout the frame stays as it is.
    if (mHasLayout && (mLayout.position[0].kind == 0 || mLayout.position[1].kind == 0)) (void)UpdateLayout();
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
    QVResult result = 1;
    RCPtr<IRootWindow> root = GetRootWindow();
    const LongPoint at = param->GetPoint();
    const DoublePoint rootPoint = GetPositionInRoot() + DoublePoint{double(at.x), double(at.y)};
    // Up and down are the wheel proper; left and right scroll sideways.
    const bool vertical =
        param->GetDirection() == LMouseWheelParam::kDown || param->GetDirection() == LMouseWheelParam::kUp;
    while (current) {
        result = vertical ? current->OnMouseWheel(param) : current->OnScrollKey(param);
        if (result != 1) return result;
        tried.push_back(current);
        LControl* parent = current->mParent.Get();
        const bool overlay = !current->ClipsToParent() || (parent && !parent->ClipsToParent());
        if (overlay && root) {
            for (auto& c : tried) c->mIgnoreMouse = true;
            const LongPoint at = ToLongPoint(rootPoint);
            RCPtr<LControl> next = root->HitTest(at.x, at.y, false);
            for (auto& c : tried) c->mIgnoreMouse = false;
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
