#include "chart/paperchart.h"

#include "analysis/processing.h"
#include "chart/chartview.h"

namespace veltrano {

ChartFill sampleFill(const Samples& s) {
    ChartFill data;
    data.voltageTimes = s.voltageTimes.get();
    data.voltageValues = s.voltageValues.get();
    data.voltageSampleCount = s.voltageSampleCount;
    data.temperatureTimes = s.temperatureTimes.get();
    data.temperatureValues = s.temperatureValues.get();
    data.temperatureSampleCount = s.temperatureSampleCount;
    data.beginPointSeconds = s.beginPointSeconds;
    return data;
}

ChartFill runFill(const ProcessingResult& result) {
    ChartFill data = sampleFill(result.samples);
    for (std::size_t i = 0; i < kLimitFields.size(); ++i)
        data.limits[i] = double(result.limits.*filterField(kLimitFields[i]).value);
    return data;
}

std::unique_ptr<ChartView> fullViewChart(const ProcessingResult& result) {
    return fullViewChart(result,
                         hasRecording(result) ? buildPyramids(runFill(result)) : ChartPyramids{});
}

std::unique_ptr<ChartView> fullViewChart(const ProcessingResult& result, ChartPyramids pyramids) {
    auto chart = std::make_unique<ChartView>();
    chart->startProcessing(result.timeUnit);
    // The window draws a run only once its recording was closed.
    if (hasRecording(result)) {
        const Statistics& s = result.stats;
        chart->finishRecording(s.voltage.min, s.voltage.max, s.temperature.min, s.temperature.max,
                               result.lastVoltageTime);
    }
    chart->endProcessing();
    if (hasRecording(result))
        chart->fill(runFill(result), std::move(pyramids));
    const FullView& f = chart->fullView();
    chart->rightAxis().setMinMax(f.temperatureMin, f.temperatureMax);
    chart->leftAxis().setMinMax(f.voltageMin, f.voltageMax);
    chart->bottomAxis().setMinMax(f.timeMin, f.timeMax);
    return chart;
}

} // namespace veltrano
