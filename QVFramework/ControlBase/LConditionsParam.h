#pragma once
// The data of condition and value notifications. Every control makes one
// conditions parameter and every value change one value parameter, so both
// come from block pools that hand freed blocks out again.
#include <cstdint>

#include "PooledAllocation.h"
#include "RefCountedObject.h"

namespace QV {

class LConditionsParam : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LConditionsParam")
    QV_POOLED_ALLOCATION(LConditionsParam, 4)
public:
    uint32_t oldConditions = 0;
    uint32_t newConditions = 0;
    double pressX = 0.0;
    double pressY = 0.0;
};

class LValueParam : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LValueParam")
    QV_POOLED_ALLOCATION(LValueParam, 4)
public:
    LValueParam(double normalized, double mapped) : normalizedValue(normalized), mappedValue(mapped) {}
    double normalizedValue;
    double mappedValue;
};

}  // namespace QV
