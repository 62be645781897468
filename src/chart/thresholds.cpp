#include "chart/thresholds.h"

#include <algorithm>

#include "chart/envelope.h"
#include "chart/envelopeseries.h"

namespace veltrano {

void LimitLine::set(double from, double to, double value) {
    line_ = Line{from, to, value};
}

std::vector<std::pair<double, double>> LimitLine::points() const {
    if (!line_) {
        return {};
    }
    return {{line_->from, line_->value}, {line_->to, line_->value}};
}

std::optional<QLineF> LimitLine::pixels() const {
    if (!line_ || !keyAxis() || !valueAxis()) {
        return std::nullopt;
    }
    QCPAxis* k = keyAxis();
    QCPAxis* v = valueAxis();
    const double y = v->coordToPixel(line_->value);
    QLineF line(k->coordToPixel(line_->from), y, k->coordToPixel(line_->to), y);
    if (!clipLine(line, k->axisRect()->rect())) {
        return std::nullopt;
    }
    return line;
}

QCPRange LimitLine::getKeyRange(bool& found, QCP::SignDomain) const {
    found = line_.has_value();
    return found ? QCPRange(line_->from, line_->to) : QCPRange();
}

QCPRange LimitLine::getValueRange(bool& found, QCP::SignDomain, const QCPRange&) const {
    found = line_.has_value();
    return found ? QCPRange(line_->value, line_->value) : QCPRange();
}

void LimitLine::draw(QCPPainter* painter) {
    if (const auto line = pixels()) {
        painter->setAntialiasing(false);
        painter->setPen(mPen);
        painter->drawLine(*line);
    }
}

ThresholdLines::ThresholdLines(QCPAxis* time, QCPAxis* voltage, QCPAxis* temperature) {
    for (int i = 0; i < 4; ++i) {
        lines_[i] = new LimitLine(time, i < 2 ? voltage : temperature);
    }
}

void ThresholdLines::set(const Envelope& voltage, const Envelope& temperature,
                         const std::array<double, 4>& limits) {
    clear();
    if (voltage.empty()) {
        return;
    }
    for (int i = 0; i < 4; ++i) {
        const Envelope& e = i < 2 ? voltage : temperature;
        if (!e.empty()) {
            lines_[i]->set(e.times()[0], e.times()[e.size() - 1], limits[i]);
        }
    }
}

void ThresholdLines::clear() {
    for (LimitLine* l : lines_) {
        l->clear();
    }
}

} // namespace veltrano
