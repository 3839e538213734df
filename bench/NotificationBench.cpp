// A notification posted on producer threads and drained on this thread
// through a notification center, beside a plain mutex-and-deque queue doing
// the same hand-over: the same item count, the same producer threads, one
// drainer. Goal: parity (1.0x) with one producer; the ratios for 1, 2 and 4
// producers are printed after the runs. A counter of heap allocations on the
// posting and draining threads reports allocations per post once the first
// round has filled the pools (goal: 0).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "LNotificationCenterManager.h"
#include "LNotificationClient.h"
#include "RatioReporter.h"

namespace {

std::atomic<uint64_t> sAllocations{0};
thread_local bool tCounting = false;

// Counts allocations of the current thread while the scope lives.
class CountAllocations {
public:
    CountAllocations() { tCounting = true; }
    ~CountAllocations() { tCounting = false; }
    CountAllocations(const CountAllocations&) = delete;
    CountAllocations& operator=(const CountAllocations&) = delete;
};

}  // namespace

// The replaced global allocation pair is malloc and free on both sides.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size)
{
    if (tCounting) sAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace {

using namespace QV;

constexpr int kItems = 10000;

class CountingClient : public LNotificationClient {
public:
    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override
    {
        ++received;
        return S_OK;
    }
    int received = 0;
};

// Runs `post(i)` for kItems items spread over `producers` threads while
// `drain()` runs here until every item has come through.
template <class Post, class Drain>
void PostAndDrain(int producers, Post post, Drain drain)
{
    std::vector<std::thread> threads;
    for (int p = 0; p < producers; ++p) {
        threads.emplace_back([&, p] {
            const CountAllocations counting;
            for (int i = p; i < kItems; i += producers) post(i);
        });
    }
    {
        const CountAllocations counting;
        drain();
    }
    for (auto& thread : threads) thread.join();
}

// range(0): producer threads.
void BM_NotificationCenterPostAndDrain(benchmark::State& state)
{
    LNotification::EnableRecycling(true);
    RCPtr<LNotificationCenter> center = LNotificationCenterManager::GetInstance()->CreateNotificationCenter(u"bench");
    RCPtr<CountingClient> client(new CountingClient());
    const NotificationID id = client->RegisterNotification(center, u"NID_PARAM_MODULE_STATE_CHANGE");
    uint64_t counted = 0;
    uint64_t allocations = 0;
    bool first = true;
    for (auto _ : state) {
        client->received = 0;
        const uint64_t before = sAllocations.load();
        PostAndDrain(
            static_cast<int>(state.range(0)), [&](int) { (void)center->PostNamedNotification(id); },
            [&] {
                while (client->received < kItems) {
                    if (!center->ProcessNotifications(false)) std::this_thread::yield();
                }
            });
        if (!first) {
            allocations += sAllocations.load() - before;
            counted += kItems;
        }
        first = false;
    }
    state.SetItemsProcessed(state.iterations() * kItems);
    state.counters["allocs_per_post"] = counted ? static_cast<double>(allocations) / counted : 0.0;
    client->UnregisterAllNotifications();
    center->Shutdown();
    LNotification::EnableRecycling(false);
}
BENCHMARK(BM_NotificationCenterPostAndDrain)->ArgName("producers")->Arg(1)->Arg(2)->Arg(4)->UseRealTime();

// The same hand-over with a plain lock and a standard deque of records.
struct PlainNotification {
    const void* id;
    RCPtr<LRefCountedObject> payload;
};

class PlainQueue {
public:
    void Post(PlainNotification n)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mItems.push_back(std::move(n));
    }
    template <class Receiver>
    bool Drain(Receiver&& receive)
    {
        size_t count;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            count = mItems.size();
        }
        for (; count > 0; --count) {
            PlainNotification n;
            {
                std::lock_guard<std::mutex> lock(mMutex);
                n = std::move(mItems.front());
                mItems.pop_front();
            }
            receive(n);
        }
        std::lock_guard<std::mutex> lock(mMutex);
        return !mItems.empty();
    }

private:
    std::mutex mMutex;
    std::deque<PlainNotification> mItems;
};

void BM_MutexDequePostAndDrain(benchmark::State& state)
{
    PlainQueue queue;
    static const char16_t name[] = u"NID_PARAM_MODULE_STATE_CHANGE";
    for (auto _ : state) {
        int received = 0;
        PostAndDrain(
            static_cast<int>(state.range(0)),
            [&](int) {
                queue.Post({name, nullptr});
            },
            [&] {
                while (received < kItems) {
                    if (!queue.Drain([&](const PlainNotification& n) { received += (n.id == name); })) {
                        std::this_thread::yield();
                    }
                }
            });
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_MutexDequePostAndDrain)->ArgName("producers")->Arg(1)->Arg(2)->Arg(4)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    std::vector<bench::Ratio> ratios;
    std::vector<bench::Limit> limits;
    for (const char* producers : {"1", "2", "4"}) {
        const std::string ours = std::string("BM_NotificationCenterPostAndDrain/producers:") + producers + "/real_time";
        // Parity is the goal with one producer; more are reported.
        ratios.push_back({ours, std::string("BM_MutexDequePostAndDrain/producers:") + producers + "/real_time",
                          producers == std::string("1") ? 1.0 : 0.0});
        limits.push_back({ours, "allocs_per_post", 0, "allocations"});
    }
    return bench::RunWithRatios(argc, argv, std::move(ratios), std::move(limits));
}
