#include "chart/printing.h"

#include <algorithm>
#include <cmath>

#include <QPrinter>
#include <qcustomplot.h>

#include "chart/chartview.h"

namespace veltrano {

QRect chartArea(const QRect& page) {
    const int left = int(std::lround(15 * 0.01 * page.width()));
    const int right = int(std::lround(15 * 0.01 * page.width()));
    const int top = int(std::lround(20 * 0.01 * page.height()));
    const int bottom = int(std::lround(20 * 0.01 * page.height()));
    return page.adjusted(left, top, -right, -bottom);
}

void drawScaledUp(QCustomPlot& plot, QCPPainter& painter, const QRect& target) {
    const double scale = std::max(1.0, painter.device()->logicalDpiX() / 96.0);
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    plot.toPainter(&painter, int(target.width() / scale), int(target.height() / scale));
    painter.restore();
}

void paintChartPage(ChartView& chart, QCPPainter& painter, const QRect& page) {
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    chart.paintOn(painter, chartArea(page));
}

bool printChart(ChartView& chart, QPrinter& printer) {
    QCPPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    paintChartPage(chart, painter, QRect(0, 0, printer.width(), printer.height()));
    painter.end();
    return true;
}

} // namespace veltrano
