#pragma once
// Locked access to a bitmap's pixels: 32-bit straight ARGB (bytes blue,
// green, red, alpha), locked at construction and unlocked at destruction.
#include <cstdint>

#include "IPixelBuffer.h"
#include "Image.h"
#include "LBitmap.h"
#include "RCPtr.h"
#include "RefCountedObject.h"
#include "TypeName.h"

namespace QV {

class LBitmapData : public IPixelBuffer<int32_t>, public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LBitmapData")
public:
    // An outside pixel buffer is refused (a domain error). When the area
    // cannot be locked the data is empty: 0 x 0, no addresses.
    LBitmapData(RCPtr<LBitmap> bitmap, uint32_t lockMode, IPixelBuffer<int32_t>* outsideBuffer = nullptr);
    ~LBitmapData() override;

    int32_t GetWidth() const override { return mBits.width; }
    int32_t GetHeight() const override { return mBits.height; }
    int32_t GetStride() const override { return mBits.stride; }
    const int32_t* GetPixelAddress(int32_t x, int32_t y) const override;
    int32_t* GetPixelAddress(int32_t x, int32_t y) override;

private:
    RCPtr<LBitmap> mBitmap;
    Platform::Gdip::Image* mImage = nullptr;
    Platform::Gdip::LockedBits mBits;
};

}  // namespace QV
