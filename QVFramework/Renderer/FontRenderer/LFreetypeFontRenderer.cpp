#include "LFreetypeFontRenderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CACHE_H
#include FT_GLYPH_H

#include <algorithm>

#include "GlyphBitmap.h"
#include "LFont.h"
#include "LFontFileInfo.h"

namespace QV {
namespace {

constexpr FT_UInt kMaxFaces = 8;
constexpr FT_UInt kMaxSizes = 16;
constexpr FT_ULong kMaxBytes = 4194304;
constexpr FT_UInt kDpi = 96;
constexpr float kMonochromeBelow = 8.0f;

// Face ids are file IDs shifted by one, so file ID 0 is not a null id.
FTC_FaceID FaceIdOf(int32_t fileID)
{
    return reinterpret_cast<FTC_FaceID>(static_cast<intptr_t>(fileID) + 1);
}
int32_t FileIdOf(FTC_FaceID id)
{
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(id) - 1);
}

FT_Error RequestFace(FTC_FaceID id, FT_Library library, FT_Pointer, FT_Face* face)
{
    const int32_t fileID = FileIdOf(id);
    const NarrowString path(LFontFileInfo::GetFontFilePath(fileID));
    if (path.IsEmpty()) return FT_Err_Cannot_Open_Resource;
    return FT_New_Face(library, path.GetChars(), LFontFileInfo::GetFontFaceIndex(fileID), face);
}

int16_t ClampToBox(FT_Pos v)
{
    return static_cast<int16_t>(std::clamp<FT_Pos>(v, INT16_MIN, INT16_MAX));
}

struct GlyphHolder {
    FT_Glyph glyph = nullptr;
    ~GlyphHolder()
    {
        if (glyph) FT_Done_Glyph(glyph);
    }
};

// The glyph rendered as coverage, anti-aliased from 8 pt, else monochrome;
// the other mode when the first fails. Null when both fail. The box becomes
// the bitmap's own, as hinting may make it differ from the outline's.
RCPtr<LPixelBuffer<uint8_t>> Rasterise(FT_Glyph glyph, float size, GlyphBox& box)
{
    const FT_Render_Mode first = size < kMonochromeBelow ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL;
    const FT_Render_Mode second = first == FT_RENDER_MODE_MONO ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO;
    for (FT_Render_Mode mode : {first, second}) {
        FT_Glyph copy = glyph;
        if (FT_Glyph_To_Bitmap(&copy, mode, nullptr, 0) != 0) continue;
        const auto* rendered = reinterpret_cast<FT_BitmapGlyph>(copy);
        RCPtr<LPixelBuffer<uint8_t>> buffer = MakeCoverageBuffer(rendered->bitmap);
        if (buffer) {
            box.left = ClampToBox(rendered->left);
            box.top = ClampToBox(-static_cast<FT_Pos>(rendered->top));
            box.right = ClampToBox(box.left + static_cast<FT_Pos>(rendered->bitmap.width));
            box.bottom = ClampToBox(box.top + static_cast<FT_Pos>(rendered->bitmap.rows));
        }
        if (copy != glyph) FT_Done_Glyph(copy);
        if (buffer) return buffer;
    }
    return nullptr;
}

GlyphBox BoxOf(FT_Glyph glyph)
{
    FT_BBox box{};
    FT_Glyph_Get_CBox(glyph, FT_GLYPH_BBOX_PIXELS, &box);
    return {ClampToBox(box.xMin), ClampToBox(-box.yMax), ClampToBox(box.xMax), ClampToBox(-box.yMin)};
}

}  // namespace

struct LFreetypeFontRenderer::FreeType {
    FT_Library library = nullptr;
    FTC_Manager manager = nullptr;

    FreeType()
    {
        if (FT_Init_FreeType(&library) != 0) {
            library = nullptr;
            return;
        }
        if (FTC_Manager_New(library, kMaxFaces, kMaxSizes, kMaxBytes, &RequestFace, nullptr, &manager) != 0)
            manager = nullptr;
    }
    ~FreeType()
    {
        if (manager) FTC_Manager_Done(manager);
        if (library) FT_Done_FreeType(library);
    }
    FreeType(const FreeType&) = delete;
    FreeType& operator=(const FreeType&) = delete;

