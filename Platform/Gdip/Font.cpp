#include "Font.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <utility>

#include "GdipTypes.h"

namespace Platform::Gdip {

class FontFace {
public:
    explicit FontFace(cairo_font_face_t* face) : mFace(face) {}
    ~FontFace() { cairo_font_face_destroy(mFace); }
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    cairo_font_face_t* Get() const { return mFace; }
    FontDesignMetrics metrics;
    bool emboldened = false;

private:
    cairo_font_face_t* mFace;
};

namespace {

cairo_font_options_t* FixedOptions()
{
    static cairo_font_options_t* options = [] {
        cairo_font_options_t* o = cairo_font_options_create();
        cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_subpixel_order(o, CAIRO_SUBPIXEL_ORDER_DEFAULT);
        return o;
    }();
    return options;
}

cairo_scaled_font_t* MakeScaled(cairo_font_face_t* face, double emSize)
{
    cairo_matrix_t fontMatrix, identity;
    cairo_matrix_init_scale(&fontMatrix, emSize, emSize);
    cairo_matrix_init_identity(&identity);
    cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &fontMatrix, &identity, FixedOptions());
    if (cairo_scaled_font_status(scaled) != CAIRO_STATUS_SUCCESS) {
        cairo_scaled_font_destroy(scaled);
        return nullptr;
    }
    return scaled;
}

FontDesignMetrics ReadMetrics(FT_Face face)
{
    FontDesignMetrics m;
    m.emHeight = face->units_per_EM;
    m.cellAscent = face->ascender;
    m.cellDescent = -face->descender;
    m.underlinePosition = face->underline_position;
    m.underlineThickness = face->underline_thickness;
    m.strikeoutPosition = m.emHeight / 4;
    m.strikeoutSize = m.underlineThickness;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF) {
        m.cellAscent = os2->usWinAscent;
        m.cellDescent = os2->usWinDescent;
        m.strikeoutPosition = os2->yStrikeoutPosition;
        m.strikeoutSize = os2->yStrikeoutSize;
    }
    m.lineSpacing = std::max<int32_t>(m.cellAscent + m.cellDescent, face->height);
    if (m.emHeight <= 0) m.emHeight = 2048;
    return m;
}

std::shared_ptr<const FontFace> MatchFace(const std::string& family, bool bold, bool italic)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return nullptr;
    cairo_font_face_t* cface = cairo_ft_font_face_create_for_pattern(match);
    FcBool embolden = FcFalse;
    const bool emboldened = FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch && embolden;
    FcPatternDestroy(match);
    auto face = std::make_shared<FontFace>(cface);
    face->emboldened = emboldened;
    if (cairo_font_face_status(cface) != CAIRO_STATUS_SUCCESS) return nullptr;
    cairo_scaled_font_t* probe = MakeScaled(cface, 16.0);
    if (!probe) return nullptr;
    if (FT_Face ft = cairo_ft_scaled_font_lock_face(probe)) {
        face->metrics = ReadMetrics(ft);
        cairo_ft_scaled_font_unlock_face(probe);
    }
    cairo_scaled_font_destroy(probe);
    if (face->metrics.emHeight == 0) return nullptr;
    return face;
}

// Faces are matched once per family and weight/slant for the whole process:
// matching through fontconfig costs far more than drawing a line of text.
std::shared_ptr<const FontFace> FindFace(const std::string& family, int32_t style)
{
    static std::mutex mutex;
    static std::map<std::pair<std::string, int32_t>, std::shared_ptr<const FontFace>> faces;
    std::string key = family;
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    const int32_t weightSlant = style & (FontStyleBold | FontStyleItalic);
    std::lock_guard<std::mutex> lock(mutex);
    auto [it, inserted] = faces.try_emplace({key, weightSlant});
    if (inserted) it->second = MatchFace(family, style & FontStyleBold, style & FontStyleItalic);
    return it->second;
}

}  // namespace

Font::Font(const std::string& family, float emSizePixels, int32_t style)
    : mFace(FindFace(family, style)), mEmSize(emSizePixels), mStyle(style)
{
    if (mFace && emSizePixels > 0) mScaled = MakeScaled(mFace->Get(), emSizePixels);
}

Font::~Font()
{
    cairo_scaled_font_destroy(mScaled);
}

const FontDesignMetrics& Font::GetDesignMetrics() const
{
    static const FontDesignMetrics none{};
    return mFace ? mFace->metrics : none;
}

bool Font::IsEmboldened() const
{
    return mFace && mFace->emboldened;
}

float Font::ToPixels(int32_t designUnits) const
{
    const int32_t em = GetDesignMetrics().emHeight;
    return em > 0 ? static_cast<float>(designUnits) * mEmSize / static_cast<float>(em) : 0.0f;
}

float Font::MeasureString(const std::string& utf8) const
{
    if (!mScaled || utf8.empty()) return 0;
    cairo_text_extents_t extents;
    cairo_scaled_font_text_extents(mScaled, utf8.c_str(), &extents);
    return static_cast<float>(extents.x_advance);
}

}  // namespace Platform::Gdip
