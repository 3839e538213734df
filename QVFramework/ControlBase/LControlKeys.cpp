#include <algorithm>

#include "IControlApplication.h"
#include "LControl.h"
#include "LGlobalHotKeyManager.h"
#include "LMenuItemDescriptor.h"
#include "LNotificationClientPool.h"

namespace QV {
namespace {

QVResult OfferToHotKeys(IRootWindow* root, const KeyCode& code)
{
    if (root && root->HandleHotKey(code) != kNotHandled) return S_OK;
    IControlApplication* app = GetControlApplication();
    return app ? app->HandleHotKey(code) : kNotHandled;
}

// The hot keys that bind a command: the root window's first, then the application's.
LGlobalHotKeyManager* FindBindingHotKeys(const IRootWindow* root, const String& command)
{
    if (LGlobalHotKeyManager* keys = root ? root->GetHotKeys() : nullptr) {
        if (keys->GetKeyMap().HasCommand(command)) return keys;
    }
    const IControlApplication* app = GetControlApplication();
    LGlobalHotKeyManager* keys = app ? app->GetHotKeys() : nullptr;
    return keys && keys->GetKeyMap().HasCommand(command) ? keys : nullptr;
}

template <class Visit>
void ForEachLeafItem(const LMenuDescriptor& menu, const Visit& visit)
{
    for (uint32_t i = 0; i < menu.GetItemCount(); ++i) {
        RCPtr<LMenuItemDescriptor> item = menu.GetItem(i);
        if (!item || item->IsSeparator()) continue;
        if (item->GetItemCount() > 0) {
            ForEachLeafItem(*item, visit);
        } else if (!item->GetKey().IsEmpty()) {
            visit(item->GetKey());
        }
    }
}

// The first (last) child in tab order that can take the focus, stepping the
// way tab navigation does.
RCPtr<LControl> FindFocusableChild(LControl& parent, bool backwards)
{
    ChildControlList& children = parent.GetChildren();
    const uint32_t count = children.GetCount();
    if (count == 0) return nullptr;
    RCPtr<LControl> start(children.GetAt(backwards ? count - 1 : 0, ChildControlList::kTab));
    RCPtr<LControl> c = start;
    // A hidden or disabled start is stepped over and never met again, so the
    // walk also ends once it has taken as many steps as there are children.
    for (uint32_t steps = 0; !(c->IsFocusCandidate() || c->CanReceiveFocus()); ++steps) {
        if (steps == count) return nullptr;
        c = parent.GetNextTabChild(c.Get(), backwards);
        if (!c || c == start) return nullptr;
    }
    return c;
}

}  // namespace

void LControl::SubscribeSiblingKeys()
{
    if (!mHandler || !mParent || (mOwnKeys.IsEmpty() && mMenuKeys.IsEmpty())) return;
    // Without the subscription the parent's sibling keys simply do not reach us;
    // a second registration for the same parent keeps the first.
    (void)mHandler->RegisterHandler(&LControl::OnSiblingKey, RCPtr<LNotificationDistributor>(mParent.Get()),
                                    u"NID_SIBLING_KEY");
}

void LControl::LeaveParentSiblingKeys()
{
    // 1 when the control never subscribed: nothing to take back.
    (void)UnregisterNotification(RCPtr<LNotificationDistributor>(mParent.Get()), u"NID_SIBLING_KEY");
}

void LControl::JoinParentSiblingKeys()
{
    SubscribeSiblingKeys();
}

void LControl::SetContextMenu(const RCPtr<LRefCountedObject>& menu)
{
    if (mContextMenu) WireContextMenuKeys(mContextMenu, false);
    mContextMenu = menu;
    if (mContextMenu) WireContextMenuKeys(mContextMenu, true);
    SubscribeSiblingKeys();
}

void LControl::WireContextMenuKeys(const RCPtr<LRefCountedObject>& menu, bool wire)
{
    auto* descriptor = dynamic_cast<LMenuDescriptor*>(menu.Get());
    if (!descriptor) return;
    if (!wire) mMenuKeys.Clear();
    RCPtr<IRootWindow> root = GetRootWindow();
    const RCPtr<LNotificationDistributor> self(this);
    ForEachLeafItem(*descriptor, [&](const String& command) {
        if (!wire) {
            (void)UnregisterNotification(self, command.GetChars());  // a command never wired is no fault
            return;
        }
        LGlobalHotKeyManager* keys = FindBindingHotKeys(root.Get(), command);
        if (!keys) return;
        for (const KeyCode& key : keys->GetKeyMap().GetKeysForCommand(command)) {
            // A key the control already answers, or another item's, keeps its first command.
            (void)mMenuKeys.AddBinding(key, command);
        }
        // Before initialisation there is no handler yet; Initialize wires the menu again.
        if (mHandler) (void)mHandler->RegisterHandler(&LControl::OnShortcutCommand, self, command.GetChars());
    });
}

QVResult LControl::OnShortcutCommand(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    if (!notification) return 1;
    const String command(notification->GetID());
    RCPtr<IRootWindow> root = GetRootWindow();
    if (LGlobalHotKeyManager* keys = FindBindingHotKeys(root.Get(), command)) {
        RCPtr<LNotification> forwarded = LNotification::Create(command.GetChars());
        if (keys->GetTarget() && forwarded)
            (void)keys->GetTarget()->ReceiveNotification(nullptr, forwarded);  // the target reports its own failures
    }
    return 1;
}

QVResult LControl::BindKey(const KeyCode& code, const String& command)
{
    const QVResult result = mOwnKeys.AddBinding(code, command);
    if (Succeeded(result)) SubscribeSiblingKeys();
    return result;
}

String LControl::FindKeyCommand(const KeyCode& code) const
{
    const String command = mOwnKeys.FindCommandForKey(code);
    return command.IsEmpty() ? mMenuKeys.FindCommandForKey(code) : command;
}

KeyCode LControl::GetShortcutKey(const String& command) const
{
    std::vector<KeyCode> keys = mOwnKeys.GetKeysForCommand(command);
    if (keys.empty()) keys = mMenuKeys.GetKeysForCommand(command);
    return keys.empty() ? KeyCode{} : keys.front();
}

bool LControl::HasShortcut(const String& command) const
{
    return mOwnKeys.HasCommand(command) || mMenuKeys.HasCommand(command);
}

void LControl::HandleKeyDown(const RCPtr<LKeyParam>& key)
{
    if (!key || !IsInputAllowed()) return;
    RCPtr<LControl> self(this);
    RCPtr<LSiblingKeyParam> sibling(new LSiblingKeyParam(key));
    const RCPtr<LNotification> notification = LNotification::Create(u"NID_SIBLING_KEY", sibling);
    // The answer is carried in sibling->unhandled: the control's own keys
    // first, then whatever its own receiver answers from any sender.
    (void)OnSiblingKey(nullptr, notification);
    if (sibling->unhandled != 0) (void)ReceiveNotification(nullptr, notification);
    if (sibling->unhandled == 0 || OnKeyDown(key) != kNotHandled) return;
    const bool tab = key->code.IsKeyPress() && key->code.GetVirtualKey() == Keys::kTab;
    key->route.emplace_back(this);
    RCPtr<IRootWindow> root = GetRootWindow();
    if (!tab) {
        if (mParent) {
            mParent->HandleKey(key);
        } else {
            OfferToHotKeys(root.Get(), key->code);
        }
    } else if (!mWantsTab) {
        if (mParent) {
            mParent->HandleTabNavigation(key);
        } else if (root) {
            root->HandleTabNavigation(key);
        }
    }
}

void LControl::HandleKey(const RCPtr<LKeyParam>& key)
{
    if (HandleSiblingKey(key) != kNotHandled) return;
    RCPtr<IRootWindow> root = GetRootWindow();
    OfferToHotKeys(root.Get(), key->code);
}

QVResult LControl::HandleSiblingKey(const RCPtr<LKeyParam>& key)
{
    const NotificationID id = NotificationNameTable::GetNotificationID(u"NID_SIBLING_KEY");
    RCPtr<LNotificationClientPool> pool = FindClientPool(id);
    if (!pool || pool->GetClientCount() == 0) return kNotHandled;
    std::vector<RCPtr<LNotificationReceiver>> receivers;
    std::vector<LControl*> controls;
    for (uint32_t i = 0; i < pool->GetClientCount(); ++i) {
        receivers.push_back(pool->GetClientAt(static_cast<int32_t>(i)));
        controls.push_back(dynamic_cast<LControl*>(receivers.back().Get()));
    }
    const std::vector<uint32_t> order = SortInChildOrder(key, controls);
    RCPtr<LSiblingKeyParam> sibling(new LSiblingKeyParam(key));
    RCPtr<LNotification> notification = LNotification::Create(u"NID_SIBLING_KEY", sibling);
    const LControl* source = key->GetSource();
    RCPtr<LNotificationDistributor> self(this);
    for (size_t i = order.size(); i-- > 0;) {
        const uint32_t e = order[i];
        if (controls[e] != nullptr && controls[e] == source) continue;
        (void)receivers[e]->ReceiveNotification(self, notification);  // the unhandled flag carries the answer
        if (sibling->unhandled == 0) return S_OK;
    }
    return kNotHandled;
}

std::vector<uint32_t> LControl::SortInChildOrder(const RCPtr<LKeyParam>& key, const std::vector<LControl*>& receivers)
{
    struct Entry {
        uint32_t receiver;
        int64_t position;
    };
    std::vector<Entry> entries;
    int64_t foreign = 0;
    for (uint32_t e = 0; e < receivers.size(); ++e) {
        LControl* c = receivers[e];
        const int32_t pos = (c && c->mParent.Get() == this) ? mChildren.PositionOf(c, ChildControlList::kTab) : -1;
        // Receivers that are not children sort first, in their list order.
        entries.push_back({e, pos >= 0 ? pos : INT64_MIN + foreign++});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.position < b.position; });
    const LControl* source = key ? key->GetSource() : nullptr;
    const int64_t s = source ? mChildren.PositionOf(source, ChildControlList::kTab) : -1;
    std::vector<uint32_t> out;
    for (const Entry& en : entries) {
        if (en.position < 0) out.push_back(en.receiver);
    }
    for (const Entry& en : entries) {
        if (en.position >= 0 && en.position > s) out.push_back(en.receiver);
    }
    for (const Entry& en : entries) {
        if (en.position >= 0 && en.position <= s) out.push_back(en.receiver);
    }
    return out;
}

