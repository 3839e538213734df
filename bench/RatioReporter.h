#pragma once
// Console output as usual, then the ratio of each pair of benchmarks named
// at the start (ours over the reference, by time per iteration), so a run
// shows at once how far each path is from its goal.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Each pair: {ours, reference}, by full run name.
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs) : mPairs(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration) {
                mTimes[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& [ours, reference] : mPairs) {
            const auto a = mTimes.find(ours);
            const auto b = mTimes.find(reference);
            if (a == mTimes.end() || b == mTimes.end() || b->second.first <= 0 || b->second.second <= 0) continue;
            std::printf("ratio %s / %s = %.2fx real time, %.2fx CPU time\n", ours.c_str(), reference.c_str(),
                        a->second.first / b->second.first, a->second.second / b->second.second);
        }
    }

private:
    std::vector<std::pair<std::string, std::string>> mPairs;
    std::map<std::string, std::pair<double, double>> mTimes;  // real, CPU
};

// Runs the benchmarks of this program with the ratios of the pairs after them.
inline int RunWithRatios(int argc, char** argv, std::vector<std::pair<std::string, std::string>> pairs)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
