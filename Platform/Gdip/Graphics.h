#pragma once
// Drawing on a Surface: solid fills, pens, paths, images and text, under a
// translation and a clip rectangle. Colours are straight ARGB.
#include <memory>
#include <string>

#include "GdipTypes.h"
#include "GraphicsPath.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace Platform::Gdip {

class Font;
class Surface;

class Graphics {
public:
    explicit Graphics(Surface& target);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // The resolution text sizes in points are converted with.
    static constexpr float kDpi = 96.0f;
    float GetDpiX() const { return kDpi; }

    void SetSmoothingMode(SmoothingMode mode) { mSmoothing = mode; }
    void SetInterpolationMode(InterpolationMode mode) { mInterpolation = mode; }
    void SetCompositingMode(CompositingMode mode) { mCompositing = mode; }
    void SetPixelOffsetMode(PixelOffsetMode mode) { mPixelOffset = mode; }

    void ResetTransform();
    void TranslateTransform(float dx, float dy);
    // The clip rectangle, in the current world coordinates; it replaces any
    // earlier clip.
    void SetClip(const RectF& clip);
    void ResetClip();
    // The bounds of the clip in the current world coordinates (the image's
    // when no clip is set).
    void GetClipBounds(RectF& bounds) const;

    void FillRectangle(const RectF& rect, Argb colour);
    // Pens narrower than one pixel still draw one pixel wide.
    void DrawRectangle(const RectF& rect, Argb colour, float penWidth);
    void DrawLine(PointF from, PointF to, Argb colour, float penWidth);
    void DrawPath(const GraphicsPath& path, Argb colour, float penWidth);
    void FillPath(const GraphicsPath& path, Argb colour);

    // The source area of image drawn into dest (scaled when the sizes
    // differ), its alpha multiplied by opacity.
    void DrawImage(cairo_surface_t* image, const RectF& source, const RectF& dest, float opacity = 1.0f);
    void DrawImage(const Surface& image, const RectF& source, const RectF& dest, float opacity = 1.0f);
    // dest filled with copies of the source area repeated from dest's corner.
    void FillWithTexture(cairo_surface_t* image, const RectI& source, const RectF& dest, float opacity = 1.0f);

    // One line of UTF-8 text whose cell top-left is at topLeft.
    void DrawString(const std::string& utf8, const Font& font, PointF topLeft, Argb colour);
    // The same in two steps: the text laid out, with the box its ink will
    // cover in world coordinates before antialiasing (empty when nothing
    // would be drawn), then drawn. Each layout replaces the last. Without
    // measureInk the box is not measured and comes back empty.
    RectF LayOutString(const std::string& utf8, const Font& font, PointF topLeft, bool measureInk = true);
    void DrawLaidOutString(Argb colour);

    void Flush();

private:
    // Colour source, antialiasing and operator for the next drawing; each is
    // handed to cairo only when it changes, as a frame draws hundreds of
    // things mostly in a few colours.
    void Prepare(Argb colour);
    void PrepareRaster();
    // The source is no longer the colour last set.
    void SourceChanged() { mSourceIsColour = false; }
    void SetScaledFont(cairo_scaled_font_t* font);
    void TransformOrClipChanged() { mClipBoundsKnown = false; }
    void Stroke(float penWidth);
    void AppendPath(const GraphicsPath& path);
    void FillBand(double left, double right, double centreY, double thickness);
    double StrokeOffset() const;

    struct LaidOutText;

    cairo_t* mCr;
    Surface& mTarget;
    std::unique_ptr<LaidOutText> mLaidOut;
    SmoothingMode mSmoothing = SmoothingMode::HighSpeed;
    InterpolationMode mInterpolation = InterpolationMode::NearestNeighbor;
    CompositingMode mCompositing = CompositingMode::SourceOver;
    PixelOffsetMode mPixelOffset = PixelOffsetMode::HighSpeed;
    // What cairo was last given, and the clip's bounds until the transform
    // or the clip changes.
    bool mSourceIsColour = false;
    Argb mSourceColour = 0;
    int mAntialias = -1;
    int mOperator = -1;
    cairo_scaled_font_t* mScaledFont = nullptr;  // referenced while set
    bool mClipBoundsKnown = false;
    RectF mClipBounds;
};

}  // namespace Platform::Gdip
