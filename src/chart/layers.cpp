#include "chart/layers.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QPainter>

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

AxisTitles::AxisTitles(QCustomPlot* plot, const QFont& font)
    : QCPLayerable(plot, QStringLiteral("axes")), font_(font) {
    height_ = QFontMetrics(font_).height();
    basePadding_ = plot->xAxis->padding();
    for (QCPAxis* axis : plot->axisRect()->axes()) {
        titles_.push_back({axis, {}, {}});
    }
}

AxisTitles::Title* AxisTitles::find(QCPAxis* axis) {
    for (Title& t : titles_) {
        if (t.axis == axis) {
            return &t;
        }
    }
    return nullptr;
}

const AxisTitles::Title* AxisTitles::find(QCPAxis* axis) const {
    return const_cast<AxisTitles*>(this)->find(axis);
}

void AxisTitles::setTitle(QCPAxis* axis, const QString& text) {
    Title* t = find(axis);
    if (!t || t->text == text) {
        return;
    }
    t->text = text;
    t->pixmap = QPixmap();
    axis->setPadding(text.isEmpty() ? basePadding_ : basePadding_ + axis->labelPadding() + height_);
}

QString AxisTitles::title(QCPAxis* axis) const {
    const Title* t = find(axis);
    return t ? t->text : QString();
}

void AxisTitles::applyDefaultAntialiasingHint(QCPPainter* painter) const {
    painter->setAntialiasing(false);
}

void AxisTitles::draw(QCPPainter* painter) {
    const bool paper = painter->modes() & (QCPPainter::pmVectorized | QCPPainter::pmNoCaching);
    const double ratio = mParentPlot->bufferDevicePixelRatio();
    for (Title& t : titles_) {
        if (t.text.isEmpty() || !t.axis->visible()) {
            continue;
        }
        const QRect inner = t.axis->axisRect()->rect();
        const QRect outer = t.axis->axisRect()->outerRect();
        // The band along the outer edge that the padding keeps free.
        QRect band(inner.left(), outer.bottom() - basePadding_ - height_, inner.width(), height_);
        int angle = 0;
        if (t.axis->axisType() == QCPAxis::atLeft) {
            band = QRect(outer.left() + basePadding_, inner.top(), height_, inner.height());
            angle = -90;
        } else if (t.axis->axisType() == QCPAxis::atRight) {
            band = QRect(outer.right() + 1 - basePadding_ - height_, inner.top(), height_,
                         inner.height());
            angle = 90;
        }
        // Writes the title upright into band's place, turned for a vertical axis.
        auto write = [&](QPainter& p, QPoint at) {
            p.save();
            p.translate(at);
            QSize upright = band.size();
            if (angle == -90) {
                p.translate(0, band.height());
                upright.transpose();
            } else if (angle == 90) {
                p.translate(band.width(), 0);
                upright.transpose();
            }
            p.rotate(angle);
            p.setFont(font_);
            p.setPen(t.axis->labelColor());
            p.drawText(QRect(QPoint(0, 0), upright), Qt::AlignCenter, t.text);
            p.restore();
        };
        if (paper) {
            write(*painter, band.topLeft());
            continue;
        }
        // A plot not laid out yet has no room for a title.
        if (band.isEmpty())
            continue;
        // On screen: a pixmap in its final orientation, so that drawing it is a plain copy.
        if (t.pixmap.isNull() || t.pixmap.size() != band.size() * ratio ||
            t.pixmap.devicePixelRatio() != ratio) {
            t.pixmap = QPixmap(band.size() * ratio);
            t.pixmap.setDevicePixelRatio(ratio);
            t.pixmap.fill(Qt::transparent);
            QPainter p(&t.pixmap);
            write(p, QPoint(0, 0));
        }
        painter->drawPixmap(band.topLeft(), t.pixmap);
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
