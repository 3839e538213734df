#pragma once
// The OpenGL 1.x renderer (kind 0): immediate mode, display lists for
// geometry drawn again and again, textures for bitmaps, text through a font
// renderer whose glyph processor is the GL glyph renderer. Cached objects
// not used for five minutes are dropped. Its GL context is made current at
// each frame's start and released at its end. UI thread only.
#include <memory>
#include <string_view>

#include "LFontRenderer.h"
#include "LGLDisplayList.h"
#include "LGLTexture.h"
#include "LRenderer.h"
#include "PurgableObjectCache.h"

namespace Platform {
class GLContext;
}

namespace QV {

struct GLText;

class LGLRenderer : public LRenderer {
    QV_TYPE_NAME("class QV::LGLRenderer")
public:
    static constexpr uint32_t kPurgePeriodMs = 300000;

    // Makes the GL context on window; shows the "OpenGL Error" box (texts
    // from the framework string table) and raises when it cannot.
    LGLRenderer(RCPtr<LFontRenderer> fontRenderer, WindowHandle window);
    ~LGLRenderer() override;

    [[nodiscard]] QVResult GetFontMetrics(ConstRCPtr<LFont> font, int32_t& lineHeight, int32_t& ascent, int32_t& descent) override;
    RectT<float> MeasureText(const String& text, ConstRCPtr<LFont> font) override;
    int32_t GetRendererType() override { return kOpenGL; }
    [[nodiscard]] QVResult InitRenderContextInfo(const LongRect& viewport, WindowHandle window, bool offscreen,
                                   RCPtr<LRenderContextInfo>& context) override;
    [[nodiscard]] QVResult SetViewport(const LongRect& viewport) override;
    [[nodiscard]] QVResult RenderStart(RCPtr<LRenderContextInfo> context) override;
    [[nodiscard]] QVResult RenderFinish(RCPtr<LRenderContextInfo> context) override;

    void DrawText(const String& text, ConstRCPtr<LFont> font, const LongPoint& position, const LColor& colour) override;
    void DrawRect(const LongRect& rect, const LColor& colour, float penWidth) override;
    void FillRect(const LongRect& rect, const LColor& colour, bool blend) override;
    void FillRects(const ColorRectListT<float>& rects, const DoublePoint& offset, bool keepCached) override;
    void DrawLine(const FloatPoint& from, const FloatPoint& to, const LColor& colour, float penWidth) override;
    void DrawLines(const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                   const FloatPoint& scale, bool keepCached) override;
    void DrawPolyline(const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                      const FloatPoint& scale, bool keepCached) override;
    void DrawPolygon(const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                     const FloatPoint& scale, bool keepCached) override;
    void FillPolygon(const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                     const FloatPoint& scale, bool keepCached) override;
    void DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const LongRect& destination, int32_t resizeType) override;
    // Off-screen surfaces have no texture here: nothing is drawn.
    [[nodiscard]] QVResult DrawBitmapRect(RCPtr<LRenderContextInfo> source, const LongPoint& destination,
                            const LongRect& sourceRect) override;
    [[nodiscard]] QVResult DrawSurface(RCPtr<LRenderContextInfo> offscreen, const LongPoint& position) override;

    void SetClipRect(const DoubleRect& clip) override;
    void Translate(const DoublePoint& offset) override;

    // Whether the space-separated list names extension (whole words only).
    static bool HasExtension(std::string_view extensions, std::string_view extension);
    // No WGL extension string exists here: always false.
    static bool HasWGLExtension(std::string_view extension);

    // Drops what was not used since the previous purge.
    void PurgeCaches();
    const RCPtr<LFontRenderer>& GetFontRenderer() const { return mFontRenderer; }

    struct PolylineKey {
        uintptr_t operator()(const PolylineT<float>& p) const { return p.GetHandle(); }
    };
    struct RectListKey {
        uintptr_t operator()(const ColorRectListT<float>& r) const { return r.GetHandle(); }
    };
    struct ImageKey {
        uintptr_t operator()(const ConstRCPtr<LBitmap>& bitmap) const;
    };
    using GeometryCache =
        PurgableObjectCache<LGLDisplayList, PolylineT<float>, uintptr_t, PolylineKey, 8, GetBits<8, 4, uintptr_t>>;
    using RectListCache =
        PurgableObjectCache<LGLDisplayList, ColorRectListT<float>, uintptr_t, RectListKey, 8, GetBits<8, 4, uintptr_t>>;
    using TextureCache =
        PurgableObjectCache<LGLTexture, ConstRCPtr<LBitmap>, uintptr_t, ImageKey, 8, GetBits<8, 4, uintptr_t>>;

private:
    enum class Shape { Lines, Polyline, Outline, Fill };

    void InitGLState();
    void SetScissor(const DoubleRect& rect);
    void SetColour(const LColor& colour) const;
    void StartFrame(LRenderContextInfo& context);
    void CopyBuffer(GLenum readBuffer, GLenum drawBuffer, GLenum pixelType);
    void DrawShape(Shape shape, const PolylineT<float>& polyline, const LColor& colour, const FloatPoint& offset,
                   const FloatPoint& scale, bool keepCached);
    void DrawShapeDirect(Shape shape, const PolylineT<float>& polyline);
    GeometryCache& CacheOf(Shape shape);
    RCPtr<LGLTexture> TextureOf(const ConstRCPtr<LBitmap>& bitmap);
    // Shows the error box in the user's language, then raises.
    [[noreturn]] void Fail(const GLText& message, int line, const char* method);

    RCPtr<LFontRenderer> mFontRenderer;
    WindowHandle mWindow;
    bool mDoubleBuffered = true;
    // Swaps on Linux leave the back buffer undefined: the back buffer is
    // copied to the front instead, so partial repaints build on the last frame.
    bool mBackBufferKept = false;
    uint32_t mLastPurge;
    GeometryCache mFillCache{256};
    GeometryCache mOutlineCache{256};
    GeometryCache mSegmentsCache{256};
    GeometryCache mPolylineCache{256};
    RectListCache mRectListCache{256};
    TextureCache mTextureCache{64};
    std::unique_ptr<Platform::GLContext> mContext;
};

}  // namespace QV
