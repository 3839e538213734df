#pragma once
// Read access to a collection: count, element addresses and iterators.
// Collections are walked through their own operations, so one walker serves
// every container of the family.
#include <cstdint>

namespace QV {

template <class T>
class IIterable {
public:
    // A position in a collection: {collection, element address}.
    template <class E>
    struct IteratorT {
        const IIterable* collection = nullptr;
        E* position = nullptr;

        E& operator*() const { return *position; }
        E* operator->() const { return position; }
        IteratorT& operator++()
        {
            position = const_cast<E*>(collection->OffsetIterator(position, 1));
            return *this;
        }
        bool operator==(const IteratorT& other) const { return position == other.position; }
    };
    using Iterator = IteratorT<T>;
    using ConstIterator = IteratorT<const T>;

    // The largest count a growable collection allows.
    static constexpr uint32_t kMaxCount = 2147483647;

    virtual uint32_t GetCount() const = 0;
    virtual uint32_t GetMaxCount() const = 0;
    virtual Iterator Begin() { return Iterator{this, GetFirst()}; }
    virtual ConstIterator Begin() const { return ConstIterator{this, GetFirst()}; }
    virtual Iterator End() { return Iterator{this, GetEnd()}; }
    virtual ConstIterator End() const { return ConstIterator{this, GetEnd()}; }
    virtual const T& GetRawItem(const ConstIterator& it) const { return *it.position; }
    virtual T& GetRawItem(const Iterator& it) { return *it.position; }
    virtual T* GetItemPtr(uint32_t index) = 0;
    virtual const T* GetItemPtr(uint32_t index) const = 0;
    // Moves a position by n elements, kept within [GetFirst, GetEnd].
    virtual const T* OffsetIterator(const T* position, int32_t n) const
    {
        const T* first = GetFirst();
        if (!first) return nullptr;
        const int64_t index = (position - first) + static_cast<int64_t>(n);
        if (index <= 0) return first;
        if (index >= GetCount()) return GetEnd();
        return first + index;
    }
    // Null when empty.
    virtual T* GetFirst() const = 0;
    virtual T* GetEnd() const = 0;

    // For range-for loops.
    Iterator begin() { return Begin(); }
    Iterator end() { return End(); }
    ConstIterator begin() const { return Begin(); }
    ConstIterator end() const { return End(); }

protected:
    IIterable() = default;
    IIterable(const IIterable&) = default;
    IIterable& operator=(const IIterable&) = default;
    ~IIterable() = default;
};

}  // namespace QV
