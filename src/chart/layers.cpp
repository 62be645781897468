#include "chart/layers.h"

#include <algorithm>
#include <cmath>

namespace veltrano {

BeginPointLines::BeginPointLines(QCustomPlot* plot, QCPAxis* axis, std::size_t count)
    : QCPLayerable(plot, QStringLiteral("beginpoints")), axis_(axis), seconds_(count, 0.0) {
    rebuild();
}

void BeginPointLines::setSeconds(std::span<const double> seconds) {
    std::fill(seconds_.begin(), seconds_.end(), 0.0);
    std::copy_n(seconds.begin(), std::min(seconds.size(), seconds_.size()), seconds_.begin());
    rebuild();
}

void BeginPointLines::setDivisor(int secondsPerUnit) {
    divisor_ = std::max(1, secondsPerUnit);
    rebuild();
}

void BeginPointLines::rebuild() {
    times_.clear();
    for (double s : seconds_) {
        times_.push_back(s / divisor_);
    }
    std::sort(times_.begin(), times_.end());
    times_.erase(std::unique(times_.begin(), times_.end()), times_.end());
}

QRect BeginPointLines::clipRect() const {
    return axis_->axisRect()->rect();
}

void BeginPointLines::applyDefaultAntialiasingHint(QCPPainter* painter) const {
    painter->setAntialiasing(false);
}

void BeginPointLines::draw(QCPPainter* painter) {
    const QRect area = axis_->axisRect()->rect();
    const QCPRange range = axis_->range();
    auto from = std::lower_bound(times_.begin(), times_.end(), range.lower);
    auto to = std::upper_bound(from, times_.end(), range.upper);
    painter->setPen(pen_);
    int last = area.left() - 1;
    for (auto it = from; it != to; ++it) {
        const double px = axis_->coordToPixel(*it);
        const int x = int(std::lround(px));
        // Several begin points in one pixel column draw one line.
        if (x == last || px < area.left() || px > area.right()) {
            continue;
        }
        painter->drawLine(QLineF(x, area.top(), x, area.bottom()));
        last = x;
    }
}

ZoomBand::ZoomBand(QCustomPlot* plot) : QCPLayerable(plot, QStringLiteral("overlay")) {
    setVisible(false);
}

void ZoomBand::applyDefaultAntialiasingHint(QCPPainter* painter) const {
    painter->setAntialiasing(false);
}

void ZoomBand::draw(QCPPainter* painter) {
    painter->setPen(QPen(QColor(255, 0, 0), 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.normalized());
}

} // namespace veltrano
