#include "exportactions.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <qcustomplot.h>

#include "chart/chartpicture.h"
#include "chart/chartview.h"
#include "chart/paperchart.h"
#include "mainwindow.h"
#include "paper/reportpdf.h"
#include "uiseams.h"

namespace veltrano {

namespace {

// The dialog's title is the entry's text without its dots.
QString titleOf(const QString& entry) {
    return entry.endsWith(QChar(0x2026)) ? entry.chopped(1) : entry;
}

// Writing a large export takes a moment; the window shows that it is busy.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

const QString kCsvFilter = QStringLiteral("CSV-bestand (*.csv)");
const QString kPdfFilter = QStringLiteral("PDF-document (*.pdf)");

} // namespace

ExportActions::ExportActions(MainWindow& window, UiSeams& seams, ChartView& chart,
                             QPlainTextEdit& reportBox)
    : QObject(&window), window_(window), seams_(seams), chart_(chart), reportBox_(reportBox),
      chartPicture_(new QAction(exporttext::ChartPicture, this)),
      csvActions_{new QAction(exporttext::VoltageCsv, this),
                  new QAction(exporttext::TemperatureCsv, this),
                  new QAction(exporttext::EventsCsv, this)},
      reportPdf_(new QAction(exporttext::ReportPdf, this)) {
    setObjectName(QStringLiteral("exportActions"));
    connect(chartPicture_, &QAction::triggered, this, &ExportActions::saveChartPicture);
    for (const CsvExport kind : {CsvExport::Voltage, CsvExport::Temperature, CsvExport::Events})
        connect(csvAction(kind), &QAction::triggered, this, [this, kind] { exportCsv(kind); });
    connect(reportPdf_, &QAction::triggered, this, &ExportActions::saveReportPdf);

    // The plot keeps its mouse events from the chart around it, so it has the menu too.
    for (QWidget* chart : {static_cast<QWidget*>(&chart_), static_cast<QWidget*>(chart_.plot())}) {
        chart->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(chart, &QWidget::customContextMenuRequested, this,
                [this, chart](const QPoint& at) { showMenu(chartMenu(), chart->mapToGlobal(at)); });
    }
    QPlainTextEdit* box = &reportBox_;
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this, [this, box](const QPoint& at) {
        showMenu(reportMenu(at), box->viewport()->mapToGlobal(at));
    });
}

ExportActions::~ExportActions() = default;

const ProcessingResult* ExportActions::exportable() const {
    const ProcessingResult* r = window_.result();
    return !window_.state().processing && r && r->completed ? r : nullptr;
}

QAction* ExportActions::csvAction(CsvExport kind) const {
    return csvActions_[std::size_t(kind)];
}

void ExportActions::updateEnabled() {
    const bool offered = exportable() != nullptr;
    for (QAction* a : {chartPicture_, csvAction(CsvExport::Voltage),
                       csvAction(CsvExport::Temperature), csvAction(CsvExport::Events), reportPdf_})
        a->setEnabled(offered);
}

std::unique_ptr<QMenu> ExportActions::chartMenu() {
    updateEnabled();
    auto menu = std::make_unique<QMenu>();
    menu->addActions(
        {chartPicture_, csvAction(CsvExport::Voltage), csvAction(CsvExport::Temperature)});
    return menu;
}

std::unique_ptr<QMenu> ExportActions::reportMenu(const QPoint& at) {
    updateEnabled();
    // A child of the box, which a menu of the box may be; deleting it first is fine.
    std::unique_ptr<QMenu> menu(reportBox_.createStandardContextMenu(at));
    menu->addSeparator();
    menu->addActions({csvAction(CsvExport::Events), reportPdf_});
    return menu;
}

void ExportActions::showMenu(std::unique_ptr<QMenu> menu, const QPoint& globalPos) {
    menu->exec(globalPos);
}

void ExportActions::saveChartPicture() {
    if (!exportable())
        return;
    const QString path =
        seams_.saveFileName(&window_, {titleOf(exporttext::ChartPicture),
                                       {QStringLiteral("PNG-afbeelding (*.png)"),
                                        QStringLiteral("SVG-tekening (*.svg)"), kPdfFilter},
                                       QStringLiteral("grafiek.png")});
    if (path.isEmpty() || !exportable())
        return;
    std::optional<QString> error;
    {
        BusyCursor busy;
        error = veltrano::saveChartPicture(chart_, path);
    }
    if (error)
        seams_.information(&window_, *error);
}

void ExportActions::exportCsv(CsvExport kind) {
    if (!exportable())
        return;
    const QString path =
        seams_.saveFileName(&window_, {titleOf(csvAction(kind)->text()),
                                       {kCsvFilter},
                                       csvExportWord(kind) + QStringLiteral(".csv")});
    // The dialog ran an event loop of its own; ask again.
    const ProcessingResult* run = exportable();
    if (path.isEmpty() || !run)
        return;
    std::optional<QString> error;
    {
        BusyCursor busy;
        error = saveCsv(kind, *run, run->settings, path);
    }
    if (error)
        seams_.information(&window_, *error);
}

void ExportActions::saveReportPdf() {
    if (!exportable())
        return;
    const QString path = seams_.saveFileName(
        &window_, {titleOf(exporttext::ReportPdf), {kPdfFilter}, QStringLiteral("rapport.pdf")});
    const ProcessingResult* run = exportable();
    if (path.isEmpty() || !run)
        return;
    std::optional<QString> error;
    {
        BusyCursor busy;
        // The whole recording, whatever the window's chart shows now; its series as there.
        const std::unique_ptr<ChartView> paper = fullViewChart(*run);
        for (int s = 0; s < ChartView::SeriesCount; ++s) {
            const auto series = ChartView::Series(s);
            paper->legendCheckBox(series)->setChecked(chart_.seriesShown(series));
        }
        error = veltrano::saveReportPdf(*reportBox_.document(), *paper, path);
    }
    if (error)
        seams_.information(&window_, *error);
}

} // namespace veltrano
