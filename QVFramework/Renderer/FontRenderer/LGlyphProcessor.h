#pragma once
// What a font renderer hands each glyph to: the consumer that caches,
// draws or measures glyphs. Per text: BeginText; for each character
// FindGlyph, then ProcessGlyph; EndText; GetBounds when measuring.
#include <cstdint>

#include "LPixelBuffer.h"
#include "RCPtr.h"
#include "RefCountedObject.h"

namespace QV {

class LFont;

// Text flags of BeginText.
inline constexpr uint32_t kGlyphBounds = 2;  // accumulate bounds
inline constexpr uint32_t kGlyphUpload = 4;  // keep the glyph texture up to date
inline constexpr uint32_t kGlyphDraw = 8;
inline constexpr uint32_t kGlyphMeasureFlags = 3;
inline constexpr uint32_t kGlyphDrawFlags = 15;

// What FindGlyph asks the font renderer to produce.
inline constexpr uint32_t kNeedIndex = 1;
inline constexpr uint32_t kNeedBox = 2;
inline constexpr uint32_t kNeedBitmap = 4;
inline constexpr uint32_t kNeedAll = kNeedIndex | kNeedBox | kNeedBitmap;

// The glyph's pixel box relative to the pen, y downwards (top = minus the
// highest y). Wide enough for any glyph size.
struct GlyphBox {
    int16_t left = 0, top = 0, right = 0, bottom = 0;
};

// Horizontal advance in the low 16 bits, vertical in the high, both signed
// 1/64 pixel.
constexpr uint32_t PackAdvance(int32_t x, int32_t y)
{
    return (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) | static_cast<uint16_t>(x);
}
constexpr int32_t AdvanceX(uint32_t advance)
{
    return static_cast<int16_t>(advance & 0xFFFF);
}
constexpr int32_t AdvanceY(uint32_t advance)
{
    return static_cast<int16_t>(advance >> 16);
}

struct GlyphRecord {
    int32_t status = 0;  // the caller's value
    uint32_t character = 0;
    float penX = 0, penY = 0;
    GlyphBox box;
    uint32_t advance = 0;
    int32_t glyphIndex = 0;
    RCPtr<LPixelBuffer<uint8_t>> bitmap;  // null when none was made
};

// Bounds by their edges.
struct GlyphBounds {
    float left = 0, top = 0, right = 0, bottom = 0;
};

class LGlyphProcessor : public virtual LRefCountedObject {
public:
    virtual void BeginText(const ConstRCPtr<LFont>& font, uint32_t flags) = 0;
    virtual void EndText() = 0;
    // The kNeed bits still to produce; 0 when the processor filled index,
    // box and advance from its own cache.
    virtual uint32_t FindGlyph(GlyphRecord& record) = 0;
    virtual void ProcessGlyph(GlyphRecord& record) = 0;
    virtual GlyphBounds GetBounds() const = 0;
};

}  // namespace QV
