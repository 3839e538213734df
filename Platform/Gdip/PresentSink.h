#pragma once
// Where a finished frame goes: the dirty rectangles of an off-screen image
// are copied to a window. The process has one sink, the SDL one unless a test
// puts another in its place for its lifetime.
#include <span>
#include <vector>

#include "GdipTypes.h"

namespace Platform::Gdip {

class Surface;

// The window as the layer hands it out; the SDL sink takes an SDL_Window.
using WindowHandle = void*;

class IPresentSink {
public:
    virtual void Present(WindowHandle window, const Surface& image, std::span<const RectI> rects) = 0;

protected:
    ~IPresentSink() = default;
};

IPresentSink& GetPresentSink();

class ScopedPresentSink {
public:
    explicit ScopedPresentSink(IPresentSink& sink);
    ~ScopedPresentSink();
    ScopedPresentSink(const ScopedPresentSink&) = delete;
    ScopedPresentSink& operator=(const ScopedPresentSink&) = delete;

private:
    IPresentSink* mPrevious;
};

// Copies each rectangle (clipped to image and window) to the window's
// surface and updates only those rectangles on screen.
class SdlPresentSink final : public IPresentSink {
public:
    void Present(WindowHandle window, const Surface& image, std::span<const RectI> rects) override;
};

// Remembers every call, for tests.
class RecordingPresentSink final : public IPresentSink {
public:
    struct Call {
        WindowHandle window;
        std::vector<RectI> rects;
    };
    void Present(WindowHandle window, const Surface&, std::span<const RectI> rects) override
    {
        calls.push_back({window, {rects.begin(), rects.end()}});
    }
    std::vector<Call> calls;
};

}  // namespace Platform::Gdip
