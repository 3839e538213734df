#pragma once
// A counted auto-reset event, shared through RCPtr<LEvent>.
#include <cstdint>

#include "EventHandleHolder.h"
#include "RCPtr.h"
#include "RefCountedObject.h"
#include "WaitResult.h"

namespace QV {

class LEvent : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LEvent")

public:
    LEvent() : mHandle(true) {}

    // The argument is kept for callers that pass one; the event is always auto-reset.
    static RCPtr<LEvent> Create(bool autoReset = true);

    bool Set() { return mHandle.Set(); }
    bool Reset() { return mHandle.Reset(); }
    uint32_t Wait(uint32_t timeoutMs) { return mHandle.Wait(timeoutMs); }
    EventHandle GetHandle() const { return mHandle.Get(); }

private:
    EventHandleHolder mHandle;
};

}  // namespace QV
