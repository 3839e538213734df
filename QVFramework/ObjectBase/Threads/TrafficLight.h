#pragma once
// A manual-reset event used as a gate: open (set) lets every waiter pass.
#include "Event.h"

namespace QV {

class TrafficLight : public Event {
public:
    TrafficLight() : Event(false) {}

    // Non-zero on success.
    int Set() { return Event::Set() ? 1 : 0; }
    int Reset() { return Event::Reset() ? 1 : 0; }
    // A failed test counts as open.
    bool IsSet() { return Wait(0) != kWaitTimeout; }
};

}  // namespace QV
