#include "PresentSink.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>

#include "Surface.h"

namespace Platform::Gdip {
namespace {

std::atomic<IPresentSink*> gSink{nullptr};

}  // namespace

IPresentSink& GetPresentSink()
{
    static SdlPresentSink sdlSink;
    IPresentSink* sink = gSink.load(std::memory_order_acquire);
    return sink ? *sink : sdlSink;
}

ScopedPresentSink::ScopedPresentSink(IPresentSink& sink) : mPrevious(gSink.exchange(&sink, std::memory_order_acq_rel))
{}

ScopedPresentSink::~ScopedPresentSink()
{
    gSink.store(mPrevious, std::memory_order_release);
}

void SdlPresentSink::Present(WindowHandle window, const Surface& image, std::span<const RectI> rects)
{
    auto* sdlWindow = static_cast<SDL_Window*>(window);
    if (!sdlWindow || rects.empty() || !image.IsValid()) return;
    SDL_Surface* target = SDL_GetWindowSurface(sdlWindow);
    if (!target) return;
    image.Flush();
    SDL_Surface* source =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(image.GetData()), image.GetWidth(), image.GetHeight(),
                                           32, image.GetStride(), SDL_PIXELFORMAT_ARGB8888);
    if (!source) return;
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    std::vector<SDL_Rect> updated;
    updated.reserve(rects.size());
    const SDL_Rect bounds{0, 0, std::min(image.GetWidth(), target->w), std::min(image.GetHeight(), target->h)};
    for (const RectI& r : rects) {
        const SDL_Rect wanted{r.x, r.y, r.width, r.height};
        SDL_Rect area;
        if (!SDL_IntersectRect(&wanted, &bounds, &area)) continue;
        SDL_Rect destination = area;
        if (SDL_BlitSurface(source, &area, target, &destination) == 0) updated.push_back(area);
    }
    SDL_FreeSurface(source);
    if (!updated.empty()) SDL_UpdateWindowSurfaceRects(sdlWindow, updated.data(), static_cast<int>(updated.size()));
}

}  // namespace Platform::Gdip
