#include "LControl.h"

namespace QV {
namespace {

struct ConditionGroup {
    uint32_t mask;
    const char16_t* name;
};

// The order in which the group notifications go out.
constexpr ConditionGroup kGroups[] = {
    {Condition::kHasFocus, u"NID_HAS_FOCUS_CONDITION_CHANGE"},
    {Condition::kContainsFocus, u"NID_CONTAINS_FOCUS_CONDITION_CHANGE"},
    {Condition::kActive, u"NID_HOVER_CONDITION_CHANGE"},
    {Condition::kCaptured, u"NID_CAPTURE_CONDITION_CHANGE"},
    {Condition::kLeftPressed | Condition::kLeftDragging, u"NID_LEFT_DRAG_CONDITION_CHANGE"},
    {Condition::kMiddlePressed | Condition::kMiddleDragging, u"NID_MIDDLE_DRAG_CONDITION_CHANGE"},
    {Condition::kRightPressed | Condition::kRightDragging, u"NID_RIGHT_DRAG_CONDITION_CHANGE"},
    {Condition::kEnabled, u"NID_ENABLED_CONDITION_CHANGE"},
    {Condition::kVisible, u"NID_VISIBLITY_CONDITION_CHANGE"},
};

}  // namespace

bool LControl::IsEnabledInTree(bool withAncestors) const
{
    if (!mLayout.isEnabled) return false;
    return !withAncestors || !mParent || mParent->IsEnabledInTree(true);
}

bool LControl::IsEffectivelyVisible(bool withAncestors) const
{
    if (!mLayout.isVisible || !(mFrame.width > 0) || !(mFrame.height > 0)) return false;
    return !withAncestors || !mParent || mParent->IsEffectivelyVisible(true);
}

bool LControl::IsInputAllowed() const
{
    return IsEffectivelyVisible(true) && mLayout.isEnabled && (!mParent || mParent->IsEnabledInTree(true));
}

uint32_t LControl::ComputeConditions() const
{
    uint32_t word = 0;
    if (mHasFocus) word |= Condition::kHasFocus;
    if (mContainsFocus) word |= Condition::kContainsFocus;
    if (mMouse.hover) word |= Condition::kHover;
    if (mMouse.captured) word |= Condition::kCaptured;
    for (int b = 0; b < 3; ++b) {
        if (mMouse.pressed[b]) word |= Condition::kLeftPressed << b;
        if (mMouse.dragging[b]) word |= Condition::kLeftDragging << b;
    }
    if (IsEnabledInTree(true)) word |= Condition::kEnabled;
    if (IsEffectivelyVisible(true)) word |= Condition::kVisible;
    if (mMouse.hover || mForcedActive) word |= Condition::kActive;
    return word;
}

void LControl::UpdateConditions()
{
    const uint32_t now = ComputeConditions();
    RCPtr<LConditionsParam> param = mConditionsParam;
    if (now == param->newConditions) return;
    RCPtr<LControl> self(this);
    const uint32_t old = param->newConditions;
    param->oldConditions = old;
    param->newConditions = now;
    param->pressX = mMouse.pressPoint.x;
    param->pressY = mMouse.pressPoint.y;
    const auto went = [&](uint32_t bit, bool on) { return ((now & bit) != 0) == on && ((old & bit) != 0) != on; };

    if (mCursorId != 0) {
        if (RCPtr<IRootWindow> root = GetRootWindow()) {
            if (went(Condition::kHover, true) && !mMouse.captured) mSavedCursor = root->SetCursor(mCursorId);
            if ((went(Condition::kHover, false) && !mMouse.captured) ||
                (went(Condition::kCaptured, false) && !mMouse.hover))
                root->SetCursor(mSavedCursor);
        }
    }
    if (mMouse.dragMode != DragMode::kNone && went(Condition::kLeftDragging, false)) EndMove();
    OnConditionsChanged(param);
    Notify(u"NID_CONDITION_CHANGE", param);
    for (const ConditionGroup& group : kGroups) {
        if ((old ^ now) & group.mask) Notify(group.name, param);
    }
    if (mMouse.dragMode != DragMode::kNone && went(Condition::kLeftDragging, true)) BeginMove();

    const uint32_t changed = old ^ now;
    if ((mMouse.hover && (changed & Condition::kVisible) && !IsEffectivelyVisible(true) && !mMouse.captured) ||
        (went(Condition::kCaptured, false) && !mMouse.hover)) {
        if (RCPtr<IRootWindow> root = GetRootWindow()) {
            int32_t x = 0, y = 0;
            root->GetCursorPosition(x, y);
            root->HitTest(x, y, true);
        }
    }
    if (changed & (Condition::kEnabled | Condition::kVisible)) {
        const auto children = mChildren.Snapshot(ChildControlList::kInsertion);
        for (size_t i = children.size(); i-- > 0;) children[i]->UpdateConditions();
    }
}

bool LControl::HasNotFocusableAncestor(bool walk) const
{
    if (!walk) return mNotFocusable;
    for (const LControl* c = this; c != nullptr; c = c->mParent.Get()) {
        if (c->mNotFocusable) return true;
        if (c->mFocusBoundary) return false;
    }
    return false;
}

bool LControl::IsFocusCandidate() const
{
    if (!IsEffectivelyVisible(true) || !mLayout.isEnabled) return false;
    if (mParent && !mParent->IsEnabledInTree(true)) return false;
    if (CanReceiveFocus() || mNotFocusable) return false;
    return !mParent || mFocusBoundary || !mParent->HasNotFocusableAncestor(true);
}

bool LControl::CanReceiveFocus() const
{
    if (!IsEffectivelyVisible(true) || !mLayout.isEnabled || mNotFocusable) return false;
    if (mParent && !mParent->IsEnabledInTree(true)) return false;
    for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
        const LControl* child = mChildren.GetAt(i, ChildControlList::kInsertion);
        if (child->IsFocusCandidate() || child->CanReceiveFocus()) return true;
    }
    return false;
}

