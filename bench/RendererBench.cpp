// The 2D renderer and the OpenGL renderer on one full frame (an opaque
// background, then rectangles, bitmaps and text), beside the same
// drawing done with raw cairo calls in the same run (goal: a full frame at
// most 1.3 times raw cairo at 800x600, 1920x1080 and 3840x2160), and the repaint
// of one control's dirty rectangle (goal: under 1 ms). Frames are not shown:
// presenting goes to a sink that does nothing.
#include <benchmark/benchmark.h>

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <string>
#include <vector>

#include <GL/gl.h>

#include "GLContext.h"
#include "LBitmap.h"
#include "LFont.h"
#include "LGDIRenderer.h"
#include "PresentSink.h"
#include "RatioReporter.h"

namespace {

using namespace QV;

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kRects = 200, kBitmaps = 50, kTexts = 100;
// A window's frame starts with its opaque background.
constexpr uint32_t kBackground = 0xFFE0E4E8;

class NullSink final : public Platform::Gdip::IPresentSink {
public:
    void Present(Platform::Gdip::WindowHandle, const Platform::Gdip::Surface&,
                 std::span<const Platform::Gdip::RectI>) override
    {}
};

struct Scene {
    LongRect whole;
    std::vector<LongRect> rects;
    std::vector<uint32_t> colours;
    std::vector<LongRect> bitmapPlaces;
    std::vector<LongPoint> textPlaces;
    std::vector<std::u16string> texts;
    Scene(int width, int height) : whole{0, 0, width, height}
    {
        for (int i = 0; i < kRects; ++i) {
            rects.push_back({(i * 53) % (width - 60), (i * 31) % (height - 30), 60, 24});
            colours.push_back(0xFF000000u | (i * 0x010203u * 37u & 0xFFFFFFu));
        }
        for (int i = 0; i < kBitmaps; ++i)
            bitmapPlaces.push_back({(i * 97) % (width - 48), (i * 61) % (height - 48), 48, 48});
        for (int i = 0; i < kTexts; ++i) {
            textPlaces.push_back({(i * 71) % (width - 200), (i * 37) % (height - 20)});
            texts.push_back(u"Zone " + std::u16string(1, u'1' + i % 4) + u" channel 10, note C3");
        }
    }
};

RCPtr<LBitmap> MakeImage()
{
    return LBitmap::CreateFilledBitmap({32, 32}, LColor(0.2f, 0.4f, 0.8f, 1));
}

// One full frame of the scene through any renderer.
struct FrameDrawer {
    FrameDrawer(int width, int height) : scene(width, height)
    {
        for (const std::u16string& t : scene.texts) texts.emplace_back(t.c_str());
    }
    const Scene scene;
    const RCPtr<LBitmap> bitmap = MakeImage();
    const RCPtr<LFont> font = LFont::GetFont(u"DejaVu Sans", 10, LFont::kRegular);
    std::vector<String> texts;
    void Draw(LRenderer& renderer, const RCPtr<LRenderContextInfo>& context)
    {
        renderer.RenderStart(context);
        renderer.FillRect(scene.whole, LColor::FromARGB(kBackground), true);
        for (int i = 0; i < kRects; ++i) renderer.FillRect(scene.rects[i], LColor::FromARGB(scene.colours[i]), true);
        for (const LongRect& place : scene.bitmapPlaces) renderer.DrawBitmap(bitmap, place, LRenderer::kResizeStretch);
        for (int i = 0; i < kTexts; ++i) renderer.DrawText(texts[i], font, scene.textPlaces[i], LColor(0, 0, 0, 1));
        renderer.RenderFinish(context);
    }
};

// Arguments: the frame's width and height.
void BM_FullFrameRenderer(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    NullSink sink;
    Platform::Gdip::ScopedPresentSink scope(sink);
    FrameDrawer frame(width, height);
    RCPtr<LGDIRenderer> renderer(new LGDIRenderer());
    RCPtr<LRenderContextInfo> context;
    renderer->InitRenderContextInfo({0, 0, width, height}, reinterpret_cast<WindowHandle>(1), false, context);
    context->GetDirtyRegion().AddRect(DoubleRect{0, 0, double(width), double(height)});
    for (auto _ : state) frame.Draw(*renderer, context);
}
BENCHMARK(BM_FullFrameRenderer)
    ->Args({800, 600})
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);

