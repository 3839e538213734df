// Acquiring and releasing a counted pointer beside std::shared_ptr copies.
#include <benchmark/benchmark.h>

#include <memory>

#include "RCPtr.h"

namespace {

class Counted : public QV::LRefCountedObject {
    QV_TYPE_NAME("class Counted")
};

void BM_RCPtrCopy(benchmark::State& state)
{
    const QV::RCPtr<Counted> held(new Counted());
    for (auto _ : state) {
        QV::RCPtr<Counted> copy = held;
        benchmark::DoNotOptimize(copy.Get());
    }
}
BENCHMARK(BM_RCPtrCopy)->ThreadRange(1, 4);

void BM_SharedPtrCopy(benchmark::State& state)
{
    const auto held = std::make_shared<Counted>();
    for (auto _ : state) {
        std::shared_ptr<Counted> copy = held;
        benchmark::DoNotOptimize(copy.get());
    }
}
BENCHMARK(BM_SharedPtrCopy)->ThreadRange(1, 4);

}  // namespace

BENCHMARK_MAIN();
