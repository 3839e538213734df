#pragma once
// A tree of real controls laid out by the real solver, under a fake root
// window and application.
#include "ControlTestSupport.h"
#include "LLayout.h"
#include "LPanel.h"

namespace controls_test {

using namespace QV;
using namespace control_test;

class SolverApplication : public FakeApplication {
public:
    QVResult ResolveLayout(LControl& control, const DoubleRect& reference, DoubleRect& frame) override
    {
        return LLayout::ResolveControl(control, reference, frame);
    }
};

inline LayoutRecord Rec(int32_t kind, double offset, float factor = 0.0f, const char16_t* name = u"")
{
    return LayoutRecord{kind, String(name), factor, offset};
}

// Position and size rules of one axis.
struct AxisRules {
    LayoutRecord position;
    LayoutRecord size;
    float anchor = 0.0f;
};

inline AxisRules At(double offset, double size)
{
    return {Rec(LayoutKind::kClient, offset), Rec(LayoutKind::kSelf, size)};
}

// Initialises a subtree children first, as the factory does.
inline void InitializeTree(LControl* c)
{
    for (const RCPtr<LControl>& child : c->GetChildren().Snapshot(ChildControlList::kInsertion))
        InitializeTree(child.Get());
    c->Initialize();
    c->OnInitialized();
    c->SetInitialized(true);
}

class TreeFixture : public ::testing::Test {
protected:
    TreeFixture() : scope(app), root(new FakeRootWindow()) {}
    ~TreeFixture() override
    {
        if (top) top->Close();
        top = nullptr;
    }

    template <class C>
    RCPtr<C> Add(LControl* parent, const char16_t* name, const AxisRules& x, const AxisRules& y, bool docked = false,
                 int32_t tabStop = 0)
    {
        RCPtr<C> c(new C(parent, name));
        ControlLayout layout;
        layout.position[0] = x.position;
        layout.size[0] = x.size;
        layout.anchor[0].factor = x.anchor;
        layout.position[1] = y.position;
        layout.size[1] = y.size;
        layout.anchor[1].factor = y.anchor;
        layout.xIsDocked = layout.yIsDocked = docked;
        layout.tabStop = tabStop;
        c->SetLayout(layout);
        c->SetNotFocusable(false);
        // A top control is laid out against the window that shows it.
        if (!parent) {
            EXPECT_GE(c->AttachToRootWindow(RCPtr<IRootWindow>(root.Get())), 0);
        }
        EXPECT_GE(c->UpdateLayout(), 0);
        return c;
    }

    static void Initialize(LControl* c) { InitializeTree(c); }

    RCPtr<TestControl> MakeTop(double w = 400, double h = 300)
    {
        top = Add<TestControl>(nullptr, u"top", At(0, w), At(0, h));
        root->top = top.Get();
        return top;
    }

    SolverApplication app;
    ScopedControlApplication scope;
    RCPtr<FakeRootWindow> root;
    RCPtr<TestControl> top;
};

}  // namespace controls_test
