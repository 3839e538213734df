#pragma once
// A measurement renderer with fixed metrics for tests of fonts, text layout
// and controls: every font has the same metrics, a text is as wide as its
// length times a fixed advance unless a width was set for that exact text.
#include <map>
#include <string>

#include "LFont.h"
#include "LMeasurementRenderer.h"

namespace QV::Testing {

class FakeMeasurementRenderer : public LMeasurementRenderer {
public:
    int32_t lineHeight = 16;
    int32_t ascent = -12;
    int32_t descent = 4;
    float advance = 7.0f;
    // The x of every measured rectangle (text starting right of its origin).
    float originX = 0.0f;
    // Exact widths for chosen texts.
    std::map<std::u16string, float> widths;
    int metricsCalls = 0;
    int measureCalls = 0;

    QVResult GetFontMetrics(ConstRCPtr<LFont>, int32_t& outLineHeight, int32_t& outAscent, int32_t& outDescent) override
    {
        ++metricsCalls;
        outLineHeight = lineHeight;
        outAscent = ascent;
        outDescent = descent;
        return S_OK;
    }

    RectT<float> MeasureText(const String& text, ConstRCPtr<LFont>) override
    {
        ++measureCalls;
        if (text.IsEmpty()) return {};
        const std::u16string key(text.GetChars(), static_cast<size_t>(text.GetLength()));
        const auto it = widths.find(key);
        const float width = it != widths.end() ? it->second : advance * static_cast<float>(key.size());
        return {originX, static_cast<float>(ascent), width, static_cast<float>(lineHeight)};
    }
};

}  // namespace QV::Testing
