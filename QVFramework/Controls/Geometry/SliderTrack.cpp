#include "SliderTrack.h"

#include <algorithm>
#include <cmath>

namespace QV {

namespace {

double Distance(const DoublePoint& a, const DoublePoint& b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

}  // namespace

double SliderTrack::Length() const
{
    return Distance(start, end);
}

LongPoint SliderTrack::ThumbAt(double t) const
{
    const LongPoint p0 = start.Round();
    const LongPoint p1 = end.Round();
    return {p0.x + SaturateToLong((p1.x - p0.x) * t), p0.y + SaturateToLong((p1.y - p0.y) * t)};
}

LongPoint SliderTrack::Project(const LongPoint& pointer, const LongPoint& grab, const DoublePoint& thumb) const
{
    const LongPoint p0 = start.Round();
    const LongPoint p1 = end.Round();
    const int32_t px = pointer.x - grab.x;
    const int32_t py = pointer.y - grab.y;
    LongPoint out;
    if (p0.x == p1.x) {
        out = {static_cast<int32_t>(thumb.x), py};
    } else if (p0.y == p1.y) {
        out = {px, static_cast<int32_t>(thumb.y)};
    } else {
        // Single precision, as the track's slope has always been computed.
        const float h = static_cast<float>(p1.y - p0.y) / static_cast<float>(p1.x - p0.x);
        const float l = static_cast<float>(p0.y) - static_cast<float>(p0.x) * h;
        const float x = (static_cast<float>(py) + static_cast<float>(px) / h - l) / (h + 1.0f / h);
        out.x = SaturateToLong(x);
        out.y = SaturateToLong(static_cast<float>(out.x) * h + l);
    }
    out.x = std::clamp(out.x, std::min(p0.x, p1.x), std::max(p0.x, p1.x));
    out.y = std::clamp(out.y, std::min(p0.y, p1.y), std::max(p0.y, p1.y));
    return out;
}

double SliderTrack::ValueAt(const DoublePoint& thumb, double current) const
{
    const double length = Length();
    if (!(length > 0.0)) return current;
    return Distance(start, thumb) / length;
}

double SliderTrack::StepToward(const DoublePoint& thumb, const DoublePoint& q, double value, double step) const
{
    const double length = Length();
    if (!(length > 0.0)) return value;
    const double dT = Distance(start, thumb);
    const double dQ = Distance(start, q);
    const double target = dQ / length;
    return dT <= dQ ? std::min(target, value + step) : std::max(target, value - step);
}

}  // namespace QV
