#include "LGDIRenderer.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "Clock.h"
#include "Font.h"
#include "LFont.h"

namespace QV {
namespace {

using Platform::Gdip::PointF;
using Platform::Gdip::RectF;

constexpr double kPointsToPixels = 96.0 / 72.0;
constexpr double kTwoPow52 = 4503599627370496.0;

std::string ToUtf8(const String& text)
{
    return text.ToUtf8();
}

std::unique_ptr<Platform::Gdip::Font> MakeFont(const LFont& font, double pixels)
{
    return std::make_unique<Platform::Gdip::Font>(ToUtf8(font.GetFaceName()), static_cast<float>(pixels),
                                                  font.GetStyle());
}

RectF ToRectF(const LongRect& r)
{
    return {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width),
            static_cast<float>(r.height)};
}

int32_t RoundToLong(double v)
{
    return SaturateToLong(v);
}

// How far a stroke's pixels may reach beyond its points: mitred corners go
// up to five pen widths (cairo's default limit of 10 times half the width),
// plus the half-pixel shift and antialiasing.
double StrokeReach(float penWidth)
{
    return 5.0 * std::max<double>(penWidth, 1.0) + 2.0;
}

FloatPoint Clamped(const FloatPoint& p)
{
    auto clamp = [](float v) { return static_cast<float>(std::clamp<double>(v, -kTwoPow52, kTwoPow52)); };
    return {clamp(p.x), clamp(p.y)};
}

}  // namespace

LGDIRenderer::LGDIRenderer() : mLastPurgeTime(Platform::Clock::NowMs())
{
    mScreenResolution = static_cast<int32_t>(Platform::Gdip::Graphics::kDpi);
}

LGDIRenderer::~LGDIRenderer()
{
    mContext.Reset();
}

Platform::Gdip::Graphics* LGDIRenderer::GetGraphics() const
{
    return mContext ? &mContext->GetDrawingSurface()->GetGraphics() : nullptr;
}

LongRect LGDIRenderer::DeviceArea(double x, double y, double width, double height, double pad) const
{
    const LongSize size = mContext->GetDrawingSurface()->GetSize();
    // The graphics translate by the origin in single precision.
    const DoublePoint& origin = mContext->GetState().origin;
    const double ox = static_cast<float>(origin.x), oy = static_cast<float>(origin.y);
    // Edges held just outside the image first: far-off or non-finite
    // coordinates must not overflow the conversion.
    auto edge = [](double v, int32_t limit) { return !(v > -1.0) ? -1.0 : !(v < limit + 1.0) ? limit + 1.0 : v; };
    const double left = std::floor(edge(x + ox - pad, size.width));
    const double top = std::floor(edge(y + oy - pad, size.height));
    const double right = std::ceil(edge(x + width + ox + pad, size.width));
    const double bottom = std::ceil(edge(y + height + oy + pad, size.height));
    if (!(left < right) || !(top < bottom)) return {};
    return {int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top)};
}

LongRect LGDIRenderer::OpaqueArea(const LongRect& rect) const
{
    RectF clip;
    Platform::Gdip::Graphics& g = mContext->GetDrawingSurface()->GetGraphics();
    g.GetClipBounds(clip);
    // Whole pixels only: aliased fills take the pixels whose centres they hold,
    // and a fractional clip edge may shade its pixels.
    const double left = std::max<double>(rect.x, clip.x), top = std::max<double>(rect.y, clip.y);
    const double right = std::min(double(rect.x) + rect.width, double(clip.x) + clip.width);
    const double bottom = std::min(double(rect.y) + rect.height, double(clip.y) + clip.height);
    const DoublePoint& origin = mContext->GetState().origin;
    const double ox = static_cast<float>(origin.x), oy = static_cast<float>(origin.y);
    const LongSize size = mContext->GetDrawingSurface()->GetSize();
    const double l = std::ceil(left + ox), t = std::ceil(top + oy);
    const double r = std::floor(right + ox), b = std::floor(bottom + oy);
    if (!(l >= 0 && t >= 0 && r <= size.width && b <= size.height && l < r && t < b)) return {};
    return {int32_t(l), int32_t(t), int32_t(r - l), int32_t(b - t)};
}

