#pragma once

#include <memory>

namespace veltrano {

class ChartView;
struct ChartFill;
struct ChartPyramids;
struct ProcessingResult;
struct Samples;

// A chart fill pointing at a run's sample arrays and begin points; the limits left at zero.
ChartFill sampleFill(const Samples& samples);
// The same with the limits the run used.
ChartFill runFill(const ProcessingResult& result);

// A chart no one sees, holding a finished run at full view, with the run's own limits as its
// threshold lines: the whole recording for a report on paper, whatever view the window shows.
// The run's sample arrays must outlive the chart.
std::unique_ptr<ChartView> fullViewChart(const ProcessingResult& result);
// The same with the run's pyramids at hand.
std::unique_ptr<ChartView> fullViewChart(const ProcessingResult& result, ChartPyramids pyramids);

} // namespace veltrano
