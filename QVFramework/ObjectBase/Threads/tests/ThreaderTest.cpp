#include "RetriggerableThreader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

#include "LEventGatedThreader.h"
#include "Eventually.h"
#include "TestWorkers.h"
#include "ThreadFaultLog.h"

namespace QV {
namespace {

using testing::RecordingWorker;
using testing::RunLog;

std::atomic<int> gFaults{0};
void CountFault(std::string_view) { gFaults.fetch_add(1); }

class Parameter : public LRefCountedObject {
    QV_TYPE_NAME("class QV::Parameter")
};

class ThrowingWorker : public LThreadWorker {
    QV_TYPE_NAME("class QV::ThrowingWorker")

public:
    QVResult Run(RCPtr<LRefCountedObject>&) override { throw std::runtime_error("job failed"); }
};

class ThreaderTest : public ::testing::Test {
protected:
    void SetUp() override { mPreviousSink = SetThreadFaultSink(&CountFault), gFaults = 0; }
    void TearDown() override
    {
        mGate.Set();
        SetThreadFaultSink(mPreviousSink);
    }

    RCPtr<RunLog> mLog{new RunLog};
    TrafficLight mGate;
    ThreadFaultSink mPreviousSink = nullptr;
};

TEST_F(ThreaderTest, SecondTriggerIsRefusedWhileTheFirstJobRuns)
{
    RetriggerableThreader threader(String(u"worker"));
    RCPtr<RecordingWorker> worker(new RecordingWorker(mLog, "a", &mGate));
    RCPtr<LRefCountedObject> parameter(new Parameter);

    EXPECT_EQ(threader.Trigger(worker, parameter, 0), S_OK);
    EXPECT_EQ(threader.Trigger(worker, parameter, 0), E_FAIL);
    ASSERT_TRUE(worker->WaitEntered());
    EXPECT_EQ(worker->LastParameters(), parameter.Get());
    EXPECT_TRUE(threader.IsBusy());

    mGate.Set();
    ASSERT_EVENTUALLY(!threader.IsBusy());
    EXPECT_EQ(threader.Trigger(worker, parameter, 0), S_OK);
    ASSERT_EVENTUALLY(mLog->Count() >= 2);
    EXPECT_EQ(mLog->Names(), (std::vector<std::string>{"a", "a"}));
}

TEST_F(ThreaderTest, DoneEventIsResetByTheTriggerAndSetWhenTheJobIsReleased)
{
    RetriggerableThreader threader;
    RCPtr<RecordingWorker> worker(new RecordingWorker(mLog, "a", &mGate));
    RCPtr<LRefCountedObject> parameter(new Parameter);
    RCPtr<LEvent> done = LEvent::Create();
    done->Set();  // left over from an earlier job

    ASSERT_EQ(threader.TriggerWithDoneEvent(worker, parameter, done, 2), S_OK);
    EXPECT_EQ(done->Wait(30), kWaitTimeout);
    mGate.Set();
    ASSERT_EQ(done->Wait(2000), kWaitSignalled);
    // Whoever the done event wakes finds the threader free and the job let go.
    EXPECT_FALSE(threader.IsBusy());
    EXPECT_EQ(parameter->GetRefCount(), 1);
    EXPECT_EQ(worker->GetRefCount(), 1);
}

TEST_F(ThreaderTest, PlainTriggerDropsTheDoneEventOfTheJobBefore)
{
    RetriggerableThreader threader;
    RCPtr<RecordingWorker> worker(new RecordingWorker(mLog, "a"));
    RCPtr<LEvent> done = LEvent::Create();
    ASSERT_EQ(threader.TriggerWithDoneEvent(worker, nullptr, done, 0), S_OK);
    ASSERT_EQ(done->Wait(2000), kWaitSignalled);
    ASSERT_EQ(threader.Trigger(worker, nullptr, 0), S_OK);
    ASSERT_EVENTUALLY(mLog->Count() >= 2);
    EXPECT_EQ(done->Wait(50), kWaitTimeout);
}

TEST_F(ThreaderTest, ToStringAnswersTheName)
{
    RetriggerableThreader threader(String(u"LThreadPool::mQueueThreader"));
    const String name = threader.ToString();
    EXPECT_EQ(std::u16string(name.GetChars()), u"LThreadPool::mQueueThreader");
}

TEST_F(ThreaderTest, JobThatThrowsIsLoggedAndTheThreaderCarriesOn)
{
    RetriggerableThreader threader;
    RCPtr<LEvent> done = LEvent::Create();
    ASSERT_EQ(threader.TriggerWithDoneEvent(RCPtr<LThreadWorker>(new ThrowingWorker), nullptr, done, 0), S_OK);
    ASSERT_EQ(done->Wait(2000), kWaitSignalled);
    EXPECT_EQ(gFaults.load(), 1);
    RCPtr<RecordingWorker> worker(new RecordingWorker(mLog, "after"));
    ASSERT_EQ(threader.Trigger(worker, nullptr, 0), S_OK);
    EXPECT_EVENTUALLY(mLog->Count() >= 1);
}

TEST_F(ThreaderTest, DestroyingWaitsForTheRunningJob)
{
    RCPtr<RecordingWorker> worker(new RecordingWorker(mLog, "a", &mGate));
    std::thread opener;
    {
        RetriggerableThreader threader;
        ASSERT_EQ(threader.Trigger(worker, nullptr, 0), S_OK);
        ASSERT_TRUE(worker->WaitEntered());
        opener = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            mGate.Set();
        });
    }
    opener.join();
    EXPECT_EQ(worker->GetRefCount(), 1);  // the thread is gone and let go of it
    EXPECT_EQ(gFaults.load(), 0);
}

