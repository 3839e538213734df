#pragma once
// What a list sends when one of its rows changes its hover or drag state:
// the row's conditions and point, plus which item the row shows.
#include <cstdint>

#include "LConditionsParam.h"

namespace QV {

class LItemConditionsParam : public LConditionsParam {
    QV_TYPE_NAME("class QV::LItemConditionsParam")
public:
    int32_t itemIndex = -1;
    // The row's first shown visual part.
    int32_t visualPart = -1;
    int32_t hover = 0;
};

}  // namespace QV
