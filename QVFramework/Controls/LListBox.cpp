#include "LListBox.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "IControlApplication.h"
#include "KeyCode.h"
#include "MeasurementRendererSource.h"
#include "RenamedControlDescriptor.h"

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

// ---- rows, measures, selection, keys ----

namespace QV {

namespace {

constexpr int32_t kMaxItems = 1 << 20;  // "ITEM.n" indexes beyond this are ignored

// The template with a row's name and place: docked under the previous row.
class RowDescriptor : public RenamedControlDescriptor {
    QV_TYPE_NAME("class QV::RowDescriptor")
public:
    RowDescriptor(RCPtr<IControlDescriptor> base, String name, double top, int32_t height)
        : RenamedControlDescriptor(std::move(base), std::move(name)), mTop(top), mHeight(height)
    {}
    ControlLayout GetLayout() const override
    {
        ControlLayout l = RenamedControlDescriptor::GetLayout();
        l.yIsDocked = true;
        l.textOverflow[0] = 0;
        l.position[1] = LayoutRecord{LayoutKind::kClient, String(), 0.0f, mTop};
        l.anchor[1] = LayoutRecord{};
        // An absolute height: the layout reads a parent-relative size as an edge.
        l.size[1] = LayoutRecord{LayoutKind::kSelf, String(), 0.0f, double(mHeight)};
        return l;
    }

private:
    double mTop;
    int32_t mHeight;
};

// The number written from the fifth character on, as in "item12"; -1 when there is none.
int32_t RowNumber(const String& name)
{
    const std::string digits = name.Mid(4).ToUtf8();
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stoi(digits);
}

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

bool LListBox::IsHidden(int32_t index) const
{
    const LListItemRecord* item = GetItem(index);
    return item && item->hidden;
}

LListBoxItem* LListBox::GetRow(uint32_t row) const
{
    if (row >= mRows.size() || mRows[row] >= GetChildren().GetCount()) return nullptr;
    return dynamic_cast<LListBoxItem*>(
        const_cast<LControl*>(GetChildren().GetAt(mRows[row], ChildControlList::kInsertion)));
}

// The item a row shows, counting visible items from the top; -1 past the end.
int32_t LListBox::ItemOfRow(uint32_t row) const
{
    int32_t index = mTopIndex;
    for (uint32_t seen = 0;; ++index) {
        if (index >= GetItemCount()) return -1;
        if (IsHidden(index)) continue;
        if (seen++ == row) return index;
    }
}

int32_t LListBox::GetItemIndexOfControl(const LControl* control) const
{
    for (uint32_t r = 0; r < mRows.size(); ++r) {
        if (GetRow(r) == control) return ItemOfRow(r);
    }
    return -1;
}

int32_t LListBox::GetVisibleRowOfItem(int32_t index) const
{
    if (index < mTopIndex || index >= GetItemCount() || IsHidden(index)) return -1;
    int32_t row = 0;
    for (int32_t i = mTopIndex; i < index; ++i) {
        if (!IsHidden(i)) ++row;
    }
    return row < static_cast<int32_t>(mRows.size()) ? row : -1;
}

int32_t LListBox::GetContentHeight() const
{
    int32_t visible = 0;
    for (int32_t i = 0; i < GetItemCount(); ++i) {
        if (!IsHidden(i)) ++visible;
    }
    return visible * mRowHeight;
}

int32_t LListBox::GetItemTextWidth(int32_t index) const
{
    LListBoxItem* row = GetRow(0);
    const LListItemRecord* item = GetItem(index);
    if (!row || !item) return 0;
    RCPtr<LMeasurementRenderer> renderer = GetMeasurementRenderer();
    const double width =
        (renderer && !item->text.IsEmpty()) ? renderer->MeasureText(item->text, row->GetFont()).width : 0.0;
    return static_cast<int32_t>(std::floor(width + mTextMargin + 0.5));
}

// ---- items ----

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

QVResult LListBox::SetItemText(int32_t index, const String& text)
{
    LListItemRecord* item = GetItem(index);
    if (!item) return S_OK;
    const int32_t oldWidth = GetItemTextWidth(index);
    item->text = text;
    (void)RefreshItem(index);  // only redraws the row from its item
    if (oldWidth >= mWidestTextWidth) {
        UpdateWidestItem();
    } else if (const int32_t width = GetItemTextWidth(index); width > mWidestTextWidth) {
        SetWidestTextWidth(width);
    }
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
    if (oldWidth >= mWidestTextWidth) {
        UpdateWidestItem();
    } else if (const int32_t width = GetItemTextWidth(index); width > mWidestTextWidth) {
        SetWidestTextWidth(width);
    }
    return S_OK;
}

int32_t LListBox::SetItemSeparator(int32_t index, bool on)
{
    LListItemRecord* item = GetItem(index);
    if (!item) return 0;
    item->separator = on ? 1 : 0;
    (void)RefreshItem(index);  // only redraws the row from its item
    return 1;
}

int32_t LListBox::SetItemMarked(int32_t index, bool on)
{
    LListItemRecord* item = GetItem(index);
    if (!item) return 0;
    item->marked = on ? 1 : 0;
    (void)RefreshItem(index);  // only redraws the row from its item
    return 1;
}

bool LListBox::GetItemMarked(int32_t index) const
{
    const LListItemRecord* item = GetItem(index);
    return item && item->marked != 0;
}

DoubleRect LListBox::GetItemRect(int32_t index) const
{
    const int32_t row = GetVisibleRowOfItem(index);
    const LListBoxItem* control = row < 0 ? nullptr : GetRow(static_cast<uint32_t>(row));
    return control ? control->GetFrame() : DoubleRect{};
}

QVResult LListBox::SetItemActive(int32_t index, bool active)
{
    const int32_t row = GetVisibleRowOfItem(index);
    LListBoxItem* control = row < 0 ? nullptr : GetRow(static_cast<uint32_t>(row));
    if (!control) return E_INVALIDARG;
    control->SetActiveCondition(active);
    return S_OK;
}

QVResult LListBox::ShowItemRowPart(int32_t index, int32_t part)
{
    const int32_t row = GetVisibleRowOfItem(index);
    LListBoxItem* control = row < 0 ? nullptr : GetRow(static_cast<uint32_t>(row));
    if (!control || part < 0 || control->GetVisualPartIndex(part) != part) return E_INVALIDARG;
    return control->ShowPart(part, true);
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
    if (GetItemCount() > 0) (void)EnsureVisible(std::min(mTopIndex, GetItemCount() - 1));  // an index in range
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
    if (count == 0) return 1;
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
    if (mCaret >= 0) (void)EnsureVisible(mCaret);  // scrolling only; the caret is a kept item
    return S_OK;
}

// ---- selection ----

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
    (void)RefreshItem(index);  // only redraws the row from its item
}

int32_t LListBox::SelectItem(int32_t first, int32_t last, bool exclusive)
{
    if (last < 0) last = first;
    if (!GetItem(first) || !GetItem(last)) return E_INVALIDARG;
    if (first == last && GetItem(first)->IsSelected() && (!exclusive || mSelectedCount == 1)) {
        (void)EnsureVisible(first);  // scrolling only; the item was checked above
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
    (void)EnsureVisible(mCaret);  // scrolling only; the caret was checked above
    if (changed) NotifySelectionChange();
    return first;
}

QVResult LListBox::DeselectItem(int32_t index)
{
    LListItemRecord* item = GetItem(index);
    if (!item || !item->IsSelected()) return 1;
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

void LListBox::SetMenuMode(bool on)
{
    mMenuMode = on ? 1 : 0;
    for (uint32_t r = 0; r < mRows.size(); ++r) {
        if (LListBoxItem* row = GetRow(r)) row->SetMenuMode(on);
    }
}

// ---- rows ----

QVResult LListBox::Initialize()
{
    const QVResult result = LScrollView::Initialize();
    if (result < 0) return result;
    mListHandler = new LNotificationHandler<LListBox>(this);
    (void)SetAutoClientExtent(0, 0, 0);  // switching the automatic extent off cannot fail
    if (RCPtr<LControl> templ = FindChildControl(u"templateItem")) {
        mTemplate = templ->GetDescriptor();
        CalculateRowHeight(*templ);
        (void)templ->Close();  // hidden first; a template left attached stays invisible
        SetItemScrolling(true, mRowHeight);
        UpdateScrollState();
        (void)LoadItemsFromDescriptor(GetDescriptor());  // without a descriptor the list starts empty
    } else {
        AdoptNumberedRows();
    }
    return result;
}

QVResult LListBox::SetParent(const RCPtr<LControl>& child, const RCPtr<IControlDescriptor>& descriptor)
{
    if (child) {
        if (!descriptor) return S_OK;
        const QVResult result = LScrollView::SetParent(child, descriptor);
        const int32_t position = RowNumber(child->GetName()) - 1;
        if (dynamic_cast<LListBoxItem*>(child.Get()) && position >= 0 && position < static_cast<int32_t>(mRows.size()))
            mRows[static_cast<size_t>(position)] = static_cast<uint32_t>(GetChildren().IndexOf(child.Get()));
        return result;
    }
    if (!descriptor || descriptor->GetName() != u"templateItem") return E_FAIL;
    mTemplate = descriptor;
    IControlApplication* app = GetControlApplication();
    IControlFactory* factory = app ? app->GetControlFactory() : nullptr;
    if (RCPtr<LControl> templ = factory ? factory->CreateControl(descriptor, this) : RCPtr<LControl>()) {
        CalculateRowHeight(*templ);
        (void)templ->Close();  // hidden first; a template left attached stays invisible
    }
    return S_OK;
}

void LListBox::CalculateRowHeight(LControl& row)
{
    // Measuring re-lays the row out, which may pull the list's height along.
    const LayoutRecord savedSize = GetLayout().size[1];
    const LayoutRecord savedLimit = GetLayout().limit[1];
    const String saved = row.GetText();
    (void)row.SetText(String());  // 1 only means the text was unchanged
    (void)row.UpdateLayout();     // a row that cannot lay out keeps its frame for measuring
    mTextMargin = static_cast<int32_t>(std::lround(row.GetFrame().width));
    (void)row.SetText(u"{WXyg|}");  // 1 only means the text was unchanged
    (void)row.UpdateLayout();       // as above; a failed measure falls back to the default height
    const int32_t height = static_cast<int32_t>(std::lround(row.GetFrame().height));
    mRowHeight = height < 1 ? kDefaultRowHeight : height;
    (void)row.SetText(saved);  // 1 only means the text was unchanged
    if (!(GetLayout().size[1] == savedSize && GetLayout().limit[1] == savedLimit))
        (void)SetLayoutSize(1, savedSize, savedLimit);  // axis 1 is valid; only a changed flag
    if (mMenuMode) {
        const double frame = GetFrame().height - GetClientRect().height;
        const double height = frame + double(mRowHeight) * std::max(GetItemCount(), 1);
        (void)SetLayoutSize(1, LayoutRecord{LayoutKind::kSelf, String(), 0.0f, height}, savedLimit);  // as above
    }
    mRowHeightKnown = 1;
}

QVResult LListBox::CreateItemControls()
{
    IControlApplication* app = GetControlApplication();
    IControlFactory* factory = app ? app->GetControlFactory() : nullptr;
    if (!factory || !mTemplate) return E_FAIL;
    const int32_t number = static_cast<int32_t>(mRows.size()) + 1;
    const String name = String(u"ItemControl") + String(std::to_string(number).c_str());
    RCPtr<IControlDescriptor> d(new RowDescriptor(mTemplate, name, double(mRows.size()) * mRowHeight, mRowHeight));
    RCPtr<LControl> control = factory->CreateControl(d, this);
    auto* row = dynamic_cast<LListBoxItem*>(control.Get());
    if (!row) {
        if (control) (void)control->Close();  // a failed close leaves it hidden; E_FAIL is returned either way
        return E_FAIL;
    }
    AttachRow(*row);
    (void)row->UpdateLayout();  // placed by its descriptor; a failure keeps that frame
    (void)RefreshItem(ItemOfRow(static_cast<uint32_t>(mRows.size() - 1)));  // only redraws the row from its item
    if (ItemOfRow(static_cast<uint32_t>(mRows.size() - 1)) < 0) ClearRow(*row);
    return S_OK;
}

void LListBox::AttachRow(LListBoxItem& row)
{
    RCPtr<LNotificationDistributor> source(&row);
    // Registration fails only for a null sender or name; both are set here.
    (void)mListHandler->RegisterHandler(&LListBox::OnRowMouseDown, source, u"NID_MOUSE_DOWN");
    (void)mListHandler->RegisterHandler(&LListBox::OnRowHoverChange, source, u"NID_HOVER_CONDITION_CHANGE");
    (void)mListHandler->RegisterHandler(&LListBox::OnRowLeftDragChange, source, u"NID_LEFT_DRAG_CONDITION_CHANGE");
    (void)mListHandler->RegisterHandler(&LListBox::OnRowClick, source, u"NID_LEFT_CLICK");
    row.SetMenuMode(mMenuMode != 0);
    // A row has no tip of its own unless its text is clipped; the list's shows instead.
    row.SetUseParentToolTip(true);
    (void)row.SetDragThreshold(mRowDragThreshold);  // a fixed, non-negative threshold
    mRows.push_back(static_cast<uint32_t>(GetChildren().IndexOf(&row)));
}

// Without a template the skin's own rows "item1", "item2", ... are the rows,
// each giving one item its text.
void LListBox::AdoptNumberedRows()
{
    for (int32_t number = 1;; ++number) {
        RCPtr<LControl> child = FindChildControl(String(u"item") + String(std::to_string(number).c_str()));
        auto* row = dynamic_cast<LListBoxItem*>(child.Get());
        if (!row) break;
        if (number == 1) CalculateRowHeight(*row);
        AttachRow(*row);
        const int32_t index = GetItemCount();
        if (InsertItem(index) == S_OK) GetItem(index)->text = row->GetText();
    }
    RefreshRowsFrom(mTopIndex);
    FitHeightToContent();
    UpdateContentExtent();
}

void LListBox::EnsureRowsCover()
{
    if (mCoveringRows || mApplyingDescriptor || !mRowHeightKnown || !mTemplate) return;
    mCoveringRows = 1;
    const double visible = GetClientRect().height;
    while (static_cast<double>(mRows.size()) * mRowHeight < visible && CreateItemControls() == S_OK) {
    }
    ShowRowsInClient();
    mCoveringRows = 0;
}

// Rows are never removed, so a list that shrank keeps rows that start below
// its client area; they are hidden rather than drawn past its lower edge.
void LListBox::ShowRowsInClient()
{
    const double visible = GetClientRect().height;
    for (uint32_t r = 0; r < mRows.size(); ++r) {
        LListBoxItem* row = GetRow(r);
        const bool inside = static_cast<double>(r) * mRowHeight < visible;
        if (row && row->GetLayout().isVisible != inside) row->SetVisible(inside);
    }
}

void LListBox::SnapHeightToRows()
{
    const double client = GetClientRect().height;
    const double frame = GetFrame().height - client;
    const int32_t rows = std::max(1, static_cast<int32_t>(std::floor(client / mRowHeight)));
    const LayoutRecord height{LayoutKind::kSelf, String(), 0.0f, frame + double(rows) * mRowHeight};
    ControlLayout layout = GetLayout();
    layout.size[1] = height;
    layout.minimum[1] = height;
    layout.limit[1] = height;
    SetLayout(layout);
    (void)UpdateLayout();  // a layout pass; without a layout the frame stays
}

QVResult LListBox::RefreshItem(int32_t index)
{
    const int32_t rowIndex = GetVisibleRowOfItem(index);
    LListBoxItem* row = rowIndex < 0 ? nullptr : GetRow(static_cast<uint32_t>(rowIndex));
    if (!row) return 1;
    const LListItemRecord* item = GetItem(index);
    row->SetEnabled(true);
    (void)row->SetText(item->text);  // 1 only means the text was unchanged
    row->SetValue(item->value);
    row->SetMarked(item->marked != 0);
    row->SetSeparator(item->separator != 0);
    return S_OK;
}

void LListBox::ClearRow(LListBoxItem& row)
{
    (void)row.SetText(String());  // 1 only means the text was unchanged
    row.SetValue(0.0);
    row.SetEnabled(false);
}

void LListBox::RefreshRowsFrom(int32_t)
{
    for (uint32_t r = 0; r < mRows.size(); ++r) {
        LListBoxItem* row = GetRow(r);
        if (!row) continue;
        const int32_t item = ItemOfRow(r);
        if (item >= 0) {
            (void)RefreshItem(item);  // only redraws the row from its item
        } else {
            ClearRow(*row);
        }
    }
}

void LListBox::UpdateContentExtent()
{
    if (mUpdatesSuspended) return;
    String sizing;
    const bool selfWidth = mTemplate && mTemplate->GetAttribute(u"XSizeToControl", sizing) && sizing == u"Self";
    (void)SetClientExtent(selfWidth ? mWidestTextWidth : 0, GetContentHeight());  // cannot fail; 1 is "unchanged"
}

void LListBox::UpdateWidestItem()
{
    if (mUpdatesSuspended) return;
    int32_t widest = 0;
    for (int32_t i = 0; i < GetItemCount(); ++i) widest = std::max(widest, GetItemTextWidth(i));
    SetWidestTextWidth(widest);
}

void LListBox::SetWidestTextWidth(int32_t width)
{
    if (mUpdatesSuspended || width == mWidestTextWidth) return;
    mWidestTextWidth = width;
    SetLayoutWidth();
}

void LListBox::SetLayoutWidth()
{
    FitToContent();
}

void LListBox::FitHeightToContent()
{
    FitToContent();
}

bool LListBox::ExpandsToText() const
{
    return mTemplate && mTemplate->GetLayout().textOverflow[0] == kOverflowExpand;
}

// A template that expands with its text widens the list to the widest item;
// a menu is as tall as its items.
void LListBox::FitToContent()
{
    if (mUpdatesSuspended || mFitting) return;
    mFitting = 1;
    UpdateContentExtent();
    const DoubleRect client = GetClientRect();
    const DoubleRect& frame = GetFrame();
    if (ExpandsToText()) {
        const double width = frame.width - client.width + GetContentExtent().x + mWidestTextWidth;
        // Axis 0 is valid, so only a changed flag comes back.
        (void)SetLayoutSize(0, LayoutRecord{LayoutKind::kSelf, String(), 0.0f, std::round(width)},
                            GetLayout().limit[0]);
    }
    if (mMenuMode) {
        const double height = frame.height - client.height + GetContentHeight();
        // Axis 1 is valid, so only a changed flag comes back.
        (void)SetLayoutSize(1, LayoutRecord{LayoutKind::kSelf, String(), 0.0f, std::round(height)},
                            GetLayout().limit[1]);
    }
    mFitting = 0;
}

void LListBox::OnScrollbarVisibilityChanged(int axis)
{
    if (axis == 1 && ExpandsToText()) SetLayoutWidth();
}

QVResult LListBox::EnsureVisible(int32_t index)
{
    if (!GetItem(index)) return E_INVALIDARG;
    int32_t i = index;
    while (i >= 0 && IsHidden(i)) --i;
    if (i < 0) {
        i = index;
        while (i < GetItemCount() && IsHidden(i)) ++i;
    }
    if (i >= GetItemCount() || mRows.empty()) return 1;
    index = i;
    const int32_t fullRows = static_cast<int32_t>(GetClientRect().height / mRowHeight);
    const int32_t v = std::max(0, fullRows - 1);
    // The top that shows the last items in v + 1 rows.
    int32_t last = GetItemCount() - 1, shown = 0;
    while (last > 0 && shown < v) {
        --last;
        if (!IsHidden(last)) ++shown;
    }
    const auto upFrom = [&](int32_t from, int32_t steps) {
        while (from > 0 && steps > 0) {
            --from;
            if (!IsHidden(from)) --steps;
        }
        return from;
    };
    // An item already in view leaves the list where it is: a hovered menu row
    // must not scroll the list away from under the pointer.
    const int32_t bottom = ItemOfRow(static_cast<uint32_t>(v));
    int32_t top = mTopIndex;
    if (index < mTopIndex) {
        top = index;
    } else if (bottom >= 0 && index > bottom) {
        top = upFrom(index, v);
    }
    top = std::min(top, last);  // never past the last items
    if (top == mTopIndex) return S_OK;
    int32_t before = 0;
    for (int32_t k = 0; k < top; ++k) {
        if (!IsHidden(k)) ++before;
    }
    const DoublePoint offset{GetScrollOffset().x, double(before) * mRowHeight};
    if (offset.y != GetScrollOffset().y) (void)SetScrollOffset(offset);  // scrolling cannot fail; 1 means no change
    return S_OK;
}

QVResult LListBox::SetScrollOffset(const DoublePoint& offset)
{
    const QVResult result = LScrollView::SetScrollOffset(offset);
    // The rows are docked: they keep their place in the client area while the
    // items move through them, so they follow the offset at once.
    if (result == S_OK) {
        for (uint32_t r = 0; r < mRows.size(); ++r) {
            if (LListBoxItem* row = GetRow(r)) (void)row->UpdateLayout();  // a row without a layout stays
        }
    }
    if (mRowHeight > 0) {
        int32_t top = static_cast<int32_t>(GetScrollOffset().y / mRowHeight);
        int32_t index = 0;
        for (int32_t seen = 0; index < GetItemCount(); ++index) {
            if (IsHidden(index)) continue;
            if (seen++ == top) break;
        }
        top = std::min(index, std::max(0, GetItemCount() - 1));
        if (top != mTopIndex) {
            mTopIndex = top;
            RefreshRowsFrom(top);
            RefocusScrolledRow();
        }
    }
    return result;
}

// The focused row now shows another item; hiding and showing it again lets
// the window drop what it kept for the old one.
void LListBox::RefocusScrolledRow()
{
    RCPtr<IRootWindow> root = GetRootWindow();
    RCPtr<LControl> focused = root ? root->GetFocusControl() : nullptr;
    if (!focused || focused->GetParent() != this || !dynamic_cast<LListBoxItem*>(focused.Get())) return;
    const int32_t index = GetChildren().IndexOf(focused.Get());
    if (std::find(mRows.begin(), mRows.end(), static_cast<uint32_t>(index)) == mRows.end()) return;
    focused->SetVisible(false);
    focused->SetVisible(true);
}

QVResult LListBox::ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor)
{
    RCPtr<LControl> self(this);
    mTemplate = nullptr;
    std::vector<RCPtr<LListBoxItem>> rows;
    for (uint32_t r = 0; r < mRows.size(); ++r) rows.emplace_back(GetRow(r));
    mApplyingDescriptor = 1;
    const QVResult result = LScrollView::ApplyDescriptor(descriptor);
    if (Failed(result) || !IsInitialized()) {
        mApplyingDescriptor = 0;
        return result;
    }
    // Skin rows the new descriptor names again stay rows; the others went.
    mRows.clear();
    for (const RCPtr<LListBoxItem>& row : rows) {
        if (row && row->GetParent() == this) mRows.push_back(static_cast<uint32_t>(GetChildren().IndexOf(row.Get())));
    }
    for (uint32_t i = 0; !mTemplate && i < descriptor->GetChildCount(); ++i) {
        RCPtr<IControlDescriptor> entry = descriptor->GetChild(i);
        if (entry && entry->GetName() == u"templateItem") {
            (void)SetParent(nullptr, entry);  // a template named so is always taken
            SetItemScrolling(true, mRowHeight);
        }
    }
    // Rows are made once the measuring row has gone.
    mApplyingDescriptor = 0;
    EnsureRowsCover();
    RefreshRowsFrom(mTopIndex);
    UpdateWidestItem();
    return result;
}

void LListBox::EndBoundsChange()
{
    LScrollView::EndBoundsChange();
    EnsureRowsCover();
    ShowRowsInClient();
    if (GetItemCount() > 0) (void)EnsureVisible(std::min(mTopIndex, GetItemCount() - 1));  // an index in range
}

bool LListBox::OnChildChanged(LControl* child)
{
    const bool result = LScrollView::OnChildChanged(child);
    EnsureRowsCover();
    return result;
}

void LListBox::OnChildRemoved(LControl* child, uint32_t formerIndex)
{
    // Only the row that went is forgotten: a measuring row closed after the
    // rows exist is no row and must not take a live one with it.
    const auto gone = std::find(mRows.begin(), mRows.end(), formerIndex);
    if (gone != mRows.end() && dynamic_cast<LListBoxItem*>(child)) mRows.erase(gone);
    for (uint32_t& r : mRows) {
        if (r > formerIndex) --r;
    }
    LScrollView::OnChildRemoved(child, formerIndex);
}

int32_t LListBox::GetItemIndexAtPoint(const DoublePoint& point) const
{
    const DoubleRect client = GetClientRect();
    if (point.x < client.x || point.x >= client.x + client.width || point.y < client.y) return -1;
    const uint32_t row = static_cast<uint32_t>((point.y - client.y) / mRowHeight);
    if (row >= mRows.size()) return -1;
    return ItemOfRow(row);
}

// ---- input ----

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
    const uint32_t vk = (flags >> 16) & 0xFF;
    const bool plain = (flags & (KeyCode::kCtrl | KeyCode::kShift | KeyCode::kAlt | KeyCode::kCommand)) == 0 && (flags & KeyCode::kKeyDown);
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

void LListBox::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    LScrollView::OnConditionsChanged(param);
    if (!param) return;
    const uint32_t changed = param->oldConditions ^ param->newConditions;
    if (!(changed & (Condition::kEnabled | Condition::kHasFocus))) return;
    int32_t part = !IsEnabledInTree(true) ? kDisabled : HasFocus() ? kFocused : kNormal;
    if (!GetVisualPart(part)) part = kNormal;
    (void)ShowPart(part, true);  // only the look; a skin without it keeps the current one
}

}  // namespace QV
