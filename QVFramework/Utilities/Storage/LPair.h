#pragma once
// A counted key/value pair. Its text form is the template's function of the
// key. Destroying the pair destroys key and value (a counted pointer in
// either releases its object; a plain pointer is not owned).
#include <utility>

#include "RefCountedObject.h"
#include "StringT.h"

namespace QV {

template <class K>
String NoKeyText(const K&)
{
    return String();
}

template <class K, class V, String (*ToStringFn)(const K&) = NoKeyText<K>>
class LPair : public LRefCountedObject {
public:
    LPair(K key, V value) : mKey(std::move(key)), mValue(std::move(value)) {}

    const K& GetKey() const { return mKey; }
    const V& GetValue() const { return mValue; }
    V& GetValue() { return mValue; }
    void SetValue(V value) { mValue = std::move(value); }

    String ToString() const override { return ToStringFn(mKey); }

private:
    K mKey;
    V mValue;
};

}  // namespace QV
