#include "LLayout.h"

#include <algorithm>
#include <cmath>

#include "GeometryRounding.h"

namespace QV {
namespace {

constexpr double kTiny = 0x1p-52;
constexpr double kTextLimit = 8388608.0;  // 2^23

double Clamp52(double v)
{
    return ClampToDoubleRange(v);
}

double RoundHalf(double v)
{
    return std::round(Clamp52(v));
}

double Axis(const DoublePoint& p, int axis)
{
    return axis == 0 ? p.x : p.y;
}

double& Axis(DoublePoint& p, int axis)
{
    return axis == 0 ? p.x : p.y;
}

double Start(const DoubleRect& r, int axis)
{
    return Clamp52(axis == 0 ? r.x : r.y);
}

double Extent(const DoubleRect& r, int axis)
{
    return Clamp52(axis == 0 ? r.width : r.height);
}

LayoutSpan Frame(const LayoutRecord& record, bool self, const LayoutReferences& refs, int axis, bool& missing)
{
    missing = false;
    if (record.kind == LayoutKind::kParent) return refs.parent[axis];
    if (record.kind == LayoutKind::kClient) return refs.client[axis];
    if (self && record.kind == LayoutKind::kSelf) return {};
    LayoutSibling sibling;
    if (!refs.siblings || !refs.siblings->FindSibling(record.name, sibling)) {
        missing = true;
        return {};
    }
    double origin = Start(sibling.frame, axis);
    if (sibling.docked[axis]) origin -= Axis(refs.parentScroll, axis);
    return {origin, Extent(sibling.frame, axis)};
}

double SizeToEdge(double extent, float anchor)
{
    if (extent > 0 && anchor >= 0.0f && anchor < 1.0f) return extent * (1.0f / (1.0f - anchor));
    if (extent < 0 && anchor > 0.0f && anchor <= 1.0f) return extent * (1.0f / -anchor);
    return 0.0;
}

// The child of that name, the last one when the list itself is searched.
bool FindChild(const String& name, const LayoutContent& content, LayoutChild& found)
{
    if (content.named) {
        LayoutSibling sibling;
        if (!content.named->FindSibling(name, sibling)) return false;
        found.frame = sibling.frame;
        found.docked[0] = sibling.docked[0];
        found.docked[1] = sibling.docked[1];
        return true;
    }
    for (auto it = content.children.rbegin(); it != content.children.rend(); ++it) {
        if (it->name == name.View()) {
            found = *it;
            return true;
        }
    }
    return false;
}

// The reference rectangle of a child-relative minimum or maximum, in the
// parent's coordinates; false when there is no child to refer to.
bool ChildReference(const LayoutRecord& record, const LayoutContent& content, const DoublePoint& position,
                    bool allChildren, int axis, double& start, double& extent)
{
    if (content.children.empty()) return false;
    const double shift = Axis(content.clientOffset, axis) - Axis(content.scrollOffset, axis) + Axis(position, axis);
    const auto place = [&](const LayoutChild& child, double& a, double& b) {
        a = Start(child.frame, axis) + shift;
        if (child.docked[axis]) a -= Axis(content.scrollOffset, axis);
        b = a + Extent(child.frame, axis);
    };
    LayoutChild named;
    if (FindChild(record.name, content, named)) {
        double a, b;
        place(named, a, b);
        start = a;
        extent = b - a;
        return true;
    }
    if (!(record.name == u"Children")) return false;
    double lo = 0.0, hi = 0.0;
    place(content.children.front(), lo, hi);
    for (size_t i = 1; i < content.children.size(); ++i) {
        if (!allChildren && !content.children[i].clipToParent) continue;
        double a, b;
        place(content.children[i], a, b);
        lo = std::min(lo, a);
        hi = std::max(hi, b);
    }
    start = lo;
    extent = hi - lo;
    return true;
}

// The look's frame around its client area, once per axis that refers to "Children".
void AddMargin(const LayoutRecord& record, const LayoutContent& content, int axis, DoublePoint& size)
{
    if (!content.hasLook || !(record.name == u"Children")) return;
    Axis(size, axis) += Axis(content.currentSize, axis) - Clamp52(Axis(content.clientSize, axis));
}

double TextMinimum(const ControlLayout& layout, const LayoutContent& content, int axis, const DoublePoint& size,
                   double minimum)
{
    ILayoutText* text = content.text;
    if (!text || !text->HasLayoutText() || layout.textOverflow[axis] != 1) return minimum;
    if (axis == 0) text->SetLayoutWordWrap(false);
    const DoubleRect area = text->GetLayoutTextRect(size.x, size.y);
    const double needed = axis == 0 ? text->GetLayoutMaxLineWidth() : text->GetLayoutTextHeight();
    const double available = axis == 0 ? area.width : area.height;
    const double excess = std::ceil(std::clamp(needed, -kTextLimit, kTextLimit) - available);
    const double span = text->GetLayoutTextFactorSpan(axis);
    // A text area that does not grow with the control cannot be widened by it.
    if (excess > 0 && span > 0) {
        minimum = std::max(minimum, std::trunc(Axis(size, axis) + std::ceil(excess / span)));
    }
    const LayoutRecord& limit = layout.limit[axis];
    if (axis == 0 && limit.kind == LayoutKind::kSelf && limit.offset > 0 && limit.offset < minimum) {
        minimum = limit.offset;
        text->SetLayoutWordWrap(true);
    }
    return minimum;
}

QVResult MinimumAxis(const ControlLayout& layout, const LayoutContent& content, int axis, DoublePoint& position,
                     DoublePoint& size)
{
    const LayoutRecord& record = layout.minimum[axis];
    const double a = layout.anchor[axis].factor;
    double& p = Axis(position, axis);
    double& s = Axis(size, axis);
    const double before = s;
    if (record.kind != LayoutKind::kSibling) {
        const double minimum = TextMinimum(layout, content, axis, size, record.offset);
        if (s < minimum) {
            p -= RoundHalf(a * (minimum - s));
            s = minimum;
        }
        return s != before ? 1 : 0;
    }
    double refStart = 0.0, refExtent = 0.0;
    if (!ChildReference(record, content, position, false, axis, refStart, refExtent) || !(refExtent > 0)) return 0;
    const double m = record.factor * refExtent + refStart + record.offset;
    QVResult result = 0;
    if (p <= m && p + s < m) {
        if (a >= 0 && a < 1) {
            p -= RoundHalf(a * (m - (p + s)) / (1 - a));
            s = RoundHalf(m) - p;
        } else {
            result = E_FAIL;
        }
    } else if (p > m) {
        if (a > 0 && a <= 1) {
            const double d = p - m;
            p = m;
            s += RoundHalf(d / a);
        } else {
            result = E_FAIL;
        }
    }
    AddMargin(record, content, axis, size);
    if (result == 0 && s != before) result = 1;
    return result;
}

QVResult MaximumAxis(const ControlLayout& layout, const LayoutContent& content, int axis, DoublePoint& position,
                     DoublePoint& size)
{
    const LayoutRecord& record = layout.limit[axis];
    const double a = layout.anchor[axis].factor;
    double& p = Axis(position, axis);
    double& s = Axis(size, axis);
    if (record.kind != LayoutKind::kSibling) {
        const double maximum = record.offset;
        if (maximum > 0 && s > maximum) {
            p -= RoundHalf(a * (maximum - s));
            s = maximum;
            return 1;
        }
        return 0;
    }
    if (content.children.empty()) return 0;
    const LayoutChild& first = content.children.front();
    if (first.docked[0] && first.docked[1]) return 0;
    double refStart[2] = {0, 0}, refExtent[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        if (!ChildReference(record, content, position, true, k, refStart[k], refExtent[k])) return 0;
    }
    if (!(refExtent[0] > kTiny && refExtent[1] > kTiny)) return 0;
    const double m = record.factor * refExtent[axis] + refStart[axis] + record.offset;
    QVResult result = 0;
    if (p < m && p + s > m) {
        if (m > a) {
            p -= RoundHalf(a * (m - (p + s)));
            s = RoundHalf(m) - p;
        } else if (m < a) {
            // An anchor of 0 cannot scale the overhang; the size stays.
            if (a != 0) s += RoundHalf((p - m) * (1.0f / static_cast<float>(a)));
            p = RoundHalf(m);
        } else {
            p = a;
            s = 0;
        }
        s = std::max(s, 0.0);
        result = 1;
    }
    AddMargin(record, content, axis, size);
    return result;
}

}  // namespace

QVResult LLayout::ResolvePosition(const ControlLayout* layout, const LayoutReferences& references, DoubleRect& frame)
{
    if (!layout) return E_INVALIDARG;
    double position[2], size[2];
    for (int axis = 0; axis < 2; ++axis) {
        const LayoutRecord& pos = layout->position[axis];
        bool missing = false;
        const LayoutSpan ref = Frame(pos, false, references, axis, missing);
        double p = RoundHalf(pos.factor * ref.size) + pos.offset;
        if (pos.kind != LayoutKind::kClient) p += ref.origin;
        if (missing) p = pos.offset;

        const LayoutRecord& ext = layout->size[axis];
        const float a = layout->anchor[axis].factor;
        double s = 0.0;
        if (ext.kind == LayoutKind::kSelf) {
            s = std::max(ext.offset, 0.0);
        } else {
            const LayoutSpan target = Frame(ext, true, references, axis, missing);
            const double edge = RoundHalf(ext.factor * target.size) + target.origin + ext.offset;
            s = SizeToEdge(edge - p, a);
        }
        p -= a * s;
        if (layout->IsDocked(axis)) p += Axis(references.parentScroll, axis);
        position[axis] = Clamp52(p);
        size[axis] = Clamp52(s);
    }
    const double x = RoundHalf(position[0]);
    const double y = RoundHalf(position[1]);
    frame = {x, y, RoundHalf(position[0] + size[0]) - x, RoundHalf(position[1] + size[1]) - y};
    return S_OK;
}

QVResult LLayout::ResolveSizeFromContent(const ControlLayout& layout, const LayoutContent& content,
                                         DoublePoint& position, DoublePoint& size)
{
    const QVResult x = MinimumAxis(layout, content, 0, position, size);
    const QVResult y = MinimumAxis(layout, content, 1, position, size);
    return y != 0 ? y : x;
}

QVResult LLayout::ResolveSize(const ControlLayout& layout, const LayoutContent& content, DoublePoint& position,
                              DoublePoint& size)
{
    const QVResult x = MaximumAxis(layout, content, 0, position, size);
    const QVResult y = MaximumAxis(layout, content, 1, position, size);
    return (x == 1 || y == 1) ? 1 : 0;
}

}  // namespace QV
