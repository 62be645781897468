#pragma once

#include <QSize>
#include <QWidget>

#include "analysis/bands.h"

class QCPBars;
class QCPItemStraightLine;
class QCustomPlot;
class QLabel;
class QPicture;

namespace veltrano {

// The hours one quantity spent in each band, as bars, with the run's two limits as vertical
// lines, and under it the time above, between and below the limits.
class BandChart : public QWidget {
    Q_OBJECT
public:
    enum Quantity { Voltage, Temperature };
    BandChart(Quantity quantity, QWidget* parent = nullptr);

    // A run's bands and its lower and upper limit; an empty table clears the chart.
    void show(const BandTable& bands, double lower, double upper);
    void clear();

    QCustomPlot* plot() const { return plot_; }
    // "Boven …: 3,5 uur (1,2 %)   Tussen …   Onder …"
    QString figures() const;
    // The chart and its figures as vectors laid out at `size`, for paper.
    void record(QPicture& picture, QSize size) const;

private:
    Quantity quantity_;
    QCustomPlot* plot_;
    QCPBars* bars_;
    QCPItemStraightLine* lowerLine_;
    QCPItemStraightLine* upperLine_;
    QLabel* figures_;
};

// The figures line of a band table: hours and share of the time above, between and below.
QString bandFigures(const BandTable& bands, BandChart::Quantity quantity, double lower,
                    double upper);

} // namespace veltrano
