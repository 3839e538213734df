// Copying a counted pointer beside copying a std::shared_ptr: one object
// shared by every thread of a run, alone and with 4 threads copying it at
// once. A thread is started before anything is measured, since
// std::shared_ptr uses no atomic steps until the process has started one.
// Goal: at most 1.0x std::shared_ptr in both cases.
#include <benchmark/benchmark.h>

#include <memory>
#include <thread>

#include "RCPtr.h"
#include "RatioReporter.h"

namespace {

class Counted : public QV::LRefCountedObject {
    QV_TYPE_NAME("class Counted")
};

// Made before main runs and shared by all threads of a run.
const QV::RCPtr<Counted> sCounted(new Counted());
const std::shared_ptr<Counted> sShared = std::make_shared<Counted>();

void BM_RCPtrCopy(benchmark::State& state)
{
    for (auto _ : state) {
        QV::RCPtr<Counted> copy = sCounted;
        benchmark::DoNotOptimize(copy.Get());
    }
}
BENCHMARK(BM_RCPtrCopy)->Threads(1)->Threads(4)->UseRealTime();

void BM_SharedPtrCopy(benchmark::State& state)
{
    for (auto _ : state) {
        std::shared_ptr<Counted> copy = sShared;
        benchmark::DoNotOptimize(copy.get());
    }
}
BENCHMARK(BM_SharedPtrCopy)->Threads(1)->Threads(4)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    std::thread([] {}).join();
    return bench::RunWithRatios(argc, argv,
                                {{"BM_RCPtrCopy/real_time/threads:1", "BM_SharedPtrCopy/real_time/threads:1", 1.0},
                                 {"BM_RCPtrCopy/real_time/threads:4", "BM_SharedPtrCopy/real_time/threads:4", 1.0}});
}
