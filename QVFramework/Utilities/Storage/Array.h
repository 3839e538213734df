#pragma once
// An array of values in a standard growable vector.
#include <cstdint>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

#include "IArray.h"

namespace QV {

template <class T>
class Array : public IArray<T> {
    static_assert(!std::is_same_v<T, bool>, "vector<bool> has no element storage");

public:
    Array() = default;
    Array(const Array&) = default;
    Array& operator=(const Array&) = default;
    virtual ~Array() = default;

    uint32_t GetCount() const override { return static_cast<uint32_t>(mItems.size()); }
    uint32_t GetMaxCount() const override { return IIterable<T>::kMaxCount; }

    T* GetItemPtr(uint32_t index) override { return &mItems.at(Checked(index)); }
    const T* GetItemPtr(uint32_t index) const override { return &mItems.at(Checked(index)); }
    T* GetFirst() const override { return mItems.empty() ? nullptr : const_cast<T*>(mItems.data()); }
    T* GetEnd() const override { return mItems.empty() ? nullptr : GetFirst() + mItems.size(); }

    [[nodiscard]] QVResult SetCount(uint32_t count) override
    {
        if (count > IIterable<T>::kMaxCount) return E_INVALIDARG;
        mItems.resize(count);
        return static_cast<QVResult>(count);
    }

    [[nodiscard]] QVResult InsertItems(uint32_t index, uint32_t count) override
    {
        if (count == 0) return static_cast<QVResult>(GetCount());
        if (index > GetCount()) return E_INVALIDARG;
        if (static_cast<uint64_t>(GetCount()) + count > IIterable<T>::kMaxCount) return E_INVALIDARG;
        mItems.insert(mItems.begin() + index, count, T());
        return static_cast<QVResult>(GetCount());
    }

    [[nodiscard]] QVResult RemoveItems(uint32_t index, uint32_t count) override
    {
        if (index >= GetCount() || static_cast<uint64_t>(index) + count > GetCount())
            return E_INVALIDARG;
        mItems.erase(mItems.begin() + index, mItems.begin() + index + count);
        return static_cast<QVResult>(GetCount());
    }

    // The result is the index of the new element.
    [[nodiscard]] QVResult InsertItem(uint32_t index, const T& item) override
    {
        if (index > GetCount()) return E_INVALIDARG;
        T copy(item);  // item may be an element of this array
        const QVResult r = InsertItems(index, 1);
        if (Failed(r)) return r;
        mItems[index] = std::move(copy);
        return static_cast<QVResult>(index);
    }

    [[nodiscard]] QVResult RemoveItem(uint32_t index, T& out) override
    {
        if (index >= GetCount()) return E_INVALIDARG;
        out = mItems[index];
        return RemoveItems(index, 1);
    }

    [[nodiscard]] QVResult SwapItems(uint32_t i, uint32_t j) override
    {
        if (i >= GetCount() || j >= GetCount()) return E_INVALIDARG;
        std::swap(mItems[i], mItems[j]);
        return S_OK;
    }

    const T* GetData() const override { return mItems.data(); }
    T* GetData() override { return mItems.data(); }

private:
    std::vector<T> mItems;

    // The vector's own out-of-range error, as the library spells it.
    uint32_t Checked(uint32_t index) const
    {
        if (index >= mItems.size()) throw std::out_of_range("invalid vector<T> subscript");
        return index;
    }
};

}  // namespace QV
