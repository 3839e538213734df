#pragma once
// A bar showing a level as its value; drawn by its skin's visual parts.
#include "LControl.h"

namespace QV {

class LLevelMeter : public LControl {
    QV_TYPE_NAME("class QV::LLevelMeter")
public:
    LLevelMeter(LControl* parent, const String& name);
    ~LLevelMeter() override;
};

}  // namespace QV
