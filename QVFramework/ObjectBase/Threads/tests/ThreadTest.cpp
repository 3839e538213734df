#include "Thread.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <stdexcept>
#include <chrono>
#include <string>
#include <thread>

#include "Event.h"
#include "Eventually.h"
#include "Mutex.h"
#include "ThreadFaultLog.h"

namespace QV {
namespace {

struct Job {
    Event started{false};
    Event release{false};
    std::atomic<int> runs{0};
    std::atomic<bool> finished{false};
};

uint32_t RunJob(void* argument)
{
    auto* job = static_cast<Job*>(argument);
    job->runs.fetch_add(1);
    job->started.Set();
    job->release.Wait(kWaitInfinite);
    job->finished = true;
    return 0;
}

uint32_t Throw(void*) { throw std::runtime_error("worker failed"); }

std::atomic<int> gFaults{0};
void CountFault(std::string_view) { gFaults.fetch_add(1); }

TEST(ThreadTest, IsCreatedSuspendedAndRunsOnlyAfterResume)
{
    Job job;
    Thread thread(&RunJob, &job);
    ASSERT_TRUE(thread.IsValid());
    EXPECT_EQ(job.started.Wait(30), kWaitTimeout);
    EXPECT_EQ(job.runs.load(), 0);
    EXPECT_FALSE(thread.HasExited());

    EXPECT_EQ(thread.Resume(), 1u);
    EXPECT_EQ(thread.Resume(), 0u);
    EXPECT_TRUE(thread.SetPriority(2));
    EXPECT_TRUE(thread.SetPriorityBoost(false));
    EXPECT_EQ(job.started.Wait(1000), kWaitSignalled);
    EXPECT_FALSE(thread.WaitForExit(10));

    job.release.Set();
    EXPECT_TRUE(thread.WaitForExit(1000));
    EXPECT_TRUE(thread.HasExited());
    EXPECT_EQ(job.runs.load(), 1);
}

TEST(ThreadTest, ThreadNeverResumedEndsWithItsObjectWithoutRunning)
{
    Job job;
    { Thread thread(&RunJob, &job); }
    EXPECT_EQ(job.runs.load(), 0);
}

TEST(ThreadTest, ObjectMayGoWhileTheThreadStillRuns)
{
    Job job;  // the thread's last touch of it is `finished`
    {
        Thread thread(&RunJob, &job);
        thread.Resume();
        ASSERT_EQ(job.started.Wait(1000), kWaitSignalled);
    }
    job.release.Set();
    EXPECT_EVENTUALLY(job.finished);
    EXPECT_EQ(job.runs.load(), 1);
}

TEST(ThreadTest, ExceptionEscapingTheBodyIsLoggedAndEndsOnlyThatThread)
{
    gFaults = 0;
    const ThreadFaultSink previous = SetThreadFaultSink(&CountFault);
    Thread thread(&Throw, nullptr);
    thread.Resume();
    EXPECT_TRUE(thread.WaitForExit(1000));
    SetThreadFaultSink(previous);
    EXPECT_EQ(gFaults.load(), 1);
}

// The pool asks whether a busy worker's thread has ended on every trigger.
TEST(ThreadTest, AskingWhetherARunningThreadHasEndedDoesNotSleep)
{
    Job job;
    Thread thread(&RunJob, &job);
    ASSERT_EQ(thread.Resume(), 1u);
    ASSERT_EQ(job.started.Wait(1000), kWaitSignalled);
    rusage before{};
    getrusage(RUSAGE_THREAD, &before);
    for (int i = 0; i < 50; ++i) EXPECT_FALSE(thread.HasExited());
    rusage after{};
    getrusage(RUSAGE_THREAD, &after);
    EXPECT_EQ(after.ru_nvcsw - before.ru_nvcsw, 0);
    job.release.Set();
    EXPECT_TRUE(thread.WaitForExit(1000));
}

TEST(ThreadTest, NullRoutineGivesAThreadWhoseOperationsFail)
{
    Thread thread(nullptr, nullptr);
    EXPECT_FALSE(thread.IsValid());
    EXPECT_EQ(thread.Resume(), 0xFFFFFFFFu);
    EXPECT_FALSE(thread.SetPriority(0));
    EXPECT_FALSE(thread.HasExited());
    EXPECT_FALSE(thread.WaitForExit(0));
}

TEST(MutexTest, IsReentrantAndExcludesOtherThreads)
{
    Mutex mutex;
    std::atomic<bool> entered{false};
    std::thread other;
    {
        Mutex::Lock outer(mutex);
        Mutex::Lock inner(mutex);
        other = std::thread([&] {
            Mutex::Lock lock(mutex);
            entered = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_FALSE(entered.load());
    }
    other.join();
    EXPECT_TRUE(entered.load());
}

}  // namespace
}  // namespace QV
