#pragma once
// One of the two hardware buttons ("ZiroruVovizu.HardwareButtons.HardwareButton",
// "button1" and "button2" inside the group): eight bytes whose meaning
// follows the group's type. Byte 0 is the MIDI channel, or the MMC device
// ID for the type MMC; the fields of the group's type show, the others hide,
// and the title names the button's role for that type.
#include "EditPanelTypes.h"
#include "HardwareButtonsInterface.h"
#include "LEditPanel.h"

class LHardwareButtonEditPanel : public LEditPanel<LHardwareButtonEditPanel, IHardwareButton> {
    QV_TYPE_NAME("class LHardwareButtonEditPanel")
public:
    LHardwareButtonEditPanel(QV::LControl* parent, const QV::String& name);

    // The group's type (a HardwareButtonType) and this button's place in the group (0, 1).
    void SetButtonType(int32_t type, int32_t buttonIndex);
    int32_t GetButtonType() const { return mButtonType; }

protected:
    int32_t CurrentType() const override { return mButtonType; }

private:
    int32_t mButtonType = 0;
};
