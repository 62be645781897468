#include "chart/zoom.h"

#include <cmath>

#include <qcustomplot.h>

#include "chart/axis.h"

namespace veltrano {

namespace {
// Narrower windows than this share of their position lose the float sample times' detail.
constexpr double kNarrowest = 1e-9;
} // namespace

ChartZoom::ChartZoom(AxisModel& bottom, AxisModel& left, AxisModel& right, QCustomPlot* plot)
    : bottom_(bottom), left_(left), right_(right), plot_(plot) {}

ChartZoom::Drag ChartZoom::dragKind(QPoint from, QPoint to) {
    const int dx = to.x() - from.x(), dy = to.y() - from.y();
    if (dx >= kMinimumZoomPixels && dy >= kMinimumZoomPixels) {
        return Drag::Zoom;
    }
    if (dx <= -kMinimumZoomPixels && dy <= -kMinimumZoomPixels) {
        return Drag::Undo;
    }
    return Drag::None;
}

void ChartZoom::remember() {
    if (saved_) {
        return;
    }
    auto state = [](const AxisModel& a) {
        return AxisState{a.minimum(), a.maximum(), a.automaticMinimum(), a.automaticMaximum()};
    };
    saved_ = std::array<AxisState, 3>{state(bottom_), state(left_), state(right_)};
}

void ChartZoom::zoomTo(const QRect& r) {
    remember();
    bottom_.setMinMax(plot_->xAxis->pixelToCoord(r.left()), plot_->xAxis->pixelToCoord(r.right()));
    left_.setMinMax(plot_->yAxis->pixelToCoord(r.bottom()), plot_->yAxis->pixelToCoord(r.top()));
    right_.setMinMax(plot_->yAxis2->pixelToCoord(r.bottom()), plot_->yAxis2->pixelToCoord(r.top()));
}

double ChartZoom::timeAt(double px) const {
    const QRect area = plot_->axisRect()->rect();
    if (area.width() <= 0 || !(bottom_.maximum() > bottom_.minimum())) {
        return plot_->xAxis->pixelToCoord(px);
    }
    return bottom_.minimum() +
           (px - area.left()) / area.width() * (bottom_.maximum() - bottom_.minimum());
}

bool ChartZoom::wheelZoomAt(double t, double notches) {
    const double share = std::pow(kWheelShare, notches);
    const double lo = t - (t - bottom_.minimum()) * share;
    const double hi = t + (bottom_.maximum() - t) * share;
    if (!std::isfinite(lo) || !std::isfinite(hi) ||
        !(hi - lo > kNarrowest * std::max(1.0, std::abs(t)))) {
        return false;
    }
    remember();
    bottom_.setMinMax(lo, hi);
    return true;
}

void ChartZoom::pan(double units) {
    bottom_.setMinMax(bottom_.minimum() + units, bottom_.maximum() + units);
}

bool ChartZoom::undo() {
    if (!saved_) {
        return false;
    }
    AxisModel* axes[3] = {&bottom_, &left_, &right_};
    for (int i = 0; i < 3; ++i) {
        const AxisState& s = (*saved_)[i];
        axes[i]->setMinMax(s.min, s.max);
        axes[i]->setAutomaticMinimum(s.autoMin);
        axes[i]->setAutomaticMaximum(s.autoMax);
    }
    saved_.reset();
    return true;
}

} // namespace veltrano
