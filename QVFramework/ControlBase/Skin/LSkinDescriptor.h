#pragma once
#include <cstdint>

#include "LLookDescriptor.h"

namespace QV {

// The font and look list of a control, or of a whole skin at its root.
class LSkinDescriptor : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LSkinDescriptor")
public:
    String name;
    RCPtr<LLookList> lookList;
    bool fontInheritsFromParent = false;
    bool fontSizeIsRelative = false;
    String faceName;
    float fontSize = 0.0f;   // points; 0 means no size
    int32_t fontStyle = -1;  // -1 means none
};

}  // namespace QV
