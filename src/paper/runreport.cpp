#include "paper/runreport.h"

#include <QApplication>
#include <QPlainTextEdit>

#include "analysis/processing.h"
#include "chart/chartview.h"
#include "chart/paperchart.h"
#include "paper/reportpdf.h"
#include "paper/reportview.h"

namespace veltrano {

std::optional<QString> writeRunReportPdf(const ProcessingResult& result, const QString& path) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return QStringLiteral("--pdf heeft een programma met vensters nodig");
    QPlainTextEdit box;
    setUpReportBox(&box);
    const std::unique_ptr<ChartView> chart = fullViewChart(result);
    return saveReportPdf(result, reportStyle(&box), *chart, path);
}

} // namespace veltrano
