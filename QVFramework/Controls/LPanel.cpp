#include "LPanel.h"

#include "IControlApplication.h"
#include "OwnHandler.h"

namespace QV {

LPanel::LPanel(LControl* parent, const String& name) : LScrollView(parent, name) {}

QVResult LPanel::Initialize()
{
    const QVResult result = LScrollView::Initialize();
    if (Failed(result) || !GetParent()) return result;
    mPanelHandler = new LNotificationHandler<LPanel>(this);
    const QVResult subscribed = mPanelHandler->RegisterHandler(
        &LPanel::OnPanelSiblingKey, RCPtr<LNotificationDistributor>(GetParent()), u"NID_SIBLING_KEY");
    return Failed(subscribed) ? E_FAIL : S_OK;
}

void LPanel::LeaveParentSiblingKeys()
{
    if (mPanelHandler) mPanelHandler->UnregisterHandler(RCPtr<LNotificationDistributor>(GetParent()), u"NID_SIBLING_KEY");
    LScrollView::LeaveParentSiblingKeys();
}

void LPanel::JoinParentSiblingKeys()
{
    LScrollView::JoinParentSiblingKeys();
    // Only a panel that subscribed at initialisation follows its parent.
    if (!mPanelHandler) return;
    (void)mPanelHandler->RegisterHandler(&LPanel::OnPanelSiblingKey, RCPtr<LNotificationDistributor>(GetParent()),
                                         u"NID_SIBLING_KEY");
}

QVResult LPanel::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                     const RCPtr<LNotification>& notification)
{
    if (!IsInitialized() || !notification) return S_OK;
    LNotificationHandler<LPanel>::Handler handler = nullptr;
    uint32_t flags = 0;
    if (mPanelHandler && Succeeded(mPanelHandler->FindHandler(sender, notification->GetID(), handler, flags)))
        return mPanelHandler->ReceiveNotification(sender, notification);
    return LScrollView::ReceiveNotification(sender, notification);
}

QVResult LPanel::UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor, const char16_t* nameOrId)
{
    ForgetInOwnHandler(mPanelHandler, distributor, nameOrId);
    return LScrollView::UnregisterNotification(distributor, nameOrId);
}

QVResult LPanel::OnPanelSiblingKey(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    auto* sibling = notification ? dynamic_cast<LSiblingKeyParam*>(notification->GetPayload().Get()) : nullptr;
    if (!sibling || !sibling->keyParam) return 1;
    RCPtr<LKeyParam> key(new LKeyParam(sibling->keyParam->code, 1));
    sibling->unhandled = HandleSiblingKey(key) == kNotHandled ? 1 : 0;
    return 1;
}

RCPtr<LControl> LPanel::GetNextTabChild(LControl* current, bool backward)
{
    RCPtr<LControl> next = LControl::GetNextTabChild(current, backward);
    if (!GetParent() || !next) return next;
    ChildControlList& children = GetChildren();
    const int32_t from = current ? children.PositionOf(current, ChildControlList::kTab) : -1;
    const int32_t to = children.PositionOf(next.Get(), ChildControlList::kTab);
    // A wrapped answer means the panel's end: the key goes up instead.
    const bool wrapped = backward ? to >= from && from >= 0 : to <= from;
    return wrapped ? nullptr : next;
}

void LPanel::HandleKey(const RCPtr<LKeyParam>& key)
{
    if (!key || HandleSiblingKey(key) != 1) return;
    RCPtr<LControl> self(this);
    if (LControl* parent = GetParent()) {
        key->route.emplace_back(this);
        parent->HandleKey(key);
        return;
    }
    // A key bound to nothing is dropped.
    if (IControlApplication* app = GetControlApplication()) (void)app->HandleHotKey(key->code);
}

void LPanel::HandleTabNavigation(const RCPtr<LKeyParam>& key)
{
    if (!key) return;
    RCPtr<LControl> self(this);
    const bool backward = (key->code.code & KeyCode::kShift) != 0;
    if (!(key->code.code & KeyCode::kCtrl)) {
        RCPtr<LControl> start(key->route.empty() ? nullptr : key->route.back().Get());
        RCPtr<LControl> candidate = GetNextTabChild(start.Get(), backward);
        // Bounded by the children: a round that finds nobody ends the search.
        for (uint32_t steps = 0; candidate && candidate != start && steps <= GetChildren().GetCount(); ++steps) {
            if (candidate->IsFocusCandidate() || candidate->CanReceiveFocus()) {
                candidate->SetFocus(!backward);
                return;
            }
            if (!start || !start->IsEffectivelyVisible(true) || !start->IsEnabledInTree(true)) start = candidate;
            candidate = GetNextTabChild(candidate.Get(), backward);
        }
    }
    if (LControl* parent = GetParent()) {
        key->route.emplace_back(this);
        parent->HandleTabNavigation(key);
    }
}

}  // namespace QV
