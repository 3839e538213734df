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
    {
        std::lock_guard<std::mutex> lock(waiter.mutex);
        if (waiter.fired != Waiter::kPending) return false;
        waiter.fired = index;
    }
    if (mAutoReset) mSignalled = false;
    return true;
}

void EventCore::Set()
{
    std::vector<std::shared_ptr<Waiter>> released;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mSignalled = true;
        for (const Entry& entry : mWaiters) {
            if (!TryConsume(*entry.waiter, entry.index)) continue;
            released.push_back(entry.waiter);
            if (mAutoReset) break;
        }
    }
    for (const std::shared_ptr<Waiter>& waiter : released) waiter->wake.notify_one();
}

void EventCore::Reset()
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSignalled = false;
}

void EventCore::Unregister(const Waiter& waiter)
{
    std::lock_guard<std::mutex> lock(mMutex);
    std::erase_if(mWaiters, [&](const Entry& e) { return e.waiter.get() == &waiter; });
}

int EventCore::WaitForAny(EventCore* const* events, size_t count, uint32_t timeoutMs)
{
    if (count == 0 || events == nullptr) return -2;
    for (size_t i = 0; i < count; ++i) {
        if (events[i] == nullptr) return -2;
    }
    // Only a test: a wait whose deadline has passed would still put the
    // thread to sleep until the next timer tick.
    if (timeoutMs == 0) {
        for (size_t i = 0; i < count; ++i) {
            EventCore& event = *events[i];
            std::lock_guard<std::mutex> lock(event.mMutex);
            if (!event.mSignalled) continue;
            if (event.mAutoReset) event.mSignalled = false;
            return static_cast<int>(i);
        }
        return -1;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);

    const auto shared = std::make_shared<Waiter>();
    Waiter& waiter = *shared;
    size_t registered = 0;
    for (; registered < count; ++registered) {
        EventCore& event = *events[registered];
        std::lock_guard<std::mutex> lock(event.mMutex);
        if (event.mSignalled) {
            event.TryConsume(waiter, static_cast<int>(registered));
            break;
        }
        event.mWaiters.push_back({shared, static_cast<int>(registered)});
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
