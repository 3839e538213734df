#pragma once
// A font face found through fontconfig and drawn through cairo, at an em size
// in pixels, with the design metrics read from the face itself. Faces are
// matched once per (family, bold, italic) and shared; the rendering options
// (grey antialiasing, no hinting, unhinted metrics) are fixed so a text
// measures the same every time and on every machine with the same fonts.
#include <cstdint>
#include <memory>
#include <string>

typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace Platform::Gdip {

// In font design units, as the face declares them.
struct FontDesignMetrics {
    int32_t emHeight = 0;
    int32_t cellAscent = 0;
    int32_t cellDescent = 0;
    int32_t lineSpacing = 0;
    int32_t underlinePosition = 0;  // below the baseline when negative
    int32_t underlineThickness = 0;
    int32_t strikeoutPosition = 0;  // above the baseline
    int32_t strikeoutSize = 0;
};

class FontFace;

class Font {
public:
    // family: UTF-8 face name; style: FontStyle bits.
    Font(const std::string& family, float emSizePixels, int32_t style);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // False when no face could be made; such a font draws and measures nothing.
    bool IsValid() const { return mScaled != nullptr; }
    float GetEmSize() const { return mEmSize; }
    int32_t GetStyle() const { return mStyle; }
    const FontDesignMetrics& GetDesignMetrics() const;
    // Whether the face is drawn emboldened by the font engine (a bold asked
    // of a family without one): its ink may then reach beyond its box.
    bool IsEmboldened() const;

    // Design units to pixels at this size.
    float ToPixels(int32_t designUnits) const;
    // The line spacing in pixels.
    float GetHeight() const { return ToPixels(GetDesignMetrics().lineSpacing); }
    // The advance of a UTF-8 text, trailing spaces included.
    float MeasureString(const std::string& utf8) const;

    cairo_scaled_font_t* GetScaledFont() const { return mScaled; }

private:
    std::shared_ptr<const FontFace> mFace;
    cairo_scaled_font_t* mScaled = nullptr;
    float mEmSize;
    int32_t mStyle;
};

}  // namespace Platform::Gdip
