#include "chart/interaction.h"

#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include "chart/axis.h"
#include "chart/chartview.h"
#include "chart/envelopeseries.h"
#include "chart/highlight.h"
#include "chart/layers.h"
#include "chart/legend.h"
#include "chart/measuringlines.h"
#include "chart/serieslook.h"
#include "chart/thresholds.h"

namespace veltrano {

namespace {
// A press and release closer than this is a click (the value tip), not a drag.
constexpr int kClickPixels = 2;
constexpr double kTipPixels = 5.0;

// Whole-number labels, at least one unit apart.
class WholeUnitTicker : public QCPAxisTicker {
protected:
    double getTickStep(const QCPRange& range) override {
        return std::max(1.0, std::ceil(QCPAxisTicker::getTickStep(range)));
    }
};

} // namespace

ChartPlot::ChartPlot(ChartView* view) : QCustomPlot(view), view_(view) {
    setObjectName(QStringLiteral("Chart1Plot"));
    setMouseTracking(true);
    // Tab reaches the chart too, for its navigation keys.
    setFocusPolicy(Qt::StrongFocus);
    setBackground(kChartBackground);
    QLocale plain;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    setLocale(plain);
    setMinimumSize(300, 200);
    // One paint buffer for everything: a second one for the overlay would be cleared at
    // every drawing, and the zoom band can just as well redraw the whole chart.
    layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    addLayer(QStringLiteral("beginpoints"), layer(QStringLiteral("main")), limAbove);
    // The legend on screen is a row of check boxes; the plot's own is for paper only.
    setAutoAddPlottableToLegend(false);
    legend->setVisible(false);

    yAxis2->setVisible(true);
    yAxis2->setTickLabels(true);
    xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new WholeUnitTicker));
    xAxis->setNumberFormat(QStringLiteral("f"));
    xAxis->setNumberPrecision(0);
    font_ = font();
    if (font_.pixelSize() <= 0) {
        font_.setPixelSize(qRound(font_.pointSizeF() * logicalDpiY() / 72.0));
    }
    for (QCPAxis* axis : axisRect()->axes()) {
        axis->setLabelFont(font_);
        axis->setTickLabelFont(font_);
    }
    legend->setFont(font_);
    titles_ = new AxisTitles(this, font_);
    titles_->setTitle(yAxis, QStringLiteral("Spanning (V)"));
    titles_->setTitle(yAxis2, QStringLiteral("temperatuur (°C)"));

    // A new drawing may have moved another series under the resting mouse.
    connect(this, &QCustomPlot::afterReplot, this, [this] { hoverAt(mouse_); });
}

void ChartPlot::showRanges(const AxisModel& bottom, const AxisModel& left, const AxisModel& right) {
    auto show = [](QCPAxis* axis, const AxisModel& m) {
        double lo = std::min(m.minimum(), m.maximum());
        double hi = std::max(m.minimum(), m.maximum());
        if (!(hi - lo > std::max(std::abs(lo), 1.0) * 1e-12)) {
            // The plot cannot show an empty range; show half a unit either side of it.
            lo -= 0.5;
            hi += 0.5;
        }
        axis->setRange(lo, hi);
    };
    show(xAxis, bottom);
    show(yAxis, left);
    show(yAxis2, right);
}

void ChartPlot::mousePressEvent(QMouseEvent* e) {
    if (drag_ != Drag::None) {
        return;
    }
    press_ = e->position().toPoint();
    if (e->button() == Qt::LeftButton) {
        line_ = view_->lines_->nearest(e->position().x());
        if (line_ >= 0) {
            drag_ = Drag::Line;
            view_->ChartTool9BeginDragLine();
        } else {
            drag_ = Drag::Band;
        }
    } else if (e->button() == Qt::MiddleButton) {
        drag_ = Drag::Pan;
        panFrom_ = e->position().x();
    } else {
        e->ignore();
    }
}

void ChartPlot::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    switch (drag_) {
    case Drag::Line:
        view_->lines_->dragTo(line_, e->position().x());
        replot(rpQueuedReplot);
        break;
    case Drag::Band:
        view_->band_->rect = QRect(press_, p);
        view_->band_->setVisible((p - press_).manhattanLength() > kClickPixels);
        replot(rpQueuedReplot);
        break;
    case Drag::Pan:
        if (const int width = axisRect()->width(); width > 0) {
            const AxisModel& b = view_->bottom_;
            pan((panFrom_ - e->position().x()) * (b.maximum() - b.minimum()) / width);
        }
        panFrom_ = e->position().x();
        break;
    case Drag::None:
        hoverAt(e->position());
        break;
    }
}

