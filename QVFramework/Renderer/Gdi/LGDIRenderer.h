#pragma once
// The 2D renderer the application uses: draws with the cairo layer into the
// drawing surface of the current LGDIRenderContextInfo, and keeps bitmaps
// pre-rendered at their drawn size and built polyline paths.
// UI thread only.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "Font.h"
#include "GraphicsPath.h"
#include "LGDIRenderContextInfo.h"
#include "LRenderer.h"
#include "PurgableObjectCache.h"
#include "Surface.h"

namespace QV {

class LGDIRenderer : public LRenderer {
    QV_TYPE_NAME("class QV::LGDIRenderer")
public:
    // Cache entries not used for longer than this are dropped at a frame's end.
    static constexpr uint32_t kPurgePeriodMs = 300000;
    static constexpr int32_t kCacheSize = 256;

    // Key of the bitmap cache: one bitmap object at one drawn size. Sub-bitmaps
    // of one image share a bucket. The key holds no reference: the cached
    // bitmap does, so an address is never reused while its entry has one.
    template <int B>
    struct CashableBitmapDescriptor {
        const LBitmap* bitmap = nullptr;
        uintptr_t image = 0;  // identity of the image the bitmap draws from
        int32_t width = 0;
        int32_t height = 0;
        bool operator==(const CashableBitmapDescriptor& o) const
        {
            return bitmap == o.bitmap && width == o.width && height == o.height;
        }
        uint32_t GetHashBits() const { return static_cast<uint32_t>(image >> 4) & ((1u << B) - 1); }
    };
    using BitmapKey = CashableBitmapDescriptor<8>;
    struct BitmapKeyHash {
        uint32_t operator()(const BitmapKey& key) const { return key.GetHashBits(); }
    };

    // Key of the path cache: a polyline and the operation that drew it, so
    // lines and a polyline of one point list never replay each other.
    struct PathKey {
        uintptr_t handle = 0;
        int32_t operation = 0;
        bool operator==(const PathKey&) const = default;
    };
    struct PathKeyHash {
        uint32_t operator()(const PathKey& key) const { return static_cast<uint32_t>(key.handle >> 4) & 0xFF; }
    };

    // A bitmap rendered once at its drawn size, blitted unscaled. Holds the
    // bitmap it was made from.
    class LCachedBitmap : public virtual LRefCountedObject {
        QV_TYPE_NAME("class QV::LGDIRenderer::LCachedBitmap")
    public:
        LCachedBitmap(const ConstRCPtr<LBitmap>& source, std::unique_ptr<Platform::Gdip::Surface> image);
        ~LCachedBitmap() override;
        const Platform::Gdip::Surface& GetImage() const { return *mImage; }
        // Drawn at full opacity, it replaces every pixel it lands on.
        bool IsOpaque() const { return mOpaque; }

    private:
        ConstRCPtr<LBitmap> mSource;
        std::unique_ptr<Platform::Gdip::Surface> mImage;
        bool mOpaque;
    };

    class LGraphicsPath : public virtual LRefCountedObject {
        QV_TYPE_NAME("class QV::LGDIRenderer::LGraphicsPath")
    public:
        LGraphicsPath(Platform::Gdip::GraphicsPath path, const RectT<float>& bounds)
            : mPath(std::move(path)), mBounds(bounds)
        {}
        const Platform::Gdip::GraphicsPath& GetPath() const { return mPath; }
        // The box of the points, unscaled.
        const RectT<float>& GetBounds() const { return mBounds; }

    private:
        Platform::Gdip::GraphicsPath mPath;
        RectT<float> mBounds;
    };

    using BitmapCache = PurgableObjectCache<LCachedBitmap, BitmapKey, BitmapKey, GetSelf<BitmapKey>, 8, BitmapKeyHash>;
    using PathCache = PurgableObjectCache<LGraphicsPath, PathKey, PathKey, GetSelf<PathKey>, 8, PathKeyHash>;

    LGDIRenderer();
    ~LGDIRenderer() override;

    [[nodiscard]] QVResult GetFontMetrics(ConstRCPtr<LFont> font, int32_t& lineHeight, int32_t& ascent, int32_t& descent) override;
    RectT<float> MeasureText(const String& text, ConstRCPtr<LFont> font) override;
    int32_t GetRendererType() override { return kGdi; }
    [[nodiscard]] QVResult InitRenderContextInfo(const LongRect& viewport, WindowHandle window, bool offscreen,
                                   RCPtr<LRenderContextInfo>& context) override;
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
    [[nodiscard]] QVResult DrawBitmapRect(RCPtr<LRenderContextInfo> source, const LongPoint& destination,
                            const LongRect& sourceRect) override;
    [[nodiscard]] QVResult DrawSurface(RCPtr<LRenderContextInfo> offscreen, const LongPoint& position) override;

    void SetClipRect(const DoubleRect& clip) override;
    void Translate(const DoublePoint& offset) override;

    // For tests and benchmarks.
    const BitmapCache& GetBitmapCache() const { return mBitmapCache; }
    const PathCache& GetPathCache() const { return mPathCache; }
    float GetFontScale() const { return mFontScale; }

private:
    enum class PathOperation : int32_t { Lines, Polyline, Polygon, Fill };
    void DrawPath(PathOperation operation, const PolylineT<float>& polyline, const LColor& colour,
                  const FloatPoint& offset, const FloatPoint& scale, bool keepCached);
    RCPtr<LCachedBitmap> RenderBitmap(const ConstRCPtr<LBitmap>& bitmap, const LongRect& destination,
                                      int32_t resizeType);
    Platform::Gdip::Graphics* GetGraphics() const;
    // The image pixels of the local area grown by pad on every side.
    LongRect DeviceArea(double x, double y, double width, double height, double pad) const;
    // The image pixels an aliased opaque fill of the local rectangle replaces
    // under the current clip.
    LongRect OpaqueArea(const LongRect& rect) const;
    // Before each drawing: see LGDIRendererOffscreenSurface::PrepareToDraw.
    void PrepareToDraw(const LongRect& reach, const LongRect& covered = {});
    // The colour's packed form with the current opacity multiplied in.
    uint32_t ToArgb(const LColor& colour) const;
    float GetOpacity() const;

    // The faces of the last few texts drawn or measured: labels come in runs
    // of a few fonts, and matching a face costs more than drawing a line.
    struct RecentFace;
    const Platform::Gdip::Font& FaceFor(const ConstRCPtr<LFont>& font, double pixels)
    {
        return *RecentFaceFor(font, pixels).face;
    }
    RecentFace& RecentFaceFor(const ConstRCPtr<LFont>& font, double pixels);
    struct RecentFace {
        ConstRCPtr<LFont> font;
        double pixels = 0;
        std::unique_ptr<Platform::Gdip::Font> face;
        uint64_t lastUse = 0;
        // Per text drawn in the face, its ink box from the pen's top left:
        // measuring it asks the font for every glyph again, each draw.
        std::unordered_map<std::string, Platform::Gdip::RectF> inks;
    };
    // Texts beyond this many in one face start its ink boxes afresh.
    static constexpr size_t kInksPerFace = 2048;
    static constexpr size_t kRecentFaces = 8;

    float mFontScale = 1.0f;
    std::array<RecentFace, kRecentFaces> mRecentFaces;
    uint64_t mFaceUses = 0;
    RCPtr<LGDIRenderContextInfo> mContext;
    int32_t mScreenResolution = 96;
    BitmapCache mBitmapCache{kCacheSize};
    PathCache mPathCache{kCacheSize};
    uint32_t mLastPurgeTime;
};

}  // namespace QV
