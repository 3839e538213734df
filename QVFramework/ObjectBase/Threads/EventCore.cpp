#include "EventCore.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>

#include "WaitResult.h"

namespace QV {

// One thread's pending wait. `fired` is decided exactly once under `mutex`:
// the index of the event that released it, or kGaveUp after a timeout, so a
// signal is never handed to a waiter that has stopped waiting.
struct EventCore::Waiter {
    static constexpr int kPending = -1;
    static constexpr int kGaveUp = -2;
    std::mutex mutex;
    std::condition_variable wake;
    int fired = kPending;
};

bool EventCore::TryConsume(Waiter& waiter, int index)
{
    std::lock_guard<std::mutex> lock(waiter.mutex);
    if (waiter.fired != Waiter::kPending) return false;
    waiter.fired = index;
    if (mAutoReset) mSignalled = false;
    waiter.wake.notify_one();
    return true;
}

void EventCore::Set()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSignalled = true;
    for (const Entry& entry : mWaiters) {
        if (TryConsume(*entry.waiter, entry.index) && mAutoReset) break;
    }
}

void EventCore::Reset()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSignalled = false;
}

void EventCore::Unregister(const Waiter& waiter)
{
    std::lock_guard<std::mutex> lock(mMutex);
    std::erase_if(mWaiters, [&](const Entry& e) { return e.waiter == &waiter; });
}

int EventCore::WaitForAny(EventCore* const* events, size_t count, uint32_t timeoutMs)
{
    if (count == 0 || events == nullptr) return -2;
    for (size_t i = 0; i < count; ++i) {
        if (events[i] == nullptr) return -2;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);

    Waiter waiter;
    size_t registered = 0;
    for (; registered < count; ++registered) {
        EventCore& event = *events[registered];
        std::lock_guard<std::mutex> lock(event.mMutex);
        if (event.mSignalled) {
            event.TryConsume(waiter, static_cast<int>(registered));
            break;
        }
        event.mWaiters.push_back({&waiter, static_cast<int>(registered)});
    }

    {
        std::unique_lock<std::mutex> lock(waiter.mutex);
        const auto released = [&] { return waiter.fired != Waiter::kPending; };
        if (timeoutMs == kWaitInfinite) {
            waiter.wake.wait(lock, released);
        } else if (!waiter.wake.wait_until(lock, deadline, released)) {
            waiter.fired = Waiter::kGaveUp;
        }
    }
    for (size_t i = 0; i < registered; ++i) events[i]->Unregister(waiter);
    return waiter.fired == Waiter::kGaveUp ? -1 : waiter.fired;
}

}  // namespace QV
