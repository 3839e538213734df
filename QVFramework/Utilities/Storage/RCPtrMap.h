#pragma once
// A hashed map from counted objects to counted objects, keyed by the
// identity (address) of the key object.
#include <cstdint>

#include "HashedList.h"
#include "LPair.h"
#include "RCPtr.h"

namespace QV {

template <class K, class V>
struct RCPtrHalfMapHelper {
    using Pair = LPair<ConstRCPtr<K>, RCPtr<V>>;

    // The address of the key's counted base; every null key shares one.
    static uintptr_t GetKey(const ConstRCPtr<K>& key)
    {
        static const char nullKey = 0;
        if (!key) return reinterpret_cast<uintptr_t>(&nullKey);
        return reinterpret_cast<uintptr_t>(static_cast<const LRefCountedObject*>(key.Get()));
    }

    uintptr_t operator()(const RCPtr<Pair>& pair) const { return GetKey(pair->GetKey()); }
};

template <class K, class V, int B = 8>
class RCPtrMap
    : public HashedList<RCPtr<LPair<ConstRCPtr<K>, RCPtr<V>>>, uintptr_t, RCPtrHalfMapHelper<K, V>,
                        B, GetBits<B, 4, uintptr_t>> {
    using Helper = RCPtrHalfMapHelper<K, V>;

public:
    using Pair = typename Helper::Pair;
    using HashedList<RCPtr<Pair>, uintptr_t, Helper, B, GetBits<B, 4, uintptr_t>>::Find;
    using HashedList<RCPtr<Pair>, uintptr_t, Helper, B, GetBits<B, 4, uintptr_t>>::Remove;

    // An existing key gets the new value.
    void Set(const ConstRCPtr<K>& key, const RCPtr<V>& value)
    {
        this->Add(MakeRC<Pair>(key, value));
    }

    // The stored value, or a shared null pointer.
    const RCPtr<V>& Find(const ConstRCPtr<K>& key) const
    {
        static const RCPtr<V> none;
        const RCPtr<Pair>* pair = this->Find(Helper::GetKey(key), nullptr);
        return pair ? (*pair)->GetValue() : none;
    }

    bool Remove(const ConstRCPtr<K>& key) { return this->Remove(Helper::GetKey(key)); }
};

}  // namespace QV
