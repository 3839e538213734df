#pragma once
// Lets a control tree draw through a renderer: the control's state pushes
// become the renderer's, and looks reach the renderer itself.
#include "IControlRenderer.h"
#include "LRenderer.h"

namespace QV {

class ControlRenderer final : public IControlRenderer {
public:
    explicit ControlRenderer(LRenderer& renderer) : mRenderer(renderer) {}

    LRenderer& GetRenderer() const { return mRenderer; }
    LRenderer* GetTargetRenderer() const override { return &mRenderer; }

    void SaveState() override { mRenderer.SaveState(); }
    void RestoreState() override { mRenderer.RestoreState(); }
    void PushClipRect(const DoubleRect& origin, const DoubleRect& clip, int flag) override
    {
        mRenderer.PushClipRect(origin, clip, nullptr, flag == 1);
    }
    void PushOrigin(double dx, double dy) override { mRenderer.PushOrigin({dx, dy}); }
    DoubleRect GetClipRect() const override { return State() ? State()->clip : DoubleRect{}; }
    void GetOrigin(double& x, double& y) const override
    {
        x = State() ? State()->origin.x : 0.0;
        y = State() ? State()->origin.y : 0.0;
    }
    float GetOpacity() const override { return State() ? State()->opacity : 1.0f; }
    // A text box's caret.
    void DrawLine(const DoublePoint& from, const DoublePoint& to, uint32_t argb, float width) override
    {
        mRenderer.DrawLine({float(from.x), float(from.y)}, {float(to.x), float(to.y)}, LColor::FromARGB(argb), width);
    }
    void SetOpacity(float opacity) override
    {
        if (RenderState* state = State()) state->opacity = opacity;
    }

private:
    RenderState* State() const
    {
        LRenderContextInfo* context = mRenderer.GetCurrentContext();
        return context ? &context->GetState() : nullptr;
    }

    LRenderer& mRenderer;
};

}  // namespace QV
