#pragma once

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include <QLineF>
#include <qcustomplot.h>

#include "chart/plainplottable.h"

namespace veltrano {

class Envelope;

// One limit: a horizontal line at a value from one time to another.
class LimitLine : public PlainPlottable {
public:
    LimitLine(QCPAxis* time, QCPAxis* value) : PlainPlottable(time, value) {}

    void set(double from, double to, double value);
    void clear() { line_.reset(); }
    // Its two points, empty when there is no line.
    std::vector<std::pair<double, double>> points() const;
    // The line in pixels, cut to the plot area; empty when none of it shows.
    std::optional<QLineF> pixels() const;

    QCPRange getKeyRange(bool& found, QCP::SignDomain) const override;
    QCPRange getValueRange(bool& found, QCP::SignDomain, const QCPRange&) const override;

protected:
    void draw(QCPPainter* painter) override;

private:
    struct Line {
        double from, to, value;
    };
    std::optional<Line> line_;
};

// The four limit lines (index 0 to 3): "Overspanning" and "Onderspanning" on the left axis
// over the voltage series, "Overtemperatuur" and "Ondertemperatuur" on the right axis over the
// temperature series.
class ThresholdLines {
public:
    ThresholdLines(QCPAxis* time, QCPAxis* voltage, QCPAxis* temperature);

    // Each line spans its own series from its first to its last sample; without voltage
    // samples no line is drawn, without temperature samples no temperature line.
    void set(const Envelope& voltage, const Envelope& temperature,
             const std::array<double, 4>& limits);
    void clear();

    LimitLine* line(int i) const { return lines_[i]; }
    const std::array<LimitLine*, 4>& lines() const { return lines_; }

private:
    std::array<LimitLine*, 4> lines_{};
};

} // namespace veltrano
