#pragma once

#include <optional>

#include <QPageLayout>
#include <QPointF>
#include <QString>

#include "chart/printing.h"

class QIODevice;
class QPagedPaintDevice;
class QPainter;
class QTextDocument;

namespace veltrano {

class ChartView;

// The resolution the report box lays its text out at: the primary screen's. On the UI thread.
QPointF screenDpi();

// Lays the report out on the pages of the device that `painter` is active on and draws them
// one after the other, as a printed document: 2 cm margins, the page number at the foot. The
// report's lengths are in pixels of `reportDpi`. On any thread.
void paintReportPages(const QTextDocument& report, QPointF reportDpi, QPainter& painter,
                      QPagedPaintDevice& device);

// The report as a PDF: A4 pages titled "rapport", 2 mm from the paper's edge, the report's
// pages and then the chart on a page of its own, as a print of the chart draws it.
QPageLayout reportPdfLayout();
inline constexpr int kReportPdfResolution = 1200;
// The chart's page of that PDF, on the UI thread.
ChartDrawing recordReportChartPage(ChartView& chart);
// The PDF's bytes, on any thread. Returns why it failed.
std::optional<QString> writeReportPdf(const QTextDocument& report, QPointF reportDpi,
                                      const ChartDrawing& chartPage, QIODevice& device);

// Both at once into a file, which is replaced only when everything was written: after a
// failure an old file stays as it was. Returns the message for the user.
std::optional<QString> saveReportPdf(const QTextDocument& report, ChartView& chart,
                                     const QString& path);

} // namespace veltrano
