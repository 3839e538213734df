#pragma once
#include "LColor.h"
#include "RefCountedObject.h"
#include "StringT.h"

namespace QV {

// A named tint: a solid colour or a gradient between two colours.
class LColorizer : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LColorizer")
public:
    static constexpr int32_t kSolidFill = 0;
    static constexpr int32_t kLinearGradient = 1;
    static constexpr int32_t kRadialGradient = 2;

    String name;
    int32_t type = kSolidFill;
    LColor color;
    LColor endColor;  // transparent black for a solid fill
    float startX = 0.0f;
    float startY = 0.0f;
    float endX = 0.0f;
    float endY = 0.0f;
};

}  // namespace QV
