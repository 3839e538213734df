// The list box's items: their records, texts, search and order. Rows and
// scrolling, selection and input are in the other LListBox*.cpp files.
#include "LListBox.h"

#include <algorithm>
#include <string>
#include <utility>

namespace QV {

namespace {

constexpr int32_t kMaxItems = 1 << 20;  // "ITEM.n" indexes beyond this are ignored

int CompareNoCase(const String& a, const String& b)
{
    const std::u16string_view x = a.View(), y = b.View();
    for (size_t i = 0; i < x.size() && i < y.size(); ++i) {
        const char16_t cx = (x[i] >= u'A' && x[i] <= u'Z') ? x[i] + 32 : x[i];
        const char16_t cy = (y[i] >= u'A' && y[i] <= u'Z') ? y[i] + 32 : y[i];
        if (cx != cy) return cx < cy ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

bool SameText(const String& a, const String& b, bool caseSensitive)
{
    return caseSensitive ? a.View() == b.View() : CompareNoCase(a, b) == 0;
}

}  // namespace

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
    if (count == GetItemCount()) return count;
    const uint8_t suspended = mUpdatesSuspended;
    mUpdatesSuspended = 1;
    while (GetItemCount() < count && InsertItemWithText(GetItemCount(), String()) >= 0) {
    }
    while (GetItemCount() > count && RemoveItem(GetItemCount() - 1) >= 0) {
    }
    mUpdatesSuspended = suspended;
    UpdateContentExtent();
    UpdateWidestItem();
    if (mMenuMode) FitHeightToContent();
    return GetItemCount() == count ? count : -GetItemCount();
}

LListItemRecord* LListBox::GetItem(int32_t index)
{
    if (index < 0 || index >= static_cast<int32_t>(mItems.size())) return nullptr;
    return &mItems[static_cast<size_t>(index)];
}

QVResult LListBox::InsertItem(int32_t index)
{
    return InsertRecord(mItems, index);
}

QVResult LListBox::EraseItem(int32_t index)
{
    return EraseRecord(mItems, index);
}

QVResult LListBox::SwapItems(int32_t first, int32_t second)
{
    LListItemRecord* a = GetItem(first);
    LListItemRecord* b = GetItem(second);
    if (!a || !b) return E_INVALIDARG;
    std::swap(*a, *b);
    return S_OK;
}

int32_t LListBox::InsertItemWithText(int32_t index, const String& text)
{
    if (InsertItem(index) != S_OK) return E_INVALIDARG;
    GetItem(index)->text = text;
    EnsureRowsCover();
    RefreshRowsFrom(index);
    UpdateContentExtent();
    if (!mUpdatesSuspended) {
        const int32_t width = GetItemTextWidth(index);
        if (width > mWidestTextWidth) SetWidestTextWidth(width);
    }
    if (mMenuMode) FitHeightToContent();
    return index;
}

QVResult LListBox::AppendItemsWithText(const std::vector<String>& texts)
{
    const uint8_t suspended = mUpdatesSuspended;
    mUpdatesSuspended = 1;
    QVResult result = S_OK;
    for (const String& text : texts) {
        const int32_t index = GetItemCount();
        if (InsertItem(index) != S_OK) {
            result = E_FAIL;
            break;
        }
        GetItem(index)->text = text;
    }
    mUpdatesSuspended = suspended;
    EnsureRowsCover();
    RefreshRowsFrom(mTopIndex);
    UpdateContentExtent();
    UpdateWidestItem();
    if (mMenuMode) FitHeightToContent();
    return result;
}

QVResult LListBox::SetItemText(int32_t index, const String& text)
{
    LListItemRecord* item = GetItem(index);
    if (!item) return S_OK;
    const int32_t oldWidth = GetItemTextWidth(index);
    item->text = text;
    RefreshItem(index);
    KeepWidestTextWidth(index, oldWidth);
    return S_OK;
}

QVResult LListBox::SetItem(int32_t index, const String& text, double value, bool marked, bool separator)
{
    LListItemRecord* item = GetItem(index);
    if (!item) return E_INVALIDARG;
    const int32_t oldWidth = GetItemTextWidth(index);
    item->text = text;
    item->marked = marked ? 1 : 0;
    item->separator = separator ? 1 : 0;
    SetItemSelected(index, value);  // keeps the selected count; refreshes the row
    KeepWidestTextWidth(index, oldWidth);
    return S_OK;
}

// Only a change of the widest item needs all items measured again.
void LListBox::KeepWidestTextWidth(int32_t index, int32_t oldWidth)
{
    if (oldWidth >= mWidestTextWidth) {
        UpdateWidestItem();
    } else if (const int32_t width = GetItemTextWidth(index); width > mWidestTextWidth) {
        SetWidestTextWidth(width);
    }
}

int32_t LListBox::SetItemSeparator(int32_t index, bool on)
{
    return SetItemFlag(index, &LListItemRecord::separator, on);
}

int32_t LListBox::SetItemMarked(int32_t index, bool on)
{
    return SetItemFlag(index, &LListItemRecord::marked, on);
}

int32_t LListBox::SetItemFlag(int32_t index, uint8_t LListItemRecord::*flag, bool on)
{
    LListItemRecord* item = GetItem(index);
    if (!item) return 0;
    item->*flag = on ? 1 : 0;
    RefreshItem(index);
    return 1;
}

bool LListBox::GetItemMarked(int32_t index) const
{
    const LListItemRecord* item = GetItem(index);
    return item && item->marked != 0;
}

String LListBox::GetItemText(int32_t index) const
{
    const LListItemRecord* item = GetItem(index);
    return item ? item->text : String();
}

int32_t LListBox::RemoveItem(int32_t index)
{
    if (!GetItem(index)) return E_INVALIDARG;
    const bool widest = GetItemTextWidth(index) >= mWidestTextWidth;
    (void)DeselectItem(index);  // the item exists; 1 only means it was not selected
    if (const QVResult erased = EraseItem(index); Failed(erased)) return erased;
    if (mCaret >= GetItemCount() || mAnchor >= GetItemCount()) mCaret = mAnchor = -1;
    EnsureRowsCover();
    RefreshRowsFrom(index);
    if (widest) UpdateWidestItem();
    UpdateContentExtent();
    if (mMenuMode) FitHeightToContent();
    if (GetItemCount() > 0) EnsureVisible(std::min(mTopIndex, GetItemCount() - 1));
    return GetItemCount();
}

QVResult LListBox::ClearItems()
{
    for (int32_t i = GetItemCount(); i-- > 0;) {
        if (RemoveItem(i) < 0) return E_FAIL;
    }
    mAnchor = mCaret = -1;
    return S_OK;
}

QVResult LListBox::LoadItemsFromDescriptor(const RCPtr<IControlDescriptor>& descriptor)
{
    if (!descriptor) return E_INVALIDARG;
    if (const QVResult cleared = ClearItems(); Failed(cleared)) return cleared;
    std::vector<std::pair<String, String>> pairs;
    if (const QVResult read = descriptor->GetAttributesWithPrefix(u"ITEM.", pairs); Failed(read)) return read;
    std::vector<std::pair<int32_t, String>> items;
    int32_t last = -1;
    for (const auto& [key, text] : pairs) {
        const std::string digits = key.Mid(5).ToUtf8();
        if (digits.empty() || digits.size() > 7 || digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const int32_t index = std::stoi(digits);
        if (index >= kMaxItems) continue;
        items.emplace_back(index, text);
        last = std::max(last, index);
    }
    mUpdatesSuspended = 1;
    SetItemCount(last + 1);
    for (const auto& [index, text] : items) GetItem(index)->text = text;
    mUpdatesSuspended = 0;
    EnsureRowsCover();
    RefreshRowsFrom(mTopIndex);
    UpdateContentExtent();
    UpdateWidestItem();
    if (mMenuMode) FitHeightToContent();
    return S_OK;
}

int32_t LListBox::FindItemByText(const String& text, bool caseSensitive) const
{
    for (int32_t i = GetItemCount(); i-- > 0;) {
        if (SameText(GetItem(i)->text, text, caseSensitive)) return i;
    }
    return -1;
}

int32_t LListBox::FindAndSelectItem(const String& text, int32_t start, bool caseSensitive)
{
    const int32_t count = GetItemCount();
    if (start >= count || start < -1) start = -1;
    for (int32_t step = 1; step <= count; ++step) {
        const int32_t i = (start + step) % count;
        if (SameText(GetItem(i)->text, text, caseSensitive)) {
            SelectItem(i, -1, true);
            return i;
        }
    }
    return -1;
}

QVResult LListBox::SortItems(int32_t start, int32_t count)
{
    if (start < 0 || count < 0) return E_INVALIDARG;
    if (count == 0) return kNothingToDo;
    if (start + count > GetItemCount()) return E_INVALIDARG;
    std::vector<std::pair<int32_t, String>> order;
    for (int32_t i = start; i < start + count; ++i) order.emplace_back(i, GetItem(i)->text);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return CompareNoCase(a.second, b.second) < 0; });
    // place[i]: where the record now at i came from; follow it with swaps.
    std::vector<int32_t> at(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) at[static_cast<size_t>(i)] = start + i;
    int32_t caret = mCaret, anchor = mAnchor;
    for (int32_t target = 0; target < count; ++target) {
        const int32_t wanted = order[static_cast<size_t>(target)].first;
        const auto it = std::find(at.begin() + target, at.end(), wanted);
        const int32_t from = static_cast<int32_t>(it - at.begin());
        if (from != target) {
            (void)SwapItems(start + target, start + from);  // both indexes lie in the checked range
            std::swap(at[static_cast<size_t>(target)], at[static_cast<size_t>(from)]);
        }
        if (wanted == mCaret) caret = start + target;
        if (wanted == mAnchor) anchor = start + target;
    }
    mCaret = caret;
    mAnchor = anchor;
    RefreshRowsFrom(mTopIndex);
    if (mCaret >= 0) EnsureVisible(mCaret);
    return S_OK;
}

}  // namespace QV
