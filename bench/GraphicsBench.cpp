// Dirty regions are rebuilt on every invalidation and paint; skin images are
// decoded and tinted at start-up and on every skin change.
#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "LBitmap.h"
#include "RatioReporter.h"
#include "RectRegion.h"
#include "ResourceModule.h"

namespace {

std::vector<QV::RegionRect> OverlappingRects(int count)
{
    std::mt19937 rng(42);
    std::uniform_int_distribution<int32_t> pos(0, 800);
    std::uniform_int_distribution<int32_t> size(40, 200);
    std::vector<QV::RegionRect> rects;
    for (int i = 0; i < count; ++i) {
        const int32_t x = pos(rng), y = pos(rng);
        rects.push_back({x, y, x + size(rng), y + size(rng)});
    }
    return rects;
}

void BM_RegionAddRectNormalize(benchmark::State& state)
{
    const std::vector<QV::RegionRect> rects = OverlappingRects(static_cast<int>(state.range(0)));
    int32_t nodes = 0;
    for (auto _ : state) {
        QV::RectRegion region;
        for (const QV::RegionRect& r : rects) region.AddRect(r);
        region.Normalize();
        nodes = region.GetCount();
        benchmark::DoNotOptimize(nodes);
    }
    state.counters["nodes"] = nodes;
}
BENCHMARK(BM_RegionAddRectNormalize)->Arg(100);

// Small dirty rectangles that touch nowhere (16 px squares on a 24 px pitch,
// 40 to a row), in a shuffled order, as many controls redrawing at once.
std::vector<QV::RegionRect> DisjointRects(int count)
{
    std::vector<QV::RegionRect> rects;
    for (int i = 0; i < count; ++i) {
        const int32_t x = (i % 40) * 24, y = (i / 40) * 24;
        rects.push_back({x, y, x + 16, y + 16});
    }
    std::shuffle(rects.begin(), rects.end(), std::mt19937(7));
    return rects;
}

// Argument: rectangles per region. Every pass adds 1,000 rectangles in all
// (1,000 / n regions of n), so the times compare per rectangle.
void BM_RegionDisjointRects(benchmark::State& state)
{
    const int perRegion = static_cast<int>(state.range(0));
    const std::vector<QV::RegionRect> rects = DisjointRects(perRegion);
    int32_t nodes = 0;
    for (auto _ : state) {
        for (int region = 0; region < 1000 / perRegion; ++region) {
            QV::RectRegion dirty;
            for (const QV::RegionRect& r : rects) dirty.AddRect(r);
            nodes = dirty.GetCount();
            benchmark::DoNotOptimize(nodes);
        }
    }
    state.counters["nodes"] = nodes;
    state.counters["ns_per_rect"] =
        benchmark::Counter(1e-6, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_RegionDisjointRects)->Arg(10)->Arg(1000);

// One region of 1,000 disjoint rectangles, added and then normalized; the
// time per rectangle in nanoseconds.
double RegionPassNsPerRect()
{
    const std::vector<QV::RegionRect> rects = DisjointRects(1000);
    const auto start = std::chrono::steady_clock::now();
    QV::RectRegion dirty;
    for (const QV::RegionRect& r : rects) dirty.AddRect(r);
    dirty.Normalize();
    benchmark::DoNotOptimize(dirty.GetCount());
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() / 1000;
}

constexpr const char* kFirstPassArgument = "--region-first-pass";
std::string gSelf;

void BM_RegionNormalizedWarm(benchmark::State& state)
{
    double ns = 0;
    for (auto _ : state) ns = RegionPassNsPerRect();
    state.counters["ns_per_rect"] = ns;
}
BENCHMARK(BM_RegionNormalizedWarm);

// The same pass as the first thing a new process does: each iteration runs
// this program again with kFirstPassArgument and takes the time it prints.
void BM_RegionNormalizedFreshProcess(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state) {
        FILE* child = popen((gSelf + " " + kFirstPassArgument).c_str(), "r");
        double ns = 0;
        if (!child || std::fscanf(child, "%lf", &ns) != 1) {
            if (child) pclose(child);
            return state.SkipWithError("the first-pass process gave no time");
        }
        pclose(child);
        state.SetIterationTime(ns * 1000 * 1e-9);
        total += ns;
    }
    state.counters["ns_per_rect"] = total / double(state.iterations());
}
BENCHMARK(BM_RegionNormalizedFreshProcess)->UseManualTime()->Iterations(20);

std::vector<unsigned char> EncodePng(int32_t side)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(side) * side);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x80000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(side);
    image.height = static_cast<png_uint_32>(side);
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::vector<unsigned char> bytes(size);
    png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr);
    bytes.resize(size);
    return bytes;
}

void BM_DecodeAndColorize(benchmark::State& state)
{
    const std::vector<unsigned char> png = EncodePng(static_cast<int32_t>(state.range(0)));
    const Platform::ResourceData data{png.data(), png.size()};
    const Platform::ResourceEntry entries[] = {{"GDIPLUS", "BENCH_PNG", &data}};
    const Platform::ResourceTable module("bench", entries);
    const Platform::ResourceModule* previous = QV::LBitmap::SetResourceModule(&module);
    const QV::ConstRCPtr<QV::LColorizer> colorizer(new QV::LColorizer(QV::LColorizer::kSolid, {0.2f, 0.4f, 0.6f, 1}));
    for (auto _ : state) {
        // Released at the end of each pass, so every pass decodes again.
        const QV::RCPtr<QV::LBitmap> bitmap = QV::LBitmap::LoadNamedBitmap(u"::Bench.png");
        const QV::RCPtr<QV::LBitmap> tinted = QV::GetColorizedBitmap(colorizer, 0.7f, {}, bitmap, nullptr);
        benchmark::DoNotOptimize(tinted.Get());
    }
    QV::LBitmap::SetResourceModule(previous);
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
}
BENCHMARK(BM_DecodeAndColorize)->Arg(256);

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], kFirstPassArgument) == 0) {
        std::printf("%.3f\n", RegionPassNsPerRect());
        return 0;
    }
    gSelf = argv[0];
    // Per rectangle, 1,000 to a region against 10.
    return bench::RunWithRatios(argc, argv, {{"BM_RegionDisjointRects/1000", "BM_RegionDisjointRects/10", 3.0}},
                                {{"BM_RegionDisjointRects/1000", "ns_per_rect", 200, "ns"},
                                 {"BM_RegionNormalizedWarm", "ns_per_rect", 200, "ns"},
                                 {"BM_RegionNormalizedFreshProcess/iterations:20/manual_time", "ns_per_rect", 200, "ns"}});
}