void LGDIRenderer::PrepareToDraw(const LongRect& reach, const LongRect& covered)
{
    mContext->GetDrawingSurface()->PrepareToDraw(reach, covered);
}

float LGDIRenderer::GetOpacity() const
{
    return mContext ? mContext->GetState().opacity : 1.0f;
}

uint32_t LGDIRenderer::ToArgb(const LColor& colour) const
{
    LColor c = colour;
    c.alpha *= GetOpacity();
    return c.GetARGB();
}

QVResult LGDIRenderer::GetFontMetrics(ConstRCPtr<LFont> font, int32_t& lineHeight, int32_t& ascent, int32_t& descent)
{
    if (!font) return E_INVALIDARG;
    const Platform::Gdip::Font& face = FaceFor(font, font->GetSize());
    const Platform::Gdip::FontDesignMetrics& m = face.GetDesignMetrics();
    if (m.emHeight <= 0) return E_FAIL;
    const double size = font->GetSize();
    const double perUnit = size * 96.0 / (m.emHeight * 72.0);
    lineHeight = RoundToLong(face.GetHeight() * kPointsToPixels + 0.499);
    ascent = RoundToLong(-(m.cellAscent * perUnit) - 0.499);
    descent = RoundToLong(m.cellDescent * perUnit + 0.499);
    return S_OK;
}

RectT<float> LGDIRenderer::MeasureText(const String& text, ConstRCPtr<LFont> font)
{
    if (text.IsEmpty() || !font) return {};
    int32_t height = 0, ascent = 0, descent = 0;
    (void)GetFontMetrics(font, height, ascent, descent);  // font was checked above
    const Platform::Gdip::Font& face = FaceFor(font, font->GetSize() * kPointsToPixels);
    double width = face.MeasureString(ToUtf8(text));
    // Converted to 96 dpi the glyphs' widths round differently than they were
    // laid out: three pixels of room keep such a text from being cut.
    if (mScreenResolution != 96) width = std::round(width * 96.0 / mScreenResolution + 3.0);
    return {0.0f, static_cast<float>(ascent), static_cast<float>(width), static_cast<float>(height)};
}

QVResult LGDIRenderer::InitRenderContextInfo(const LongRect& viewport, WindowHandle window, bool offscreen,
                                             RCPtr<LRenderContextInfo>& context)
{
    context = new LGDIRenderContextInfo(viewport, window, offscreen);
    return context ? S_OK : E_FAIL;
}

QVResult LGDIRenderer::RenderStart(RCPtr<LRenderContextInfo> context)
{
    const QVResult started = LRenderer::RenderStart(context);
    if (Failed(started)) return started;
    mContext = RCPtr<LGDIRenderContextInfo>::DynamicCast(context);
    if (!mContext) return S_OK;  // not ours: nothing is drawn on it
    mContext->BeginFrame();
    Platform::Gdip::Graphics& g = mContext->GetDrawingSurface()->GetGraphics();
    mFontScale = 96.0f / g.GetDpiX();
    g.SetSmoothingMode(Platform::Gdip::SmoothingMode::HighSpeed);
    g.SetInterpolationMode(Platform::Gdip::InterpolationMode::NearestNeighbor);
    g.SetPixelOffsetMode(Platform::Gdip::PixelOffsetMode::HighSpeed);
    g.SetCompositingMode(Platform::Gdip::CompositingMode::SourceOver);
    // Graphics kept from the last frame still carry its transform: set it
    // afresh rather than add the origin to it a second time.
    const DoublePoint& origin = mContext->GetState().origin;
    g.ResetTransform();
    g.TranslateTransform(static_cast<float>(origin.x), static_cast<float>(origin.y));
    return S_OK;
}

