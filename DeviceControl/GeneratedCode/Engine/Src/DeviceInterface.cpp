#include "DeviceInterface.h"

QV::ConstRCPtr<IGlobalChannel> IDevice::GetGlobalChannel() const
{
    return const_cast<IDevice*>(this)->GetGlobalChannel();
}
QV::ConstRCPtr<IKeybed> IDevice::GetKeybed() const { return const_cast<IDevice*>(this)->GetKeybed(); }
QV::ConstRCPtr<IZone> IDevice::GetZone(int32_t index) const { return const_cast<IDevice*>(this)->GetZone(index); }
QV::ConstRCPtr<IAbsoluteController> IDevice::GetWheelController() const
{
    return const_cast<IDevice*>(this)->GetWheelController();
}
QV::ConstRCPtr<IPitchWheel> IDevice::GetPitchWheel() const { return const_cast<IDevice*>(this)->GetPitchWheel(); }
QV::ConstRCPtr<IAbsoluteController> IDevice::GetAbsoluteController(int32_t index) const
{
    return const_cast<IDevice*>(this)->GetAbsoluteController(index);
}
QV::ConstRCPtr<IHardwareButtons> IDevice::GetHardwareButtons() const
{
    return const_cast<IDevice*>(this)->GetHardwareButtons();
}
QV::ConstRCPtr<IFootSwitch> IDevice::GetFootSwitch(int32_t index) const
{
    return const_cast<IDevice*>(this)->GetFootSwitch(index);
}

std::vector<IDevice::NumberedChild> IDevice::ChildrenInOrder()
{
    std::vector<NumberedChild> children;
    children.push_back({GetGlobalChannel(), 0, 0});
    children.push_back({GetKeybed(), 1, 0});
    for (int32_t i = 0; i < kZoneCount; ++i) children.push_back({GetZone(i), 2 + i, i});
    children.push_back({GetWheelController(), 6, 0});
    children.push_back({GetPitchWheel(), 7, 0});
    for (int32_t i = 0; i < kAbsoluteControllerCount; ++i) children.push_back({GetAbsoluteController(i), 8 + i, i});
    children.push_back({GetHardwareButtons(), 10, 0});
    for (int32_t i = 0; i < kFootSwitchCount; ++i) children.push_back({GetFootSwitch(i), 13 + i, i});
    return children;
}

void IDevice::SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex)
{
    StoreNumbering(parent, firstParamID, instanceIndex);
    for (NumberedChild& child : ChildrenInOrder()) {
        if (child.module) child.module->SetFirstParamID(this, firstParamID + child.offset, child.instanceIndex);
    }
}

QV::RCPtr<LParameterizedModule> IDevice::GetModuleForParam(int32_t id)
{
    const uint32_t d = static_cast<uint32_t>(id) - static_cast<uint32_t>(GetFirstParamID());
    QV::RCPtr<LParameterizedModule> child;
    if (d >= 15) return nullptr;
    if (d >= 13) child = GetFootSwitch(static_cast<int32_t>(d) - 13);
    else if (d >= 10) child = GetHardwareButtons();
    else if (d >= 8) child = GetAbsoluteController(static_cast<int32_t>(d) - 8);
    else if (d == 7) child = GetPitchWheel();
    else if (d == 6) child = GetWheelController();
    else if (d >= 2) child = GetZone(static_cast<int32_t>(d) - 2);
    else if (d == 1) child = GetKeybed();
    else child = GetGlobalChannel();
    return child ? child->GetModuleForParam(id) : nullptr;
}

void IDevice::TreeHookA()
{
    for (NumberedChild& child : ChildrenInOrder()) {
        if (child.module) child.module->TreeHookA();
    }
}

void IDevice::TreeHookB()
{
    for (NumberedChild& child : ChildrenInOrder()) {
        if (child.module) child.module->TreeHookB();
    }
}
