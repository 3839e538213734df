#include <GL/gl.h>

#include <stdexcept>

#include "CGLPolygon.h"
#include "GLErrors.h"
#include "GeometryRounding.h"
#include "LBitmap.h"
#include "LBitmapData.h"
#include "LGLRenderer.h"

namespace QV {
namespace {

constexpr const char* kSource = "Renderer\\OpenGL\\GLRenderer";

DoubleRect Normalized(const LongRect& r)
{
    DoubleRect d{ClampToDoubleRange(r.x), ClampToDoubleRange(r.y), ClampToDoubleRange(r.width),
                 ClampToDoubleRange(r.height)};
    d.Normalize();
    return d;
}

void Quad(const DoubleRect& r, GLenum mode)
{
    glBegin(mode);
    glVertex2d(r.x, r.y);
    glVertex2d(r.x + r.width, r.y);
    glVertex2d(r.x + r.width, r.y + r.height);
    glVertex2d(r.x, r.y + r.height);
    if (mode == GL_LINE_STRIP) glVertex2d(r.x, r.y);
    glEnd();
}

GLEdges Edges(float left, float top, float width, float height)
{
    return {left, top, left + width, top + height};
}

}  // namespace

uintptr_t LGLRenderer::ImageKey::operator()(const ConstRCPtr<LBitmap>& bitmap) const
{
    return reinterpret_cast<uintptr_t>(bitmap->GetGdiBitmap());
}

void LGLRenderer::SetColour(const LColor& c) const
{
    const LRenderContextInfo* context = GetCurrentContext();
    const float opacity = context ? const_cast<LRenderContextInfo*>(context)->GetState().opacity : 1.0f;
    glColor4f(c.red, c.green, c.blue, c.alpha * opacity);
}

void LGLRenderer::DrawRect(const LongRect& rect, const LColor& colour, float penWidth)
{
    if (!GetCurrentContext()) return;
    glLineWidth(penWidth);
    SetColour(colour);
    glDisable(GL_TEXTURE_2D);
    Quad(Normalized(rect), GL_LINE_STRIP);
}

void LGLRenderer::FillRect(const LongRect& rect, const LColor& colour, bool blend)
{
    LRenderContextInfo* context = GetCurrentContext();
    if (!context) return;
    const DoubleRect r = Normalized(rect);
    if (blend) {
        SetColour(colour);
        glDisable(GL_TEXTURE_2D);
        Quad(r, GL_QUADS);
        return;
    }
    // Without blending the rectangle is cleared to the clear colour,
    // transparent black; the colour plays no part.
    const RenderState& state = context->GetState();
    SetScissor({r.x + state.origin.x, r.y + state.origin.y, r.width, r.height});
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const DoubleRect& clip = state.clip;
    SetScissor({clip.x + state.origin.x, clip.y + state.origin.y, clip.width, clip.height});
}

void LGLRenderer::DrawLine(const FloatPoint& from, const FloatPoint& to, const LColor& colour, float penWidth)
{
    if (!GetCurrentContext()) return;
    glLineWidth(penWidth);
    SetColour(colour);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_LINES);
    glVertex2d(from.x, from.y);
    glVertex2d(to.x, to.y);
    glEnd();
}

void LGLRenderer::DrawText(const String& text, ConstRCPtr<LFont> font, const LongPoint& position, const LColor& colour)
{
    if (!GetCurrentContext() || !mFontRenderer || text.IsEmpty() || !mFontRenderer->GetMeasuringProcessor()) return;
    SetColour(colour);
    const DoublePoint at{ClampToDoubleRange(position.x), ClampToDoubleRange(position.y)};
    Translate(at);
    mFontRenderer->RenderText(text, font, *mFontRenderer->GetMeasuringProcessor(), 0, 0.0f, kGlyphDrawFlags);
    Translate({-at.x, -at.y});
}

LGLRenderer::GeometryCache& LGLRenderer::CacheOf(Shape shape)
{
    switch (shape) {
    case Shape::Lines: return mSegmentsCache;
    case Shape::Polyline: return mPolylineCache;
    case Shape::Outline: return mOutlineCache;
    case Shape::Fill: break;
    }
    return mFillCache;
}

