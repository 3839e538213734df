#pragma once
// A point {x, y}; PointT<int32_t> is the design's 32-bit "long" point.
#include <concepts>
#include <cstdint>

#include "GeometryRounding.h"

namespace QV {

template <class T>
struct PointT {
    T x{};
    T y{};

    constexpr PointT() = default;
    constexpr PointT(T px, T py) : x(px), y(py) {}

    // Keeps the floating type; drawing offsets must land on whole pixels.
    void RoundInPlace() requires std::floating_point<T>
    {
        x = static_cast<T>(RoundHalfAwayFromZero(x));
        y = static_cast<T>(RoundHalfAwayFromZero(y));
    }

    // Each coordinate rounded half away from zero and saturated.
    PointT<int32_t> Round() const requires std::floating_point<T> { return {SaturateToLong(x), SaturateToLong(y)}; }

    constexpr PointT operator+(const PointT& o) const { return {x + o.x, y + o.y}; }
    constexpr PointT operator-(const PointT& o) const { return {x - o.x, y - o.y}; }
    constexpr bool operator==(const PointT&) const = default;
};

using LongPoint = PointT<int32_t>;
using FloatPoint = PointT<float>;
using DoublePoint = PointT<double>;

inline LongPoint ToLongPoint(const PointT<double>& p)
{
    return {SaturateToLong(p.x), SaturateToLong(p.y)};
}

inline DoublePoint ToDoublePoint(const LongPoint& p)
{
    return {ClampToDoubleRange(p.x), ClampToDoubleRange(p.y)};
}

}  // namespace QV
