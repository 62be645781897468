#pragma once

namespace veltrano {

class ChartView;
struct MainWidgets;
struct ProcessingResult;

// Hands a processed result to the chart: its sample arrays and begin points, and the four
// limit lines as the edits hold them now. False, and the chart untouched, when a limit text
// is no number; the fill then stays due. The arrays must outlive the chart's use of them.
bool feedChart(ChartView& chart, const ProcessingResult& result, const MainWidgets& ui);

} // namespace veltrano
