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
    // The same size again: only what was drawn is emptied, in place; a fresh
    // block of a window's size on every whole repaint cost more than the
    // drawing.
    if (mBitmap && mBitmap->IsValid() && LongSize{mBitmap->GetWidth(), mBitmap->GetHeight()} == size) {
        Empty(mPainted.TakeAll());
        mGraphics = std::make_unique<Platform::Gdip::Graphics>(*mBitmap);
        return;
    }
    mBitmap.reset();
    mBitmap = std::make_unique<Platform::Gdip::Surface>(std::max(size.width, 1), std::max(size.height, 1));
    mGraphics = std::make_unique<Platform::Gdip::Graphics>(*mBitmap);
    mPainted.Reset(mBitmap->GetWidth(), mBitmap->GetHeight());
}

LongSize LGDIRendererOffscreenSurface::GetSize() const
{
    return mBitmap ? LongSize{mBitmap->GetWidth(), mBitmap->GetHeight()} : LongSize{};
}

void LGDIRendererOffscreenSurface::Clear()
{
    mBitmap->Clear();
    mPainted.Reset(mBitmap->GetWidth(), mBitmap->GetHeight());
}

void LGDIRendererOffscreenSurface::BeginRepaint()
{
    mGraphics.reset();
    mGraphics = std::make_unique<Platform::Gdip::Graphics>(*mBitmap);
    // When the last frame drew on most of the image, one pass over all of it
    // costs less than emptying it piece by piece.
    if (mPainted.GetPaintedShare() > kWholeEmptyingShare) {
        mBitmap->Clear();
        mPainted.Reset(mBitmap->GetWidth(), mBitmap->GetHeight());
        return;
    }
    mPainted.MakeStale();
}

void LGDIRendererOffscreenSurface::FinishRepaint()
{
    if (mPainted.HasStale()) Empty(mPainted.TakeStale());
}

void LGDIRendererOffscreenSurface::PrepareToDraw(const LongRect& reach, const LongRect& covered)
{
    mToEmpty.clear();
    mPainted.Paint(reach, covered, mToEmpty);
    Empty(mToEmpty);
}

void LGDIRendererOffscreenSurface::Empty(const std::vector<LongRect>& areas)
{
    mAreas.clear();
    for (const LongRect& r : areas) mAreas.push_back({r.x, r.y, r.width, r.height});
    mBitmap->Clear(mAreas);
}

QVResult LGDIRendererOffscreenSurface::DrawTo(Platform::Gdip::Graphics& graphics, const LongPoint& point,
                                              const LongRect& source, float opacity)
{
    if (!mBitmap || !mBitmap->IsValid()) return E_FAIL;
    FinishRepaint();
    mGraphics->Flush();
    const Platform::Gdip::RectF from{static_cast<float>(source.x), static_cast<float>(source.y),
                                     static_cast<float>(source.width), static_cast<float>(source.height)};
    graphics.DrawImage(*mBitmap, from,
                       {static_cast<float>(point.x), static_cast<float>(point.y), from.width, from.height}, opacity);
    return S_OK;
}

}  // namespace QV
