#pragma once
// The synchronisation object behind every framework event: a signalled flag,
// auto- or manual-reset, that one thread can wait for together with others.
// Waiters register with each event they wait for, so a Set wakes exactly the
// waiters concerned and nobody polls. A Set wakes them once it has let go of
// every lock: a woken thread that ran at once would otherwise block on it.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace QV {

class EventCore {
public:
    explicit EventCore(bool autoReset) : mAutoReset(autoReset) {}
    EventCore(const EventCore&) = delete;
    EventCore& operator=(const EventCore&) = delete;

    // An auto-reset event hands its signal to one waiter, if any is waiting.
    void Set();
    void Reset();

    // Waits until one of the events is signalled and consumes that signal when
    // the event is auto-reset. Returns its index (the lowest of those already
    // signalled on entry), -1 on timeout, -2 when an event is missing.
    static int WaitForAny(EventCore* const* events, size_t count, uint32_t timeoutMs);

    // Threads inside a wait on this event at this moment.
    std::atomic<int32_t>& WaiterCount() { return mWaiterCount; }

private:
    struct Waiter;
    struct Entry {
        std::shared_ptr<Waiter> waiter;  // kept alive for a wake after the locks
        int index;
    };

    bool TryConsume(Waiter& waiter, int index);  // under mMutex; the caller wakes it
    void Unregister(const Waiter& waiter);

    const bool mAutoReset;
    std::mutex mMutex;
    bool mSignalled = false;
    std::vector<Entry> mWaiters;
    std::atomic<int32_t> mWaiterCount{0};
};

}  // namespace QV
