#pragma once
// A 2D renderer drawing into one context, with its clock and present sink
// replaced, and helpers to read what was drawn.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "Clock.h"
#include "FakeTimeSource.h"
#include "Image.h"
#include "LBitmap.h"
#include "LGDIRenderer.h"
#include "PresentSink.h"

namespace QV::Testing {

inline bool Near(uint32_t a, uint32_t b, int tolerance = 2)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// A bitmap whose pixels are given row by row (straight 0xAARRGGBB).
inline RCPtr<LBitmap> MakeBitmap(int32_t width, int32_t height, const std::vector<uint32_t>& pixels)
{
    RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap({width, height}, LColor());
    Platform::Gdip::Image* image = bitmap->GetGdiBitmap();
    Platform::Gdip::LockedBits bits;
    if (!image->LockBits(0, 0, width, height, Platform::Gdip::kLockWrite, bits)) return bitmap;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            reinterpret_cast<uint32_t*>(bits.scan0 + y * bits.stride)[x] = pixels[y * width + x];
    image->UnlockBits(bits);
    return bitmap;
}

class GdiRendererFixture : public ::testing::Test {
protected:
    GdiRendererFixture(const LongRect& viewport = {0, 0, 8, 6}, bool offscreen = true)
    {
        renderer->InitRenderContextInfo(viewport, window, offscreen, context);
    }

    void Start() { ASSERT_EQ(renderer->RenderStart(context), S_OK); }
    void Finish() { ASSERT_EQ(renderer->RenderFinish(context), S_OK); }

    LGDIRenderContextInfo& Gdi() { return dynamic_cast<LGDIRenderContextInfo&>(*context); }
    uint32_t Pixel(int32_t x, int32_t y) { return Gdi().GetDrawingSurface()->GetBitmap().GetPixel(x, y); }
    // Which pixels hold a colour, as rows of '#' and '.'.
    std::string Mask(uint32_t colour, int tolerance = 2)
    {
        const Platform::Gdip::Surface& s = Gdi().GetDrawingSurface()->GetBitmap();
        std::string out;
        for (int32_t y = 0; y < s.GetHeight(); ++y) {
            for (int32_t x = 0; x < s.GetWidth(); ++x) out += Near(s.GetPixel(x, y), colour, tolerance) ? '#' : '.';
            out += '\n';
        }
        return out;
    }

    Platform::Clock::FakeTimeSource clock{1000};
    Platform::Clock::ScopedTimeSource clockScope{clock};
    Platform::Gdip::RecordingPresentSink sink;
    Platform::Gdip::ScopedPresentSink sinkScope{sink};
    WindowHandle window = reinterpret_cast<WindowHandle>(0x5A00);
    RCPtr<LGDIRenderer> renderer{new LGDIRenderer()};
    RCPtr<LRenderContextInfo> context;
};

inline const LColor kRed{1, 0, 0, 1};
inline const LColor kBlue{0, 0, 1, 1};
constexpr uint32_t kRedArgb = 0xFFFF0000, kBlueArgb = 0xFF0000FF, kGreenArgb = 0xFF00FF00;

// Compares a drawn surface with its reference PNG within a per-channel
// tolerance. QV_UPDATE_PICTURES=1 rewrites the reference first; on a mismatch
// the actual picture is written beside it so a person can look.
inline void ExpectMatchesReferencePicture(const Platform::Gdip::Surface& actual, const std::string& referencePath,
                                          const std::string& actualPath, int tolerance)
{
    const char* update = std::getenv("QV_UPDATE_PICTURES");
    if (update && std::string(update) == "1") {
        ASSERT_TRUE(actual.WritePng(referencePath));
    }
    const std::unique_ptr<Platform::Gdip::Surface> reference = Platform::Gdip::Surface::ReadPng(referencePath);
    int mismatched = 0;
    if (reference && reference->GetWidth() == actual.GetWidth() && reference->GetHeight() == actual.GetHeight()) {
        for (int32_t y = 0; y < actual.GetHeight(); ++y)
            for (int32_t x = 0; x < actual.GetWidth(); ++x)
                mismatched += !Near(actual.GetPixel(x, y), reference->GetPixel(x, y), tolerance);
    } else {
        mismatched = -1;
    }
    if (mismatched != 0) actual.WritePng(actualPath);
    EXPECT_EQ(mismatched, 0) << "actual picture written to " << actualPath;
}

}  // namespace QV::Testing
