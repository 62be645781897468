#include "exportactions.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "chart/chartpicture.h"
#include "chart/chartview.h"
#include "chart/paperchart.h"
#include "mainwindow.h"
#include "paper/reportpdf.h"
#include "paper/reportview.h"
#include "uiseams.h"
#include "windowstate.h"

namespace veltrano {

namespace {

// The run's pyramids: copied from the window's chart when it shows the run, which is much
// cheaper than building them again on the UI thread.
ChartPyramids pyramidsOf(const ChartView& chart, const ProcessingResult& run) {
    const ChartFill fill = runFill(run);
    const Envelope& v = chart.envelope(ChartView::Voltage);
    const Envelope& t = chart.envelope(ChartView::Temperature);
    const auto holds = [](const Envelope& e, const float* times, int count) {
        return count > 0 && times && e.times() == times + 1 && e.size() == std::size_t(count);
    };
    const bool shown = holds(v, fill.voltageTimes, fill.voltageSampleCount) &&
                       holds(t, fill.temperatureTimes, fill.temperatureSampleCount);
    return shown ? ChartPyramids{v, t} : buildPyramids(fill);
}

// The dialog's title is the entry's text without its dots.
QString titleOf(const QString& entry) {
    return entry.endsWith(QChar(0x2026)) ? entry.chopped(1) : entry;
}

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
    connect(&run_, &ExportRun::progressed, this, &ExportActions::progressed);
    connect(&run_, &ExportRun::finished, this, &ExportActions::finished);
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

std::shared_ptr<const ProcessingResult> ExportActions::exportable() const {
    std::shared_ptr<const ProcessingResult> r = window_.sharedResult();
    return controlStates(window_.state()).exports && r && hasRecording(*r) ? r : nullptr;
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

void ExportActions::start(const QString& path, ExportRun::Job job) {
    if (run_.start(path, std::move(job)))
        emit started();
}

void ExportActions::cancel() {
    run_.cancel();
}

void ExportActions::finished() {
    const ExportOutcome& outcome = run_.outcome();
    emit ended();
    if (outcome.error)
        seams_.information(&window_, *outcome.error);
}

void ExportActions::saveChartPicture() {
    if (!exportable())
        return;
    const QString path =
        seams_.saveFileName(&window_, {titleOf(exporttext::ChartPicture),
                                       {QStringLiteral("PNG-afbeelding (*.png)"),
                                        QStringLiteral("SVG-tekening (*.svg)"), kPdfFilter},
                                       QStringLiteral("grafiek.png")});
    // The dialog ran an event loop of its own; ask again.
    if (path.isEmpty() || !exportable())
        return;
    const auto format = pictureFormatFor(path);
    if (!format) {
        seams_.information(&window_, pictureFormatMessage());
        return;
    }
    // The chart as it is shown now; the file is written from the drawing.
    auto picture = std::make_shared<const ChartPicture>(recordChartPicture(chart_, *format));
    start(path, [path, picture](const WriteControl& control) -> std::optional<QString> {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (auto error = writeChartPicture(*picture, buffer))
            return cannotSave(path, *error);
        control.progress(0.5);
        if (control.stopRequested())
            return writeCancelledText();
        return saveBytes(path, bytes);
    });
}

void ExportActions::exportCsv(CsvExport kind) {
    if (!exportable())
        return;
    const QString path =
        seams_.saveFileName(&window_, {titleOf(csvAction(kind)->text()),
                                       {kCsvFilter},
                                       csvExportWord(kind) + QStringLiteral(".csv")});
    std::shared_ptr<const ProcessingResult> run = exportable();
    if (path.isEmpty() || !run)
        return;
    start(path, [kind, path, run](const WriteControl& control) {
        return saveCsv(kind, *run, run->settings, path, control);
    });
}

void ExportActions::saveReportPdf() {
    if (!exportable())
        return;
    const QString path = seams_.saveFileName(
        &window_, {titleOf(exporttext::ReportPdf), {kPdfFilter}, QStringLiteral("rapport.pdf")});
    std::shared_ptr<const ProcessingResult> run = exportable();
    if (path.isEmpty() || !run)
        return;
    // The whole recording, whatever the window's chart shows now; its series as there. The
    // chart page is drawn here, the report is laid out on the worker from the run's report.
    const std::unique_ptr<ChartView> paper = fullViewChart(*run, pyramidsOf(chart_, *run));
    for (int s = 0; s < ChartView::SeriesCount; ++s) {
        const auto series = ChartView::Series(s);
        paper->legendCheckBox(series)->setChecked(chart_.seriesShown(series));
    }
    auto drawings =
        std::make_shared<const ReportPdfDrawings>(recordReportPdfDrawings(*paper, *run));
    const ReportStyle style = reportStyle(&reportBox_);
    const ReportPdfFrame frame = reportPdfFrame(run->settings, QDateTime::currentDateTime());
    start(
        path,
        [path, run, drawings, style, frame](const WriteControl& control) -> std::optional<QString> {
            const std::optional<ReportPdfText> text =
                reportPdfText(*run, style, [&control] { return control.stopRequested(); });
            if (!text)
                return writeCancelledText();
            control.progress(0.3);
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (auto error = writeReportPdf(*text, *drawings, frame, buffer))
                return cannotSave(path, *error);
            control.progress(0.9);
            if (control.stopRequested())
                return writeCancelledText();
            return saveBytes(path, bytes);
        });
}

} // namespace veltrano
