#pragma once
// A text field with a list that drops down below or above it. Items come
// from the descriptor's "ITEM.nn" strings; a change of the selection is
// announced with "NID_SELECTION_CHANGE" from the combo itself. An optional
// "textBox" child lets the user type a choice. UI thread only.
#include "LDropDownControl.h"
#include "LListBox.h"

namespace QV {

class LTextBox;

class LComboBox : public LDropDownControl {
    QV_TYPE_NAME("class QV::LComboBox")
public:
    // Look indices; kFocused is added to kNormal or kHover.
    enum Part : int32_t { kNormal = 0, kFocused = 1, kHover = 2, kOpen = 4, kOpenHover = 5, kDisabled = 6 };

    LComboBox(LControl* parent, const String& name);
    ~LComboBox() override;

    [[nodiscard]] QVResult LoadProperties() override;
    [[nodiscard]] QVResult Initialize() override;
    QVResult OnInitialized() override;
    // Shows the text and selects the item that has it (none when no item has).
    QVResult SetText(const String& text) override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& conditions) override;
    [[nodiscard]] QVResult OnKeyDown(const RCPtr<LKeyParam>& key) override;
    void HandleKey(const RCPtr<LKeyParam>& key) override;
    String GetToolTipText() const override;

    // Open: the list is shown with an area.
    bool IsDropDownOpen() const override;
    [[nodiscard]] QVResult ShowDropDown(bool show) override { return ShowList(show); }
    [[nodiscard]] QVResult ShowList(bool open);

    [[nodiscard]] virtual QVResult SetItemCount(int32_t count);
    // The selected index, -1 for none; "NID_SELECTION_CHANGE" when it changed.
    virtual int32_t SetSelectedIndex(int32_t index);
    virtual QVResult UpdateVisualPart();

    // The item's position, or a negative result; the same item stays selected.
    int32_t InsertItem(int32_t index, const String& text);
    int32_t AddItem(const String& text);
    // Empty past the end or without a list.
    String GetItemText(int32_t index) const;
    int32_t GetItemCount() const { return mListBox ? mListBox->GetItemCount() : 0; }

    int32_t GetSelectedIndex() const { return mSelectedIndex; }
    int32_t GetInitialSelectedIndex() const { return mInitialSelectedIndex; }
    RCPtr<LListBox> GetListBox() const { return mListBox; }
    void SetAddTypedItems(bool on) { mAddTypedItems = on; }
    void SetFindCaseSensitive(bool on) { mFindFlag = on; }

    QV_OWN_HANDLER_OVERRIDES

protected:
    RCPtr<LTextBox> FindTextBox() const;
    [[nodiscard]] QVResult OnListVisibility(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&);
    [[nodiscard]] QVResult OnItemActivated(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&);
    [[nodiscard]] QVResult OnListMouseUp(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult PassOn(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnTextValidated(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification);
    [[nodiscard]] QVResult OnTextFocus(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification);
    void PlaceList();
    void SnapListToRows();
    void ReclaimFocus();
    void SelectShownText();

    RCPtr<LNotificationHandler<LComboBox>> mComboHandler;
    RCPtr<LListBox> mListBox;
    int32_t mSelectedIndex = -1;
    int32_t mInitialSelectedIndex = 0;
    // Where the last left press fell, in the combo's own coordinates.
    DoublePoint mPressPoint;
    // The list's height in whole rows when its skin sets no maximum; 0 unknown.
    double mDropDownHeight = 0.0;
    bool mAddTypedItems = false;
    bool mFindFlag = false;
};

// True when a left release reported by a drop-down's list fell outside the
// rectangle of the list's owner.
bool IsReleaseOutsideOwner(const LControl& list, const LControl& owner, const RCPtr<LNotification>& notification);

}  // namespace QV
