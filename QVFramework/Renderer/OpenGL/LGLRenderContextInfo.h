#pragma once
// The OpenGL render context of a window or an off-screen surface.
#include "LRenderContextInfo.h"

namespace QV {

class LGLRenderContextInfo : public LRenderContextInfo {
    QV_TYPE_NAME("class QV::LGLRenderContextInfo")
public:
    // Reads the largest viewport from the current GL context (0 x 0 when
    // none is current).
    LGLRenderContextInfo(const LongRect& viewport, WindowHandle window, bool offscreen);

    LongSize GetMaximumSurfaceSize() const override { return mMaximum; }
    // Presents the back buffer of a window context; nothing for an
    // off-screen one. Answers whether it swapped.
    bool SwapBuffers();
    // The texture of the surface: none here.
    int32_t GetSurfaceTexture() const { return 0; }

private:
    LongSize mMaximum{};
};

}  // namespace QV
