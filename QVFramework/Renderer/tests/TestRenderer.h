#pragma once
// A renderer that draws nothing and records the state hooks the base calls.
#include <vector>

#include "LRenderer.h"

namespace QV {

class TestContext : public LRenderContextInfo {
public:
    TestContext() : LRenderContextInfo({0, 0, 100, 50}, nullptr, false) {}
    LongSize GetMaximumSurfaceSize() const override { return {1, 1}; }
};

class TestRenderer : public LRenderer {
public:
    QVResult GetFontMetrics(ConstRCPtr<LFont>, int32_t&, int32_t&, int32_t&) override { return S_OK; }
    RectT<float> MeasureText(const String&, ConstRCPtr<LFont>) override { return {}; }
    int32_t GetRendererType() override { return 99; }
    QVResult InitRenderContextInfo(const LongRect&, WindowHandle, bool, RCPtr<LRenderContextInfo>& c) override
    {
        c = new TestContext();
        return S_OK;
    }
    void DrawText(const String&, ConstRCPtr<LFont>, const LongPoint&, const LColor&) override {}
    void DrawRect(const LongRect&, const LColor&, float) override {}
    void FillRect(const LongRect&, const LColor&, bool) override {}
    void FillRects(const ColorRectListT<float>&, const DoublePoint&, bool) override {}
    void DrawLine(const FloatPoint&, const FloatPoint&, const LColor&, float) override {}
    void DrawLines(const PolylineT<float>&, const LColor&, const FloatPoint&, const FloatPoint&, bool) override {}
    void DrawPolyline(const PolylineT<float>&, const LColor&, const FloatPoint&, const FloatPoint&, bool) override {}
    void DrawPolygon(const PolylineT<float>&, const LColor&, const FloatPoint&, const FloatPoint&, bool) override {}
    void FillPolygon(const PolylineT<float>&, const LColor&, const FloatPoint&, const FloatPoint&, bool) override {}
    void DrawBitmap(const ConstRCPtr<LBitmap>&, const LongRect&, int32_t) override {}
    QVResult DrawBitmapRect(RCPtr<LRenderContextInfo>, const LongPoint&, const LongRect&) override { return S_OK; }
    QVResult DrawSurface(RCPtr<LRenderContextInfo>, const LongPoint&) override { return S_OK; }

    void SetClipRect(const DoubleRect& clip) override
    {
        LRenderer::SetClipRect(clip);
        clips.push_back(clip);
    }
    void Translate(const DoublePoint& offset) override
    {
        LRenderer::Translate(offset);
        translations.push_back(offset);
    }

    std::vector<DoubleRect> clips;
    std::vector<DoublePoint> translations;
};

}  // namespace QV
