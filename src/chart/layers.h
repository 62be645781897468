#pragma once

#include <span>
#include <vector>

#include <QPen>
#include <QRect>
#include <qcustomplot.h>

namespace veltrano {

// The vertical lines at the begin points, redrawn with every drawing of the chart. The
// times are sorted once per fill and unit, so a drawing only visits the lines in view.
class BeginPointLines : public QCPLayerable {
public:
    BeginPointLines(QCustomPlot* plot, QCPAxis* axis, std::size_t count);

    // Begin points in seconds; entries past the span's end count as 0.
    void setSeconds(std::span<const double> seconds);
    void setDivisor(int secondsPerUnit);
    // Distinct begin points in time units, ascending.
    const std::vector<double>& times() const { return times_; }

protected:
    QRect clipRect() const override;
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    void rebuild();

    QCPAxis* axis_;
    std::vector<double> seconds_;
    std::vector<double> times_;
    int divisor_ = 1;
    QPen pen_{QColor(0, 0, 0), 1};
};

// The red rectangle while the user drags a zoom.
class ZoomBand : public QCPLayerable {
public:
    explicit ZoomBand(QCustomPlot* plot);
    QRect rect;

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;
};

} // namespace veltrano
