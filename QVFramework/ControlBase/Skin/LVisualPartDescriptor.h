#pragma once
#include <cstdint>

#include "LColorizer.h"

namespace QV {

// A rectangle cut out of an image file; an empty path means none.
struct LImageReference {
    String path;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// A drawable piece of a look: an image rectangle or a plain colour.
class LVisualPartDescriptor : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LVisualPartDescriptor")
public:
    static constexpr int32_t kStretch = 0;
    static constexpr int32_t kTile = 1;
    static constexpr int32_t kCenter = 2;

    String name;
    LImageReference image;
    int32_t width = 0;
    int32_t height = 0;
    int32_t resizeType = kStretch;
    RCPtr<LColorizer> colorizer;
    float colorizerAmount = 1.0f;
    LImageReference mask;
    // The drawable made from this descriptor on first use, shared by every look.
    mutable RCPtr<LRefCountedObject> visualPart;
};

}  // namespace QV
