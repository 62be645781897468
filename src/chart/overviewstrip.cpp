#include "chart/overviewstrip.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>
#include <qcustomplot.h>

#include "chart/chartview.h"
#include "chart/serieslook.h"
#include "chart/zoom.h"

namespace veltrano {

namespace {
// The frame of a view narrower than this stays this wide, so that it can be found.
constexpr int kNarrowestFrame = 3;
constexpr int kEventAlpha = 110;
const QColor kFrameColour(0, 0, 128);
} // namespace

OverviewStrip::OverviewStrip(ChartView* chart, QWidget* parent) : QWidget(parent), chart_(chart) {
    setObjectName(QStringLiteral("overviewStrip"));
    setAccessibleName(QStringLiteral("Overzicht"));
    setAccessibleDescription(QStringLiteral(
        "De spanning van de hele opname met de calamiteiten; het kader is het deel dat de "
        "grafiek toont. Klikken of slepen verplaatst het, het wiel zoomt, links en rechts "
        "schuiven het."));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(kHeight);
    setEnabled(false);
    if (chart_) {
        // Every change of the view reaches the bottom axis; its automatic ends change only when
        // the chart draws.
        connect(&chart_->bottomAxis(), &AxisModel::changed, this, &OverviewStrip::followView);
        connect(chart_->plot(), &QCustomPlot::afterReplot, this, &OverviewStrip::followView);
    }
}

QSize OverviewStrip::sizeHint() const {
    return {400, kHeight};
}

QSize OverviewStrip::minimumSizeHint() const {
    return {100, kHeight};
}

QRect OverviewStrip::area() const {
    return rect().adjusted(1, 1, -1, -1);
}

double OverviewStrip::timeAt(double x) const {
    const QRect a = area();
    return a.width() > 0 ? first_ + (x - a.left()) * (last_ - first_) / a.width() : first_;
}

double OverviewStrip::xOf(double time) const {
    const QRect a = area();
    return empty() ? a.left() : a.left() + (time - first_) * a.width() / (last_ - first_);
}

void OverviewStrip::clear() {
    events_.clear();
    first_ = last_ = 0;
    setEnabled(false);
    rebuild();
    update();
}

void OverviewStrip::fill(std::span<const ClosedEvent> events, int secondsPerUnit) {
    events_.clear();
    first_ = last_ = 0;
    lowest_ = highest_ = 0;
    if (chart_) {
        double lo = INFINITY, hi = -INFINITY, a = 0, b = 0;
        for (ChartView::Series s : {ChartView::Voltage, ChartView::Temperature}) {
            if (chart_->envelope(s).timeExtent(a, b)) {
                lo = std::min(lo, a);
                hi = std::max(hi, b);
            }
        }
        if (std::isfinite(lo) && std::isfinite(hi)) {
            // One moment only: half a unit either side, as the chart shows it.
            first_ = hi > lo ? lo : lo - 0.5;
            last_ = hi > lo ? hi : hi + 0.5;
        }
        if (chart_->envelope(ChartView::Voltage).valueExtent(a, b)) {
            lowest_ = a;
            highest_ = b > a ? b : a + 1;
        }
    }
    const double perUnit = secondsPerUnit > 0 ? secondsPerUnit : 1;
    events_.reserve(events.size());
    for (const ClosedEvent& e : events)
        events_.push_back({int(e.kind), e.moment / perUnit, (e.moment + e.duration) / perUnit});
    setEnabled(!empty());
    rebuild();
    update();
}

void OverviewStrip::rebuild() {
    voltage_.clear();
    for (std::vector<QRect>& r : eventRects_)
        r.clear();
    const QRect a = area();
    const int columns = a.width();
    if (empty() || columns <= 0 || !chart_) {
        followView();
        return;
    }

    const double perColumn = (last_ - first_) / columns;
    const auto columnOf = [&](double t) {
        const double c = std::floor((t - first_) / perColumn);
        return c >= 0 ? int(std::min(c, double(columns - 1))) : 0; // NaN too goes to 0
    };

    // The lowest and highest voltage per column, from the pyramid: each stretch in which time
    // never decreases is cut at the column boundaries.
    const Envelope& env = chart_->envelope(ChartView::Voltage);
    constexpr float inf = std::numeric_limits<float>::infinity();
    std::vector<Envelope::Range> ranges(std::size_t(columns), Envelope::Range{inf, -inf});
    const float* times = env.times();
    const auto runs = env.runStarts();
    for (std::size_t r = 0; r < runs.size(); ++r) {
        std::size_t begin = runs[r];
        const std::size_t end = r + 1 < runs.size() ? runs[r + 1] : env.size();
        while (begin < end) {
            const int c = columnOf(times[begin]);
            std::size_t next = end;
            if (c + 1 < columns) {
                const double boundary = first_ + (c + 1) * perColumn;
                next = std::size_t(std::lower_bound(times + begin, times + end, boundary,
                                                    [](float t, double b) { return t < b; }) -
                                   times);
                next = std::max(next, begin + 1);
            }
            const Envelope::Range m = env.rangeMinMax(begin, next);
            Envelope::Range& column = ranges[std::size_t(c)];
            column.min = std::min(column.min, m.min);
            column.max = std::max(column.max, m.max);
            begin = next;
        }
    }
    // A vertical line per column, reaching to its neighbour on the left so that the line
    // stays joined where it moves faster than a pixel per column.
    const double pixelsPerVolt = (a.height() - 1) / (highest_ - lowest_);
    const auto yOf = [&](float v) {
        return a.bottom() - int(std::lround((double(v) - lowest_) * pixelsPerVolt));
    };
    voltage_.reserve(std::size_t(columns));
    for (int c = 0; c < columns; ++c) {
        const Envelope::Range& m = ranges[std::size_t(c)];
        if (!(m.min <= m.max))
            continue;
        float lo = m.min, hi = m.max;
        if (c > 0 && ranges[std::size_t(c) - 1].min <= ranges[std::size_t(c) - 1].max) {
            lo = std::min(lo, ranges[std::size_t(c) - 1].max);
            hi = std::max(hi, ranges[std::size_t(c) - 1].min);
        }
        voltage_.emplace_back(a.left() + c, yOf(hi), a.left() + c, yOf(lo));
    }

    // Events by kind as covered columns, at least one per event, merged into spans.
    for (int kind = 0; kind < 4; ++kind) {
        std::vector<bool> covered(std::size_t(columns), false);
        bool any = false;
        for (const EventSpan& e : events_) {
            if (e.kind != kind || !(e.start <= e.end))
                continue;
            const int from = columnOf(e.start);
            const int to = std::max(from, columnOf(std::nextafter(e.end, -INFINITY)));
            std::fill(covered.begin() + from, covered.begin() + to + 1, true);
            any = true;
        }
        for (int c = 0; any && c < columns;) {
            if (!covered[std::size_t(c)]) {
                ++c;
                continue;
            }
            const int from = c;
            while (c < columns && covered[std::size_t(c)])
                ++c;
            eventRects_[std::size_t(kind)].emplace_back(a.left() + from, a.top(), c - from,
                                                        a.height());
        }
    }
    followView();
}

QRect OverviewStrip::viewFrame() const {
    if (empty() || !chart_)
        return {};
    const QRect a = area();
    // Clamped before any conversion to int: a view far outside shows at the strip's edge.
    const auto clamped = [&](double x) {
        return std::clamp(x, double(a.left() - kNarrowestFrame),
                          double(a.right() + kNarrowestFrame));
    };
    const double x0 = xOf(chart_->bottomAxis().minimum());
    const double x1 = xOf(chart_->bottomAxis().maximum());
    if (!(x0 <= x1))
        return {};
    int left = int(std::floor(clamped(x0)));
    int right = int(std::ceil(clamped(x1))) - 1;
    if (right - left + 1 < kNarrowestFrame) {
        const int middle = (left + right + 1) / 2;
        left = middle - kNarrowestFrame / 2;
        right = left + kNarrowestFrame - 1;
    }
    // A view beside the recording keeps a column inside the strip.
    left = std::min(left, a.right());
    right = std::clamp(right, a.left(), a.right() + kNarrowestFrame);
    return QRect(QPoint(left, a.top()), QPoint(right, a.bottom()));
}

void OverviewStrip::followView() {
    const QRect frame = viewFrame();
    if (frame != frame_) {
        frame_ = frame;
        update();
    }
}

void OverviewStrip::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    rebuild();
}

void OverviewStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect a = area();
    p.fillRect(rect(), palette().color(QPalette::Base));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!empty()) {
        p.setClipRect(a);
        for (std::size_t kind = 0; kind < eventRects_.size(); ++kind) {
            QColor colour = kSeriesLook[2 + kind].colour;
            colour.setAlpha(kEventAlpha);
            for (const QRect& r : eventRects_[kind])
                p.fillRect(r, colour);
        }
        p.setPen(QPen(kSeriesLook[0].colour, 1));
        p.drawLines(voltage_.data(), int(voltage_.size()));
        frame_ = viewFrame();
        if (!frame_.isEmpty()) {
            QColor fill = kFrameColour;
            fill.setAlpha(40);
            p.fillRect(frame_, fill);
            p.setPen(QPen(kFrameColour, 1));
            p.drawRect(frame_.adjusted(0, 0, -1, -1));
        }
        p.setClipping(false);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

void OverviewStrip::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || empty() || !chart_) {
        e->ignore();
        return;
    }
    dragging_ = true;
    chart_->centreViewAt(timeAt(e->position().x()));
}

void OverviewStrip::mouseMoveEvent(QMouseEvent* e) {
    if (dragging_ && chart_)
        chart_->centreViewAt(timeAt(e->position().x()));
}

void OverviewStrip::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !dragging_) {
        e->ignore();
        return;
    }
    dragging_ = false;
    if (chart_)
        chart_->centreViewAt(timeAt(e->position().x()));
}

void OverviewStrip::wheelEvent(QWheelEvent* e) {
    const QPoint delta = e->angleDelta();
    const bool sideways =
        e->modifiers() & Qt::ShiftModifier || std::abs(delta.x()) > std::abs(delta.y());
    const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / 120.0;
    if (notches == 0 || empty() || !chart_ || dragging_) {
        e->ignore();
        return;
    }
    // Around the time under the mouse as on the chart; outside the frame around its nearer
    // edge, so that the view does not run off towards the mouse.
    const AxisModel& bottom = chart_->bottomAxis();
    const double t = std::clamp(timeAt(e->position().x()), bottom.minimum(), bottom.maximum());
    chart_->wheelAtTime(t, notches, sideways);
}

void OverviewStrip::keyPressEvent(QKeyEvent* e) {
    const bool plain = !(e->modifiers() & ~Qt::KeypadModifier);
    if (!plain || empty() || !chart_ || (e->key() != Qt::Key_Left && e->key() != Qt::Key_Right)) {
        QWidget::keyPressEvent(e);
        return;
    }
    const AxisModel& bottom = chart_->bottomAxis();
    const double width = bottom.maximum() - bottom.minimum();
    const double step = (e->key() == Qt::Key_Left ? -1 : 1) * ChartZoom::kPanShare * width;
    chart_->centreViewAt(bottom.minimum() + width / 2 + step);
}

} // namespace veltrano