void LGLRenderer::DrawShapeDirect(Shape shape, const PolylineT<float>& polyline)
{
    const auto& points = polyline.GetPoints();
    const auto count = static_cast<GLsizei>(points.size());
    if (count == 0) return;
    static_assert(sizeof(FloatPoint) == 2 * sizeof(float), "points are float pairs");
    switch (shape) {
    case Shape::Lines:
    case Shape::Polyline:
        glLineWidth(polyline.GetLineWidth());
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(2, GL_FLOAT, 0, points.data());
        glDrawArrays(shape == Shape::Lines ? GL_LINES : GL_LINE_STRIP, 0, count);
        glDisableClientState(GL_VERTEX_ARRAY);
        break;
    case Shape::Outline:
        // A closed outline: the last point joins the first.
        glBegin(GL_LINE_LOOP);
        for (const FloatPoint& p : points) glVertex2f(p.x, p.y);
        glEnd();
        break;
    case Shape::Fill: CGLPolygon().Fill(&points.front().x, count); break;
    }
}

void LGLRenderer::DrawShape(Shape shape, const PolylineT<float>& polyline, const LColor& colour,
                            const FloatPoint& offset, const FloatPoint& scale, bool keepCached)
{
    if (!GetCurrentContext()) return;
    glPushMatrix();
    glTranslatef(offset.x, offset.y, 0);
    glScalef(scale.x, scale.y, 1);
    SetColour(colour);
    glDisable(GL_TEXTURE_2D);
    if (shape == Shape::Outline) glLineWidth(polyline.GetLineWidth());
    const uintptr_t key = polyline.GetHandle();
    const bool polygon = shape == Shape::Outline || shape == Shape::Fill;
    RCPtr<LGLDisplayList> recording;
    if (keepCached) {
        const bool changed = polyline.IsChanged();
        polyline.SetChanged(false);
        if (polygon && changed) (shape == Shape::Outline ? mFillCache : mOutlineCache).Remove(key);
        RCPtr<LGLDisplayList>& entry = CacheOf(shape).GetEntry(key, changed);
        if (entry && entry->Call(0, 1) == S_OK) {
            glPopMatrix();
            return;
        }
        entry = LGLDisplayList::Create(1);
        if (entry->BeginRecord(0) == S_OK) recording = entry;
    } else {
        CacheOf(shape).Remove(key);
        if (polygon) (shape == Shape::Outline ? mFillCache : mOutlineCache).Remove(key);
    }
    DrawShapeDirect(shape, polyline);
    // A list just recorded holds one entry; one that failed to record draws nothing.
    if (recording && Succeeded(recording->EndRecord())) (void)recording->Call(0, 1);
    glPopMatrix();
}

void LGLRenderer::DrawLines(const PolylineT<float>& p, const LColor& c, const FloatPoint& o, const FloatPoint& s,
                            bool k)
{
    DrawShape(Shape::Lines, p, c, o, s, k);
}

void LGLRenderer::DrawPolyline(const PolylineT<float>& p, const LColor& c, const FloatPoint& o, const FloatPoint& s,
                               bool k)
{
    DrawShape(Shape::Polyline, p, c, o, s, k);
}

void LGLRenderer::DrawPolygon(const PolylineT<float>& p, const LColor& c, const FloatPoint& o, const FloatPoint& s,
                              bool k)
{
    DrawShape(Shape::Outline, p, c, o, s, k);
}

void LGLRenderer::FillPolygon(const PolylineT<float>& p, const LColor& c, const FloatPoint& o, const FloatPoint& s,
                              bool k)
{
    DrawShape(Shape::Fill, p, c, o, s, k);
}

