#include "LCheckedListBox.h"

#include <algorithm>
#include <utility>

#include "LIndexedDataParam.h"

namespace QV {

LCheckedListBox::LCheckedListBox(LControl* parent, const String& name) : LListBox(parent, name) {}

LCheckedListBox::~LCheckedListBox() = default;

QV_OWN_HANDLER_DEFINITIONS(LCheckedListBox, LListBox, mCheckedHandler)

int32_t LCheckedListBox::GetItemCount() const
{
    return static_cast<int32_t>(mCheckedItems.size());
}

int32_t LCheckedListBox::SetItemCount(int32_t count)
{
    const int32_t result = LListBox::SetItemCount(count);
    UpdateCheckedCount();
    return result;
}

LCheckedItemRecord* LCheckedListBox::GetItem(int32_t index)
{
    if (index < 0 || index >= GetItemCount()) return nullptr;
    return &mCheckedItems[static_cast<size_t>(index)];
}

QVResult LCheckedListBox::InsertItem(int32_t index)
{
    if (index < 0 || index > GetItemCount()) return E_INVALIDARG;
    mCheckedItems.insert(mCheckedItems.begin() + index, LCheckedItemRecord());
    return S_OK;
}

QVResult LCheckedListBox::EraseItem(int32_t index)
{
    if (index < 0 || index >= GetItemCount()) return E_INVALIDARG;
    mCheckedItems.erase(mCheckedItems.begin() + index);
    return S_OK;
}

QVResult LCheckedListBox::SwapItems(int32_t first, int32_t second)
{
    LCheckedItemRecord* a = GetItem(first);
    LCheckedItemRecord* b = GetItem(second);
    if (!a || !b) return E_INVALIDARG;
    std::swap(*a, *b);
    return S_OK;
}

void LCheckedListBox::UpdateCheckedCount()
{
    mCheckedCount = static_cast<int32_t>(
        std::count_if(mCheckedItems.begin(), mCheckedItems.end(), [](const auto& r) { return r.checked; }));
}

bool LCheckedListBox::IsItemChecked(int32_t index) const
{
    return index >= 0 && index < GetItemCount() && mCheckedItems[static_cast<size_t>(index)].checked;
}

void LCheckedListBox::SetItemChecked(int32_t index, bool checked)
{
    LCheckedItemRecord* item = GetItem(index);
    if (!item || item->checked == checked) return;
    item->checked = checked;
    mCheckedCount += checked ? 1 : -1;
}

RCPtr<LBitmap> LCheckedListBox::GetItemIcon(int32_t index) const
{
    if (index < 0 || index >= GetItemCount()) return nullptr;
    if (!mIcons.empty()) return mIcons[static_cast<size_t>(index) % mIcons.size()];
    return mCheckedItems[static_cast<size_t>(index)].icon;
}

void LCheckedListBox::SetShowIcons(bool on)
{
    mShowIcons = on;
}

void LCheckedListBox::SetAutoCheck(bool on)
{
    mAutoCheck = on;
}

void LCheckedListBox::OnCheckBoxValue(int32_t index, double value)
{
    if (index < 0 || index >= GetItemCount()) return;
    RCPtr<LRefCountedObject> param(new LIndexedDataWithValueParam(nullptr, index, value));
    // The count follows only a real change of the flag.
    SetItemChecked(index, value >= 0.5);
    mPosts.Post(*this, u"NID_ITEM_CHECK_CHANGE", param);
}

void LCheckedListBox::OnCheckBoxClicked(int32_t index, double value)
{
    if (index < 0 || index >= GetItemCount()) return;
    mPosts.Post(*this, u"NID_ITEM_CHECKBOX_CLICKED",
                RCPtr<LRefCountedObject>(new LIndexedDataWithValueParam(nullptr, index, value)));
}

void LCheckedListBox::OnTimer()
{
    LListBox::OnTimer();
    mPosts.Deliver(*this);
}

}  // namespace QV
