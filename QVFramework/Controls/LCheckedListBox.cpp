#include "LCheckedListBox.h"

#include <algorithm>
#include <utility>

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

}  // namespace QV
