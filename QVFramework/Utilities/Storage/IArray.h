#pragma once
// The editing operations shared by every array of the family. Mutators
// answer the new count (InsertItem: see each array) or a negative result.
#include <cstdint>

#include "IIterable.h"
#include "Result.h"

namespace QV {

template <class T>
class IArray : public IIterable<T> {
public:
    // Resizes; the result is the new count.
    [[nodiscard]] virtual QVResult SetCount(uint32_t count) = 0;
    // Opens `count` zeroed (default) elements at index.
    [[nodiscard]] virtual QVResult InsertItems(uint32_t index, uint32_t count) = 0;
    [[nodiscard]] virtual QVResult RemoveItems(uint32_t index, uint32_t count) = 0;
    [[nodiscard]] virtual QVResult RemoveAll() { return SetCount(0) == 0 ? S_OK : E_FAIL; }
    [[nodiscard]] virtual QVResult InsertItem(uint32_t index, const T& item) = 0;
    [[nodiscard]] virtual QVResult RemoveItem(uint32_t index, T& out) = 0;
    // Appends a copy of every element of source.
    [[nodiscard]] virtual QVResult Append(const IIterable<T>& source)
    {
        const uint32_t base = this->GetCount();
        const uint32_t n = source.GetCount();
        if (n == 0) return static_cast<QVResult>(base);
        const uint64_t wanted = static_cast<uint64_t>(base) + n;
        if (wanted > IIterable<T>::kMaxCount) return E_FAIL;
        if (SetCount(static_cast<uint32_t>(wanted)) != static_cast<QVResult>(wanted)) return E_FAIL;
        // Exactly n elements: the source may be this array.
        auto it = source.Begin();
        for (uint32_t k = 0; k < n; ++k, ++it) *this->GetItemPtr(base + k) = source.GetRawItem(it);
        return static_cast<QVResult>(this->GetCount());
    }
    [[nodiscard]] virtual QVResult AddItem(const T& item) { return InsertItem(this->GetCount(), item); }
    [[nodiscard]] virtual QVResult RemoveLastItem(T& out) { return RemoveItem(this->GetCount() - 1, out); }
    [[nodiscard]] virtual QVResult SetItems(const IIterable<T>& source)
    {
        (void)SetCount(0);  // shrinking cannot fail
        return Append(source);
    }
    [[nodiscard]] virtual QVResult SwapItems(uint32_t i, uint32_t j) = 0;
    virtual const T* GetData() const = 0;
    virtual T* GetData() = 0;

protected:
    IArray() = default;
    IArray(const IArray&) = default;
    IArray& operator=(const IArray&) = default;
    ~IArray() = default;
};

}  // namespace QV
