#pragma once
// Up to N values held inline; the count never exceeds N.
#include <cstdint>
#include <utility>

#include "IArray.h"

namespace QV {

template <class T, uint32_t N>
class SimpleFixedArray : public IArray<T> {
public:
    uint32_t GetCount() const override { return mCount; }
    uint32_t GetMaxCount() const override { return N; }

    T* GetItemPtr(uint32_t index) override { return mItems + index; }
    const T* GetItemPtr(uint32_t index) const override { return mItems + index; }
    T* GetFirst() const override { return mCount ? const_cast<T*>(mItems) : nullptr; }
    T* GetEnd() const override { return mCount ? const_cast<T*>(mItems) + mCount : nullptr; }

    [[nodiscard]] QVResult SetCount(uint32_t count) override
    {
        if (count > N) return E_INVALIDARG;
        for (uint32_t i = mCount; i < count; ++i) mItems[i] = T();
        mCount = count;
        return static_cast<QVResult>(count);
    }

    [[nodiscard]] QVResult InsertItems(uint32_t index, uint32_t count) override
    {
        if (count == 0) return static_cast<QVResult>(mCount);
        if (index > mCount || static_cast<uint64_t>(mCount) + count > N) return E_INVALIDARG;
        for (uint32_t i = mCount; i-- > index;) mItems[i + count] = std::move(mItems[i]);
        for (uint32_t i = index; i < index + count; ++i) mItems[i] = T();
        mCount += count;
        return static_cast<QVResult>(mCount);
    }

    [[nodiscard]] QVResult RemoveItems(uint32_t index, uint32_t count) override
    {
        if (index >= mCount || static_cast<uint64_t>(index) + count > mCount) return E_INVALIDARG;
        for (uint32_t i = index; i + count < mCount; ++i) mItems[i] = std::move(mItems[i + count]);
        mCount -= count;
        return static_cast<QVResult>(mCount);
    }

    [[nodiscard]] QVResult InsertItem(uint32_t index, const T& item) override
    {
        const T copy = item;
        const QVResult r = InsertItems(index, 1);
        if (Failed(r)) return r;
        mItems[index] = copy;
        return static_cast<QVResult>(index);
    }

    [[nodiscard]] QVResult RemoveItem(uint32_t index, T& out) override
    {
        if (index >= mCount) return E_INVALIDARG;
        out = mItems[index];
        return RemoveItems(index, 1);
    }

    [[nodiscard]] QVResult SwapItems(uint32_t i, uint32_t j) override
    {
        if (i >= mCount || j >= mCount) return E_INVALIDARG;
        std::swap(mItems[i], mItems[j]);
        return S_OK;
    }

    const T* GetData() const override { return mItems; }
    T* GetData() override { return mItems; }

private:
    T mItems[N]{};
    uint32_t mCount = 0;
};

}  // namespace QV
