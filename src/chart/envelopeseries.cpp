#include "chart/envelopeseries.h"

#include <algorithm>
#include <cmath>

#include "chart/serieslook.h"

namespace veltrano {

// Liang-Barsky.
bool clipLine(QLineF& line, const QRectF& r) {
    const double dx = line.dx(), dy = line.dy();
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {line.x1() - r.left(), r.right() - line.x1(), line.y1() - r.top(),
                         r.bottom() - line.y1()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const QPointF a = line.p1();
    line = QLineF(a + QPointF(dx, dy) * t0, a + QPointF(dx, dy) * t1);
    return true;
}

QCPRange EnvelopeSeries::getKeyRange(bool& found, QCP::SignDomain) const {
    double lo = 0, hi = 0;
    found = envelope.timeExtent(lo, hi);
    return QCPRange(lo, hi);
}

QCPRange EnvelopeSeries::getValueRange(bool& found, QCP::SignDomain, const QCPRange&) const {
    double lo = 0, hi = 0;
    found = envelope.valueExtent(lo, hi);
    return QCPRange(lo, hi);
}

void EnvelopeSeries::draw(QCPPainter* painter) {
    QCPAxis* k = keyAxis();
    QCPAxis* v = valueAxis();
    drawn.clear();
    lines_.clear();
    spans_.clear();
    if (!k || !v || envelope.empty()) {
        return;
    }
    const QCPRange range = k->range();
    envelope.reduce(range.lower, range.upper, k->axisRect()->width(), drawn);
    // Only the pieces that cross columns are drawn as lines.
    const QRectF area = QRectF(clipRect()).adjusted(-2, -2, 2, 2);
    QPointF prev;
    double spanColumn = 0, spanTop = 0, spanBottom = 0;
    bool inSpan = false;
    auto closeSpan = [&] {
        if (inSpan && spanBottom >= area.top() && spanTop <= area.bottom()) {
            const int top = int(std::floor(std::max(spanTop, area.top())));
            const int bottom = int(std::floor(std::min(spanBottom, area.bottom())));
            spans_.append(QRect(int(spanColumn), top, 1, bottom - top + 1));
        }
        inSpan = false;
    };
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const QPointF p(k->coordToPixel(drawn[i].time), v->coordToPixel(drawn[i].value));
        if (i > 0) {
            const double column = std::floor(prev.x());
            const double next = std::floor(p.x());
            const bool near = prev.x() >= area.left() && p.x() <= area.right();
            if (near && (next == column || next == column + 1)) {
                if (!inSpan || spanColumn != column) {
                    closeSpan();
                    spanColumn = column;
                    spanTop = spanBottom = prev.y();
                    inSpan = true;
                }
                // A step into the next column splits where the line crosses the border.
                const double reach =
                    next == column
                        ? p.y()
                        : prev.y() + (p.y() - prev.y()) * (next - prev.x()) / (p.x() - prev.x());
                spanTop = std::min(spanTop, reach);
                spanBottom = std::max(spanBottom, reach);
                if (next != column) {
                    closeSpan();
                    spanColumn = next;
                    spanTop = std::min(reach, p.y());
                    spanBottom = std::max(reach, p.y());
                    inSpan = true;
                }
            } else {
                closeSpan();
                QLineF line(prev, p);
                if (clipLine(line, area)) {
                    lines_.append(line);
                }
            }
        }
        prev = p;
    }
    closeSpan();
    painter->setAntialiasing(false);
    painter->setPen(mPen);
    painter->drawLines(lines_);
    painter->setPen(Qt::NoPen);
    painter->setBrush(mPen.color());
    painter->drawRects(spans_);
}

QRect EnvelopeSeries::highlightBounds() const {
    QRectF bounds;
    for (const QLineF& l : lines_) {
        bounds |= QRectF(l.p1(), l.p2()).normalized();
    }
    QRect pixels = bounds.toAlignedRect();
    for (const QRect& r : spans_) {
        pixels |= r;
    }
    const int reach = kHighlightWidth / 2 + 1;
    return pixels.isNull() ? QRect() : pixels.adjusted(-reach, -reach, reach + 1, reach + 1);
}

void EnvelopeSeries::drawHighlight(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(mPen.color(), kHighlightWidth));
    painter.drawLines(lines_);
    painter.setPen(Qt::NoPen);
    painter.setBrush(mPen.color());
    const int half = kHighlightWidth / 2;
    for (const QRect& r : spans_) {
        painter.drawRect(r.adjusted(-half, -half, half, half));
    }
}

std::optional<double> EnvelopeSeries::distanceTo(QPointF pos, double tolerance) const {
    QCPAxis* k = keyAxis();
    QCPAxis* v = valueAxis();
    if (!k || !v || envelope.empty()) {
        return std::nullopt;
    }
    const double a = k->pixelToCoord(pos.x() - tolerance);
    const double b = k->pixelToCoord(pos.x() + tolerance);
    const Envelope::Range r = envelope.lineExtent(std::min(a, b), std::max(a, b));
    if (r.min > r.max) {
        return std::nullopt;
    }
    const double y0 = v->coordToPixel(r.max), y1 = v->coordToPixel(r.min);
    const double top = std::min(y0, y1), bottom = std::max(y0, y1);
    const double d = pos.y() < top ? top - pos.y() : pos.y() > bottom ? pos.y() - bottom : 0.0;
    if (d > tolerance) {
        return std::nullopt;
    }
    return d;
}

} // namespace veltrano
