#pragma once
// Makes a value class reference-counted by deriving from both:
// LWrapper<ParamValues> is a ParamValues that counted pointers can share.
#include <string>
#include <utility>

#include "LTaggableObject.h"
#include "LazyTypeName.h"
#include "RefCountedObject.h"
#include "TypeName.h"

namespace QV {

template <class T, class Base = LRefCountedObject>
class LWrapper : public T, public virtual Base {
public:
    LWrapper() = default;
    explicit LWrapper(const T& value) : T(value) {}

    static const std::string& MakeTypeName()
    {
        static const std::string name = "class QV::LWrapper<" + std::string(TypeNameOf<T>()) + "," +
                                        TypeNameOf<Base>() + ">";
        return name;
    }
    static constexpr LazyTypeName kTypeName{&MakeTypeName};
    const char* GetTypeName() const override { return kTypeName; }
};

// The same for a string class, over a taggable object.
template <class T, class Base = LTaggableObject>
class LWrapperStringable : public T, public virtual Base {
public:
    LWrapperStringable() = default;
    explicit LWrapperStringable(const T& value) : T(value) {}

    static const std::string& MakeTypeName()
    {
        static const std::string name = "class QV::LWrapperStringable<" +
                                        std::string(TypeNameOf<T>()) + "," + TypeNameOf<Base>() + ">";
        return name;
    }
    static constexpr LazyTypeName kTypeName{&MakeTypeName};
    const char* GetTypeName() const override { return kTypeName; }
};

}  // namespace QV
