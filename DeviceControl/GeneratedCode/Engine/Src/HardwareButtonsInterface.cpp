#include "HardwareButtonsInterface.h"

QV::ConstRCPtr<IHardwareButton> IHardwareButtons::GetHardwareButton(int32_t index) const
{
    return const_cast<IHardwareButtons*>(this)->GetHardwareButton(index);
}

void IHardwareButtons::SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex)
{
    StoreNumbering(parent, firstParamID, instanceIndex);
    for (int32_t i = 0; i < kButtonCount; ++i) {
        if (QV::RCPtr<IHardwareButton> button = GetHardwareButton(i)) {
            button->SetFirstParamID(this, firstParamID + 1 + i, i);
        }
    }
}

QV::RCPtr<LParameterizedModule> IHardwareButtons::GetModuleForParam(int32_t id)
{
    const uint32_t d = static_cast<uint32_t>(id) - static_cast<uint32_t>(GetFirstParamID());
    if (d >= 3) return nullptr;
    if (d == 0) return QV::RCPtr<LParameterizedModule>(this);
    QV::RCPtr<IHardwareButton> button = GetHardwareButton(static_cast<int32_t>(d) - 1);
    return button ? button->GetModuleForParam(id) : nullptr;
}

void IHardwareButtons::TreeHookA()
{
    for (int32_t i = 0; i < kButtonCount; ++i) {
        if (QV::RCPtr<IHardwareButton> button = GetHardwareButton(i)) button->TreeHookA();
    }
}

void IHardwareButtons::TreeHookB()
{
    for (int32_t i = 0; i < kButtonCount; ++i) {
        if (QV::RCPtr<IHardwareButton> button = GetHardwareButton(i)) button->TreeHookB();
    }
}
