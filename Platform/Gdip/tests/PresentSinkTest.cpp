#include "PresentSink.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>

#include "Surface.h"

namespace Platform::Gdip {
namespace {

uint32_t WindowPixel(SDL_Surface* s, int x, int y)
{
    SDL_LockSurface(s);
    const auto* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
    uint32_t raw = 0;
    std::memcpy(&raw, row + x * s->format->BytesPerPixel, s->format->BytesPerPixel);
    SDL_UnlockSurface(s);
    uint8_t r, g, b;
    SDL_GetRGB(raw, s->format, &r, &g, &b);
    return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

class SdlPresentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("present", 0, 0, 40, 30, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        target = SDL_GetWindowSurface(window);
        ASSERT_NE(target, nullptr);
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    }
    void TearDown() override
    {
        // Video stays up: quitting unloads the X libraries, whose kept
        // allocations would then show as leaks of an unknown module.
        if (window) SDL_DestroyWindow(window);
    }
    SDL_Window* window = nullptr;
    SDL_Surface* target = nullptr;
};

TEST_F(SdlPresentTest, OnlyTheDirtyRectanglesReachTheWindow)
{
    Surface frame(40, 30);
    frame.FillNoBlend({0, 0, 40, 30}, 0xFF336699);
    const RectI rects[] = {{2, 3, 4, 5}, {30, 20, 50, 50}, {-10, -10, 5, 5}};
    SdlPresentSink sink;
    sink.Present(window, frame, rects);
    EXPECT_EQ(WindowPixel(target, 2, 3), 0x336699u);
    EXPECT_EQ(WindowPixel(target, 5, 7), 0x336699u);
    EXPECT_EQ(WindowPixel(target, 6, 7), 0u);
    EXPECT_EQ(WindowPixel(target, 39, 29), 0x336699u);  // clipped to the window
    EXPECT_EQ(WindowPixel(target, 0, 0), 0u);           // wholly outside: ignored
    EXPECT_EQ(WindowPixel(target, 20, 10), 0u);
}

TEST_F(SdlPresentTest, NothingHappensWithoutAWindowOrRectangles)
{
    Surface frame(4, 4);
    frame.FillNoBlend({0, 0, 4, 4}, 0xFFFFFFFF);
    SdlPresentSink sink;
    sink.Present(nullptr, frame, std::span<const RectI>{});
    sink.Present(window, frame, std::span<const RectI>{});
    EXPECT_EQ(WindowPixel(target, 1, 1), 0u);
}

TEST(PresentSinkTest, ScopedSinkReplacesTheProcessSinkAndIsRestored)
{
    IPresentSink& real = GetPresentSink();
    RecordingPresentSink recorder;
    {
        ScopedPresentSink scope(recorder);
        Surface frame(2, 2);
        const RectI rect{0, 0, 1, 1};
        GetPresentSink().Present(reinterpret_cast<WindowHandle>(0x10), frame, {&rect, 1});
    }
    EXPECT_EQ(&GetPresentSink(), &real);
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].window, reinterpret_cast<WindowHandle>(0x10));
    EXPECT_EQ(recorder.calls[0].rects, (std::vector<RectI>{{0, 0, 1, 1}}));
}

}  // namespace
}  // namespace Platform::Gdip
