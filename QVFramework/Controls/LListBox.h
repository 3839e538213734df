#pragma once
// A scrolling list of text items drawn through a few recycled row controls.
// UI thread only.
#include <vector>

#include "LScrollView.h"
#include "LListItemRecord.h"
#include "OwnHandler.h"

namespace QV {

class LListBox : public LScrollView {
    QV_TYPE_NAME("class QV::LListBox")
public:
    static constexpr int32_t kDefaultRowHeight = 14;

    LListBox(LControl* parent, const String& name);
    ~LListBox() override;

    // ---- items (derived lists with larger records replace these) ----
    virtual int32_t GetItemCount() const;
    // count, or minus the count reached when it differs.
    virtual int32_t SetItemCount(int32_t count);
    virtual LListItemRecord* GetItem(int32_t index);
    const LListItemRecord* GetItem(int32_t index) const { return const_cast<LListBox*>(this)->GetItem(index); }
    virtual QVResult InsertItem(int32_t index);
    virtual QVResult EraseItem(int32_t index);
    virtual QVResult SwapItems(int32_t first, int32_t second);
    virtual bool IsItemSelectable(int32_t) const { return true; }

    // ---- hooks and measures ----
    virtual void OnSelectionChanged() {}
    virtual void OnItemActivated(int32_t) {}

    // ---- state ----
    int32_t GetAnchor() const { return mAnchor; }
    int32_t GetCaret() const { return mCaret; }
    bool IsMenuMode() const { return mMenuMode != 0; }
    int32_t GetRowHeight() const { return mRowHeight; }
    int32_t GetWidestTextWidth() const { return mWidestTextWidth; }
    int32_t GetSelectedCount() const { return mSelectedCount; }
    int32_t GetRowDragThreshold() const { return mRowDragThreshold; }
    int32_t GetTopIndex() const { return mTopIndex; }

    QV_OWN_HANDLER_OVERRIDES

protected:
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
    // Re-entrance guards of covering with rows and of applying a descriptor.
    uint8_t mCoveringRows = 0;
    uint8_t mApplyingDescriptor = 0;
    uint8_t mRowHeightKnown = 0;
    uint8_t mUpdatesSuspended = 0;
};

}  // namespace QV
