#pragma once
// The drawing state a render context keeps and saves: origin in window
// coordinates, clip relative to the origin, opacity that every drawing
// multiplies in, and the stencil with its in-force flag.
#include "LStencil.h"
#include "PointT.h"
#include "RCPtr.h"
#include "RectT.h"

namespace QV {

class RenderState {
public:
    // The clip of a fresh state: the single-precision values nearest to
    // -5e15 and 1e16, widened.
    static constexpr double kUnlimitedOrigin = -5000000136282112.0;
    static constexpr double kUnlimitedExtent = 10000000272564224.0;

    RenderState() = default;
    RenderState(const RenderState&) = default;
    RenderState& operator=(const RenderState&) = default;
    virtual ~RenderState() = default;

    DoublePoint origin{0.0, 0.0};
    DoubleRect clip{kUnlimitedOrigin, kUnlimitedOrigin, kUnlimitedExtent, kUnlimitedExtent};
    float opacity = 1.0f;
    bool stencilSet = false;
    ConstRCPtr<LStencil> stencil;
};

}  // namespace QV
