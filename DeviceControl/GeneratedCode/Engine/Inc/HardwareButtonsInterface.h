#pragma once
// The hardware-button group: a part with its own parameter and two buttons.
#include "PartInterfaces.h"

class IHardwareButtons : public LParameterizedModule {
    QV_TYPE_NAME("class IHardwareButtons")
public:
    static constexpr int32_t kButtonCount = 2;

    virtual QV::ConstRCPtr<IHardwareButton> GetHardwareButton(int32_t index) const;
    virtual QV::RCPtr<IHardwareButton> GetHardwareButton(int32_t index) = 0;

    // Numbers the buttons after the group: f+1 and f+2.
    void SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex) override;
    using LParameterizedModule::GetModuleForParam;
    QV::RCPtr<LParameterizedModule> GetModuleForParam(int32_t id) override;
    void TreeHookA() override;
    void TreeHookB() override;

protected:
    explicit IHardwareButtons(bool hasOwnParameter = false) : LParameterizedModule(hasOwnParameter) {}
};
