#include "EventPool.h"

#include <new>

namespace QV {

EventPool::EventPool(uint32_t count)
{
    if (count >= (1u << 30)) return;
    try {
        mEvents.reserve(count);
        mHandles.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            mEvents.push_back(LEvent::Create());
            mHandles.push_back(mEvents.back()->GetHandle());
        }
    } catch (const std::bad_alloc&) {
        mEvents.clear();
        mHandles.clear();
    }
}

int32_t EventPool::WaitForAny(uint32_t timeoutMs)
{
    mWaiterCount.fetch_add(1, std::memory_order_acq_rel);
    const int index = EventCore::WaitForAny(mHandles.data(), mHandles.size(), timeoutMs);
    mWaiterCount.fetch_sub(1, std::memory_order_acq_rel);
    return index >= 0 ? index : -1;
}

}  // namespace QV
