#pragma once
// Scalar conversions shared by the point and rectangle types: half away from
// zero, saturated to the 32-bit range, so off-screen coordinates never wrap.
#include <cmath>
#include <cstdint>

namespace QV {

inline constexpr double kMaxExactDouble = 4503599627370496.0;  // 2^52

// Half away from zero, still a double (huge values and NaN pass through).
inline double RoundHalfAwayFromZero(double v)
{
    return std::round(v);
}

// NaN and values below the range give INT32_MIN; values above give INT32_MAX.
inline int32_t SaturateToLong(double v)
{
    if (!(v >= -2147483648.0)) return INT32_MIN;
    if (v > 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(std::round(v));
}

inline double ClampToDoubleRange(double v)
{
    if (v < -kMaxExactDouble) return -kMaxExactDouble;
    if (v > kMaxExactDouble) return kMaxExactDouble;
    return v;
}

// Floor that treats a value within one part in 2^52 below an integer as that
// integer, so 9.999999999999998 (from 0.1 + 9.9) still reaches 10.
inline double FloorWithTolerance(double v)
{
    const double nudged = v + std::fabs(v) * 0x1p-52;
    return std::floor(nudged);
}

}  // namespace QV
