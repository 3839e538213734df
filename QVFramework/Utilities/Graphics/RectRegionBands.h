#pragma once
// The banded form of a union of rectangles: the union cut at every top and
// bottom edge into horizontal bands, the runs of each band merged where they
// touch, and a run joined with the same run of the band below. Only the
// covered area decides the result, not how the rectangles cut it.
#include <vector>

#include "RectRegionNodePool.h"

namespace QV {

// Replaces `rects` (overlaps allowed; empty ones cover nothing and go) by the
// banded form, ordered by top, then left.
void ToBands(std::vector<RegionRect>& rects);

}  // namespace QV
