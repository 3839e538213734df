#pragma once
// The dirty rectangles of one paint, in root-window pixels.
#include <vector>

#include "RectT.h"

namespace QV {

using DirtyRects = std::vector<LongRect>;

// Whether any rectangle meets a double rectangle (rounded to pixels).
inline bool DirtyRectsMeet(const DirtyRects& rects, const DoubleRect& rect)
{
    const LongRect r = rect.Round();
    for (const LongRect& d : rects) {
        LongRect overlap = d;
        if (overlap.Intersect(r)) return true;
    }
    return false;
}

}  // namespace QV
