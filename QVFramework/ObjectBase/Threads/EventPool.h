#pragma once
// A fixed set of counted auto-reset events and a wait for any one of them.
#include <atomic>
#include <cstdint>
#include <vector>

#include "LEvent.h"
#include "WaitResult.h"

namespace QV {

class EventPool {
public:
    explicit EventPool(uint32_t count);
    virtual ~EventPool() = default;
    EventPool(const EventPool&) = delete;
    EventPool& operator=(const EventPool&) = delete;

    uint32_t GetCount() const { return static_cast<uint32_t>(mEvents.size()); }
    // index must be below GetCount().
    const RCPtr<LEvent>& GetEvent(uint32_t index) const { return mEvents[index]; }
    // The index of the signalled event (the lowest when several are), whose
    // signal the wait consumes; -1 on timeout or failure.
    int32_t WaitForAny(uint32_t timeoutMs);

private:
    std::vector<RCPtr<LEvent>> mEvents;
    std::vector<EventHandle> mHandles;
    std::atomic<int32_t> mWaiterCount{0};
};

}  // namespace QV
