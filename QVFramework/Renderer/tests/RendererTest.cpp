#include "LRenderer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TestRenderer.h"

namespace QV {
namespace {

template <class F>
std::string ErrorOf(F&& f)
{
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no error";
}

class RendererStateTest : public ::testing::Test {
protected:
    void SetUp() override { renderer->RenderStart(context); }
    void TearDown() override
    {
        if (renderer->GetActiveContextCount() > 0) renderer->RenderFinish(context);
    }
    RenderState& State() { return context->GetState(); }

    RCPtr<TestRenderer> renderer{new TestRenderer()};
    RCPtr<LRenderContextInfo> context{new TestContext()};
};

TEST(RendererFrameTest, FramesNestAndEveryMisuseHasItsExactText)
{
    RCPtr<TestRenderer> renderer(new TestRenderer());
    RCPtr<LRenderContextInfo> a(new TestContext()), b(new TestContext());
    const std::string finishText =
        "Runtime Error : RenderFinish context does not match RenderStart context : QV::LRenderer::RenderFinish : "
        "Renderer/Renderer : Line 250";
    EXPECT_EQ(ErrorOf([&] { renderer->RenderFinish(a); }), finishText);
    EXPECT_EQ(ErrorOf([&] { renderer->RenderStart(nullptr); }),
              "Runtime Error : Render context is NULL : QV::LRenderer::RenderStart : Renderer/Renderer : Line 231");
    EXPECT_EQ(renderer->RenderStart(a), S_OK);
    EXPECT_EQ(ErrorOf([&] { renderer->RenderStart(a); }),
              "Runtime Error : Render context reentered. : QV::LRenderer::RenderStart : Renderer/Renderer : Line 237");
    EXPECT_EQ(renderer->RenderStart(b), S_OK);
    EXPECT_EQ(renderer->GetCurrentContext(), b.Get());
    EXPECT_EQ(ErrorOf([&] { renderer->RenderFinish(a); }), finishText);
    EXPECT_EQ(renderer->RenderFinish(b), S_OK);
    EXPECT_EQ(renderer->GetCurrentContext(), a.Get());
    EXPECT_EQ(renderer->RenderFinish(a), S_OK);
    EXPECT_EQ(renderer->GetCurrentContext(), nullptr);
    EXPECT_EQ(a->GetRefCount(), 1);  // the stack let its references go
}

TEST(RendererFrameTest, FreshStateHasUnitOpacityAndTheUnlimitedClip)
{
    const RenderState s;
    EXPECT_EQ(s.origin, DoublePoint(0, 0));
    EXPECT_EQ(s.clip, DoubleRect(-5000000136282112.0, -5000000136282112.0, 10000000272564224.0, 10000000272564224.0));
    EXPECT_EQ(s.opacity, 1.0f);
    EXPECT_FALSE(s.stencilSet);
    EXPECT_TRUE(s.stencil.IsNull());
}

TEST(RendererFrameTest, StateOperationsWithoutACurrentContextDoNothing)
{
    RCPtr<TestRenderer> renderer(new TestRenderer());
    RCPtr<LStencil> stencil = LStencil::Create({4, 4});
    EXPECT_EQ(renderer->SetViewport({1, 2, 3, 4}), S_OK);
    EXPECT_EQ(renderer->SetStencil(stencil), S_OK);
    renderer->SaveState();
    renderer->PushOrigin({3, 4});
    renderer->PushClipRect({1, 1, 5, 5}, {0, 0, 2, 2}, stencil, true);
    renderer->SetClipRect({0, 0, 1, 1});
    renderer->Translate({5, 5});
    renderer->RestoreState();
    EXPECT_EQ(renderer->GetActiveContextCount(), 0);
    EXPECT_EQ(stencil->GetRefCount(), 1);
}

TEST_F(RendererStateTest, PushOriginMovesOnlyDuringADrawingPassAndRoundsHalfAwayFromZero)
{
    State().clip = {10, 20, 30, 40};
    renderer->PushOrigin({2.5, -2.5});  // no saved state: not a drawing pass
    EXPECT_EQ(State().origin, DoublePoint(0, 0));
    EXPECT_TRUE(context->GetSavedStates().empty());

    renderer->SaveState();
    renderer->PushOrigin({2.5, -2.5});
    EXPECT_EQ(State().origin, DoublePoint(3, -3));
    EXPECT_EQ(State().clip, DoubleRect(7, 23, 30, 40));
    EXPECT_EQ(renderer->translations.back(), DoublePoint(3, -3));
    renderer->RestoreState();
    EXPECT_EQ(State().origin, DoublePoint(0, 0));
    EXPECT_EQ(State().clip, DoubleRect(10, 20, 30, 40));
    EXPECT_EQ(context->GetSavedStates().size(), 1u);
}

TEST_F(RendererStateTest, PushClipRectPlacesTheChildAndClipsIt)
{
    const struct {
        const char* name;
        DoubleRect bounds, clip;
        bool relative;
        DoublePoint origin;
        DoubleRect storedClip;
    } rows[] = {
        // relative: clip meets bounds and the current clip {0,0,100,50}, snaps to whole
        // pixels, then moves into the child
        {"relative", {10.4, 20.6, 30, 40}, {0, 0, 200, 200}, true, {10, 21}, {0, -1, 30, 30}},
        {"relative, clip outside", {10, 10, 30, 40}, {500, 500, 5, 5}, true, {10, 10}, {490, 490, 0, 0}},
        {"absolute, negative extent", {0, 0, 100, 50}, {20, 20, -10, -5}, false, {0, 0}, {10, 15, 10, 5}},
        // absolute: bounds in window coordinates, clip taken as given
        {"absolute", {25, 35, 10, 10}, {1.5, 2.5, 3.2, 4.2}, false, {25, 35}, {1, 2, 3, 4}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        State() = RenderState();
        State().clip = {0, 0, 100, 50};
        renderer->PushClipRect(row.bounds, row.clip, nullptr, row.relative);
        EXPECT_EQ(State().origin, row.origin);
        EXPECT_EQ(State().clip, row.storedClip);
        renderer->RestoreState();
        EXPECT_EQ(State().origin, DoublePoint(0, 0));
        EXPECT_EQ(State().clip, DoubleRect(0, 0, 100, 50));
    }
}

TEST_F(RendererStateTest, AbsoluteBoundsAreTakenFromTheWindowInsideAMovedOrigin)
{
    State().origin = {100, 50};
    renderer->PushClipRect({130, 70, 10, 10}, {0, 0, 10, 10}, nullptr, false);
    EXPECT_EQ(State().origin, DoublePoint(130, 70));
    renderer->RestoreState();
    EXPECT_EQ(State().origin, DoublePoint(100, 50));
}

TEST_F(RendererStateTest, NestedStencilsInstallANewIntersectionAndRestore)
{
    RCPtr<LStencil> outer = LStencil::Create({20, 10});
    RCPtr<LStencil> inner = LStencil::Create({8, 30});
    inner->SetArea({2, 2, 8, 30});
    renderer->PushClipRect({0, 0, 50, 50}, {0, 0, 50, 50}, outer, true);
    EXPECT_TRUE(State().stencilSet);
    EXPECT_EQ(State().stencil.Get(), outer.Get());

    renderer->PushClipRect({0, 0, 50, 50}, {0, 0, 50, 50}, inner, true);
    ASSERT_FALSE(State().stencil.IsNull());
    EXPECT_NE(State().stencil.Get(), inner.Get());
    EXPECT_NE(State().stencil.Get(), outer.Get());
    EXPECT_EQ(State().stencil->GetArea(), LongRect(2, 2, 8, 8));
    EXPECT_EQ(inner->GetArea(), LongRect(2, 2, 8, 30));  // the caller's stencil is untouched
    EXPECT_EQ(outer->GetArea(), LongRect(0, 0, 20, 10));

    renderer->RestoreState();
    EXPECT_EQ(State().stencil.Get(), outer.Get());
    EXPECT_TRUE(State().stencilSet);
    renderer->RestoreState();
    EXPECT_TRUE(State().stencil.IsNull());
    EXPECT_FALSE(State().stencilSet);
    EXPECT_EQ(outer->GetRefCount(), 1);
}

TEST_F(RendererStateTest, RestoreBringsBackOpacityAndRunsTheRendererHooks)
{
    State().opacity = 0.5f;
    renderer->SaveState();
    State().opacity = 0.25f;
    renderer->PushOrigin({4, 6});
    renderer->RestoreState();
    renderer->RestoreState();
    EXPECT_EQ(State().opacity, 0.5f);
    EXPECT_EQ(State().origin, DoublePoint(0, 0));
    EXPECT_EQ(renderer->translations, (std::vector<DoublePoint>{{4, 6}, {-4, -6}, {0, 0}}));
    EXPECT_EQ(renderer->clips.size(), 2u);
    renderer->RestoreState();  // nothing saved: nothing happens
    EXPECT_EQ(renderer->translations.size(), 3u);
}

TEST(StencilTest, CreateAndDuplicateCoverTheWholeSize)
{
    RCPtr<LStencil> s = LStencil::Create({7, 9});
    s->SetArea({1, 1, 2, 2});
    RCPtr<LStencil> d = LStencil::Duplicate(s);
    EXPECT_EQ(d->GetSize(), LongSize(7, 9));
    EXPECT_EQ(d->GetArea(), LongRect(0, 0, 7, 9));
    EXPECT_TRUE(LStencil::Duplicate(nullptr).IsNull());
}

}  // namespace
}  // namespace QV