QVResult LControl::OnSiblingKey(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    if (!IsInputAllowed() || !notification) return 0;
    auto* sibling = dynamic_cast<LSiblingKeyParam*>(notification->GetPayload().Get());
    if (!sibling || !sibling->keyParam) return 0;
    const String command = FindKeyCommand(sibling->keyParam->code);
    if (command.IsEmpty()) return 0;
    sibling->unhandled = 0;
    RCPtr<LNotification> commandNote = LNotification::Create(command.GetChars(), sibling->keyParam);
    (void)ReceiveNotification(RCPtr<LNotificationDistributor>(this), commandNote);  // the key is taken either way
    return 1;
}

RCPtr<LControl> LControl::GetNextTabChild(LControl* from, bool backwards)
{
    const uint32_t count = mChildren.GetCount();
    if (count == 0) return nullptr;
    const int32_t start = from ? mChildren.PositionOf(from, ChildControlList::kTab) : -1;
    const int32_t n = static_cast<int32_t>(count);
    for (int32_t step = 1; step <= n; ++step) {
        int32_t pos;
        if (start < 0) {
            pos = backwards ? n - step : step - 1;
        } else {
            pos = ((backwards ? start - step : start + step) % n + n) % n;
        }
        LControl* c = mChildren.GetAt(static_cast<uint32_t>(pos), ChildControlList::kTab);
        if (c->IsEffectivelyVisible(true) && c->IsEnabledInTree(true)) return RCPtr<LControl>(c);
    }
    return nullptr;
}

