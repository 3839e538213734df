#include "SplitterLimits.h"

#include <algorithm>

namespace QV {

DoubleRect SplitterMoveLimits(int axis, const DoubleRect& limits, const SplitterSpan& span)
{
    double lo = span.beforeStart + span.beforeMinimum + span.pressOffset;
    double hi = span.afterEnd - span.afterMinimum - span.thickness + span.pressOffset;
    if (lo > hi) lo = hi = span.position + span.pressOffset;
    DoubleRect out = limits;
    double& start = axis == 0 ? out.x : out.y;
    double& extent = axis == 0 ? out.width : out.height;
    const double oldStart = start;
    const double oldEnd = start + extent;
    start = std::max(oldStart, lo);
    const double end = std::max(start, std::min(oldEnd, hi));
    extent = end - start;
    return out;
}

}  // namespace QV
