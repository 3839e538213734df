// The list's extent and size from its items, and scrolling an item into view.
#include "LListBox.h"

#include <algorithm>
#include <cmath>

#include "MeasurementRendererSource.h"

namespace QV {

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

void LListBox::UpdateContentExtent()
{
    if (mUpdatesSuspended) return;
    String sizing;
    const bool selfWidth = mTemplate && mTemplate->GetAttribute(u"XSizeToControl", sizing) && sizing == u"Self";
    SetClientExtent(selfWidth ? mWidestTextWidth : 0, GetContentHeight());
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
        SetLayoutSize(0, LayoutRecord{LayoutKind::kSelf, String(), 0.0f, std::round(width)},
                      GetLayout().limit[0]);
    }
    if (mMenuMode) {
        const double height = frame.height - client.height + GetContentHeight();
        SetLayoutSize(1, LayoutRecord{LayoutKind::kSelf, String(), 0.0f, std::round(height)},
                      GetLayout().limit[1]);
    }
    mFitting = 0;
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
    UpdateLayout();
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
    if (i >= GetItemCount() || mRows.empty()) return kNothingToDo;
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
    if (offset.y != GetScrollOffset().y) SetScrollOffset(offset);
    return S_OK;
}

QVResult LListBox::SetScrollOffset(const DoublePoint& offset)
{
    const QVResult result = LScrollView::SetScrollOffset(offset);
    // The rows are docked: they keep their place in the client area while the
    // items move through them, so they follow the offset at once.
    if (result == S_OK) {
        for (uint32_t r = 0; r < mRows.size(); ++r) {
            if (LListBoxItem* row = GetRow(r)) row->UpdateLayout();
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

}  // namespace QV
