#pragma once
// The place of a Direct3D 9 renderer: it can be made and called through
// every operation, but it starts no frame and draws nothing.
#include "LRenderer.h"

namespace QV {

class LD3D9RenderContextInfo : public LRenderContextInfo {
    QV_TYPE_NAME("class QV::LD3D9RenderContextInfo")
public:
    using LRenderContextInfo::LRenderContextInfo;
    LongSize GetMaximumSurfaceSize() const override { return {0, 0}; }
};

class LD3D9Renderer : public LRenderer {
    QV_TYPE_NAME("class QV::LD3D9Renderer")
public:
    [[nodiscard]] QVResult GetFontMetrics(ConstRCPtr<LFont>, int32_t&, int32_t&, int32_t&) override { return S_OK; }
    RectT<float> MeasureText(const String&, ConstRCPtr<LFont>) override { return {}; }
    int32_t GetRendererType() override { return kDirect3D9; }
    [[nodiscard]] QVResult InitRenderContextInfo(const LongRect& viewport, WindowHandle window, bool offscreen,
                                   RCPtr<LRenderContextInfo>& context) override
    {
        context = new LD3D9RenderContextInfo(viewport, window, offscreen);
        return S_OK;
    }
    [[nodiscard]] QVResult RenderStart(RCPtr<LRenderContextInfo>) override { return S_OK; }
    [[nodiscard]] QVResult RenderFinish(RCPtr<LRenderContextInfo>) override { return S_OK; }

    void DrawText(const String&, ConstRCPtr<LFont>, const LongPoint&, const LColor&) override {}
    void DrawRect(const LongRect&, const LColor&, float) override {}
    void FillRect(const LongRect&, const LColor&, bool) override {}
    void DrawFilledRect(const LongRect&, const LColor&, const LColor&, float) override {}
    void FillRects(const ColorRectListT<float>&, const DoublePoint&, bool) override {}
    void DrawLine(const FloatPoint&, const FloatPoint&, const LColor&, float) override {}
    void DrawLines(const PolylineT<float>&, const LColor&, const FloatPoint&, const FloatPoint&, bool) override {}
    void DrawPolyline(const PolylineT<float>&, const LColor&, const FloatPoint&, const FloatPoint&, bool) override {}
    void DrawPolygon(const PolylineT<float>&, const LColor&, const FloatPoint&, const FloatPoint&, bool) override {}
    void FillPolygon(const PolylineT<float>&, const LColor&, const FloatPoint&, const FloatPoint&, bool) override {}
    void DrawBitmap(const ConstRCPtr<LBitmap>&, const LongRect&, int32_t) override {}
    [[nodiscard]] QVResult DrawBitmapRect(RCPtr<LRenderContextInfo>, const LongPoint&, const LongRect&) override { return E_NOTIMPL; }
    [[nodiscard]] QVResult DrawSurface(RCPtr<LRenderContextInfo>, const LongPoint&) override { return E_NOTIMPL; }
};

}  // namespace QV
