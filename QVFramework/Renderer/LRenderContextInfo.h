#pragma once
// One window's drawing target for one renderer: the viewport, the areas to
// present at the end of a frame, and the current and saved render states.
// UI thread only.
#include <cstdint>
#include <deque>

#include "RectRegion.h"
#include "RectT.h"
#include "RefCountedObject.h"
#include "RenderState.h"
#include "SizeT.h"
#include "TypeName.h"

namespace QV {

// The window as the platform layer hands it out; may be null.
using WindowHandle = void*;

class LRenderContextInfo : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LRenderContextInfo")
public:
    LRenderContextInfo(const LongRect& viewport, WindowHandle window, bool offscreen)
        : mWindow(window), mOffscreen(offscreen), mViewport(viewport)
    {}
    ~LRenderContextInfo() override { mDirtyRegion.Clear(); }

    // The largest surface the context can draw.
    virtual LongSize GetMaximumSurfaceSize() const = 0;

    WindowHandle GetWindow() const { return mWindow; }
    // An off-screen context is never presented; it is the source of
    // DrawBitmapRect and DrawSurface.
    bool IsOffscreen() const { return mOffscreen; }
    // Filled by the window's painting code with the areas to present.
    RectRegion& GetDirtyRegion() { return mDirtyRegion; }
    const LongRect& GetViewport() const { return mViewport; }
    void SetViewport(const LongRect& viewport) { mViewport = viewport; }
    RenderState& GetState() { return mState; }
    std::deque<RenderState>& GetSavedStates() { return mSavedStates; }

private:
    WindowHandle mWindow;
    bool mOffscreen;
    RectRegion mDirtyRegion;
    LongRect mViewport;
    RenderState mState;
    std::deque<RenderState> mSavedStates;
};

}  // namespace QV
