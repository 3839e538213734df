// Hit testing and invalidation over a tree of about a thousand controls:
// ten columns of ten rows of nine cells under one top control.
#include <benchmark/benchmark.h>

#include <climits>
#include <random>
#include <vector>

#include "IControlApplication.h"
#include "LControl.h"

namespace {

using namespace QV;

class BenchRoot : public LNotificationDistributor, public IRootWindow {
    QV_TYPE_NAME("class BenchRoot")
public:
    void InvalidateRect(int32_t, int32_t, int32_t, int32_t) override { ++dirty; }
    RCPtr<LControl> GetFocusControl() const override { return nullptr; }
    void SetFocusControl(LControl*) override {}
    void OnFocusLost(LControl*) override {}
    uint32_t SetCursor(uint32_t) override { return 0; }
    uint32_t GetNormalCursor() const override { return 0; }
    RCPtr<LControl> HitTest(int32_t, int32_t, bool, int32_t*, int32_t*) override { return nullptr; }
    void GetCursorPosition(int32_t& x, int32_t& y) const override { x = y = -1; }
    uint32_t GetMouseButtonState() const override { return 0; }
    uint32_t GetModifierState() const override { return 0; }
    void SetCapture(LControl*) override {}
    void ReleaseCapture(LControl*) override {}
    void SetPressTarget(LControl*) override {}
    void HandleTabNavigation(const RCPtr<LKeyParam>&) override {}
    QVResult HandleHotKey(const KeyCodeValue&) override { return 1; }
    RCPtr<LNotificationDistributor> GetDistributor() override { return RCPtr<LNotificationDistributor>(this); }
    void SetWindowTitle(const String&) override {}
    void GetClientSize(double& w, double& h) const override { w = h = 1000; }
    void SetWindowRect(double, double, double, double) override {}
    int64_t dirty = 0;
};

class BenchLook : public ILook {
    QV_TYPE_NAME("class BenchLook")
public:
    void DrawBackground(IControlRenderer&, const DirtyRects&) override {}
    void DrawForeground(IControlRenderer&, const DirtyRects&) override {}
    void DrawLabelText(IControlRenderer&, const DirtyRects&, const DoublePoint&) override {}
    DoubleRect GetClientRect() const override { return {0, 0, double(mWidth), double(mHeight)}; }
    uint32_t GetColorAtPoint(const DoublePoint&) const override { return 0xFF808080u; }
    void SetSize(int32_t w, int32_t h) override
    {
        mWidth = w;
        mHeight = h;
    }
    void SetText(const String&) override {}
    void SetFont(const RCPtr<LFont>&) override {}
    bool GetTextWidth(double&) const override { return false; }
    double GetTextAreaWidth(double w) const override { return w; }
    QVResult SetOverlayPart(const RCPtr<LRefCountedObject>&, int32_t, bool) override { return 1; }
    void SetTextForegroundPart(const RCPtr<LRefCountedObject>&) override {}

private:
    int32_t mWidth = 0, mHeight = 0;
};

class BenchApplication : public IControlApplication {
public:
    uint32_t GetTimeMs() override { return 0; }
    double GetElapsedTime() override { return 0; }
    DoubleRect GetWorkArea() override { return {0, 0, 1000, 1000}; }
    uint32_t GetCursorHandle(const char16_t*) override { return 0; }
    QVResult HandleHotKey(const KeyCodeValue&) override { return 1; }
    RCPtr<LFont> GetDefaultFont() override { return nullptr; }
    IControlFactory* GetControlFactory() override { return nullptr; }
    RCPtr<LNotificationDistributor> GetDefaultNotificationCenter() override { return nullptr; }
    QVResult ResolveLayout(LControl& c, const DoubleRect&, DoubleRect& frame) override
    {
        const ControlLayout& l = c.GetLayout();
        frame = {l.position[0].offset, l.position[1].offset, l.size[0].offset, l.size[1].offset};
        return S_OK;
    }
};

RCPtr<LControl> Place(LControl* parent, const String& name, double x, double y, double w, double h)
{
    RCPtr<LControl> c(new LControl(parent, name));
    ControlLayout l;
    l.position[0].offset = x;
    l.position[1].offset = y;
    l.size[0].offset = w;
    l.size[1].offset = h;
    c->SetLayout(l);
    c->AddVisualPart(RCPtr<ILook>(new BenchLook()));
    c->ShowPart(0);
    c->UpdateLayout();
    return c;
}

struct Tree {
    Tree() : root(new BenchRoot())
    {
        top = Place(nullptr, u"top", 0, 0, 1000, 1000);
        top->AttachToRootWindow(RCPtr<IRootWindow>(root.Get()));
        String name;
        for (int col = 0; col < 10; ++col) {
            name.Format(u"column%d", col);
            RCPtr<LControl> column = Place(top.Get(), name, col * 100.0, 0, 100, 1000);
            for (int row = 0; row < 10; ++row) {
                name.Format(u"row%d", row);
                RCPtr<LControl> r = Place(column.Get(), name, 0, row * 100.0, 100, 100);
                for (int cell = 0; cell < 9; ++cell) {
                    name.Format(u"cell%d", cell);
                    all.push_back(Place(r.Get(), name, (cell % 3) * 33.0, (cell / 3) * 33.0, 33, 33));
                }
            }
        }
    }
    ~Tree() { top->Close(); }

    BenchApplication app;
    ScopedControlApplication scope{app};
    RCPtr<BenchRoot> root;
    RCPtr<LControl> top;
    std::vector<RCPtr<LControl>> all;
};

void BM_HitTest1000RandomPoints(benchmark::State& state)
{
    Tree tree;
    std::mt19937 random(19);
    std::uniform_real_distribution<double> coordinate(0.0, 1000.0);
    std::vector<DoublePoint> points(1000);
    for (auto& p : points) p = {coordinate(random), coordinate(random)};
    int64_t found = 0;
    for (auto _ : state) {
        for (const DoublePoint& p : points) {
            DoublePoint hit;
            int32_t priority = INT_MIN;
            found += tree.top->HitTest(p, true, hit, priority) ? 1 : 0;
        }
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
}
BENCHMARK(BM_HitTest1000RandomPoints);

void BM_Invalidate100Controls(benchmark::State& state)
{
    Tree tree;
    std::vector<LControl*> chosen;
    for (size_t i = 0; i < tree.all.size() && chosen.size() < 100; i += 9) chosen.push_back(tree.all[i].Get());
    for (auto _ : state) {
        for (LControl* c : chosen) c->InvalidateArea();
    }
    benchmark::DoNotOptimize(tree.root->dirty);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(chosen.size()));
}
BENCHMARK(BM_Invalidate100Controls);

}  // namespace
BENCHMARK_MAIN();
