#pragma once
// A window's context for the 2D renderer: every frame draws on the drawing
// surface, and at its end only the dirty areas are presented to the window.
// The spare surface serves DrawSurface, which swaps the two. Each is made
// when first asked for.
#include "LGDIRendererOffscreenSurface.h"
#include "LRenderContextInfo.h"

namespace QV {

class LGDIRenderContextInfo : public LRenderContextInfo {
    QV_TYPE_NAME("class QV::LGDIRenderContextInfo")
public:
    LGDIRenderContextInfo(const LongRect& viewport, WindowHandle window, bool offscreen);
    ~LGDIRenderContextInfo() override;

    LongSize GetMaximumSurfaceSize() const override { return {4096, 4096}; }

    const RCPtr<LGDIRendererOffscreenSurface>& GetDrawingSurface();
    const RCPtr<LGDIRendererOffscreenSurface>& GetSpareSurface();
    void SwapSurfaces();

    // Rebuilds both surfaces when the window changed size; a repaint of the
    // whole viewport starts on an emptied image; otherwise the last frame
    // stays to be drawn over.
    void BeginFrame();
    // Finishes drawing and presents the dirty areas (window contexts only).
    void EndFrame();

private:
    RCPtr<LGDIRendererOffscreenSurface> mDrawingSurface;
    RCPtr<LGDIRendererOffscreenSurface> mSpareSurface;
    // A rebuilt spare of unchanged size is emptied when it is next used, not
    // at every full repaint: that saves clearing a whole window per frame.
    bool mSpareToClear = false;
};

}  // namespace QV
