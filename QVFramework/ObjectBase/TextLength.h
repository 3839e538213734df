#pragma once
// Length of a NUL-terminated text, reading at most max units.
#include <cstddef>

namespace QV {

template <class T>
size_t BoundedLength(const T* text, size_t max)
{
    size_t n = 0;
    while (n < max && text[n] != T(0)) ++n;
    return n;
}

}  // namespace QV
