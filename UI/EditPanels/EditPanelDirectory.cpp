#include "EditPanelDirectory.h"

#include "EditPanelSupport.h"

using namespace QV;

namespace {

RCPtr<LControl> FindBelow(LControl& control, const String& name)
{
    if (RCPtr<LControl> child = control.FindChildControl(name)) return child;
    for (const RCPtr<LControl>& child : control.GetChildren().Snapshot(ChildControlList::kInsertion)) {
        if (RCPtr<LControl> found = FindBelow(*child, name)) return found;
    }
    return nullptr;
}

struct InstanceLabel {
    const char16_t* panel;
    const char16_t* label;
    const char16_t* stringId;
};

const InstanceLabel kInstanceLabels[] = {
    {u"zone1", u"zoneNameLabel", u"LABEL_ZONE_1"},
    {u"zone2", u"zoneNameLabel", u"LABEL_ZONE_2"},
    {u"zone3", u"zoneNameLabel", u"LABEL_ZONE_3"},
    {u"zone4", u"zoneNameLabel", u"LABEL_ZONE_4"},
    {u"fader", u"controlNameLabel", u"LABEL_FADER"},
    {u"expressionPedal", u"controlNameLabel", u"LABEL_EXPRESSION"},
    {u"modWheel", u"controlNameLabel", u"LABEL_MOD_WHEEL"},
    {u"footSwitch1", u"controlNameLabel", u"LABEL_FOOT_SWITCH_1"},
    {u"footSwitch2", u"controlNameLabel", u"LABEL_FOOT_SWITCH_2"},
};

}  // namespace

RCPtr<LControl> EditPanelDirectory::Find(const char16_t* name) const
{
    return FindBelow(mView, String(name));
}

RCPtr<IGlobalChannel> EditPanelDirectory::GetGlobalChannel() const
{
    return FindAs<IGlobalChannel>(u"globalChannel");
}
RCPtr<IKeybed> EditPanelDirectory::GetKeybed() const
{
    return FindAs<IKeybed>(u"keybedEditPanel");
}
RCPtr<IAbsoluteController> EditPanelDirectory::GetWheelController() const
{
    return FindAs<IAbsoluteController>(kWheelControllerName);
}
RCPtr<IPitchWheel> EditPanelDirectory::GetPitchWheel() const
{
    return FindAs<IPitchWheel>(u"pitchWheel");
}
RCPtr<IHardwareButtons> EditPanelDirectory::GetHardwareButtons() const
{
    return FindAs<IHardwareButtons>(u"hardwareButtons");
}

RCPtr<IZone> EditPanelDirectory::GetZone(int32_t index) const
{
    return index >= 0 && index < IDevice::kZoneCount ? FindAs<IZone>(kZoneNames[index]) : nullptr;
}

RCPtr<IAbsoluteController> EditPanelDirectory::GetAbsoluteController(int32_t index) const
{
    return index >= 0 && index < IDevice::kAbsoluteControllerCount
               ? FindAs<IAbsoluteController>(kControllerNames[index])
               : nullptr;
}

RCPtr<IFootSwitch> EditPanelDirectory::GetFootSwitch(int32_t index) const
{
    return index >= 0 && index < IDevice::kFootSwitchCount ? FindAs<IFootSwitch>(kFootSwitchNames[index]) : nullptr;
}

void EditPanelDirectory::ShowInstanceLabels() const
{
    for (const InstanceLabel& row : kInstanceLabels) {
        RCPtr<LControl> panel = Find(row.panel);
        RCPtr<LControl> label = panel ? panel->FindChildControl(row.label) : nullptr;
        if (!label) continue;
        const String text = ControlString(*label, row.stringId);
        if (!text.IsEmpty()) label->SetText(text);
    }
}
