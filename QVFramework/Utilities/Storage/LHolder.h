#pragma once
// One value of T made reference-counted, so it can be shared by pointers.
#include <utility>

#include "RefCountedObject.h"

namespace QV {

template <class T>
class LHolder : public LRefCountedObject {
public:
    LHolder() = default;
    explicit LHolder(T value) : mValue(std::move(value)) {}

    const T& GetValue() const { return mValue; }
    T& GetValue() { return mValue; }
    void SetValue(T value) { mValue = std::move(value); }

private:
    T mValue{};
};

}  // namespace QV
