#pragma once
// Stable sorting of an array range, in place or through an index array.
// compare(a, b) answers a negative number when a sorts before b.
#include <algorithm>
#include <cstdint>

#include "ContainerErrors.h"
#include "IArray.h"

namespace QV::ArrayUtils {

template <class T, class Compare>
void Sort(IArray<T>& array, uint32_t start, uint32_t count, Compare compare)
{
    if (count < 2) return;
    if (static_cast<uint64_t>(start) + count > array.GetCount()) ThrowSortOutOfRange();
    T* first = array.GetItemPtr(start);
    std::stable_sort(first, first + count,
                     [&](const T& a, const T& b) { return compare(a, b) < 0; });
}

// Fills indices with start .. start + count - 1, ordered by the items they name.
template <class T, class Compare>
void SortIndecies(IArray<uint32_t>& indices, const IArray<T>& array, uint32_t start,
                  uint32_t count, Compare compare)
{
    if (static_cast<uint64_t>(start) + count > array.GetCount()) ThrowSortIndeciesOutOfRange();
    indices.SetCount(count);
    for (uint32_t i = 0; i < count; ++i) *indices.GetItemPtr(i) = start + i;
    if (count < 2) return;
    uint32_t* first = indices.GetItemPtr(0);
    std::stable_sort(first, first + count, [&](uint32_t a, uint32_t b) {
        return compare(*array.GetItemPtr(a), *array.GetItemPtr(b)) < 0;
    });
}

}  // namespace QV::ArrayUtils
