#include "LThreadPool.h"

#include <algorithm>

#include "ReuseAllocator.h"
#include "WaitResult.h"

namespace QV {
namespace {

ReuseAllocator<LThreadPool::LWorkerParams, 1>& WorkerParamsAllocator()
{
    static ReuseAllocator<LThreadPool::LWorkerParams, 1> allocator(true);
    return allocator;
}

}  // namespace

RCPtr<LThreadPool::LWorkerParams> LThreadPool::LWorkerParams::Create(const RCPtr<LThreadWorker>& worker,
                                                                     const RCPtr<LRefCountedObject>& parameters,
                                                                     int32_t priority)
{
    return RCPtr<LWorkerParams>(new LWorkerParams(worker, parameters, priority));
}

void* LThreadPool::LWorkerParams::operator new(std::size_t size) { return WorkerParamsAllocator().Allocate(size); }

void LThreadPool::LWorkerParams::operator delete(void* block) { WorkerParamsAllocator().Free(block); }

RCPtr<LThreadPool> LThreadPool::Create(int32_t workerCount, int32_t priority)
{
    return RCPtr<LThreadPool>(new LThreadPool(workerCount, priority));
}

LThreadPool::LThreadPool(int32_t workerCount, int32_t priority)
    : mWorkerCount(std::max(workerCount, 0)),
      mThreaderCount(std::max(workerCount, 0)),
      mWorkerThreaders(new RetriggerableThreader[mThreaderCount]),
      mWorkerEvents(static_cast<uint32_t>(mThreaderCount) + 1),
      mQueueThreader(String(u"LThreadPool::mQueueThreader")),
      mQueueDoneEvent(LEvent::Create()),
      mPriority(priority)
{
    mQueueDoneEvent->Set();
    WorkerParamsAllocator();  // made before any pool, so destroyed after every pool
}

LThreadPool::~LThreadPool() { Shutdown(); }

bool LThreadPool::TriggerWorker(int32_t index, const RCPtr<LThreadWorker>& worker,
                                const RCPtr<LRefCountedObject>& parameters, int32_t priority)
{
    RetriggerableThreader& threader = mWorkerThreaders[index];
    threader.SetName(worker ? worker->ToString() : String());
    const RCPtr<LEvent>& done = mWorkerEvents.GetEvent(static_cast<uint32_t>(index));
    return Succeeded(threader.TriggerWithDoneEvent(worker, parameters, done, priority));
}

int32_t LThreadPool::RunOnFreeWorker(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& parameters,
                                     int32_t priority)
{
    for (int32_t i = 0; i < mWorkerCount.load(std::memory_order_acquire) && i < mThreaderCount; ++i) {
        Mutex::Lock lock(mQueueLock);
        // A single worker never lets a new job overtake queued ones.
        if (!mQueue.empty() && mWorkerCount.load(std::memory_order_acquire) == 1) return -1;
        if (mWorkerThreaders[i].IsBusy()) continue;
        if (TriggerWorker(i, worker, parameters, priority)) return i;
    }
    return -1;
}

void LThreadPool::QueueWork(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& parameters,
                            int32_t priority)
{
    if (RunOnFreeWorker(worker, parameters, priority) >= 0) return;
    if (mWorkerCount.load(std::memory_order_acquire) <= 0) return;
    RCPtr<LWorkerParams> job = LWorkerParams::Create(worker, parameters, priority);

    Mutex::Lock lock(mQueueLock);
    // Shutdown may have emptied the queue since the test above.
    if (mWorkerCount.load(std::memory_order_acquire) <= 0) return;
    const bool wasEmpty = mQueue.empty();
    const auto at = std::find_if(mQueue.begin(), mQueue.end(),
                                 [&](const RCPtr<LWorkerParams>& queued) { return queued->priority >= priority; });
    mQueue.insert(at, std::move(job));
    if (!wasEmpty) return;  // the running queue run takes it in its turn

    // The previous queue run has ended once its done event is set.
    mQueueDoneEvent->Wait(kWaitInfinite);
    const RCPtr<LThreadWorker> self(this);
    if (Failed(mQueueThreader.TriggerWithDoneEvent(self, RCPtr<LRefCountedObject>(this), mQueueDoneEvent, mPriority))) {
        // Only a stopping queue thread refuses: nobody would run the queue.
        mQueue.clear();
        mQueueDoneEvent->Set();
    }
}

QVResult LThreadPool::Run(RCPtr<LRefCountedObject>& /*parameters*/)
{
    for (;;) {
        const int32_t index = mWorkerEvents.WaitForAny(kWaitInfinite);
        // A failed wait names no worker; the shutdown event ends the run.
        if (index < 0 || index >= mThreaderCount || mShuttingDown.load(std::memory_order_acquire)) return S_OK;

        Mutex::Lock lock(mQueueLock);
        if (mQueue.empty()) return S_OK;
        if (mWorkerThreaders[index].IsBusy()) continue;
        const RCPtr<LWorkerParams> job = std::move(mQueue.back());
        mQueue.pop_back();
        TriggerWorker(index, job->worker, job->parameters, job->priority);  // a refused job is dropped
        if (mQueue.empty()) return S_OK;
    }
}

void LThreadPool::Shutdown()
{
    mWorkerCount.store(0, std::memory_order_release);
    std::vector<RCPtr<LWorkerParams>> dropped;
    {
        Mutex::Lock lock(mQueueLock);
        dropped.swap(mQueue);
    }
    dropped.clear();  // outside the lock: a job's parameters may do anything when released
    // The queue run may be waiting for a worker that never comes free.
    mShuttingDown.store(true, std::memory_order_release);
    mWorkerEvents.GetEvent(static_cast<uint32_t>(mThreaderCount))->Set();
    mQueueThreader.Stop();
    for (int32_t i = mThreaderCount; i > 0; --i) mWorkerThreaders[i - 1].Stop();
}

}  // namespace QV
