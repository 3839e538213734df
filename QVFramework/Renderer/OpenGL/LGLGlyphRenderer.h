#pragma once
// The glyph processor of the OpenGL renderer: one atlas texture per font,
// every glyph seen kept by character, each drawn as one textured quad; the
// bounds of a text are accumulated for measuring. UI thread only; GL must
// be current when a text is drawn or uploaded.
#include <cstdint>

#include "GlyphAtlas.h"
#include "HashedList.h"
#include "LFont.h"
#include "LGLTexture.h"
#include "LGlyphProcessor.h"
#include "PurgableObjectCache.h"

namespace QV {

class LGLGlyphRenderer : public LGlyphProcessor {
public:
    // A glyph as the atlas keeps it.
    struct SCachedGlyph {
        static constexpr uint16_t kNoCell = 0xFFFF;  // refused by the atlas: drawn as nothing

        uint32_t character = 0;  // 0: the empty record
        int32_t glyphIndex = 0;
        GlyphBox box;
        uint32_t advance = 0;
        uint16_t atlasX = 0;
        uint16_t atlasY = 0;

        static uint32_t GetUniqueID(const SCachedGlyph& glyph) { return glyph.character; }
    };
    struct GlyphKey {
        uint32_t operator()(const SCachedGlyph& glyph) const { return glyph.character; }
    };

    // One font's atlas texture and glyphs.
    class LCachedFont : public LGLTexture {
    public:
        explicit LCachedFont(ConstRCPtr<LFont> font);
        ~LCachedFont() override;

        const ConstRCPtr<LFont>& GetFont() const { return mFont; }
        GlyphAtlas& GetAtlas() { return mAtlas; }
        HashedList<SCachedGlyph, uint32_t, GlyphKey, 8, GetBits<8, 0, uint32_t>>& GetGlyphs() { return mGlyphs; }
        // Uploads the atlas when it changed.
        bool UploadAtlas() { return mAtlas.Upload(*this); }

    private:
        ConstRCPtr<LFont> mFont;
        GlyphAtlas mAtlas;
        HashedList<SCachedGlyph, uint32_t, GlyphKey, 8, GetBits<8, 0, uint32_t>> mGlyphs;
    };

    struct FontIdOf {
        int32_t operator()(const ConstRCPtr<LFont>& font) const { return font->GetUniqueID(); }
    };
    using FontCache = PurgableObjectCache<LCachedFont, ConstRCPtr<LFont>, int32_t, FontIdOf, 8, GetBits<8, 4, int32_t>>;
    static constexpr int32_t kFontCacheSize = 16;

    static RCPtr<LGLGlyphRenderer> Create();

    const char* GetTypeName() const override { return kTypeName; }
    static constexpr const char* kTypeName = "class QV::LGLGlyphRenderer";

    void BeginText(const ConstRCPtr<LFont>& font, uint32_t flags) override;
    void EndText() override;
    uint32_t FindGlyph(GlyphRecord& record) override;
    void ProcessGlyph(GlyphRecord& record) override;
    GlyphBounds GetBounds() const override { return mBounds; }

    // The cached font of the text being processed; null outside a text.
    const RCPtr<LCachedFont>& GetCurrentFont() const { return mCurrentFont; }

private:
    LGLGlyphRenderer() = default;

    void AddGlyphBitmap(const GlyphRecord& record);
    void Draw(const GlyphRecord& record) const;
    void AddBounds(const GlyphRecord& record);

    FontCache mFonts{kFontCacheSize};
    RCPtr<LCachedFont> mCurrentFont;
    SCachedGlyph mCurrentGlyph;
    GlyphBounds mBounds;
    uint32_t mFlags = 0;
};

}  // namespace QV
