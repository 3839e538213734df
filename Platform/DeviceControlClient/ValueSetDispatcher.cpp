#include "ValueSetDispatcher.h"

#include <chrono>
#include <utility>

namespace DeviceControlClient {

ValueSetDispatcher::~ValueSetDispatcher() { Stop(); }

void ValueSetDispatcher::Post(uint64_t connection, DVCL_ValueSetCallback callback, void* context,
                              const QV::ParamValues& values)
{
    if (!callback) return;
    std::lock_guard lock(mLock);
    if (!mThread.joinable()) {
        mStopping = false;
        mThread = std::thread([this] { Run(); });
    }
    Item& item = mQueue.emplace_back();
    item.connection = connection;
    item.callback = callback;
    item.context = context;
    item.values.Assign(values);
    mWake.notify_one();
}

template <class Match>
void ValueSetDispatcher::CancelWhere(Match match)
{
    std::unique_lock lock(mLock);
    std::erase_if(mQueue, [&](const Item& item) { return match(item.connection); });
    // From inside a callback the caller is that callback: it ends on return.
    if (OnOwnThread()) return;
    mIdle.wait(lock, [&] { return !mDelivering || !match(mDeliveringConnection); });
}

void ValueSetDispatcher::Cancel(uint64_t connection)
{
    CancelWhere([connection](uint64_t c) { return c == connection; });
}

void ValueSetDispatcher::CancelAll()
{
    CancelWhere([](uint64_t) { return true; });
}

void ValueSetDispatcher::Stop()
{
    CancelAll();
    std::thread thread;
    {
        std::lock_guard lock(mLock);
        mStopping = true;
        thread = std::move(mThread);
        mWake.notify_all();
    }
    if (!thread.joinable()) return;
    if (thread.get_id() == std::this_thread::get_id()) {
        thread.detach();  // ends once the running callback returns
    } else {
        thread.join();
    }
}

void ValueSetDispatcher::SetBlocked(bool blocked)
{
    std::lock_guard lock(mLock);
    mBlocked = blocked;
    mWake.notify_all();
}

bool ValueSetDispatcher::WaitUntilIdle(uint32_t timeoutMs)
{
    std::unique_lock lock(mLock);
    return mIdle.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return mQueue.empty() && !mDelivering; });
}

uint32_t ValueSetDispatcher::GetQueuedCount() const
{
    std::lock_guard lock(mLock);
    return static_cast<uint32_t>(mQueue.size());
}

void ValueSetDispatcher::Run()
{
    std::unique_lock lock(mLock);
    for (;;) {
        mWake.wait(lock, [this] { return mStopping || (!mBlocked && !mQueue.empty()); });
        if (mStopping) break;
        Item item = std::move(mQueue.front());
        mQueue.pop_front();
        mDelivering = true;
        mDeliveringConnection = item.connection;
        lock.unlock();
        item.callback(item.context, 0, &item.values);
        lock.lock();
        mDelivering = false;
        mIdle.notify_all();
    }
    mDelivering = false;
    mIdle.notify_all();
}

}  // namespace DeviceControlClient
