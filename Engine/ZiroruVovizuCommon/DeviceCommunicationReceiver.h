#pragma once
// Where the device-communication thread delivers value sets from the
// keyboard. The root module implements it.
#include <cstdint>

#include "ParamValues.h"

class DeviceCommunicationReceiver {
public:
    virtual ~DeviceCommunicationReceiver() = default;
    // One value set: a list of packed values [value, id, sub-descriptor].
    [[nodiscard]] virtual int32_t ReceiveParamValues(const QV::ParamValues& values) = 0;
    [[nodiscard]] virtual int32_t Reserved(int32_t a, int32_t b, int32_t c) = 0;
};
