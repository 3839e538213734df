#pragma once
// A fixed set of worker threads fed from a priority-ordered queue: the
// highest priority first and, among equal priorities, the earliest queued.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "EventPool.h"
#include "LEvent.h"
#include "LThreadWorker.h"
#include "Mutex.h"
#include "RCPtr.h"
#include "RetriggerableThreader.h"

namespace QV {

class LThreadPool : public LThreadWorker {
    QV_TYPE_NAME("class QV::LThreadPool")

public:
    // One waiting job. Its storage comes from one process-wide reuse allocator.
    class LWorkerParams : public LRefCountedObject {
        QV_TYPE_NAME("class QV::LThreadPool::LWorkerParams")

    public:
        static RCPtr<LWorkerParams> Create(const RCPtr<LThreadWorker>& worker,
                                           const RCPtr<LRefCountedObject>& parameters, int32_t priority);

        static void* operator new(std::size_t size);
        static void operator delete(void* block);

        RCPtr<LThreadWorker> worker;
        RCPtr<LRefCountedObject> parameters;
        int32_t priority;

    private:
        LWorkerParams(const RCPtr<LThreadWorker>& w, const RCPtr<LRefCountedObject>& p, int32_t prio)
            : worker(w), parameters(p), priority(prio)
        {
        }
    };

    // priority is the thread priority of the queue thread's runs.
    static RCPtr<LThreadPool> Create(int32_t workerCount, int32_t priority);
    ~LThreadPool() override;

    // Runs the job at once on a free worker or queues it; after Shutdown the
    // job is dropped.
    void QueueWork(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& parameters,
                   int32_t priority);
    // The index of the worker that took the job, or -1.
    [[nodiscard]] int32_t RunOnFreeWorker(const RCPtr<LThreadWorker>& worker,
                                          const RCPtr<LRefCountedObject>& parameters, int32_t priority);
    // The queue thread's job: hands queued jobs to workers as they come free.
    [[nodiscard]] QVResult Run(RCPtr<LRefCountedObject>& parameters) override;
    void Shutdown();

private:
    LThreadPool(int32_t workerCount, int32_t priority);

    bool TriggerWorker(int32_t index, const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& parameters,
                       int32_t priority);

    std::atomic<int32_t> mWorkerCount;
    const int32_t mThreaderCount;  // the array's length, kept after shutdown
    std::unique_ptr<RetriggerableThreader[]> mWorkerThreaders;
    // One done event per worker, then one more that ends a queue run at shutdown.
    EventPool mWorkerEvents;
    RetriggerableThreader mQueueThreader;
    RCPtr<LEvent> mQueueDoneEvent;
    std::vector<RCPtr<LWorkerParams>> mQueue;  // ascending priority
    Mutex mQueueLock;
    const int32_t mPriority;
    std::atomic<bool> mShuttingDown{false};
};

}  // namespace QV
