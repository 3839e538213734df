#include "RectRegionNodePool.h"

#include <algorithm>
#include <array>
#include <functional>
#include <mutex>
#include <utility>

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

    void SetUp()
    {
        for (int32_t i = 0; i < RectRegionNodePool::kSlots; ++i)
            ring[static_cast<size_t>(i)] = static_cast<uint16_t>(i);
        freeCount = RectRegionNodePool::kSlots;
        ready = true;
    }

    // A slot goes back on the ring; false for a node the heap must take back.
    // Requires the lock.
    bool TakeBack(RectRegionNode* node)
    {
        --inUse;
        if (!Owns(node) || freeCount >= RectRegionNodePool::kSlots) return false;
        const size_t position = static_cast<size_t>((readPosition + freeCount) % RectRegionNodePool::kSlots);
        ring[position] = static_cast<uint16_t>(node - slots.data());
        ++freeCount;
        return true;
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
        if (!pool.ready) pool.SetUp();
        pool.peak = std::max(pool.peak, ++pool.inUse);
        if (pool.freeCount > 0) {
            node = &pool.slots[pool.ring[static_cast<size_t>(pool.readPosition)]];
            pool.readPosition = (pool.readPosition + 1) % kSlots;
            --pool.freeCount;
        }
    }
    if (node == nullptr) node = new RectRegionNode;
    *node = RectRegionNode{};
    return node;
}

void RectRegionNodePool::Release(RectRegionNode* node)
{
    if (node == nullptr) return;
    Pool& pool = ThePool();
    {
        std::lock_guard guard(pool.lock);
        if (pool.TakeBack(node)) return;
    }
    delete node;
}

void RectRegionNodePool::ReleaseList(RectRegionNode* head)
{
    if (head == nullptr) return;
    RectRegionNode* heapNodes = nullptr;  // deleted once the lock is given back
    Pool& pool = ThePool();
    {
        std::lock_guard guard(pool.lock);
        while (head != nullptr) {
            RectRegionNode* node = std::exchange(head, head->next);
            if (!pool.TakeBack(node)) {
                node->next = heapNodes;
                heapNodes = node;
            }
        }
    }
    while (heapNodes != nullptr) delete std::exchange(heapNodes, heapNodes->next);
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
