#pragma once
// An array of counted pointers: every non-null slot holds one reference.
// Slots are raw pointers in a framework buffer; shifting them moves bytes
// and never touches the counts, only storing and taking out does.
#include <cstdint>
#include <cstring>
#include <utility>

#include "Buffer.h"
#include "ContainerErrors.h"
#include "IArray.h"
#include "RCPtr.h"

namespace QV {

template <class T, uint32_t G = 1, uint32_t S = 0>
class ConstRCPtrArray : public IArray<ConstRCPtr<T>> {
protected:
    using Ptr = ConstRCPtr<T>;
    static_assert(sizeof(Ptr) == sizeof(T*), "slots are raw pointers");
    using Buffer = BufferT<G * sizeof(T*), S * sizeof(T*)>;
    // The buffer's size in bytes is 32-bit.
    static constexpr uint32_t kMaxSlots = UINT32_MAX / sizeof(T*) < IIterable<Ptr>::kMaxCount
                                              ? UINT32_MAX / sizeof(T*)
                                              : IIterable<Ptr>::kMaxCount;

public:
    // count null elements; capacity reserved when larger.
    explicit ConstRCPtrArray(uint32_t count = 0, uint32_t capacity = 0)
        : mBuffer(count * sizeof(T*), capacity > count ? capacity * sizeof(T*) : 0, true)
    {
    }
    ConstRCPtrArray(const ConstRCPtrArray& other) : IArray<Ptr>()
    {
        (void)this->Append(other);  // other already fits in an array of this kind
    }
    ConstRCPtrArray& operator=(const ConstRCPtrArray& other)
    {
        if (this != &other) (void)this->SetItems(other);  // other already fits
        return *this;
    }
    virtual ~ConstRCPtrArray() { (void)ConstRCPtrArray::SetCount(0); }  // shrinking cannot fail

    uint32_t GetCount() const override { return mBuffer.GetSize() / sizeof(T*); }
    uint32_t GetMaxCount() const override { return IIterable<Ptr>::kMaxCount; }

    // No range test: callers index within GetCount.
    Ptr* GetItemPtr(uint32_t index) override { return Slots() + index; }
    const Ptr* GetItemPtr(uint32_t index) const override { return Slots() + index; }
    Ptr* GetFirst() const override { return GetCount() ? Slots() : nullptr; }
    Ptr* GetEnd() const override { return GetCount() ? Slots() + GetCount() : nullptr; }

    [[nodiscard]] QVResult SetCount(uint32_t count) override
    {
        const uint32_t old = GetCount();
        if (count < old) return RemoveItems(count, old - count);
        if (count == old) return static_cast<QVResult>(count);
        if (count > kMaxSlots) return E_INVALIDARG;
        mBuffer.SetSize(count * static_cast<uint32_t>(sizeof(T*)));
        std::memset(static_cast<void*>(Slots() + old), 0, (count - old) * sizeof(T*));
        return static_cast<QVResult>(count);
    }

    [[nodiscard]] QVResult InsertItems(uint32_t index, uint32_t count) override
    {
        const uint32_t old = GetCount();
        if (count == 0) return static_cast<QVResult>(old);
        if (index > old) return E_INVALIDARG;
        if (static_cast<uint64_t>(old) + count > kMaxSlots) return E_INVALIDARG;
        if (index == old) return SetCount(old + count);
        mBuffer.SetSize((old + count) * static_cast<uint32_t>(sizeof(T*)));
        Ptr* at = Slots() + index;
        std::memmove(static_cast<void*>(at + count), at, (old - index) * sizeof(T*));
        std::memset(static_cast<void*>(at), 0, count * sizeof(T*));
        return static_cast<QVResult>(GetCount());
    }

    // Removes one element at a time; a range past the end removes up to the
    // end and then raises the RemoveItem error.
    [[nodiscard]] QVResult RemoveItems(uint32_t index, uint32_t count) override
    {
        if (count == 0) return static_cast<QVResult>(GetCount());
        for (uint32_t i = 0; i < count; ++i) {
            Ptr removed;
            (void)ConstRCPtrArray::RemoveItem(index, removed);  // a bad index raises
        }
        return static_cast<QVResult>(GetCount());
    }

    // The result is the index.
    [[nodiscard]] QVResult InsertItem(uint32_t index, const Ptr& item) override
    {
        const T* object = item.Get();  // item may live in this array's storage
        const QVResult r = InsertItems(index, 1);
        if (Failed(r)) return r;
        Slots()[index] = object;
        return static_cast<QVResult>(index);
    }

    [[nodiscard]] QVResult RemoveItem(uint32_t index, Ptr& out) override
    {
        if (index >= GetCount()) ThrowConstRCPtrArrayRemoveItem(InstanceName());
        return TakeOut(index, out);
    }

    [[nodiscard]] QVResult RemoveLastItem(Ptr& out) override
    {
        out.Reset();
        const uint32_t count = GetCount();
        if (count == 0) return E_FAIL;
        out = std::move(Slots()[count - 1]);
        return SetCount(count - 1);
    }

    [[nodiscard]] QVResult SwapItems(uint32_t i, uint32_t j) override
    {
        if (i >= GetCount() || j >= GetCount()) return E_INVALIDARG;
        T** raw = reinterpret_cast<T**>(mBuffer.GetData());
        std::swap(raw[i], raw[j]);
        return S_OK;
    }

    const Ptr* GetData() const override { return Slots(); }
    Ptr* GetData() override { return Slots(); }

    static std::string InstanceName() { return ContainerInstanceName<T>("ConstRCPtrArray", G, S); }

protected:
    Ptr* Slots() const { return reinterpret_cast<Ptr*>(mBuffer.GetData()); }

    // Hands the element's reference to out and closes the gap.
    [[nodiscard]] QVResult TakeOut(uint32_t index, Ptr& out)
    {
        out = std::move(Slots()[index]);
        const uint32_t count = GetCount();
        Ptr* at = Slots() + index;
        std::memmove(static_cast<void*>(at), at + 1, (count - index - 1) * sizeof(T*));
        mBuffer.SetSize((count - 1) * static_cast<uint32_t>(sizeof(T*)));
        return static_cast<QVResult>(count - 1);
    }

private:
    Buffer mBuffer;
};

}  // namespace QV
