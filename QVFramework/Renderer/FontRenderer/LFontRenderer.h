#pragma once
// Turns text in a font into glyphs for a glyph processor: one processor
// draws, the other measures.
#include <cstdint>

#include "LGlyphProcessor.h"
#include "RCPtr.h"
#include "RectT.h"
#include "RefCountedObject.h"
#include "StringT.h"

namespace QV {

class LFont;

class LFontRenderer : public virtual LRefCountedObject {
public:
    LFontRenderer(RCPtr<LGlyphProcessor> drawing, RCPtr<LGlyphProcessor> measuring);

    // {left, top (at most the ascent), width, height (down to at least the
    // descent)} of the text relative to its baseline.
    [[nodiscard]] virtual QVResult MeasureText(RectT<float>& out, const String& text, const ConstRCPtr<LFont>& font);
    [[nodiscard]] virtual QVResult GetFontMetrics(const ConstRCPtr<LFont>& font, int32_t& lineHeight, int32_t& ascent,
                                    int32_t& descent) = 0;
    // Walks the text glyph by glyph through processor; answers how many
    // characters were walked. A positive width limit stops the walk before
    // the first glyph whose right edge would pass it.
    virtual int32_t RenderText(const String& text, const ConstRCPtr<LFont>& font, LGlyphProcessor& processor,
                               int32_t callerValue, float widthLimit, uint32_t flags) = 0;
    // The measuring processor's bounds; zeros without one.
    virtual GlyphBounds GetProcessedBounds() const;

    const RCPtr<LGlyphProcessor>& GetDrawingProcessor() const { return mDrawing; }
    const RCPtr<LGlyphProcessor>& GetMeasuringProcessor() const { return mMeasuring; }

private:
    RCPtr<LGlyphProcessor> mDrawing;
    RCPtr<LGlyphProcessor> mMeasuring;
};

}  // namespace QV
