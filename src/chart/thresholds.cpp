#include "chart/thresholds.h"

#include <qcustomplot.h>

#include "chart/envelope.h"

namespace veltrano {

ThresholdLines::ThresholdLines(QCustomPlot* plot, QCPAxis* time, QCPAxis* voltage,
                               QCPAxis* temperature) {
    for (int i = 0; i < 4; ++i) {
        graphs_[i] = plot->addGraph(time, i < 2 ? voltage : temperature);
    }
}

void ThresholdLines::set(const Envelope& voltage, const Envelope& temperature, double over,
                         double under, double hot, double cold) {
    clear();
    if (voltage.empty()) {
        return;
    }
    const double limits[4] = {over, under, hot, cold};
    for (int i = 0; i < 4; ++i) {
        const Envelope& e = i < 2 ? voltage : temperature;
        if (!e.empty()) {
            const double first = e.times()[0], last = e.times()[e.size() - 1];
            graphs_[i]->setData({first, last}, {limits[i], limits[i]});
        }
    }
}

void ThresholdLines::clear() {
    for (QCPGraph* g : graphs_) {
        g->data()->clear();
    }
}

std::vector<std::pair<double, double>> ThresholdLines::points(int i) const {
    std::vector<std::pair<double, double>> out;
    for (const QCPGraphData& d : *graphs_[i]->data()) {
        out.emplace_back(d.key, d.value);
    }
    return out;
}

} // namespace veltrano
