#pragma once
// What the main control needs of its device view ("viewDevice"): the view
// is the device module whose children are the edit panels' modules, and it
// takes the engine and the keyboard's configuration from the main control.
#include "DeviceInterface.h"
#include "RCPtr.h"
#include "Result.h"
#include "Variant.h"

namespace QV {

class IParamEngine;

class IDeviceView {
public:
    // Called once from the main control's Initialize: the engine with a
    // non-negative result, or null with the failed result when there is none.
    virtual void SetEngine(IParamEngine* engine, QVResult result) = 0;
    // The keyboard's configuration, read after the device asked for a check.
    virtual void SetDeviceConfiguration(const Variant& configuration) = 0;
    // The device module under the main control's root module.
    virtual RCPtr<IDevice> GetDeviceModule() = 0;

protected:
    ~IDeviceView() = default;
};

}  // namespace QV
