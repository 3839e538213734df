#pragma once
// A thread that runs its one worker each time its event is set, until it is
// destroyed. Several sets before the thread wakes give one run.
#include <atomic>
#include <cstdint>
#include <memory>

#include "LEvent.h"
#include "LThreadWorker.h"
#include "RCPtr.h"
#include "RefCountedObject.h"
#include "Thread.h"

namespace QV {

class LEventGatedThreader : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LEventGatedThreader")

public:
    static constexpr uint32_t kStopTimeoutMs = 60000;

    LEventGatedThreader(const RCPtr<LEvent>& event, const RCPtr<LThreadWorker>& worker,
                        const RCPtr<LRefCountedObject>& parameters, int32_t priority);
    ~LEventGatedThreader() override;

    // Ends the thread after its current run and waits up to timeoutMs for it.
    // Only the first call off the thread itself waits; returns whether the thread has ended. When it
    // has not, the worker, parameters and event stay with the thread.
    bool Stop(uint32_t timeoutMs = kStopTimeoutMs);

private:
    struct State;
    static uint32_t Body(void* argument);

    std::shared_ptr<State> mState;  // shared with the thread, which may outlive this object
    std::unique_ptr<Thread> mThread;
    std::atomic<bool> mStopWaited{false};  // a later Stop does not wait again
    std::atomic<bool> mThreadEnded{false};
};

}  // namespace QV
