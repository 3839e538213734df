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
// Per axis: the edge that grows a resized control, or scrolls a drop target on;
// the edge that shrinks it, or scrolls the target back; any of the axis's bits.
constexpr int32_t kFarEdge[2] = {DragAxis::kRightEdge, DragAxis::kBottomEdge};
constexpr int32_t kNearEdge[2] = {DragAxis::kLeftEdge, DragAxis::kTopEdge};
constexpr int32_t kAnyOfAxis[2] = {DragAxis::kAnyX, DragAxis::kAnyY};

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

double Trunc(double v)
{
    return std::trunc(v);
}

// Content scrolling and its flick follow both axes or the one the drag names.
bool ScrollsAlong(int32_t axes, int axis)
{
    return axes == (DragAxis::kX | DragAxis::kY) || axes == (axis == 0 ? DragAxis::kX : DragAxis::kY);
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
            if (mParent) (void)mParent->Activate(this);  // a focus request; a refusal leaves focus where it is
        } else {
            (void)SetFocus(true);  // a focus request; a refusal leaves focus where it is
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
        (void)BeginDrag(static_cast<int32_t>(param->GetButton()), at.x, at.y);  // not handled only means no drag starts
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
    (void)StopInertialScroll(0);  // 1 only means the axis was not running
    (void)StopInertialScroll(1);  // 1 only means the axis was not running
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
    if (mMouse.captured && param->GetButtonState() == 0) (void)EndDrag();  // releasing the capture; nothing to undo
    // The release is handled whatever the click's own answer.
    if (click && IsEnabledInTree(true)) (void)HandleClick(param);
    return S_OK;
}

