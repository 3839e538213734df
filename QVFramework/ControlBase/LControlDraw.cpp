#include <algorithm>
#include <climits>
#include <cmath>

#include "IControlRenderer.h"
#include "LControl.h"

namespace QV {
namespace {

constexpr double kEmpty = 2.220446049250313e-16;

bool IsEmptyRect(const DoubleRect& r)
{
    return !(r.width > kEmpty) || !(r.height > kEmpty);
}

DoubleRect Clamped(const DoubleRect& r)
{
    return {ClampToDoubleRange(r.x), ClampToDoubleRange(r.y), ClampToDoubleRange(r.width),
            ClampToDoubleRange(r.height)};
}

// Pixel rounding for the dirty region: each edge plus 0.5, truncated.
int32_t PixelEdge(double v)
{
    return SaturateToLong(std::trunc(ClampToDoubleRange(v) + 0.5));
}

// Saves the renderer's state for one step and restores it at scope end.
class StateScope {
public:
    explicit StateScope(IControlRenderer& r) : mRenderer(r) { r.SaveState(); }
    ~StateScope() { mRenderer.RestoreState(); }
    StateScope(const StateScope&) = delete;
    StateScope& operator=(const StateScope&) = delete;

private:
    IControlRenderer& mRenderer;
};

// A pushed clip; the push saves the state, so the end restores it.
class ClipScope {
public:
    ClipScope(IControlRenderer& r, const DoubleRect& origin, const DoubleRect& clip) : mRenderer(r)
    {
        r.PushClipRect(origin, clip, 1);
    }
    ~ClipScope() { mRenderer.RestoreState(); }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    IControlRenderer& mRenderer;
};

}  // namespace

int32_t LControl::GetVisualPartIndex(int32_t index) const
{
    const int32_t count = static_cast<int32_t>(mLooks.size());
    if (index >= 0 && index < count && mLooks[static_cast<size_t>(index)]) return index;
    const int32_t shown = GetFirstVisiblePartIndex();
    if (shown >= 0) return shown;
    for (int32_t i = 0; i < count; ++i) {
        if (mLooks[static_cast<size_t>(i)]) return i;
    }
    return -1;
}

RCPtr<ILook> LControl::GetVisualPart(int32_t index) const
{
    return RCPtr<ILook>(PeekVisualPart(index));
}

ILook* LControl::PeekVisualPart(int32_t index) const
{
    const int32_t i = GetVisualPartIndex(index);
    return i < 0 ? nullptr : mLooks[static_cast<size_t>(i)].Get();
}

int32_t LControl::GetFirstVisiblePartIndex() const
{
    for (size_t i = 0; i < mLooks.size(); ++i) {
        if (mLooks[i] && mLookOpacities[i] > 0) return static_cast<int32_t>(i);
    }
    return -1;
}

DoubleRect LControl::GetPartRect(int32_t index) const
{
    if (const ILook* look = PeekVisualPart(index)) return Clamped(look->GetClientRect());
    return LocalRect();
}

DoubleRect LControl::GetClientRect() const
{
    if (const ILook* look = PeekVisualPart(-1)) {
        const DoubleRect c = Clamped(look->GetClientRect());
        return {0.0, 0.0, c.width, c.height};
    }
    return LocalRect();
}

DoubleRect LControl::GetContentRect() const
{
    const DoubleRect c = GetClientRect();
    return {mScrollOffset.x, mScrollOffset.y, c.width, c.height};
}

DoublePoint LControl::GetPositionInRoot() const
{
    DoublePoint pos;
    for (const LControl* c = this; c->mParent; c = c->mParent.Get()) {
        const LControl* p = c->mParent.Get();
        pos = pos + c->mFrame.Origin() - p->mScrollOffset + p->GetPartRect(-1).Origin();
    }
    return pos;
}

DoublePoint LControl::OffsetToControl(const LControl* other) const
{
    return GetPositionInRoot() - other->GetPositionInRoot();
}

int32_t LControl::GetEffectiveZOrder() const
{
    int32_t z = INT_MIN;
    bool found = false;
    for (const LControl* c = this; c != nullptr; c = c->mParent.Get()) {
        if (!c->mLayout.clipToParent) {
            z = found ? std::max(z, c->mLayout.zOrder) : c->mLayout.zOrder;
            found = true;
        }
    }
    return z;
}

bool LControl::IsHiddenForDraw() const
{
    return !mLayout.isVisible || !(mFrame.width > 0) || !(mFrame.height > 0);
}

int32_t LControl::CollectVisibleControls(ControlList& list, bool skipHidden, bool addSelf)
{
    const size_t before = list.size();
    const bool hidden = IsHiddenForDraw();
    if (!mLayout.clipToParent) {
        if (skipHidden && hidden) return 0;
        if (addSelf) list.emplace_back(this);
    }
    if (skipHidden && hidden) return 0;
    for (const RCPtr<LControl>& child : mChildren.Snapshot(ChildControlList::kDrawing)) {
        child->CollectVisibleControls(list, skipHidden, true);
    }
    return static_cast<int32_t>(list.size() - before);
}

QVResult LControl::Draw(IControlRenderer& renderer, const DirtyRects& region, ControlList& overlay, uint8_t layer)
{
    if (static_cast<uint8_t>(mLayout.clipToParent ? 1 : 0) == layer) return E_INVALIDARG;
    if (IsHiddenForDraw()) return S_OK;
    RCPtr<LControl> self(this);
    DoubleRect visible = mFrame;
    if (layer == 0) visible.Intersect(renderer.GetClipRect());
    if (IsEmptyRect(visible)) {
        if (mUnclippedCount > 0) CollectVisibleControls(overlay, true, false);
        return S_OK;
    }
    DoubleRect frame = mFrame;
    frame.RoundInPlace();
    ClipScope clip(renderer, frame, frame);
    renderer.SetOpacity(renderer.GetOpacity() * mOpacity);
    DoublePoint origin;
    renderer.GetOrigin(origin.x, origin.y);
    const DoubleRect local = LocalRect();
    if (!DirtyRectsMeet(region, {origin.x, origin.y, local.width, local.height})) {
        CollectVisibleControls(overlay, true, false);
        return S_OK;
    }
    const auto eachLook = [&](auto&& step) {
        for (size_t i = 0; i < mLooks.size(); ++i) {
            if (!mLooks[i] || !(mLookOpacities[i] > 0)) continue;
            StateScope state(renderer);
            renderer.SetOpacity(renderer.GetOpacity() * mLookOpacities[i]);
            step(*mLooks[i], static_cast<int32_t>(i));
        }
    };
    const auto eachDirtyRect = [&](auto&& step) {
        for (const LongRect& d : region) {
            DoubleRect r = ToDoubleRect(d);
            r.x -= origin.x;
            r.y -= origin.y;
            if (!r.Intersect(renderer.GetClipRect()) || IsEmptyRect(r)) continue;
            ClipScope rectClip(renderer, local, r);
            step();
        }
    };
    eachLook([&](ILook& look, int32_t) { look.DrawForeground(renderer, region); });
    eachLook([&](ILook& look, int32_t) { look.DrawBackground(renderer, region); });
    eachDirtyRect([&] { DrawCaret(renderer); });
    const DoublePoint textOffset = mScrollLabel ? mScrollOffset : DoublePoint{};
    eachLook([&](ILook& look, int32_t index) {
        look.DrawLabelText(renderer, region, textOffset);
        if (mChildren.GetCount() > 0) DrawChildren(renderer, region, index, overlay);
    });
    eachDirtyRect([&] { DrawAfterChildren(renderer); });
    for (const RCPtr<LControl>& child : mChildren.Snapshot(ChildControlList::kDrawing)) {
        if (!child->mLayout.clipToParent && !child->IsHiddenForDraw()) overlay.push_back(child);
    }
    return S_OK;
}

void LControl::DrawChildren(IControlRenderer& renderer, const DirtyRects& region, int32_t lookIndex,
                            ControlList& overlay)
{
    const std::vector<RCPtr<LControl>> children = mChildren.Snapshot(ChildControlList::kDrawing);
    if (children.empty()) return;
    const DoubleRect part = GetPartRect(lookIndex);
    size_t pos = 0;
    const auto pass = [&](int docked, bool scrolled, bool testClip) {
        const size_t start = pos;
        while (pos < children.size() && children[pos]->mLayout.clipToParent &&
               children[pos]->mLayout.DockedAxes() == docked) {
            ++pos;
        }
        if (start == pos) return;
        // Scrolled, the children's origin moves up and left of the part; the
        // bounds reach from there over the whole part, so that the clip is the
        // part and not only its first screen.
        const DoublePoint scroll{scrolled ? std::max(0.0, mScrollOffset.x) : 0.0,
                                 scrolled ? std::max(0.0, mScrollOffset.y) : 0.0};
        const DoubleRect origin{part.x - scroll.x, part.y - scroll.y, part.width + scroll.x, part.height + scroll.y};
        DoubleRect meets = part;
        if (testClip && (IsEmptyRect(part) || !meets.Intersect(renderer.GetClipRect()))) {
            for (size_t i = start; i < pos; ++i) children[i]->CollectVisibleControls(overlay, true, false);
            return;
        }
        ClipScope clip(renderer, origin, part);
        // A child that cannot paint leaves its siblings to paint.
        for (size_t i = start; i < pos; ++i) children[i]->Draw(renderer, region, overlay, 0);
    };
    pass(0, true, true);
    pass(1, true, true);
    pass(2, false, false);
}

QVResult LControl::InvalidateRect(const DoubleRect& rect, bool clip)
{
    const DoublePoint pos = GetPositionInRoot();
    return RedrawRect({rect.x + pos.x, rect.y + pos.y, rect.width, rect.height}, clip, rect);
}

QVResult LControl::RedrawRect(const DoubleRect& rootRect, bool clip, DoubleRect clipRect)
{
    if (IsHiddenForDraw()) return kNothingToDo;
    // Clipped to the frame, not the client size: a look's border lies outside
    // its client area, and a client area need not start at the corner.
    if (clip && mLayout.clipToParent) {
        if (!clipRect.Intersect(LocalRect()) || IsEmptyRect(clipRect)) return kNothingToDo;
    } else if (!mLayout.clipToParent) {
        clip = false;
    }
    if (mParent) {
        const DoublePoint shift = mFrame.Origin() - mParent->mScrollOffset + mParent->GetPartRect(-1).Origin();
        return mParent->RedrawRect(rootRect, clip,
                                   {clipRect.x + shift.x, clipRect.y + shift.y, clipRect.width, clipRect.height});
    }
    if (!mRootWindow) return 0;
    DoubleRect r = rootRect;
    if (clip && (!r.Intersect(clipRect) || IsEmptyRect(r))) return kNothingToDo;
    mRootWindow->InvalidateRect(PixelEdge(r.x), PixelEdge(r.y), PixelEdge(r.x + r.width), PixelEdge(r.y + r.height));
    return 0;
}

bool LControl::ContainsPoint(const DoublePoint& point) const
{
    const double px = ClampToDoubleRange(point.x + RoundHalfAwayFromZero(mFrame.x));
    const double py = ClampToDoubleRange(point.y + RoundHalfAwayFromZero(mFrame.y));
    return mFrame.x <= px && px < mFrame.x + mFrame.width && mFrame.y <= py && py < mFrame.y + mFrame.height;
}

uint32_t LControl::GetColorAtPoint(const DoublePoint& point, int32_t lookIndex) const
{
    RCPtr<ILook> look = GetVisualPart(lookIndex);
    return look ? look->GetColorAtPoint(point) : 0xFFFFFFu;
}

bool LControl::IsTransparentAt(const DoublePoint& point) const
{
    for (size_t i = 0; i < mLooks.size(); ++i) {
        if (!mLooks[i] || !(mLookOpacities[i] > 0)) continue;
        if ((GetColorAtPoint(point, static_cast<int32_t>(i)) >> 24) != 0) return false;
    }
    return true;
}

RCPtr<LControl> LControl::HitTest(const DoublePoint& point, bool inside, DoublePoint& hitPoint, int32_t& priority)
{
    mMouse.lastHitChild = nullptr;
    if (IsHiddenForDraw()) return nullptr;
    const bool contains = ContainsPoint(point);
    if (!contains && mUnclippedCount <= 0) return nullptr;
    RCPtr<LControl> self(this);
    const int32_t z = GetEffectiveZOrder();
    RCPtr<LControl> candidate;
    int32_t candidateZ = INT_MIN;
    DoublePoint candidatePoint;
    // No listener runs during a hit test, so the walk reads the list in place.
    for (size_t li = 0; li < mLooks.size(); ++li) {
        if (!mLooks[li] || !(mLookOpacities[li] > 0)) continue;
        const DoubleRect part = GetPartRect(static_cast<int32_t>(li));
        const bool inPart =
            point.x >= part.x && point.x < part.x + part.width && point.y >= part.y && point.y < part.y + part.height;
        for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
            LControl* child = mChildren.GetAt(i, ChildControlList::kDrawing);
            const bool always = !child->mLayout.clipToParent || child->mUnclippedCount > 0;
            const bool eligible =
                !candidate && (z != INT_MIN || (inside && contains && (inPart || child->IsDockedBoth())));
            if (!always && !eligible) continue;
            const DoublePoint childPoint{
                point.x + RoundHalfAwayFromZero(mScrollOffset.x) - part.x - RoundHalfAwayFromZero(child->mFrame.x),
                point.y + RoundHalfAwayFromZero(mScrollOffset.y) - part.y - RoundHalfAwayFromZero(child->mFrame.y)};
            DoublePoint childHit;
            int32_t childPriority = priority;
            RCPtr<LControl> answer = child->HitTest(childPoint, inside && contains, childHit, childPriority);
            if (!answer) continue;
            if (candidate && candidateZ >= childPriority) continue;
            candidate = answer;
            candidateZ = childPriority;
            candidatePoint = childHit;
        }
    }
    if (candidate) {
        if (!mMouse.keepHitChild) {
            hitPoint = candidatePoint;
            priority = candidateZ;
            return candidate;
        }
        mMouse.lastHitChild = candidate;
        mMouse.hitPoint = candidatePoint;
        mMouse.hitPriority = candidateZ;
    }
    if (IsTransparentAt(point) || mMouse.ignore || !contains) return nullptr;
    if (mParent && mLayout.clipToParent && !IsDockedBoth()) {
        const DoubleRect parentPart = mParent->GetPartRect(-1);
        const DoublePoint inParent = point + mFrame.Origin() - mParent->mScrollOffset + parentPart.Origin();
        if (!(inParent.x >= parentPart.x && inParent.x < parentPart.x + parentPart.width &&
              inParent.y >= parentPart.y && inParent.y < parentPart.y + parentPart.height))
            return nullptr;
    }
    if (!((z == INT_MIN && inside) || z > priority)) return nullptr;
    hitPoint = point;
    priority = z;
    return self;
}

}  // namespace QV
