#include "HardwareButtons.h"

QV::RCPtr<LHardwareButtons> LHardwareButtons::Create()
{
    QV::RCPtr<LHardwareButtons> module(new LHardwareButtons());
    module->CreateChildModules();
    return module;
}

QV::RCPtr<IHardwareButton> LHardwareButtons::GetHardwareButton(int32_t index)
{
    return *mButtons.GetItemPtr(static_cast<uint32_t>(index));
}

void LHardwareButtons::CreateChildModules()
{
    (void)mButtons.SetCount(kButtonCount);  // a fixed count far below the limit
    for (uint32_t i = 0; i < kButtonCount; ++i) *mButtons.GetItemPtr(i) = LHardwareButton::Create();
}
