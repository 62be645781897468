#pragma once

#include <QLabel>
#include <QPointer>

#include "analysis/rangestatistics.h"

namespace veltrano {

class ChartView;

// "Meetlijnen": what lies between the chart's two measuring lines, in a line or two under the
// chart: the time between them, and for voltage and temperature the number of samples, the
// lowest, highest and mean value and the time above and below the run's limits. Shown while
// "Markers" is on; follows a line while it is dragged.
class MeasuringStatistics : public QLabel {
    Q_OBJECT
public:
    explicit MeasuringStatistics(ChartView* chart, QWidget* parent = nullptr);

    // The index of the run the chart shows (buildRangeStatistics, on the run's worker);
    // replaces the last one. Its sample arrays must stay alive while it is set.
    void setIndex(RangeStatisticsIndex index);
    // No run: only the time between the lines is shown.
    void clearIndex();

    // The text for lines at x1 and x2, in the chart's unit.
    void showLines(double x1, double x2);

private:
    QPointer<ChartView> chart_;
    RangeStatisticsIndex index_;
    double x1_ = 0, x2_ = 0;
};

} // namespace veltrano
