#pragma once

#include <memory>

#include <QRect>

class QPrinter;
class QTextDocument;
class QWidget;

namespace veltrano {

class ChartView;

// The chart's place on a page: margins of 15, 20, 15 and 20 % of the page (left, top,
// right, bottom), each rounded to whole device pixels.
QRect chartArea(const QRect& page);

// Prints the report as the job "rapport", page after page.
void printReport(const QTextDocument& document, QPrinter& printer);

// Prints the chart as it is shown (ranges, series, lines) at the printer's resolution,
// as vectors, inside chartArea of the printable page. False when the printer cannot start.
bool printChart(ChartView& chart, QPrinter& printer);

// The "Printen" group: both actions share one printer, so the printer chosen in either
// dialog is used by the next print.
class PrintActions {
public:
    explicit PrintActions(QWidget* parent);
    ~PrintActions();

    // "Calamiteiten overzicht": the print dialog, then the report.
    void PDFClick(const QTextDocument& report);
    // "Grafiek": the print preview of the chart.
    void GrafiekopslaanClick(ChartView& chart);

    QPrinter& printer() { return *printer_; }

private:
    QWidget* parent_;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace veltrano
