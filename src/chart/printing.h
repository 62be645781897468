#pragma once

#include <QPicture>
#include <QPoint>
#include <QRect>

class QPainter;
class QPrinter;

namespace veltrano {

class ChartView;

// The chart's place on a page: margins of 15, 20, 15 and 20 % of the page (left, top,
// right, bottom), each rounded to whole device pixels.
QRect chartArea(const QRect& page);

// A drawing of the chart, made on the UI thread and drawn anywhere later, on a worker thread
// too: the plot laid out at a screen's size and scaled up as vectors onto the target, for the
// plot measures its texts with screen metrics and laid out at a printer's resolution it would
// clip them.
struct ChartDrawing {
    QPicture picture;
    QPoint at;          // top left of the target, in the device's pixels
    double scale = 1.0; // device pixels per laid-out pixel
};

// Draws the drawing on an active painter.
void drawChart(QPainter& painter, const ChartDrawing& drawing);

// The drawing of the chart as it is shown (ranges, series, lines, with a legend of the shown
// series at its foot) for `target` on a device of `deviceDpi` dots per inch.
ChartDrawing recordChart(ChartView& chart, const QRect& target, double deviceDpi);
// The same inside chartArea of a page.
ChartDrawing recordChartPage(ChartView& chart, const QRect& page, double deviceDpi);

// Prints the chart as it is shown at the printer's resolution, as vectors, inside chartArea
// of the printable page. False when the printer cannot start.
bool printChart(ChartView& chart, QPrinter& printer);

} // namespace veltrano
