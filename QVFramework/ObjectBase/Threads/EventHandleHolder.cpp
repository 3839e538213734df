#include "EventHandleHolder.h"

#include <new>

#include "WaitResult.h"

namespace QV {

EventHandleHolder::EventHandleHolder(bool autoReset) : mCore(new (std::nothrow) EventCore(autoReset)) {}

bool EventHandleHolder::Set()
{
    if (!mCore) return false;
    mCore->Set();
    return true;
}

bool EventHandleHolder::Reset()
{
    if (!mCore) return false;
    mCore->Reset();
    return true;
}

uint32_t EventHandleHolder::Wait(uint32_t timeoutMs)
{
    if (!mCore) return kWaitFailed;
    EventCore* core = mCore.get();
    core->WaiterCount().fetch_add(1, std::memory_order_acq_rel);
    const int index = EventCore::WaitForAny(&core, 1, timeoutMs);
    core->WaiterCount().fetch_sub(1, std::memory_order_acq_rel);
    if (index == 0) return kWaitSignalled;
    return index == -1 ? kWaitTimeout : kWaitFailed;
}

}  // namespace QV
