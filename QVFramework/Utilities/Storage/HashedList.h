#pragma once
// Key/value pairs in 2^B buckets (256 for B = 8) chosen by bits of an
// integer key. Buckets are searched from their last entry, so the most
// recently added entries are found first.
#include <cstdint>
#include <type_traits>

#include "LPair.h"
#include "RCPtrArray.h"
#include "StringT.h"
#include "TypeName.h"

namespace QV {

// Bucket of a key: `bits` bits of the key from bit `shift` on.
// GetBits<8,4,...> for handles and unique ids, GetBits<8,0,...> for glyph ids.
template <int bits, int shift, class K>
struct GetBits {
    uint32_t operator()(const K& key) const
    {
        return static_cast<uint32_t>(static_cast<uint64_t>(key) >> shift) & ((1u << bits) - 1);
    }
};

// The key is the value itself.
template <class T>
struct GetSelf {
    const T& operator()(const T& value) const { return value; }
};

// The name of a key type as the framework's texts spell it.
template <class K>
const char* KeyTypeName()
{
    if constexpr (NamedType<K>) return K::kTypeName;
    else if constexpr (std::is_same_v<K, int32_t>) return "int";
    else if constexpr (std::is_same_v<K, uint32_t>) return "unsigned int";
    else if constexpr (std::is_same_v<K, int64_t>) return "__int64";
    else if constexpr (std::is_same_v<K, uint64_t>) return "unsigned __int64";
    else return "unknown";
}

template <class T, class K>
class IHashedList {
public:
    virtual int32_t GetCount() const = 0;
    virtual void RemoveAll() = 0;
    // False when an entry with the value's key existed; it now holds value.
    virtual bool Add(const T& value) = 0;
    // The stored value of key, or def.
    virtual T* Find(const K& key, T* def = nullptr) = 0;
    virtual const T* Find(const K& key, const T* def = nullptr) const = 0;
    virtual bool Remove(const K& key) = 0;
    virtual ~IHashedList() = default;
};

template <class T, class K, class KeyOf = GetSelf<K>, int B = 8, class Hash = GetBits<B, 4, K>>
class HashedList : public IHashedList<T, K> {
public:
    // Every pair of one list shows the name of the key type.
    static String KeyToString(const K&) { return String(KeyTypeName<K>()); }
    using Pair = LPair<K, T, &HashedList::KeyToString>;
    static constexpr uint32_t kBucketCount = 1u << B;

    HashedList() = default;
    HashedList(const HashedList&) = delete;
    HashedList& operator=(const HashedList&) = delete;

    int32_t GetCount() const override { return mCount; }

    void RemoveAll() override
    {
        for (auto& bucket : mBuckets) (void)bucket.SetCount(0);  // shrinking cannot fail
        mCount = 0;
    }

    bool Add(const T& value) override
    {
        const K key = KeyOf{}(value);
        RCPtrArray<Pair>& bucket = BucketOf(key);
        if (Pair* pair = FindPair(bucket, key)) {
            pair->SetValue(value);
            return false;
        }
        (void)bucket.AddItem(MakeRC<Pair>(key, value));  // the array grows
        ++mCount;
        return true;
    }

    T* Find(const K& key, T* def = nullptr) override
    {
        Pair* pair = FindPair(BucketOf(key), key);
        return pair ? &pair->GetValue() : def;
    }

    const T* Find(const K& key, const T* def = nullptr) const override
    {
        return const_cast<HashedList*>(this)->Find(key, const_cast<T*>(def));
    }

    bool Remove(const K& key) override
    {
        RCPtrArray<Pair>& bucket = BucketOf(key);
        for (uint32_t i = bucket.GetCount(); i-- > 0;) {
            if ((*bucket.GetItemPtr(i))->GetKey() == key) {
                RCPtr<Pair> removed;
                (void)bucket.RemoveItem(i, removed);  // i is in range
                --mCount;
                return true;
            }
        }
        return false;
    }

    // The pair under key, or null; for the text form and for tests.
    const Pair* FindPair(const K& key) const
    {
        return FindPair(const_cast<HashedList*>(this)->BucketOf(key), key);
    }

private:
    RCPtrArray<Pair>& BucketOf(const K& key) { return mBuckets[Hash{}(key) & (kBucketCount - 1)]; }

    static Pair* FindPair(RCPtrArray<Pair>& bucket, const K& key)
    {
        for (uint32_t i = bucket.GetCount(); i-- > 0;) {
            Pair* pair = bucket.GetItemPtr(i)->Get();
            if (pair->GetKey() == key) return pair;
        }
        return nullptr;
    }

    int32_t mCount = 0;
    RCPtrArray<Pair> mBuckets[kBucketCount];
};

}  // namespace QV
