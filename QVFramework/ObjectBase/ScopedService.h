#pragma once
// A process-wide service (the application, the message-box host) lives behind
// one pointer its getter reads. A scoped service installs one for its own
// lifetime and puts back the one before at its end, so a test or a nested
// start-up never leaves a dangling service behind. UI thread only.
#include <utility>

namespace QV {

template <class Service>
class ScopedService {
public:
    ScopedService(Service*& slot, Service& service) : mSlot(slot), mPrevious(std::exchange(slot, &service)) {}
    ~ScopedService() { mSlot = mPrevious; }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    Service*& mSlot;
    Service* mPrevious;
};

}  // namespace QV
