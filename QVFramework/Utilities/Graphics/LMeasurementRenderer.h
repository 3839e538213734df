#pragma once
// What text layout and fonts need of a renderer: font metrics and the extent
// of a line of text. Every renderer is one; fonts measure without a window.
#include <cstdint>

#include "RCPtr.h"
#include "RectT.h"
#include "RefCountedObject.h"
#include "Result.h"
#include "StringT.h"

namespace QV {

class LFont;

class LMeasurementRenderer : public virtual LRefCountedObject {
public:
    // Line height, ascent as a negative offset above the baseline, descent;
    // all in pixels.
    [[nodiscard]] virtual QVResult GetFontMetrics(ConstRCPtr<LFont> font, int32_t& lineHeight, int32_t& ascent, int32_t& descent) = 0;
    // {0, ascent, width, line height} relative to the baseline; an empty text
    // gives {0, 0, 0, 0}.
    virtual RectT<float> MeasureText(const String& text, ConstRCPtr<LFont> font) = 0;
};

}  // namespace QV
