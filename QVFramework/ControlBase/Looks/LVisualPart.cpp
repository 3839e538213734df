#include "LVisualPart.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "Exception.h"
#include "LRenderer.h"
#include "LVisualPartDescriptor.h"

namespace QV {
namespace {

constexpr float kFloatLimit = 8388608.0f;  // 2^23
constexpr float kSameSize = 1.1920929e-6f;

[[noreturn]] void Fail(const char* method, int line)
{
    throw Exception<std::runtime_error>(
        FormatExceptionMessage(kRuntimeError, "", method, "ControlBase\\VisualPart", line));
}

int32_t Snap(float v)
{
    return v >= 0 ? static_cast<int32_t>(v + v * 0x1p-23f) : static_cast<int32_t>(v - (v * 0x1p-23f + 1.0f));
}

RCPtr<LBitmap> LoadArea(const LImageReference& image)
{
    if (image.path.IsEmpty()) return nullptr;
    RCPtr<LBitmap> whole = LBitmap::LoadNamedBitmap(image.path);
    if (!whole) return nullptr;
    return whole->CreateSubBitmap(image.x, image.y, image.width, image.height);
}

}  // namespace

LVisualPart::LVisualPart(const String& name, const RCPtr<LBitmap>& bitmap, int32_t width, int32_t height,
                         int32_t resizeType, const RCPtr<LColorizer>& colorizer, float opacity,
                         const RCPtr<LBitmap>& mask)
    : mName(name),
      mBitmap(bitmap),
      mWidth(width),
      mHeight(height),
      mResizeType(resizeType),
      mColorizer(colorizer),
      mOpacity(opacity),
      mMask(mask)
{
    if (mColorizer && (mBitmap || mMask || mColorizer->GetMode() != LColorizer::kSolid)) {
        mBitmap = GetColorizedBitmap(ConstRCPtr<LColorizer>(mColorizer), mOpacity, LongSize{mWidth, mHeight},
                                     ConstRCPtr<LBitmap>(mBitmap), ConstRCPtr<LBitmap>(mMask));
    }
    if (mBitmap) {
        mWidth = mBitmap->GetWidth();
        mHeight = mBitmap->GetHeight();
    }
}

RCPtr<LVisualPart> LVisualPart::Create(const String& name, const RCPtr<LBitmap>& bitmap, int32_t resizeType,
                                       const RCPtr<LColorizer>& colorizer, float opacity, const RCPtr<LBitmap>& mask)
{
    if (!bitmap) return nullptr;
    return RCPtr<LVisualPart>(
        new LVisualPart(name, bitmap, bitmap->GetWidth(), bitmap->GetHeight(), resizeType, colorizer, opacity, mask));
}

RCPtr<LVisualPart> LVisualPart::FromDescriptor(const LVisualPartDescriptor* descriptor)
{
    if (!descriptor) return nullptr;
    if (auto* cached = dynamic_cast<LVisualPart*>(descriptor->visualPart.Get())) return RCPtr<LVisualPart>(cached);
    RCPtr<LVisualPart> part(new LVisualPart(descriptor->name, LoadArea(descriptor->image), descriptor->width,
                                            descriptor->height, descriptor->resizeType, descriptor->colorizer,
                                            descriptor->colorizerAmount, LoadArea(descriptor->mask)));
    descriptor->visualPart = part;
    return part;
}

QVResult LVisualPart::Draw(LRenderer& renderer, const FloatPoint& size) const
{
    const int32_t width = SaturateToLong(size.x);
    const int32_t height = SaturateToLong(size.y);
    // A tile below one pixel would never cover anything.
    if (mResizeType == LRenderer::kResizeTile && (mWidth < 1 || mHeight < 1)) return S_OK;
    if (mBitmap) {
        renderer.DrawBitmap(ConstRCPtr<LBitmap>(mBitmap), LongRect{0, 0, width, height}, mResizeType);
        return S_OK;
    }
    if (!mColorizer) Fail("QV::LVisualPart::Draw", 218);
    LColor colour = mColorizer->GetColor1();
    colour.alpha *= mOpacity;
    if (!(colour.alpha > 0.0f)) return S_OK;
    if (mResizeType == LRenderer::kResizeCenter) {
        renderer.FillRect(LongRect{(width - mWidth) / 2, (height - mHeight) / 2, mWidth, mHeight}, colour, true);
    } else {
        renderer.FillRect(LongRect{0, 0, width, height}, colour, true);
    }
    return S_OK;
}

uint32_t LVisualPart::GetColorAtPoint(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return kNoColor;
    if (mBitmap) return mBitmap->GetPixel(x, y).GetARGB();
    if (!mColorizer) Fail("QV::LVisualPart::GetColorAtPoint", 91);
    if (mColorizer->GetMode() == LColorizer::kLinearGradient) Fail("QV::LVisualPart::GetColorAtPoint", 76);
    if (mColorizer->GetMode() != LColorizer::kSolid) Fail("QV::LVisualPart::GetColorAtPoint", 81);
    LColor colour = mColorizer->GetColor1();
    colour.alpha *= mOpacity;
    return colour.GetARGB();
}

uint32_t LVisualPart::GetColorAtPoint(float x, float y, float areaWidth, float areaHeight) const
{
    const float w = std::clamp(static_cast<float>(mWidth), -kFloatLimit, kFloatLimit);
    const float h = std::clamp(static_cast<float>(mHeight), -kFloatLimit, kFloatLimit);
    if (std::fabs(areaWidth - w) <= kSameSize && std::fabs(areaHeight - h) <= kSameSize) {
        return GetColorAtPoint(SaturateToLong(x), SaturateToLong(y));
    }
    if (!(x >= 0 && y >= 0 && x < areaWidth && y < areaHeight)) return kNoColor;
    switch (mResizeType) {
    case LRenderer::kResizeTile: {
        const int32_t tw = static_cast<int32_t>(w + 0.5f);
        const int32_t th = static_cast<int32_t>(h + 0.5f);
        // A tile below one pixel draws nothing, so nothing shows.
        if (tw < 1 || th < 1) return kNoColor;
        return GetColorAtPoint(static_cast<int32_t>(x + 0.5f) % tw, static_cast<int32_t>(y + 0.5f) % th);
    }
    case LRenderer::kResizeCenter:
        return GetColorAtPoint(SaturateToLong(x - (areaWidth - w) * 0.5f), SaturateToLong(y - (areaHeight - h) * 0.5f));
    case LRenderer::kResizeStretch: {
        const float sx = w / areaWidth;
        const float sy = h / areaHeight;
        if (areaWidth >= w && areaHeight >= h) {
            return GetColorAtPoint(static_cast<int32_t>(sx * x), static_cast<int32_t>(sy * y));
        }
        return ShrunkColor(x, y, sx, sy);
    }
    default: Fail("QV::LVisualPart::GetColorAtPoint", 165);
    }
}

// A shrunk part shows several source pixels at one point: the first opaque one counts.
uint32_t LVisualPart::ShrunkColor(float x, float y, float sx, float sy) const
{
    const int32_t left = Snap(sx * x);
    const int32_t top = Snap(sy * y);
    const int32_t right = Snap(static_cast<float>(left) + std::max(sx, 1.0f));
    const int32_t bottom = Snap(static_cast<float>(top) + std::max(sy, 1.0f));
    uint32_t colour = kNoColor;
    for (int32_t cx = left; cx < right; ++cx) {
        for (int32_t cy = top; cy < bottom; ++cy) {
            colour = GetColorAtPoint(cx, cy);
            if (colour > kNoColor) return colour;
        }
    }
    return colour;
}

}  // namespace QV
