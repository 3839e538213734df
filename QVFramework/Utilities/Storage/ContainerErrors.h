#pragma once
// The errors the containers raise, with their fixed source paths and lines.
#include <cstdint>
#include <string>

#include "TypeName.h"

namespace QV {

// "QV::<templ><<name of T>,<g>,<s>>"
template <class T>
std::string ContainerInstanceName(const char* templ, uint32_t g, uint32_t s)
{
    return std::string("QV::") + templ + "<" + TypeNameOf<T>() + "," + std::to_string(g) + "," +
           std::to_string(s) + ">";
}

// "QV::<templ><<name of T>,<n>>"
template <class T>
std::string ContainerInstanceName(const char* templ, uint32_t n)
{
    return std::string("QV::") + templ + "<" + TypeNameOf<T>() + "," + std::to_string(n) + ">";
}

[[noreturn]] void ThrowConstRCPtrArrayRemoveItem(const std::string& instance);
[[noreturn]] void ThrowRCPtrArrayRemoveItem(const std::string& instance);
[[noreturn]] void ThrowRCPtrQueueEmpty(const std::string& instance);
[[noreturn]] void ThrowSortOutOfRange();
[[noreturn]] void ThrowSortIndeciesOutOfRange();

}  // namespace QV
