// The host window on SDL beside a bare SDL program: from opening a
// 1024 x 768 window to its first presented frame (goal: at most 2 times the
// bare program), from a resize request to the repainted frame on screen
// (goal: at most 1.3 times the bare program), the present of a full frame
// beside a copy in the window surface's own format (goal: at most 1.1
// times), and the processor time an idle window takes over 10 s (goal: under
// 0.5% of one core). Needs a display: make bench runs it under a private Xvfb.
#include <benchmark/benchmark.h>

#include <ctime>
#include <span>
#include <stdexcept>

#include "IWindowApplication.h"
#include "LControl.h"
#include "OSWindow.h"
#include "PresentSink.h"
#include "RatioReporter.h"
#include "SdlWindowBackend.h"
#include "Surface.h"

namespace {

using namespace QV;

constexpr int kWidth = 1024, kHeight = 768;

class BenchApplication final : public IWindowApplication {
public:
    void AddRootWindow(const RCPtr<LRootWindow>& root) override { roots.push_back(root); }
    void RemoveRootWindow(LRootWindow* root) override
    {
        std::erase_if(roots, [root](const RCPtr<LRootWindow>& r) { return r.Get() == root; });
    }
    std::vector<RCPtr<LRootWindow>> GetRootWindows() override { return roots; }
    uint32_t GetModifierState() override { return 0; }
    uint32_t GetMouseButtonState() override { return 0; }
    DoubleRect GetWorkArea() override { return Platform::Window::GetWorkArea(); }
    void RequestExit() override {}
    void HandleCommandText(const String&) override {}
    bool ProcessPendingNotifications(bool firstPass) override
    {
        for (const auto& root : GetRootWindows()) root->ProcessNotifications(firstPass);
        return false;
    }
    void DropClipboardValue() override {}
    String GetMainWindowClassName() override { return u"TarselBench"; }
    void WriteProfileBinary(const String&, const String&, const std::vector<uint8_t>&) override {}
    std::vector<RCPtr<LRootWindow>> roots;
};

bool VideoUp()
{
    static const bool up = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    return up;
}

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct EditorWindow {
    EditorWindow()
    {
        auto backend = std::make_unique<Platform::Window::SdlWindowBackend>("bench", kWidth, kHeight);
        auto* raw = backend.get();
        window = std::make_unique<OSWindow>(std::move(backend));
        raw->SetHost(window.get());
        if (Failed(window->CreateRenderer(LRenderer::kGdi)) ||
            Failed(window->GetRootWindow()->SetMainControl(RCPtr<LControl>(new LControl(nullptr, u"main")))))
            throw std::runtime_error("the bench window has no renderer");
        window->Show(1);
        window->UpdateNow();
    }
    ~EditorWindow()
    {
        RCPtr<LRootWindow> root = window->GetRootWindow();
        window->DestroyWindow();
        root->ReleaseInternalReferences();
    }
    std::unique_ptr<OSWindow> window;
};

void BM_FirstFrameBareSdl(benchmark::State& state)
{
    if (!VideoUp()) return state.SkipWithError("no display");
    for (auto _ : state) {
        SDL_Window* w = SDL_CreateWindow("bare", 0, 0, kWidth, kHeight, SDL_WINDOW_SHOWN);
        SDL_Surface* s = SDL_GetWindowSurface(w);
        SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 40, 40, 40));
        SDL_UpdateWindowSurface(w);
        SDL_DestroyWindow(w);
    }
}
BENCHMARK(BM_FirstFrameBareSdl)->Unit(benchmark::kMillisecond);

void BM_FirstFrameEditorWindow(benchmark::State& state)
{
    if (!VideoUp()) return state.SkipWithError("no display");
    BenchApplication app;
    ScopedWindowApplication scope(app);
    for (auto _ : state) {
        EditorWindow editor;
    }
}
BENCHMARK(BM_FirstFrameEditorWindow)->Unit(benchmark::kMillisecond);

// Two sizes the resizes alternate between.
constexpr int kSizes[2][2] = {{kWidth, kHeight}, {kWidth - 64, kHeight - 48}};

// Waits for the window's size-changed event, as a resize's end.
void WaitForSize(SDL_Window* window, int width, int height)
{
    for (SDL_Event event; SDL_WaitEventTimeout(&event, 2000);) {
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED &&
            event.window.windowID == SDL_GetWindowID(window) && event.window.data1 == width &&
            event.window.data2 == height)
            return;
    }
}