RCPtr<LControl> LControl::GetFirstFocusableChild()
{
    return FindFocusableChild(*this, false);
}

RCPtr<LControl> LControl::GetLastFocusableChild()
{
    return FindFocusableChild(*this, true);
}

void LControl::HandleTabNavigation(const RCPtr<LKeyParam>& key)
{
    if (!key) return;
    RCPtr<LControl> self(this);
    RCPtr<IRootWindow> root = GetRootWindow();
    const bool backwards = (key->code.code & KeyCode::kShift) != 0;
    const auto passUp = [&](const RCPtr<LKeyParam>& param) {
        param->route.emplace_back(this);
        if (mParent) {
            mParent->HandleTabNavigation(param);
        } else if (root) {
            root->HandleTabNavigation(param);
        }
    };
    if (key->code.code & KeyCode::kCtrl) {
        RCPtr<LKeyParam> up(new LKeyParam(KeyCode(char16_t{9}, backwards ? KeyCode::kModShift : 0u), 0));
        passUp(up);
        return;
    }
    RCPtr<LControl> from(key->GetSource());
    RCPtr<LControl> d = GetNextTabChild(from.Get(), backwards);
    // A walk that stays inside and finds nobody to focus ends after one round.
    for (uint32_t steps = 0; steps <= mChildren.GetCount(); ++steps) {
        if (!d || d == from) {
            // Round, staying inside, to the container the key came out of: the
            // focus enters it again at its other end instead of staying put.
            if (key->stayInside && d && from->CanReceiveFocus()) {
                from->KillFocus();  // it held the focus; the request below moves it back in
                from->SetFocus(!backwards);
                return;
            }
            if (!key->stayInside) passUp(key);
            return;
        }
        if (!key->stayInside) {
            const int32_t pf = from ? mChildren.PositionOf(from.Get(), ChildControlList::kTab) : -1;
            const int32_t pd = mChildren.PositionOf(d.Get(), ChildControlList::kTab);
            if (backwards ? pd >= pf : pf >= pd) {
                passUp(key);
                return;
            }
        }
        if (d->IsFocusCandidate() || d->CanReceiveFocus()) {
            d->SetFocus(!backwards);
            return;
        }
        if (from && !from->IsInputAllowed()) from = d;
        d = GetNextTabChild(d.Get(), backwards);
    }
}

}  // namespace QV
