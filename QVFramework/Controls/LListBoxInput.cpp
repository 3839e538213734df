// Keys, the mouse on rows, and the frame's look following focus and enabled.
#include "LListBox.h"

#include "KeyCode.h"

namespace QV {

QVResult LListBox::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    if (!key) return kNotHandled;
    const uint32_t flags = key->code.code;
    const auto selectFrom = [&](int32_t from, int32_t step) {
        for (int32_t i = from; i >= 0 && i < GetItemCount(); i += step) {
            if (!IsHidden(i) && IsItemSelectable(i)) {
                SelectItem(i, i, true);
                return;
            }
        }
    };
    if (flags == KeyCode::Pressed(Keys::kUp) || flags == KeyCode::Pressed(Keys::kUp, KeyCode::kShift)) {
        if (mCaret >= 0) selectFrom(mCaret - 1, -1);
        return S_OK;
    }
    if (flags == KeyCode::Pressed(Keys::kDown) || flags == KeyCode::Pressed(Keys::kDown, KeyCode::kShift)) {
        selectFrom(mCaret + 1, 1);
        return S_OK;
    }
    if (flags == KeyCode::Pressed(Keys::kReturn)) {
        if (mCaret >= 0) ActivateItem(mCaret);
        return S_OK;
    }
    const uint32_t vk = key->code.GetVirtualKey();
    const bool plain = (flags & (KeyCode::kCtrl | KeyCode::kShift | KeyCode::kAlt | KeyCode::kCommand)) == 0 &&
                       (flags & KeyCode::kKeyDown);
    const bool horizontal = vk == Keys::kLeft || vk == Keys::kRight;
    const bool vertical = vk == Keys::kPageUp || vk == Keys::kPageDown;
    const bool ends = vk == Keys::kHome || vk == Keys::kEnd;
    if (!plain || !(horizontal || vertical || ends)) return kNotHandled;
    for (int axis : {0, 1}) {
        if ((axis == 0 && vertical) || (axis == 1 && horizontal)) continue;
        if (LScrollbar* bar = GetBar(axis)) bar->HandleKeyDown(key);  // the list takes the key either way
    }
    return S_OK;
}

QVResult LListBox::OnRowMouseDown(const RCPtr<LNotificationDistributor>& sender,
                                  const RCPtr<LNotification>& notification)
{
    auto* param = dynamic_cast<LMouseButtonParam*>(notification->GetPayload().Get());
    auto* row = dynamic_cast<LControl*>(sender.Get());
    if (!param || !row || param->GetButton() != LMouseButtonParam::kLeft || mMenuMode) return S_OK;
    const int32_t item = GetItemIndexOfControl(row);
    if (item < 0) return S_OK;
    SelectItem(item, item, true);
    if (param->IsDoubleClick()) Notify(u"NID_ITEM_DOUBLE_CLICKED");
    return S_OK;
}

// A menu's row picked by a click of its own, not by a drag begun elsewhere.
QVResult LListBox::OnRowClick(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&)
{
    const int32_t item = GetItemIndexOfControl(dynamic_cast<LControl*>(sender.Get()));
    if (mMenuMode && item >= 0 && GetParent()) ActivateItem(item);
    return S_OK;
}

QVResult LListBox::OnRowHoverChange(const RCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification)
{
    auto* row = dynamic_cast<LControl*>(sender.Get());
    auto* change = dynamic_cast<LConditionsParam*>(notification->GetPayload().Get());
    if (!row || !row->IsEnabledInTree(true)) return S_OK;
    const int32_t item = GetItemIndexOfControl(row);
    const bool entered =
        change && (change->newConditions & Condition::kActive) && !(change->oldConditions & Condition::kActive);
    if (mMenuMode && entered && item >= 0 && IsItemSelectable(item)) SelectItem(item, item, true);
    Notify(u"NID_ITEM_HOVER_CONDITION_CHANGE", RCPtr<LRefCountedObject>(ItemConditions(*row, change)));
    return S_OK;
}

QVResult LListBox::OnRowLeftDragChange(const RCPtr<LNotificationDistributor>& sender,
                                       const RCPtr<LNotification>& notification)
{
    auto* row = dynamic_cast<LControl*>(sender.Get());
    if (!row || !row->IsEnabledInTree(true)) return S_OK;
    auto* change = dynamic_cast<LConditionsParam*>(notification->GetPayload().Get());
    Notify(u"NID_ITEM_LEFT_DRAG_CONDITION_CHANGE", RCPtr<LRefCountedObject>(ItemConditions(*row, change)));
    return S_OK;
}

RCPtr<LItemConditionsParam> LListBox::ItemConditions(const LControl& row, const LConditionsParam* change) const
{
    RCPtr<LItemConditionsParam> param(new LItemConditionsParam());
    if (change) {
        param->oldConditions = change->oldConditions;
        param->newConditions = change->newConditions;
        param->pressX = change->pressX;
        param->pressY = change->pressY;
    }
    param->itemIndex = GetItemIndexOfControl(&row);
    param->visualPart = row.GetFirstVisiblePartIndex();
    param->hover = (row.GetConditions() & Condition::kHover) ? 1 : 0;
    return param;
}

void LListBox::OnMouseMove(const RCPtr<LPointWithModifiersParam>& param)
{
    if (!mMenuMode || !param || !(GetConditions() & Condition::kLeftDragging)) return;
    const LongPoint at = param->GetPoint();
    const int32_t item = GetItemIndexAtPoint({double(at.x), double(at.y)});
    if (item < 0) {
        DeselectAll();
    } else if (IsItemSelectable(item)) {
        SelectItem(item, item, true);
    }
}

void LListBox::OnLeftMouseUp(const RCPtr<LMouseButtonParam>& param)
{
    if (!mMenuMode || !param) return;
    const LongPoint at = param->GetPoint();
    const int32_t item = GetItemIndexAtPoint({double(at.x), double(at.y)});
    if (item >= 0 && GetParent()) ActivateItem(item);
}

void LListBox::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    LScrollView::OnConditionsChanged(param);
    if (!param) return;
    const uint32_t changed = param->oldConditions ^ param->newConditions;
    if (!(changed & (Condition::kEnabled | Condition::kHasFocus))) return;
    int32_t part = !IsEnabledInTree(true) ? kDisabled : HasFocus() ? kFocused : kNormal;
    if (GetVisualPartIndex(part) != part) part = kNormal;
    ShowPart(part, true);
}

}  // namespace QV
