// The overview strip and the statistics between the measuring lines on the demo recording
// (8.1 million voltage samples): a redraw of the whole strip after the view moved, and an
// update of the statistics for lines at the two ends of the recording. Also what is done once
// per run or per resize: the strip's column cache and the statistics' block index.
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QLocale>
#include <benchmark/benchmark.h>

#include "analysis/processing.h"
#include "analysis/rangestatistics.h"
#include "chart/chartview.h"
#include "chart/measuringstatistics.h"
#include "chart/overviewstrip.h"
#include "chart/paperchart.h"
#include "demo.h"
#include "interleaved.h"

using namespace veltrano;

namespace {

// As wide as the chart of a 1920-pixel window.
constexpr QSize kStripSize(1300, OverviewStrip::kHeight);

struct Demo {
    DecoderState decoder;
    std::unique_ptr<ProcessingResult> result = std::make_unique<ProcessingResult>();
    ChartView chart;
    OverviewStrip strip{&chart};
    MeasuringStatistics statistics{&chart};

    Demo() {
        const std::vector<std::uint8_t> image = demoRecording().image();
        processImage(image.data(), ProcessingSettings::defaults(QLocale::c()), decoder, *result);
        chart.resize(1300, 600);
        chart.show();
        chart.startProcessing(result->timeUnit);
        chart.finishRecording(result->stats.voltage.min, result->stats.voltage.max,
                              result->stats.temperature.min, result->stats.temperature.max,
                              result->lastVoltageTime);
        chart.endProcessing();
        chart.fill(runFill(*result));
        chart.redraw();
        strip.resize(kStripSize);
        strip.show();
        strip.fill(result->events, result->secondsPerUnit);
        statistics.setIndex(buildRangeStatistics(*result));
        chart.markersCheckBox()->setChecked(true);
        QApplication::processEvents();
    }
    // The stored times of the first and the last sample.
    double firstTime() const { return result->samples.voltageTimes[1]; }
    double lastTime() const {
        return result->samples.voltageTimes[result->samples.voltageSampleCount];
    }
};

std::unique_ptr<Demo> g_demo;

Demo& demo() {
    if (!g_demo)
        g_demo = std::make_unique<Demo>();
    return *g_demo;
}

// The view moves a page on, and the whole strip is painted.
void strip_redraw(benchmark::State& state) {
    Demo& d = demo();
    double page = 0;
    for (auto _ : state) {
        page = page + 997 > d.lastTime() ? 0 : page + 997;
        d.chart.bottomAxis().setMinMax(page, page + 1440);
        d.strip.repaint();
    }
    state.counters["voltage_samples"] = double(d.result->samples.voltageSampleCount);
}

// A resize: the lowest and highest voltage per column again from the pyramid.
void strip_cache(benchmark::State& state) {
    Demo& d = demo();
    int width = kStripSize.width();
    for (auto _ : state) {
        width = width == kStripSize.width() ? width - 1 : kStripSize.width();
        d.strip.resize(width, kStripSize.height());
    }
}

// What the label does at every step of a drag: the statistics and their text.
void statistics_update(benchmark::State& state) {
    Demo& d = demo();
    const double first = d.firstTime(), last = d.lastTime();
    for (auto _ : state)
        d.statistics.showLines(first, last);
    state.counters["text_chars"] = double(d.statistics.text().size());
}

// The statistics alone.
void statistics_query(benchmark::State& state) {
    Demo& d = demo();
    const RangeStatisticsIndex index = buildRangeStatistics(*d.result);
    const double first = d.firstTime(), last = d.lastTime();
    for (auto _ : state) {
        const RangeStatistics s = index.between(first, last);
        benchmark::DoNotOptimize(s);
    }
}

// Once per run, on its worker.
void statistics_index(benchmark::State& state) {
    Demo& d = demo();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const RangeStatisticsIndex index = buildRangeStatistics(*d.result);
        bytes = index.memoryBytes();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["index_MB"] = double(bytes) / 1e6;
}

// Prints the figures from the medians of the CPU time: the painting and the statistics run on
// one thread, and CPU time leaves out the other work on the shared cores.
class FigureReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (!r.error_occurred && r.run_type == Run::RT_Aggregate &&
                r.aggregate_name == "median")
                times_[r.run_name.function_name] = r.GetAdjustedCPUTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const std::pair<const char*, const char*> lines[] = {
            {"strip_redraw", "strip redraw"},
            {"statistics_update", "statistics between the lines"},
            {"strip_cache", "strip column cache after a resize"},
            {"statistics_query", "statistics between the lines without the label"},
            {"statistics_index", "statistics index of a run"},
        };
        for (const auto& [name, words] : lines) {
            if (times_.count(name))
                std::printf("%s: %.3g ms\n", words, times_[name]);
        }
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

BENCHMARK(strip_redraw)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);
BENCHMARK(strip_cache)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);
BENCHMARK(statistics_update)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);
BENCHMARK(statistics_query)->Unit(benchmark::kMillisecond)->MinTime(0.2)->Repetitions(9);
BENCHMARK(statistics_index)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    FigureReporter reporter;
    const int rc = veltrano::bench::runInterleaved(argc, argv, reporter);
    g_demo.reset();
    return rc;
}
