#include "LFontRenderer.h"

#include <algorithm>

#include "LFont.h"

namespace QV {

LFontRenderer::LFontRenderer(RCPtr<LGlyphProcessor> drawing, RCPtr<LGlyphProcessor> measuring)
    : mDrawing(std::move(drawing)), mMeasuring(std::move(measuring))
{}

QVResult LFontRenderer::MeasureText(RectT<float>& out, const String& text, const ConstRCPtr<LFont>& font)
{
    out = RectT<float>();
    if (!mMeasuring || !font) return E_FAIL;
    RenderText(text, font, *mMeasuring, 0, 0.0f, kGlyphMeasureFlags);
    const GlyphBounds b = GetProcessedBounds();
    const auto ascent = static_cast<float>(font->GetAscent());
    const auto descent = static_cast<float>(font->GetDescent());
    out.x = b.left;
    out.y = std::min(b.top, ascent);
    out.width = b.right + 1 - b.left;
    out.height = std::max(b.bottom, descent) - out.y;
    return S_OK;
}

GlyphBounds LFontRenderer::GetProcessedBounds() const
{
    return mMeasuring ? mMeasuring->GetBounds() : GlyphBounds{};
}

}  // namespace QV
