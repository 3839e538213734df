#pragma once
// A thread that runs one job per trigger: a worker with its parameters, at
// the priority given, optionally telling the job's end through a done event.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "LEvent.h"
#include "LThreadWorker.h"
#include "RefCountedObject.h"
#include "StringT.h"
#include "Thread.h"

namespace QV {

class RetriggerableThreader : public IStringable {
public:
    static constexpr uint32_t kStopTimeoutMs = 60000;

    explicit RetriggerableThreader(const String& name = String());
    ~RetriggerableThreader() override;
    RetriggerableThreader(const RetriggerableThreader&) = delete;
    RetriggerableThreader& operator=(const RetriggerableThreader&) = delete;

    // 0 when the job was started; E_FAIL when refused (stopping, busy, or the
    // wake-up failed), in which case nothing runs.
    [[nodiscard]] QVResult Trigger(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& parameters,
                                   int32_t priority);
    // As Trigger; resets doneEvent first and sets it once the job has run.
    [[nodiscard]] QVResult TriggerWithDoneEvent(const RCPtr<LThreadWorker>& worker,
                                                const RCPtr<LRefCountedObject>& parameters,
                                                const RCPtr<LEvent>& doneEvent, int32_t priority);

    // True while a job is running; a busy flag left by a thread that has
    // ended is cleared here. Only the triggering side calls this.
    bool IsBusy();

    // Stops the thread after its current job and waits up to timeoutMs for it.
    // Only the first call off the thread itself waits; returns whether the thread has ended. When it
    // has not, the job's worker, parameters and done event stay with the thread.
    bool Stop(uint32_t timeoutMs = kStopTimeoutMs);

    String ToString() const override;
    void SetName(const String& name);

private:
    struct State;
    static uint32_t Body(void* argument);
    bool EnsureThread();
    [[nodiscard]] QVResult Start(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& parameters,
                                 const RCPtr<LEvent>* doneEvent, int32_t priority);

    std::shared_ptr<State> mState;  // shared with the thread, which may outlive this object
    std::mutex mThreadLock;           // guards making mThread against a stop
    std::unique_ptr<Thread> mThread;  // made by the first trigger
    std::atomic<bool> mStopWaited{false};  // a later Stop does not wait again
    std::atomic<bool> mThreadEnded{false};
    mutable std::mutex mNameLock;
    String mName;
};

}  // namespace QV
