#pragma once

#include <memory>

class QPrinter;
class QTextDocument;
class QWidget;

namespace veltrano {

class ChartView;
class UiSeams;

// Prints the report as the job "rapport", page after page.
void printReportDocument(const QTextDocument& document, QPrinter& printer);

// The "Printen" group: both actions share one printer, so the printer chosen in either
// dialog is used by the next print. The dialogs open through the window's seams.
class PrintActions {
public:
    PrintActions(QWidget* parent, UiSeams& seams);
    ~PrintActions();

    // "Calamiteiten overzicht": the print dialog, then the report.
    void printReport(const QTextDocument& report);
    // "Grafiek": the print preview of the chart.
    void previewChart(ChartView& chart);

    QPrinter& printer() { return *printer_; }

private:
    QWidget* parent_;
    UiSeams& seams_;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace veltrano
