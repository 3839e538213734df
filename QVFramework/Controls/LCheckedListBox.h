#pragma once
// A list whose rows carry a check box and an optional icon. It keeps one
// check flag per item and their count, and reports clicks on the boxes with
// "NID_ITEM_CHECK_CHANGE" (auto-check: the box toggled itself) or
// "NID_ITEM_CHECKBOX_CLICKED" (the owner decides), posted from the list.
#include <vector>

#include "LBitmap.h"
#include "LCheckedListBoxItem.h"
#include "LListBox.h"
#include "PendingPosts.h"

namespace QV {

struct LCheckedItemRecord : LListItemRecord {
    bool checked = false;
    RCPtr<LBitmap> icon;
};

class LCheckedListBox : public LListBox {
    QV_TYPE_NAME("class QV::LCheckedListBox")
public:
    // Look indices: the list's frame as LListBox's, and a look whose part
    // images are the item icons (not drawn as a frame). Lists derived from
    // this one leave kIcons to their own use.
    enum Part : int32_t {
        kNormal = LListBox::kNormal,
        kDisabled = LListBox::kDisabled,
        kFocused = LListBox::kFocused,
        kIcons = 3
    };

    LCheckedListBox(LControl* parent, const String& name);
    ~LCheckedListBox() override;

    [[nodiscard]] QVResult Initialize() override;
    [[nodiscard]] QVResult CreateItemControls() override;
    QVResult RefreshItem(int32_t index) override;
    void ClearRow(LListBoxItem& row) override;
    int32_t GetItemCount() const override;
    int32_t SetItemCount(int32_t count) override;
    LCheckedItemRecord* GetItem(int32_t index) override;
    [[nodiscard]] QVResult InsertItem(int32_t index) override;
    [[nodiscard]] QVResult EraseItem(int32_t index) override;
    [[nodiscard]] QVResult SwapItems(int32_t first, int32_t second) override;
    virtual void UpdateCheckedCount();
    virtual void SetAutoCheck(bool on);
    void OnTimer() override;

    // False past the end.
    bool IsItemChecked(int32_t index) const;
    // Changes the count only when the flag changes; nothing past the end.
    void SetItemChecked(int32_t index, bool checked);
    // The icons array cycles over the items; without it each item's own icon.
    RCPtr<LBitmap> GetItemIcon(int32_t index) const;
    const std::vector<RCPtr<LBitmap>>& GetIcons() const { return mIcons; }
    void SetShowIcons(bool on);

    // What a click on an item's check box does, given the box's value after
    // the click: auto-check follows the box and posts the change; otherwise
    // the click is only reported.
    void OnCheckBoxValue(int32_t index, double value);
    void OnCheckBoxClicked(int32_t index, double value);

    bool ShowsIcons() const { return mShowIcons; }
    bool IsAutoCheck() const { return mAutoCheck; }
    int32_t GetCheckedCount() const { return mCheckedCount; }

    QV_OWN_HANDLER_OVERRIDES

protected:
    // Takes the icons from the kIcons look and shows them, when the skin gives one.
    void LoadSkinIcons();
    [[nodiscard]] QVResult OnBoxValueChange(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&);
    [[nodiscard]] QVResult OnBoxClick(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&);
    // Hands the box's item and value to handle, then shows the item again; 1.
    [[nodiscard]] QVResult OnBoxNotification(const RCPtr<LNotificationDistributor>& sender,
                                             void (LCheckedListBox::*handle)(int32_t, double));
    // Subscribes to the row's box in the mode in force, dropping the other.
    void WireRow(LCheckedListBoxItem& row);
    // Sets a row's box without the change coming back as the user's.
    void SetRowChecked(LCheckedListBoxItem& row, bool checked);
    LCheckedListBoxItem* GetCheckedRow(uint32_t row) const;

    RCPtr<LNotificationHandler<LCheckedListBox>> mCheckedHandler;
    std::vector<LCheckedItemRecord> mCheckedItems;
    bool mShowIcons = false;
    bool mSecondRowFlag = false;
    bool mAutoCheck = true;
    int32_t mCheckedCount = 0;
    std::vector<RCPtr<LBitmap>> mIcons;
    PendingPosts mPosts;
};

}  // namespace QV
