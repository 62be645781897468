#include "pdfreport.h"

#include <QApplication>
#include <QTextDocument>
#include <QPlainTextEdit>

#include "analysis/processing.h"
#include "app/reportpdf.h"
#include "app/reportview.h"
#include "chart/chartview.h"
#include "chart/paperchart.h"

namespace veltrano::report {

std::unique_ptr<QCoreApplication> makePdfApplication(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
}

std::optional<QString> writeReportPdf(const ProcessingResult& result, const QString& path) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return QStringLiteral("--pdf heeft een programma met vensters nodig");
    // The report as the window's report box holds it, in the box's font and tab stops.
    QPlainTextEdit box;
    setUpReportBox(&box);
    const std::unique_ptr<QTextDocument> report = reportDocument(result.report, reportStyle(&box));
    const std::unique_ptr<ChartView> chart = fullViewChart(result);
    return saveReportPdf(*report, *chart, path);
}

} // namespace veltrano::report
