#include "Event.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "EventPool.h"
#include "LEvent.h"
#include "TrafficLight.h"

namespace QV {
namespace {

using namespace std::chrono_literals;

TEST(EventTest, AutoResetEventIsConsumedByOneWait)
{
    Event event(true);
    EXPECT_EQ(event.Wait(0), kWaitTimeout);
    ASSERT_TRUE(event.Set());
    EXPECT_EQ(event.Wait(0), kWaitSignalled);
    EXPECT_EQ(event.Wait(0), kWaitTimeout);
}

TEST(EventTest, ManualResetEventStaysSignalledUntilReset)
{
    Event event(false);
    ASSERT_TRUE(event.Set());
    EXPECT_EQ(event.Wait(0), kWaitSignalled);
    EXPECT_EQ(event.Wait(10), kWaitSignalled);
    ASSERT_TRUE(event.Reset());
    EXPECT_EQ(event.Wait(0), kWaitTimeout);
}

// Times this thread gave up the processor to wait.
long OwnVoluntarySwitches()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

// A gate is tested on every preset get: a test that slept until the next
// timer tick would cost a hand-over each time.
TEST(EventTest, ZeroTimeoutTestsWithoutSleeping)
{
    Event autoReset(true);
    TrafficLight light;
    const RCPtr<LEvent> event = LEvent::Create();
    const long before = OwnVoluntarySwitches();
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(autoReset.Wait(0), kWaitTimeout);
        EXPECT_FALSE(light.IsSet());
        EXPECT_EQ(event->Wait(0), kWaitTimeout);
    }
    EXPECT_EQ(OwnVoluntarySwitches() - before, 0);
}

TEST(EventTest, TimedWaitReturnsTimeoutAfterRoughlyTheTimeout)
{
    Event event(true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(event.Wait(30), 258u);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 29ms);
    EXPECT_LT(elapsed, 1000ms);
}

TEST(EventTest, SetFromAnotherThreadWakesAnUnlimitedWait)
{
    Event event(true);
    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        event.Set();
    });
    EXPECT_EQ(event.Wait(kWaitInfinite), kWaitSignalled);
    setter.join();
}

TEST(EventTest, AutoResetSetReleasesExactlyOneOfTwoWaiters)
{
    Event event(true);
    std::atomic<int> released{0};
    auto waiter = [&] {
        if (event.Wait(kWaitInfinite) == kWaitSignalled) released.fetch_add(1);
    };
    std::thread a(waiter), b(waiter);
    std::this_thread::sleep_for(20ms);
    event.Set();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(released.load(), 1);
    event.Set();
    a.join();
    b.join();
    EXPECT_EQ(released.load(), 2);
    EXPECT_EQ(event.Wait(0), kWaitTimeout);  // each signal went to a waiter
}

TEST(EventTest, ManualResetSetReleasesEveryWaiter)
{
    Event event(false);
    std::atomic<int> released{0};
    auto waiter = [&] {
        if (event.Wait(kWaitInfinite) == kWaitSignalled) released.fetch_add(1);
    };
    std::thread a(waiter), b(waiter), c(waiter);
    std::this_thread::sleep_for(20ms);
    event.Set();
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(released.load(), 3);
}

// A Set wakes its waiters after letting go of the locks, while waiters whose
// time runs out leave at once: neither may touch a waiter that has gone (the
// sanitizers watch), and no signal is taken twice.
TEST(EventTest, WaitersGivingUpWhileASetWakesThemLeaveSafely)
{
    Event event(true);
    std::atomic<bool> stop{false};
    std::atomic<int> taken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i) {
        waiters.emplace_back([&] {
            while (!stop.load()) {
                if (event.Wait(1) == kWaitSignalled) taken.fetch_add(1);
            }
        });
    }
    int sets = 0;
    for (; taken.load() < 500 && sets < 10000000; ++sets) {
        event.Set();
        if (sets % 8 == 0) std::this_thread::yield();
    }
    stop = true;
    for (std::thread& waiter : waiters) waiter.join();
    EXPECT_GE(taken.load(), 500);
    EXPECT_LE(taken.load() + (event.Wait(0) == kWaitSignalled ? 1 : 0), sets);
}

TEST(TrafficLightTest, OpensForEveryCallerUntilClosed)
{
    TrafficLight light;
    EXPECT_FALSE(light.IsSet());
    EXPECT_NE(light.Set(), 0);
    EXPECT_TRUE(light.IsSet());
    EXPECT_TRUE(light.IsSet());
    EXPECT_EQ(light.Wait(0), kWaitSignalled);
    EXPECT_NE(light.Reset(), 0);
    EXPECT_FALSE(light.IsSet());
}

TEST(LEventTest, IsAutoResetWhateverTheArgument)
{
    RCPtr<LEvent> event = LEvent::Create(false);
    EXPECT_EQ(event->GetRefCount(), 1);
    EXPECT_STREQ(event->GetTypeName(), "class QV::LEvent");
    event->Set();
    EXPECT_EQ(event->Wait(0), kWaitSignalled);
    EXPECT_EQ(event->Wait(0), kWaitTimeout);
}

TEST(EventPoolTest, LowestSignalledIndexWinsAndEachSignalIsConsumed)
{
    EventPool pool(4);
    ASSERT_EQ(pool.GetCount(), 4u);
    EXPECT_EQ(pool.WaitForAny(0), -1);
    pool.GetEvent(3)->Set();
    pool.GetEvent(1)->Set();
    EXPECT_EQ(pool.WaitForAny(0), 1);
    EXPECT_EQ(pool.WaitForAny(0), 3);
    EXPECT_EQ(pool.WaitForAny(0), -1);
}

TEST(EventPoolTest, WaitEndsWhenAnotherThreadSetsAnEvent)
{
    EventPool pool(3);
    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        pool.GetEvent(2)->Set();
    });
    EXPECT_EQ(pool.WaitForAny(kWaitInfinite), 2);
    setter.join();
    EXPECT_EQ(pool.WaitForAny(0), -1);
}

TEST(EventPoolTest, LowestIndexWinsWhenSeveralAreSetWhileWaiting)
{
    EventPool pool(3);
    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        pool.GetEvent(2)->Set();
        pool.GetEvent(0)->Set();
    });
    const int32_t first = pool.WaitForAny(kWaitInfinite);
    setter.join();
    // The waiter may wake on the first set; whichever it took, the other is kept.
    const int32_t second = pool.WaitForAny(0);
    EXPECT_TRUE((first == 2 && second == 0) || (first == 0 && second == 2));
    EXPECT_EQ(pool.WaitForAny(0), -1);
}

TEST(EventPoolTest, TimedWaitGivesUpWithoutTakingALaterSignal)
{
    EventPool pool(2);
    EXPECT_EQ(pool.WaitForAny(20), -1);
    pool.GetEvent(0)->Set();
    EXPECT_EQ(pool.WaitForAny(0), 0);
}

TEST(EventPoolTest, EventWaitAndPoolWaitShareOneSignal)
{
    EventPool pool(2);
    pool.GetEvent(1)->Set();
    EXPECT_EQ(pool.GetEvent(1)->Wait(0), kWaitSignalled);
    EXPECT_EQ(pool.WaitForAny(0), -1);
}

}  // namespace
}  // namespace QV