void ChartPlot::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (drag_ == Drag::Pan && e->button() == Qt::MiddleButton) {
        drag_ = Drag::None;
        return;
    }
    if (e->button() != Qt::LeftButton || drag_ == Drag::Pan) {
        e->ignore();
        return;
    }
    const Drag was = std::exchange(drag_, Drag::None);
    if (was == Drag::Line) {
        view_->lines_->dragTo(line_, p.x());
        line_ = -1;
        view_->ChartTool9EndDragLine();
    } else if (was == Drag::Band) {
        view_->band_->setVisible(false);
        replot(rpQueuedReplot);
        if ((p - press_).manhattanLength() <= kClickPixels) {
            showValueTip(p);
        } else {
            view_->dragRectangle(press_, p);
        }
    }
}

void ChartPlot::mouseDoubleClickEvent(QMouseEvent* e) {
    // Two clicks, as far as we are concerned; the plot's own selection stays out.
    mousePressEvent(e);
}

void ChartPlot::wheelEvent(QWheelEvent* e) {
    const QPoint delta = e->angleDelta();
    const bool sideways =
        e->modifiers() & Qt::ShiftModifier || std::abs(delta.x()) > std::abs(delta.y());
    // Some systems turn Shift + wheel into a horizontal wheel.
    const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / 120.0;
    if (notches == 0 || drag_ != Drag::None) {
        e->ignore();
        return;
    }
    const AxisModel& b = view_->bottom_;
    if (sideways) {
        // Away from the user goes back in time, as a scroll bar does.
        pan(-notches * ChartZoom::kPanShare * (b.maximum() - b.minimum()));
    } else if (view_->zoom_->wheelZoom(e->position().x(), notches)) {
        view_->Chart1Zoom();
        emit view_->zoomed();
    }
}

void ChartPlot::pan(double units) {
    // Moving the window sideways is paging by another step: the lines go, as they do there.
    view_->uncheckMarkers();
    view_->zoom_->pan(units);
    emit view_->panned();
}

void ChartPlot::keyPressEvent(QKeyEvent* e) {
    using N = ChartView::Navigation;
    std::optional<N> request;
    if (!(e->modifiers() & ~Qt::KeypadModifier)) {
        switch (e->key()) {
        case Qt::Key_Left:
            request = N::Previous;
            break;
        case Qt::Key_Right:
            request = N::Next;
            break;
        case Qt::Key_Home:
            request = N::First;
            break;
        case Qt::Key_Escape:
            request = N::FullView;
            break;
        default:
            break;
        }
    }
    if (request) {
        emit view_->navigationRequested(*request);
    } else {
        e->ignore();
    }
}

void ChartPlot::leaveEvent(QEvent* e) {
    hoverAt(std::nullopt);
    QCustomPlot::leaveEvent(e);
}

void ChartPlot::paintEvent(QPaintEvent* e) {
    QCustomPlot::paintEvent(e);
    if (view_->highlight_->current()) {
        QPainter painter(this);
        view_->highlight_->paint(painter, axisRect()->rect());
    }
    // The keys act on the chart: show where they go.
    if (hasFocus()) {
        QPainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void ChartPlot::hoverAt(std::optional<QPointF> pos) {
    mouse_ = pos;
    if (drag_ != Drag::None) {
        return;
    }
    std::optional<int> series;
    if (pos && axisRect()->rect().contains(pos->toPoint())) {
        series = view_->highlight_->seriesAt(*pos);
    }
    setHighlight(series);
}

void ChartPlot::setHighlight(std::optional<int> series) {
    const QRegion dirty = view_->highlight_->set(series);
    if (!dirty.isEmpty()) {
        update(dirty);
    }
    view_->legend_->setHighlighted(series);
}

std::optional<double> ChartPlot::valueAt(QPointF pos) const {
    std::optional<double> best;
    double bestDistance = kTipPixels;
    auto consider = [&](QCPAxis* value, double key, double y) {
        const QPointF p(xAxis->coordToPixel(key), value->coordToPixel(y));
        const double d = std::hypot(p.x() - pos.x(), p.y() - pos.y());
        if (d <= bestDistance) {
            bestDistance = d;
            best = y;
        }
    };
    for (int s = 0; s < ChartView::SeriesCount; ++s) {
        if (!view_->legend_->shown(s)) {
            continue;
        }
        QCPAxis* value = kSeriesLook[s].right ? yAxis2 : yAxis;
        if (s < 2) {
            for (const auto& p : view_->samples_[s]->drawn) {
                consider(value, p.time, p.value);
            }
        } else {
            for (const auto& [key, y] : view_->thresholds_->line(s - 2)->points()) {
                consider(value, key, y);
            }
        }
    }
    return best;
}

void ChartPlot::showValueTip(QPoint pos) {
    const std::optional<double> v = valueAt(pos);
    if (!v) {
        return;
    }
    const QString text = QLocale().toString(*v, 'g', 6);
    const QPoint global = mapToGlobal(pos);
    QTimer::singleShot(
        50, this, [this, global, text] { QToolTip::showText(global, text, this, QRect(), 5000); });
}

} // namespace veltrano