void BM_ResizeToFrameBareSdl(benchmark::State& state)
{
    if (!VideoUp()) return state.SkipWithError("no display");
    SDL_Window* w = SDL_CreateWindow("bare", 0, 0, kWidth, kHeight, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    int flip = 0;
    for (auto _ : state) {
        const int* size = kSizes[flip ^= 1];
        SDL_SetWindowSize(w, size[0], size[1]);
        WaitForSize(w, size[0], size[1]);
        SDL_Surface* s = SDL_GetWindowSurface(w);
        SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 242, 242, 242));
        SDL_UpdateWindowSurface(w);
    }
    SDL_DestroyWindow(w);
}
BENCHMARK(BM_ResizeToFrameBareSdl)->Unit(benchmark::kMillisecond);

// Counts the frames that reach the window.
class CountingSink final : public Platform::Gdip::IPresentSink {
public:
    void Present(Platform::Gdip::WindowHandle window, const Platform::Gdip::Surface& image,
                 std::span<const Platform::Gdip::RectI> rects) override
    {
        screen.Present(window, image, rects);
        ++frames;
    }
    Platform::Gdip::SdlPresentSink screen;
    int frames = 0;
};

void BM_ResizeToFrameEditorWindow(benchmark::State& state)
{
    if (!VideoUp()) return state.SkipWithError("no display");
    BenchApplication app;
    ScopedWindowApplication scope(app);
    CountingSink sink;
    Platform::Gdip::ScopedPresentSink sinkScope(sink);
    EditorWindow editor;
    auto* w = static_cast<SDL_Window*>(editor.window->GetWindowHandle());
    IOSWindowBackend& backend = editor.window->GetBackend();
    int flip = 0;
    for (auto _ : state) {
        const int* size = kSizes[flip ^= 1];
        const int before = sink.frames;
        SDL_SetWindowSize(w, size[0], size[1]);
        for (int i = 0; i < 1000 && sink.frames == before; ++i) backend.PumpMessage();
    }
}
BENCHMARK(BM_ResizeToFrameEditorWindow)->Unit(benchmark::kMillisecond);

// A full 1024 x 768 frame to the window: through the present path, and as a
// plain copy of a surface already in the window's format.
void BM_PresentFullFrame(benchmark::State& state)
{
    if (!VideoUp()) return state.SkipWithError("no display");
    SDL_Window* w = SDL_CreateWindow("present", 0, 0, kWidth, kHeight, SDL_WINDOW_SHOWN);
    Platform::Gdip::Surface image(kWidth, kHeight);
    image.Clear();
    Platform::Gdip::SdlPresentSink sink;
    const Platform::Gdip::RectI all{0, 0, kWidth, kHeight};
    for (auto _ : state) sink.Present(w, image, {&all, 1});
    SDL_DestroyWindow(w);
}
BENCHMARK(BM_PresentFullFrame)->Unit(benchmark::kMicrosecond);

void BM_SameFormatCopyFullFrame(benchmark::State& state)
{
    if (!VideoUp()) return state.SkipWithError("no display");
    SDL_Window* w = SDL_CreateWindow("copy", 0, 0, kWidth, kHeight, SDL_WINDOW_SHOWN);
    SDL_Surface* target = SDL_GetWindowSurface(w);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, target->format->format);
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    for (auto _ : state) {
        SDL_BlitSurface(source, nullptr, target, nullptr);
        SDL_UpdateWindowSurface(w);
    }
    SDL_FreeSurface(source);
    SDL_DestroyWindow(w);
}
BENCHMARK(BM_SameFormatCopyFullFrame)->Unit(benchmark::kMicrosecond);

void BM_IdleWindowCpu(benchmark::State& state)
{
    if (!VideoUp()) return state.SkipWithError("no display");
    BenchApplication app;
    ScopedWindowApplication scope(app);
    EditorWindow editor;
    IOSWindowBackend& backend = editor.window->GetBackend();
    for (auto _ : state) {
        const double cpuStart = CpuSeconds();
        const uint32_t start = SDL_GetTicks();
        while (SDL_GetTicks() - start < 10000) {
            if (!backend.HasPendingMessage()) app.ProcessPendingNotifications(true);
            backend.PumpMessage();
        }
        state.counters["cpu_percent_of_core"] = (CpuSeconds() - cpuStart) / 10.0 * 100.0;
    }
}
BENCHMARK(BM_IdleWindowCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv)
{
    return bench::RunWithRatios(argc, argv,
                                {{"BM_FirstFrameEditorWindow", "BM_FirstFrameBareSdl", 2.0},
                                 {"BM_ResizeToFrameEditorWindow", "BM_ResizeToFrameBareSdl", 1.3},
                                 {"BM_PresentFullFrame", "BM_SameFormatCopyFullFrame", 1.1}},
                                {{"BM_IdleWindowCpu/iterations:1", "cpu_percent_of_core", 0.5, "% of a core"}});
}
