#pragma once
// A rotary control; for now it takes its value as a slider does.
#include "LSlider.h"

namespace QV {

class LKnob : public LSlider {
    QV_TYPE_NAME("class QV::LKnob")
public:
    LKnob(LControl* parent, const String& name);
    ~LKnob() override;
};

}  // namespace QV
