// The main window's share of processing, and the cost of the coloured report box.
//   window processing / core alone   goal: at most 1.5
//   coloured report / plain text     goal: at most 3
#include <map>
#include <string>

#include <QApplication>
#include <QTextEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "analysis/processing.h"
#include "app/Unit1.h"
#include "app/reportview.h"
#include "app/uiseams.h"
#include "demo.h"

using namespace veltrano;

namespace {

const ImageBuilder& demo() {
    static const ImageBuilder image = demoRecording();
    return image;
}

// Processing through the window: core, report box, controls, as "Data verwerken" does.
void BM_WindowProcessing(benchmark::State& state) {
    ScriptedSeams seams;
    TForm1 form(&seams);
    demo().writeTo(form.spanningArray);
    form.show();
    for (auto _ : state) {
        form.buttonmemoClick();
        benchmark::DoNotOptimize(form.memo1->document()->blockCount());
    }
    if (!seams.messages.isEmpty() || !form.result.completed)
        state.SkipWithError("the demo recording did not process cleanly");
}

// The core alone with the same settings: the floor.
void BM_CoreProcessing(benchmark::State& state) {
    ScriptedSeams seams;
    const ProcessingSettings settings = TForm1(&seams).readSettings();
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
    QTextEdit box;
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
    QTextEdit box;
    setUpReportBox(&box);
    box.show();
    const QString text = bigReport().plainText();
    for (auto _ : state) {
        box.setPlainText(text);
        benchmark::DoNotOptimize(box.document()->blockCount());
    }
}

BENCHMARK(BM_WindowProcessing)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_CoreProcessing)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_ReportColoured)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReportPlain)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps each benchmark's time per iteration so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                seconds[run.run_name.function_name] =
                    run.cpu_accumulated_time / double(run.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [&](const char* ours, const char* floor, double goal) {
        const auto a = reporter.seconds.find(ours);
        const auto b = reporter.seconds.find(floor);
        if (a == reporter.seconds.end() || b == reporter.seconds.end() || b->second <= 0)
            return;
        const double r = a->second / b->second;
        std::printf("%s / %s = %.2f (goal at most %.1f: %s)\n", ours, floor, r, goal,
                    r <= goal ? "met" : "NOT met");
    };
    std::printf("Ratios of CPU time (the machine may be shared):\n");
    ratio("BM_WindowProcessing", "BM_CoreProcessing", 1.5);
    ratio("BM_ReportColoured", "BM_ReportPlain", 3.0);
    benchmark::Shutdown();
    return 0;
}
