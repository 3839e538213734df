#include "LListBox.h"

#include <utility>

namespace QV {

LListBox::LListBox(LControl* parent, const String& name) : LScrollView(parent, name) {}

LListBox::~LListBox() = default;

QV_OWN_HANDLER_DEFINITIONS(LListBox, LScrollView, mListHandler)

int32_t LListBox::GetItemCount() const
{
    return static_cast<int32_t>(mItems.size());
}

int32_t LListBox::SetItemCount(int32_t count)
{
    if (count < 0) return E_INVALIDARG;
    while (GetItemCount() < count && InsertItem(GetItemCount()) == S_OK) {
    }
    while (GetItemCount() > count && EraseItem(GetItemCount() - 1) == S_OK) {
    }
    return GetItemCount() == count ? count : -GetItemCount();
}

LListItemRecord* LListBox::GetItem(int32_t index)
{
    if (index < 0 || index >= static_cast<int32_t>(mItems.size())) return nullptr;
    return &mItems[static_cast<size_t>(index)];
}

QVResult LListBox::InsertItem(int32_t index)
{
    if (index < 0 || index > static_cast<int32_t>(mItems.size())) return E_INVALIDARG;
    mItems.insert(mItems.begin() + index, LListItemRecord());
    return S_OK;
}

QVResult LListBox::EraseItem(int32_t index)
{
    if (index < 0 || index >= static_cast<int32_t>(mItems.size())) return E_INVALIDARG;
    mItems.erase(mItems.begin() + index);
    return S_OK;
}

QVResult LListBox::SwapItems(int32_t first, int32_t second)
{
    LListItemRecord* a = GetItem(first);
    LListItemRecord* b = GetItem(second);
    if (!a || !b) return E_INVALIDARG;
    std::swap(*a, *b);
    return S_OK;
}

}  // namespace QV
