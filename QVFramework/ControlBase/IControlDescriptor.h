#pragma once
// What a control reads of the skin descriptor it is built from.
#include <cstdint>
#include <utility>
#include <vector>

#include "ControlLayout.h"
#include "ILook.h"

namespace QV {

struct ControlTextProperties {
    String face;
    float size = 0.0f;
    int32_t style = -1;
    bool followsParent = false;
    bool sizeIsRelative = false;
};

class IControlDescriptor : public virtual LRefCountedObject {
public:
    virtual String GetName() const = 0;
    // The skin class the factory builds it as; empty when it has none.
    virtual String GetClassName() const { return String(); }
    // false when the descriptor has no attribute table.
    virtual bool HasAttributes() const = 0;
    // false when the attribute is absent.
    virtual bool GetAttribute(const String& name, String& value) const = 0;
    virtual ControlLayout GetLayout() const = 0;
    virtual uint32_t GetLookCount() const = 0;
    // Null for an entry without a look descriptor.
    virtual RCPtr<ILook> CreateLook(uint32_t index) const = 0;
    virtual ControlTextProperties GetTextProperties() const = 0;
    virtual uint32_t GetChildCount() const = 0;
    virtual RCPtr<IControlDescriptor> GetChild(uint32_t index) const = 0;
    // Every attribute whose name begins with prefix, by name; 0, or E_NOTIMPL
    // for a descriptor that cannot list its attributes.
    [[nodiscard]] virtual QVResult GetAttributesWithPrefix(const String& prefix,
                                             std::vector<std::pair<String, String>>& out) const
    {
        (void)prefix, (void)out;
        return E_NOTIMPL;
    }
};

class IControlStringTable : public virtual LRefCountedObject {
public:
    virtual bool GetString(const String& name, String& value) const = 0;
    // Every string whose ID begins with prefix, by ID; E_NOTIMPL when the table cannot list them.
    [[nodiscard]] virtual QVResult GetStringsWithPrefix(const String& prefix, std::vector<std::pair<String, String>>& out) const
    {
        (void)prefix, (void)out;
        return E_NOTIMPL;
    }
};

class LControl;

class IControlFactory {
public:
    virtual ~IControlFactory() = default;
    // Builds the control, adds it to the parent and initialises it.
    virtual RCPtr<LControl> CreateControl(const RCPtr<IControlDescriptor>& descriptor, LControl* parent) = 0;
    virtual RCPtr<IControlDescriptor> FindControlDescriptor(const String& name) = 0;
    // Keyed by the parent's class name (or the application's) + "|" + the name.
    virtual RCPtr<IControlStringTable> GetStringTable(LControl* parent, const String& name) = 0;
    // True once, for the top control being built for a window that is
    // attached to it afterwards; that control is not laid out before.
    virtual bool TakePendingAttachment() { return false; }
};

}  // namespace QV
