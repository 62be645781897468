#pragma once

#include <optional>

#include <QString>

class QPagedPaintDevice;
class QPainter;
class QTextDocument;

namespace veltrano {

class ChartView;

// Gives a device without page margins the 2 mm that a printed document keeps from the edge.
// Before a painter begins on it.
void keepFromEdge(QPagedPaintDevice& device);

// Lays the report out on the pages of the device that `painter` is active on and draws them
// one after the other, as a printed document: 2 cm margins, the page number at the foot.
void paintReportPages(const QTextDocument& report, QPainter& painter, QPagedPaintDevice& device);

// The report's pages, then the chart on a page of its own as a print of the chart draws it.
// False when the device cannot be painted on.
bool paintReportAndChart(const QTextDocument& report, ChartView& chart, QPagedPaintDevice& device);

// The same as a PDF of A4 pages titled "rapport", into a file that is replaced only when
// everything was written: after a failure an old file stays as it was. Returns the message
// for the user.
std::optional<QString> saveReportPdf(const QTextDocument& report, ChartView& chart,
                                     const QString& path);

} // namespace veltrano
