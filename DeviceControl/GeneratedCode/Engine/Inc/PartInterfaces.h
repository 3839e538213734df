#pragma once
// The part interfaces of the device model. They add nothing to the module
// contract; the engine's module classes and the editor's panels both
// implement them, so one value can be applied to either tree.
#include "RootModuleInterface.h"

class IGlobalChannel : public LParameterizedModule {
    QV_TYPE_NAME("class IGlobalChannel")
protected:
    explicit IGlobalChannel(bool hasOwnParameter = false) : LParameterizedModule(hasOwnParameter) {}
};
class IKeybed : public LParameterizedModule {
    QV_TYPE_NAME("class IKeybed")
protected:
    explicit IKeybed(bool hasOwnParameter = false) : LParameterizedModule(hasOwnParameter) {}
};
class IZone : public LParameterizedModule {
    QV_TYPE_NAME("class IZone")
protected:
    explicit IZone(bool hasOwnParameter = false) : LParameterizedModule(hasOwnParameter) {}
};
class IAbsoluteController : public LParameterizedModule {
    QV_TYPE_NAME("class IAbsoluteController")
protected:
    explicit IAbsoluteController(bool hasOwnParameter = false) : LParameterizedModule(hasOwnParameter) {}
};
class IPitchWheel : public LParameterizedModule {
    QV_TYPE_NAME("class IPitchWheel")
protected:
    explicit IPitchWheel(bool hasOwnParameter = false) : LParameterizedModule(hasOwnParameter) {}
};
class IHardwareButton : public LParameterizedModule {
    QV_TYPE_NAME("class IHardwareButton")
protected:
    explicit IHardwareButton(bool hasOwnParameter = false) : LParameterizedModule(hasOwnParameter) {}
};
class IFootSwitch : public LParameterizedModule {
    QV_TYPE_NAME("class IFootSwitch")
protected:
    explicit IFootSwitch(bool hasOwnParameter = false) : LParameterizedModule(hasOwnParameter) {}
};