TEST_F(ThreaderTest, StoppedThreaderRefusesTriggers)
{
    RetriggerableThreader threader;
    EXPECT_TRUE(threader.Stop());
    RCPtr<RecordingWorker> worker(new RecordingWorker(mLog, "a"));
    EXPECT_EQ(threader.Trigger(worker, nullptr, 0), E_FAIL);
    EXPECT_EQ(worker->GetRefCount(), 1);
}

TEST_F(ThreaderTest, StopThatTimesOutLeavesTheJobWithItsThread)
{
    RCPtr<RecordingWorker> worker(new RecordingWorker(mLog, "a", &mGate));
    RCPtr<LRefCountedObject> parameter(new Parameter);
    RCPtr<LEvent> done = LEvent::Create();
    auto threader = std::make_unique<RetriggerableThreader>();
    ASSERT_EQ(threader->TriggerWithDoneEvent(worker, parameter, done, 0), S_OK);
    ASSERT_TRUE(worker->WaitEntered());
    EXPECT_FALSE(threader->Stop(20));
    EXPECT_EQ(gFaults.load(), 1);
    threader.reset();  // must not wait again, nor free what the thread uses

    mGate.Set();
    ASSERT_EQ(done->Wait(2000), kWaitSignalled);
    EXPECT_EVENTUALLY(worker->GetRefCount() == 1 && parameter->GetRefCount() == 1);
}

TEST_F(ThreaderTest, GatedThreaderRunsOncePerWakeUp)
{
    RCPtr<LEvent> event = LEvent::Create();
    RCPtr<RecordingWorker> worker(new RecordingWorker(mLog, "run"));
    RCPtr<LEventGatedThreader> threader(new LEventGatedThreader(event, worker, nullptr, 0));
    for (size_t i = 1; i <= 3; ++i) {
        event->Set();
        ASSERT_EVENTUALLY(mLog->Count() >= i);
    }
    threader.Reset();
    EXPECT_EQ(mLog->Names().size(), 3u);
    EXPECT_EQ(worker->GetRefCount(), 1);
    EXPECT_EQ(event->GetRefCount(), 1);
}

TEST_F(ThreaderTest, GatedThreaderCoalescesSetsWhileItRuns)
{
    RCPtr<LEvent> event = LEvent::Create();
    RCPtr<RecordingWorker> worker(new RecordingWorker(mLog, "run", &mGate));
    RCPtr<LRefCountedObject> parameter(new Parameter);
    RCPtr<LEventGatedThreader> threader(new LEventGatedThreader(event, worker, parameter, 2));
    event->Set();
    ASSERT_TRUE(worker->WaitEntered());
    EXPECT_EQ(worker->LastParameters(), parameter.Get());
    event->Set();
    event->Set();
    event->Set();
    mGate.Set();
    ASSERT_EVENTUALLY(mLog->Count() >= 2);
    EXPECT_FALSE(Eventually([&] { return mLog->Count() >= 3; }, std::chrono::milliseconds(100)));
    threader.Reset();
    EXPECT_EQ(mLog->Names().size(), 2u);
}

TEST_F(ThreaderTest, GatedStopThatTimesOutLeavesTheWorkerWithItsThread)
{
    RCPtr<LEvent> event = LEvent::Create();
    RCPtr<RecordingWorker> worker(new RecordingWorker(mLog, "run", &mGate));
    RCPtr<LEventGatedThreader> threader(new LEventGatedThreader(event, worker, nullptr, 0));
    event->Set();
    ASSERT_TRUE(worker->WaitEntered());
    EXPECT_FALSE(threader->Stop(20));
    threader.Reset();
    mGate.Set();
    EXPECT_EVENTUALLY(worker->GetRefCount() == 1 && event->GetRefCount() == 1);
    EXPECT_EQ(mLog->Names().size(), 1u);
}

}  // namespace
}  // namespace QV
