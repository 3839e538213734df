#pragma once
// The data of every condition notification; one per control, reused.
#include <cstdint>

#include "RefCountedObject.h"

namespace QV {

class LConditionsParam : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LConditionsParam")
public:
    uint32_t oldConditions = 0;
    uint32_t newConditions = 0;
    double pressX = 0.0;
    double pressY = 0.0;
};

class LValueParam : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LValueParam")
public:
    LValueParam(double normalized, double mapped) : normalizedValue(normalized), mappedValue(mapped) {}
    double normalizedValue;
    double mappedValue;
};

}  // namespace QV
