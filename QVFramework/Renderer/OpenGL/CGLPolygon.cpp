#include "CGLPolygon.h"

#include <GL/glu.h>

#include <cstddef>
#include <vector>

namespace QV {
namespace {

using TessCallback = void (*)();

struct Tessellator {
    GLUtesselator* tess = gluNewTess();
    std::vector<double> vertices;

    Tessellator()
    {
        if (!tess) return;
        gluTessNormal(tess, 0, 0, 1);
        gluTessProperty(tess, GLU_TESS_TOLERANCE, 1);
        gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<TessCallback>(&glVertex3dv));
        gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<TessCallback>(&glBegin));
        gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<TessCallback>(&glEnd));
    }
    ~Tessellator()
    {
        if (tess) gluDeleteTess(tess);
    }
    Tessellator(const Tessellator&) = delete;
    Tessellator& operator=(const Tessellator&) = delete;
};

Tessellator& SharedTessellator()
{
    static Tessellator shared;
    return shared;
}

}  // namespace

CGLPolygon::CGLPolygon()
{
    SharedTessellator();
}

void CGLPolygon::Fill(const float* points, int32_t count)
{
    Tessellator& t = SharedTessellator();
    if (!t.tess || count <= 0) return;
    const size_t needed = static_cast<size_t>(count) * 3;
    if (t.vertices.size() < needed) t.vertices.resize(needed, 0.0);
    gluTessProperty(t.tess, GLU_TESS_BOUNDARY_ONLY, GL_FALSE);
    gluTessBeginPolygon(t.tess, nullptr);
    gluTessBeginContour(t.tess);
    for (int32_t i = 0; i < count; ++i) {
        double* v = &t.vertices[3 * static_cast<size_t>(i)];
        v[0] = points[2 * i];
        v[1] = points[2 * i + 1];
        v[2] = 0;
        gluTessVertex(t.tess, v, v);
    }
    gluTessEndContour(t.tess);
    gluTessEndPolygon(t.tess);
}

}  // namespace QV
