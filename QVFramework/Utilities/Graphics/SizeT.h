#pragma once
// A size {width, height}.
#include <cstdint>

namespace QV {

template <class T>
struct SizeT {
    T width{};
    T height{};
    constexpr bool operator==(const SizeT&) const = default;
};

using LongSize = SizeT<int32_t>;

}  // namespace QV
