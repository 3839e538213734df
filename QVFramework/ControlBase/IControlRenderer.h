#pragma once
// The drawing state a control pushes and pops around each step.
#include <cstdint>

#include "RectT.h"

namespace QV {

class LRenderer;

class IControlRenderer {
public:
    virtual ~IControlRenderer() = default;
    virtual void SaveState() = 0;
    virtual void RestoreState() = 0;
    // flag 0: absolute origin, clip replaced; flag 1: relative, clip intersected.
    virtual void PushClipRect(const DoubleRect& origin, const DoubleRect& clip, int flag) = 0;
    virtual void PushOrigin(double dx, double dy) = 0;
    // The clip in the current origin's coordinates.
    virtual DoubleRect GetClipRect() const = 0;
    virtual void GetOrigin(double& x, double& y) const = 0;
    virtual float GetOpacity() const = 0;
    virtual void SetOpacity(float opacity) = 0;
    // The renderer the looks draw their parts and text with; null for a
    // control renderer that only keeps state (tests).
    virtual LRenderer* GetTargetRenderer() const { return nullptr; }
    // A line in the current origin; renderers that draw nothing may ignore it.
    virtual void DrawLine(const DoublePoint& from, const DoublePoint& to, uint32_t argb, float width)
    {
        (void)from, (void)to, (void)argb, (void)width;
    }
};

}  // namespace QV
