// Bitmaps: rendered once per bitmap and drawn size into a cached image, then
// blitted unscaled.
#include <stdexcept>

#include "Image.h"
#include "LBitmap.h"
#include "LGDIRenderer.h"

namespace QV {
namespace {

constexpr const char* kSource = "Renderer/Gdi/GDIRenderer";
constexpr const char* kDrawBitmap = "QV::LGDIRenderer::DrawBitmap";

Platform::Gdip::RectF ToRectF(double x, double y, double width, double height)
{
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(width), static_cast<float>(height)};
}

}  // namespace

LGDIRenderer::LCachedBitmap::LCachedBitmap(const ConstRCPtr<LBitmap>& source,
                                           std::unique_ptr<Platform::Gdip::Surface> image)
    : mSource(source), mImage(std::move(image)), mOpaque(mImage->IsOpaque())
{}

LGDIRenderer::LCachedBitmap::~LCachedBitmap() = default;

void LGDIRenderer::DrawBitmap(const ConstRCPtr<LBitmap>& bitmap, const LongRect& destination, int32_t resizeType)
{
    if (!mContext)
        throw Exception<std::runtime_error>(FormatExceptionMessage(kRuntimeError, "", kDrawBitmap, kSource, 562));
    if (!bitmap || destination.width <= 0 || destination.height <= 0) return;
    Platform::Gdip::Image* image = bitmap->GetGdiBitmap();
    const LongRect area = bitmap->GetArea();
    if (!image || area.width <= 0 || area.height <= 0) return;

    const BitmapKey key{bitmap.Get(), reinterpret_cast<uintptr_t>(image), destination.width, destination.height};
    RCPtr<LCachedBitmap>& slot = mBitmapCache.GetEntry(key, false);
    if (!slot) slot = RenderBitmap(bitmap, destination, resizeType);
    const Platform::Gdip::Surface& cached = slot->GetImage();
    // Unscaled and aliased: the image reaches only the pixels it lands on.
    const LongRect placed{destination.x, destination.y, cached.GetWidth(), cached.GetHeight()};
    PrepareToDraw(DeviceArea(placed.x, placed.y, placed.width, placed.height, 0.0),
                  slot->IsOpaque() && GetOpacity() >= 1.0f ? OpaqueArea(placed) : LongRect{});
    GetGraphics()->DrawImage(cached, ToRectF(0, 0, cached.GetWidth(), cached.GetHeight()),
                             ToRectF(destination.x, destination.y, cached.GetWidth(), cached.GetHeight()),
                             GetOpacity());
}

RCPtr<LGDIRenderer::LCachedBitmap> LGDIRenderer::RenderBitmap(const ConstRCPtr<LBitmap>& bitmap,
                                                              const LongRect& destination, int32_t resizeType)
{
    const LongRect area = bitmap->GetArea();
    cairo_surface_t* source = bitmap->GetGdiBitmap()->GetSurface();
    const double sw = area.width, sh = area.height, dw = destination.width, dh = destination.height;
    const Platform::Gdip::RectF from = ToRectF(area.x, area.y, sw, sh);

    auto image = std::make_unique<Platform::Gdip::Surface>(destination.width, destination.height);
    Platform::Gdip::Graphics g(*image);
    g.SetInterpolationMode(Platform::Gdip::InterpolationMode::Bilinear);
    if (sw == dw && sh == dh) {
        g.DrawImage(source, from, ToRectF(0, 0, sw, sh));
    } else if (resizeType == kResizeStretch) {
        g.DrawImage(source, from, ToRectF(0, 0, dw, dh));
    } else if (resizeType == kResizeTile) {
        if (dw / sw < 3.0 && dh / sh < 3.0) {
            for (double y = 0; y < dh; y += sh)
                for (double x = 0; x < dw; x += sw) g.DrawImage(source, from, ToRectF(x, y, sw, sh));
        } else {
            g.FillWithTexture(source, {area.x, area.y, area.width, area.height}, ToRectF(0, 0, dw, dh));
        }
    } else if (resizeType == kResizeCenter) {
        g.DrawImage(source, from, ToRectF((dw - sw) * 0.5, (dh - sh) * 0.5, sw, sh));
    } else {
        throw Exception<std::invalid_argument>(FormatExceptionMessage(
            kInvalidArgument, "Invalid ResizeType passed to DrawBitmap.", kDrawBitmap, kSource, 553));
    }
    g.Flush();
    return RCPtr<LCachedBitmap>(new LCachedBitmap(bitmap, std::move(image)));
}

}  // namespace QV
