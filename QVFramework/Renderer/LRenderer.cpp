#include "LRenderer.h"

#include <algorithm>
#include <stdexcept>

namespace QV {
namespace {

constexpr const char* kSource = "Renderer/Renderer";

[[noreturn]] void ThrowRuntime(const char* text, const char* method, int line)
{
    throw Exception<std::runtime_error>(FormatExceptionMessage(kRuntimeError, text, method, kSource, line));
}

DoublePoint Rounded(DoublePoint p)
{
    p.RoundInPlace();
    return p;
}

}  // namespace

QVResult LRenderer::SetViewport(const LongRect& viewport)
{
    if (LRenderContextInfo* context = GetCurrentContext()) context->SetViewport(viewport);
    return S_OK;
}

QVResult LRenderer::SetStencil(ConstRCPtr<LStencil> stencil)
{
    if (LRenderContextInfo* context = GetCurrentContext()) context->GetState().stencil = std::move(stencil);
    return S_OK;
}

QVResult LRenderer::RenderStart(RCPtr<LRenderContextInfo> context)
{
    if (!context) ThrowRuntime("Render context is NULL", "QV::LRenderer::RenderStart", 231);
    if (std::find(mActiveContexts.begin(), mActiveContexts.end(), context) != mActiveContexts.end())
        ThrowRuntime("Render context reentered.", "QV::LRenderer::RenderStart", 237);
    mActiveContexts.push_back(std::move(context));
    return S_OK;
}

QVResult LRenderer::RenderFinish(RCPtr<LRenderContextInfo> context)
{
    if (mActiveContexts.empty() || mActiveContexts.back() != context)
        ThrowRuntime("RenderFinish context does not match RenderStart context", "QV::LRenderer::RenderFinish", 250);
    mActiveContexts.pop_back();
    return S_OK;
}

void LRenderer::DrawFilledRect(const LongRect& rect, const LColor& fill, const LColor& border, float borderWidth)
{
    if (fill.alpha > 0.0f) FillRect(rect, fill, true);
    if (border.alpha > 0.0f) DrawRect(rect, border, borderWidth);
}

void LRenderer::PushOrigin(const DoublePoint& offset)
{
    LRenderContextInfo* context = GetCurrentContext();
    // Outside a drawing pass (no saved state) origins are not moved.
    if (!context || context->GetSavedStates().empty()) return;
    SaveState();
    const DoublePoint d = Rounded(offset);
    Translate(d);
    DoubleRect& clip = context->GetState().clip;
    clip.x -= d.x;
    clip.y -= d.y;
}

void LRenderer::PushClipRect(const DoubleRect& bounds, const DoubleRect& clip, ConstRCPtr<LStencil> stencil,
                             bool relative)
{
    LRenderContextInfo* context = GetCurrentContext();
    if (!context) return;
    const DoublePoint& origin = context->GetState().origin;
    const DoublePoint d = Rounded(relative ? bounds.Origin() : DoublePoint(bounds.x - origin.x, bounds.y - origin.y));
    SaveState();
    DoubleRect r = clip;
    if (relative && r.Intersect(bounds)) r.Intersect(context->GetState().clip);
    r.Normalize();
    SetClipRect(r);
    Translate(d);
    RenderState& state = context->GetState();
    if (relative) {
        state.clip.x -= d.x;
        state.clip.y -= d.y;
    }
    if (!stencil) return;
    if (state.stencilSet) {
        // Nested stencils: a new one covering both; the caller's is left alone.
        RCPtr<LStencil> combined = LStencil::Duplicate(stencil);
        LongRect area = stencil->GetArea();
        if (state.stencil) area.Intersect(state.stencil->GetArea());
        combined->SetArea(area);
        (void)SetStencil(combined);  // only records it
    } else {
        (void)SetStencil(stencil);  // only records it
        state.stencilSet = true;
    }
}

void LRenderer::SaveState()
{
    if (LRenderContextInfo* context = GetCurrentContext()) context->GetSavedStates().push_back(context->GetState());
}

void LRenderer::RestoreState()
{
    LRenderContextInfo* context = GetCurrentContext();
    if (!context || context->GetSavedStates().empty()) return;
    const RenderState saved = std::move(context->GetSavedStates().back());
    context->GetSavedStates().pop_back();
    Translate(saved.origin - context->GetState().origin);
    context->GetState().opacity = saved.opacity;
    SetClipRect(saved.clip);
    (void)SetStencil(saved.stencil);  // only records it
    context->GetState().stencilSet = saved.stencilSet;
}

void LRenderer::SetClipRect(const DoubleRect& clip)
{
    if (LRenderContextInfo* context = GetCurrentContext()) context->GetState().clip = clip;
}

void LRenderer::Translate(const DoublePoint& offset)
{
    if (LRenderContextInfo* context = GetCurrentContext()) {
        DoublePoint& origin = context->GetState().origin;
        origin = origin + offset;
    }
}

}  // namespace QV
