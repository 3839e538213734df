#include <algorithm>
#include <cmath>
#include <vector>

#include "ControlPopups.h"
#include "IControlApplication.h"
#include "LControl.h"

namespace QV {
namespace {

constexpr double kSizeEpsilon = 2.220446049250313e-15;

IControlFactory* Factory()
{
    IControlApplication* app = GetControlApplication();
    return app ? app->GetControlFactory() : nullptr;
}

// The look at that very index; no stand-in for a missing one.
RCPtr<ILook> OwnPart(const LControl& control, int32_t index)
{
    return control.GetVisualPartIndex(index) == index ? control.GetVisualPart(index) : RCPtr<ILook>();
}

bool HasRegion(const ILook& look)
{
    RectRegion region;
    look.GetRegion(region);
    return !region.IsEmpty();
}

}  // namespace

QVResult LControl::SetBounds(const DoublePoint& position, const DoublePoint& size)
{
    // A frame that is not a number would spoil every drawing and hit test below it.
    if (std::isnan(position.x) || std::isnan(position.y) || std::isnan(size.x) || std::isnan(size.y))
        return E_INVALIDARG;
    if (position.x == mFrame.x && position.y == mFrame.y && size.x == mFrame.width && size.y == mFrame.height)
        return kNothingToDo;
    RCPtr<LControl> self(this);
    const RCPtr<LControl> busyParent = mParent;
    const BusyChildScope busy(busyParent ? &busyParent->mChildren : nullptr, this);
    BeginBoundsChange();
    const bool sizeChanged =
        std::fabs(size.x - mFrame.width) >= kSizeEpsilon || std::fabs(size.y - mFrame.height) >= kSizeEpsilon;
    InvalidateArea();
    if (mUnclippedCount > 0) InvalidateTree();
    mFrame = {position.x, position.y, size.x, size.y};
    for (const RCPtr<ILook>& look : mLooks) {
        if (look) look->SetSize(SaturateToLong(size.x), SaturateToLong(size.y));
    }
    if (sizeChanged && !mLayoutPass) {
        mLayoutPass = true;
        const std::vector<RCPtr<LControl>> children = mChildren.Snapshot(ChildControlList::kInsertion);
        for (size_t i = 0; i < children.size(); ++i) {
            if (i + 1 < children.size()) children[i + 1]->PrefetchLayoutState();
            children[i]->OnLayoutChange(SaturateToLong(size.x), SaturateToLong(size.y));
        }
        UpdateLayout();
        mLayoutPass = false;
    }
    if (mParent) {
        RCPtr<LControl> parent = mParent;
        RelayOutLaterSiblings(*parent);
        parent->OnChildAdded(this);
    } else if (mRootWindow) {
        // The window stays where it is: the root window takes screen coordinates.
        double x = mFrame.x;
        double y = mFrame.y;
        mRootWindow->ClientToScreen(x, y);
        mRootWindow->SetWindowRect(x, y, mFrame.width, mFrame.height);
    }
    if ((!(size.x > 0) || !(size.y > 0)) && mParent && (mHasFocus || mContainsFocus)) mParent->SetFocus(true);
    UpdateConditions();
    InvalidateArea();
    if (mUnclippedCount > 0) InvalidateTree();
    EndBoundsChange();
    return S_OK;
}

// The later siblings re-run their layout in insertion order, each only when
// this change can reach it: it names this control, or names one that moved
// because of it (its own bounds change carries the walk on). A sibling that
// answers false stops the walk, as does a busy sibling between them; when a
// child names a later one the walk cannot tell what it reaches and takes all.
void LControl::RelayOutLaterSiblings(LControl& parent)
{
    ChildControlList& list = parent.mChildren;
    const bool forward = list.HasForwardReference();
    const int32_t index = list.IndexOf(this);
    if (index < 0) return;
    const bool docked = mLayout.xIsDocked || mLayout.yIsDocked;
    if (forward || (!docked && list.LaterSiblingBusy(index))) {
        RelayOutSiblingsFrom(list, index + 1);
        return;
    }
    // Walked in place, each follower held only while it lays out. Should
    // that add or take out children, the places are stale: the rest of the
    // walk takes every sibling after the later of this one and that follower.
    const uint32_t membership = list.GetMembershipStamp();
    for (size_t k = 0;; ++k) {
        const std::vector<uint32_t>& dependents = list.DependentsOf(static_cast<uint32_t>(index));
        if (k >= dependents.size()) return;
        const RCPtr<LControl> sibling(list.GetAt(dependents[k], ChildControlList::kInsertion));
        if (!sibling->OnChildChanged(this)) return;
        sibling->UpdateLayout();
        if (list.GetMembershipStamp() != membership) {
            const int32_t reached = std::max(list.IndexOf(this), list.IndexOf(sibling.Get()));
            if (reached >= 0) RelayOutSiblingsFrom(list, reached + 1);
            return;
        }
    }
}

// The siblings from insertion index `first` on, held through the walk.
void LControl::RelayOutSiblingsFrom(ChildControlList& list, int32_t first)
{
    std::vector<RCPtr<LControl>> followers = list.Snapshot(ChildControlList::kInsertion);
    followers.erase(followers.begin(), followers.begin() + std::min<size_t>(size_t(first), followers.size()));
    for (const RCPtr<LControl>& sibling : followers) {
        if (!sibling->OnChildChanged(this)) break;
        sibling->UpdateLayout();
    }
}

void LControl::PrefetchLayoutState() const
{
    const char* const first = reinterpret_cast<const char*>(&mScrollOffset);
    const char* const last = reinterpret_cast<const char*>(&mMouse + 1);
    for (const char* p = first; p < last; p += 64) __builtin_prefetch(p);
}

void LControl::BeginBoundsChange()
{
    mBoundsChangePending = true;
    mSavedPartRect = GetPartRect(-1);
}

void LControl::EndBoundsChange()
{
    mBoundsChangePending = false;
}

bool LControl::OnChildChanged(LControl* child)
{
    if (child && (child->mLayout.xIsDocked || child->mLayout.yIsDocked)) return true;
    return !mChangingScroll && !mBoundsChangePending;
}

QVResult LControl::OnLayoutChange(int32_t, int32_t)
{
    return UpdateLayout();
}

QVResult LControl::UpdateLayout()
{
    if (!mHasLayout) return E_FAIL;
    IControlApplication* app = GetControlApplication();
    if (!app) return E_FAIL;
    DoubleRect reference;
    if (mParent) {
        reference = mParent->GetPartRect(-1);
    } else if (mRootWindow) {
        mRootWindow->GetClientSize(reference.width, reference.height);
    } else if (mAttachmentPending) {
        // Measured against the work area now, it would jump to its window's size a moment later.
        return E_FAIL;
    } else {
        reference = app->GetWorkArea();
    }
    DoubleRect frame = mFrame;
    if (Failed(app->ResolveLayout(*this, reference, frame))) return E_FAIL;
    // 1 only means the frame was already there.
    (void)SetBounds({ClampToDoubleRange(frame.x), ClampToDoubleRange(frame.y)},
                    {ClampToDoubleRange(frame.width), ClampToDoubleRange(frame.height)});
    return S_OK;
}

void LControl::AfterLayoutPass()
{
    UpdateLayout();
}

QVResult LControl::SetDocked(int axis, bool docked)
{
    if (axis < 0 || axis > 1) return E_INVALIDARG;
    bool& flag = axis == 0 ? mLayout.xIsDocked : mLayout.yIsDocked;
    if (flag == docked) return kNothingToDo;
    flag = docked;
    mChildren.MarkChanged();
    // The parent sorts its children by docking too.
    if (mParent) mParent->mChildren.MarkChanged();
    return S_OK;
}

QVResult LControl::SetLayoutRecords(const LayoutRecord& xPos, const LayoutRecord& xAnchor, const LayoutRecord& yPos,
                                    const LayoutRecord& yAnchor)
{
    const bool changed = !(mLayout.position[0] == xPos && mLayout.anchor[0] == xAnchor && mLayout.position[1] == yPos &&
                           mLayout.anchor[1] == yAnchor);
    mLayout.position[0] = xPos;
    mLayout.anchor[0] = xAnchor;
    mLayout.position[1] = yPos;
    mLayout.anchor[1] = yAnchor;
    mHasLayout = true;
    if (mParent) mParent->mChildren.MarkLayoutChanged();
    AfterLayoutPass();
    return changed ? 1 : 0;
}

QVResult LControl::SetLayoutPosition(int axis, const LayoutRecord& position, const LayoutRecord& anchor)
{
    if (axis < 0 || axis > 1) return E_INVALIDARG;
    const bool changed = !(mLayout.position[axis] == position && mLayout.anchor[axis] == anchor);
    mLayout.position[axis] = position;
    mLayout.anchor[axis] = anchor;
    mHasLayout = true;
    if (mParent) mParent->mChildren.MarkLayoutChanged();
    AfterLayoutPass();
    return changed ? 1 : 0;
}

QVResult LControl::SetLayoutSize(int axis, const LayoutRecord& size, const LayoutRecord& limit)
{
    if (axis < 0 || axis > 1) return E_INVALIDARG;
    const bool changed = !(mLayout.size[axis] == size && mLayout.limit[axis] == limit);
    mLayout.size[axis] = size;
    mLayout.limit[axis] = limit;
    mHasLayout = true;
    if (mParent) mParent->mChildren.MarkLayoutChanged();
    AfterLayoutPass();
    return changed ? 1 : 0;
}

DoublePoint LControl::CalculateSize()
{
    double measured[2] = {0.0, 0.0};
    for (int axis = 0; axis < 2; ++axis) {
        const LayoutRecord saved = mLayout.size[axis];
        mLayout.size[axis] = LayoutRecord{LayoutKind::kSelf, String(), 0.0f, 0.0};
        UpdateLayout();  // the frame as it stands is the measure then
        measured[axis] = axis == 0 ? mFrame.width : mFrame.height;
        mLayout.size[axis] = saved;
    }
    UpdateLayout();
    return {measured[0], measured[1]};
}

DoublePoint LControl::GetMaximumSize() const
{
    const auto axisMax = [this](int axis) {
        const LayoutRecord& limit = mLayout.limit[axis];
        return limit.name.IsEmpty() ? limit.offset : 0.0;
    };
    return {axisMax(0), axisMax(1)};
}

QVResult LControl::SetPartOpacity(int32_t index, float opacity, bool exclusive)
{
    if (index < 0 || static_cast<size_t>(index) >= mLookOpacities.size()) return E_INVALIDARG;
    bool changed = false;
    if (opacity >= 0.0f && opacity <= 1.0f && mLookOpacities[static_cast<size_t>(index)] != opacity) {
        mLookOpacities[static_cast<size_t>(index)] = opacity;
        changed = true;
    }
    if (exclusive) {
        for (size_t i = mLookOpacities.size(); i-- > 0;) {
            if (static_cast<int32_t>(i) != index && mLookOpacities[i] != 0.0f) {
                mLookOpacities[i] = 0.0f;
                changed = true;
            }
        }
    }
    if (changed) InvalidateArea();
    return S_OK;
}

int32_t LControl::AddVisualPart(const RCPtr<ILook>& look)
{
    mLooks.push_back(look);
    if (mLookOpacities.size() < mLooks.size()) mLookOpacities.push_back(0.0f);
    if (look) {
        look->SetSize(SaturateToLong(mFrame.width), SaturateToLong(mFrame.height));
        look->SetText(mText);
        if (mFont) look->SetFont(mFont);
    }
    return static_cast<int32_t>(mLooks.size()) - 1;
}

QVResult LControl::SetPartSource(const RCPtr<LRefCountedObject>& part, int32_t index)
{
    RCPtr<ILook> look = GetVisualPart(index);
    if (!look) return E_FAIL;
    if (!part) return E_INVALIDARG;
    look->SetTextForegroundPart(part);
    return S_OK;
}

QVResult LControl::SetPartRegion(int32_t index, const RectRegion& region)
{
    RCPtr<ILook> look = OwnPart(*this, index);
    if (!look) return E_INVALIDARG;
    look->SetRegion(region);
    InvalidateArea();
    return S_OK;
}

QVResult LControl::ClearPartRegion(int32_t index)
{
    RCPtr<ILook> look = OwnPart(*this, index);
    if (!look) return E_INVALIDARG;
    // A look that loses its region draws whole again, so it needs a redraw.
    if (HasRegion(*look)) {
        look->SetRegion(RectRegion());
        InvalidateArea();
    }
    return S_OK;
}

void LControl::ClearAllPartRegions()
{
    bool cleared = false;
    for (const RCPtr<ILook>& look : mLooks) {
        if (!look || !HasRegion(*look)) continue;
        look->SetRegion(RectRegion());
        cleared = true;
    }
    if (cleared) InvalidateArea();
}

QVResult LControl::ResetPartRegion(int32_t index, int32_t other)
{
    RCPtr<ILook> look = OwnPart(*this, index);
    RCPtr<ILook> cut = OwnPart(*this, other);
    if (!look || !cut) return E_INVALIDARG;
    RectRegion taken;
    cut->GetRegion(taken);
    RectRegion region;
    region.AddRect(LocalRect());
    region.SubtractRegion(taken);
    look->SetRegion(region);
    InvalidateArea();
    return S_OK;
}

QVResult LControl::SetVisualPart(const RCPtr<LRefCountedObject>& bitmap, int32_t resizeType, int32_t index,
                                 bool replacesClient)
{
    RCPtr<ILook> look = GetVisualPart(index);
    if (!look) return E_FAIL;
    const QVResult answer = look->SetOverlayPart(bitmap, resizeType, replacesClient);
    if (answer != 1 && GetFirstVisiblePartIndex() == index) InvalidateArea();
    return answer;
}

QVResult LControl::ShowContextMenu(const RCPtr<LRefCountedObject>& menu)
{
    IControlFactory* factory = Factory();
    RCPtr<IControlDescriptor> descriptor = factory ? factory->FindControlDescriptor(u"contextMenu") : nullptr;
    if (!descriptor) return S_OK;
    // One popup per control, reused: a second child of that name could never join the tree.
    RCPtr<LControl> popup = FindChildControl(descriptor->GetName());
    if (!popup) popup = factory->CreateControl(descriptor, this);
    auto* menuPopup = dynamic_cast<IContextMenuPopup*>(popup.Get());
    if (!menuPopup) return E_FAIL;
    popup->SetVisible(false);
    const QVResult set = menuPopup->SetMenuDescriptor(menu);
    if (Failed(set)) return set;  // no menu to show
    OnPrepareContextMenu(popup.Get());
    menuPopup->ShowAtMousePosition();
    return S_OK;
}

QVResult LControl::ShowToolTip(bool show)
{
    if (!show) {
        RCPtr<LControl> tip = FindChildControl(u"toolTip");
        if (auto* popup = dynamic_cast<IToolTipPopup*>(tip.Get())) popup->Dismiss();
        return S_OK;
    }
    const String text = GetToolTipText();
    if (text.IsEmpty()) return S_OK;
    IControlFactory* factory = Factory();
    RCPtr<IControlDescriptor> descriptor = factory ? factory->FindControlDescriptor(u"toolTip") : nullptr;
    if (!descriptor) return S_OK;
    RCPtr<LControl> tip = FindChildControl(descriptor->GetName());
    if (!tip) tip = factory->CreateControl(descriptor, this);
    auto* popup = dynamic_cast<IToolTipPopup*>(tip.Get());
    if (!popup) return E_FAIL;
    const QVResult set = tip->SetText(text);
    if (Failed(set)) return set;  // the tip would show stale text
    popup->PlaceAtCursor();
    return S_OK;
}

}  // namespace QV
