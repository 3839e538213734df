#pragma once
// Figures of straight segments, filled by the even-odd rule.
#include <span>
#include <vector>

#include "GdipTypes.h"

namespace Platform::Gdip {

class GraphicsPath {
public:
    struct Figure {
        std::vector<PointF> points;
        bool closed = false;
    };

    // One open figure of a single line.
    void AddLine(PointF from, PointF to) { mFigures.push_back({{from, to}, false}); }
    // One open figure through the points.
    void AddLines(std::span<const PointF> points) { AddFigure(points, false); }
    // One closed figure through the points.
    void AddPolygon(std::span<const PointF> points) { AddFigure(points, true); }

    // A copy with every point scaled.
    GraphicsPath Scaled(float sx, float sy) const;

    const std::vector<Figure>& GetFigures() const { return mFigures; }
    bool IsEmpty() const { return mFigures.empty(); }

private:
    void AddFigure(std::span<const PointF> points, bool closed)
    {
        if (!points.empty()) mFigures.push_back({{points.begin(), points.end()}, closed});
    }

    std::vector<Figure> mFigures;
};

}  // namespace Platform::Gdip
