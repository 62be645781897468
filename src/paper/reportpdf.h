#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QDateTime>
#include <QPageLayout>
#include <QPicture>
#include <QString>

#include "chart/printing.h"

class QIODevice;
class QTextDocument;

namespace veltrano {

class ChartView;
struct ProcessingResult;
struct ProcessingSettings;
struct ReportStyle;

// Where a run's image came from, as the report PDF names it: the file's name, or "Download"
// with the date and time the download ended.
QString imageSourceOfFile(const QString& path);
QString imageSourceOfDownload(const QDateTime& ended);

// The report as a PDF: A4 pages titled "rapport", 2 mm from the paper's edge. Every page has
// a header with the image's source and the run's settings and a footer with the date of
// making and "pagina N van M". First the report's summary with the run's days, then the time
// in voltage and temperature bands, then the event blocks, then the chart of the whole
// recording.
QPageLayout reportPdfLayout();
inline constexpr int kReportPdfResolution = 1200;

// The header's and the footer's texts.
struct ReportPdfFrame {
    QString source;
    QString limits;
    QString filters;
    QString made;
};
ReportPdfFrame reportPdfFrame(const ProcessingSettings& settings, const QDateTime& made);

// The PDF's drawings, made on the UI thread from widgets and drawn on any thread.
struct ReportPdfDrawings {
    ChartDrawing chartPage;
    QPicture voltageBands;
    QPicture temperatureBands;
};
ReportPdfDrawings recordReportPdfDrawings(ChartView& chart, const ProcessingResult& run);

// The PDF's text: the summary with the days, and the event blocks. On any thread; nothing
// when `cancelled` says so on the way.
struct ReportPdfText {
    std::unique_ptr<QTextDocument> summary;
    std::unique_ptr<QTextDocument> events;
};
std::optional<ReportPdfText> reportPdfText(const ProcessingResult& run, const ReportStyle& style,
                                           const std::function<bool()>& cancelled = {});

// The PDF's bytes, on any thread. Returns why it failed.
std::optional<QString> writeReportPdf(const ReportPdfText& text, const ReportPdfDrawings& drawings,
                                      const ReportPdfFrame& frame, QIODevice& device);

// All of it at once into a file, which is replaced only when everything was written: after a
// failure an old file stays as it was. Returns the message for the user.
std::optional<QString> saveReportPdf(const ProcessingResult& run, const ReportStyle& style,
                                     ChartView& chart, const QString& path);

} // namespace veltrano
