#include "EditPanelClasses.h"

#include "LAbsoluteControllerEditPanel.h"
#include "LFootSwitchEditPanel.h"
#include "LGlobalEditPanel.h"
#include "LHardwareButtonEditPanel.h"
#include "LHardwareButtonsEditPanel.h"
#include "LKeybedEditPanel.h"
#include "LNoteSelector.h"
#include "LPitchWheelEditPanel.h"
#include "LZoneEditPanel.h"

using namespace QV;

namespace {

struct ClassRow {
    const char16_t* className;
    ControlCreateFunction create;
};

const ClassRow kClasses[] = {
    {u"ZiroruVovizu.ZoneEditPanel", &CreateControlOfClass<LZoneEditPanel>},
    {u"ZiroruVovizu.KeybedEditPanel", &CreateControlOfClass<LKeybedEditPanel>},
    {u"ZiroruVovizu.WheelsPanel.PitchWheel", &CreateControlOfClass<LPitchWheelEditPanel>},
    {u"ZiroruVovizu.GlobalChannel", &CreateControlOfClass<LGlobalEditPanel>},
    {u"ZiroruVovizu.ExpresionEditPanel", &CreateControlOfClass<LAbsoluteControllerEditPanel>},
    {u"ZiroruVovizu.FaderEditPanel", &CreateControlOfClass<LAbsoluteControllerEditPanel>},
    {u"ZiroruVovizu.FootSwitch", &CreateControlOfClass<LFootSwitchEditPanel>},
    {u"ZiroruVovizu.HardwareButtons", &CreateControlOfClass<LHardwareButtonsEditPanel>},
    {u"ZiroruVovizu.HardwareButtons.HardwareButton", &CreateControlOfClass<LHardwareButtonEditPanel>},
    {u"ZiroruVovizu.MidiNoteSelector", &CreateControlOfClass<LNoteSelector>},
    {u"ZiroruVovizu.Control.NoteSelector", &CreateControlOfClass<LNoteSelector>},
    {u"ZiroruVovizu.Control.ZoneNoteSelector", &CreateControlOfClass<LNoteSelector>},
    {u"ZiroruVovizu.Control.CCSelector", &CreateControlOfClass<LNumberBoxTextSelector>},
};

// Plain panels that only group a control with its label.
const char16_t* const kGroupingClasses[] = {
    u"ZiroruVovizu.KeybedControls",
    u"ZiroruVovizu.WheelsPanel",
    u"ZiroruVovizu.Control.KeyZoneStartEndNoteSelector",
    u"ZiroruVovizu.Control.MinMaxSelectors",
    u"ZiroruVovizu.Control.LabeledOctaveSelector",
    u"ZiroruVovizu.Control.LabeledTransposeSelector",
    u"ZiroruVovizu.Control.LabeledKeyZoneMidiChannelSelector",
    u"ZiroruVovizu.Control.LabeledKeyZoneNoteSelector",
    u"ZiroruVovizu.Control.LabeledVelocityCurveSelector",
    u"ZiroruVovizu.Control.LabeledGlobalChannelMidiChannel",
    u"ZiroruVovizu.Control.LabeledMidiChannelSelector",
    u"ZiroruVovizu.Control.LabeledAbsoluteType",
    u"ZiroruVovizu.Control.LabeledCCSelector",
    u"ZiroruVovizu.Control.LabeledMinSelector",
    u"ZiroruVovizu.Control.LabeledMaxSelector",
    u"ZiroruVovizu.Control.LabeledHardwareButtonType",
    u"ZiroruVovizu.Control.LabeledFootSwitchType",
    u"ZiroruVovizu.Control.LabeledMmcDeviceIdSelector",
    u"ZiroruVovizu.Control.LabeledMmcCommandSelector",
    u"ZiroruVovizu.Control.LabeledNoteSelector",
    u"ZiroruVovizu.Control.LabeledVelocityOnSelector",
    u"ZiroruVovizu.Control.LabeledVelocityOffSelector",
    u"ZiroruVovizu.Control.LabeledProgramSelector",
    u"ZiroruVovizu.Control.LabeledProgramMaxSelector",
    u"ZiroruVovizu.Control.LabeledBankMsbSelector",
    u"ZiroruVovizu.Control.LabeledBankLsbSelector",
};

}  // namespace

QVResult RegisterEditPanelControls(LControlFactory& factory)
{
    for (const ClassRow& row : kClasses) {
        const QVResult result = factory.RegisterControl(String(row.className), row.create);
        if (Failed(result)) return result;
    }
    for (const char16_t* name : kGroupingClasses) {
        const QVResult result = factory.RegisterControl(String(name), &CreateControlOfClass<LPanel>);
        if (Failed(result)) return result;
    }
    return S_OK;
}
