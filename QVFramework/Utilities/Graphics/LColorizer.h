#pragma once
// A skin's colouriser: a mode (0 solid, 1 linear and 2 radial gradient), two
// colours, and the name and gradient line the skin gives it.
#include <cstdint>

#include "LColor.h"
#include "RefCountedObject.h"
#include "StringT.h"
#include "TypeName.h"

namespace QV {

// Not used by a solid fill.
struct LGradientLine {
    float startX = 0.0f;
    float startY = 0.0f;
    float endX = 0.0f;
    float endY = 0.0f;
};

class LColorizer : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LColorizer")
public:
    static constexpr int32_t kSolid = 0;
    static constexpr int32_t kLinearGradient = 1;
    static constexpr int32_t kRadialGradient = 2;

    LColorizer(int32_t mode, const LColor& color1, const LColor& color2 = LColor(), const String& name = String(),
               const LGradientLine& line = {})
        : mMode(mode), mColor1(color1), mColor2(color2), mName(name), mLine(line)
    {}

    int32_t GetMode() const { return mMode; }
    const LColor& GetColor1() const { return mColor1; }
    const LColor& GetColor2() const { return mColor2; }
    const String& GetName() const { return mName; }
    const LGradientLine& GetGradientLine() const { return mLine; }
    // Solid when the mode says so or both colours are the same.
    bool IsSolid() const { return mMode == kSolid || mColor1 == mColor2; }

private:
    int32_t mMode;
    LColor mColor1;
    LColor mColor2;
    String mName;
    LGradientLine mLine;
};

}  // namespace QV
