#pragma once
// Fills a polygon given as one contour through the GLU tessellator. One
// tessellator and one vertex array serve every polygon of the process (UI
// thread only; GL must be current).
#include <cstdint>

namespace QV {

class CGLPolygon {
public:
    CGLPolygon();
    virtual ~CGLPolygon() = default;

    // count points as consecutive (x, y) float pairs.
    void Fill(const float* points, int32_t count);
};

}  // namespace QV
