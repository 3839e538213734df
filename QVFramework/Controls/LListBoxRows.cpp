// The recycled row controls: made from the template or taken from the skin,
// and bound to the items they show.
#include "LListBox.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "IControlApplication.h"
#include "RenamedControlDescriptor.h"

namespace QV {

namespace {

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

}  // namespace

QVResult LListBox::Initialize()
{
    const QVResult result = LScrollView::Initialize();
    if (result < 0) return result;
    mListHandler = new LNotificationHandler<LListBox>(this);
    SetAutoClientExtent(0, 0, 0);
    if (RCPtr<LControl> templ = FindChildControl(u"templateItem")) {
        mTemplate = templ->GetDescriptor();
        CalculateRowHeight(*templ);
        templ->Close();  // hidden first; a template left attached stays invisible
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
        templ->Close();  // hidden first; a template left attached stays invisible
    }
    return S_OK;
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

void LListBox::CalculateRowHeight(LControl& row)
{
    // Measuring re-lays the row out, which may pull the list's height along.
    const LayoutRecord savedSize = GetLayout().size[1];
    const LayoutRecord savedLimit = GetLayout().limit[1];
    const String saved = row.GetText();
    row.SetText(String());
    row.UpdateLayout();
    mTextMargin = static_cast<int32_t>(std::lround(row.GetFrame().width));
    row.SetText(u"{WXyg|}");
    row.UpdateLayout();
    const int32_t height = static_cast<int32_t>(std::lround(row.GetFrame().height));
    mRowHeight = height < 1 ? kDefaultRowHeight : height;
    row.SetText(saved);
    if (!(GetLayout().size[1] == savedSize && GetLayout().limit[1] == savedLimit))
        SetLayoutSize(1, savedSize, savedLimit);
    if (mMenuMode) {
        const double frame = GetFrame().height - GetClientRect().height;
        const double height = frame + double(mRowHeight) * std::max(GetItemCount(), 1);
        SetLayoutSize(1, LayoutRecord{LayoutKind::kSelf, String(), 0.0f, height}, savedLimit);
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
        if (control) control->Close();
        return E_FAIL;
    }
    AttachRow(*row);
    row->UpdateLayout();
    RefreshItem(ItemOfRow(static_cast<uint32_t>(mRows.size() - 1)));
    if (ItemOfRow(static_cast<uint32_t>(mRows.size() - 1)) < 0) ClearRow(*row);
    return S_OK;
}

void LListBox::AttachRow(LListBoxItem& row)
{
    RCPtr<LNotificationDistributor> source(&row);
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

void LListBox::EndBoundsChange()
{
    LScrollView::EndBoundsChange();
    EnsureRowsCover();
    ShowRowsInClient();
    if (GetItemCount() > 0) EnsureVisible(std::min(mTopIndex, GetItemCount() - 1));
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

void LListBox::SetMenuMode(bool on)
{
    mMenuMode = on ? 1 : 0;
    for (uint32_t r = 0; r < mRows.size(); ++r) {
        if (LListBoxItem* row = GetRow(r)) row->SetMenuMode(on);
    }
}

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

LListBoxItem* LListBox::GetRowOfItem(int32_t index) const
{
    const int32_t row = GetVisibleRowOfItem(index);
    return row < 0 ? nullptr : GetRow(static_cast<uint32_t>(row));
}

int32_t LListBox::GetItemIndexAtPoint(const DoublePoint& point) const
{
    const DoubleRect client = GetClientRect();
    if (point.x < client.x || point.x >= client.x + client.width || point.y < client.y) return -1;
    const uint32_t row = static_cast<uint32_t>((point.y - client.y) / mRowHeight);
    if (row >= mRows.size()) return -1;
    return ItemOfRow(row);
}

QVResult LListBox::RefreshItem(int32_t index)
{
    LListBoxItem* row = GetRowOfItem(index);
    if (!row) return kNothingToDo;
    const LListItemRecord* item = GetItem(index);
    row->SetEnabled(true);
    row->SetText(item->text);
    row->SetValue(item->value);
    row->SetMarked(item->marked != 0);
    row->SetSeparator(item->separator != 0);
    return S_OK;
}

void LListBox::ClearRow(LListBoxItem& row)
{
    row.SetText(String());
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
            RefreshItem(item);
        } else {
            ClearRow(*row);
        }
    }
}

DoubleRect LListBox::GetItemRect(int32_t index) const
{
    const LListBoxItem* control = GetRowOfItem(index);
    return control ? control->GetFrame() : DoubleRect{};
}

QVResult LListBox::SetItemActive(int32_t index, bool active)
{
    LListBoxItem* control = GetRowOfItem(index);
    if (!control) return E_INVALIDARG;
    control->SetActiveCondition(active);
    return S_OK;
}

QVResult LListBox::ShowItemRowPart(int32_t index, int32_t part)
{
    LListBoxItem* control = GetRowOfItem(index);
    if (!control || part < 0 || control->GetVisualPartIndex(part) != part) return E_INVALIDARG;
    return control->ShowPart(part, true);
}

}  // namespace QV
