#include <algorithm>
#include <cmath>
#include <utility>

#include "IControlApplication.h"
#include "LControl.h"
#include "Platform/Clock/Clock.h"

namespace QV {
namespace {

constexpr double kEdgeZone = 30.0;
constexpr double kEdgeScrollSpeed = 15.0;
// Per axis: the edge that grows a resized control, or scrolls a drop target on;
// the edge that shrinks it, or scrolls the target back; any of the axis's bits.
constexpr int32_t kFarEdge[2] = {DragAxis::kRightEdge, DragAxis::kBottomEdge};
constexpr int32_t kNearEdge[2] = {DragAxis::kLeftEdge, DragAxis::kTopEdge};
constexpr int32_t kAnyOfAxis[2] = {DragAxis::kAnyX, DragAxis::kAnyY};

double Trunc(double v)
{
    return std::trunc(v);
}

}  // namespace

// Content scrolling and its flick follow both axes or the one the drag names.
bool LControl::ScrollsAlong(int32_t axes, int axis)
{
    return axes == (DragAxis::kX | DragAxis::kY) || axes == (axis == 0 ? DragAxis::kX : DragAxis::kY);
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
                SetDocked(axis, true);
                SetLayoutPosition(axis, docked, mLayout.anchor[axis]);
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
    target->StopInertialScroll(0);
    target->StopInertialScroll(1);
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
    case DragMode::kNone: break;  // as any value that names no mode: the drag only reports its moves
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
    SetScrollOffset(offset);
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
        const DragMode::Mode mode = mMouse.dragMode;
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
    SetLayoutPosition(axis, rec, mLayout.anchor[axis]);
}

void LControl::ResizeAlong(int axis, double delta)
{
    LayoutRecord rec = mMouse.savedSizeRecord[axis];
    rec.offset = mMouse.savedSizeRecord[axis].offset + delta;
    SetLayoutSize(axis, rec, mLayout.limit[axis]);
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
            target->StopInertialScroll(axis);
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
        SetDocked(axis, false);
        SetLayoutPosition(axis, rec, mLayout.anchor[axis]);
    }
    if (RCPtr<LControl> target = std::move(mMouse.dropTarget)) {
        StopFlicks(target.Get());
        (void)target->OnDrop(this);  // a refused drop leaves the target as it was
        target->OnDragLeave(this);
    }
}

}  // namespace QV
