#pragma once
// What the module tree needs of the link to the keyboard: sending one value.
// The engine's device-communication interface implements it, so the device
// model never depends on the engine.
#include <cstdint>

#include "ParamDescriptor.h"
#include "RefCountedObject.h"
#include "Variant.h"

class IDeviceCommunication : public virtual QV::LRefCountedObject {
public:
    virtual int32_t SetParamValue(const QV::ParamDescriptor* descriptor, const QV::Variant& value) = 0;
};
