#pragma once
// A pool of blocks for objects of one type that hands freed blocks out again
// (last freed, first reused) and returns them to the heap only when it is
// destroyed. Allocations of any other size are plain heap blocks.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <unordered_set>

#include "Allocator.h"
#include "Buffer.h"
#include "Mutex.h"
#include "ThreadFaultLog.h"

namespace QV {

template <class T, uint32_t N>
class ReuseAllocator {
    static_assert(N > 0, "the block table grows in steps of N entries");
    static_assert(alignof(T) <= alignof(std::max_align_t), "blocks are aligned for max_align_t");

public:
    explicit ReuseAllocator(bool withLock)
    {
        if (withLock) mLock = std::make_unique<Mutex>();
    }

    virtual ~ReuseAllocator()
    {
        for (uint32_t i = BlockCount(); i > 0; --i) GetSystemAllocator()->Free(Table()[i - 1]);
        mTable.Allocate(0);
        mFreeList.Allocate(0);
        mFreeCount = 0;
    }

    ReuseAllocator(const ReuseAllocator&) = delete;
    ReuseAllocator& operator=(const ReuseAllocator&) = delete;

    void* Allocate(size_t size)
    {
        if (size != sizeof(T)) return AllocatePlain(size);
        Guard guard(mLock.get());
        Buf* block;
        if (FreeCount() > 0) {
            block = Table()[FreeList()[--mFreeCount]];
        } else {
            block = NewBlock();
        }
        block->state = kInUse;
        return block->Storage();
    }

    void Free(void* pointer)
    {
        if (pointer == nullptr) return;
        Guard guard(mLock.get());
        if (mBlocks.count(pointer) != 0) {
            Buf* block = Buf::FromStorage(pointer);
            // The block test: index in range and the table entry is this block.
            if (block->index < BlockCount() && Table()[block->index] == block) {
                if (block->state != kInUse) {
                    LogThreadFault("ReuseAllocator: a block was freed twice; the second free is ignored");
                    return;
                }
                block->state = kFree;
                // Room for every block was made with the block, so Free never allocates.
                FreeList()[mFreeCount++] = block->index;
                return;
            }
        }
        if (mPlainBlocks.erase(pointer) != 0) {
            GetSystemAllocator()->Free(pointer);
            return;
        }
        LogThreadFault("ReuseAllocator: Free of a block this allocator did not make is ignored");
    }

    uint32_t GetBlockCount() const
    {
        Guard guard(mLock.get());
        return BlockCount();
    }

private:
    static constexpr uint32_t kInUse = 0x55534544;  // "USED"
    static constexpr uint32_t kFree = 0x46524545;   // "FREE"

    // A block: a header whose last word is the block index, then the storage
    // of one T, which starts on a max_align_t boundary.
    struct Buf {
        static constexpr size_t kHeaderSize = alignof(std::max_align_t) < 8 ? 8 : alignof(std::max_align_t);
        uint32_t state;
        unsigned char padding[kHeaderSize - 8];
        uint32_t index;  // stands just before the storage

        void* Storage() { return reinterpret_cast<unsigned char*>(this) + kHeaderSize; }
        static Buf* FromStorage(void* p) { return reinterpret_cast<Buf*>(static_cast<unsigned char*>(p) - kHeaderSize); }
    };
    static_assert(offsetof(Buf, index) + sizeof(uint32_t) == Buf::kHeaderSize);

    class Guard {
    public:
        explicit Guard(Mutex* mutex) : mMutex(mutex) { if (mMutex) mMutex->Enter(); }
        ~Guard() { if (mMutex) mMutex->Leave(); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        Mutex* mMutex;
    };

    uint32_t BlockCount() const { return mTable.GetSize() / sizeof(Buf*); }
    uint32_t FreeCount() const { return mFreeCount; }
    Buf** Table() const { return mTable.GetElements(); }
    uint32_t* FreeList() const { return mFreeList.GetElements(); }

    void* AllocatePlain(size_t size)
    {
        void* p = GetSystemAllocator()->Allocate(size == 0 ? 1 : size);
        Guard guard(mLock.get());
        try {
            mPlainBlocks.insert(p);
        } catch (...) {
            GetSystemAllocator()->Free(p);
            throw;
        }
        return p;
    }

    Buf* NewBlock()
    {
        const uint32_t index = BlockCount();
        auto* block = static_cast<Buf*>(GetSystemAllocator()->Allocate(Buf::kHeaderSize + sizeof(T)));
        std::memset(static_cast<void*>(block), 0, Buf::kHeaderSize);
        block->index = index;
        try {
            mBlocks.insert(block->Storage());
            mFreeList.SetSize((index + 1) * sizeof(uint32_t));
            mTable.SetSize((index + 1) * sizeof(Buf*));
        } catch (...) {
            mBlocks.erase(block->Storage());
            GetSystemAllocator()->Free(block);
            throw;
        }
        Table()[index] = block;
        return block;
    }

    BufferT<N * sizeof(Buf*), 0, 8, Buf*> mTable;
    BufferT<N * sizeof(uint32_t), 0, 8, uint32_t> mFreeList;  // one slot per block
    uint32_t mFreeCount = 0;
    std::unordered_set<const void*> mBlocks;       // storage of every pooled block
    std::unordered_set<const void*> mPlainBlocks;  // plain blocks handed out and not yet freed
    std::unique_ptr<Mutex> mLock;
};

}  // namespace QV
