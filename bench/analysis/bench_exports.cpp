// The voltage export of a full image against one plain write of the same bytes to the same
// kind of file, and the summary over eight full images two at a time against one at a time.
#include <fcntl.h>
#include <map>
#include <unistd.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "analysis/exports.h"
#include "demo.h"
#include "interleaved.h"
#include "summaryrun.h"

using namespace veltrano;

namespace {
QTemporaryDir& dir() {
    static QTemporaryDir d;
    return d;
}

ProcessingSettings dutchSettings() {
    return ProcessingSettings::defaults(QLocale(QLocale::Dutch, QLocale::Netherlands));
}

// The demo recording processed as the window does: a voltage every second for thirteen weeks.
const ProcessingResult& demoResult() {
    static const std::unique_ptr<ProcessingResult> result = [] {
        auto r = std::make_unique<ProcessingResult>();
        DecoderState state;
        const std::vector<std::uint8_t> image = demoRecording().image();
        processImage(image.data(), dutchSettings(), state, *r);
        return r;
    }();
    return *result;
}

const QByteArray& exportedBytes() {
    static const QByteArray bytes = [] {
        QByteArray b;
        QBuffer buffer(&b);
        buffer.open(QIODevice::WriteOnly);
        writeCsv(CsvExport::Voltage, demoResult(), dutchSettings(), buffer);
        return b;
    }();
    return bytes;
}

void BM_ExportVoltages(benchmark::State& state) {
    const ProcessingResult& result = demoResult();
    const ProcessingSettings settings = dutchSettings();
    const QString path = dir().filePath("ours.csv");
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path); // a new file each time, as saving makes one
        state.ResumeTiming();
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        auto error = writeCsv(CsvExport::Voltage, result, settings, file);
        benchmark::DoNotOptimize(error);
    }
    state.counters["rows"] = double(result.samples.voltageSampleCount);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * exportedBytes().size());
}

// Floor: the finished bytes in one write.
void BM_PlainWrite(benchmark::State& state) {
    const QByteArray& bytes = exportedBytes();
    const QByteArray name = QFile::encodeName(dir().filePath("plain.csv"));
    for (auto _ : state) {
        state.PauseTiming();
        ::unlink(name.constData());
        state.ResumeTiming();
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        qint64 put = 0;
        while (put < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.constData() + put, std::size_t(bytes.size() - put));
            if (n <= 0)
                break;
            put += n;
        }
        ::close(fd);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * bytes.size());
}

// Eight full images: the demo recording and the event-rich one, four files each.
const QStringList& fleet() {
    static const QStringList paths = [] {
        QStringList p;
        const ImageBuilder images[] = {demoRecording(), eventRichRecording()};
        for (int i = 0; i < 8; ++i) {
            p << dir().filePath(QStringLiteral("logger-%1.img").arg(i));
            if (i < 2)
                images[i].save(p.last());
            else
                QFile::copy(p.at(i % 2), p.last());
        }
        return p;
    }();
    return paths;
}

void BM_Summary(benchmark::State& state) {
    const QStringList& images = fleet();
    const ProcessingSettings settings = dutchSettings();
    for (auto _ : state) {
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        const auto outcome = report::runSummary(images, settings, int(state.range(0)), out);
        if (outcome.failedImages != 0)
            state.SkipWithError("an image failed");
    }
    state.counters["images"] = double(images.size());
}

// CPU columns: all threads of the process, the formatting threads included.
BENCHMARK(BM_ExportVoltages)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(5);
BENCHMARK(BM_PlainWrite)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(5);
BENCHMARK(BM_Summary)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);

// Wall-clock medians, the goals; processor time of all threads beside them, which shows the
// work done whatever else the machine runs.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Aggregate &&
                r.aggregate_name == "median")
                medians_[r.run_name.function_name + "/" + r.run_name.args] = {
                    r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto have = [this](const std::string& a, const std::string& b) {
            return medians_.count(a) && medians_.count(b) && medians_[b].real > 0 &&
                   medians_[b].cpu > 0;
        };
        const std::string ours = "BM_ExportVoltages/";
        const std::string floor = "BM_PlainWrite/";
        if (have(ours, floor))
            std::printf("ratio voltage export / plain write: %.2f wall-clock (goal at most 2), "
                        "%.2f processor time\n",
                        medians_[ours].real / medians_[floor].real,
                        medians_[ours].cpu / medians_[floor].cpu);
        const std::string one = "BM_Summary/1";
        const std::string two = "BM_Summary/2";
        if (have(one, two))
            std::printf("throughput of summary --jobs 2 / --jobs 1: %.2f wall-clock (goal at "
                        "least 1.7); processor time %.2f\n",
                        medians_[one].real / medians_[two].real,
                        medians_[two].cpu / medians_[one].cpu);
    }

private:
    struct Times {
        double real;
        double cpu;
    };
    std::map<std::string, Times> medians_;
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    RatioReporter reporter;
    return veltrano::bench::runInterleaved(argc, argv, reporter);
}