QVResult LGDIRenderer::RenderFinish(RCPtr<LRenderContextInfo> context)
{
    // A mismatched finish raises below; it must neither present nor leave
    // the still-current context without its drawing surface.
    if (mContext && mContext.Get() == context.Get()) mContext->EndFrame();
    (void)LRenderer::RenderFinish(context);  // a mismatch raises; otherwise it succeeds
    mContext.Reset();
    if (GetCurrentContext())
        mContext = RCPtr<LGDIRenderContextInfo>::DynamicCast(RCPtr<LRenderContextInfo>(GetCurrentContext()));
    const uint32_t now = Platform::Clock::NowMs();
    if (Platform::Clock::ElapsedMs(mLastPurgeTime, now) > kPurgePeriodMs) {
        mBitmapCache.Purge(mBitmapCache.GetPurgeMark());
        // Entries last used before this purge are stamped at most the counter
        // now; one past it lets the next purge drop them (a mark of the counter
        // itself would keep the last one used for another period).
        mBitmapCache.SetPurgeMark(mBitmapCache.GetUseCounter() + 1);
        mLastPurgeTime = now;
    }
    return S_OK;
}

LGDIRenderer::RecentFace& LGDIRenderer::RecentFaceFor(const ConstRCPtr<LFont>& font, double pixels)
{
    RecentFace* slot = &mRecentFaces.front();
    for (RecentFace& recent : mRecentFaces) {
        if (recent.face && recent.font == font && recent.pixels == pixels) {
            recent.lastUse = ++mFaceUses;
            return recent;
        }
        if (recent.lastUse < slot->lastUse) slot = &recent;
    }
    // The least recently used goes.
    slot->face = MakeFont(*font, pixels);
    slot->font = font;
    slot->pixels = pixels;
    slot->lastUse = ++mFaceUses;
    slot->inks.clear();
    return *slot;
}

void LGDIRenderer::DrawText(const String& text, ConstRCPtr<LFont> font, const LongPoint& position, const LColor& colour)
{
    Platform::Gdip::Graphics* g = GetGraphics();
    if (!g || !font) return;
    RecentFace& recent = RecentFaceFor(font, font->GetSize() * mFontScale * kPointsToPixels);
    const Platform::Gdip::Font& face = *recent.face;
    const Platform::Gdip::PointF topLeft{static_cast<float>(position.x), static_cast<float>(position.y - 1)};
    std::string utf8 = ToUtf8(text);
    RectF ink;
    // The ink box moves with the pen: the pen stands on whole pixels and the
    // glyphs sit at the pen plus the face's own advances, so a text's ink has
    // the same shape wherever it is drawn. Measured once per text and face.
    if (const auto known = recent.inks.find(utf8); known != recent.inks.end()) {
        g->LayOutString(utf8, face, topLeft, false);
        ink = known->second;
        if (ink.width > 0 && ink.height > 0) {
            ink.x += topLeft.x;
            ink.y += topLeft.y;
        }
    } else {
        ink = g->LayOutString(utf8, face, topLeft);
        if (recent.inks.size() >= kInksPerFace) recent.inks.clear();
        recent.inks.emplace(std::move(utf8), RectF{ink.x - topLeft.x, ink.y - topLeft.y, ink.width, ink.height});
    }
    // Room for antialiasing and glyphs placed on whole pixels, and for glyphs
    // emboldened by the font engine.
    const double pad = 2.0 + (face.IsEmboldened() ? face.GetEmSize() / 8 : 0.0);
    if (ink.width > 0 && ink.height > 0) PrepareToDraw(DeviceArea(ink.x, ink.y, ink.width, ink.height, pad));
    g->DrawLaidOutString(ToArgb(colour));
}

void LGDIRenderer::DrawRect(const LongRect& rect, const LColor& colour, float penWidth)
{
    Platform::Gdip::Graphics* g = GetGraphics();
    if (!g) return;
    PrepareToDraw(DeviceArea(rect.x, rect.y, rect.width, rect.height, StrokeReach(penWidth)));
    g->DrawRectangle(ToRectF(rect), ToArgb(colour), penWidth);
}

