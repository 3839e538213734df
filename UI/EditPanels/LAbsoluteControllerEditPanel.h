#pragma once
// One absolute controller ("ZiroruVovizu.FaderEditPanel", also
// "ZiroruVovizu.ExpresionEditPanel"; "fader", "expressionPedal",
// "modWheel"): MIDI channel (global, 1..16, omni), message type (CC,
// aftertouch, pitch bend), CC number, minimum and maximum in five bytes. The
// CC number shows only for the type CC, told by the type's index.
#include "LEditPanel.h"
#include "PartInterfaces.h"

class LAbsoluteControllerEditPanel : public LEditPanel<LAbsoluteControllerEditPanel, IAbsoluteController> {
    QV_TYPE_NAME("class LAbsoluteControllerEditPanel")
public:
    LAbsoluteControllerEditPanel(QV::LControl* parent, const QV::String& name);

protected:
    [[nodiscard]] QV::QVResult AfterApply() override;
    void BeforeSend(QV::LNotificationDistributor* sender) override;

private:
    void ShowCCByType();
};
