#pragma once
// A scrolling list of text items drawn through a few recycled row controls.
// UI thread only.
#include <vector>

#include "LItemConditionsParam.h"
#include "LListBoxItem.h"
#include "LListItemRecord.h"
#include "LScrollView.h"
#include "OwnHandler.h"

namespace QV {

class LListBox : public LScrollView {
    QV_TYPE_NAME("class QV::LListBox")
public:
    // Look indices of the list's own frame; a skin without one shows kNormal.
    enum Part : int32_t { kNormal = 0, kDisabled = 1, kFocused = 2 };

    static constexpr int32_t kDefaultRowHeight = 14;
    // A template's horizontal text overflow that widens the list.
    static constexpr int32_t kOverflowExpand = 1;

    LListBox(LControl* parent, const String& name);
    ~LListBox() override;

    // ---- items (derived lists with larger records replace these) ----
    virtual int32_t GetItemCount() const;
    // count, or minus the count reached when it differs.
    virtual int32_t SetItemCount(int32_t count);
    virtual LListItemRecord* GetItem(int32_t index);
    const LListItemRecord* GetItem(int32_t index) const { return const_cast<LListBox*>(this)->GetItem(index); }
    [[nodiscard]] virtual QVResult InsertItem(int32_t index);
    [[nodiscard]] virtual QVResult EraseItem(int32_t index);
    [[nodiscard]] virtual QVResult SwapItems(int32_t first, int32_t second);
    virtual bool IsItemSelectable(int32_t) const { return true; }

    // ---- hooks and measures ----
    virtual void OnSelectionChanged() {}
    virtual void OnItemActivated(int32_t) {}
    virtual int32_t GetItemIndexOfControl(const LControl* control) const;
    virtual int32_t GetVisibleRowOfItem(int32_t index) const;
    virtual int32_t GetItemTextWidth(int32_t index) const;
    virtual int32_t GetContentHeight() const;
    virtual QVResult RefreshItem(int32_t index);
    [[nodiscard]] virtual QVResult CreateItemControls();
    // A row shown past the last item.
    virtual void ClearRow(LListBoxItem& row);
    virtual bool Sort() { return SortItems(0, GetItemCount()) >= 0; }
    [[nodiscard]] virtual QVResult SortItems(int32_t start, int32_t count);

    // ---- item texts ----
    int32_t InsertItemWithText(int32_t index, const String& text);
    // Appends the texts as items, then refreshes the rows and fits the size
    // once: a long list filled item by item re-fits after every one.
    [[nodiscard]] QVResult AppendItemsWithText(const std::vector<String>& texts);
    [[nodiscard]] QVResult SetItemText(int32_t index, const String& text);
    String GetItemText(int32_t index) const;
    int32_t RemoveItem(int32_t index);
    [[nodiscard]] QVResult ClearItems();
    [[nodiscard]] QVResult LoadItemsFromDescriptor(const RCPtr<IControlDescriptor>& descriptor);
    int32_t FindItemByText(const String& text, bool caseSensitive) const;
    int32_t FindAndSelectItem(const String& text, int32_t start, bool caseSensitive);
    // Stores the whole record without notification; E_INVALIDARG past the end.
    [[nodiscard]] QVResult SetItem(int32_t index, const String& text, double value, bool marked, bool separator);
    // 0 past the end, else 1.
    int32_t SetItemSeparator(int32_t index, bool on);
    int32_t SetItemMarked(int32_t index, bool on);
    bool GetItemMarked(int32_t index) const;
    // The row that shows the item, in the list's coordinates; empty when no row shows it.
    DoubleRect GetItemRect(int32_t index) const;
    // Each E_INVALIDARG when no row shows the item; ShowItemRowPart also for a part the row lacks.
    [[nodiscard]] QVResult SetItemActive(int32_t index, bool active);
    [[nodiscard]] QVResult ShowItemRowPart(int32_t index, int32_t part);

    // ---- selection ----
    int32_t SelectItem(int32_t first, int32_t last, bool exclusive);
    void SetItemSelected(int32_t index, double value);
    [[nodiscard]] QVResult DeselectItem(int32_t index);
    void DeselectAll();
    std::vector<int32_t> GetSelectedIndexes() const;
    double GetItemValue(int32_t index) const;
    void ActivateItem(int32_t index);
    QVResult EnsureVisible(int32_t index);
    int32_t GetItemIndexAtPoint(const DoublePoint& point) const;
    void SetMenuMode(bool on);
    // Layout height, minimum and maximum become the frame plus the whole rows
    // that fit (at least one).
    void SnapHeightToRows();
    uint32_t GetRowCount() const { return static_cast<uint32_t>(mRows.size()); }
    LListBoxItem* GetRow(uint32_t row) const;

