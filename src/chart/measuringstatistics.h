#pragma once

#include <array>

#include <QPointer>
#include <QWidget>

#include "analysis/rangestatistics.h"

class QLabel;

namespace veltrano {

class ChartView;

// "Meetlijnen": what lies between the chart's two measuring lines, in two lines of text under
// the chart. On the left the time between them in the chart's unit and as days, hours, minutes
// and seconds; on the right for voltage and temperature the number of samples, the lowest,
// highest and mean value and the hours above and below the run's limits. Shown while
// "Markers" is on; follows a line while it is dragged.
class MeasuringStatistics : public QWidget {
    Q_OBJECT
public:
    explicit MeasuringStatistics(ChartView* chart, QWidget* parent = nullptr);

    // The index of the run the chart shows (buildRangeStatistics, on the run's worker);
    // replaces the last one. The run's sample arrays must stay alive while it is set.
    void setIndex(RangeStatisticsIndex index);
    // No run: only the time between the lines is shown.
    void clearIndex();

    // The texts for lines at x1 and x2 in the chart's unit.
    void showLines(double x1, double x2);
    // The two lines as shown, the columns parted by two blanks.
    QString text() const;

private:
    QPointer<ChartView> chart_;
    RangeStatisticsIndex index_;
    double x1_ = 0, x2_ = 0;
    // The time in the unit and as d u m s, the voltage's and the temperature's figures.
    std::array<QLabel*, 4> labels_{};
};

} // namespace veltrano
