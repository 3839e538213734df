#include "Graphics.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "Font.h"
#include "Surface.h"

namespace Platform::Gdip {
namespace {

cairo_filter_t FilterOf(InterpolationMode mode)
{
    switch (mode) {
    case InterpolationMode::NearestNeighbor: return CAIRO_FILTER_NEAREST;
    case InterpolationMode::Bilinear: return CAIRO_FILTER_BILINEAR;
    case InterpolationMode::HighQuality: return CAIRO_FILTER_GOOD;
    }
    return CAIRO_FILTER_NEAREST;
}

void SetSourceColour(cairo_t* cr, Argb c)
{
    cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                          (c >> 24) / 255.0);
}

// A new image holding the area; pixels beyond the source are transparent.
cairo_surface_t* CopyArea(cairo_surface_t* image, const RectI& area)
{
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, area.width, area.height);
    cairo_t* cr = cairo_create(copy);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, image, -area.x, -area.y);
    cairo_paint(cr);
    cairo_destroy(cr);
    return copy;
}

}  // namespace

Graphics::Graphics(Surface& target) : mCr(cairo_create(target.GetCairoSurface())), mTarget(target) {}

Graphics::~Graphics()
{
    cairo_scaled_font_destroy(mScaledFont);
    cairo_destroy(mCr);
    mTarget.MarkDirty();
}

void Graphics::ResetTransform()
{
    cairo_identity_matrix(mCr);
    TransformOrClipChanged();
}

void Graphics::TranslateTransform(float dx, float dy)
{
    cairo_translate(mCr, dx, dy);
    TransformOrClipChanged();
}

void Graphics::SetClip(const RectF& clip)
{
    TransformOrClipChanged();
    cairo_reset_clip(mCr);
    cairo_rectangle(mCr, clip.x, clip.y, std::max(clip.width, 0.0f), std::max(clip.height, 0.0f));
    cairo_clip(mCr);
}

void Graphics::ResetClip()
{
    TransformOrClipChanged();
    cairo_reset_clip(mCr);
}

void Graphics::GetClipBounds(RectF& bounds) const
{
    if (!mClipBoundsKnown) {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        cairo_clip_extents(mCr, &x1, &y1, &x2, &y2);
        const_cast<Graphics*>(this)->mClipBounds = {static_cast<float>(x1), static_cast<float>(y1),
                                                    static_cast<float>(x2 - x1), static_cast<float>(y2 - y1)};
        const_cast<Graphics*>(this)->mClipBoundsKnown = true;
    }
    bounds = mClipBounds;
}

void Graphics::Prepare(Argb colour)
{
    if (!mSourceIsColour || mSourceColour != colour) {
        SetSourceColour(mCr, colour);
        mSourceIsColour = true;
        mSourceColour = colour;
    }
    PrepareRaster();
}

void Graphics::PrepareRaster()
{
    const int antialias = mSmoothing == SmoothingMode::AntiAlias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE;
    if (antialias != mAntialias) {
        cairo_set_antialias(mCr, static_cast<cairo_antialias_t>(antialias));
        mAntialias = antialias;
    }
    const int op = mCompositing == CompositingMode::SourceCopy ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER;
    if (op != mOperator) {
        cairo_set_operator(mCr, static_cast<cairo_operator_t>(op));
        mOperator = op;
    }
}

void Graphics::SetScaledFont(cairo_scaled_font_t* font)
{
    if (font == mScaledFont) return;
    cairo_set_scaled_font(mCr, font);
    // Held so that no other font can come to the same address while set.
    cairo_scaled_font_destroy(mScaledFont);
    mScaledFont = cairo_scaled_font_reference(font);
}

