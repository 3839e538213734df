#include "LGDIRenderContextInfo.h"

#include <vector>

#include "PresentSink.h"

namespace QV {

LGDIRenderContextInfo::LGDIRenderContextInfo(const LongRect& viewport, WindowHandle window, bool offscreen)
    : LRenderContextInfo(viewport, window, offscreen)
{}

LGDIRenderContextInfo::~LGDIRenderContextInfo()
{
    mDrawingSurface.Reset();
    mSpareSurface.Reset();
}

void LGDIRenderContextInfo::BeginFrame()
{
    const LongRect& viewport = GetViewport();
    const LongSize size{viewport.width, viewport.height};
    if (!mDrawingSurface) {
        (void)GetDrawingSurface();  // made at the first frame's size, empty
        return;
    }
    const bool sameSize = mDrawingSurface->GetSize() == size;
    if (sameSize) {
        std::vector<LongRect> rects;
        GetDirtyRegion().GetRects(rects);
        if (rects.size() != 1 || !(rects.front() == viewport)) return;
        mDrawingSurface->BeginRepaint();
    } else {
        mDrawingSurface->SetSize(size);
    }
    if (!mSpareSurface) return;
    if (mSpareSurface->GetSize() == size) {
        mSpareToClear = true;
    } else {
        mSpareSurface->SetSize(size);
        mSpareToClear = false;
    }
}

const RCPtr<LGDIRendererOffscreenSurface>& LGDIRenderContextInfo::GetDrawingSurface()
{
    // Made on first use: a window often changes size between its context's
    // making and its first frame, and an image of its size is start-up time.
    if (!mDrawingSurface) {
        const LongRect& viewport = GetViewport();
        mDrawingSurface = new LGDIRendererOffscreenSurface({viewport.width, viewport.height}, GetWindow());
    }
    return mDrawingSurface;
}

const RCPtr<LGDIRendererOffscreenSurface>& LGDIRenderContextInfo::GetSpareSurface()
{
    if (!mSpareSurface) {
        // Most contexts never swap.
        mSpareSurface = new LGDIRendererOffscreenSurface(GetDrawingSurface()->GetSize(), GetWindow());
        mSpareToClear = false;
    } else if (mSpareToClear) {
        mSpareSurface->SetSize(mSpareSurface->GetSize());
        mSpareToClear = false;
    }
    return mSpareSurface;
}

void LGDIRenderContextInfo::SwapSurfaces()
{
    GetSpareSurface();
    std::swap(mDrawingSurface, mSpareSurface);
}

void LGDIRenderContextInfo::EndFrame()
{
    mDrawingSurface->FinishRepaint();
    mDrawingSurface->GetGraphics().Flush();
    if (IsOffscreen()) return;
    std::vector<LongRect> rects;
    GetDirtyRegion().GetRects(rects);
    // Presented from the last rectangle to the first.
    std::vector<Platform::Gdip::RectI> areas;
    areas.reserve(rects.size());
    for (auto it = rects.rbegin(); it != rects.rend(); ++it) areas.push_back({it->x, it->y, it->width, it->height});
    Platform::Gdip::GetPresentSink().Present(GetWindow(), mDrawingSurface->GetBitmap(), areas);
}

}  // namespace QV
