#pragma once

#include <array>
#include <utility>
#include <vector>

class QCPAxis;
class QCPGraph;
class QCustomPlot;

namespace veltrano {

class Envelope;

// The four limit lines (Series3 to Series6, index 0 to 3): "Overspanning" and
// "Onderspanning" on the left axis over the voltage series, "Overtemperatuur" and
// "Ondertemperatuur" on the right axis over the temperature series.
class ThresholdLines {
public:
    ThresholdLines(QCustomPlot* plot, QCPAxis* time, QCPAxis* voltage, QCPAxis* temperature);

    // Each line spans its own series from its first to its last sample; without voltage
    // samples no line is drawn, without temperature samples no temperature line.
    void set(const Envelope& voltage, const Envelope& temperature, double over, double under,
             double hot, double cold);
    void clear();

    QCPGraph* graph(int i) const { return graphs_[i]; }
    const std::array<QCPGraph*, 4>& graphs() const { return graphs_; }
    std::vector<std::pair<double, double>> points(int i) const;

private:
    std::array<QCPGraph*, 4> graphs_{};
};

} // namespace veltrano
