#include "LComboSlider.h"

namespace QV {

LComboSlider::LComboSlider(LControl* parent, const String& name) : LDropDownControl(parent, name) {}

LComboSlider::~LComboSlider() = default;

QV_OWN_HANDLER_DEFINITIONS(LComboSlider, LDropDownControl, mComboSliderHandler)

bool LComboSlider::IsDropDownOpen() const
{
    return mDropDownPanel && mDropDownPanel->IsEffectivelyVisible(false);
}

QVResult LComboSlider::ShowDropDown(bool)
{
    return E_NOTIMPL;
}

}  // namespace QV