void LGDIRenderer::FillRect(const LongRect& rect, const LColor& colour, bool blend)
{
    Platform::Gdip::Graphics* g = GetGraphics();
    if (!g) return;
    const uint32_t argb = ToArgb(colour);
    if (blend) {
        // Fills are aliased: they reach only the pixels whose centres they hold.
        PrepareToDraw(DeviceArea(rect.x, rect.y, rect.width, rect.height, 0.0),
                      argb >> 24 == 0xFF ? OpaqueArea(rect) : LongRect{});
        g->FillRectangle(ToRectF(rect), argb);
        return;
    }
    // Surface pixels, origin and clip not applied; never beyond the image.
    PrepareToDraw(rect, rect);
    g->Flush();
    mContext->GetDrawingSurface()->GetBitmap().FillNoBlend({rect.x, rect.y, rect.width, rect.height}, argb);
}

void LGDIRenderer::FillRects(const ColorRectListT<float>& rects, const DoublePoint& offset, bool)
{
    if (!GetGraphics()) return;
    Translate(offset);
    const double sx = rects.GetScaleX(), sy = rects.GetScaleY();
    for (int32_t i = rects.GetCount(); i-- > 0;) {
        const RectT<float>& r = rects.GetRect(i);
        const LongRect scaled(RoundToLong(r.x * sx), RoundToLong(r.y * sy), RoundToLong(r.width * sx),
                              RoundToLong(r.height * sy));
        FillRect(scaled, LColor::FromARGB(rects.GetColor(i)), true);
    }
    Translate({-offset.x, -offset.y});
}

void LGDIRenderer::DrawLine(const FloatPoint& from, const FloatPoint& to, const LColor& colour, float penWidth)
{
    Platform::Gdip::Graphics* g = GetGraphics();
    if (!g) return;
    PrepareToDraw(DeviceArea(std::min(from.x, to.x), std::min(from.y, to.y), std::fabs(double(to.x) - from.x),
                             std::fabs(double(to.y) - from.y), StrokeReach(penWidth)));
    g->DrawLine({from.x, from.y}, {to.x, to.y}, ToArgb(colour), penWidth);
}

void LGDIRenderer::DrawLines(const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                             const FloatPoint& scale, bool keepCached)
{
    DrawPath(PathOperation::Lines, polyline, colour, offset, scale, keepCached);
}

void LGDIRenderer::DrawPolyline(const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                                const FloatPoint& scale, bool keepCached)
{
    DrawPath(PathOperation::Polyline, polyline, colour, offset, scale, keepCached);
}

void LGDIRenderer::DrawPolygon(const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                               const FloatPoint& scale, bool keepCached)
{
    DrawPath(PathOperation::Polygon, polyline, colour, offset, scale, keepCached);
}

void LGDIRenderer::FillPolygon(const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                               const FloatPoint& scale, bool keepCached)
{
    DrawPath(PathOperation::Fill, polyline, colour, offset, scale, keepCached);
}

