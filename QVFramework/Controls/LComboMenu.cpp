#include "LComboMenu.h"

namespace QV {

LComboMenu::LComboMenu(LControl* parent, const String& name) : LDropDownControl(parent, name) {}

LComboMenu::~LComboMenu() = default;

bool LComboMenu::IsDropDownOpen() const
{
    return false;
}

QVResult LComboMenu::ShowDropDown(bool)
{
    return E_NOTIMPL;
}

}  // namespace QV
