#include "chart/highlight.h"

#include <cmath>

#include <QPainter>
#include <qcustomplot.h>

#include "chart/envelopeseries.h"
#include "chart/serieslook.h"
#include "chart/thresholds.h"

namespace veltrano {

SeriesHighlight::SeriesHighlight(std::array<EnvelopeSeries*, 2> samples,
                                 std::array<LimitLine*, 4> thresholds,
                                 std::function<bool(int)> shown)
    : samples_(samples), thresholds_(thresholds), shown_(std::move(shown)) {}

std::optional<int> SeriesHighlight::seriesAt(QPointF pos) const {
    std::optional<int> best;
    double bestDistance = kTolerance;
    // The limit lines lie over the samples: they go first and win a tie.
    for (int s = 5; s >= 0; --s) {
        if (!shown_(s)) {
            continue;
        }
        std::optional<double> d;
        if (s < 2) {
            d = samples_[s]->distanceTo(pos, kTolerance);
        } else if (const auto line = thresholds_[s - 2]->pixels()) {
            const double x0 = std::min(line->x1(), line->x2()) - kTolerance;
            const double x1 = std::max(line->x1(), line->x2()) + kTolerance;
            if (pos.x() >= x0 && pos.x() <= x1) {
                d = std::abs(pos.y() - line->y1());
            }
        }
        if (d && (best ? *d < bestDistance : *d <= bestDistance)) {
            best = s;
            bestDistance = *d;
        }
    }
    return best;
}

QRect SeriesHighlight::bounds(int series) const {
    if (series < 2) {
        return samples_[series]->highlightBounds();
    }
    const auto line = thresholds_[series - 2]->pixels();
    if (!line) {
        return {};
    }
    const int reach = kHighlightWidth / 2 + 1;
    return QRectF(line->p1(), line->p2())
        .normalized()
        .toAlignedRect()
        .adjusted(-reach, -reach, reach + 1, reach + 1);
}

QRegion SeriesHighlight::set(std::optional<int> series) {
    if (series == current_) {
        return {};
    }
    QRegion dirty;
    if (current_) {
        dirty += bounds(*current_);
    }
    current_ = series;
    if (current_) {
        dirty += bounds(*current_);
    }
    return dirty;
}

void SeriesHighlight::paint(QPainter& painter, const QRect& plotArea) const {
    if (!current_) {
        return;
    }
    painter.save();
    painter.setClipRect(plotArea, Qt::IntersectClip);
    if (*current_ < 2) {
        samples_[*current_]->drawHighlight(painter);
    } else if (const auto line = thresholds_[*current_ - 2]->pixels()) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(kSeriesLook[*current_].colour, kHighlightWidth));
        painter.drawLine(*line);
    }
    painter.restore();
}

} // namespace veltrano
