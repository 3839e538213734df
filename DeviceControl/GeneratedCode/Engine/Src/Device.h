#pragma once
// The device module: holds every part of the keyboard.
#include "DeviceInterface.h"
#include "HardwareButtons.h"
#include "PartModules.h"
#include "RCPtrArray.h"

class LDevice final : public IDevice {
    QV_TYPE_NAME("class LDevice")
public:
    static QV::RCPtr<LDevice> Create();

    void SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex) override;
    [[nodiscard]] int32_t SetParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value) override;

    using IDevice::GetGlobalChannel;
    using IDevice::GetKeybed;
    using IDevice::GetZone;
    using IDevice::GetWheelController;
    using IDevice::GetPitchWheel;
    using IDevice::GetAbsoluteController;
    using IDevice::GetHardwareButtons;
    using IDevice::GetFootSwitch;
    QV::RCPtr<IGlobalChannel> GetGlobalChannel() override;
    QV::RCPtr<IKeybed> GetKeybed() override;
    QV::RCPtr<IZone> GetZone(int32_t index) override;
    QV::RCPtr<IAbsoluteController> GetWheelController() override;
    QV::RCPtr<IPitchWheel> GetPitchWheel() override;
    QV::RCPtr<IAbsoluteController> GetAbsoluteController(int32_t index) override;
    QV::RCPtr<IHardwareButtons> GetHardwareButtons() override;
    QV::RCPtr<IFootSwitch> GetFootSwitch(int32_t index) override;

    virtual void CreateChildModules();

private:
    QV::RCPtr<LGlobalChannel> mGlobalChannel;
    QV::RCPtr<LKeybed> mKeybed;
    QV::RCPtrArray<LZone> mZones;
    QV::RCPtr<LAbsoluteController> mWheelController;
    QV::RCPtr<LPitchWheel> mPitchWheel;
    QV::RCPtrArray<LAbsoluteController> mAbsoluteControllers;
    QV::RCPtr<LHardwareButtons> mHardwareButtons;
    QV::RCPtrArray<LFootSwitch> mFootSwitches;
};
