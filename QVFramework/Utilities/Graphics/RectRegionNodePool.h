#pragma once
// The process-wide pool of region nodes: 512 slots in one array with a ring
// of free slot numbers; beyond that the heap serves, in blocks of nodes the
// pool keeps for reuse. Every allocation and release takes the pool's lock,
// so regions of any thread may share it.
#include <cstddef>
#include <cstdint>

namespace QV {

struct RegionRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;   // exclusive
    int32_t bottom = 0;  // exclusive

    constexpr bool IsEmpty() const { return left >= right || top >= bottom; }
    constexpr bool operator==(const RegionRect&) const = default;
};

struct RectRegionNode {
    RegionRect rect;
    RectRegionNode* next = nullptr;
};

class RectRegionNodePool {
public:
    static constexpr int32_t kSlots = 512;

    // A cleared node (edges 0, no link).
    static RectRegionNode* Allocate();
    static void Release(RectRegionNode* node);
    // Every node of the list, under one taking of the lock.
    static void ReleaseList(RectRegionNode* head);

    static int32_t InUseCount();
    static int32_t PeakCount();
    static int32_t FreeSlotCount();
    static bool IsPoolSlot(const RectRegionNode* node);
};

}  // namespace QV
