#pragma once
// The allocator interface behind every framework buffer.
#include <cstddef>

namespace QV {

class IAllocator {
public:
    virtual ~IAllocator() = default;
    virtual void* Allocate(size_t size) = 0;
    virtual void* AllocateZeroed(size_t count, size_t size) = 0;
    virtual void* Reallocate(void* block, size_t size) = 0;
    virtual void Free(void* block) = 0;
};

// The C heap. A refused request raises the framework's bad allocation,
// so no caller ever continues with a null block.
class SystemAllocator final : public IAllocator {
public:
    void* Allocate(size_t size) override;
    void* AllocateZeroed(size_t count, size_t size) override;
    void* Reallocate(void* block, size_t size) override;
    void Free(void* block) override;
};

// The one process-wide instance, made on first use.
IAllocator* GetSystemAllocator();

}  // namespace QV
