// UTF-8 -> UTF-16 -> UTF-8 over 1 MiB of mixed text: the string conversions
// beside glibc's iconv doing the same work in the same run.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "StringT.h"
#include "UtfConversion.h"

namespace {

// ASCII, accented Latin, CJK and emoji in about equal shares of bytes.
const std::string& MixedText()
{
    static const std::string text = [] {
        const char* pieces[] = {
            "The quick brown fox jumps over the lazy dog; preset 42 saved. ",
            "Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e, \xC3\xBC" "ber Stra\xC3\x9F" "e, se\xC3\xB1or \xC3\xA0 la pi\xC3\xB1" "a. ",
            "\xE9\x8D\xB5\xE7\x9B\xA4\xE3\x81\xAE\xE8\xA8\xAD\xE5\xAE\x9A\xE3\x82\x92\xE4\xBF\x9D\xE5\xAD\x98\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x99\xE3\x80\x82\xE9\x9F\xB3\xE8\x89\xB2\xE7\xB7\xA8\xE9\x9B\x86",
            "\xF0\x9F\x8E\xB9\xF0\x9F\x8E\xB5\xF0\x9F\x8E\xB6\xF0\x9F\x98\x80\xF0\x9F\x91\x8D\xF0\x9F\x8E\xBC\xF0\x9F\x94\x8A ",
        };
        std::string out;
        const size_t size = 1 << 20;
        while (out.size() < size) {
            for (const char* p : pieces) out += p;
        }
        // Cut at a character boundary.
        size_t end = size;
        while ((static_cast<unsigned char>(out[end]) & 0xC0) == 0x80) --end;
        out.resize(end);
        return out;
    }();
    return text;
}

void BM_RoundTrip_Strings(benchmark::State& state)
{
    const std::string& text = MixedText();
    for (auto _ : state) {
        QV::String wide;
        const QV::QVResult in = QV::ConvertUTF8ToString(wide, text.data(), static_cast<int32_t>(text.size()));
        QV::NarrowString narrow;
        const QV::QVResult out = QV::ConvertStringToUTF8(narrow, wide.GetChars(), wide.GetLength());
        if (QV::Failed(in) || QV::Failed(out)) state.SkipWithError("conversion refused the text");
        benchmark::DoNotOptimize(narrow.GetChars());
        if (static_cast<size_t>(narrow.GetLength()) != text.size()) state.SkipWithError("round trip lost text");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_RoundTrip_Routines(benchmark::State& state)
{
    const std::string& text = MixedText();
    std::vector<char16_t> wide(text.size());
    std::vector<char> back(text.size());
    for (auto _ : state) {
        const char* s = text.data();
        char16_t* w = wide.data();
        QV::ConvertUtf8ToUtf16(s, text.data() + text.size(), w, wide.data() + wide.size());
        const char16_t* ws = wide.data();
        char* b = back.data();
        QV::ConvertUtf16ToUtf8(ws, w, b, back.data() + back.size(), QV::UtfMode::kLenient);
        benchmark::DoNotOptimize(back.data());
        if (static_cast<size_t>(b - back.data()) != text.size()) state.SkipWithError("round trip lost text");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// iconv into ready buffers: the same work as the routines above.
void BM_RoundTrip_Iconv(benchmark::State& state)
{
    const std::string& text = MixedText();
    iconv_t toWide = iconv_open("UTF-16LE", "UTF-8");
    iconv_t toNarrow = iconv_open("UTF-8", "UTF-16LE");
    if (toWide == reinterpret_cast<iconv_t>(-1) || toNarrow == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("iconv_open failed");
        return;
    }
    std::vector<char16_t> wide(text.size());
    std::vector<char> back(text.size());
    for (auto _ : state) {
        char* in = const_cast<char*>(text.data());
        size_t inLeft = text.size();
        char* out = reinterpret_cast<char*>(wide.data());
        size_t outLeft = wide.size() * sizeof(char16_t);
        iconv(toWide, &in, &inLeft, &out, &outLeft);
        const size_t wideBytes = wide.size() * sizeof(char16_t) - outLeft;

        char* win = reinterpret_cast<char*>(wide.data());
        size_t winLeft = wideBytes;
        char* bout = back.data();
        size_t boutLeft = back.size();
        iconv(toNarrow, &win, &winLeft, &bout, &boutLeft);
        benchmark::DoNotOptimize(back.data());
        if (back.size() - boutLeft != text.size()) state.SkipWithError("round trip lost text");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    iconv_close(toWide);
    iconv_close(toNarrow);
}

BENCHMARK(BM_RoundTrip_Strings)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RoundTrip_Routines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RoundTrip_Iconv)->Unit(benchmark::kMicrosecond);

// Prints the throughput of ours over iconv's after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With repetitions, the median stands for the benchmark.
            if (!run.aggregate_name.empty() && run.aggregate_name != "median") continue;
            const auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end()) mRates[run.run_name.function_name] = it->second.value;
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const double iconvRate = mRates["BM_RoundTrip_Iconv"];
        if (iconvRate <= 0) return;
        for (const char* name : {"BM_RoundTrip_Strings", "BM_RoundTrip_Routines"}) {
            const double ratio = mRates[name] / iconvRate;
            std::printf("%s / iconv throughput: %.2fx (goal: at least 1.0x, %s)\n", name, ratio,
                        ratio >= 1.0 ? "reached" : "not reached");
        }
    }

private:
    std::map<std::string, double> mRates;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
