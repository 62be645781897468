#include "chart/measuringlines.h"

#include <algorithm>
#include <cmath>

#include <qcustomplot.h>

#include "analysis/numbers.h"

namespace veltrano {

namespace {
constexpr double kGrabPixels = 4.0;
}

MeasuringLines::MeasuringLines(QCustomPlot* plot, const QFont& font) : plot_(plot) {
    for (int i = 0; i < 2; ++i) {
        lines_[i] = new QCPItemStraightLine(plot);
        lines_[i]->setPen(QPen(QColor(0, 0, 128), 1));
        for (QCPItemPosition* p : {lines_[i]->point1, lines_[i]->point2}) {
            p->setTypeX(QCPItemPosition::ptPlotCoords);
            p->setTypeY(QCPItemPosition::ptAxisRectRatio);
        }
        lines_[i]->point1->setCoords(0, 0);
        lines_[i]->point2->setCoords(0, 1);
        lines_[i]->setVisible(false);
        labels_[i] = new QCPItemText(plot);
        labels_[i]->position->setTypeX(QCPItemPosition::ptPlotCoords);
        labels_[i]->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        labels_[i]->position->setCoords(0, 0);
        labels_[i]->setPositionAlignment(Qt::AlignTop | Qt::AlignHCenter);
        labels_[i]->setTextAlignment(Qt::AlignCenter);
        labels_[i]->setBrush(QBrush(Qt::white));
        labels_[i]->setPadding(QMargins(3, 1, 3, 1));
        labels_[i]->setText(QStringLiteral("0"));
        labels_[i]->setVisible(false);
        labels_[i]->setClipToAxisRect(false);
        labels_[i]->setFont(font);
    }
}

bool MeasuringLines::active() const {
    return lines_[0]->visible();
}

void MeasuringLines::setActive(bool on) {
    for (int i = 0; i < 2; ++i) {
        lines_[i]->setVisible(on);
        labels_[i]->setVisible(on);
    }
}

bool MeasuringLines::labelsVisible() const {
    return labels_[0]->visible();
}

void MeasuringLines::setLabelsVisible(bool on) {
    for (QCPItemText* l : labels_) {
        l->setVisible(on);
    }
}

void MeasuringLines::place(double minimum, double maximum) {
    const double s = maximum - minimum;
    x_[0] = maximum - 0.1 * s;
    x_[1] = minimum + 0.1 * s;
}

void MeasuringLines::updateLabels(const QLocale& locale) {
    for (int i = 0; i < 2; ++i) {
        labels_[i]->setText(formatMeasured(x_[i], locale));
    }
}

QString MeasuringLines::label(int i) const {
    return labels_[i]->text();
}

QString MeasuringLines::distanceText(double x1, double x2, const QLocale& locale,
                                     const QString& unitName) {
    return formatMeasured(std::abs(x2 - x1), locale) + QLatin1Char(' ') + unitName;
}

int MeasuringLines::nearest(double px) const {
    if (!active()) {
        return -1;
    }
    int best = -1;
    double bestDistance = kGrabPixels;
    for (int i = 0; i < 2; ++i) {
        const double d = std::abs(plot_->xAxis->coordToPixel(x_[i]) - px);
        if (d <= bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

void MeasuringLines::dragTo(int i, double px) {
    const QRect area = plot_->axisRect()->rect();
    px = std::clamp(px, double(area.left()), double(area.right()));
    x_[i] = plot_->xAxis->pixelToCoord(px);
}

void MeasuringLines::sync() {
    for (int i = 0; i < 2; ++i) {
        lines_[i]->point1->setCoords(x_[i], 0);
        lines_[i]->point2->setCoords(x_[i], 1);
        labels_[i]->position->setCoords(x_[i], 0);
    }
}

} // namespace veltrano
