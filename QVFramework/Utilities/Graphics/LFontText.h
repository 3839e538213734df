#pragma once
// A text laid out in a box with one font: split into lines at line feeds,
// optionally wrapped to the box width at blanks and hyphens, each line placed
// by alignment factors. Lines and their rectangles are caches, emptied by
// every setter and rebuilt by the next GetLineCount.
#include <cstdint>
#include <vector>

#include "LFont.h"
#include "RectT.h"
#include "RefCountedObject.h"
#include "StringT.h"
#include "TypeName.h"

namespace QV {

class LFontText : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LFontText")
public:
    LFontText(const String& text, RCPtr<LFont> font);

    void SetText(const String& text);
    void SetFont(RCPtr<LFont> font);
    void SetWordWrap(bool wrap);
    // Factors: 0 left/top, 0.5 centre, 1 right/bottom.
    void SetAlignment(float horizontal, float vertical);
    void SetBoxSize(float width, float height);

    const String& GetText() const { return mText; }
    const RCPtr<LFont>& GetFont() const { return mFont; }
    bool GetWordWrap() const { return mWordWrap; }

    // Lays the text out when needed; the number of lines (at least 1).
    int32_t GetLineCount();
    // A line's rectangle in box coordinates; a shared empty one past the end.
    const RectT<float>& GetLine(int32_t index) const;
    // A line's text; empty past the end.
    String GetLineText(int32_t index) const;

    // Lines the text takes at that width, times the font's line height.
    int32_t GetHeightForWidth(float width) const;
    // The widest line (split at line feeds only), rounded up.
    int32_t GetMaxLineWidth() const;
    // {width, height} of the union of the line rectangles.
    PointT<int32_t> GetBounds();

    static PointT<int32_t> RoundPoint(const PointT<float>& p);

private:
    std::vector<String> BreakLines(float width) const;
    void WordWrap(std::vector<String>& lines, float width) const;
    int32_t GetFitCount(const String& text, float width) const;
    RectT<float> Measure(const String& text) const;
    float MeasureWidth(const String& text) const;
    int32_t LineHeight() const;
    void LayoutLines();
    void Invalidate();

    String mText;
    RCPtr<LFont> mFont;
    float mHorizontalAlignment = 0.0f;
    float mVerticalAlignment = 0.0f;
    bool mWordWrap = false;
    float mBoxWidth = 0.0f;
    float mBoxHeight = 0.0f;
    std::vector<String> mLines;
    std::vector<RectT<float>> mLineRects;
};

// The text split at line feeds; a trailing line feed adds no empty line.
std::vector<String> SplitLines(const String& text);

}  // namespace QV
