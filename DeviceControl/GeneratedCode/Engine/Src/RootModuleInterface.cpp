#include "RootModuleInterface.h"

#include "DeviceInterface.h"

QV::ConstRCPtr<LParameterizedModule> IRootModule::GetModuleForSubParam(int32_t id) const
{
    return const_cast<IRootModule*>(this)->GetModuleForSubParam(id);
}

QV::RCPtr<LParameterizedModule> IRootModule::GetModuleForSubParam(int32_t)
{
    return nullptr;
}

QV::ConstRCPtr<IDevice> IRootModule::GetDevice() const
{
    return const_cast<IRootModule*>(this)->GetDevice();
}

void IRootModule::SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex)
{
    StoreNumbering(parent, firstParamID, instanceIndex);
    if (QV::RCPtr<IDevice> device = GetDevice()) device->SetFirstParamID(this, firstParamID, 0);
}

QV::RCPtr<LParameterizedModule> IRootModule::GetModuleForParam(int32_t id)
{
    const uint32_t offset = static_cast<uint32_t>(id) - static_cast<uint32_t>(GetFirstParamID());
    if (offset >= static_cast<uint32_t>(kParamCount)) return nullptr;
    QV::RCPtr<IDevice> device = GetDevice();
    return device ? device->GetModuleForParam(id) : nullptr;
}

void IRootModule::TreeHookA()
{
    if (QV::RCPtr<IDevice> device = GetDevice()) device->TreeHookA();
}

void IRootModule::TreeHookB()
{
    if (QV::RCPtr<IDevice> device = GetDevice()) device->TreeHookB();
}