namespace {

Platform::Gdip::GraphicsPath BuildPath(int32_t operation, const std::vector<FloatPoint>& points)
{
    Platform::Gdip::GraphicsPath path;
    std::vector<PointF> pts;
    pts.reserve(points.size());
    for (const FloatPoint& p : points) pts.push_back({p.x, p.y});
    if (operation == 0) {
        // Pairs of points; an odd last point is ignored.
        for (size_t i = 0; i + 1 < pts.size(); i += 2) path.AddLine(pts[i], pts[i + 1]);
    } else if (operation == 1) {
        path.AddLines(pts);
    } else {
        path.AddPolygon(pts);
    }
    return path;
}

RectT<float> BoundsOf(const std::vector<FloatPoint>& points)
{
    if (points.empty()) return {};
    float left = points.front().x, right = left, top = points.front().y, bottom = top;
    for (const FloatPoint& p : points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    return {left, top, right - left, bottom - top};
}

}  // namespace

void LGDIRenderer::DrawPath(PathOperation operation, const PolylineT<float>& polyline, const LColor& colour,
                            const FloatPoint& offset, const FloatPoint& scale, bool keepCached)
{
    Platform::Gdip::Graphics* g = GetGraphics();
    if (!g) return;
    const PathKey key{polyline.GetHandle(), static_cast<int32_t>(operation)};
    RCPtr<LGraphicsPath>& slot = mPathCache.GetEntry(key, false);
    if (polyline.IsChanged()) {
        polyline.SetChanged(false);
        slot.Reset();
    }
    if (!slot)
        slot = new LGraphicsPath(BuildPath(static_cast<int32_t>(operation), polyline.GetPoints()),
                                 BoundsOf(polyline.GetPoints()));
    const RCPtr<LGraphicsPath> path = slot;  // the slot may be reused while drawing
    const uint32_t argb = ToArgb(colour);
    const FloatPoint shift = Clamped(offset);
    Translate({shift.x, shift.y});
    constexpr float kEpsilon = 1.1920929e-6f;
    const bool scaled = std::fabs(scale.x - 1.0f) > kEpsilon || std::fabs(scale.y - 1.0f) > kEpsilon;
    const Platform::Gdip::GraphicsPath& drawn = scaled ? path->GetPath().Scaled(scale.x, scale.y) : path->GetPath();
    const RectT<float>& box = path->GetBounds();
    const double sx = scaled ? scale.x : 1.0, sy = scaled ? scale.y : 1.0;
    const double x0 = box.x * sx, x1 = (double(box.x) + box.width) * sx;
    const double y0 = box.y * sy, y1 = (double(box.y) + box.height) * sy;
    PrepareToDraw(DeviceArea(std::min(x0, x1), std::min(y0, y1), std::fabs(x1 - x0), std::fabs(y1 - y0),
                             operation == PathOperation::Fill ? 1.0 : StrokeReach(polyline.GetLineWidth())));
    if (operation == PathOperation::Fill)
        g->FillPath(drawn, argb);
    else
        g->DrawPath(drawn, argb, polyline.GetLineWidth());
    Translate({-shift.x, -shift.y});
    if (!keepCached) slot.Reset();
}

QVResult LGDIRenderer::DrawBitmapRect(RCPtr<LRenderContextInfo> source, const LongPoint& destination,
                                      const LongRect& sourceRect)
{
    auto* from = dynamic_cast<LGDIRenderContextInfo*>(source.Get());
    if (!from || !from->IsOffscreen()) return E_INVALIDARG;
    Platform::Gdip::Graphics* g = GetGraphics();
    if (!g) return E_FAIL;
    PrepareToDraw(DeviceArea(destination.x, destination.y, sourceRect.width, sourceRect.height, 1.0));
    return from->GetDrawingSurface()->DrawTo(*g, destination, sourceRect, GetOpacity());
}

QVResult LGDIRenderer::DrawSurface(RCPtr<LRenderContextInfo> offscreen, const LongPoint& position)
{
    auto* context = dynamic_cast<LGDIRenderContextInfo*>(offscreen.Get());
    if (!context || !context->IsOffscreen()) return E_INVALIDARG;
    if (!GetGraphics()) return E_FAIL;
    context->SwapSurfaces();
    const RCPtr<LGDIRendererOffscreenSurface>& target = context->GetDrawingSurface();
    const RCPtr<LGDIRendererOffscreenSurface>& previous = context->GetSpareSurface();
    target->Clear();
    const LongSize size = previous->GetSize();
    Platform::Gdip::Graphics& g = target->GetGraphics();
    g.ResetTransform();
    g.ResetClip();
    target->PrepareToDraw({position.x - 1, position.y - 1, size.width + 2, size.height + 2});
    const QVResult result = previous->DrawTo(g, position, {0, 0, size.width, size.height});
    const DoublePoint& origin = context->GetState().origin;
    g.TranslateTransform(static_cast<float>(origin.x), static_cast<float>(origin.y));
    return result;
}

void LGDIRenderer::SetClipRect(const DoubleRect& clip)
{
    LRenderer::SetClipRect(clip);
    if (Platform::Gdip::Graphics* g = GetGraphics())
        g->SetClip({static_cast<float>(clip.x), static_cast<float>(clip.y), static_cast<float>(clip.width),
                    static_cast<float>(clip.height)});
}

void LGDIRenderer::Translate(const DoublePoint& offset)
{
    LRenderer::Translate(offset);
    Platform::Gdip::Graphics* g = GetGraphics();
    if (!g) return;
    const DoublePoint& origin = mContext->GetState().origin;
    g->ResetTransform();
    g->TranslateTransform(static_cast<float>(origin.x), static_cast<float>(origin.y));
}

}  // namespace QV
