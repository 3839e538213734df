#pragma once
// One foot switch ("ZiroruVovizu.FootSwitch", "footSwitch1", "footSwitch2"):
// thirteen bytes whose meaning follows its type (byte 1). Only the fields
// of the selected type show; byte 0 is the MIDI channel, or the MMC device
// ID for the type MMC.
#include "EditPanelTypes.h"
#include "LEditPanel.h"
#include "PartInterfaces.h"

class LFootSwitchEditPanel : public LEditPanel<LFootSwitchEditPanel, IFootSwitch> {
    QV_TYPE_NAME("class LFootSwitchEditPanel")
public:
    LFootSwitchEditPanel(QV::LControl* parent, const QV::String& name);

protected:
    void InitializeParts() override;
    bool AcceptsBytes(const uint8_t* bytes) const override;
    void ApplyBytes(const uint8_t* bytes) override;
    [[nodiscard]] QV::QVResult AfterApply() override;
    void BeforeSend(QV::LNotificationDistributor* sender) override;
    int32_t CurrentType() const override;
};