    // ---- control slots ----
    [[nodiscard]] QVResult Initialize() override;
    // A kept skin row "item%d" takes its place among the rows; without a
    // control only a descriptor "templateItem" is taken (else E_FAIL).
    [[nodiscard]] QVResult SetParent(const RCPtr<LControl>& child, const RCPtr<IControlDescriptor>& descriptor) override;
    [[nodiscard]] QVResult OnKeyDown(const RCPtr<LKeyParam>& key) override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    void OnMouseMove(const RCPtr<LPointWithModifiersParam>& param) override;
    void OnLeftMouseUp(const RCPtr<LMouseButtonParam>& param) override;
    QVResult SetScrollOffset(const DoublePoint& offset) override;
    // Rows made from the old template go with the old children; the new
    // descriptor's "templateItem" makes them again.
    [[nodiscard]] QVResult ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor) override;
    void EndBoundsChange() override;
    bool OnChildChanged(LControl* child) override;
    void OnChildRemoved(LControl* child, uint32_t formerIndex) override;

    // ---- state ----
    int32_t GetAnchor() const { return mAnchor; }
    int32_t GetCaret() const { return mCaret; }
    bool IsMenuMode() const { return mMenuMode != 0; }
    int32_t GetRowHeight() const { return mRowHeight; }
    int32_t GetWidestTextWidth() const { return mWidestTextWidth; }
    int32_t GetSelectedCount() const { return mSelectedCount; }
    int32_t GetRowDragThreshold() const { return mRowDragThreshold; }
    int32_t GetTopIndex() const { return mTopIndex; }
    // The item last activated; -1 before any.
    int32_t GetActivatedIndex() const { return mActivatedIndex; }

    QV_OWN_HANDLER_OVERRIDES

protected:
    // The record array steps of InsertItem and EraseItem, for any record type.
    template <class Record>
    static QVResult InsertRecord(std::vector<Record>& records, int32_t index)
    {
        if (index < 0 || index > static_cast<int32_t>(records.size())) return E_INVALIDARG;
        records.insert(records.begin() + index, Record());
        return S_OK;
    }
    template <class Record>
    static QVResult EraseRecord(std::vector<Record>& records, int32_t index)
    {
        if (index < 0 || index >= static_cast<int32_t>(records.size())) return E_INVALIDARG;
        records.erase(records.begin() + index);
        return S_OK;
    }

    void CalculateRowHeight(LControl& row);
    void EnsureRowsCover();
    void ShowRowsInClient();
    void FitToContent();
    bool ExpandsToText() const;
    void AttachRow(LListBoxItem& row);
    void AdoptNumberedRows();
    void RefreshRowsFrom(int32_t index);
    void UpdateContentExtent();
    void UpdateWidestItem();
    void SetWidestTextWidth(int32_t width);
    // Stores one byte of the item's record and shows it; 0 past the end, else 1.
    int32_t SetItemFlag(int32_t index, uint8_t LListItemRecord::*flag, bool on);
    // After an item's text changed from one oldWidth wide.
    void KeepWidestTextWidth(int32_t index, int32_t oldWidth);
    void SetLayoutWidth();
    void FitHeightToContent();
    void OnScrollbarVisibilityChanged(int axis) override;
    void NotifySelectionChange();
    void RefocusScrolledRow();
    int32_t ItemOfRow(uint32_t row) const;
    // The row that shows the item; null when none does.
    LListBoxItem* GetRowOfItem(int32_t index) const;
    bool IsHidden(int32_t index) const;
    [[nodiscard]] QVResult OnRowMouseDown(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnRowClick(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnRowHoverChange(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnRowLeftDragChange(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification);
    RCPtr<LItemConditionsParam> ItemConditions(const LControl& row, const LConditionsParam* change) const;

    RCPtr<LNotificationHandler<LListBox>> mListHandler;
    std::vector<LListItemRecord> mItems;
    // Indexes into the child list, top row first.
    std::vector<uint32_t> mRows;
    RCPtr<IControlDescriptor> mTemplate;
    int32_t mAnchor = -1;
    int32_t mCaret = -1;
    uint8_t mMenuMode = 0;
    int32_t mRowHeight = kDefaultRowHeight;
    int32_t mTextMargin = 0;
    int32_t mWidestTextWidth = 0;
    int32_t mSelectedCount = 0;
    int32_t mRowDragThreshold = 1;
    int32_t mTopIndex = 0;
    int32_t mActivatedIndex = -1;
    // Re-entrance guards of covering with rows and of applying a descriptor.
    uint8_t mCoveringRows = 0;
    uint8_t mApplyingDescriptor = 0;
    uint8_t mRowHeightKnown = 0;
    uint8_t mUpdatesSuspended = 0;
    uint8_t mFitting = 0;
};

}  // namespace QV
