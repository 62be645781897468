#include "chart/printing.h"

#include <cmath>

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
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

void printReport(const QTextDocument& document, QPrinter& printer) {
    printer.setDocName(QStringLiteral("rapport"));
    document.print(&printer);
}

bool printChart(ChartView& chart, QPrinter& printer) {
    QCPPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    chart.paintOn(painter, chartArea(QRect(0, 0, printer.width(), printer.height())));
    painter.end();
    return true;
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
