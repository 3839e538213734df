#include "PresentSink.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstring>

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

namespace {

// The image's pixels are 32-bit words 0xAARRGGBB: a window surface of the same
// word with or without alpha takes them as they are.
bool SameLayout(const SDL_Surface& target)
{
    const Uint32 format = target.format->format;
    return format == SDL_PIXELFORMAT_ARGB8888 || format == SDL_PIXELFORMAT_RGB888;
}

// Copies the rectangles row by row; answers the ones that were on the window.
std::vector<SDL_Rect> CopyRects(const Surface& image, SDL_Surface& target, std::span<const RectI> rects)
{
    std::vector<SDL_Rect> updated;
    updated.reserve(rects.size());
    const SDL_Rect bounds{0, 0, std::min(image.GetWidth(), target.w), std::min(image.GetHeight(), target.h)};
    if (SDL_MUSTLOCK(&target) && SDL_LockSurface(&target) != 0) return updated;
    for (const RectI& r : rects) {
        const SDL_Rect wanted{r.x, r.y, r.width, r.height};
        SDL_Rect area;
        if (!SDL_IntersectRect(&wanted, &bounds, &area)) continue;
        const size_t bytes = size_t(area.w) * 4;
        for (int y = area.y; y < area.y + area.h; ++y) {
            std::memcpy(static_cast<uint8_t*>(target.pixels) + ptrdiff_t(y) * target.pitch + ptrdiff_t(area.x) * 4,
                        image.GetData() + ptrdiff_t(y) * image.GetStride() + ptrdiff_t(area.x) * 4, bytes);
        }
        updated.push_back(area);
    }
    if (SDL_MUSTLOCK(&target)) SDL_UnlockSurface(&target);
    return updated;
}

}  // namespace

void SdlPresentSink::Present(WindowHandle window, const Surface& image, std::span<const RectI> rects)
{
    auto* sdlWindow = static_cast<SDL_Window*>(window);
    if (!sdlWindow || rects.empty() || !image.IsValid()) return;
    SDL_Surface* target = SDL_GetWindowSurface(sdlWindow);
    if (!target) return;
    image.Flush();
    if (SameLayout(*target)) {
        const std::vector<SDL_Rect> updated = CopyRects(image, *target, rects);
        if (!updated.empty()) SDL_UpdateWindowSurfaceRects(sdlWindow, updated.data(), int(updated.size()));
        return;
    }
    // Any other window format: converted on the way.
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