void Graphics::Stroke(float penWidth)
{
    // A thin line covers both end pixels, as aliased lines do.
    cairo_set_line_width(mCr, std::max(penWidth, 1.0f));
    cairo_set_line_cap(mCr, penWidth <= 1.0f ? CAIRO_LINE_CAP_SQUARE : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(mCr, CAIRO_LINE_JOIN_MITER);
    cairo_stroke(mCr);
}

void Graphics::FillRectangle(const RectF& rect, Argb colour)
{
    Prepare(colour);
    cairo_rectangle(mCr, rect.x, rect.y, rect.width, rect.height);
    cairo_fill(mCr);
}

// Strokes run through pixel centres: half a pixel off the grid under HighSpeed.
double Graphics::StrokeOffset() const
{
    return mPixelOffset == PixelOffsetMode::HighSpeed ? 0.5 : 0.0;
}

void Graphics::DrawRectangle(const RectF& rect, Argb colour, float penWidth)
{
    Prepare(colour);
    const double o = StrokeOffset();
    cairo_rectangle(mCr, rect.x + o, rect.y + o, rect.width, rect.height);
    Stroke(penWidth);
}

void Graphics::DrawLine(PointF from, PointF to, Argb colour, float penWidth)
{
    Prepare(colour);
    const double o = StrokeOffset();
    cairo_move_to(mCr, from.x + o, from.y + o);
    cairo_line_to(mCr, to.x + o, to.y + o);
    Stroke(penWidth);
}

void Graphics::AppendPath(const GraphicsPath& path)
{
    const double o = StrokeOffset();
    for (const GraphicsPath::Figure& figure : path.GetFigures()) {
        cairo_move_to(mCr, figure.points.front().x + o, figure.points.front().y + o);
        for (size_t i = 1; i < figure.points.size(); ++i)
            cairo_line_to(mCr, figure.points[i].x + o, figure.points[i].y + o);
        if (figure.closed) cairo_close_path(mCr);
    }
}

void Graphics::DrawPath(const GraphicsPath& path, Argb colour, float penWidth)
{
    Prepare(colour);
    AppendPath(path);
    Stroke(penWidth);
}

void Graphics::FillPath(const GraphicsPath& path, Argb colour)
{
    Prepare(colour);
    // Fills cover whole pixels from the grid, as FillRectangle does.
    const PixelOffsetMode saved = mPixelOffset;
    mPixelOffset = PixelOffsetMode::Half;
    AppendPath(path);
    mPixelOffset = saved;
    cairo_set_fill_rule(mCr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(mCr);
    cairo_set_fill_rule(mCr, CAIRO_FILL_RULE_WINDING);
}

void Graphics::DrawImage(cairo_surface_t* image, const RectF& source, const RectF& dest, float opacity)
{
    if (!image || source.width <= 0 || source.height <= 0 || dest.width <= 0 || dest.height <= 0) return;
    PrepareRaster();
    SourceChanged();
    const bool scaled = source.width != dest.width || source.height != dest.height;
    if (!scaled && opacity >= 1.0f) {
        // A plain copy: no transform of its own to set and undo.
        cairo_set_source_surface(mCr, image, dest.x - source.x, dest.y - source.y);
        cairo_pattern_set_filter(cairo_get_source(mCr), FilterOf(mInterpolation));
        cairo_rectangle(mCr, dest.x, dest.y, dest.width, dest.height);
        cairo_fill(mCr);
        return;
    }
    const bool part = source.x != 0 || source.y != 0 || source.width != cairo_image_surface_get_width(image) ||
                      source.height != cairo_image_surface_get_height(image);
    // Scaling samples beyond the edges: a part gets an image of its own so
    // its neighbours never bleed in, and edges repeat instead of fading out.
    cairo_surface_t* owned = nullptr;
    RectF from = source;
    if (scaled && part) {
        owned = CopyArea(
            image, {static_cast<int32_t>(source.x), static_cast<int32_t>(source.y),
                    static_cast<int32_t>(std::ceil(source.width)), static_cast<int32_t>(std::ceil(source.height))});
        from.x = from.y = 0;
    }
    cairo_save(mCr);
    cairo_translate(mCr, dest.x, dest.y);
    cairo_scale(mCr, dest.width / from.width, dest.height / from.height);
    cairo_set_source_surface(mCr, owned ? owned : image, -from.x, -from.y);
    cairo_pattern_set_filter(cairo_get_source(mCr), FilterOf(mInterpolation));
    if (scaled) cairo_pattern_set_extend(cairo_get_source(mCr), CAIRO_EXTEND_PAD);
    cairo_rectangle(mCr, 0, 0, from.width, from.height);
    if (opacity >= 1.0f) {
        cairo_fill(mCr);
    } else {
        cairo_clip(mCr);
        cairo_paint_with_alpha(mCr, std::max(opacity, 0.0f));
    }
    cairo_restore(mCr);
    if (owned) cairo_surface_destroy(owned);
}

void Graphics::DrawImage(const Surface& image, const RectF& source, const RectF& dest, float opacity)
{
    image.Flush();
    DrawImage(image.GetCairoSurface(), source, dest, opacity);
}

void Graphics::FillWithTexture(cairo_surface_t* image, const RectI& source, const RectF& dest, float opacity)
{
    if (!image || source.width <= 0 || source.height <= 0 || dest.width <= 0 || dest.height <= 0) return;
    // The area gets an image of its own: a repeating pattern repeats whole images.
    cairo_surface_t* tile = CopyArea(image, source);

    PrepareRaster();
    SourceChanged();
    cairo_save(mCr);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -dest.x, -dest.y);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_set_source(mCr, pattern);
    cairo_rectangle(mCr, dest.x, dest.y, dest.width, dest.height);
    cairo_clip(mCr);
    cairo_paint_with_alpha(mCr, std::clamp(opacity, 0.0f, 1.0f));
    cairo_restore(mCr);
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(tile);
}

void Graphics::FillBand(double left, double right, double centreY, double thickness)
{
    cairo_rectangle(mCr, left, centreY - thickness / 2, right - left, thickness);
    cairo_fill(mCr);
}

struct Graphics::LaidOutText {
    std::vector<cairo_glyph_t> glyphs;
    const Font* font = nullptr;
    std::string utf8;  // for the lines, measured only when drawn
    PointF topLeft;
    double baseline = 0;
};

void Graphics::DrawString(const std::string& utf8, const Font& font, PointF topLeft, Argb colour)
{
    LayOutString(utf8, font, topLeft);
    DrawLaidOutString(colour);
}

RectF Graphics::LayOutString(const std::string& utf8, const Font& font, PointF topLeft, bool measureInk)
{
    if (!mLaidOut) mLaidOut = std::make_unique<LaidOutText>();
    LaidOutText& text = *mLaidOut;
    text.glyphs.clear();
    text.font = nullptr;
    if (!font.IsValid() || utf8.empty()) return {};
    const FontDesignMetrics& m = font.GetDesignMetrics();
    const double baseline = topLeft.y + font.ToPixels(m.cellAscent);
    // Laid out into the kept buffer: a text has no more glyphs than bytes.
    text.glyphs.resize(std::max(text.glyphs.capacity(), utf8.size()));
    cairo_glyph_t* glyphs = text.glyphs.data();
    int count = static_cast<int>(text.glyphs.size());
    if (cairo_scaled_font_text_to_glyphs(font.GetScaledFont(), topLeft.x, baseline, utf8.data(),
                                         static_cast<int>(utf8.size()), &glyphs, &count, nullptr, nullptr,
                                         nullptr) != CAIRO_STATUS_SUCCESS) {
        text.glyphs.clear();
        return {};
    }
    if (glyphs != text.glyphs.data()) {
        text.glyphs.assign(glyphs, glyphs + count);
        cairo_glyph_free(glyphs);
    }
    text.glyphs.resize(static_cast<size_t>(count));
    text.font = &font;
    if (font.GetStyle() & (FontStyleUnderline | FontStyleStrikeout)) text.utf8 = utf8;
    text.topLeft = topLeft;
    text.baseline = baseline;
    if (!measureInk) return {};
    cairo_text_extents_t ink{};
    cairo_scaled_font_glyph_extents(font.GetScaledFont(), text.glyphs.data(), count, &ink);
    double left = topLeft.x + ink.x_bearing, top = baseline + ink.y_bearing;
    double right = left + ink.width, bottom = top + ink.height;
    if (count == 0 || ink.width <= 0 || ink.height <= 0) left = top = right = bottom = 0;
    const int32_t style = font.GetStyle();
    if (style & (FontStyleUnderline | FontStyleStrikeout)) {
        // The lines run from the pen's start to its end.
        const double end = topLeft.x + font.MeasureString(utf8);
        auto band = [&](double centreY, double thickness) {
            if (right <= left) {
                left = right = topLeft.x;
                top = bottom = centreY;
            }
            left = std::min(left, double(topLeft.x));
            right = std::max(right, end);
            top = std::min(top, centreY - thickness / 2);
            bottom = std::max(bottom, centreY + thickness / 2);
        };
        if (style & FontStyleUnderline)
            band(baseline - font.ToPixels(m.underlinePosition), std::max(1.0f, font.ToPixels(m.underlineThickness)));
        if (style & FontStyleStrikeout)
            band(baseline - font.ToPixels(m.strikeoutPosition), std::max(1.0f, font.ToPixels(m.strikeoutSize)));
    }
    return {static_cast<float>(left), static_cast<float>(top), static_cast<float>(right - left),
            static_cast<float>(bottom - top)};
}

void Graphics::DrawLaidOutString(Argb colour)
{
    if (!mLaidOut || !mLaidOut->font) return;
    const LaidOutText& text = *mLaidOut;
    const Font& font = *text.font;
    Prepare(colour);
    SetScaledFont(font.GetScaledFont());
    cairo_show_glyphs(mCr, text.glyphs.data(), static_cast<int>(text.glyphs.size()));
    const int32_t style = font.GetStyle();
    if (!(style & (FontStyleUnderline | FontStyleStrikeout))) return;
    // The face's own glyphs carry neither line: they are drawn here.
    const FontDesignMetrics& m = font.GetDesignMetrics();
    const double right = text.topLeft.x + font.MeasureString(text.utf8);
    if (style & FontStyleUnderline) {
        const double thickness = std::max(1.0f, font.ToPixels(m.underlineThickness));
        FillBand(text.topLeft.x, right, text.baseline - font.ToPixels(m.underlinePosition), thickness);
    }
    if (style & FontStyleStrikeout) {
        const double thickness = std::max(1.0f, font.ToPixels(m.strikeoutSize));
        FillBand(text.topLeft.x, right, text.baseline - font.ToPixels(m.strikeoutPosition), thickness);
    }
}

void Graphics::Flush()
{
    cairo_surface_flush(mTarget.GetCairoSurface());
}

}  // namespace Platform::Gdip
