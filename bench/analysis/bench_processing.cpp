// Processing a full image against a floor pass that only reads the words and writes the
// four sample arrays with the same counts, and against the same run without the per-day and
// band figures.
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include <benchmark/benchmark.h>

#include "interleaved.h"

#include "analysis/processing.h"
#include "demo.h"

using namespace veltrano;

namespace {
const std::vector<std::uint8_t>& image() {
    static const std::vector<std::uint8_t> bytes = eventRichRecording().image();
    return bytes;
}

void BM_Floor(benchmark::State& state) {
    const std::uint8_t* img = image().data();
    std::int64_t voltages = 0;
    Samples s; // reused like the processing run's arrays: emptied, not reallocated
    for (auto _ : state) {
        s.recreate();
        float* vv = s.voltageValues.get();
        float* vt = s.voltageTimes.get();
        float* tv = s.temperatureValues.get();
        float* tt = s.temperatureTimes.get();
        std::int32_t C = 0, D = 0;
        for (std::size_t i = 0; i < kImageWords; ++i) {
            const ImageWord w = splitWord(img, i);
            if (w.tag == tag::VoltageSample) {
                ++C;
                vv[C] = float(w.value);
                vt[C] = float(C);
            } else if (w.tag == tag::TemperatureSample) {
                ++D;
                tv[D] = float(w.value);
                tt[D] = float(D);
            } else if (w.tag == tag::End) {
                break;
            }
        }
        voltages = C;
        s.voltageSampleCount = C;
        s.temperatureSampleCount = D;
        benchmark::DoNotOptimize(vv);
        benchmark::ClobberMemory();
    }
    state.counters["voltage_samples"] = double(voltages);
}

template <class Process> void processFullImage(benchmark::State& state, Process process) {
    const std::uint8_t* img = image().data();
    const ProcessingSettings settings = ProcessingSettings::defaults(QLocale::c());
    ProcessingResult result;
    for (auto _ : state) {
        DecoderState decoder;
        process(img, settings, decoder, result);
        benchmark::ClobberMemory();
    }
    state.counters["voltage_samples"] = double(result.samples.voltageSampleCount);
    state.counters["temperature_samples"] = double(result.samples.temperatureSampleCount);
    state.counters["events"] = double(result.eventCount);
}

void BM_Processing(benchmark::State& state) {
    processFullImage(state, [](auto&&... a) { return processImage(a...); });
}

// The run without the per-day and band figures: what they add is the difference.
void BM_ProcessingWithoutDaysAndBands(benchmark::State& state) {
    processFullImage(state, [](auto&&... a) { return processImageWithoutDaysAndBands(a...); });
}

// Erased memory with a short recording near its end, "DONE" and zeros after it: 8,000,000
// words before the first recording-start word.
const std::vector<std::uint8_t>& sparseImage() {
    static const std::vector<std::uint8_t> bytes = [] {
        constexpr std::size_t kAt = 16'000'000;
        constexpr std::ptrdiff_t kRecording = 20'000;
        std::vector<std::uint8_t> b(kImageSize, 0);
        std::fill_n(b.begin(), kAt, std::uint8_t(0xFF));
        const std::vector<std::uint8_t> recording = demoRecording().image();
        const auto at = std::copy_n(recording.begin(), kRecording, b.begin() + kAt);
        std::copy_n("DONE", 4, at);
        return b;
    }();
    return bytes;
}

// The peer: the word-by-word walk to the first recording-start word that processing made
// before it crossed such words in blocks.
void BM_SparseWordWalk(benchmark::State& state) {
    const std::uint8_t* img = sparseImage().data();
    std::size_t found = 0;
    for (auto _ : state) {
        float calibration = 0;
        std::size_t i = 0;
        for (; i < kImageWords; ++i) {
            const ImageWord w = splitWord(img, i);
            if (w.tag == tag::Calibration)
                calibration = calibrationFromWord(w.value);
            else if (w.tag == tag::RecordingStart)
                break;
        }
        found = i;
        benchmark::DoNotOptimize(calibration);
    }
    state.counters["start_word"] = double(found);
}

void BM_SparseProcessing(benchmark::State& state) {
    const std::uint8_t* img = sparseImage().data();
    const ProcessingSettings settings = ProcessingSettings::defaults(QLocale::c());
    ProcessingResult result;
    for (auto _ : state) {
        DecoderState decoder;
        processImage(img, settings, decoder, result);
        benchmark::ClobberMemory();
    }
    state.counters["voltage_samples"] = double(result.samples.voltageSampleCount);
}

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
        ratio("BM_Processing", "BM_Floor", "full image, ours/floor");
        ratio("BM_SparseProcessing", "BM_SparseWordWalk", "sparse image, ours/word walk");
        const std::string with = "BM_Processing", without = "BM_ProcessingWithoutDaysAndBands";
        if (medians_.count(with) && medians_.count(without))
            std::printf("days and bands: %+.1f %%\n",
                        (medians_[with] / medians_[without] - 1) * 100);
    }

private:
    void ratio(const std::string& ours, const std::string& peer, const char* what) {
        if (medians_.count(ours) && medians_.count(peer))
            std::printf("ratio %-32s = %.3f\n", what, medians_[ours] / medians_[peer]);
    }
    std::map<std::string, double> medians_;
};
} // namespace

BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_Processing)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_ProcessingWithoutDaysAndBands)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_SparseWordWalk)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_SparseProcessing)->Unit(benchmark::kMillisecond)->Repetitions(5);

int main(int argc, char** argv) {
    RatioReporter reporter;
    return veltrano::bench::runInterleaved(argc, argv, reporter);
}
