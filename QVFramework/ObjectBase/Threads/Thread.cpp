#include "Thread.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>

#include "ThreadFaultLog.h"
#include "WaitResult.h"

namespace QV {

// Shared by the object and its thread, so either may go first.
struct Thread::Control {
    std::mutex mutex;
    std::condition_variable changed;
    bool resumed = false;
    bool abandoned = false;  // the object went away before Resume
    bool exited = false;
};

void Thread::Entry(std::shared_ptr<Control> control, StartRoutine routine, void* argument)
{
    bool run;
    {
        std::unique_lock<std::mutex> lock(control->mutex);
        control->changed.wait(lock, [&] { return control->resumed || control->abandoned; });
        run = control->resumed;
    }
    if (run) {
        try {
            routine(argument);
        } catch (const std::exception& e) {
            LogThreadFault(std::string("Unhandled exception ended a thread: ") + e.what());
        } catch (...) {
            LogThreadFault("Unhandled exception ended a thread");
        }
    }
    std::lock_guard<std::mutex> lock(control->mutex);
    control->exited = true;
    control->changed.notify_all();
}

Thread::Thread(StartRoutine routine, void* argument)
{
    if (routine == nullptr) return;
    try {
        auto control = std::make_shared<Control>();
        mThread = std::thread(&Thread::Entry, control, routine, argument);
        mId = mThread.get_id();
        mControl = std::move(control);
    } catch (const std::exception&) {
        // Left without a thread: every later operation reports failure.
    }
}

Thread::~Thread()
{
    if (!mControl) return;
    bool finishing;
    {
        std::lock_guard<std::mutex> lock(mControl->mutex);
        // A thread never resumed would wait forever: let it end without running.
        if (!mControl->resumed) {
            mControl->abandoned = true;
            mControl->changed.notify_all();
        }
        finishing = mControl->exited || mControl->abandoned;
    }
    if (finishing && !IsCurrentThread()) {
        mThread.join();
    } else {
        mThread.detach();
    }
}

uint32_t Thread::Resume()
{
    if (!mControl) return kWaitFailed;
    std::lock_guard<std::mutex> lock(mControl->mutex);
    const uint32_t previous = mControl->resumed ? 0 : 1;
    mControl->resumed = true;
    mControl->changed.notify_all();
    return previous;
}

bool Thread::SetPriority(int32_t /*priority*/) { return mControl != nullptr; }

bool Thread::SetPriorityBoost(bool /*enable*/) { return mControl != nullptr; }

bool Thread::HasExited() const { return WaitForExit(0); }

bool Thread::WaitForExit(uint32_t timeoutMs) const
{
    if (!mControl) return false;
    std::unique_lock<std::mutex> lock(mControl->mutex);
    // A wait whose deadline has passed would still sleep until the next timer tick.
    if (timeoutMs == 0) return mControl->exited;
    const auto exited = [&] { return mControl->exited; };
    if (timeoutMs == kWaitInfinite) {
        mControl->changed.wait(lock, exited);
        return true;
    }
    return mControl->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), exited);
}

bool Thread::IsCurrentThread() const { return mControl && std::this_thread::get_id() == mId; }

}  // namespace QV
