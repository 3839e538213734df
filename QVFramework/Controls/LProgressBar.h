#pragma once
// A bar showing progress as its value; drawn by its skin's visual parts.
#include "LControl.h"

namespace QV {

class LProgressBar : public LControl {
    QV_TYPE_NAME("class QV::LProgressBar")
public:
    LProgressBar(LControl* parent, const String& name);
    ~LProgressBar() override;
};

}  // namespace QV
