#include "LFont.h"

#include <vector>

#include "MeasurementRendererSource.h"

namespace QV {
namespace {

int32_t gLastUniqueId = 0;

// Holds one reference to each registered font, counted as the font's
// internal reference so that the font's release hook can unregister it.
class FontRegistry {
public:
    ~FontRegistry()
    {
        // At exit the hook must not run while the list is being destroyed.
        for (const RCPtr<LFont>& font : mFonts) font->RemoveInternalReference();
    }

    std::vector<RCPtr<LFont>>& Fonts() { return mFonts; }

private:
    std::vector<RCPtr<LFont>> mFonts;
};

FontRegistry& Registry()
{
    static FontRegistry registry;
    return registry;
}

bool SameFace(const String& a, const String& b)
{
    return a.GetChars() == b.GetChars() || a.ToLower() == b.ToLower();
}

}  // namespace

LFont::LFont(const String& faceName, float size, int32_t style)
    : mFaceName(faceName), mSize(size), mStyle(style), mUniqueId(++gLastUniqueId)
{}

int32_t LFont::FindFont(const String& faceName, float size, int32_t style)
{
    const std::vector<RCPtr<LFont>>& fonts = Registry().Fonts();
    for (size_t i = fonts.size(); i-- > 0;) {
        const LFont& f = *fonts[i];
        if (f.mSize == size && f.mStyle == style && SameFace(f.mFaceName, faceName)) return static_cast<int32_t>(i);
    }
    return -1;
}

RCPtr<LFont> LFont::GetFont(const String& faceName, float size, int32_t style)
{
    const int32_t index = FindFont(faceName, size, style);
    std::vector<RCPtr<LFont>>& fonts = Registry().Fonts();
    if (index >= 0) return fonts[static_cast<size_t>(index)];
    RCPtr<LFont> font(new LFont(faceName, size, style));
    fonts.push_back(font);
    font->AddInternalReference();
    return font;
}

QVResult LFont::ReleaseInternalReferences()
{
    std::vector<RCPtr<LFont>>& fonts = Registry().Fonts();
    // By identity: an unregistered twin with the same key must not evict
    // the registered font.
    for (auto it = fonts.begin(); it != fonts.end(); ++it) {
        if (it->Get() != this) continue;
        RemoveInternalReference();
        fonts.erase(it);
        return S_OK;
    }
    return E_FAIL;
}

void LFont::FetchMetrics() const
{
    if (mLineHeight >= 0) return;
    RCPtr<LMeasurementRenderer> renderer = GetMeasurementRenderer();
    if (renderer == nullptr) return;
    int32_t lineHeight = -1;
    int32_t ascent = 0;
    int32_t descent = 0;
    // A refusal leaves the line height at -1, which callers read as unmeasured.
    (void)renderer->GetFontMetrics(ConstRCPtr<LFont>(this), lineHeight, ascent, descent);
    mLineHeight = lineHeight;
    mAscent = ascent;
    mDescent = descent;
}

int32_t LFont::GetLineHeight() const
{
    FetchMetrics();
    return mLineHeight;
}

int32_t LFont::GetAscent() const
{
    FetchMetrics();
    return mAscent;
}

int32_t LFont::GetDescent() const
{
    FetchMetrics();
    return mDescent;
}

}  // namespace QV
