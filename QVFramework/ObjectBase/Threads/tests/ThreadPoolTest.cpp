#include "LThreadPool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "Eventually.h"
#include "TestWorkers.h"

namespace QV {
namespace {

using testing::RecordingWorker;
using testing::RunLog;
using Names = std::vector<std::string>;

class Parameter : public LRefCountedObject {
    QV_TYPE_NAME("class QV::Parameter")
};

class ThreadPoolTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        mGate.Set();
        mSecondGate.Set();
    }

    RCPtr<RecordingWorker> Worker(const std::string& name, TrafficLight* gate = nullptr)
    {
        return RCPtr<RecordingWorker>(new RecordingWorker(mLog, name, gate));
    }

    RCPtr<RunLog> mLog{new RunLog};
    TrafficLight mGate;
    TrafficLight mSecondGate;
};

TEST_F(ThreadPoolTest, OneBusyWorkerRunsQueuedJobsByPriorityThenInQueuedOrder)
{
    RCPtr<LThreadPool> pool = LThreadPool::Create(1, 2);
    RCPtr<RecordingWorker> busy = Worker("busy", &mGate);
    pool->QueueWork(busy, nullptr, 0);
    ASSERT_TRUE(busy->WaitEntered());

    pool->QueueWork(Worker("P0a"), nullptr, 0);
    pool->QueueWork(Worker("P0b"), nullptr, 0);
    pool->QueueWork(Worker("P5"), nullptr, 5);
    mGate.Set();
    ASSERT_EVENTUALLY(mLog->Count() >= 4);
    EXPECT_EQ(mLog->Names(), (Names{"busy", "P5", "P0a", "P0b"}));
}

TEST_F(ThreadPoolTest, SingleWorkerKeepsTheOrderOfCaptureUnderLoad)
{
    RCPtr<LThreadPool> pool = LThreadPool::Create(1, 2);
    Names expected;
    for (int i = 0; i < 200; ++i) {
        expected.push_back(std::to_string(i));
        pool->QueueWork(Worker(expected.back()), nullptr, 0);
    }
    ASSERT_EVENTUALLY(mLog->Count() >= expected.size());
    EXPECT_EQ(mLog->Names(), expected);
}

TEST_F(ThreadPoolTest, FreeWorkerTakesANewJobAtOnceWhileAnotherIsBusy)
{
    RCPtr<LThreadPool> pool = LThreadPool::Create(2, 2);
    RCPtr<RecordingWorker> busy = Worker("busy", &mGate);
    EXPECT_EQ(pool->RunOnFreeWorker(busy, nullptr, 0), 0);
    ASSERT_TRUE(busy->WaitEntered());

    RCPtr<RecordingWorker> second = Worker("second", &mSecondGate);
    RCPtr<LRefCountedObject> parameter(new Parameter);
    pool->QueueWork(second, parameter, 0);
    ASSERT_TRUE(second->WaitEntered());
    EXPECT_EQ(second->LastParameters(), parameter.Get());
    EXPECT_EQ(pool->RunOnFreeWorker(Worker("refused"), nullptr, 0), -1);

    mGate.Set();
    mSecondGate.Set();
    ASSERT_EVENTUALLY(mLog->Count() >= 2);
    EXPECT_EQ(mLog->Names(), (Names{"busy", "second"}));
}

TEST_F(ThreadPoolTest, JobsAfterShutdownAreDroppedUnrun)
{
    RCPtr<LThreadPool> pool = LThreadPool::Create(2, 2);
    pool->Shutdown();
    RCPtr<RecordingWorker> late = Worker("late");
    RCPtr<LRefCountedObject> parameter(new Parameter);
    pool->QueueWork(late, parameter, 0);
    EXPECT_EQ(pool->RunOnFreeWorker(late, parameter, 0), -1);
    EXPECT_EQ(late->GetRefCount(), 1);
    EXPECT_EQ(parameter->GetRefCount(), 1);
    EXPECT_FALSE(Eventually([&] { return mLog->Count() >= 1; }, std::chrono::milliseconds(50)));
}

TEST_F(ThreadPoolTest, ShutdownDropsQueuedJobsAndWaitsForTheRunningOne)
{
    RCPtr<LThreadPool> pool = LThreadPool::Create(1, 2);
    RCPtr<RecordingWorker> busy = Worker("busy", &mGate);
    pool->QueueWork(busy, nullptr, 0);
    ASSERT_TRUE(busy->WaitEntered());
    RCPtr<RecordingWorker> queued = Worker("queued");
    pool->QueueWork(queued, nullptr, 0);

    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        mGate.Set();
    });
    pool->Shutdown();
    opener.join();
    EXPECT_EQ(mLog->Names(), (Names{"busy"}));
    EXPECT_EQ(queued->GetRefCount(), 1);
    EXPECT_EQ(busy->GetRefCount(), 1);
}

// A job that shuts its own pool down while another job waits in the queue:
// the queue thread is then waiting for this very worker to come free.
class ShutdownWorker : public LThreadWorker {
    QV_TYPE_NAME("class QV::ShutdownWorker")

public:
    explicit ShutdownWorker(LThreadPool* pool) : mPool(pool) {}

    QVResult Run(RCPtr<LRefCountedObject>&) override
    {
        mStarted.Set();
        mRelease.Wait(kWaitInfinite);
        const auto start = std::chrono::steady_clock::now();
        mPool->Shutdown();
        mShutdownMs = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - start).count());
        mFinished.Set();
        return S_OK;
    }

    LThreadPool* mPool;
    Event mStarted{false};
    Event mRelease{false};
    Event mFinished{false};
    int mShutdownMs = -1;
};

TEST_F(ThreadPoolTest, ShutdownReturnsPromptlyWhileTheQueueThreadWaitsForAWorker)
{
    RCPtr<LThreadPool> pool = LThreadPool::Create(1, 2);
    RCPtr<ShutdownWorker> stopper(new ShutdownWorker(pool.Get()));
    pool->QueueWork(stopper, nullptr, 0);
    ASSERT_EQ(stopper->mStarted.Wait(2000), kWaitSignalled);
    RCPtr<RecordingWorker> queued = Worker("queued");
    pool->QueueWork(queued, nullptr, 0);

    stopper->mRelease.Set();
    ASSERT_EQ(stopper->mFinished.Wait(5000), kWaitSignalled);
    EXPECT_LT(stopper->mShutdownMs, 1000);
    pool.Reset();  // waits for the worker that ran the shutdown
    EXPECT_TRUE(mLog->Names().empty());
    EXPECT_EQ(queued->GetRefCount(), 1);
    EXPECT_EQ(stopper->GetRefCount(), 1);
}

TEST_F(ThreadPoolTest, WorkerParamsReuseTheirBlocks)
{
    RCPtr<RecordingWorker> worker = Worker("w");
    const void* first;
    {
        RCPtr<LThreadPool::LWorkerParams> job = LThreadPool::LWorkerParams::Create(worker, nullptr, 3);
        EXPECT_EQ(job->priority, 3);
        EXPECT_EQ(worker->GetRefCount(), 2);
        first = job.Get();
    }
    EXPECT_EQ(worker->GetRefCount(), 1);
    RCPtr<LThreadPool::LWorkerParams> again = LThreadPool::LWorkerParams::Create(worker, nullptr, 0);
    EXPECT_EQ(static_cast<const void*>(again.Get()), first);
}

}  // namespace
}  // namespace QV
