#pragma once
// Console output as usual, then the ratio of each pair of benchmarks named
// at the start (ours over the reference, by time per iteration) and each
// figure held against its goal, so a run shows at once how far each path is
// from its goal, measured beside its yardstick in the same run.
#include <benchmark/benchmark.h>

#include <concepts>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// Ours over the reference, by full run name; the goal is the largest ratio
// allowed (none: the ratio is reported only).
struct Ratio {
    std::string ours, reference;
    double goal = 0;
};

// A figure of one run: a counter when named, else the real time per
// iteration in the run's own unit; the goal is the largest value allowed.
struct Limit {
    std::string run, counter;
    double goal = 0;
    std::string unit;
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter(std::vector<Ratio> ratios, std::vector<Limit> limits)
        : mRatios(std::move(ratios)), mLimits(std::move(limits))
    {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            Figures& figures = mFigures[run.benchmark_name()];
            figures.realTime = run.GetAdjustedRealTime();
            figures.cpuTime = run.GetAdjustedCPUTime();
            for (const auto& [name, counter] : run.counters) figures.counters[name] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const Ratio& ratio : mRatios) {
            const auto a = mFigures.find(ratio.ours);
            const auto b = mFigures.find(ratio.reference);
            if (a == mFigures.end() || b == mFigures.end() || b->second.realTime <= 0 || b->second.cpuTime <= 0) {
                std::printf("ratio %s / %s: not measured\n", ratio.ours.c_str(), ratio.reference.c_str());
                continue;
            }
            const double real = a->second.realTime / b->second.realTime;
            std::printf("ratio %s / %s = %.2fx real time, %.2fx CPU time", ratio.ours.c_str(),
                        ratio.reference.c_str(), real, a->second.cpuTime / b->second.cpuTime);
            if (ratio.goal > 0) {
                std::printf(" (goal: at most %.2fx, %s)", ratio.goal, real <= ratio.goal ? "reached" : "not reached");
            }
            std::printf("\n");
        }
        for (const Limit& limit : mLimits) PrintLimit(limit);
    }

private:
    struct Figures {
        double realTime = 0, cpuTime = 0;
        std::map<std::string, double> counters;
    };

    void PrintLimit(const Limit& limit) const
    {
        const std::string name = limit.run + (limit.counter.empty() ? "" : " " + limit.counter);
        const auto figures = mFigures.find(limit.run);
        const auto counter = figures == mFigures.end() ? std::map<std::string, double>::const_iterator{}
                                                       : figures->second.counters.find(limit.counter);
        if (figures == mFigures.end() || (!limit.counter.empty() && counter == figures->second.counters.end())) {
            std::printf("%s: not measured\n", name.c_str());
            return;
        }
        const double value = limit.counter.empty() ? figures->second.realTime : counter->second;
        std::printf("%s = %.4g %s (goal: at most %g %s, %s)\n", name.c_str(), value, limit.unit.c_str(), limit.goal,
                    limit.unit.c_str(), value <= limit.goal ? "reached" : "not reached");
    }

    std::vector<Ratio> mRatios;
    std::vector<Limit> mLimits;
    std::map<std::string, Figures> mFigures;
};

// Runs the benchmarks of this program, then prints the ratios and the limits.
inline int RunWithRatios(int argc, char** argv, std::vector<Ratio> ratios, std::vector<Limit> limits = {})
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter(std::move(ratios), std::move(limits));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

// Pairs without a goal, as built in a loop.
template <typename Pairs>
    requires std::same_as<Pairs, std::vector<std::pair<std::string, std::string>>>
int RunWithRatios(int argc, char** argv, const Pairs& pairs)
{
    std::vector<Ratio> ratios;
    for (const auto& [ours, reference] : pairs) ratios.push_back({ours, reference});
    return RunWithRatios(argc, argv, std::move(ratios));
}

}  // namespace bench
