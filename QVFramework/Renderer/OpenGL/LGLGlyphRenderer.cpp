#include "LGLGlyphRenderer.h"

#include "RectT.h"

namespace QV {

LGLGlyphRenderer::LCachedFont::LCachedFont(ConstRCPtr<LFont> font)
    : mFont(std::move(font)), mAtlas(static_cast<int32_t>(mFont->GetSize()))
{}

LGLGlyphRenderer::LCachedFont::~LCachedFont()
{
    mGlyphs.RemoveAll();
}

RCPtr<LGLGlyphRenderer> LGLGlyphRenderer::Create()
{
    return RCPtr<LGLGlyphRenderer>(new LGLGlyphRenderer);
}

void LGLGlyphRenderer::BeginText(const ConstRCPtr<LFont>& font, uint32_t flags)
{
    mFlags = flags;
    mBounds = {};
    if (!font) return;
    RCPtr<LCachedFont>& entry = mFonts.GetEntry(font->GetUniqueID(), false);
    if (!entry) entry = RCPtr<LCachedFont>(new LCachedFont(font));
    mCurrentFont = entry;
    if (mFlags & kGlyphUpload) mCurrentFont->UploadAtlas();
}

void LGLGlyphRenderer::EndText()
{
    mCurrentFont = nullptr;
}

uint32_t LGLGlyphRenderer::FindGlyph(GlyphRecord& record)
{
    if (!mCurrentFont) return 0;
    const SCachedGlyph* found = mCurrentFont->GetGlyphs().Find(record.character, nullptr);
    mCurrentGlyph = found ? *found : SCachedGlyph{};
    if (!found) return kNeedAll;
    record.box = found->box;
    record.advance = found->advance;
    record.glyphIndex = found->glyphIndex;
    return 0;
}

void LGLGlyphRenderer::ProcessGlyph(GlyphRecord& record)
{
    if (!mCurrentFont) return;
    if (mCurrentGlyph.character == 0) AddGlyphBitmap(record);
    if (!(mFlags & (kGlyphBounds | kGlyphDraw))) return;
    if (mFlags & kGlyphDraw) Draw(record);
    if (mFlags & kGlyphBounds) AddBounds(record);
}

void LGLGlyphRenderer::AddGlyphBitmap(const GlyphRecord& record)
{
    mCurrentGlyph.character = record.character;
    mCurrentGlyph.box = record.box;
    mCurrentGlyph.advance = record.advance;
    mCurrentGlyph.glyphIndex = record.glyphIndex;
    int32_t x = 0, y = 0;
    if (mCurrentFont->GetAtlas().AddGlyph(record.bitmap.Get(), x, y)) {
        mCurrentGlyph.atlasX = static_cast<uint16_t>(x);
        mCurrentGlyph.atlasY = static_cast<uint16_t>(y);
    } else {
        mCurrentGlyph.atlasX = mCurrentGlyph.atlasY = SCachedGlyph::kNoCell;
    }
    if (mFlags & kGlyphUpload) mCurrentFont->UploadAtlas();
    mCurrentFont->GetGlyphs().Add(mCurrentGlyph);
}

void LGLGlyphRenderer::Draw(const GlyphRecord& record) const
{
    if (mCurrentGlyph.atlasX == SCachedGlyph::kNoCell) return;
    const GlyphBox& box = mCurrentGlyph.box;
    const float atlasX = mCurrentGlyph.atlasX, atlasY = mCurrentGlyph.atlasY;
    const GLEdges source{atlasX, atlasY, atlasX + static_cast<float>(box.right - box.left),
                         atlasY + static_cast<float>(box.bottom - box.top)};
    // The baseline lies one ascender (stored negative) below the text origin.
    const float down = record.penY - static_cast<float>(mCurrentFont->GetFont()->GetAscent());
    const GLEdges destination{box.left + record.penX, box.top + down, box.right + record.penX, box.bottom + down};
    mCurrentFont->LGLTexture::Draw(source, destination);
}

void LGLGlyphRenderer::AddBounds(const GlyphRecord& record)
{
    const GlyphBox& box = mCurrentGlyph.box;
    const RectT<float> glyph(record.penX, record.penY + box.top,
                             static_cast<float>(AdvanceX(mCurrentGlyph.advance) >> 6),
                             static_cast<float>(box.bottom - box.top));
    const RectT<float> bounds(mBounds.left, mBounds.top, mBounds.right - mBounds.left, mBounds.bottom - mBounds.top);
    RectT<float> united;
    UnionRect(bounds, glyph, united);
    mBounds = {united.x, united.y, united.Right(), united.Bottom()};
}

}  // namespace QV
