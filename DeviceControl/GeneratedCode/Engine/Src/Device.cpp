#include "Device.h"

QV::RCPtr<LDevice> LDevice::Create()
{
    QV::RCPtr<LDevice> device(new LDevice());
    device->CreateChildModules();
    return device;
}

void LDevice::CreateChildModules()
{
    mGlobalChannel = LGlobalChannel::Create();
    mKeybed = LKeybed::Create();
    (void)mZones.SetCount(kZoneCount);  // a fixed count far below the limit
    for (uint32_t i = 0; i < kZoneCount; ++i) *mZones.GetItemPtr(i) = LZone::Create();
    mWheelController = LAbsoluteController::Create();
    mPitchWheel = LPitchWheel::Create();
    (void)mAbsoluteControllers.SetCount(kAbsoluteControllerCount);  // a fixed count far below the limit
    for (uint32_t i = 0; i < kAbsoluteControllerCount; ++i) {
        *mAbsoluteControllers.GetItemPtr(i) = LAbsoluteController::Create();
    }
    mHardwareButtons = LHardwareButtons::Create();
    (void)mFootSwitches.SetCount(kFootSwitchCount);  // a fixed count far below the limit
    for (uint32_t i = 0; i < kFootSwitchCount; ++i) *mFootSwitches.GetItemPtr(i) = LFootSwitch::Create();
}

void LDevice::SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex)
{
    IDevice::SetFirstParamID(parent, firstParamID, instanceIndex);
    if (firstParamID != GetTopModule()->GetFirstParamID()) {
        throw QV::Exception<std::logic_error>(QV::FormatExceptionMessage(
            QV::kLogicError, "Invalid FirstParamID", "LDevice::SetFirstParamID",
            "..\\DeviceControl\\GeneratedCode\\Engine\\Src\\Device", 72));
    }
}

int32_t LDevice::SetParamValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value)
{
    const QV::RCPtr<LParameterizedModule> parent(GetParent());
    return IDevice::SetParamValue(descriptor, value);
}

QV::RCPtr<IGlobalChannel> LDevice::GetGlobalChannel() { return mGlobalChannel; }
QV::RCPtr<IKeybed> LDevice::GetKeybed() { return mKeybed; }
QV::RCPtr<IZone> LDevice::GetZone(int32_t index) { return *mZones.GetItemPtr(static_cast<uint32_t>(index)); }
QV::RCPtr<IAbsoluteController> LDevice::GetWheelController() { return mWheelController; }
QV::RCPtr<IPitchWheel> LDevice::GetPitchWheel() { return mPitchWheel; }
QV::RCPtr<IAbsoluteController> LDevice::GetAbsoluteController(int32_t index)
{
    return *mAbsoluteControllers.GetItemPtr(static_cast<uint32_t>(index));
}
QV::RCPtr<IHardwareButtons> LDevice::GetHardwareButtons() { return mHardwareButtons; }
QV::RCPtr<IFootSwitch> LDevice::GetFootSwitch(int32_t index)
{
    return *mFootSwitches.GetItemPtr(static_cast<uint32_t>(index));
}
