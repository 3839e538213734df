#pragma once
// One control element of a skin; the descriptors of a skin form a tree under
// a root of class "Application".
#include <vector>

#include "LLayoutDescriptor.h"
#include "LSkinDescriptor.h"
#include "LStringTable.h"

namespace QV {

class LControl;
class LControlDescriptor;

// Builds a control of one skin class under a parent (or none).
using ControlCreateFunction = RCPtr<LControl> (*)(LControl* parent, const RCPtr<LControlDescriptor>& descriptor);

class LControlDescriptor : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LControlDescriptor")
public:
    String className;
    String name;
    LControlDescriptor* parent = nullptr;             // the parent owns this one
    std::vector<RCPtr<LControlDescriptor>> children;  // ascending layout order
    RCPtr<LSkinDescriptor> skin;
    RCPtr<LLayoutDescriptor> layout;
    RCPtr<LStringTable> createParams;
    ControlCreateFunction createFunction = nullptr;  // resolved on first creation
};

}  // namespace QV
