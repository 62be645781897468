#include "chart/paperchart.h"

#include "analysis/processing.h"
#include "chart/chartview.h"

namespace veltrano {

ChartFill sampleFill(const Samples& s) {
    ChartFill data;
    data.spanningtijdenarray = s.spanningtijdenarray.get();
    data.spanningpuntenarray = s.spanningpuntenarray.get();
    data.C = s.C;
    data.temperatuurtijdenarray = s.temperatuurtijdenarray.get();
    data.temperatuurpuntenarray = s.temperatuurpuntenarray.get();
    data.D = s.D;
    data.spanningbeginpuntarray = s.spanningbeginpuntarray;
    return data;
}

std::unique_ptr<ChartView> fullViewChart(const ProcessingResult& result) {
    auto chart = std::make_unique<ChartView>();
    chart->startProcessing(result.timeUnit);
    // The window draws a run only once its recording was closed.
    if (result.completed) {
        const Statistics& s = result.stats;
        chart->finishRecording(s.minspanning, s.maxspanning, s.mintemperatuur, s.maxtemperatuur,
                               result.bottomaxismax);
    }
    chart->endProcessing();
    if (result.completed) {
        ChartFill data = sampleFill(result.samples);
        data.overspanning = double(result.limits.overspanning);
        data.onderspanning = double(result.limits.onderspanning);
        data.temperatuurbovengrens = double(result.limits.temperatuurbovengrens);
        data.temperatuurondergrens = double(result.limits.temperatuurondergrens);
        chart->fill(data);
    }
    const FullView& f = chart->fullView;
    chart->rightAxis().setMinMax(f.rightaxismin, f.rightaxismax);
    chart->leftAxis().setMinMax(f.leftaxismin, f.leftaxismax);
    chart->bottomAxis().setMinMax(f.bottomaxismin, f.bottomaxismax);
    return chart;
}

} // namespace veltrano
