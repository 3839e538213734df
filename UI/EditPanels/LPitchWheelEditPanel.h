#pragma once
// The pitch wheel ("ZiroruVovizu.WheelsPanel.PitchWheel"): MIDI channel
// (global, 1..16, omni) and the lower and upper value limits in three bytes.
#include "LEditPanel.h"
#include "PartInterfaces.h"

class LPitchWheelEditPanel : public LEditPanel<LPitchWheelEditPanel, IPitchWheel> {
    QV_TYPE_NAME("class LPitchWheelEditPanel")
public:
    LPitchWheelEditPanel(QV::LControl* parent, const QV::String& name);
};
