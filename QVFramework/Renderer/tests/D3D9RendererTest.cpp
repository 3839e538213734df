#include "LD3D9Renderer.h"

#include <gtest/gtest.h>

#include <functional>

#include "LBitmap.h"
#include "LFont.h"

namespace QV {
namespace {

TEST(D3D9RendererTest, TheSlotAnswersEveryOperationAndDrawsNothing)
{
    RCPtr<LD3D9Renderer> renderer(new LD3D9Renderer());
    RCPtr<LRenderContextInfo> context;
    ASSERT_EQ(renderer->InitRenderContextInfo({0, 0, 10, 10}, nullptr, true, context), S_OK);
    ASSERT_NE(dynamic_cast<LD3D9RenderContextInfo*>(context.Get()), nullptr);
    EXPECT_TRUE(context->IsOffscreen());
    EXPECT_EQ(context->GetMaximumSurfaceSize(), LongSize(0, 0));

    int32_t height = -7, ascent = -7, descent = -7;
    RCPtr<LFont> font(new LFont(u"DejaVu Sans", 10, 0));
    const PolylineT<float> polyline({{0, 0}, {5, 5}});
    const struct {
        const char* name;
        std::function<QVResult()> call;
        QVResult expected;
    } rows[] = {
        {"GetRendererType", [&] { return renderer->GetRendererType(); }, 2},
        {"GetFontMetrics", [&] { return renderer->GetFontMetrics(font, height, ascent, descent); }, S_OK},
        {"RenderStart null", [&] { return renderer->RenderStart(nullptr); }, S_OK},
        {"RenderStart", [&] { return renderer->RenderStart(context); }, S_OK},
        {"RenderFinish unstarted", [&] { return renderer->RenderFinish(context); }, S_OK},
        {"DrawBitmapRect",
         [&] {
             return renderer->DrawBitmapRect(context, {0, 0}, {0, 0, 1, 1});
         },
         E_NOTIMPL},
        {"DrawSurface",
         [&] {
             return renderer->DrawSurface(context, {0, 0});
         },
         E_NOTIMPL},
        {"SetViewport",
         [&] {
             return renderer->SetViewport({1, 1, 1, 1});
         },
         S_OK},
        {"draw and state calls",
         [&] {
             renderer->DrawText(u"x", font, {0, 0}, {1, 1, 1, 1});
             renderer->FillRect({0, 0, 5, 5}, {1, 0, 0, 1}, false);
             renderer->DrawFilledRect({0, 0, 5, 5}, {1, 0, 0, 1}, {0, 0, 1, 1}, 1);
             renderer->DrawLines(polyline, {1, 1, 1, 1}, {0, 0}, {1, 1}, true);
             renderer->DrawBitmap(nullptr, {0, 0, 5, 5}, 7);
             renderer->SaveState();
             renderer->PushOrigin({1, 1});
             renderer->PushClipRect({0, 0, 1, 1}, {0, 0, 1, 1}, nullptr, true);
             renderer->RestoreState();
             return S_OK;
         },
         S_OK},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.call(), row.expected);
    }
    EXPECT_EQ(renderer->MeasureText(u"anything", font), RectT<float>());
    EXPECT_EQ(height, -7);  // metrics are not written
    EXPECT_EQ(renderer->GetActiveContextCount(), 0);
    EXPECT_EQ(context->GetState().origin, DoublePoint(0, 0));
    EXPECT_EQ(context->GetViewport(), LongRect(0, 0, 10, 10));
}

}  // namespace
}  // namespace QV
