#pragma once
// The geometry of a slider's straight track between its start and end
// markers (frame origins in the slider's coordinates): where the thumb sits
// for a value, where a dragged pointer puts it, and the track-press step.
#include "PointT.h"

namespace QV {

struct SliderTrack {
    DoublePoint start;
    DoublePoint end;

    double Length() const;
    // The thumb's origin for a normalised value.
    LongPoint ThumbAt(double t) const;
    // The thumb's origin for a pointer (minus the grab offset): the foot of the
    // perpendicular on the track, kept inside the markers' bounding box.
    LongPoint Project(const LongPoint& pointer, const LongPoint& grab, const DoublePoint& thumb) const;
    // The thumb's relative distance from the start; `current` on a track of length 0.
    double ValueAt(const DoublePoint& thumb, double current) const;
    // One step of at most `step` from `value` toward the point q, never past it;
    // `value` on a track of length 0.
    double StepToward(const DoublePoint& thumb, const DoublePoint& q, double value, double step) const;
};

}  // namespace QV
