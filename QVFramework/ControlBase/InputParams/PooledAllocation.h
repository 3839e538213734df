#pragma once
// Gives a counted class its own block pool: objects of exactly the class's
// size reuse freed blocks (last freed, first reused); the pool lives until
// the program ends. Pools take no lock: pointer input and its parameters
// live on the UI thread.
#include <cstddef>
#include <cstdint>

#include "ReuseAllocator.h"

// Inside the class body of T; N is the number of entries reserved up front.
#define QV_POOLED_ALLOCATION(T, N)                     \
public:                                                \
    static ::QV::ReuseAllocator<T, N>& GetPool()       \
    {                                                  \
        static ::QV::ReuseAllocator<T, N> pool(false); \
        return pool;                                   \
    }                                                  \
    static void* operator new(std::size_t size)        \
    {                                                  \
        return GetPool().Allocate(size);               \
    }                                                  \
    static void operator delete(void* pointer)         \
    {                                                  \
        GetPool().Free(pointer);                       \
    }                                                  \
                                                       \
private:
