#pragma once
// The owned synchronisation object shared by Event and LEvent, with the
// wait that both offer.
#include <cstdint>
#include <memory>

#include "EventCore.h"

namespace QV {

using EventHandle = EventCore*;

class EventHandleHolder {
public:
    explicit EventHandleHolder(bool autoReset);

    bool Set();
    bool Reset();
    // 0 signalled, 258 timed out, 0xFFFFFFFF failed.
    uint32_t Wait(uint32_t timeoutMs);
    EventHandle Get() const { return mCore.get(); }

private:
    std::unique_ptr<EventCore> mCore;  // null when creation failed
};

}  // namespace QV
