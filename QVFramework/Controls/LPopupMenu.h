#pragma once
// A menu shown as a checked list in menu mode.
#include "LCheckedListBox.h"

namespace QV {

class LPopupMenu : public LCheckedListBox {
    QV_TYPE_NAME("class QV::LPopupMenu")
public:
    LPopupMenu(LControl* parent, const String& name);
    ~LPopupMenu() override;

    QVResult Activate(LControl*) override { return S_OK; }
    QVResult SwapItems(int32_t, int32_t) override { return E_NOTIMPL; }

    QV_OWN_HANDLER_OVERRIDES

protected:
    RCPtr<LNotificationHandler<LPopupMenu>> mPopupHandler;
    RCPtr<LRefCountedObject> mMenuDescriptor;
    int32_t mValues[4] = {0, 0, 0, 0};
    bool mFlag = false;
    bool mFlags[3] = {false, true, false};
    // Set when the rows are built; read when measuring labels with hot keys.
    int32_t mRowMeasures[2] = {0, 0};
};

}  // namespace QV
