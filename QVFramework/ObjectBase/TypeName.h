#pragma once
// Class names spelled the way the framework's messages show them
// ("class QV::LPanel", "class QV::LPixelBuffer<long>"). Each class states its
// own name; nothing is derived from the compiler's mangled names.
#include <concepts>
#include <string>

namespace QV {

// Inside a class derived from LRefCountedObject: gives it its spelled name
// as a static constant and as the run-time class name.
#define QV_TYPE_NAME(text)                                          \
public:                                                             \
    static constexpr const char* kTypeName = text;                  \
    const char* GetTypeName() const override { return kTypeName; }

// For classes that are not reference counted (plain values, interfaces).
#define QV_STATIC_TYPE_NAME(text) \
public:                           \
    static constexpr const char* kTypeName = text;

template <class T>
concept NamedType = requires { { T::kTypeName } -> std::convertible_to<const char*>; };

template <NamedType T>
const char* TypeNameOf() { return T::kTypeName; }

// Closes a template argument list the way the compiler spells it:
// "X<A>" but "X<B<C> >".
inline std::string CloseTemplateName(const std::string& inner)
{
    return (!inner.empty() && inner.back() == '>') ? inner + " >" : inner + ">";
}

}  // namespace QV
