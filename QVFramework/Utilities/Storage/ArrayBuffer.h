#pragma once
// An array of plain values held contiguously in a framework buffer. G is the
// capacity step and S the shrink slack, both in elements. F (always 1) and A
// (the buffer alignment) keep the instances' template spelling. The buffer
// is a member: its GetData and the array's GetData cannot share one name.
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "Allocator.h"
#include "Buffer.h"
#include "IArray.h"

namespace QV {

template <class T, uint32_t G = 1, uint32_t S = 0, int F = 1, int A = 8,
          IAllocator* (*Alloc)() = GetSystemAllocator>
class ArrayBuffer : public IArray<T> {
    static_assert(std::is_trivially_copyable_v<T>, "elements are moved as bytes");
    using Buffer = BufferT<G * sizeof(T), S * sizeof(T), A, char, Alloc>;

public:
    ArrayBuffer() = default;
    ArrayBuffer(const ArrayBuffer& other) : IArray<T>() { this->Append(other); }
    ArrayBuffer& operator=(const ArrayBuffer& other)
    {
        if (this != &other) this->SetItems(other);
        return *this;
    }
    virtual ~ArrayBuffer() = default;

    uint32_t GetCount() const override { return mBuffer.GetSize() / sizeof(T); }
    uint32_t GetMaxCount() const override { return IIterable<T>::kMaxCount; }

    // No range test: callers index within GetCount.
    T* GetItemPtr(uint32_t index) override { return Elements() + index; }
    const T* GetItemPtr(uint32_t index) const override { return Elements() + index; }
    T* GetFirst() const override { return GetCount() ? Elements() : nullptr; }
    T* GetEnd() const override { return GetCount() ? Elements() + GetCount() : nullptr; }

    // Resizes the element storage, keeping the elements that remain.
    virtual QVResult ResizeStorage(uint32_t count)
    {
        if (count > IIterable<T>::kMaxCount || count > UINT32_MAX / sizeof(T)) return E_INVALIDARG;
        mBuffer.SetSize(count * static_cast<uint32_t>(sizeof(T)));
        return static_cast<QVResult>(GetCount());
    }

    QVResult SetCount(uint32_t count) override
    {
        const uint32_t old = GetCount();
        const QVResult r = ResizeStorage(count);
        if (Failed(r)) return r;
        if (count > old) std::memset(static_cast<void*>(Elements() + old), 0, (count - old) * sizeof(T));
        return r;
    }

    QVResult InsertItems(uint32_t index, uint32_t count) override
    {
        const uint32_t old = GetCount();
        if (count == 0) return static_cast<QVResult>(old);
        if (index > old) return E_INVALIDARG;
        if (static_cast<uint64_t>(old) + count > IIterable<T>::kMaxCount) return E_INVALIDARG;
        if (index == old) return SetCount(old + count);
        const QVResult r = ResizeStorage(old + count);
        if (Failed(r)) return r;
        T* at = Elements() + index;
        std::memmove(static_cast<void*>(at + count), at, (old - index) * sizeof(T));
        std::memset(static_cast<void*>(at), 0, count * sizeof(T));
        return static_cast<QVResult>(GetCount());
    }

    QVResult RemoveItems(uint32_t index, uint32_t count) override
    {
        const uint32_t old = GetCount();
        if (count == 0) return static_cast<QVResult>(old);
        if (static_cast<uint64_t>(index) + count > old) return E_INVALIDARG;
        T* at = Elements() + index;
        std::memmove(static_cast<void*>(at), at + count, (old - index - count) * sizeof(T));
        return ResizeStorage(old - count);
    }

    // The result is the new count.
    QVResult InsertItem(uint32_t index, const T& item) override
    {
        const T copy = item;  // item may be an element of this array
        const QVResult r = InsertItems(index, 1);
        if (Failed(r)) return r;
        Elements()[index] = copy;
        return r;
    }

    QVResult RemoveItem(uint32_t index, T& out) override
    {
        if (index >= GetCount()) return E_INVALIDARG;
        out = Elements()[index];
        return RemoveItems(index, 1);
    }

    QVResult SwapItems(uint32_t i, uint32_t j) override
    {
        if (i >= GetCount() || j >= GetCount()) return E_INVALIDARG;
        std::swap(Elements()[i], Elements()[j]);
        return S_OK;
    }

    const T* GetData() const override { return Elements(); }
    T* GetData() override { return Elements(); }

private:
    Buffer mBuffer;

    T* Elements() const { return reinterpret_cast<T*>(mBuffer.GetData()); }
};

}  // namespace QV
