#include "LBitmapData.h"

#include "Exception.h"

namespace QV {

LBitmapData::LBitmapData(RCPtr<LBitmap> bitmap, uint32_t lockMode, IPixelBuffer<int32_t>* outsideBuffer)
    : mBitmap(std::move(bitmap))
{
    if (outsideBuffer != nullptr) {
        throw Exception<std::domain_error>(FormatExceptionMessage(kDomainError, "", "QV::LBitmapData::LBitmapData",
                                                                  "Utilities\\Graphics\\Bitmap", 479));
    }
    Platform::Gdip::Image* image = mBitmap != nullptr ? mBitmap->GetGdiBitmap() : nullptr;
    const RectT<int32_t>& area = mBitmap != nullptr ? mBitmap->GetArea() : RectT<int32_t>{};
    if (image != nullptr && image->LockBits(area.x, area.y, area.width, area.height, lockMode, mBits)) {
        mImage = image;
    } else {
        mBits = {};
    }
}

LBitmapData::~LBitmapData()
{
    if (mImage != nullptr) mImage->UnlockBits(mBits);
}

const int32_t* LBitmapData::GetPixelAddress(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= mBits.width || y >= mBits.height) return nullptr;
    return reinterpret_cast<const int32_t*>(mBits.scan0 + static_cast<ptrdiff_t>(y) * mBits.stride + 4 * x);
}

int32_t* LBitmapData::GetPixelAddress(int32_t x, int32_t y)
{
    return const_cast<int32_t*>(static_cast<const LBitmapData*>(this)->GetPixelAddress(x, y));
}

}  // namespace QV
