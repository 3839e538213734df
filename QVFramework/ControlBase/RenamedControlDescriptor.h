#pragma once
// A skin descriptor seen under another name: everything else is the base's,
// except what a subclass overrides (typically the layout, to place a copy of
// a template among its siblings).
#include "IControlDescriptor.h"

namespace QV {

class RenamedControlDescriptor : public IControlDescriptor {
public:
    RenamedControlDescriptor(RCPtr<IControlDescriptor> base, String name)
        : mBase(std::move(base)), mName(std::move(name))
    {}
    String GetName() const override { return mName; }
    String GetClassName() const override { return mBase->GetClassName(); }
    bool HasAttributes() const override { return mBase->HasAttributes(); }
    bool GetAttribute(const String& n, String& v) const override { return mBase->GetAttribute(n, v); }
    ControlLayout GetLayout() const override { return mBase->GetLayout(); }
    uint32_t GetLookCount() const override { return mBase->GetLookCount(); }
    RCPtr<ILook> CreateLook(uint32_t i) const override { return mBase->CreateLook(i); }
    ControlTextProperties GetTextProperties() const override { return mBase->GetTextProperties(); }
    uint32_t GetChildCount() const override { return mBase->GetChildCount(); }
    RCPtr<IControlDescriptor> GetChild(uint32_t i) const override { return mBase->GetChild(i); }

private:
    RCPtr<IControlDescriptor> mBase;
    String mName;
};

}  // namespace QV
