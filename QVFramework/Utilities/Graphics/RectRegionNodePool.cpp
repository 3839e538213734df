#include "RectRegionNodePool.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace QV {
namespace {

struct Pool {
    std::mutex lock;
    bool ready = false;
    std::array<RectRegionNode, RectRegionNodePool::kSlots> slots{};
    std::array<uint16_t, RectRegionNodePool::kSlots> ring{};  // free slot numbers
    int32_t readPosition = 0;
    int32_t freeCount = 0;
    int32_t inUse = 0;
    int32_t peak = 0;
    // Beyond the slots: nodes of blocks taken from the heap and kept, so a
    // long region costs no allocation and release a node.
    static constexpr size_t kBlockNodes = 64;
    std::vector<std::unique_ptr<RectRegionNode[]>> blocks;
    RectRegionNode* spare = nullptr;  // free block nodes, linked by next

    void SetUp()
    {
        for (int32_t i = 0; i < RectRegionNodePool::kSlots; ++i)
            ring[static_cast<size_t>(i)] = static_cast<uint16_t>(i);
        freeCount = RectRegionNodePool::kSlots;
        ready = true;
    }

    // Requires the lock.
    RectRegionNode* Take()
    {
        if (!ready) SetUp();
        peak = std::max(peak, ++inUse);
        if (freeCount > 0) {
            RectRegionNode* node = &slots[ring[static_cast<size_t>(readPosition)]];
            readPosition = (readPosition + 1) % RectRegionNodePool::kSlots;
            --freeCount;
            return node;
        }
        if (spare == nullptr) {
            RectRegionNode* block = blocks.emplace_back(std::make_unique<RectRegionNode[]>(kBlockNodes)).get();
            for (size_t i = 0; i + 1 < kBlockNodes; ++i) block[i].next = &block[i + 1];
            spare = block;
        }
        return std::exchange(spare, spare->next);
    }

    // Requires the lock.
    void TakeBack(RectRegionNode* node)
    {
        --inUse;
        if (Owns(node) && freeCount < RectRegionNodePool::kSlots) {
            const size_t position = static_cast<size_t>((readPosition + freeCount) % RectRegionNodePool::kSlots);
            ring[position] = static_cast<uint16_t>(node - slots.data());
            ++freeCount;
        } else {
            node->next = spare;
            spare = node;
        }
    }

    bool Owns(const RectRegionNode* node) const
    {
        // std::less gives a total order even for pointers into other objects.
        const std::less<const RectRegionNode*> before;
        return !before(node, slots.data()) && before(node, slots.data() + slots.size());
    }
};

// Never destroyed: regions held by other statics may give nodes back at exit.
Pool& ThePool()
{
    static Pool* const pool = new Pool;
    return *pool;
}

}  // namespace

RectRegionNode* RectRegionNodePool::Allocate()
{
    Pool& pool = ThePool();
    RectRegionNode* node = nullptr;
    {
        std::lock_guard guard(pool.lock);
        node = pool.Take();
    }
    *node = RectRegionNode{};
    return node;
}

void RectRegionNodePool::Release(RectRegionNode* node)
{
    if (node == nullptr) return;
    Pool& pool = ThePool();
    std::lock_guard guard(pool.lock);
    pool.TakeBack(node);
}

void RectRegionNodePool::ReleaseList(RectRegionNode* head)
{
    if (head == nullptr) return;
    Pool& pool = ThePool();
    std::lock_guard guard(pool.lock);
    while (head != nullptr) pool.TakeBack(std::exchange(head, head->next));
}

int32_t RectRegionNodePool::InUseCount()
{
    std::lock_guard guard(ThePool().lock);
    return ThePool().inUse;
}

int32_t RectRegionNodePool::PeakCount()
{
    std::lock_guard guard(ThePool().lock);
    return ThePool().peak;
}

int32_t RectRegionNodePool::FreeSlotCount()
{
    std::lock_guard guard(ThePool().lock);
    return ThePool().ready ? ThePool().freeCount : kSlots;
}

bool RectRegionNodePool::IsPoolSlot(const RectRegionNode* node)
{
    return ThePool().Owns(node);
}

}  // namespace QV
