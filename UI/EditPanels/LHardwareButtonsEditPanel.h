#pragma once
// The hardware-button group ("ZiroruVovizu.HardwareButtons"): one byte, the
// type of its two buttons ("button1", "button2"), which relabels them and
// decides their fields. It numbers and routes to the buttons as the group
// module does.
#include "HardwareButtonsInterface.h"
#include "LEditPanel.h"
#include "LHardwareButtonEditPanel.h"

class LHardwareButtonsEditPanel : public LEditPanel<LHardwareButtonsEditPanel, IHardwareButtons> {
    QV_TYPE_NAME("class LHardwareButtonsEditPanel")
public:
    LHardwareButtonsEditPanel(QV::LControl* parent, const QV::String& name);

    using IHardwareButtons::GetHardwareButton;
    QV::RCPtr<IHardwareButton> GetHardwareButton(int32_t index) override;

protected:
    void InitializeParts() override;
    bool AcceptsBytes(const uint8_t* bytes) const override;
    [[nodiscard]] QV::QVResult AfterApply() override;
    void BeforeSend(QV::LNotificationDistributor* sender) override;

private:
    QV::RCPtr<LHardwareButtonEditPanel> Button(int32_t index) const;
    void ShowTypeOnButtons();
};
