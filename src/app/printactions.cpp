#include "printactions.h"

#include <QPrinter>
#include <QTextDocument>

#include "chart/printing.h"
#include "uiseams.h"

namespace veltrano {

void printReportDocument(const QTextDocument& document, QPrinter& printer) {
    printer.setDocName(QStringLiteral("rapport"));
    document.print(&printer);
}

PrintActions::PrintActions(QWidget* parent, UiSeams& seams)
    : parent_(parent), seams_(seams),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

PrintActions::~PrintActions() = default;

void PrintActions::printReport(const QTextDocument& report) {
    if (seams_.printDialog(parent_, *printer_))
        printReportDocument(report, *printer_);
}

void PrintActions::previewChart(ChartView& chart) {
    seams_.printPreview(parent_, *printer_, [&chart](QPrinter* p) { printChart(chart, *p); });
}

} // namespace veltrano
