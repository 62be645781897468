#include "printactions.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

#include "chart/printing.h"

namespace veltrano {

void printReport(const QTextDocument& document, QPrinter& printer) {
    printer.setDocName(QStringLiteral("rapport"));
    document.print(&printer);
}

PrintActions::PrintActions(QWidget* parent)
    : parent_(parent), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

PrintActions::~PrintActions() = default;

void PrintActions::PDFClick(const QTextDocument& report) {
    QPrintDialog dialog(printer_.get(), parent_);
    if (dialog.exec() == QDialog::Accepted) {
        printReport(report, *printer_);
    }
}

void PrintActions::GrafiekopslaanClick(ChartView& chart) {
    QPrintPreviewDialog preview(printer_.get(), parent_);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&chart](QPrinter* p) { printChart(chart, *p); });
    preview.exec();
}

} // namespace veltrano
