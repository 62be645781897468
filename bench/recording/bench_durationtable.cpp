// The duration table by whole cycles against the logger's memory walk, one sample per step.
#include <cstdio>
#include <map>
#include <string>

#include <benchmark/benchmark.h>

#include "memorywalk.h"
#include "recording/durationtable.h"
#include "recording/intervals.h"

using namespace veltrano;

namespace {

using testing::walkMemory;

void BM_TableSecondsByCycles(benchmark::State& state) {
    for (auto _ : state)
        for (int v = 0; v < kDurationRows; ++v)
            for (int t = 0; t < kDurationColumns; ++t)
                benchmark::DoNotOptimize(recordingSeconds(v, t));
}
BENCHMARK(BM_TableSecondsByCycles)->Unit(benchmark::kMicrosecond);

// What the window computes per unit choice: all 48 cell texts.
void BM_TableTexts(benchmark::State& state) {
    const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
    for (auto _ : state)
        benchmark::DoNotOptimize(durationCellTexts(0, dutch));
}
BENCHMARK(BM_TableTexts)->Unit(benchmark::kMicrosecond);

// All 48 cells, several hundred million steps: a few iterations are plenty.
void BM_TableSecondsByStepRule(benchmark::State& state) {
    for (auto _ : state)
        for (int v = 0; v < kDurationRows; ++v)
            for (int t = 0; t < kDurationColumns; ++t)
                benchmark::DoNotOptimize(walkMemory(v, t));
}
BENCHMARK(BM_TableSecondsByStepRule)->Unit(benchmark::kMicrosecond)->Iterations(3);

// Keeps each benchmark's time per iteration so the ratios can be printed after the
// run; CPU time, as the cores are shared with other work.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {} // no colour codes in saved logs
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            seconds[run.benchmark_name()] =
                run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto& s = reporter.seconds;
    const auto steps = s.find("BM_TableSecondsByStepRule/iterations:3");
    if (steps == s.end())
        return 0;
    for (const char* name : {"BM_TableSecondsByCycles", "BM_TableTexts"})
        if (const auto ours = s.find(name); ours != s.end())
            std::printf("step rule / %s: %.0fx (%.3f us vs %.0f us CPU per table)\n", name,
                        steps->second / ours->second, ours->second * 1e6, steps->second * 1e6);
    return 0;
}
