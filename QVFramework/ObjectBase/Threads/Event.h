#pragma once
// An unnamed event, auto- or manual-reset, created not signalled.
#include <cstdint>

#include "EventHandleHolder.h"
#include "WaitResult.h"

namespace QV {

class Event {
public:
    explicit Event(bool autoReset) : mHandle(autoReset) {}
    virtual ~Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    bool Set() { return mHandle.Set(); }
    bool Reset() { return mHandle.Reset(); }
    // 0 signalled, 258 timed out, 0xFFFFFFFF failed; kWaitInfinite waits without limit.
    uint32_t Wait(uint32_t timeoutMs) { return mHandle.Wait(timeoutMs); }
    EventHandle GetHandle() const { return mHandle.Get(); }

private:
    EventHandleHolder mHandle;
};

}  // namespace QV
