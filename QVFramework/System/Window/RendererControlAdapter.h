#pragma once
// Lets the controls draw through the window's renderer: their drawing-state
// calls go to the renderer and its current render context.
#include "IControlRenderer.h"
#include "LRenderer.h"

namespace QV {

class RendererControlAdapter final : public IControlRenderer {
public:
    explicit RendererControlAdapter(LRenderer& renderer) : mRenderer(renderer) {}

    LRenderer* GetTargetRenderer() const override { return &mRenderer; }
    void SaveState() override { mRenderer.SaveState(); }
    void RestoreState() override { mRenderer.RestoreState(); }
    void PushClipRect(const DoubleRect& origin, const DoubleRect& clip, int flag) override
    {
        mRenderer.PushClipRect(origin, clip, nullptr, flag != 0);
    }
    void PushOrigin(double dx, double dy) override { mRenderer.PushOrigin({dx, dy}); }
    DoubleRect GetClipRect() const override
    {
        const RenderState* state = State();
        return state ? state->clip : DoubleRect{};
    }
    void GetOrigin(double& x, double& y) const override
    {
        const RenderState* state = State();
        x = state ? state->origin.x : 0.0;
        y = state ? state->origin.y : 0.0;
    }
    float GetOpacity() const override
    {
        const RenderState* state = State();
        return state ? state->opacity : 1.0f;
    }
    void SetOpacity(float opacity) override
    {
        if (RenderState* state = State()) state->opacity = opacity;
    }
    // A text box's caret.
    void DrawLine(const DoublePoint& from, const DoublePoint& to, uint32_t argb, float width) override
    {
        mRenderer.DrawLine({float(from.x), float(from.y)}, {float(to.x), float(to.y)}, LColor::FromARGB(argb), width);
    }
    // An overlay's stencil replaces the one in force instead of joining it.
    void ClearStencilInForce()
    {
        if (RenderState* state = State()) state->stencilSet = false;
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
