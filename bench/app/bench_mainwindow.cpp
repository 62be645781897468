// The main window's share of processing, and the cost of the coloured report box.
//   window processing / core alone   goal: at most 1.5
//   coloured report / plain text     goal: at most 3
#include <map>
#include <string>
#include <vector>

#include <QApplication>
#include <QTextEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "interleaved.h"

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

// Repeated and interleaved, ratios from the medians: other work on the shared cores comes
// and goes within a run.
BENCHMARK(BM_WindowProcessing)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(5);
BENCHMARK(BM_CoreProcessing)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(5);
BENCHMARK(BM_ReportColoured)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(5);
BENCHMARK(BM_ReportPlain)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(5);

// Console output plus, at the end, each of our benchmarks against its floor or peer, in CPU
// time: everything runs on the one GUI thread.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Aggregate &&
                r.aggregate_name == "median")
                medians_[r.run_name.function_name] = r.GetAdjustedCPUTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        ratio("BM_WindowProcessing", "BM_CoreProcessing", 1.5,
              "demo image, window end to end / core");
        ratio("BM_ReportColoured", "BM_ReportPlain", 3.0, "10,000 event blocks, coloured / plain");
    }

private:
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