QVResult LControl::EndDrag()
{
    if (!mMouse.captured) return 1;
    RCPtr<LControl> self(this);
    mMouse.captured = false;
    for (int b = 0; b < 3; ++b) mMouse.pressed[b] = mMouse.dragging[b] = false;
    if (RCPtr<IRootWindow> root = GetRootWindow()) root->ReleaseCapture(this);
    UpdateConditions();
    mMouse.heldLeft = nullptr;
    if (mMouse.holdSubscribed) {
        mMouse.holdSubscribed = false;
        (void)UnsubscribeIdle();  // the hold's own subscription; nothing to undo
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
    mMouse.dragMode = mode;
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

void LControl::BeginMove()
{
    if (!mMouse.dragging[0]) return;
    mMouse.savedSize = {mFrame.width, mFrame.height};
    mMouse.savedParentOffset = mParent ? mParent->mScrollOffset : DoublePoint{};
    if (mMouse.dragMode == DragMode::kDragAndDrop) {
        mMouse.dropTarget = nullptr;
        mMouse.moveClip = mLayout.clipToParent;
        SetLayer(0);
        const double position[2] = {mFrame.x, mFrame.y};
        const double scroll[2] = {mMouse.savedParentOffset.x, mMouse.savedParentOffset.y};
        for (int axis = 0; axis < 2; ++axis) {
            mMouse.wasDocked[axis] = mLayout.IsDocked(axis);
            if (!mMouse.wasDocked[axis]) {
                LayoutRecord docked = mLayout.position[axis];
                docked.offset = position[axis] - scroll[axis];
                (void)SetDocked(axis, true);  // a valid axis, not docked yet
                // A valid axis; the answer says only if it changed.
                (void)SetLayoutPosition(axis, docked, mLayout.anchor[axis]);
            }
        }
    }
    for (int axis = 0; axis < 2; ++axis) {
        mMouse.savedPosition[axis] = mLayout.position[axis];
        mMouse.savedSizeRecord[axis] = mLayout.size[axis];
    }
}

void LControl::UpdateMoveOrigin()
{
    mMouse.pressPoint = mMouse.pressPoint + mMouse.appliedTravel;
    mMouse.savedSize = {mFrame.width, mFrame.height};
    mMouse.savedParentOffset = mParent ? mParent->mScrollOffset : DoublePoint{};
    for (int axis = 0; axis < 2; ++axis) {
        mMouse.savedPosition[axis] = mLayout.position[axis];
        mMouse.savedSizeRecord[axis] = mLayout.size[axis];
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
    mMouse.moving = true;
    const LongPoint at = param->GetPoint();
    const double p[2] = {ClampToDoubleRange(at.x), ClampToDoubleRange(at.y)};
    // The pointer's way since the press, in the parent's coordinates.
    double t[2] = {mFrame.x + p[0] - mMouse.pressPoint.x, mFrame.y + p[1] - mMouse.pressPoint.y};
    EdgeScrollRequest edges;
    LControl* scrollTarget = mParent.Get();
    switch (mMouse.dragMode) {
    case DragMode::kDragAndDrop: scrollTarget = DragToDropTarget(p, t, edges); break;
    case DragMode::kMove:
    case DragMode::kMoveAndScroll: DragMove(p, t, edges); break;
    case DragMode::kResize:
    case DragMode::kResizeAndScroll: DragResize(p, t, edges); break;
    case DragMode::kScrollContent: DragScrollContent(t); break;
    default: break;
    }
    EdgeScroll(scrollTarget, this, edges.direction, edges.depth);
    OnMoved(param);
    mMouse.moving = false;
}

// kDragAndDrop: the control follows the pointer; whatever accepts it under the
// pointer is the drop target, scrolled near the edges it names. Answers the target.
LControl* LControl::DragToDropTarget(const double p[2], const double t[2], EdgeScrollRequest& edges)
{
    // Where the pointer is, taken before the move changes this control's place.
    const DoublePoint rootPoint = GetPositionInRoot() + DoublePoint{p[0], p[1]};
    MoveAlongAxes(t);
    RCPtr<IRootWindow> root = GetRootWindow();
    DoublePoint local;
    RCPtr<LControl> candidate = root ? FindDropCandidate(*root, rootPoint, local) : nullptr;
    if (candidate != mMouse.dropTarget) {
        if (mMouse.dropTarget) {
            StopFlicks(mMouse.dropTarget.Get());
            mMouse.dropTarget->OnDragLeave(this);
        }
        mMouse.dropTarget = candidate;
        if (mMouse.dropTarget && root) {
            if (IControlApplication* app = GetControlApplication())
                root->SetCursor(app->GetCursorHandle(u"UI_CURSOR_DROP_MOVE"));
            mMouse.dropTarget->OnDragEnter(this);
        }
    }
    if (mMouse.dropTarget) {
        mMouse.dropTarget->OnDragOver(this, local);
        FindDropTargetEdges(local, edges);
    } else if (root) {
        if (IControlApplication* app = GetControlApplication())
            root->SetCursor(app->GetCursorHandle(u"UI_CURSOR_NO_DROP"));
    }
    return mMouse.dropTarget.Get();
}

// The control under the root point, this one looked through, that accepts this
// one; `local` is the point in its coordinates.
RCPtr<LControl> LControl::FindDropCandidate(IRootWindow& root, const DoublePoint& rootPoint, DoublePoint& local)
{
    mMouse.ignore = true;
    int32_t lx = 0, ly = 0;
    const LongPoint rp = ToLongPoint(rootPoint);
    RCPtr<LControl> under = root.HitTest(rp.x, rp.y, false, &lx, &ly);
    mMouse.ignore = false;
    local = {double(lx), double(ly)};
    if (!under) return nullptr;
    RCPtr<LControl> candidate = under->FindAcceptingControl(this, rootPoint);
    if (candidate && candidate != under) local = local + under->OffsetToControl(candidate.Get());
    return candidate;
}

// The drop target scrolls on at an edge its QueryDropTarget names when the
// pointer comes within kEdgeZone of it.
void LControl::FindDropTargetEdges(const DoublePoint& local, EdgeScrollRequest& edges)
{
    LControl* target = mMouse.dropTarget.Get();
    const int32_t mask = target->QueryDropTarget(this);
    const DoubleRect b = target->GetPartRect(-1);
    const double content[2] = {local.x + target->mScrollOffset.x - b.x, local.y + target->mScrollOffset.y - b.y};
    const double scroll[2] = {target->mScrollOffset.x, target->mScrollOffset.y};
    const double extent[2] = {b.width, b.height};
    for (int axis = 0; axis < 2; ++axis) {
        const double farEdge = scroll[axis] + extent[axis] - kEdgeZone;
        const double nearEdge = scroll[axis] + kEdgeZone;
        if (content[axis] >= farEdge) {
            if (mask & kFarEdge[axis]) {
                edges.direction[axis] = 1;
                edges.depth[axis] = content[axis] - farEdge;
            }
        } else if (content[axis] <= nearEdge && (mask & kNearEdge[axis])) {
            edges.direction[axis] = -1;
            edges.depth[axis] = nearEdge - content[axis];
        }
    }
}

// kMove and kMoveAndScroll: the control moves inside its parent's move limits.
void LControl::DragMove(const double p[2], double t[2], EdgeScrollRequest& edges)
{
    LimitTravel(p, t, edges);
    MoveAlongAxes(t);
}

// kResize and kResizeAndScroll: a far edge follows the travel and grows the
// control; a near edge moves with it and shrinks the control.
void LControl::DragResize(const double p[2], double t[2], EdgeScrollRequest& edges)
{
    LimitTravel(p, t, edges);
    const DoublePoint shift = DockedScrollShift();
    for (int axis = 0; axis < 2; ++axis) {
        if (mMouse.dragAxes & kFarEdge[axis]) {
            ResizeAlong(axis, t[axis]);
        } else if (mMouse.dragAxes & kNearEdge[axis]) {
            MoveAlong(axis, t[axis], shift);
            ResizeAlong(axis, -t[axis]);
        }
    }
}

// kScrollContent: the content scrolls by the pointer's way on the axes the drag
// allows, within the scroll range; the speed is kept for a flick at the release.
void LControl::DragScrollContent(const double t[2])
{
    const double dt = Platform::Clock::ElapsedMs(mMouse.previousMoveTime, mMouse.moveTime) / 1000.0;
    if (dt <= 0) return;
    LControl* parent = mParent.Get();
    const double applied[2] = {mMouse.appliedTravel.x, mMouse.appliedTravel.y};
    double velocity[2] = {mMouse.dragVelocity.x, mMouse.dragVelocity.y};
    DoublePoint offset = mScrollOffset;
    double* offsets[2] = {&offset.x, &offset.y};
    const DoubleRect range = parent ? parent->GetScrollRange(this) : GetScrollRange(this);
    const double start[2] = {range.x, range.y}, extent[2] = {range.width, range.height};
    for (int axis = 0; axis < 2; ++axis) {
        const double delta = applied[axis] - t[axis];
        const double sample = delta / dt;
        velocity[axis] = (velocity[axis] != 0 && dt < 0.2) ? 0.5 * velocity[axis] + 0.5 * sample : sample;
        if (ScrollsAlong(mMouse.dragAxes, axis) && delta != 0) {
            *offsets[axis] = std::clamp(*offsets[axis] + delta, start[axis], start[axis] + extent[axis]);
        }
    }
    mMouse.dragVelocity = {velocity[0], velocity[1]};
    (void)SetScrollOffset(offset);  // 1 only means the offset was already there
    mMouse.appliedTravel = {t[0], t[1]};
}

// Keeps the travel inside the parent's move limits (a resized control keeps a
// pixel); in the scrolling modes notes the parent edge the pointer presses into.
// An axis held at a limit does not scroll.
void LControl::LimitTravel(const double p[2], double t[2], EdgeScrollRequest& edges)
{
    double lo[2] = {-kMaxExactDouble, -kMaxExactDouble};
    double hi[2] = {kMaxExactDouble, kMaxExactDouble};
    if (LControl* parent = mParent.Get()) {
        DoubleRect client = parent->GetClientRect();
        client.x += parent->mScrollOffset.x;
        client.y += parent->mScrollOffset.y;
        DoubleRect limits = client;
        GetMoveLimits(limits);
        const double press[2] = {mMouse.pressPoint.x, mMouse.pressPoint.y};
        const double lStart[2] = {limits.x, limits.y}, lExtent[2] = {limits.width, limits.height};
        for (int axis = 0; axis < 2; ++axis) {
            lo[axis] = lStart[axis] - press[axis];
            hi[axis] = lStart[axis] + lExtent[axis] - press[axis];
        }
        const int32_t mode = mMouse.dragMode;
        if (mode == DragMode::kResize || mode == DragMode::kResizeAndScroll) {
            const double size[2] = {mMouse.savedSize.x, mMouse.savedSize.y};
            for (int axis = 0; axis < 2; ++axis) {
                if (mMouse.dragAxes & kFarEdge[axis]) {
                    if (lo[axis] <= -size[axis]) lo[axis] = 1 - size[axis];
                } else if (mMouse.dragAxes & kNearEdge[axis]) {
                    if (hi[axis] >= size[axis]) hi[axis] = size[axis] - 1;
                }
            }
        }
        if (mode == DragMode::kMoveAndScroll || mode == DragMode::kResizeAndScroll)
            FindParentEdges(client, limits, p, t, edges);
    }
    for (int axis = 0; axis < 2; ++axis) {
        const double limited = std::clamp(t[axis], lo[axis], std::max(lo[axis], hi[axis]));
        if (limited != t[axis]) edges.direction[axis] = 0;
        t[axis] = limited;
    }
    mMouse.appliedTravel = {t[0], t[1]};
}

// The parent scrolls when the travel comes within kEdgeZone of the edge of its
// client area (less whatever the move limits keep clear of that edge) on the
// pointer's side of its middle.
void LControl::FindParentEdges(const DoubleRect& client, const DoubleRect& limits, const double p[2], const double t[2],
                               EdgeScrollRequest& edges)
{
    const DoublePoint origin = mParent->GetPartRect(-1).Origin();
    const double pointer[2] = {p[0] + mFrame.x + origin.x, p[1] + mFrame.y + origin.y};
    const double press[2] = {mMouse.pressPoint.x, mMouse.pressPoint.y};
    const double rStart[2] = {client.x, client.y}, rExtent[2] = {client.width, client.height};
    const double lStart[2] = {limits.x, limits.y}, lExtent[2] = {limits.width, limits.height};
    for (int axis = 0; axis < 2; ++axis) {
        if ((mMouse.dragAxes & kAnyOfAxis[axis]) == 0) continue;
        if (pointer[axis] > rStart[axis] + 0.5 * rExtent[axis]) {
            const double zone = std::clamp(
                Trunc(rStart[axis] + rExtent[axis]) - Trunc(lStart[axis] + lExtent[axis]) + kEdgeZone, 0.0, kEdgeZone);
            const double edge = (rStart[axis] + rExtent[axis] - press[axis]) - zone;
            if (t[axis] >= edge) {
                edges.direction[axis] = 1;
                edges.depth[axis] = t[axis] - edge;
            }
        } else {
            const double zone = std::clamp(kEdgeZone - Trunc(Trunc(rStart[axis]) - lStart[axis]), 0.0, kEdgeZone);
            const double edge = (rStart[axis] - press[axis]) + zone;
            if (t[axis] <= edge) {
                edges.direction[axis] = -1;
                edges.depth[axis] = edge - t[axis];
            }
        }
    }
}

// How far the parent has scrolled since the move began, on the docked axes.
DoublePoint LControl::DockedScrollShift() const
{
    const DoublePoint parentScroll = mParent ? mParent->mScrollOffset : DoublePoint{};
    return {mLayout.xIsDocked ? parentScroll.x - mMouse.savedParentOffset.x : 0.0,
            mLayout.yIsDocked ? parentScroll.y - mMouse.savedParentOffset.y : 0.0};
}

void LControl::MoveAlongAxes(const double t[2])
{
    const DoublePoint shift = DockedScrollShift();
    if (mMouse.dragAxes & DragAxis::kX) MoveAlong(0, t[0], shift);
    if (mMouse.dragAxes & DragAxis::kY) MoveAlong(1, t[1], shift);
}

void LControl::MoveAlong(int axis, double travel, const DoublePoint& shift)
{
    LayoutRecord rec = mMouse.savedPosition[axis];
    rec.offset = mMouse.savedPosition[axis].offset + travel - (axis == 0 ? shift.x : shift.y);
    (void)SetLayoutPosition(axis, rec, mLayout.anchor[axis]);  // a valid axis; the answer says only if it changed
}

void LControl::ResizeAlong(int axis, double delta)
{
    LayoutRecord rec = mMouse.savedSizeRecord[axis];
    rec.offset = mMouse.savedSizeRecord[axis].offset + delta;
    (void)SetLayoutSize(axis, rec, mLayout.limit[axis]);  // a valid axis; the answer says only if it changed
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
    if (mMouse.dragMode != DragMode::kDragAndDrop) {
        StopFlicks(mParent.Get());
        return;
    }
    if (RCPtr<IRootWindow> root = GetRootWindow()) root->SetCursor(root->GetNormalCursor());
    if (mMouse.moveClip) SetLayer(1);
    const DoublePoint scroll = mParent ? mParent->mScrollOffset : DoublePoint{};
    const double position[2] = {mFrame.x, mFrame.y};
    const double shift[2] = {scroll.x, scroll.y};
    for (int axis = 0; axis < 2; ++axis) {
        if (mMouse.wasDocked[axis]) continue;
        LayoutRecord rec = mLayout.position[axis];
        rec.offset = position[axis] + shift[axis];
        (void)SetDocked(axis, false);                              // a valid axis; 1 only means already undocked
        (void)SetLayoutPosition(axis, rec, mLayout.anchor[axis]);  // a valid axis; the answer says only if it changed
    }
    if (RCPtr<LControl> target = std::move(mMouse.dropTarget)) {
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
        if (in.decelerating && Platform::Clock::ElapsedMs(mMouse.flickStartTime, NowMs()) > kDecelerationDelayMs) {
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
    if (mMouse.pressed[0] && mMouse.keepHitChild && mMouse.lastHitChild && mMouse.heldLeft &&
        Platform::Clock::ElapsedMs(mMouse.pressTime, NowMs()) > kClickWindowMs) {
        const LongPoint at = ToLongPoint(mMouse.hitPoint);
        RCPtr<LMouseButtonParam> press =
            LMouseButtonParam::Create(mMouse.heldLeft->GetButton(), at, mMouse.heldLeft->GetModifiers(), false,
                                      mMouse.heldLeft->GetButtonState(), mMouse.heldLeft->GetPointerIndex());
        RCPtr<LControl> child = mMouse.lastHitChild;
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
