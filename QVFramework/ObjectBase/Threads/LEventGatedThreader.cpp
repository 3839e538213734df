#include "LEventGatedThreader.h"

#include <atomic>
#include <exception>
#include <string>

#include "ThreadFaultLog.h"
#include "WaitResult.h"

namespace QV {

struct LEventGatedThreader::State {
    RCPtr<LEvent> event;
    std::atomic<bool> stop{false};
    RCPtr<LThreadWorker> worker;
    RCPtr<LRefCountedObject> parameters;
};

uint32_t LEventGatedThreader::Body(void* argument)
{
    const std::shared_ptr<State> state = std::move(*static_cast<std::shared_ptr<State>*>(argument));
    delete static_cast<std::shared_ptr<State>*>(argument);
    State& s = *state;
    if (!s.event) return 0;
    while (!s.stop.load(std::memory_order_acquire)) {
        if (s.event->Wait(kWaitInfinite) != kWaitSignalled) break;
        if (s.stop.load(std::memory_order_acquire)) break;
        if (!s.worker) continue;
        try {
            (void)s.worker->Run(s.parameters);  // a job reports its own outcome
        } catch (const std::exception& e) {
            LogThreadFault(std::string("Unhandled exception in a gated threader's worker: ") + e.what());
        } catch (...) {
            LogThreadFault("Unhandled exception in a gated threader's worker");
        }
    }
    return 0;
}

LEventGatedThreader::LEventGatedThreader(const RCPtr<LEvent>& event, const RCPtr<LThreadWorker>& worker,
                                         const RCPtr<LRefCountedObject>& parameters, int32_t priority)
    : mState(std::make_shared<State>())
{
    mState->event = event;
    mState->worker = worker;
    mState->parameters = parameters;
    auto* argument = new std::shared_ptr<State>(mState);
    mThread = std::make_unique<Thread>(&Body, argument);
    mThread->SetPriority(priority);
    mThread->SetPriorityBoost(false);
    if (mThread->Resume() == kWaitFailed) delete argument;  // the body never ran
}

LEventGatedThreader::~LEventGatedThreader() { Stop(); }

bool LEventGatedThreader::Stop(uint32_t timeoutMs)
{
    mState->stop.store(true, std::memory_order_release);
    if (mState->event) mState->event->Set();
    if (mStopWaited) return mThreadEnded;
    // Released from its own worker: the thread ends by itself after this run.
    if (mThread->IsCurrentThread()) return false;
    mStopWaited = true;
    mThreadEnded = !mThread->IsValid() || mThread->WaitForExit(timeoutMs);
    if (!mThreadEnded) {
        LogThreadFault("LEventGatedThreader: the thread did not end in time and is left running");
        return false;
    }
    mState->worker.Reset();
    mState->parameters.Reset();
    mState->event.Reset();
    return true;
}

}  // namespace QV
