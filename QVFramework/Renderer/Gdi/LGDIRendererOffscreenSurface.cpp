#include "LGDIRendererOffscreenSurface.h"

#include <algorithm>

namespace QV {

LGDIRendererOffscreenSurface::~LGDIRendererOffscreenSurface()
{
    mGraphics.reset();
}

void LGDIRendererOffscreenSurface::SetSize(const LongSize& size)
{
    mGraphics.reset();
    // The same size again: the image is emptied in place; a fresh block of a
    // window's size on every whole repaint cost more than the drawing.
    if (mBitmap && mBitmap->IsValid() && LongSize{mBitmap->GetWidth(), mBitmap->GetHeight()} == size) {
        mBitmap->Flush();
        mBitmap->Clear();
        mGraphics = std::make_unique<Platform::Gdip::Graphics>(*mBitmap);
        return;
    }
    mBitmap.reset();
    mBitmap = std::make_unique<Platform::Gdip::Surface>(std::max(size.width, 1), std::max(size.height, 1));
    mGraphics = std::make_unique<Platform::Gdip::Graphics>(*mBitmap);
}

LongSize LGDIRendererOffscreenSurface::GetSize() const
{
    return mBitmap ? LongSize{mBitmap->GetWidth(), mBitmap->GetHeight()} : LongSize{};
}

QVResult LGDIRendererOffscreenSurface::DrawTo(Platform::Gdip::Graphics& graphics, const LongPoint& point,
                                              const LongRect& source, float opacity) const
{
    if (!mBitmap || !mBitmap->IsValid()) return E_FAIL;
    mGraphics->Flush();
    const Platform::Gdip::RectF from{static_cast<float>(source.x), static_cast<float>(source.y),
                                     static_cast<float>(source.width), static_cast<float>(source.height)};
    graphics.DrawImage(*mBitmap, from,
                       {static_cast<float>(point.x), static_cast<float>(point.y), from.width, from.height}, opacity);
    return S_OK;
}

}  // namespace QV
