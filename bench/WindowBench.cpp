// The host window on SDL beside a bare SDL program: from opening a
// 1024 x 768 window to its first presented frame (goal: at most 2 times the
// bare program), and the processor time an idle window takes over 10 s
// (goal: under 0.5% of one core). Needs a display: make bench runs it under
// a private Xvfb.
#include <benchmark/benchmark.h>

#include <ctime>
#include <stdexcept>

#include "IWindowApplication.h"
#include "LControl.h"
#include "OSWindow.h"
#include "SdlWindowBackend.h"

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
    bool ProcessPendingNotifications(bool) override
    {
        for (const auto& root : GetRootWindows()) root->ProcessNotifications();
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

BENCHMARK_MAIN();
