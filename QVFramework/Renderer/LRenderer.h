#pragma once
// The drawing interface every control draws through. Frames nest: contexts
// are started and finished in stack order, and the state operations work on
// the most recently started one. Drawing coordinates are local to the
// current origin. UI thread only; nothing is locked.
#include <cstdint>
#include <vector>

#include "ColorRectListT.h"
#include "LColor.h"
#include "LMeasurementRenderer.h"
#include "LRenderContextInfo.h"
#include "LStencil.h"
#include "PointT.h"
#include "PolylineT.h"
#include "RectT.h"

namespace QV {

class LBitmap;
class LFont;

class LRenderer : public LMeasurementRenderer {
    QV_TYPE_NAME("class QV::LRenderer")
public:
    // Renderer kinds.
    static constexpr int32_t kOpenGL = 0;
    static constexpr int32_t kGdi = 1;
    static constexpr int32_t kDirect3D9 = 2;
    // Bitmap resize types.
    static constexpr int32_t kResizeStretch = 0;
    static constexpr int32_t kResizeTile = 1;
    static constexpr int32_t kResizeCenter = 2;

    // The renderer of a kind for a window; an unknown kind raises the
    // domain error.
    static RCPtr<LRenderer> Create(int32_t kind, const LongRect& clientRect, WindowHandle window);

    virtual int32_t GetRendererType() = 0;
    [[nodiscard]] virtual QVResult InitRenderContextInfo(const LongRect& viewport, WindowHandle window, bool offscreen,
                                           RCPtr<LRenderContextInfo>& context) = 0;
    [[nodiscard]] virtual QVResult SetViewport(const LongRect& viewport);
    [[nodiscard]] virtual QVResult SetStencil(ConstRCPtr<LStencil> stencil);
    [[nodiscard]] virtual QVResult RenderStart(RCPtr<LRenderContextInfo> context);
    [[nodiscard]] virtual QVResult RenderFinish(RCPtr<LRenderContextInfo> context);

    virtual void DrawText(const String& text, ConstRCPtr<LFont> font, const LongPoint& position,
                          const LColor& colour) = 0;
    virtual void DrawRect(const LongRect& rect, const LColor& colour, float penWidth) = 0;
    // With blend false the pixels are replaced rather than blended.
    virtual void FillRect(const LongRect& rect, const LColor& colour, bool blend) = 0;
    // Fills (blending) when the fill is not transparent, then outlines when
    // the border is not.
    virtual void DrawFilledRect(const LongRect& rect, const LColor& fill, const LColor& border, float borderWidth);
    virtual void FillRects(const ColorRectListT<float>& rects, const DoublePoint& offset, bool keepCached) = 0;
    virtual void DrawLine(const FloatPoint& from, const FloatPoint& to, const LColor& colour, float penWidth) = 0;
    // Each pair of points as a separate line.
    virtual void DrawLines(const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                           const FloatPoint& scale, bool keepCached) = 0;
    virtual void DrawPolyline(const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                              const FloatPoint& scale, bool keepCached) = 0;
    virtual void DrawPolygon(const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                             const FloatPoint& scale, bool keepCached) = 0;
    virtual void FillPolygon(const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                             const FloatPoint& scale, bool keepCached) = 0;
    virtual void DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const LongRect& destination, int32_t resizeType) = 0;
    [[nodiscard]] virtual QVResult DrawBitmapRect(RCPtr<LRenderContextInfo> source, const LongPoint& destination,
                                    const LongRect& sourceRect) = 0;
    [[nodiscard]] virtual QVResult DrawSurface(RCPtr<LRenderContextInfo> offscreen, const LongPoint& position) = 0;

    // Saves the state and moves the origin by the offset rounded to whole
    // pixels; the clip keeps its place on the window.
    virtual void PushOrigin(const DoublePoint& offset);
    // Saves the state and sets origin, clip and stencil for a child area:
    // relative bounds are local, absolute ones are window coordinates.
    virtual void PushClipRect(const DoubleRect& bounds, const DoubleRect& clip, ConstRCPtr<LStencil> stencil,
                              bool relative);
    virtual void SaveState();
    virtual void RestoreState();
    virtual void SetClipRect(const DoubleRect& clip);
    virtual void Translate(const DoublePoint& offset);

    // The most recently started context, or null.
    LRenderContextInfo* GetCurrentContext() const
    {
        return mActiveContexts.empty() ? nullptr : mActiveContexts.back().Get();
    }
    int32_t GetActiveContextCount() const { return static_cast<int32_t>(mActiveContexts.size()); }

private:
    std::vector<RCPtr<LRenderContextInfo>> mActiveContexts;
};

}  // namespace QV
