#pragma once
// How far a splitter may move: the pointer's limits along the splitter's
// axis, so that the pane before it and the pane after it both keep at least
// their minimum sizes. Positions are in the parent's content coordinates.
#include "RectT.h"

namespace QV {

struct SplitterSpan {
    double beforeStart = 0.0;  // where the pane before the splitter begins
    double beforeMinimum = 0.0;
    double afterEnd = 0.0;  // where the pane after the splitter ends
    double afterMinimum = 0.0;
    double position = 0.0;     // the splitter's own start
    double thickness = 0.0;    // its extent along the axis
    double pressOffset = 0.0;  // the pointer's place inside the splitter
};

// limits narrowed on axis 0 (x) or 1 (y); when the panes cannot both keep
// their minimums the splitter stays where it is.
DoubleRect SplitterMoveLimits(int axis, const DoubleRect& limits, const SplitterSpan& span);

}  // namespace QV
