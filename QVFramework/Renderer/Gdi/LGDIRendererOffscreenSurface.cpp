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
