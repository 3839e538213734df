#pragma once
// An array of plain values that keeps up to M elements inside the object and
// moves them to a heap buffer only when it grows beyond that, so small
// contents (a short MIDI message) cost no allocation.
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "ArrayBuffer.h"
#include "IArray.h"

namespace QV {

template <class T, uint32_t M = 4>
class ArrayBufferM : public IArray<T> {
    static_assert(std::is_trivially_copyable_v<T>, "elements are moved as bytes");
    static_assert(M > 0, "at least one element is kept inside");

public:
    ArrayBufferM() = default;
    ArrayBufferM(const ArrayBufferM& other) : IArray<T>() { this->Append(other); }
    ArrayBufferM& operator=(const ArrayBufferM& other)
    {
        if (this != &other) this->SetItems(other);
        return *this;
    }
    virtual ~ArrayBufferM() = default;

    uint32_t GetCount() const override { return mCount; }
    uint32_t GetMaxCount() const override { return IIterable<T>::kMaxCount; }
    // Whether the elements live inside the object.
    bool IsInline() const { return !mOnHeap; }

    // No range test: callers index within GetCount.
    T* GetItemPtr(uint32_t index) override { return Elements() + index; }
    const T* GetItemPtr(uint32_t index) const override { return Elements() + index; }
    T* GetFirst() const override { return mCount ? Elements() : nullptr; }
    T* GetEnd() const override { return mCount ? Elements() + mCount : nullptr; }

    QVResult SetCount(uint32_t count) override
    {
        const uint32_t old = mCount;
        const QVResult r = Resize(count);
        if (Failed(r)) return r;
        if (count > old) std::memset(static_cast<void*>(Elements() + old), 0, (count - old) * sizeof(T));
        return r;
    }

    QVResult InsertItems(uint32_t index, uint32_t count) override
    {
        const uint32_t old = mCount;
        if (count == 0) return static_cast<QVResult>(old);
        if (index > old) return E_INVALIDARG;
        if (static_cast<uint64_t>(old) + count > IIterable<T>::kMaxCount) return E_INVALIDARG;
        const QVResult r = Resize(old + count);
        if (Failed(r)) return r;
        T* at = Elements() + index;
        std::memmove(static_cast<void*>(at + count), at, (old - index) * sizeof(T));
        std::memset(static_cast<void*>(at), 0, count * sizeof(T));
        return r;
    }

    QVResult RemoveItems(uint32_t index, uint32_t count) override
    {
        const uint32_t old = mCount;
        if (count == 0) return static_cast<QVResult>(old);
        if (static_cast<uint64_t>(index) + count > old) return E_INVALIDARG;
        T* at = Elements() + index;
        std::memmove(static_cast<void*>(at), at + count, (old - index - count) * sizeof(T));
        return Resize(old - count);
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
        if (index >= mCount) return E_INVALIDARG;
        out = Elements()[index];
        return RemoveItems(index, 1);
    }

    QVResult SwapItems(uint32_t i, uint32_t j) override
    {
        if (i >= mCount || j >= mCount) return E_INVALIDARG;
        std::swap(Elements()[i], Elements()[j]);
        return S_OK;
    }

    const T* GetData() const override { return Elements(); }
    T* GetData() override { return Elements(); }

private:
    T* Elements() const { return mOnHeap ? const_cast<T*>(mHeap.GetData()) : const_cast<T*>(mInline); }

    // Keeps the first min(old, count) elements; new ones are left as they are.
    QVResult Resize(uint32_t count)
    {
        if (count > IIterable<T>::kMaxCount) return E_INVALIDARG;
        if (count <= M) {
            if (mOnHeap) {
                std::memcpy(static_cast<void*>(mInline), mHeap.GetData(), count * sizeof(T));
                mHeap.SetCount(0);
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
