#pragma once
// The hardware-button group: its own type parameter and its two buttons.
#include "HardwareButtonsInterface.h"
#include "PartModules.h"
#include "RCPtrArray.h"

class LHardwareButtons final : public LPartModule<IHardwareButtons> {
    QV_TYPE_NAME("class LHardwareButtons")
public:
    LHardwareButtons() : LPartModule<IHardwareButtons>(kHardwareButtonsPart) {}
    static QV::RCPtr<LHardwareButtons> Create();

    using IHardwareButtons::GetHardwareButton;
    QV::RCPtr<IHardwareButton> GetHardwareButton(int32_t index) override;
    void CreateChildModules() override;

private:
    QV::RCPtrArray<LHardwareButton> mButtons;
};
