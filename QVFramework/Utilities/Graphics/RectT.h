#pragma once
// A rectangle {x, y, width, height}; RectT<int32_t> is the design's 32-bit
// "long" rectangle. Right and bottom (x + width, y + height) are exclusive.
#include <algorithm>
#include <concepts>
#include <cstdint>

#include "PointT.h"

namespace QV {

template <class T>
struct RectT {
    T x{};
    T y{};
    T width{};
    T height{};

    constexpr RectT() = default;
    constexpr RectT(T px, T py, T w, T h) : x(px), y(py), width(w), height(h) {}

    constexpr T Left() const { return x; }
    constexpr T Top() const { return y; }
    constexpr T Right() const { return x + width; }
    constexpr T Bottom() const { return y + height; }
    constexpr bool IsEmpty() const { return !(width > 0) || !(height > 0); }

    // This rectangle becomes its overlap with the other; when they do not
    // meet it is left empty (width and height 0) and the answer is false.
    bool Intersect(const RectT& o)
    {
        const T left = std::max(Left(), o.Left());
        const T top = std::max(Top(), o.Top());
        const T right = std::min(Right(), o.Right());
        const T bottom = std::min(Bottom(), o.Bottom());
        x = left;
        y = top;
        if (!(left < right) || !(top < bottom)) {
            width = height = T{};
            return false;
        }
        width = right - left;
        height = bottom - top;
        return true;
    }

    // Turns a negative extent round; a floating rectangle then snaps each
    // edge down to a whole pixel.
    void Normalize()
    {
        if (width < 0) {
            x += width;
            width = -width;
        }
        if (height < 0) {
            y += height;
            height = -height;
        }
        if constexpr (std::floating_point<T>) {
            const double left = FloorWithTolerance(x);
            const double top = FloorWithTolerance(y);
            const double right = FloorWithTolerance(static_cast<double>(x) + width);
            const double bottom = FloorWithTolerance(static_cast<double>(y) + height);
            x = static_cast<T>(left);
            y = static_cast<T>(top);
            width = static_cast<T>(right - left);
            height = static_cast<T>(bottom - top);
        }
    }

    void RoundInPlace() requires std::floating_point<T>
    {
        x = static_cast<T>(RoundHalfAwayFromZero(x));
        y = static_cast<T>(RoundHalfAwayFromZero(y));
        width = static_cast<T>(RoundHalfAwayFromZero(width));
        height = static_cast<T>(RoundHalfAwayFromZero(height));
    }

    // Each of the four values rounded half away from zero and saturated.
    RectT<int32_t> Round() const requires std::floating_point<T>
    {
        return {SaturateToLong(x), SaturateToLong(y), SaturateToLong(width), SaturateToLong(height)};
    }

    constexpr PointT<T> Origin() const { return {x, y}; }
    constexpr bool operator==(const RectT&) const = default;
};

using LongRect = RectT<int32_t>;
using FloatRect = RectT<float>;
using DoubleRect = RectT<double>;

inline LongRect ToLongRect(const DoubleRect& r)
{
    return r.Round();
}
inline LongPoint ToLongRect(const DoublePoint& p)
{
    return ToLongPoint(p);
}

inline DoubleRect ToDoubleRect(const LongRect& r)
{
    return {ClampToDoubleRange(r.x), ClampToDoubleRange(r.y), ClampToDoubleRange(r.width),
            ClampToDoubleRange(r.height)};
}
inline DoublePoint ToDoubleRect(const LongPoint& p)
{
    return ToDoublePoint(p);
}

// The smallest rectangle holding both; true when it has a visible extent.
template <class T>
bool UnionRect(const RectT<T>& a, const RectT<T>& b, RectT<T>& out)
{
    const T left = std::min(a.Left(), b.Left());
    const T top = std::min(a.Top(), b.Top());
    const T right = std::max(a.Right(), b.Right());
    const T bottom = std::max(a.Bottom(), b.Bottom());
    out = {left, top, right - left, bottom - top};
    return out.width > static_cast<T>(1.1920929e-7) && out.height > static_cast<T>(1.1920929e-7);
}

}  // namespace QV
