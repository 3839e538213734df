#include "GraphicsPath.h"

namespace Platform::Gdip {

GraphicsPath GraphicsPath::Scaled(float sx, float sy) const
{
    GraphicsPath copy = *this;
    for (Figure& figure : copy.mFigures)
        for (PointF& p : figure.points) p = {p.x * sx, p.y * sy};
    return copy;
}

}  // namespace Platform::Gdip
