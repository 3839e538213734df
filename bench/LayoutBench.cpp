// A full layout pass over controls placed by skin-like rules: a top control
// filling the window, ten rows stacked by sibling references and sized to
// their children, and cells in each row placed beside each other by name,
// centred, some flush right, with minimum and maximum widths. The pass must
// grow with the number of controls, not with its square or cube.
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <vector>

#include "ControlBenchSupport.h"
#include "RatioReporter.h"
#include "LLayout.h"

namespace {

using namespace QV;
using namespace bench_support;

class SolverApplication : public BenchApplication {
public:
    QVResult ResolveLayout(LControl& control, const DoubleRect& reference, DoubleRect& frame) override
    {
        ++resolves;
        return LLayout::ResolveControl(control, reference, frame);
    }
    int64_t resolves = 0;
};

LayoutRecord Rec(int32_t kind, double offset, float factor = 0.0f, const String& name = String())
{
    return LayoutRecord{kind, name, factor, offset};
}

RCPtr<LControl> Make(LControl* parent, const String& name, const ControlLayout& layout)
{
    RCPtr<LControl> c(new LControl(parent, name));
    c->SetLayout(layout);
    c->AddVisualPart(RCPtr<ILook>(new BenchLook()));
    c->ShowPart(0);
    (void)c->UpdateLayout();  // the frame is what the bench needs
    return c;
}

ControlLayout Filling()
{
    ControlLayout l;
    l.position[0] = l.position[1] = Rec(LayoutKind::kClient, 0);
    l.size[0] = l.size[1] = Rec(LayoutKind::kClient, 0, 1.0f);
    return l;
}

ControlLayout Row(const String& above)
{
    ControlLayout l;
    l.position[0] = Rec(LayoutKind::kClient, 0);
    l.size[0] = Rec(LayoutKind::kClient, 0, 1.0f);
    l.position[1] = above.IsEmpty() ? Rec(LayoutKind::kClient, 0) : Rec(LayoutKind::kSibling, 2, 1.0f, above);
    l.size[1] = Rec(LayoutKind::kSelf, 60);
    l.minimum[1] = Rec(LayoutKind::kSibling, 0, 1.0f, u"Children");
    return l;
}

ControlLayout Cell(const String& before, bool flushRight)
{
    ControlLayout l;
    if (flushRight) {
        l.position[0] = Rec(LayoutKind::kClient, -4, 1.0f);
        l.anchor[0].factor = 1.0f;
    } else {
        l.position[0] = before.IsEmpty() ? Rec(LayoutKind::kClient, 4) : Rec(LayoutKind::kSibling, 2, 1.0f, before);
    }
    l.size[0] = Rec(LayoutKind::kSelf, 20);
    l.minimum[0] = Rec(LayoutKind::kSelf, 10);
    l.limit[0] = Rec(LayoutKind::kSelf, 30);
    l.position[1] = Rec(LayoutKind::kClient, 0, 0.5f);
    l.anchor[1].factor = 0.5f;
    l.size[1] = Rec(LayoutKind::kClient, -8, 1.0f);
    return l;
}

struct Tree {
    explicit Tree(int cellsPerRow) : root(new BenchRoot())
    {
        top = Make(nullptr, u"top", Filling());
        if (Failed(top->AttachToRootWindow(RCPtr<IRootWindow>(root.Get())))) throw std::runtime_error("the bench tree did not attach");
        String name, previousRow;
        for (int row = 0; row < 10; ++row) {
            name.Format(u"row%d", row);
            RCPtr<LControl> r = Make(top.Get(), name, Row(previousRow));
            previousRow = name;
            String previousCell;
            for (int cell = 0; cell < cellsPerRow; ++cell) {
                name.Format(u"cell%d", cell);
                Make(r.Get(), name, Cell(previousCell, cell % 7 == 6));
                previousCell = name;
            }
        }
    }
    ~Tree() { top->Close(); }

    SolverApplication app;
    ScopedControlApplication scope{app};
    RCPtr<BenchRoot> root;
    RCPtr<LControl> top;
};

// One layout pass at that width; apart, so a profile can take the passes alone.
[[gnu::noinline]] void Pass(Tree& tree, int32_t width)
{
    tree.root->clientWidth = width;
    (void)tree.top->UpdateLayout();  // measured for its work
}

// Argument: cells per row; the tree holds 10 x (cells + 1) + 1 controls.
void BM_LayoutPass(benchmark::State& state)
{
    const int cells = static_cast<int>(state.range(0));
    Tree tree(cells);
    bool wide = false;
    tree.app.resolves = 0;
    for (auto _ : state) {
        wide = !wide;
        Pass(tree, wide ? 1200 : 1000);
    }
    benchmark::DoNotOptimize(tree.top->GetFrame());
    const int64_t controls = 10 * (cells + 1) + 1;
    state.SetItemsProcessed(state.iterations() * controls);
    // Stays flat when the pass grows with the number of controls.
    state.counters["resolves_per_control"] =
        static_cast<double>(tree.app.resolves) / static_cast<double>(state.iterations() * controls);
}
BENCHMARK(BM_LayoutPass)->Arg(49)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // About 1,000 and 10,000 controls: the goal is at most 20x between them.
    return bench::RunWithRatios(argc, argv, {{"BM_LayoutPass/1000", "BM_LayoutPass/100", 20.0}},
                                {{"BM_LayoutPass/1000", "", 100, "ms"}});
}
