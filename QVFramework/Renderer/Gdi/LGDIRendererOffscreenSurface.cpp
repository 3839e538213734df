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
        EmptyPendingBut({});
        Empty(mPainted.TakeAll());
        mGraphics = std::make_unique<Platform::Gdip::Graphics>(*mBitmap);
        return;
    }
    mBitmap.reset();
    mEmptyPending = false;
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
    mEmptyPending = false;
    mBitmap->Clear();
    mPainted.Reset(mBitmap->GetWidth(), mBitmap->GetHeight());
}

void LGDIRendererOffscreenSurface::BeginRepaint()
{
    mGraphics.reset();
    mGraphics = std::make_unique<Platform::Gdip::Graphics>(*mBitmap);
    // When the last frame drew on most of the image, one pass over all of it
    // costs less than emptying it piece by piece; and a frame that starts
    // with an opaque background needs no pass at all, so it waits for the
    // first drawing.
    if (mPainted.GetPaintedShare() > kWholeEmptyingShare) {
        mEmptyPending = true;
        mPainted.Reset(mBitmap->GetWidth(), mBitmap->GetHeight());
        return;
    }
    mPainted.MakeStale();
}

void LGDIRendererOffscreenSurface::FinishRepaint()
{
    EmptyPendingBut({});
    if (mPainted.HasStale()) Empty(mPainted.TakeStale());
}

void LGDIRendererOffscreenSurface::PrepareToDraw(const LongRect& reach, const LongRect& covered)
{
    EmptyPendingBut(covered);
    mToEmpty.clear();
    mPainted.Paint(reach, covered, mToEmpty);
    Empty(mToEmpty);
}

void LGDIRendererOffscreenSurface::EmptyPendingBut(const LongRect& covered)
{
    if (!mEmptyPending) return;
    mEmptyPending = false;
    const int32_t width = mBitmap->GetWidth(), height = mBitmap->GetHeight();
    // The covered part within the image, as edges.
    const int32_t left = std::clamp<int64_t>(covered.x, 0, width);
    const int32_t top = std::clamp<int64_t>(covered.y, 0, height);
    const int32_t right = std::clamp<int64_t>(int64_t{covered.x} + covered.width, left, width);
    const int32_t bottom = std::clamp<int64_t>(int64_t{covered.y} + covered.height, top, height);
    if (left == right || top == bottom) {
        mBitmap->Clear();
        return;
    }
    mAreas.clear();
    for (const Platform::Gdip::RectI& r : {Platform::Gdip::RectI{0, 0, width, top},
                                            Platform::Gdip::RectI{0, top, left, bottom - top},
                                            Platform::Gdip::RectI{right, top, width - right, bottom - top},
                                            Platform::Gdip::RectI{0, bottom, width, height - bottom}})
        if (r.width > 0 && r.height > 0) mAreas.push_back(r);
    mBitmap->Clear(mAreas);
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
