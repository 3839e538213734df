#pragma once
// A menu button of the menu bar: a button whose "popupMenu" child drops down
// below it.
#include "LDropDownControl.h"

namespace QV {

class LComboMenu : public LDropDownControl {
    QV_TYPE_NAME("class QV::LComboMenu")
public:
    LComboMenu(LControl* parent, const String& name);
    ~LComboMenu() override;

    bool IsDropDownOpen() const override;
    QVResult ShowDropDown(bool show) override;
};

}  // namespace QV
