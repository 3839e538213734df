// Which items are selected, and activating one.
#include "LListBox.h"

#include <algorithm>

namespace QV {

double LListBox::GetItemValue(int32_t index) const
{
    const LListItemRecord* item = GetItem(index);
    return item ? item->value : 0.0;
}

std::vector<int32_t> LListBox::GetSelectedIndexes() const
{
    std::vector<int32_t> out;
    for (int32_t i = 0; i < GetItemCount(); ++i) {
        if (GetItem(i)->IsSelected()) out.push_back(i);
    }
    return out;
}

void LListBox::SetItemSelected(int32_t index, double value)
{
    LListItemRecord* item = GetItem(index);
    if (!item) return;
    const bool was = item->IsSelected();
    item->value = value;
    if (was != item->IsSelected()) mSelectedCount += was ? -1 : 1;
    RefreshItem(index);
}

int32_t LListBox::SelectItem(int32_t first, int32_t last, bool exclusive)
{
    if (last < 0) last = first;
    if (!GetItem(first) || !GetItem(last)) return E_INVALIDARG;
    if (first == last && GetItem(first)->IsSelected() && (!exclusive || mSelectedCount == 1)) {
        EnsureVisible(first);
        return first;
    }
    mAnchor = first;
    mCaret = last;
    const int32_t low = std::min(first, last), high = std::max(first, last);
    bool changed = false;
    for (int32_t i = 0; i < GetItemCount(); ++i) {
        const bool inside = i >= low && i <= high;
        const bool selected = GetItem(i)->IsSelected();
        if (inside && !selected) {
            SetItemSelected(i, 1.0);
            changed = true;
        } else if (!inside && selected && exclusive) {
            SetItemSelected(i, 0.0);
            changed = true;
        }
    }
    EnsureVisible(mCaret);
    if (changed) NotifySelectionChange();
    return first;
}

QVResult LListBox::DeselectItem(int32_t index)
{
    LListItemRecord* item = GetItem(index);
    if (!item || !item->IsSelected()) return kNothingToDo;
    SetItemSelected(index, 0.0);
    const auto selected = [&](int32_t i) { return GetItem(i) && GetItem(i)->IsSelected(); };
    if (mSelectedCount > 0) {
        if (index == mCaret) {
            const bool follow = mAnchor == mCaret;
            mCaret = selected(index + 1) ? index + 1 : selected(index - 1) ? index - 1 : mAnchor;
            if (follow) mAnchor = mCaret;
        } else if (index == mAnchor) {
            mAnchor = selected(index + 1) ? index + 1 : selected(index - 1) ? index - 1 : -1;
        }
    } else {
        mAnchor = mCaret = -1;
    }
    NotifySelectionChange();
    return S_OK;
}

void LListBox::DeselectAll()
{
    bool any = false;
    for (int32_t i = 0; i < GetItemCount(); ++i) {
        if (GetItem(i)->IsSelected()) {
            SetItemSelected(i, 0.0);
            any = true;
        }
    }
    if (any) NotifySelectionChange();
}

void LListBox::NotifySelectionChange()
{
    OnSelectionChanged();
    if (!mMenuMode) Notify(u"NID_SELECTION_CHANGE");
}

void LListBox::ActivateItem(int32_t index)
{
    if (!GetItem(index) || !IsItemSelectable(index)) return;
    mActivatedIndex = index;
    OnItemActivated(index);
    if (mMenuMode) SetVisible(false);
    if (GetParent()) Notify(u"NID_ITEM_ACTIVATED");
}

}  // namespace QV
