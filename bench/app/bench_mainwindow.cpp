// The main window's share of processing, the event loop's longest stall while it runs or
// exports, closing the window in the middle of a run, and the cost of the coloured report box.
//   window processing / core alone         goal: at most 1.5
//   longest event-loop stall, demo         goal: at most 50 ms
//   longest stall, event-rich image        goal: at most 50 ms
//   table fill, 13,530 events              goal: at most 20 ms
//   stall voltage export, stall report pdf goal: at most 50 ms
//   close during a run, full image         goal: at most 100 ms
//   coloured report / plain text           goal: at most 3
#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include "interleaved.h"

#include "analysis/processing.h"
#include "app/eventtable.h"
#include "app/exportactions.h"
#include "app/mainwindow.h"
#include "app/processingrun.h"
#include "app/uiseams.h"
#include "chart/chartview.h"
#include "demo.h"
#include "paper/reportview.h"
#include "scriptedseams.h"

using namespace veltrano;

namespace {

const ImageBuilder& demo() {
    static const ImageBuilder image = demoRecording();
    return image;
}

// A full memory with thousands of events.
const ImageBuilder& eventRich() {
    static const ImageBuilder image = eventRichRecording();
    return image;
}

// 10,000 over-voltage events of a minute each, 12 V between them.
const ImageBuilder& manyEvents() {
    static const ImageBuilder image = [] {
        ImageBuilder b;
        b.recording(6, 1).temperature(20);
        for (int i = 0; i < 10'000; ++i)
            b.voltage(12.0, 10).voltage(13.0, 10);
        b.voltage(12.0).done();
        return b;
    }();
    return image;
}

// A shown main window with the image opened through "Data openen".
struct OpenedWindow {
    ScriptedSeams seams;
    MainWindow form{&seams};
    QTemporaryDir dir;

    explicit OpenedWindow(const ImageBuilder& image) {
        const QString path = dir.filePath("beeld.img");
        if (image.save(path) || !form.openImage(path))
            qFatal("cannot open the benchmark image");
        form.show();
    }
};

// The longest time the event loop did not get round while it runs: a timer of interval 0
// notes every turn.
class StallWatch {
public:
    StallWatch() {
        clock_.start();
        ticks_.setInterval(0);
        QObject::connect(&ticks_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        ticks_.start();
    }
    double longestMs() const { return double(longest_) / 1e6; }

private:
    QElapsedTimer clock_;
    QTimer ticks_;
    qint64 last_ = 0, longest_ = 0;
};

// "Data verwerken" until the chart has been filled from the run and drawn, measuring the
// longest time the event loop did not get round, start and chart drawing included.
double processEndToEnd(MainWindow& form) {
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    bool started = false;
    // The fill asks for a drawing on a later turn: the end is the first drawing after the
    // run's fill, and one more turn for its painting.
    const QMetaObject::Connection drawn =
        QObject::connect(form.chart()->plot(), &QCustomPlot::afterReplot, &loop, [&] {
            if (started && !form.isProcessing() && form.result())
                QTimer::singleShot(0, &loop, &QEventLoop::quit);
        });
    QTimer ticks;
    ticks.setInterval(0);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    ticks.start();
    QTimer::singleShot(0, &form, [&] {
        form.process();
        started = form.isProcessing();
    });
    loop.exec();
    QObject::disconnect(drawn);
    return double(longest) / 1e6;
}

void windowProcessing(benchmark::State& state, const ImageBuilder& image) {
    OpenedWindow w(image);
    // Two runs first, so that both result buffers and the image's copy have their pages, as
    // the core's floor has its arrays.
    for (int i = 0; i < 2; ++i)
        processEndToEnd(w.form);
    double stall = 0;
    for (auto _ : state)
        stall = std::max(stall, processEndToEnd(w.form));
    state.counters["longest_stall_ms"] = stall;
    if (!w.form.result() || !w.form.result()->completed)
        state.SkipWithError("the image did not process cleanly");
}

void BM_WindowProcessing(benchmark::State& state) {
    windowProcessing(state, demo());
}

void BM_WindowProcessingManyEvents(benchmark::State& state) {
    windowProcessing(state, manyEvents());
}

void BM_WindowProcessingEventRich(benchmark::State& state) {
    windowProcessing(state, eventRich());
}

// "Calamiteiten" taking the event-rich image's 13,530 events, to the end of its first drawing.
void BM_EventTableFill(benchmark::State& state) {
    auto result = std::make_shared<ProcessingResult>();
    {
        MemoryImage image;
        eventRich().writeTo(image);
        DecoderState decoder;
        processImage(image.data(), ProcessingSettings::defaults(), decoder, *result);
    }
    EventTable table;
    table.resize(700, 500);
    table.show();
    for (auto _ : state) {
        table.setResult(nullptr);
        table.setResult(result);
        benchmark::DoNotOptimize(table.grab());
    }
    if (result->events.size() != 13'530)
        state.SkipWithError("the event-rich image has another number of events");
}

// An export of the processed demo image, from the menu entry to its end, into a new file each
// time; the longest stall of the event loop meanwhile.
void windowExport(benchmark::State& state, const char* name,
                  const std::function<void(ExportActions&)>& start) {
    OpenedWindow w(demo());
    processEndToEnd(w.form);
    ExportActions& exports = w.form.exports();
    double stall = 0;
    int file = 0;
    for (auto _ : state) {
        const QString path = w.dir.filePath(QStringLiteral("%1-%2").arg(name).arg(file++));
        w.seams.saveAnswers << path;
        QEventLoop loop;
        QObject::connect(&exports, &ExportActions::ended, &loop, &QEventLoop::quit);
        StallWatch watch;
        QTimer::singleShot(0, &w.form, [&] { start(exports); });
        loop.exec();
        stall = std::max(stall, watch.longestMs());
        QFile::remove(path);
    }
    state.counters["longest_stall_ms"] = stall;
    if (!w.seams.messages.isEmpty())
        state.SkipWithError(qPrintable(w.seams.messages.first()));
}

void BM_WindowVoltageExport(benchmark::State& state) {
    windowExport(state, "spanning.csv", [](ExportActions& x) { x.exportCsv(CsvExport::Voltage); });
}

void BM_WindowReportPdf(benchmark::State& state) {
    windowExport(state, "rapport.pdf", [](ExportActions& x) { x.saveReportPdf(); });
}

// Closing the window in the middle of a run over a full image: from the close to its end.
void BM_CloseDuringRun(benchmark::State& state) {
    double slowest = 0;
    for (auto _ : state) {
        auto w = std::make_unique<OpenedWindow>(eventRich());
        QEventLoop loop;
        int reports = 0;
        // Well into the run: ten progress reports in, 850,000 image words read.
        QObject::connect(&w->form.processingRun(), &ProcessingRun::progressed, &loop, [&] {
            if (++reports == 10)
                loop.quit();
        });
        w->form.process();
        loop.exec();
        QElapsedTimer clock;
        clock.start();
        w->form.close();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        slowest = std::max(slowest, seconds * 1e3);
    }
    state.counters["slowest_ms"] = slowest;
}

// The core alone with the same settings: the floor.
void BM_CoreProcessing(benchmark::State& state) {
    const ProcessingSettings settings = ProcessingSettings::defaults();
    MemoryImage image;
    demo().writeTo(image);
    DecoderState decoder;
    ProcessingResult result;
    for (auto _ : state) {
        processImage(image.data(), settings, decoder, result);
        benchmark::DoNotOptimize(result.report.lines().size());
    }
}

// 10,000 event blocks, red and normal lines as an over-voltage block with hot cross lines.
const Report& bigReport() {
    static const Report report = [] {
        Report r;
        for (int i = 0; i < 19; ++i)
            r.replace(i, QStringLiteral("Samenvatting\tregel %1").arg(i));
        for (int n = 1; n <= 10'000; ++n) {
            r.setRed(false);
            r.append(QString());
            r.append(QStringLiteral("Calamiteit nummer\t%1").arg(n));
            r.append(QStringLiteral("Hoeveelste overspanning\t%1").arg(n));
            r.append(QStringLiteral("Moment van overspanning\tminuut %1").arg(n * 7));
            r.append(QStringLiteral("Duur van de overspanning\t0 dagen 0 uren 7 minuten 0 "
                                    "seconden "));
            r.setRed(true);
            r.append(QStringLiteral("Gemiddelde overspanning\t12,84 Volt"));
            r.append(QStringLiteral("Hoogste spanning\t13,1 Volt"));
            r.setRed(n % 3 == 0);
            r.append(QStringLiteral("Gemiddelde temperatuur\t20,75 \u00B0C"));
            r.append(QStringLiteral("Hoogste temperatuur\t21 \u00B0C"));
            r.append(QStringLiteral("Laagste temperatuur\t20,5 \u00B0C"));
        }
        return r;
    }();
    return report;
}

void BM_ReportColoured(benchmark::State& state) {
    QPlainTextEdit box;
    setUpReportBox(&box);
    box.show();
    const Report& report = bigReport();
    for (auto _ : state) {
        showReport(&box, report);
        benchmark::DoNotOptimize(box.document()->blockCount());
    }
}

// The same text without colours: the peer.
void BM_ReportPlain(benchmark::State& state) {
    QPlainTextEdit box;
    setUpReportBox(&box);
    box.show();
    const QString text = bigReport().plainText();
    for (auto _ : state) {
        box.setPlainText(text);
        benchmark::DoNotOptimize(box.document()->blockCount());
    }
}

// Repeated and interleaved, ratios from the medians: other work on the shared cores comes
// and goes within a run.
// Real time: the run itself is on a worker thread.
// The worst repetition of a stall or a close.
double largest(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

BENCHMARK(BM_WindowProcessing)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5)
    ->ComputeStatistics("max", largest)
    ->UseRealTime();
BENCHMARK(BM_WindowProcessingManyEvents)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(3)
    ->ComputeStatistics("max", largest)
    ->UseRealTime();
BENCHMARK(BM_WindowProcessingEventRich)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(3)
    ->ComputeStatistics("max", largest)
    ->UseRealTime();
BENCHMARK(BM_EventTableFill)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(3)
    ->ComputeStatistics("max", largest)
    ->UseRealTime();
BENCHMARK(BM_WindowVoltageExport)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ComputeStatistics("max", largest)
    ->UseRealTime();
BENCHMARK(BM_WindowReportPdf)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ComputeStatistics("max", largest)
    ->UseRealTime();
BENCHMARK(BM_CloseDuringRun)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ComputeStatistics("max", largest)
    ->UseManualTime();
BENCHMARK(BM_CoreProcessing)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->Repetitions(5)
    ->UseRealTime();
BENCHMARK(BM_ReportColoured)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(5);
BENCHMARK(BM_ReportPlain)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(5);

// Console output plus, at the end, each of our benchmarks against its floor or peer, in
// wall-clock time, and the longest event-loop stalls.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred)
                continue;
            const std::string name = r.run_name.function_name;
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians_[name] = r.GetAdjustedRealTime();
            // Only aggregates are reported: the worst repetition comes as the "max" statistic.
            if (r.run_type != Run::RT_Aggregate || r.aggregate_name != "max")
                continue;
            if (const auto stall = r.counters.find("longest_stall_ms"); stall != r.counters.end())
                stalls_[name] = stall->second;
            if (const auto close = r.counters.find("slowest_ms"); close != r.counters.end())
                slowest_[name] = close->second;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        ratio("BM_WindowProcessing", "BM_CoreProcessing", 1.5,
              "demo image, window end to end / core");
        ratio("BM_ReportColoured", "BM_ReportPlain", 3.0, "10,000 event blocks, coloured / plain");
        for (const auto& [name, ms] : stalls_)
            std::printf("longest event-loop stall %-30s = %.1f ms%s\n", name.c_str(), ms,
                        name == "BM_WindowProcessing" ? " (goal at most 50 ms)" : "");
        line("longest stall, event-rich image", stalls_, "BM_WindowProcessingEventRich");
        line("table fill, 13,530 events", medians_, "BM_EventTableFill");
        line("stall voltage export", stalls_, "BM_WindowVoltageExport");
        line("stall report pdf", stalls_, "BM_WindowReportPdf");
        line("close during a run", slowest_, "BM_CloseDuringRun");
    }

private:
    // One line of its own for a figure the README quotes.
    static void line(const char* what, const std::map<std::string, double>& figures,
                     const std::string& name) {
        if (const auto it = figures.find(name); it != figures.end())
            std::printf("%s: %.1f ms\n", what, it->second);
    }
    std::map<std::string, double> stalls_;
    std::map<std::string, double> slowest_; // the slowest repetition
    void ratio(const std::string& ours, const std::string& floor, double goal, const char* what) {
        if (!medians_.count(ours) || !medians_.count(floor) || medians_[floor] <= 0)
            return;
        const double r = medians_[ours] / medians_[floor];
        std::printf("ratio %-40s = %.2f (goal at most %.1f)\n", what, r, goal);
    }
    std::map<std::string, double> medians_;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RatioReporter reporter;
    return veltrano::bench::runInterleaved(argc, argv, reporter);
}
