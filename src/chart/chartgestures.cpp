// What the chart does with the pointer: the zoom band and its undo, dragging a measuring
// line, panning, the wheel, the highlight under the mouse and the value tip of a click. The
// plot reports the gestures (interaction.h); the chart decides here.
#include "chart/chartview.h"

#include <cmath>

#include <QCheckBox>
#include <QTimer>
#include <QToolTip>
#include <qcustomplot.h>

#include "chart/envelopeseries.h"
#include "chart/highlight.h"
#include "chart/interaction.h"
#include "chart/layers.h"
#include "chart/legend.h"
#include "chart/measuringlines.h"
#include "chart/serieslook.h"
#include "chart/thresholds.h"
#include "chart/zoom.h"

namespace veltrano {

namespace {
// A press and release closer than this is a click (the value tip), not a drag.
constexpr int kClickPixels = 2;
constexpr double kTipPixels = 5.0;
} // namespace

bool ChartView::isZoomed() const {
    return zoom_->zoomed();
}

void ChartView::dragRectangle(QPoint from, QPoint to) {
    switch (ChartZoom::dragKind(from, to)) {
    case ChartZoom::Drag::Zoom:
        zoom_->zoomTo(QRect(from, to));
        placeLinesInView();
        emit zoomed();
        break;
    case ChartZoom::Drag::Undo:
        zoom_->undo();
        placeLinesInView();
        emit zoomUndone();
        break;
    case ChartZoom::Drag::None:
        break;
    }
}

void ChartView::startDrag(QPoint at) {
    dragging_ = true;
    const int line = lines_->nearest(at.x());
    draggedLine_ = line >= 0 ? std::optional(line) : std::nullopt;
    if (draggedLine_)
        lineDragStarted();
}

void ChartView::continueDrag(QPoint from, QPoint to) {
    if (draggedLine_) {
        lines_->dragTo(*draggedLine_, to.x());
        reportLines();
    } else {
        band_->rect = QRect(from, to);
        band_->setVisible((to - from).manhattanLength() > kClickPixels);
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void ChartView::finishDrag(QPoint from, QPoint to) {
    dragging_ = false;
    if (const std::optional<int> line = std::exchange(draggedLine_, std::nullopt)) {
        lines_->dragTo(*line, to.x());
        lineDragEnded();
        return;
    }
    band_->setVisible(false);
    plot_->replot(QCustomPlot::rpQueuedReplot);
    if ((to - from).manhattanLength() <= kClickPixels)
        showValueTip(to);
    else
        dragRectangle(from, to);
}

void ChartView::panByPixels(double pixels) {
    if (const int width = plot_->axisRect()->width(); width > 0)
        pan(-pixels * (bottom_.maximum() - bottom_.minimum()) / width);
}

void ChartView::zoomOrPanByWheel(double px, double notches, bool sideways) {
    wheelAtTime(zoom_->timeAt(px), notches, sideways);
}

void ChartView::wheelAtTime(double time, double notches, bool sideways) {
    if (sideways) {
        // Away from the user goes back in time, as a scroll bar does.
        pan(-notches * ChartZoom::kPanShare * (bottom_.maximum() - bottom_.minimum()));
    } else if (zoom_->wheelZoomAt(time, notches)) {
        placeLinesInView();
        emit zoomed();
    }
}

void ChartView::centreViewAt(double time) {
    const double middle = bottom_.minimum() + (bottom_.maximum() - bottom_.minimum()) / 2;
    if (std::isfinite(time) && std::isfinite(middle) && time != middle)
        pan(time - middle);
}

void ChartView::pan(double units) {
    // Moving the window sideways is paging by another step: the lines go, as they do there.
    uncheckMarkers();
    zoom_->pan(units);
    emit panned();
}

void ChartView::highlightAt(std::optional<QPointF> pos) {
    if (dragging_)
        return;
    std::optional<int> series;
    if (pos && plot_->axisRect()->rect().contains(pos->toPoint()))
        series = highlight_->seriesAt(*pos);
    setHighlight(series);
}

void ChartView::setHighlight(std::optional<int> series) {
    const QRegion dirty = highlight_->set(series);
    if (!dirty.isEmpty())
        plot_->update(dirty);
    legend_->setHighlighted(series);
}

void ChartView::paintHighlight(QPainter& painter) {
    if (highlight_->current())
        highlight_->paint(painter, plot_->axisRect()->rect());
}

std::optional<double> ChartView::valueAt(QPointF pos) const {
    std::optional<double> best;
    double bestDistance = kTipPixels;
    auto consider = [&](QCPAxis* value, double key, double y) {
        const QPointF p(plot_->xAxis->coordToPixel(key), value->coordToPixel(y));
        const double d = std::hypot(p.x() - pos.x(), p.y() - pos.y());
        if (d <= bestDistance) {
            bestDistance = d;
            best = y;
        }
    };
    for (int s = 0; s < SeriesCount; ++s) {
        if (!legend_->shown(s)) {
            continue;
        }
        QCPAxis* value = kSeriesLook[std::size_t(s)].right ? plot_->yAxis2 : plot_->yAxis;
        if (s < 2) {
            for (const auto& p : samples_[std::size_t(s)]->drawn) {
                consider(value, p.time, p.value);
            }
        } else {
            for (const auto& [key, y] : thresholds_->line(s - 2)->points()) {
                consider(value, key, y);
            }
        }
    }
    return best;
}

void ChartView::showValueTip(QPoint pos) {
    const std::optional<double> v = valueAt(pos);
    if (!v) {
        return;
    }
    const QString text = QLocale().toString(*v, 'g', 6);
    const QPoint global = plot_->mapToGlobal(pos);
    QTimer::singleShot(50, plot_, [this, global, text] {
        QToolTip::showText(global, text, plot_, QRect(), 5000);
    });
}

std::optional<ChartView::Series> ChartView::highlighted() const {
    if (const auto s = highlight_->current()) {
        return Series(*s);
    }
    return std::nullopt;
}

bool ChartView::legendHighlighted(Series s) const {
    return legend_->checkBox(s)->property("highlighted").toBool();
}

} // namespace veltrano