// The same frame through the OpenGL renderer into a hidden window; each
// frame ends with glFinish so the time includes the rasterising.
void BM_FullFrameGLRenderer(benchmark::State& state)
{
    Platform::HiddenGLWindow window(kWidth, kHeight);
    if (!window.GetError().empty()) {
        state.SkipWithError(("no GL window: " + window.GetError()).c_str());
        return;
    }
    FrameDrawer frame(kWidth, kHeight);
    RCPtr<LRenderer> renderer = LRenderer::Create(LRenderer::kOpenGL, {0, 0, kWidth, kHeight}, window.Get());
    RCPtr<LRenderContextInfo> context;
    renderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, window.Get(), false, context);
    for (auto _ : state) {
        frame.Draw(*renderer, context);
        renderer->RenderStart(context);
        glFinish();
        renderer->RenderFinish(context);
    }
}
BENCHMARK(BM_FullFrameGLRenderer)->Unit(benchmark::kMicrosecond);

void SetSource(cairo_t* cr, uint32_t rgb)
{
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, 1);
}

// The same frame with cairo alone: one image, prepared font and a bitmap
// already scaled, as the renderer's caches hold it after the first frame.
void BM_FullFrameRawCairo(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    const Scene scene(width, height);
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 48, 48);
    {
        cairo_t* cr = cairo_create(image);
        cairo_set_source_rgba(cr, 0.2, 0.4, 0.8, 1);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(match);
    std::vector<std::string> texts;
    for (const std::u16string& t : scene.texts) texts.emplace_back(t.begin(), t.end());
    for (auto _ : state) {
        cairo_t* cr = cairo_create(target);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        SetSource(cr, kBackground);
        cairo_rectangle(cr, 0, 0, width, height);
        cairo_fill(cr);
        for (int i = 0; i < kRects; ++i) {
            SetSource(cr, scene.colours[i]);
            const LongRect& r = scene.rects[i];
            cairo_rectangle(cr, r.x, r.y, r.width, r.height);
            cairo_fill(cr);
        }
        for (const LongRect& place : scene.bitmapPlaces) {
            cairo_set_source_surface(cr, image, place.x, place.y);
            cairo_rectangle(cr, place.x, place.y, 48, 48);
            cairo_fill(cr);
        }
        cairo_set_font_face(cr, face);
        cairo_set_font_size(cr, 10 * 96.0 / 72.0);
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        for (int i = 0; i < kTexts; ++i) {
            cairo_move_to(cr, scene.textPlaces[i].x, scene.textPlaces[i].y + 12);
            cairo_show_text(cr, texts[i].c_str());
        }
        cairo_destroy(cr);
        cairo_surface_flush(target);
    }
    cairo_font_face_destroy(face);
    FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    cairo_surface_destroy(image);
    cairo_surface_destroy(target);
}
BENCHMARK(BM_FullFrameRawCairo)
    ->Args({800, 600})
    ->Args({1024, 768})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);

// One 100 x 30 control redrawn: its dirty rectangle only, over the kept frame.
void BM_RepaintOneControl(benchmark::State& state)
{
    NullSink sink;
    Platform::Gdip::ScopedPresentSink scope(sink);
    const RCPtr<LFont> font = LFont::GetFont(u"DejaVu Sans", 10, LFont::kRegular);
    RCPtr<LGDIRenderer> renderer(new LGDIRenderer());
    RCPtr<LRenderContextInfo> context;
    renderer->InitRenderContextInfo({0, 0, kWidth, kHeight}, reinterpret_cast<WindowHandle>(1), false, context);
    const DoubleRect control{400, 300, 100, 30};
    context->GetDirtyRegion().AddRect(control);
    const String label(u"Channel 10");
    for (auto _ : state) {
        renderer->RenderStart(context);
        renderer->SaveState();
        renderer->PushClipRect(control, {0, 0, 100, 30}, nullptr, false);
        renderer->DrawFilledRect({0, 0, 100, 30}, LColor(0.9f, 0.9f, 0.9f, 1), LColor(0.2f, 0.2f, 0.2f, 1), 1);
        renderer->DrawText(label, font, {8, 8}, LColor(0, 0, 0, 1));
        renderer->RestoreState();
        renderer->RestoreState();
        renderer->RenderFinish(context);
    }
}
BENCHMARK(BM_RepaintOneControl)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    std::vector<bench::Ratio> ratios;
    for (const char* size : {"800/600", "1024/768", "1920/1080", "3840/2160"}) {
        ratios.push_back({std::string("BM_FullFrameRenderer/") + size, std::string("BM_FullFrameRawCairo/") + size, 1.3});
    }
    return bench::RunWithRatios(argc, argv, std::move(ratios), {{"BM_RepaintOneControl", "", 1000, "us"}});
}
