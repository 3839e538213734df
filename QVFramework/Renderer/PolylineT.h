#pragma once
// Points joined by a renderer as lines, a polyline or a polygon. The changed
// flag tells renderers that keep a built shape to build it again; its
// address is its key in renderer caches.
#include <cstdint>
#include <utility>
#include <vector>

#include "PointT.h"

namespace QV {

template <class T>
class PolylineT {
public:
    PolylineT() = default;
    explicit PolylineT(std::vector<PointT<T>> points, T lineWidth = T{1})
        : mPoints(std::move(points)), mLineWidth(lineWidth)
    {}
    // A copy is another polyline with its own key and no cached shape.
    PolylineT(const PolylineT& other) : mPoints(other.mPoints), mLineWidth(other.mLineWidth) {}
    PolylineT& operator=(const PolylineT& other)
    {
        SetPoints(other.mPoints);
        mLineWidth = other.mLineWidth;
        return *this;
    }

    void SetPoints(std::vector<PointT<T>> points)
    {
        mPoints = std::move(points);
        mChanged = true;
    }
    void AddPoint(const PointT<T>& point)
    {
        mPoints.push_back(point);
        mChanged = true;
    }

    int32_t GetPointCount() const { return static_cast<int32_t>(mPoints.size()); }
    const std::vector<PointT<T>>& GetPoints() const { return mPoints; }
    T GetLineWidth() const { return mLineWidth; }
    // A new width changes the built shape as new points do.
    void SetLineWidth(T width)
    {
        if (width == mLineWidth) return;
        mLineWidth = width;
        mChanged = true;
    }

    bool IsChanged() const { return mChanged; }
    // Renderers clear the flag when they rebuild their shape.
    void SetChanged(bool changed) const { mChanged = changed; }
    uintptr_t GetHandle() const { return reinterpret_cast<uintptr_t>(this); }

private:
    std::vector<PointT<T>> mPoints;
    T mLineWidth = T{1};
    mutable bool mChanged = true;
};

}  // namespace QV
