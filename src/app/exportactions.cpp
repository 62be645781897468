#include "exportactions.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "chart/chartpicture.h"
#include "chart/chartview.h"
#include "chart/paperchart.h"
#include "mainwindow.h"
#include "paper/reportpdf.h"
#include "paper/reportview.h"
#include "recording/safesave.h"
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

// The temperatures' file beside the voltages' one: "temperatuur" for the last "spanning" in
// its name, or "-temperatuur" added to it.
QString rangeTemperaturePath(const QString& voltagePath) {
    const QFileInfo info(voltagePath);
    QString name = info.completeBaseName();
    const qsizetype at = name.lastIndexOf(QStringLiteral("spanning"), -1, Qt::CaseInsensitive);
    if (at >= 0)
        name.replace(at, 8, QStringLiteral("temperatuur"));
    else
        name += QStringLiteral("-temperatuur");
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("csv") : info.suffix();
    return info.dir().filePath(name + QLatin1Char('.') + suffix);
}
const QString kPdfFilter = QStringLiteral("PDF-document (*.pdf)");

} // namespace

ExportActions::ExportActions(MainWindow& window, UiSeams& seams, ChartView& chart,
                             QPlainTextEdit& reportBox)
    : QObject(&window), window_(window), seams_(seams), chart_(chart), reportBox_(reportBox),
      chartPicture_(new QAction(exporttext::ChartPicture, this)),
      csvActions_{new QAction(exporttext::VoltageCsv, this),
                  new QAction(exporttext::TemperatureCsv, this),
                  new QAction(exporttext::EventsCsv, this), new QAction(exporttext::DaysCsv, this),
                  new QAction(exporttext::BandsCsv, this)},
      rangeCsv_(new QAction(exporttext::RangeCsv, this)),
      reportPdf_(new QAction(exporttext::ReportPdf, this)) {
    setObjectName(QStringLiteral("exportActions"));
    connect(&run_, &ExportRun::progressed, this, &ExportActions::progressed);
    connect(&run_, &ExportRun::finished, this, &ExportActions::finished);
    connect(chartPicture_, &QAction::triggered, this, &ExportActions::saveChartPicture);
    for (std::size_t k = 0; k < csvActions_.size(); ++k) {
        const auto kind = CsvExport(k);
        connect(csvAction(kind), &QAction::triggered, this, [this, kind] { exportCsv(kind); });
    }
    connect(rangeCsv_, &QAction::triggered, this, &ExportActions::exportRange);
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
    for (QAction* a : csvActions_)
        a->setEnabled(offered);
    chartPicture_->setEnabled(offered);
    reportPdf_->setEnabled(offered);
    rangeCsv_->setEnabled(offered && chart_.markersActive());
}

std::unique_ptr<QMenu> ExportActions::chartMenu() {
    updateEnabled();
    auto menu = std::make_unique<QMenu>();
    menu->addActions({chartPicture_, csvAction(CsvExport::Voltage),
                      csvAction(CsvExport::Temperature), rangeCsv_});
    return menu;
}

std::unique_ptr<QMenu> ExportActions::reportMenu(const QPoint& at) {
    updateEnabled();
    // A child of the box, which a menu of the box may be; deleting it first is fine.
    std::unique_ptr<QMenu> menu(reportBox_.createStandardContextMenu(at));
    menu->addSeparator();
    menu->addActions({csvAction(CsvExport::Events), csvAction(CsvExport::Days),
                      csvAction(CsvExport::Bands), reportPdf_});
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

void ExportActions::exportRange() {
    if (!exportable() || !chart_.markersActive())
        return;
    const QString path = seams_.saveFileName(
        &window_,
        {titleOf(exporttext::RangeCsv), {kCsvFilter}, QStringLiteral("bereik-spanning.csv")});
    std::shared_ptr<const ProcessingResult> run = exportable();
    // The dialog ran an event loop of its own: the lines may have gone meanwhile.
    if (path.isEmpty() || !run || !chart_.markersActive())
        return;
    const double from = chart_.measuringLine(1);
    const double to = chart_.measuringLine(2);
    const QString temperaturePath = rangeTemperaturePath(path);
    // The dialog asked about the chosen file only.
    if (QFileInfo::exists(temperaturePath) &&
        (!seams_.question(&window_, QStringLiteral("De temperaturen komen in \"%1\", dat al "
                                                   "bestaat. Vervangen?")
                                        .arg(QDir::toNativeSeparators(temperaturePath))) ||
         !exportable()))
        return;
    start(path, [=](const WriteControl& control) -> std::optional<QString> {
        const WriteControl voltages{control.cancelled, [&](double s) { control.progress(s / 2); }};
        const WriteControl temperatures{control.cancelled,
                                        [&](double s) { control.progress(0.5 + s / 2); }};
        // The temperatures go in while the voltages' file is still open: a failure of either
        // leaves both files as they were.
        std::optional<QString> temperatureError;
        auto error = saveFile(path, [&](QIODevice& file) -> std::optional<QString> {
            if (auto why = writeCsvRange(CsvExport::Voltage, *run, run->settings, from, to, file,
                                         voltages))
                return why;
            temperatureError = saveCsvRange(CsvExport::Temperature, *run, run->settings, from, to,
                                            temperaturePath, temperatures);
            return temperatureError;
        });
        return temperatureError ? temperatureError : error;
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
