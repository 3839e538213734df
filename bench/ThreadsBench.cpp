// Costs of the threading primitives on the paths the MIDI pool uses per
// captured message: a job block, an event hand-over, a queued job.
#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "Event.h"
#include "LThreadPool.h"
#include "ReuseAllocator.h"

namespace {

struct Block {
    void* words[6];
};

void BM_ReuseAllocatorAllocateFree(benchmark::State& state)
{
    QV::ReuseAllocator<Block, 1> allocator(true);
    for (auto _ : state) {
        void* p = allocator.Allocate(sizeof(Block));
        benchmark::DoNotOptimize(p);
        allocator.Free(p);
    }
}
BENCHMARK(BM_ReuseAllocatorAllocateFree);

void BM_HeapAllocateFree(benchmark::State& state)
{
    for (auto _ : state) {
        auto* p = new Block;
        benchmark::DoNotOptimize(p);
        delete p;
    }
}
BENCHMARK(BM_HeapAllocateFree);

// One round trip: set an event another thread waits on, wait for its answer.
void BM_EventPingPong(benchmark::State& state)
{
    QV::Event ping(true), pong(true);
    std::atomic<bool> stop{false};
    std::thread partner([&] {
        while (ping.Wait(QV::kWaitInfinite) == QV::kWaitSignalled && !stop) pong.Set();
    });
    for (auto _ : state) {
        ping.Set();
        pong.Wait(QV::kWaitInfinite);
    }
    stop = true;
    ping.Set();
    partner.join();
}
BENCHMARK(BM_EventPingPong)->UseRealTime();

class CountingWorker : public QV::LThreadWorker {
public:
    QV::QVResult Run(QV::RCPtr<QV::LRefCountedObject>&) override
    {
        runs.fetch_add(1, std::memory_order_relaxed);
        return QV::S_OK;
    }
    std::atomic<int64_t> runs{0};
};

// Jobs of priority 0 queued to a one-worker pool, as captured MIDI messages are.
void BM_ThreadPoolQueueWork(benchmark::State& state)
{
    QV::RCPtr<QV::LThreadPool> pool = QV::LThreadPool::Create(1, 2);
    QV::RCPtr<CountingWorker> worker(new CountingWorker);
    int64_t queued = 0;
    for (auto _ : state) {
        pool->QueueWork(worker, nullptr, 0);
        ++queued;
    }
    while (worker->runs.load() < queued) std::this_thread::yield();
    state.SetItemsProcessed(queued);
}
BENCHMARK(BM_ThreadPoolQueueWork)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
