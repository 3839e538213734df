#pragma once
// The editing operations of an array of plain values stored contiguously.
// Derived supplies the storage: GetCount(), Elements() (the first element,
// valid for GetCount() elements) and ResizeStorage(count), which keeps the
// elements that remain and answers the new count or a failure.
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "IArray.h"

namespace QV {

template <class Derived, class T>
class ContiguousArray : public IArray<T> {
    static_assert(std::is_trivially_copyable_v<T>, "elements are moved as bytes");

public:
    uint32_t GetMaxCount() const override { return IIterable<T>::kMaxCount; }

    // No range test: callers index within GetCount.
    T* GetItemPtr(uint32_t index) override { return Elements() + index; }
    const T* GetItemPtr(uint32_t index) const override { return Elements() + index; }
    T* GetFirst() const override { return Count() ? Elements() : nullptr; }
    T* GetEnd() const override { return Count() ? Elements() + Count() : nullptr; }

    [[nodiscard]] QVResult SetCount(uint32_t count) override
    {
        const uint32_t old = Count();
        const QVResult r = Self().ResizeStorage(count);
        if (Failed(r)) return r;
        if (count > old) std::memset(static_cast<void*>(Elements() + old), 0, (count - old) * sizeof(T));
        return r;
    }

    [[nodiscard]] QVResult InsertItems(uint32_t index, uint32_t count) override
    {
        const uint32_t old = Count();
        if (count == 0) return static_cast<QVResult>(old);
        if (index > old) return E_INVALIDARG;
        if (static_cast<uint64_t>(old) + count > IIterable<T>::kMaxCount) return E_INVALIDARG;
        const QVResult r = Self().ResizeStorage(old + count);
        if (Failed(r)) return r;
        T* at = Elements() + index;
        std::memmove(static_cast<void*>(at + count), at, (old - index) * sizeof(T));
        std::memset(static_cast<void*>(at), 0, count * sizeof(T));
        return r;
    }

    [[nodiscard]] QVResult RemoveItems(uint32_t index, uint32_t count) override
    {
        const uint32_t old = Count();
        if (count == 0) return static_cast<QVResult>(old);
        if (static_cast<uint64_t>(index) + count > old) return E_INVALIDARG;
        T* at = Elements() + index;
        std::memmove(static_cast<void*>(at), at + count, (old - index - count) * sizeof(T));
        return Self().ResizeStorage(old - count);
    }

    // The result is the new count.
    [[nodiscard]] QVResult InsertItem(uint32_t index, const T& item) override
    {
        const T copy = item;  // item may be an element of this array
        const QVResult r = InsertItems(index, 1);
        if (Failed(r)) return r;
        Elements()[index] = copy;
        return r;
    }

    [[nodiscard]] QVResult RemoveItem(uint32_t index, T& out) override
    {
        if (index >= Count()) return E_INVALIDARG;
        out = Elements()[index];
        return RemoveItems(index, 1);
    }

    [[nodiscard]] QVResult SwapItems(uint32_t i, uint32_t j) override
    {
        if (i >= Count() || j >= Count()) return E_INVALIDARG;
        std::swap(Elements()[i], Elements()[j]);
        return S_OK;
    }

    const T* GetData() const override { return Elements(); }
    T* GetData() override { return Elements(); }

protected:
    ContiguousArray() = default;
    ContiguousArray(const ContiguousArray&) : IArray<T>() {}
    ContiguousArray& operator=(const ContiguousArray&) { return *this; }
    ~ContiguousArray() = default;

private:
    Derived& Self() { return static_cast<Derived&>(*this); }
    const Derived& Self() const { return static_cast<const Derived&>(*this); }
    uint32_t Count() const { return Self().GetCount(); }
    T* Elements() const { return Self().Elements(); }
};

}  // namespace QV
