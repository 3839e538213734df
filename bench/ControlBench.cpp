// Hit testing and invalidation over a tree of about a thousand controls:
// ten columns of ten rows of nine cells under one top control.
#include <benchmark/benchmark.h>

#include <climits>
#include <random>
#include <stdexcept>
#include <vector>

#include "ControlBenchSupport.h"

namespace {

using namespace QV;
using namespace bench_support;

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
    (void)c->UpdateLayout();  // the frame is what the bench needs
    return c;
}

struct Tree {
    Tree() : root(new BenchRoot())
    {
        top = Place(nullptr, u"top", 0, 0, 1000, 1000);
        if (Failed(top->AttachToRootWindow(RCPtr<IRootWindow>(root.Get())))) throw std::runtime_error("the bench tree did not attach");
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
        for (LControl* c : chosen) (void)c->InvalidateArea();  // measured for its work
    }
    benchmark::DoNotOptimize(tree.root->dirty);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(chosen.size()));
}
BENCHMARK(BM_Invalidate100Controls);

}  // namespace
BENCHMARK_MAIN();
