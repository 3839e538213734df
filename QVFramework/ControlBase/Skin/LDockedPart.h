#pragma once
#include <cstdint>

#include "LVisualPartDescriptor.h"

namespace QV {

// A visual part placed in a look by offsets from the look's edges.
class LDockedPart : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LDockedPart")
public:
    // Edge mask bits: the edges given by offsets.
    static constexpr int32_t kLeft = 1;
    static constexpr int32_t kTop = 2;
    static constexpr int32_t kRight = 4;
    static constexpr int32_t kBottom = 8;
    static constexpr int32_t kAllEdges = 15;

    RCPtr<LVisualPartDescriptor> part;
    int32_t edgeMask = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool hasFixedWidth = false;
    int32_t fixedWidth = 0;
    bool hasFixedHeight = false;
    int32_t fixedHeight = 0;
};

}  // namespace QV