    // The face at the font's size in points at 96 dpi; null on failure.
    FT_Size LookupSize(const ConstRCPtr<LFont>& font) const
    {
        if (!manager || !font) return nullptr;
        FTC_ScalerRec scaler{};
        scaler.face_id = FaceIdOf(LFontFileInfo::GetFileID(font));
        scaler.width = 0;
        scaler.height = static_cast<FT_UInt>(font->GetSize() * 64);
        scaler.pixel = 0;
        scaler.x_res = kDpi;
        scaler.y_res = kDpi;
        FT_Size size = nullptr;
        return FTC_Manager_LookupSize(manager, &scaler, &size) == 0 ? size : nullptr;
    }
};

LFreetypeFontRenderer::LFreetypeFontRenderer(RCPtr<LGlyphProcessor> drawing, RCPtr<LGlyphProcessor> measuring)
    : LFontRenderer(std::move(drawing), std::move(measuring))
{
    (void)LFontFileInfo::ScanFontFolder();  // an empty catalogue shows when a face is opened
    mFreeType = std::make_unique<FreeType>();
}

LFreetypeFontRenderer::~LFreetypeFontRenderer()
{
    mFreeType.reset();
    LFontFileInfo::Clear();
}

bool LFreetypeFontRenderer::IsReady() const
{
    return mFreeType && mFreeType->manager;
}

QVResult LFreetypeFontRenderer::GetFontMetrics(const ConstRCPtr<LFont>& font, int32_t& lineHeight, int32_t& ascent,
                                               int32_t& descent)
{
    const FT_Size size = mFreeType->LookupSize(font);
    if (!size) return E_FAIL;
    const FT_Size_Metrics& m = size->metrics;
    ascent = -static_cast<int32_t>(m.ascender >> 6);
    descent = -static_cast<int32_t>(m.descender >> 6);
    lineHeight = std::max(static_cast<int32_t>(m.height >> 6), static_cast<int32_t>(96 * font->GetSize() / 72));
    if (lineHeight < descent - ascent) lineHeight = descent - ascent;
    return S_OK;
}

int32_t LFreetypeFontRenderer::RenderText(const String& text, const ConstRCPtr<LFont>& font, LGlyphProcessor& processor,
                                          int32_t callerValue, float widthLimit, uint32_t flags)
{
    const FT_Size size = mFreeType->LookupSize(font);
    if (!size) return 0;
    const FT_Face face = size->face;
    const bool kerning = FT_HAS_KERNING(face);
    processor.BeginText(font, flags);
    GlyphRecord record;
    record.status = callerValue;
    FT_UInt previous = 0;
    const int32_t length = text.GetLength();
    int32_t walked = 0;
    for (; walked < length; ++walked) {
        record.character = text.GetChars()[walked];
        record.glyphIndex = 0;
        record.bitmap.Reset();
        record.box = {};
        record.advance = 0;
        const uint32_t need = processor.FindGlyph(record);
        if (need) record.glyphIndex = static_cast<int32_t>(FT_Get_Char_Index(face, record.character));
        if (record.glyphIndex == 0) continue;

        GlyphHolder glyph;
        if (need) {
            if (FT_Load_Glyph(face, static_cast<FT_UInt>(record.glyphIndex), FT_LOAD_DEFAULT) != 0) continue;
            if (FT_Get_Glyph(face->glyph, &glyph.glyph) != 0) continue;
            record.advance =
                PackAdvance(static_cast<int32_t>(face->glyph->advance.x), static_cast<int32_t>(face->glyph->advance.y));
        }
        if (need & (kNeedBox | kNeedBitmap)) record.box = BoxOf(glyph.glyph);
        if (need & kNeedBitmap) {
            record.bitmap = Rasterise(glyph.glyph, font->GetSize(), record.box);
            if (!record.bitmap) continue;
        }
        if (kerning) {
            if (previous) {
                FT_Vector delta{};
                FT_Get_Kerning(face, previous, static_cast<FT_UInt>(record.glyphIndex), FT_KERNING_DEFAULT, &delta);
                record.penX += static_cast<float>(delta.x) / 64;
            } else if (record.box.left < 0) {
                record.penX -= record.box.left;
            }
        }
        if (widthLimit > 0 && record.penX + record.box.right > widthLimit) break;
        processor.ProcessGlyph(record);
        record.penX += static_cast<float>(AdvanceX(record.advance)) / 64;
        record.penY += static_cast<float>(AdvanceY(record.advance)) / 64;
        record.bitmap.Reset();
        previous = static_cast<FT_UInt>(record.glyphIndex);
    }
    processor.EndText();
    return walked;
}

}  // namespace QV
