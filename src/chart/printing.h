#pragma once

#include <QRect>

class QCPPainter;
class QCustomPlot;
class QPrinter;

namespace veltrano {

class ChartView;

// The chart's place on a page: margins of 15, 20, 15 and 20 % of the page (left, top,
// right, bottom), each rounded to whole device pixels.
QRect chartArea(const QRect& page);

// Draws the plot into target on an active painter. It is laid out as on a screen and scaled
// up as vectors: the plot measures its texts with screen metrics, so laying it out at a
// printer's own resolution would clip them.
void drawScaledUp(QCustomPlot& plot, QCPPainter& painter, const QRect& target);

// Draws the chart on a page of `page` (device pixels) through an active painter, as printChart
// does: the page's own resolution, vectors, inside chartArea of the page.
void paintChartPage(ChartView& chart, QCPPainter& painter, const QRect& page);

// Prints the chart as it is shown (ranges, series, lines) at the printer's resolution,
// as vectors, inside chartArea of the printable page. False when the printer cannot start.
bool printChart(ChartView& chart, QPrinter& printer);

} // namespace veltrano