LControl* LControl::GetFocusedChild() const
{
    for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
        const LControl* child = mChildren.GetAt(i, ChildControlList::kInsertion);
        if (child->mHasFocus || child->mContainsFocus) return const_cast<LControl*>(child);
    }
    return nullptr;
}

QVResult LControl::SetFocus(bool first)
{
    RCPtr<LControl> self(this);
    RCPtr<IRootWindow> root = GetRootWindow();
    if (!mHasFocus && root) {
        RCPtr<LControl> current = root->GetFocusControl();
        if (current && !current->AllowsFocusChange()) return E_FAIL;
    }
    if (mHasFocus && IsFocusCandidate()) return S_OK;
    const bool descendants = CanReceiveFocus();
    if (descendants) {
        if (mContainsFocus) {
            RCPtr<LControl> child(GetFocusedChild());
            if (!child) return E_FAIL;
            if (child->IsFocusCandidate() || child->CanReceiveFocus()) return child->SetFocus(first);
        }
        RCPtr<LControl> target = first ? GetFirstFocusableChild() : GetLastFocusableChild();
        return target ? target->SetFocus(first) : E_FAIL;
    }
    if (IsFocusCandidate()) {
        QVResult result = S_OK;
        if (mContainsFocus) {
            mHasFocus = true;
            mContainsFocus = false;
            RCPtr<LControl> holder(GetFocusedChild());
            result = (holder && holder->KillFocus()) ? S_OK : E_FAIL;
        } else {
            mHasFocus = true;
            if (mParent) result = mParent->SetFocusWithin(this) ? S_OK : E_FAIL;
        }
        if (root) root->SetFocusControl(this);
        UpdateConditions();
        return result;
    }
    RCPtr<LControl> top = GetTopLevelControl();
    if (mHasFocus || !top) return E_FAIL;
    if (!top->mHasFocus && !top->mContainsFocus) return kNothingToDo;
    // The top control asking itself again would never end.
    return top.Get() == this ? E_FAIL : top->SetFocus(true);
}

bool LControl::SetFocusWithin(LControl* child)
{
    RCPtr<LControl> self(this);
    if (mContainsFocus) {
        for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
            RCPtr<LControl> other(mChildren.GetAt(i, ChildControlList::kInsertion));
            if (other.Get() != child && (other->mHasFocus || other->mContainsFocus)) return other->KillFocus();
        }
        return false;
    }
    mContainsFocus = true;
    if (mHasFocus) {
        mHasFocus = false;
        UpdateConditions();
        return true;
    }
    const bool ok = mParent ? mParent->SetFocusWithin(this) : true;
    UpdateConditions();
    return ok;
}

bool LControl::KillFocus()
{
    RCPtr<LControl> self(this);
    if (mHasFocus) {
        mHasFocus = false;
        UpdateConditions();
        if (RCPtr<IRootWindow> root = GetRootWindow()) root->OnFocusLost(this);
        return true;
    }
    mContainsFocus = false;
    RCPtr<LControl> child(GetFocusedChild());
    const bool ok = child ? child->KillFocus() : false;
    UpdateConditions();
    return ok;
}

void LControl::SetNotFocusable(bool flag)
{
    int32_t& tab = mLayout.tabStop;
    const bool signAgrees = flag ? tab < 0 : tab >= 0;
    if (flag == mNotFocusable && signAgrees) return;
    mNotFocusable = flag;
    // The most negative stop has no positive twin; the largest keeps it last in the order.
    if (!signAgrees) tab = (tab == 0) ? -1 : (tab == INT32_MIN ? INT32_MAX : -tab);
    if (mParent) mParent->mChildren.MarkChanged();
    RCPtr<LControl> self(this);
    // The parent's focus first: the walk below visits the whole subtree, and
    // while a window is built (over a thousand calls) nothing has focus yet.
    if (mParent && mParent->mHasFocus && (IsFocusCandidate() || CanReceiveFocus())) {
        SetFocus(true);
        return;
    }
    if (flag && mHasFocus && mParent) mParent->SetFocus(true);
}

