#pragma once
// The library's own thread: hands queued value sets to the connected
// client's callback, one at a time, in the order they were queued.
// Nothing is ever delivered on the thread that queued it, and once Cancel
// or Stop has returned no callback of that connection runs any more.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "DeviceControlClientApi.h"

namespace DeviceControlClient {

class ValueSetDispatcher {
public:
    ValueSetDispatcher() = default;
    ~ValueSetDispatcher();

    ValueSetDispatcher(const ValueSetDispatcher&) = delete;
    ValueSetDispatcher& operator=(const ValueSetDispatcher&) = delete;

    // Queues a value set for the callback of one connection (named by the
    // caller's number); the thread starts on first use.
    void Post(uint64_t connection, DVCL_ValueSetCallback callback, void* context,
              const QV::ParamValues& values);
    // Drops the connection's queued sets and waits for its callback in
    // progress, unless called from inside that callback.
    void Cancel(uint64_t connection);
    // The same for every connection.
    void CancelAll();
    // CancelAll, then end the thread. Post starts it again.
    void Stop();

    // While blocked the thread holds back queued sets (they stay queued).
    void SetBlocked(bool blocked);
    // Waits until nothing is queued and no callback runs; false on time-out.
    // Held-back sets count as queued.
    bool WaitUntilIdle(uint32_t timeoutMs);
    uint32_t GetQueuedCount() const;

private:
    struct Item {
        uint64_t connection = 0;
        DVCL_ValueSetCallback callback = nullptr;
        void* context = nullptr;
        QV::ParamValues values;
    };

    void Run();
    // Drops matching sets and waits for a matching callback in progress.
    template <class Match>
    void CancelWhere(Match match);
    bool OnOwnThread() const { return std::this_thread::get_id() == mThread.get_id(); }

    mutable std::mutex mLock;
    std::condition_variable mWake;
    std::condition_variable mIdle;
    std::deque<Item> mQueue;
    bool mDelivering = false;
    uint64_t mDeliveringConnection = 0;
    bool mBlocked = false;
    bool mStopping = false;
    std::thread mThread;
};

}  // namespace DeviceControlClient
