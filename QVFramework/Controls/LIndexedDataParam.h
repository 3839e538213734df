#pragma once
// Notification data naming one item of a list: an optional object, the
// item's index and, in the second form, a value (a check box's 0.0 or 1.0).
#include <cstdint>

#include "RCPtr.h"

namespace QV {

class LIndexedDataParam : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LIndexedDataParam")
public:
    LIndexedDataParam(RCPtr<LRefCountedObject> data_, int32_t index_) : data(std::move(data_)), index(index_) {}
    RCPtr<LRefCountedObject> data;
    int32_t index;
};

class LIndexedDataWithValueParam : public LIndexedDataParam {
    QV_TYPE_NAME("class QV::LIndexedDataWithValueParam")
public:
    LIndexedDataWithValueParam(RCPtr<LRefCountedObject> data_, int32_t index_, double value_)
        : LIndexedDataParam(std::move(data_), index_), value(value_)
    {}
    double value;
};

}  // namespace QV