QVResult LControl::Activate(LControl*)
{
    if (!mNotFocusable && (!mParent || mFocusBoundary || !mParent->HasNotFocusableAncestor(true))) {
        SetFocus(true);
        return S_OK;
    }
    if (mParent) return mParent->Activate(this);
    return S_OK;
}

void LControl::SetEnabled(bool enabled)
{
    if (enabled == mLayout.isEnabled) return;
    RCPtr<LControl> self(this);
    mLayout.isEnabled = enabled;
    if (!enabled && (mHasFocus || mContainsFocus) && mParent) mParent->SetFocus(true);
    if ((IsFocusCandidate() || CanReceiveFocus()) && mParent && mParent->mHasFocus) SetFocus(true);
    UpdateConditions();
    InvalidateArea();
    InvalidateTree();
}

bool LControl::SetVisible(bool visible)
{
    if (visible == mLayout.isVisible) return IsEffectivelyVisible(true);
    RCPtr<LControl> self(this);
    if (!visible) {
        InvalidateArea();
        InvalidateTree();
        mLayout.isVisible = false;
        if ((mHasFocus || mContainsFocus) && mParent) mParent->SetFocus(true);
    } else {
        mLayout.isVisible = true;
        if ((IsFocusCandidate() || CanReceiveFocus()) && mParent && mParent->mHasFocus) SetFocus(true);
        InvalidateArea();
        InvalidateTree();
    }
    UpdateConditions();
    return IsEffectivelyVisible(true);
}

void LControl::InvalidateTree()
{
    if (mUnclippedCount < 1) {
        if (!mLayout.clipToParent) InvalidateRect(LocalRect(), false);
        return;
    }
    ControlList collected;
    CollectVisibleControls(collected, true, true);
    if (mLayout.clipToParent) collected.insert(collected.begin(), RCPtr<LControl>(this));
    for (size_t i = collected.size(); i-- > 0;) {
        LControl* c = collected[i].Get();
        c->InvalidateRect(c->LocalRect(), c->mLayout.clipToParent);
    }
}

QVResult LControl::Close()
{
    RCPtr<LControl> self(this);
    SetVisible(false);
    SetLayer(1);
    if (mMouse.captured) EndDrag();
    while (mIdleUsers > 0) UnsubscribeIdle();  // each call drops one user, so the loop ends
    if (mParent) return ChangeParent(nullptr);
    mRootWindow = nullptr;
    return S_OK;
}

void LControl::SetActiveCondition(bool active)
{
    if (active == mForcedActive) return;
    mForcedActive = active;
    UpdateConditions();
}

void LControl::SetCursor(uint32_t cursorId)
{
    if (cursorId == mCursorId) return;
    const uint32_t old = mCursorId;
    mCursorId = cursorId;
    if (!mMouse.hover) return;
    if (RCPtr<IRootWindow> root = GetRootWindow()) {
        const uint32_t previous = root->SetCursor(cursorId);
        if (old == 0) mSavedCursor = previous;
    }
}

QVResult LControl::OnMouseEnter()
{
    mMouse.hover = true;
    UpdateConditions();
    return S_OK;
}

QVResult LControl::OnMouseLeave()
{
    mMouse.hover = false;
    UpdateConditions();
    return S_OK;
}

QVResult LControl::ScheduleChildRemoval(LControl* child)
{
    if (child == nullptr || child->mParent.Get() != this) return E_INVALIDARG;
    RCPtr<LControl> held(child);
    if (child->mMouse.captured) child->EndDrag();
    child->SetVisible(false);
    for (const auto& pending : mPendingRemovals) {
        if (pending.Get() == child) return S_OK;
    }
    mPendingRemovals.push_back(held);
    // One idle subscription covers every pending removal. Without it the
    // removal would never run and its later release would take another
    // user's subscription, so it is not scheduled.
    if (mPendingRemovals.size() == 1) {
        const QVResult subscribed = SubscribeIdle();
        if (Failed(subscribed)) {
            mPendingRemovals.pop_back();
            return subscribed;
        }
    }
    return S_OK;
}

void LControl::ProcessPendingRemovals()
{
    if (mPendingRemovals.empty()) return;
    RCPtr<LControl> self(this);
    while (!mPendingRemovals.empty()) {
        RCPtr<LControl> child = mPendingRemovals.front();
        mPendingRemovals.erase(mPendingRemovals.begin());
        child->Close();
    }
    UnsubscribeIdle();
}

}  // namespace QV
