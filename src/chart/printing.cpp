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

void drawChart(QPainter& painter, const ChartDrawing& drawing) {
    // A picture plays back scaled from its own resolution to the device's already; only the
    // rest of the drawing's scale is left to apply.
    const QPaintDevice& device = *painter.device();
    const double playedX = double(device.logicalDpiX()) / drawing.picture.logicalDpiX();
    const double playedY = double(device.logicalDpiY()) / drawing.picture.logicalDpiY();
    painter.save();
    painter.translate(drawing.at);
    painter.scale(drawing.scale / playedX, drawing.scale / playedY);
    painter.drawPicture(0, 0, drawing.picture);
    painter.restore();
}

ChartDrawing recordChart(ChartView& chart, const QRect& target, double deviceDpi) {
    ChartDrawing drawing;
    drawing.at = target.topLeft();
    drawing.scale = std::max(1.0, deviceDpi / 96.0);
    chart.record(drawing.picture,
                 QSize(int(target.width() / drawing.scale), int(target.height() / drawing.scale)));
    return drawing;
}

ChartDrawing recordChartPage(ChartView& chart, const QRect& page, double deviceDpi) {
    return recordChart(chart, chartArea(page), deviceDpi);
}

bool printChart(ChartView& chart, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    drawChart(painter, recordChartPage(chart, QRect(0, 0, printer.width(), printer.height()),
                                       printer.logicalDpiX()));
    painter.end();
    return true;
}

} // namespace veltrano
