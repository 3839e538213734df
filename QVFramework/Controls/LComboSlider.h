#pragma once
// A value field with a slider that drops down below it.
#include "LDropDownControl.h"

namespace QV {

class LComboSlider : public LDropDownControl {
    QV_TYPE_NAME("class QV::LComboSlider")
public:
    LComboSlider(LControl* parent, const String& name);
    ~LComboSlider() override;

    bool IsDropDownOpen() const override;
    [[nodiscard]] QVResult ShowDropDown(bool show) override;

    int32_t GetDecimals() const { return mDecimals; }

    QV_OWN_HANDLER_OVERRIDES

protected:
    RCPtr<LNotificationHandler<LComboSlider>> mComboSliderHandler;
    RCPtr<LControl> mDropDownPanel;
    int32_t mDecimals = 0;
};

}  // namespace QV
