#pragma once
// A text field with a list that drops down below it.
#include "LDropDownControl.h"
#include "LListBox.h"

namespace QV {

class LComboBox : public LDropDownControl {
    QV_TYPE_NAME("class QV::LComboBox")
public:
    LComboBox(LControl* parent, const String& name);
    ~LComboBox() override;

    QVResult LoadProperties() override;
    // Open: the list is shown with an area.
    bool IsDropDownOpen() const override;
    QVResult ShowDropDown(bool show) override;
    virtual QVResult SetItemCount(int32_t count);
    virtual QVResult SetSelectedIndex(int32_t index);

    int32_t GetSelectedIndex() const { return mSelectedIndex; }
    int32_t GetInitialSelectedIndex() const { return mInitialSelectedIndex; }
    RCPtr<LListBox> GetListBox() const { return mListBox; }

    QV_OWN_HANDLER_OVERRIDES

protected:
    RCPtr<LNotificationHandler<LComboBox>> mComboHandler;
    RCPtr<LListBox> mListBox;
    int32_t mSelectedIndex = -1;
    int32_t mInitialSelectedIndex = 0;
    // Where the list sits from the pointer when a drag of the box begins.
    double mListOffsetX = 0.0;
    double mListOffsetY = 0.0;
    bool mKeepsUnmatchedText = false;
    bool mMatchCase = false;
};

}  // namespace QV