void LGLRenderer::FillRects(const ColorRectListT<float>& rects, const DoublePoint& offset, bool keepCached)
{
    LRenderContextInfo* context = GetCurrentContext();
    if (!context) return;
    glPushMatrix();
    glTranslatef(static_cast<float>(offset.x), static_cast<float>(offset.y), 0);
    const uintptr_t key = rects.GetHandle();
    // A list holds its colours at full opacity, so it is recorded and
    // replayed only then; at any other opacity the rectangles are drawn as
    // they are, leaving an unchanged list for later.
    const bool fullOpacity = context->GetState().opacity == 1.0f;
    RCPtr<LGLDisplayList> recording;
    if (keepCached && !fullOpacity) {
        if (rects.IsChanged()) mRectListCache.Remove(key);
        rects.SetChanged(false);
    } else if (keepCached) {
        const bool changed = rects.IsChanged();
        rects.SetChanged(false);
        RCPtr<LGLDisplayList>& entry = mRectListCache.GetEntry(key, changed);
        if (entry && entry->Call(0, 1) == S_OK) {
            glPopMatrix();
            return;
        }
        entry = LGLDisplayList::Create(1);
        if (entry->BeginRecord(0) == S_OK) recording = entry;
    } else {
        mRectListCache.Remove(key);
    }
    const float sx = rects.GetScaleX(), sy = rects.GetScaleY();
    for (int32_t i = rects.GetCount(); i-- > 0;) {
        const RectT<float>& r = rects.GetRect(i);
        LColor colour;
        colour.SetARGB(rects.GetColor(i));
        FillRect(
            {SaturateToLong(RoundHalfAwayFromZero(r.x * sx)), SaturateToLong(RoundHalfAwayFromZero(r.y * sy)),
             SaturateToLong(RoundHalfAwayFromZero(r.width * sx)), SaturateToLong(RoundHalfAwayFromZero(r.height * sy))},
            colour, true);
    }
    // A list just recorded holds one entry; one that failed to record draws nothing.
    if (recording && Succeeded(recording->EndRecord())) (void)recording->Call(0, 1);
    glPopMatrix();
}

RCPtr<LGLTexture> LGLRenderer::TextureOf(const ConstRCPtr<LBitmap>& bitmap)
{
    RCPtr<LGLTexture>& entry = mTextureCache.GetEntry(ImageKey{}(bitmap), false);
    if (entry && entry->IsValid()) return entry;
    entry = LGLTexture::Create(bitmap);
    return entry;
}

void LGLRenderer::DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const LongRect& destination, int32_t resizeType)
{
    if (!bitmap) ThrowFailedResult(E_INVALIDARG, "QV::LGLRenderer::DrawBitmap", kSource, 1102);
    if (!GetCurrentContext()) return;
    const RectT<int32_t>& area = bitmap->GetArea();
    RCPtr<LGLTexture> texture = TextureOf(bitmap);
    const LRenderContextInfo* context = GetCurrentContext();
    const float opacity = const_cast<LRenderContextInfo*>(context)->GetState().opacity;
    glColor4f(1, 1, 1, opacity);
    if (area.width == destination.width && area.height == destination.height) resizeType = kResizeStretch;
    const auto sx = static_cast<float>(area.x), sy = static_cast<float>(area.y);
    const auto sw = static_cast<float>(area.width), sh = static_cast<float>(area.height);
    const GLEdges source = Edges(sx, sy, sw, sh);
    switch (resizeType) {
    case kResizeStretch:
        texture->Draw(source, Edges(static_cast<float>(destination.x), static_cast<float>(destination.y),
                                    static_cast<float>(destination.width), static_cast<float>(destination.height)));
        break;
    case kResizeTile: {
        if (destination.width <= 0 || area.width <= 0 || area.height <= 0) break;
        const int64_t right = int64_t{destination.x} + destination.width;
        const int64_t bottom = int64_t{destination.y} + destination.height;
        for (int64_t x = destination.x; x < right; x += area.width)
            for (int64_t y = destination.y; y < bottom; y += area.height)
                texture->Draw(source, Edges(static_cast<float>(x), static_cast<float>(y), sw, sh));
        break;
    }
    case kResizeCenter:
        texture->Draw(source,
                      Edges(static_cast<float>(destination.x + (destination.width - area.width) / 2),
                            static_cast<float>(destination.y + (destination.height - area.height) / 2), sw, sh));
        break;
    default:
        throw Exception<std::logic_error>(FormatExceptionMessage(
            kLogicError, "Invalid ResizeType passed to DrawBitmap!", "QV::LGLRenderer::DrawBitmap", kSource, 1152));
    }
    DropGLErrors();
}

QVResult LGLRenderer::DrawBitmapRect(RCPtr<LRenderContextInfo>, const LongPoint&, const LongRect&)
{
    return E_NOTIMPL;
}

QVResult LGLRenderer::DrawSurface(RCPtr<LRenderContextInfo>, const LongPoint&)
{
    return E_NOTIMPL;
}

}  // namespace QV
