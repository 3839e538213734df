#include "LControl.h"

#include <algorithm>

#include "Exception.h"
#include "IControlApplication.h"
#include "LMenuItemUpdater.h"

namespace QV {

LControl::LControl(LControl* parent, const String& name)
    : mConditionsParam(new LConditionsParam()), mName(name), mChildren(this)
{
    // A refused add would drop the only reference while still constructing;
    // the name is checked free first, so the add cannot be refused.
    if (parent != nullptr && !parent->FindChildControl(name)) (void)ChangeParent(parent);
    if (IControlApplication* app = GetControlApplication()) {
        if (IControlFactory* factory = app->GetControlFactory()) {
            mStringTable = factory->GetStringTable(parent, name);
            if (parent == nullptr) mAttachmentPending = factory->TakePendingAttachment();
        }
    }
}

LControl::~LControl() = default;

QVResult LControl::ReleaseInternalReferences()
{
    mChildren.RemoveAll();
    mPendingRemovals.clear();
    mMouse.lastHitChild = nullptr;
    mMouse.dropTarget = nullptr;
    mMouse.heldLeft = nullptr;
    for (Inertia& axis : mInertia) axis.linked = nullptr;
    return LNotificationClient::ReleaseInternalReferences();
}

void LControl::SetParentLink(LControl* parent)
{
    if (mParent) mParent->RemoveInternalReference();
    // Each child's reference to its parent counts as the parent's own, so a
    // tree whose last outside reference goes takes itself apart.
    RCPtr<LControl> old = std::move(mParent);
    mParent = parent;
    if (mParent) mParent->AddInternalReference();
    old = nullptr;
    UpdateConditions();
}

QVResult LControl::RenameControl(const String& name)
{
    if (mParent) return mParent->mChildren.RenameChild(this, name);
    mName = name;
    return S_OK;
}

RCPtr<LControl> LControl::FindChildControl(const String& name) const
{
    for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
        const LControl* child = mChildren.GetAt(i, ChildControlList::kInsertion);
        if (child->GetName() == name) return RCPtr<LControl>(const_cast<LControl*>(child));
    }
    return nullptr;
}

RCPtr<LControl> LControl::GetTopLevelControl()
{
    LControl* top = this;
    while (top->mParent) top = top->mParent.Get();
    return RCPtr<LControl>(top);
}

RCPtr<IRootWindow> LControl::GetRootWindow() const
{
    const LControl* top = this;
    while (top->mParent) top = top->mParent.Get();
    return top->mRootWindow;
}

QVResult LControl::AttachToRootWindow(const RCPtr<IRootWindow>& root)
{
    if (mParent) return E_FAIL;
    mRootWindow = root;
    mAttachmentPending = false;
    if (root) {
        root->SetWindowTitle(mText);
        ConnectNotifications();
    }
    return S_OK;
}

QVResult LControl::ChangeParent(LControl* newParent)
{
    if (newParent == mParent.Get()) return kNothingToDo;
    // Under itself or its own descendant the tree would become a ring.
    for (const LControl* c = newParent; c != nullptr; c = c->mParent.Get()) {
        if (c == this) return E_INVALIDARG;
    }
    if (newParent != nullptr) {
        newParent->ProcessPendingRemovals();
        // A sibling with the same name refuses the child. Asked before the
        // control leaves its old place, so a refused move loses nothing.
        if (newParent->FindChildControl(mName)) return E_FAIL;
    }
    RCPtr<LControl> self(this);
    if (mParent) {
        InvalidateRect(LocalRect(), mLayout.clipToParent);
        mParent->mChildren.RemoveChild(this);
    } else {
        mRootWindow = nullptr;
    }
    if (newParent != nullptr) {
        const QVResult added = newParent->mChildren.AddChild(this);
        if (Failed(added)) return added;
        JoinParentSiblingKeys();
    }
    return S_OK;
}

QVResult LControl::SetParent(const RCPtr<LControl>& child, const RCPtr<IControlDescriptor>& descriptor)
{
    if (!child || !descriptor) return E_FAIL;
    const QVResult moved = child->ChangeParent(this);
    // The caller learns where the child is; a descriptor that does not take
    // leaves the child in place with the values it could apply.
    if (Succeeded(moved)) (void)child->ApplyDescriptor(descriptor);
    return moved;
}

void LControl::IncrementUnclippedCount(int32_t by)
{
    for (LControl* c = this; c != nullptr; c = c->mParent.Get()) c->mUnclippedCount += by;
}

uint8_t LControl::SetLayer(uint8_t clipToParent)
{
    const bool clip = clipToParent != 0;
    if (clip == mLayout.clipToParent) return clipToParent;
    if (clip) InvalidateRect(LocalRect(), false);
    mLayout.clipToParent = clip;
    if (mParent) {
        mParent->mChildren.MarkChanged();
        mParent->IncrementUnclippedCount(clip ? -1 : 1);
    }
    if (!clip) InvalidateRect(LocalRect(), false);
    return clipToParent;
}

void LControl::ConnectNotifications()
{
    if (mIdleUsers > 0) {
        RCPtr<IRootWindow> root = GetRootWindow();
        const QVResult registered =
            (root && mHandler) ? mHandler->RegisterHandler(&LControl::OnIdle, root->GetDistributor(), u"NID_IDLE")
                               : E_FAIL;
        if (Failed(registered)) mIdleUsers = 0;
    }
    const auto children = mChildren.Snapshot(ChildControlList::kInsertion);
    for (size_t i = children.size(); i-- > 0;) children[i]->ConnectNotifications();
}

