#include "Allocator.h"

#include <cstdlib>

#include "Exception.h"

namespace QV {

void* SystemAllocator::Allocate(size_t size)
{
    void* p = std::malloc(size == 0 ? 1 : size);
    if (!p) ThrowBadAlloc();
    return p;
}

void* SystemAllocator::AllocateZeroed(size_t count, size_t size)
{
    void* p = std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size);
    if (!p) ThrowBadAlloc();
    return p;
}

void* SystemAllocator::Reallocate(void* block, size_t size)
{
    // realloc(p, 0) may free p and answer null; never ask for that.
    void* p = std::realloc(block, size == 0 ? 1 : size);
    if (!p) ThrowBadAlloc();
    return p;
}

void SystemAllocator::Free(void* block)
{
    std::free(block);
}

IAllocator* GetSystemAllocator()
{
    // Never destroyed, so buffers freed during static destruction still work.
    static SystemAllocator* instance = new SystemAllocator();
    return instance;
}

}  // namespace QV
