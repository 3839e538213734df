#pragma once
// The device module: no parameter of its own, the parts beneath it.
#include <vector>

#include "HardwareButtonsInterface.h"
#include "PartInterfaces.h"

class IDevice : public LParameterizedModule {
    QV_TYPE_NAME("class IDevice")
public:
    static constexpr int32_t kZoneCount = 4;
    static constexpr int32_t kAbsoluteControllerCount = 2;
    static constexpr int32_t kFootSwitchCount = 2;

    virtual QV::ConstRCPtr<IGlobalChannel> GetGlobalChannel() const;
    virtual QV::RCPtr<IGlobalChannel> GetGlobalChannel() = 0;
    virtual QV::ConstRCPtr<IKeybed> GetKeybed() const;
    virtual QV::RCPtr<IKeybed> GetKeybed() = 0;
    virtual QV::ConstRCPtr<IZone> GetZone(int32_t index) const;
    virtual QV::RCPtr<IZone> GetZone(int32_t index) = 0;
    virtual QV::ConstRCPtr<IAbsoluteController> GetWheelController() const;
    virtual QV::RCPtr<IAbsoluteController> GetWheelController() = 0;
    virtual QV::ConstRCPtr<IPitchWheel> GetPitchWheel() const;
    virtual QV::RCPtr<IPitchWheel> GetPitchWheel() = 0;
    virtual QV::ConstRCPtr<IAbsoluteController> GetAbsoluteController(int32_t index) const;
    virtual QV::RCPtr<IAbsoluteController> GetAbsoluteController(int32_t index) = 0;
    virtual QV::ConstRCPtr<IHardwareButtons> GetHardwareButtons() const;
    virtual QV::RCPtr<IHardwareButtons> GetHardwareButtons() = 0;
    virtual QV::ConstRCPtr<IFootSwitch> GetFootSwitch(int32_t index) const;
    virtual QV::RCPtr<IFootSwitch> GetFootSwitch(int32_t index) = 0;

    // Numbers every child from f in the keyboard's parameter order.
    void SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex) override;
    using LParameterizedModule::GetModuleForParam;
    QV::RCPtr<LParameterizedModule> GetModuleForParam(int32_t id) override;
    void TreeHookA() override;
    void TreeHookB() override;

private:
    // Every child in numbering order with its offset and instance index;
    // a missing child is null.
    struct NumberedChild {
        QV::RCPtr<LParameterizedModule> module;
        int32_t offset;
        int32_t instanceIndex;
    };
    std::vector<NumberedChild> ChildrenInOrder();
};
