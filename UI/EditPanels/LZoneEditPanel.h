#pragma once
// One keyboard zone ("ZiroruVovizu.ZoneEditPanel", "zone1".."zone4"): on/off,
// MIDI channel, first and last note 1..88, octave -6..6 and transpose
// -12..12 in six bytes. The first note never stays above the last one; a
// zone that is off shows only its switch and its name.
#include "LEditPanel.h"
#include "PartInterfaces.h"

class LZoneEditPanel : public LEditPanel<LZoneEditPanel, IZone> {
    QV_TYPE_NAME("class LZoneEditPanel")
public:
    LZoneEditPanel(QV::LControl* parent, const QV::String& name);

protected:
    void InitializeParts() override;
    // E_FAIL when a group to show or hide is missing.
    [[nodiscard]] QV::QVResult AfterApply() override;
    void BeforeSend(QV::LNotificationDistributor* sender) override;

private:
    [[nodiscard]] QV::QVResult ShowGroupsByEnable();
};
