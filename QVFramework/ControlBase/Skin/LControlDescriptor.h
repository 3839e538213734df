#pragma once
// One control element of a skin; the descriptors of a skin form a tree under
// a root of class "Application". A control reads it through IControlDescriptor.
#include <vector>

#include "IControlDescriptor.h"
#include "LLayoutDescriptor.h"
#include "LSkinDescriptor.h"
#include "LStringTable.h"

namespace QV {

class LControl;
class LControlDescriptor;

// Builds a control of one skin class under a parent (or none).
using ControlCreateFunction = RCPtr<LControl> (*)(LControl* parent, const RCPtr<IControlDescriptor>& descriptor);

class LControlDescriptor : public IControlDescriptor {
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
    // Where the element stands, for errors found after loading.
    String sourceDocument;
    int32_t sourceLine = 0;

    String GetName() const override { return name; }
    String GetClassName() const override { return className; }
    bool HasAttributes() const override { return static_cast<bool>(createParams); }
    // A creation parameter.
    bool GetAttribute(const String& id, String& value) const override;
    [[nodiscard]] QVResult GetAttributesWithPrefix(const String& prefix,
                                     std::vector<std::pair<String, String>>& out) const override;
    // The layout rules as the control keeps them: the maximum size is its limit.
    ControlLayout GetLayout() const override;
    uint32_t GetLookCount() const override;
    // Null for an empty look slot or one without a client part.
    RCPtr<ILook> CreateLook(uint32_t index) const override;
    ControlTextProperties GetTextProperties() const override;
    uint32_t GetChildCount() const override { return static_cast<uint32_t>(children.size()); }
    RCPtr<IControlDescriptor> GetChild(uint32_t index) const override;
};

}  // namespace QV
