#pragma once
// An array of plain values held contiguously in a framework buffer. G is the
// capacity step and S the shrink slack, both in elements. F (always 1) and A
// (the buffer alignment) keep the instances' template spelling. The buffer
// is a member: its GetData and the array's GetData cannot share one name.
#include <cstdint>

#include "Allocator.h"
#include "Buffer.h"
#include "ContiguousArray.h"

namespace QV {

template <class T, uint32_t G = 1, uint32_t S = 0, int F = 1, int A = 8,
          IAllocator* (*Alloc)() = GetSystemAllocator>
class ArrayBuffer : public ContiguousArray<ArrayBuffer<T, G, S, F, A, Alloc>, T> {
    using Buffer = BufferT<G * sizeof(T), S * sizeof(T), A, char, Alloc>;
    friend class ContiguousArray<ArrayBuffer, T>;

public:
    ArrayBuffer() = default;
    ArrayBuffer(const ArrayBuffer& other) : ContiguousArray<ArrayBuffer, T>()
    {
        (void)this->Append(other);  // other already fits in an array of this kind
    }
    ArrayBuffer& operator=(const ArrayBuffer& other)
    {
        if (this != &other) (void)this->SetItems(other);  // other already fits
        return *this;
    }
    virtual ~ArrayBuffer() = default;

    uint32_t GetCount() const override { return mBuffer.GetSize() / sizeof(T); }

    // Resizes the element storage, keeping the elements that remain.
    [[nodiscard]] virtual QVResult ResizeStorage(uint32_t count)
    {
        if (count > IIterable<T>::kMaxCount || count > UINT32_MAX / sizeof(T)) return E_INVALIDARG;
        mBuffer.SetSize(count * static_cast<uint32_t>(sizeof(T)));
        return static_cast<QVResult>(GetCount());
    }

private:
    Buffer mBuffer;

    T* Elements() const { return reinterpret_cast<T*>(mBuffer.GetData()); }
};

}  // namespace QV
