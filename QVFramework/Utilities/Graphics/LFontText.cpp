#include "LFontText.h"

#include <algorithm>
#include <cmath>

#include "MeasurementRendererSource.h"

namespace QV {
namespace {

constexpr char16_t kLineFeed = u'\n';
constexpr float kBoundsLimit = 8388608.0f;

int32_t LastIndexOf(const String& text, char16_t c, int32_t end)
{
    const char16_t* chars = text.GetChars();
    for (int32_t i = end; i-- > 0;) {
        if (chars[i] == c) return i;
    }
    return -1;
}

}  // namespace

std::vector<String> SplitLines(const String& text)
{
    std::vector<String> lines;
    const char16_t* chars = text.GetChars();
    const int32_t length = text.GetLength();
    int32_t start = 0;
    do {
        int32_t end = start;
        while (end < length && chars[end] != kLineFeed) ++end;
        lines.push_back(text.Mid(start, end - start));
        start = end + 1;
    } while (start < length);
    return lines;
}

LFontText::LFontText(const String& text, RCPtr<LFont> font) : mText(text), mFont(std::move(font)) {}

void LFontText::Invalidate()
{
    mLines.clear();
    mLineRects.clear();
}

void LFontText::SetText(const String& text)
{
    mText = text;
    Invalidate();
}

void LFontText::SetFont(RCPtr<LFont> font)
{
    mFont = std::move(font);
    Invalidate();
}

void LFontText::SetWordWrap(bool wrap)
{
    mWordWrap = wrap;
    Invalidate();
}

void LFontText::SetAlignment(float horizontal, float vertical)
{
    mHorizontalAlignment = horizontal;
    mVerticalAlignment = vertical;
    Invalidate();
}

void LFontText::SetBoxSize(float width, float height)
{
    mBoxWidth = width;
    mBoxHeight = height;
    Invalidate();
}

RectT<float> LFontText::Measure(const String& text) const
{
    RCPtr<LMeasurementRenderer> renderer = GetMeasurementRenderer();
    if (renderer == nullptr) return {};
    return renderer->MeasureText(text, mFont);
}

float LFontText::MeasureWidth(const String& text) const
{
    const RectT<float> r = Measure(text);
    // Text that starts right of its origin counts from the origin.
    return r.x != 0.0f ? r.width + r.x : r.width;
}

int32_t LFontText::LineHeight() const
{
    return mFont != nullptr ? mFont->GetLineHeight() : 0;
}

int32_t LFontText::GetFitCount(const String& text, float width) const
{
    // A text exactly as wide as the box fits: a box sized by GetMaxLineWidth
    // must not wrap its own text.
    if (MeasureWidth(text) <= width) return text.GetLength();
    String current = text;
    int32_t count = 0;
    for (;;) {
        const int32_t length = current.GetLength();
        const int32_t blank = LastIndexOf(current, u' ', length);
        if (blank > 0) {
            const String candidate = current.Left(blank);
            if (MeasureWidth(candidate) <= width) {
                const int32_t hyphen = LastIndexOf(current, u'-', length);
                count = (hyphen > blank && MeasureWidth(current.Left(hyphen + 1)) <= width) ? hyphen + 1 : blank;
                break;
            }
            current = candidate;
            continue;
        }
        const int32_t hyphen = LastIndexOf(current, u'-', length - 1);
        if (hyphen < 0) {
            count = length;  // a single word too wide is kept whole
            break;
        }
        const String through = current.Left(hyphen + 1);
        if (MeasureWidth(through) <= width) {
            count = hyphen + 1;
            break;
        }
        current = through;
    }
    return count < 1 ? current.GetLength() : count;
}

void LFontText::WordWrap(std::vector<String>& lines, float width) const
{
    lines.clear();
    for (const String& paragraph : SplitLines(mText)) {
        String remaining = paragraph;
        int32_t count = GetFitCount(remaining, width);
        String line = remaining.Left(count);
        while (count < remaining.GetLength()) {
            remaining = remaining.Mid(static_cast<uint32_t>(count)).Trim();
            count = 0;
            if (remaining.IsEmpty()) break;
            lines.push_back(line);
            count = GetFitCount(remaining, width);
            line = remaining.Left(count);
        }
        lines.push_back(line);
    }
}

std::vector<String> LFontText::BreakLines(float width) const
{
    if (!mWordWrap) return SplitLines(mText);
    std::vector<String> lines;
    WordWrap(lines, width);
    return lines;
}

void LFontText::LayoutLines()
{
    mLineRects.clear();
    if (mLines.empty()) mLines.emplace_back();
    const float lineHeight = static_cast<float>(LineHeight());
    const float top = (mBoxHeight - lineHeight * static_cast<float>(mLines.size())) * mVerticalAlignment;
    for (size_t i = 0; i < mLines.size(); ++i) {
        const RectT<float> measured = Measure(mLines[i]);
        const float width = measured.x != 0.0f ? measured.width + measured.x : measured.width;
        mLineRects.push_back({(mBoxWidth - width) * mHorizontalAlignment, lineHeight * static_cast<float>(i) + top,
                              width, measured.height});
    }
}

int32_t LFontText::GetLineCount()
{
    if (mLines.empty()) mLines = BreakLines(mBoxWidth);
    if (mLineRects.empty()) LayoutLines();
    return static_cast<int32_t>(mLineRects.size());
}

const RectT<float>& LFontText::GetLine(int32_t index) const
{
    static const RectT<float> kEmpty;
    if (index < 0 || static_cast<size_t>(index) >= mLineRects.size()) return kEmpty;
    return mLineRects[static_cast<size_t>(index)];
}

String LFontText::GetLineText(int32_t index) const
{
    if (index < 0 || static_cast<size_t>(index) >= mLines.size()) return String();
    return mLines[static_cast<size_t>(index)];
}

int32_t LFontText::GetHeightForWidth(float width) const
{
    return static_cast<int32_t>(BreakLines(width).size()) * LineHeight();
}

int32_t LFontText::GetMaxLineWidth() const
{
    float widest = 0.0f;
    for (const String& line : SplitLines(mText)) widest = std::max(widest, MeasureWidth(line));
    return SaturateToLong(std::ceil(static_cast<double>(widest)));
}

PointT<int32_t> LFontText::GetBounds()
{
    GetLineCount();
    RectT<float> bounds = mLineRects.front();
    for (const RectT<float>& r : mLineRects) UnionRect(bounds, r, bounds);
    const float width = std::clamp(bounds.width, -kBoundsLimit, kBoundsLimit);
    const float height = std::clamp(bounds.height, -kBoundsLimit, kBoundsLimit);
    return RoundPoint({width, height});
}

PointT<int32_t> LFontText::RoundPoint(const PointT<float>& p)
{
    return {SaturateToLong(p.x), SaturateToLong(p.y)};
}

}  // namespace QV
