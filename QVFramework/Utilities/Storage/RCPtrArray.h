#pragma once
// A ConstRCPtrArray that also gives write access to its elements.
// Element addresses come back as RCPtr<T>* (the same slots).
#include <cstdint>
#include <utility>

#include "ConstRCPtrArray.h"

namespace QV {

template <class T, uint32_t G = 1, uint32_t S = 0>
class RCPtrArray : public ConstRCPtrArray<T, G, S> {
    using Base = ConstRCPtrArray<T, G, S>;
    static_assert(sizeof(RCPtr<T>) == sizeof(T*), "slots are raw pointers");

public:
    using Base::Base;
    using Base::RemoveItem;
    using Base::RemoveLastItem;

    RCPtr<T>* GetItemPtr(uint32_t index) override { return Writable(Base::GetItemPtr(index)); }
    const RCPtr<T>* GetItemPtr(uint32_t index) const override
    {
        return Writable(const_cast<ConstRCPtr<T>*>(Base::GetItemPtr(index)));
    }
    RCPtr<T>* GetFirst() const override { return Writable(Base::GetFirst()); }
    RCPtr<T>* GetEnd() const override { return Writable(Base::GetEnd()); }
    const RCPtr<T>* GetData() const override { return Writable(this->Slots()); }
    RCPtr<T>* GetData() override { return Writable(this->Slots()); }

    [[nodiscard]] QVResult RemoveItem(uint32_t index, RCPtr<T>& out)
    {
        if (index >= this->GetCount()) ThrowRCPtrArrayRemoveItem(InstanceName());
        return this->TakeOut(index, out);
    }

    [[nodiscard]] QVResult RemoveLastItem(RCPtr<T>& out) { return Base::RemoveLastItem(out); }

    static std::string InstanceName() { return ContainerInstanceName<T>("RCPtrArray", G, S); }

private:
    static RCPtr<T>* Writable(ConstRCPtr<T>* slot) { return reinterpret_cast<RCPtr<T>*>(slot); }
};

}  // namespace QV
