#pragma once
// A list whose rows carry a check box and an optional icon.
#include <vector>

#include "LBitmap.h"
#include "LListBox.h"

namespace QV {

struct LCheckedItemRecord : LListItemRecord {
    bool checked = false;
    RCPtr<LBitmap> icon;
};

class LCheckedListBox : public LListBox {
    QV_TYPE_NAME("class QV::LCheckedListBox")
public:
    LCheckedListBox(LControl* parent, const String& name);
    ~LCheckedListBox() override;

    int32_t GetItemCount() const override;
    int32_t SetItemCount(int32_t count) override;
    LCheckedItemRecord* GetItem(int32_t index) override;
    QVResult InsertItem(int32_t index) override;
    QVResult EraseItem(int32_t index) override;
    QVResult SwapItems(int32_t first, int32_t second) override;
    virtual void UpdateCheckedCount();

    bool ShowsIcons() const { return mShowIcons; }
    bool IsAutoCheck() const { return mAutoCheck; }
    int32_t GetCheckedCount() const { return mCheckedCount; }

    QV_OWN_HANDLER_OVERRIDES

protected:
    RCPtr<LNotificationHandler<LCheckedListBox>> mCheckedHandler;
    std::vector<LCheckedItemRecord> mCheckedItems;
    bool mShowIcons = false;
    bool mSecondRowFlag = false;
    bool mAutoCheck = true;
    int32_t mCheckedCount = 0;
    std::vector<RCPtr<LBitmap>> mIcons;
};

}  // namespace QV
