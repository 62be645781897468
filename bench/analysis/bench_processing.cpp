// Processing a full image against a floor pass that only reads the words and writes the
// four sample arrays with the same counts.
#include <benchmark/benchmark.h>

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
        float* vv = s.spanningpuntenarray.get();
        float* vt = s.spanningtijdenarray.get();
        float* tv = s.temperatuurpuntenarray.get();
        float* tt = s.temperatuurtijdenarray.get();
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
        s.C = C;
        s.D = D;
        benchmark::DoNotOptimize(vv);
        benchmark::ClobberMemory();
    }
    state.counters["voltage_samples"] = double(voltages);
}

void BM_Processing(benchmark::State& state) {
    const std::uint8_t* img = image().data();
    const ProcessingSettings settings = ProcessingSettings::defaults(QLocale::c());
    ProcessingResult result;
    for (auto _ : state) {
        DecoderState decoder;
        processImage(img, settings, decoder, result);
        benchmark::ClobberMemory();
    }
    state.counters["voltage_samples"] = double(result.samples.C);
    state.counters["temperature_samples"] = double(result.samples.D);
    state.counters["events"] = double(result.calamiteitcount);
}
} // namespace

BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Processing)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
