// A preset fetched from the simulated keyboard over its loopback MIDI ports,
// answered at once, from the call to the engine holding the values (median
// and 99th percentile), alone and with busy threads spinning beside it (goal:
// under 2 ms median and 5 ms at the 99th percentile with 4 busy threads, and
// at most 3 hand-overs a get: the caller, the driver's delivery thread and
// the pool worker each wait once);
// and the work on one dump alone: building the dump sent from the engine's
// values, and checking and splitting a received one.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ArrayBuffer.h"
#include "LMidiManager.h"
#include "LNotificationCenterManager.h"
#include "LRootModuleEngine.h"
#include "LoopbackMidiDriver.h"
#include "MidiServices.h"
#include "PresetDump.h"
#include "RatioReporter.h"
#include "TarselKeyboard.h"

namespace {

QV::Array<QV::ParamValue> FactoryValues()
{
    QV::Array<QV::ParamValue> values;
    for (int32_t i = 0; i < 15; ++i) {
        const std::vector<uint8_t> blob = Platform::TarselKeyboard::DefaultBlob(i);
        QV::ParamValue value{{i, QV::Variant()}, QV::Variant()};
        value.value.SetBlob(blob.data(), static_cast<uint32_t>(blob.size()));
        (void)values.AddItem(value);  // the array grows
    }
    return values;
}

// Voluntary context switches of the whole process so far: every time a
// thread blocks to wait for another one. A hand-over from one thread to
// another costs one (the one that waits); the busy threads never block.
long VoluntarySwitches()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw;
}

// Threads that only spin until the benchmark ends, keeping cores busy.
class BusyThreads {
public:
    explicit BusyThreads(int64_t count)
    {
        for (int64_t i = 0; i < count; ++i) {
            mThreads.emplace_back([this] {
                uint64_t spins = 0;
                while (!mStop.load(std::memory_order_relaxed)) benchmark::DoNotOptimize(++spins);
            });
        }
    }
    ~BusyThreads()
    {
        mStop = true;
        for (auto& thread : mThreads) thread.join();
    }

private:
    std::atomic<bool> mStop{false};
    std::vector<std::thread> mThreads;
};

// range(0): busy threads beside the gets.
void BM_GetPresetRoundTrip(benchmark::State& state)
{
    const BusyThreads busy(state.range(0));
    Platform::TarselKeyboard& keyboard = Platform::GetTarselKeyboard();
    auto loopback = std::make_shared<Platform::Midi::LoopbackMidiDriver>(keyboard);
    Platform::Midi::MidiServices services{{loopback}};
    Platform::Midi::ScopedMidiServices scope{services};
    QV::RCPtr<LRootModuleEngine> engine(new LRootModuleEngine());
    if (engine->Initialize(0) != 0 || engine->GetConnectionState() != LRootModuleEngine::kConnected) {
        state.SkipWithError("the simulated keyboard is not beside the benchmark");
        return;
    }
    // Let the keyboard's answers to the connection arrive first.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    SetRootModuleEngine(engine);
    QV::RCPtr<QV::LMidiManager> manager = QV::LMidiManager::Create();

    std::vector<double> micros;
    int32_t failures = 0;
    long switches = 0;
    for (auto _ : state) {
        const long before = VoluntarySwitches();
        const auto start = std::chrono::steady_clock::now();
        const int32_t result = manager->GetPresetFromMidiDevice(-1);
        const auto end = std::chrono::steady_clock::now();
        switches += VoluntarySwitches() - before;
        failures += result != 0;
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        // Drop the engine's change posts, as the UI's idle pass would.
        state.PauseTiming();
        QV::GetDefaultNotificationCenter()->ProcessNotifications(false);
        state.ResumeTiming();
    }
    if (failures) state.SkipWithError("a get did not return 0");
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["median_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[micros.size() * 99 / 100];
        state.counters["handovers_per_get"] = static_cast<double>(switches) / static_cast<double>(micros.size());
    }
    manager = nullptr;
    SetRootModuleEngine(nullptr);
    engine = nullptr;
    QV::LNotificationCenterManager::ResetInstance();
}
BENCHMARK(BM_GetPresetRoundTrip)->ArgName("busy")->Arg(0)->Arg(4)->Iterations(500)->Unit(benchmark::kMicrosecond);

void BM_BuildPresetDump(benchmark::State& state)
{
    const QV::Array<QV::ParamValue> values = FactoryValues();
    QV::ArrayBuffer<signed char> body;
    for (auto _ : state) {
        const bool built = QV::BuildPresetDumpBody(values, body);
        benchmark::DoNotOptimize(built);
        benchmark::DoNotOptimize(body.GetData());
    }
}
BENCHMARK(BM_BuildPresetDump);

void BM_CheckAndReadPresetDump(benchmark::State& state)
{
    const QV::Array<QV::ParamValue> current = FactoryValues();
    const std::vector<uint8_t> dump = Platform::GetTarselKeyboard().BuildPresetDump();
    QV::Array<QV::ParamValue> received;
    for (auto _ : state) {
        const bool read = QV::IsPresetDump(dump.data(), static_cast<uint32_t>(dump.size())) &&
                          QV::ReadPresetDump(dump.data(), current, received);
        benchmark::DoNotOptimize(read);
        benchmark::DoNotOptimize(received.GetData());
    }
}
BENCHMARK(BM_CheckAndReadPresetDump);

}  // namespace

int main(int argc, char** argv)
{
    const std::string busy = "BM_GetPresetRoundTrip/busy:4/iterations:500";
    return bench::RunWithRatios(argc, argv, {},
                                {{busy, "median_us", 2000, "us"},
                                 {busy, "p99_us", 5000, "us"},
                                 {busy, "handovers_per_get", 3, "hand-overs"}});
}
