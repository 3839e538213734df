#pragma once
// Finds the fifteen parameters' panels under a device view by their skin
// names, so the view can answer the device's getters with them. Each getter
// answers null when the skin has no such panel.
#include "DeviceInterface.h"
#include "LControl.h"

class EditPanelDirectory {
public:
    static constexpr const char16_t* kZoneNames[IDevice::kZoneCount] = {u"zone1", u"zone2", u"zone3", u"zone4"};
    static constexpr const char16_t* kControllerNames[IDevice::kAbsoluteControllerCount] = {u"fader",
                                                                                            u"expressionPedal"};
    static constexpr const char16_t* kWheelControllerName = u"modWheel";
    static constexpr const char16_t* kFootSwitchNames[IDevice::kFootSwitchCount] = {u"footSwitch1", u"footSwitch2"};

    explicit EditPanelDirectory(QV::LControl& view) : mView(view) {}

    QV::RCPtr<IGlobalChannel> GetGlobalChannel() const;
    QV::RCPtr<IKeybed> GetKeybed() const;
    QV::RCPtr<IZone> GetZone(int32_t index) const;
    QV::RCPtr<IAbsoluteController> GetWheelController() const;
    QV::RCPtr<IPitchWheel> GetPitchWheel() const;
    QV::RCPtr<IAbsoluteController> GetAbsoluteController(int32_t index) const;
    QV::RCPtr<IHardwareButtons> GetHardwareButtons() const;
    QV::RCPtr<IFootSwitch> GetFootSwitch(int32_t index) const;

    // Titles the panels that share a class: "ZONE 1".."ZONE 4" and the
    // controllers' names, from their labels' tables.
    void ShowInstanceLabels() const;

private:
    // The first control of that name below the view, depth first.
    QV::RCPtr<QV::LControl> Find(const char16_t* name) const;
    template <class I>
    QV::RCPtr<I> FindAs(const char16_t* name) const
    {
        return QV::RCPtr<I>::DynamicCast(Find(name));
    }

    QV::LControl& mView;
};
