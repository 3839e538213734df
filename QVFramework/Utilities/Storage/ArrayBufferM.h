#pragma once
// An array of plain values that keeps up to M elements inside the object and
// moves them to a heap buffer only when it grows beyond that, so small
// contents (a short MIDI message) cost no allocation.
#include <cstdint>
#include <cstring>

#include "ArrayBuffer.h"
#include "ContiguousArray.h"

namespace QV {

template <class T, uint32_t M = 4>
class ArrayBufferM : public ContiguousArray<ArrayBufferM<T, M>, T> {
    static_assert(M > 0, "at least one element is kept inside");
    friend class ContiguousArray<ArrayBufferM, T>;

public:
    ArrayBufferM() = default;
    ArrayBufferM(const ArrayBufferM& other) : ContiguousArray<ArrayBufferM, T>()
    {
        (void)this->Append(other);  // other already fits in an array of this kind
    }
    ArrayBufferM& operator=(const ArrayBufferM& other)
    {
        if (this != &other) (void)this->SetItems(other);  // other already fits
        return *this;
    }
    virtual ~ArrayBufferM() = default;

    uint32_t GetCount() const override { return mCount; }
    // Whether the elements live inside the object.
    bool IsInline() const { return !mOnHeap; }

private:
    T* Elements() const { return mOnHeap ? const_cast<T*>(mHeap.GetData()) : const_cast<T*>(mInline); }

    // Keeps the first min(old, count) elements; new ones are left as they are.
    [[nodiscard]] QVResult ResizeStorage(uint32_t count)
    {
        if (count > IIterable<T>::kMaxCount) return E_INVALIDARG;
        if (count <= M) {
            if (mOnHeap) {
                std::memcpy(static_cast<void*>(mInline), mHeap.GetData(), count * sizeof(T));
                (void)mHeap.SetCount(0);  // shrinking cannot fail
                mOnHeap = false;
            }
        } else {
            const QVResult r = mHeap.ResizeStorage(count);
            if (Failed(r)) return r;
            if (!mOnHeap) {
                std::memcpy(static_cast<void*>(mHeap.GetData()), mInline, mCount * sizeof(T));
                mOnHeap = true;
            }
        }
        mCount = count;
        return static_cast<QVResult>(count);
    }

    T mInline[M] = {};
    ArrayBuffer<T> mHeap;
    uint32_t mCount = 0;
    bool mOnHeap = false;
};

}  // namespace QV
