#pragma once
// A row of a checked list box: its "checkBox" child shows the item's check
// flag, and the item's icon is laid over its looks when the list shows icons.
// With tick-only set (menus) the box is shown only while checked.
#include "LBitmap.h"
#include "LButton.h"
#include "LListBoxItem.h"

namespace QV {

class LCheckedListBoxItem : public LListBoxItem {
    QV_TYPE_NAME("class QV::LCheckedListBoxItem")
public:
    LCheckedListBoxItem(LControl* parent, const String& name);
    ~LCheckedListBoxItem() override;

    // Null when the skin gives the row no "checkBox" child of the button class.
    RCPtr<LButton> GetCheckBox() const;
    void SetChecked(bool checked);
    void SetShowIcon(bool on);
    void SetTickOnly(bool on);
    // Null: no icon.
    void SetIcon(const RCPtr<LBitmap>& icon);

    bool ShowsIcon() const { return mShowIcon; }
    bool IsTickOnly() const { return mTickOnly; }
    RCPtr<LBitmap> GetIcon() const { return mIcon; }

private:
    void ApplyIcon();
    void ShowBox();

    bool mShowIcon = false;
    bool mTickOnly = false;
    RCPtr<LBitmap> mIcon;
};

}  // namespace QV
