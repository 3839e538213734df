#include "RetriggerableThreader.h"

#include <atomic>
#include <exception>
#include <string>

#include "Event.h"
#include "ThreadFaultLog.h"

namespace QV {

// The members the thread reads. The triggering side writes the job only while
// busy is false; the thread reads and clears it only while busy is true.
struct RetriggerableThreader::State {
    Event startEvent{true};
    std::atomic<bool> busy{false};
    std::atomic<bool> stopping{false};
    RCPtr<LEvent> doneEvent;
    RCPtr<LThreadWorker> worker;
    RCPtr<LRefCountedObject> parameters;
};

namespace {

void RunJob(LThreadWorker& worker, RCPtr<LRefCountedObject>& parameters)
{
    try {
        (void)worker.Run(parameters);  // a job reports its own outcome
    } catch (const std::exception& e) {
        LogThreadFault(std::string("Unhandled exception in a threader's job: ") + e.what());
    } catch (...) {
        LogThreadFault("Unhandled exception in a threader's job");
    }
}

}  // namespace

uint32_t RetriggerableThreader::Body(void* argument)
{
    const std::shared_ptr<State> state = std::move(*static_cast<std::shared_ptr<State>*>(argument));
    delete static_cast<std::shared_ptr<State>*>(argument);
    State& s = *state;
    while (!s.stopping.load(std::memory_order_acquire)) {
        if (s.startEvent.Wait(kWaitInfinite) != kWaitSignalled) break;
        // A wake-up without a job is the stop.
        if (!s.busy.load(std::memory_order_acquire)) continue;
        if (!s.stopping.load(std::memory_order_acquire) && s.worker) RunJob(*s.worker, s.parameters);
        s.parameters.Reset();
        s.worker.Reset();
        RCPtr<LEvent> done = std::move(s.doneEvent);
        s.busy.store(false, std::memory_order_release);
        if (done) done->Set();
    }
    return 0;
}

RetriggerableThreader::RetriggerableThreader(const String& name) : mState(std::make_shared<State>()), mName(name) {}

// The thread starts with the first job: a threader never triggered (a pool's
// queue threader with a free worker, most often) costs no thread.
bool RetriggerableThreader::EnsureThread()
{
    std::lock_guard<std::mutex> lock(mThreadLock);
    if (mThread) return mThread->IsValid();
    // A stop that came first waits for no thread: none may start after it.
    if (mState->stopping.load(std::memory_order_acquire)) return false;
    auto* argument = new std::shared_ptr<State>(mState);
    mThread = std::make_unique<Thread>(&Body, argument);
    mThread->SetPriorityBoost(false);
    if (mThread->Resume() == kWaitFailed) delete argument;  // the body never ran
    return mThread->IsValid();
}

RetriggerableThreader::~RetriggerableThreader() { Stop(); }

bool RetriggerableThreader::IsBusy()
{
    if (!mState->busy.load(std::memory_order_acquire)) return false;
    if (!mThread || mThread->HasExited()) {
        mState->busy.store(false, std::memory_order_release);
        return false;
    }
    return true;
}

QVResult RetriggerableThreader::Start(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& parameters,
                                      const RCPtr<LEvent>* doneEvent, int32_t priority)
{
    State& s = *mState;
    // A thread that could not be created would never run the job.
    if (s.stopping.load(std::memory_order_acquire) || !EnsureThread()) return E_FAIL;
    if (IsBusy()) return E_FAIL;
    mThread->SetPriority(priority);
    s.worker = worker;
    s.parameters = parameters;
    if (doneEvent) {
        s.doneEvent = *doneEvent;
        if (s.doneEvent) s.doneEvent->Reset();
    } else {
        s.doneEvent.Reset();
    }
    s.busy.store(true, std::memory_order_release);
    return s.startEvent.Set() ? S_OK : E_FAIL;
}

QVResult RetriggerableThreader::Trigger(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& parameters,
                                        int32_t priority)
{
    return Start(worker, parameters, nullptr, priority);
}

QVResult RetriggerableThreader::TriggerWithDoneEvent(const RCPtr<LThreadWorker>& worker,
                                                     const RCPtr<LRefCountedObject>& parameters,
                                                     const RCPtr<LEvent>& doneEvent, int32_t priority)
{
    return Start(worker, parameters, &doneEvent, priority);
}

bool RetriggerableThreader::Stop(uint32_t timeoutMs)
{
    mState->stopping.store(true, std::memory_order_release);
    mState->startEvent.Set();
    if (mStopWaited) return mThreadEnded;
    {
        std::lock_guard<std::mutex> lock(mThreadLock);
        // Stopped from its own job: the thread ends by itself after the job.
        if (mThread && mThread->IsCurrentThread()) return false;
    }
    mStopWaited = true;
    mThreadEnded = !mThread || !mThread->IsValid() || mThread->WaitForExit(timeoutMs);
    if (!mThreadEnded) {
        LogThreadFault("RetriggerableThreader: the thread did not end in time and is left running");
        return false;
    }
    mState->parameters.Reset();
    mState->worker.Reset();
    mState->doneEvent.Reset();
    return true;
}

String RetriggerableThreader::ToString() const
{
    std::lock_guard<std::mutex> lock(mNameLock);
    return mName;
}

void RetriggerableThreader::SetName(const String& name)
{
    std::lock_guard<std::mutex> lock(mNameLock);
    mName = name;
}

}  // namespace QV
