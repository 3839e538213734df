#pragma once
// The smallest drawable piece of a skin: an image, or a solid colour, with
// its own size and resize type. Made once per part descriptor and shared by
// every look that uses it; the descriptor owns the shared part, the part
// holds nothing of the descriptor.
#include <cstdint>

#include "LBitmap.h"
#include "LColorizer.h"
#include "PointT.h"
#include "RCPtr.h"
#include "StringT.h"

namespace QV {

class LRenderer;
class LVisualPartDescriptor;

class LVisualPart : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LVisualPart")
public:
    static constexpr uint32_t kNoColor = 0x00FFFFFFu;

    // A colouriser with an image, a mask or a gradient replaces the image by
    // its colourised copy; the part's size is then the image's.
    LVisualPart(const String& name, const RCPtr<LBitmap>& bitmap, int32_t width, int32_t height, int32_t resizeType,
                const RCPtr<LColorizer>& colorizer, float opacity, const RCPtr<LBitmap>& mask);

    // A part for an overlay image; null without a bitmap.
    static RCPtr<LVisualPart> Create(const String& name, const RCPtr<LBitmap>& bitmap, int32_t resizeType,
                                     const RCPtr<LColorizer>& colorizer, float opacity, const RCPtr<LBitmap>& mask);
    // The descriptor's shared part, made on first use; null for no descriptor.
    static RCPtr<LVisualPart> FromDescriptor(const LVisualPartDescriptor* descriptor);

    // Fills (0, 0, width, height) of the size at the renderer's origin.
    [[nodiscard]] virtual QVResult Draw(LRenderer& renderer, const FloatPoint& size) const;
    // The part's own pixel.
    uint32_t GetColorAtPoint(int32_t x, int32_t y) const;
    // What shows at a point of an area the part is drawn into.
    uint32_t GetColorAtPoint(float x, float y, float areaWidth, float areaHeight) const;

    const String& GetName() const { return mName; }
    const RCPtr<LBitmap>& GetBitmap() const { return mBitmap; }
    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }
    int32_t GetResizeType() const { return mResizeType; }
    const RCPtr<LColorizer>& GetColorizer() const { return mColorizer; }
    float GetOpacity() const { return mOpacity; }

private:
    uint32_t ShrunkColor(float x, float y, float sx, float sy) const;

    String mName;
    RCPtr<LBitmap> mBitmap;
    int32_t mWidth;
    int32_t mHeight;
    int32_t mResizeType;
    RCPtr<LColorizer> mColorizer;
    float mOpacity;
    RCPtr<LBitmap> mMask;
};

}  // namespace QV
