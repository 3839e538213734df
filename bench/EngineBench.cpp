// Time from a parameter write on the engine to the value arriving in the
// simulated keyboard library, reported as median and 99th percentile.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "LNotificationCenterManager.h"
#include "LRootModuleEngine.h"

namespace {

void BM_EngineSetParamValue(benchmark::State& state)
{
    QV::RCPtr<LRootModuleEngine> engine(new LRootModuleEngine());
    if (engine->Initialize(0) != 0 || engine->GetConnectionState() != LRootModuleEngine::kConnected) {
        state.SkipWithError("the simulated keyboard is not beside the benchmark");
        return;
    }
    const QV::ParamDescriptor zone{2, QV::Variant()};
    uint8_t bytes[6] = {1, 0, 0, 87, 6, 12};
    std::vector<double> micros;
    micros.reserve(1 << 20);
    for (auto _ : state) {
        bytes[1] = static_cast<uint8_t>((bytes[1] + 1) & 0x0F);
        QV::Variant value;
        value.SetBlob(bytes, sizeof bytes);
        const auto start = std::chrono::steady_clock::now();
        const int32_t result = engine->SetParamValue(zone, value);
        const auto end = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(result);
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        // Keep the posted changes from piling up, as the UI's idle pass would.
        if (micros.size() % 256 == 0) {
            state.PauseTiming();
            QV::GetDefaultNotificationCenter()->ProcessNotifications(false);
            state.ResumeTiming();
        }
    }
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    }
    engine = nullptr;
    QV::LNotificationCenterManager::ResetInstance();
}
BENCHMARK(BM_EngineSetParamValue)->Iterations(100000);

}  // namespace

BENCHMARK_MAIN();