void LControl::OnChildRemoved(LControl*, uint32_t) {}

QVResult LControl::OnChildAdded(LControl* child)
{
    if (mLayoutPass) return S_OK;
    UpdateLayout();
    OnChildChanged(child);
    return S_OK;
}

QVResult LControl::CreateChildren(const RCPtr<IControlDescriptor>& descriptor)
{
    mChildren.RemoveAll();
    IControlApplication* app = GetControlApplication();
    IControlFactory* factory = app ? app->GetControlFactory() : nullptr;
    if (descriptor && factory) {
        for (uint32_t i = 0; i < descriptor->GetChildCount(); ++i) {
            RCPtr<IControlDescriptor> child = descriptor->GetChild(i);
            String deferred;
            if (child && child->GetAttribute(u"DEFER_CREATE", deferred) && deferred.Trim().ToLower() == u"true")
                continue;
            factory->CreateControl(child, this);
        }
    }
    UpdateLayout();
    return S_OK;
}

QVResult LControl::Initialize()
{
    if (IControlApplication* app = GetControlApplication()) mNotificationCenter = app->GetDefaultNotificationCenter();
    mHandler = new LNotificationHandler<LControl>(this);
    (void)LoadProperties();  // a property that does not load keeps its default
    if (mStringTable) {
        String tip;
        if (mStringTable->GetString(u"TOOLTIP", tip)) mToolTipText = tip;
        KeyMap::StringPairs pairs;
        // A table that cannot list its strings simply has no local keys.
        if (Succeeded(mStringTable->GetStringsWithPrefix(u"LHK.", pairs))) (void)mOwnKeys.LoadFromPairs(&pairs, u"LHK");
    }
    // A menu given before initialisation had no handler to wire its commands to.
    if (mContextMenu) WireContextMenuKeys(mContextMenu, true);
    SubscribeSiblingKeys();
    return S_OK;
}

RCPtr<LMenuItemUpdater> LControl::GetMenuItemUpdater()
{
    if (!mMenuItemUpdater) mMenuItemUpdater = RCPtr<LRefCountedObject>(new LMenuItemUpdater());
    return RCPtr<LMenuItemUpdater>(static_cast<LMenuItemUpdater*>(mMenuItemUpdater.Get()));
}

LControl* LControl::GetEditTarget()
{
    // Through each parent's own answer, so a container can redirect its children's edits.
    if (HandlesEditCommands()) return this;
    return mParent ? mParent->GetEditTarget() : nullptr;
}

QVResult LControl::PerformEdit(int32_t)
{
    throw Exception<std::logic_error>("LControl::PerformEdit must be overridden");
}

RCPtr<LControl> LControl::FindAcceptingControl(LControl* control, const DoublePoint& rootPoint)
{
    RCPtr<LControl> current(this);
    RCPtr<IRootWindow> root = GetRootWindow();
    std::vector<RCPtr<LControl>> visited;
    std::vector<RCPtr<LControl>> ignored;
    const auto holds = [](const std::vector<RCPtr<LControl>>& list, const LControl* c) {
        return std::any_of(list.begin(), list.end(), [c](const RCPtr<LControl>& v) { return v.Get() == c; });
    };
    const auto hitBeneath = [&] {
        if (control) control->mMouse.ignore = true;
        for (auto& c : ignored) c->mMouse.ignore = true;
        const LongPoint p = ToLongPoint(rootPoint);
        RCPtr<LControl> hit = root->HitTest(p.x, p.y, false);
        if (control) control->mMouse.ignore = false;
        for (auto& c : ignored) c->mMouse.ignore = false;
        return hit;
    };
    while (current && !current->AcceptsControl(control)) {
        visited.push_back(current);
        if (current->ClipsToParent()) {
            current = current->mParent;
            continue;
        }
        if (!root) return nullptr;
        ignored.push_back(current);
        current = hitBeneath();
        // A skipped layer's own children still answer the hit test, and the
        // walk up from them would come back to the layer for ever; a control
        // the walk has stood on is passed over as well. Each retry hides one
        // more control, so the walk ends.
        while (current && holds(visited, current.Get())) {
            if (holds(ignored, current.Get())) return nullptr;  // the hit test sees nothing new
            ignored.push_back(current);
            current = hitBeneath();
        }
    }
    return current;
}

void LControl::SetLayout(const ControlLayout& layout)
{
    const bool dockChanged = layout.xIsDocked != mLayout.xIsDocked || layout.yIsDocked != mLayout.yIsDocked;
    const bool orderChanged = dockChanged || layout.zOrder != mLayout.zOrder || layout.tabStop != mLayout.tabStop;
    const bool clipChanged = layout.clipToParent != mLayout.clipToParent;
    if (clipChanged && mParent) mParent->IncrementUnclippedCount(layout.clipToParent ? -1 : 1);
    mLayout = layout;
    mHasLayout = true;
    if (mParent) mParent->mChildren.MarkLayoutChanged();
    if (mParent && (orderChanged || clipChanged)) mParent->mChildren.MarkChanged();
    UpdateConditions();
}

QVResult LControl::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification)
{
    if (!mHandler || !mInitialized) return S_OK;
    return mHandler->ReceiveNotification(sender, notification);
}

QVResult LControl::UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor, const char16_t* nameOrId)
{
    if (mHandler) mHandler->UnregisterHandler(distributor, nameOrId);
    return LNotificationClient::UnregisterNotification(distributor, nameOrId);
}

void LControl::Notify(const char16_t* name, const RCPtr<LRefCountedObject>& payload)
{
    SendNotification(LNotification::Create(name, payload));
}

}  // namespace QV
