#pragma once
// Text rasterised with FreeType: each character becomes a glyph record
// (index, advance, box, coverage bitmap) for a glyph processor, with glyph
// work done only for what the processor still lacks. Faces are found
// through the font-file catalogue, sized in points at 96 dpi. UI thread only.
#include <memory>

#include "LFontRenderer.h"

namespace QV {

class LFreetypeFontRenderer : public LFontRenderer {
public:
    // Scans the font folders and starts FreeType; a failure leaves every
    // lookup failing.
    LFreetypeFontRenderer(RCPtr<LGlyphProcessor> drawing, RCPtr<LGlyphProcessor> measuring);
    ~LFreetypeFontRenderer() override;

    const char* GetTypeName() const override { return kTypeName; }
    static constexpr const char* kTypeName = "class QV::LFreetypeFontRenderer";

    [[nodiscard]] QVResult GetFontMetrics(const ConstRCPtr<LFont>& font, int32_t& lineHeight, int32_t& ascent,
                            int32_t& descent) override;
    int32_t RenderText(const String& text, const ConstRCPtr<LFont>& font, LGlyphProcessor& processor,
                       int32_t callerValue, float widthLimit, uint32_t flags) override;

    bool IsReady() const;

private:
    struct FreeType;
    std::unique_ptr<FreeType> mFreeType;
};

}  // namespace QV
