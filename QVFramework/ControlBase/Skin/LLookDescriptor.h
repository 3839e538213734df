#pragma once
#include <cstdint>
#include <vector>

#include "LDockedPart.h"
#include "LRCPtrArray.h"

namespace QV {

// How a control looks in one state: a client part, docked non-client parts
// and where its text goes.
class LLookDescriptor : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LLookDescriptor")
public:
    String name;
    RCPtr<LDockedPart> clientPart;
    std::vector<RCPtr<LDockedPart>> nonClientParts;  // document order
    bool hasTextProperties = false;
    float textLeftFactor = 0.0f;
    int32_t textLeftOffset = 0;
    float textRightFactor = 0.0f;
    int32_t textRightOffset = 0;
    float horizontalAlignment = 0.0f;  // 0 left, 0.5 centre, 1 right
    float textTopFactor = 0.0f;
    int32_t textTopOffset = 0;
    float textBottomFactor = 0.0f;
    int32_t textBottomOffset = 0;
    float verticalAlignment = 0.0f;
    RCPtr<LVisualPartDescriptor> textForegroundPart;
};

// Numbered looks from which a control chooses by its state; a slot may be empty.
using LLookList = LRCPtrArray<LLookDescriptor>;

}  // namespace QV
