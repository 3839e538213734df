#pragma once
// A drop target for files; the program takes no dropped files, so it is a plain control.
#include "LControl.h"

namespace QV {

class LFileDropper : public LControl {
    QV_TYPE_NAME("class QV::LFileDropper")
public:
    LFileDropper(LControl* parent, const String& name);
    ~LFileDropper() override;
};

}  // namespace QV
