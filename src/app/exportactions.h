#pragma once

#include <array>
#include <memory>

#include <QObject>
#include <QString>

#include "analysis/exports.h"
#include "exportrun.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class QPoint;

namespace veltrano {

class ChartView;
class MainWindow;
class UiSeams;
struct ProcessingResult;

namespace exporttext {
inline const QString ChartPicture = QStringLiteral("Grafiek opslaan als afbeelding…");
inline const QString VoltageCsv = QStringLiteral("Spanning exporteren (CSV)…");
inline const QString TemperatureCsv = QStringLiteral("Temperatuur exporteren (CSV)…");
inline const QString EventsCsv = QStringLiteral("Calamiteiten exporteren (CSV)…");
inline const QString ReportPdf = QStringLiteral("Rapport opslaan als PDF…");
inline const QString DaysCsv = QStringLiteral("Per dag exporteren (CSV)…");
inline const QString BandsCsv = QStringLiteral("Verdeling exporteren (CSV)…");
inline const QString RangeCsv = QStringLiteral("Bereik exporteren (CSV)…");
} // namespace exporttext

// The main window's exports. A right click on the chart offers the chart as a picture, the
// two measurement exports and, with the measuring lines on, the rows between them; one on the
// report box adds the event, day and band exports and the report as a PDF to the box's own
// entries; they are offered when the window's state allows and a run
// has finished, and write what that run found, with the settings it ran with. What is drawn
// is taken on the UI thread; the file is written on a worker, one export at a time, while the
// run's result is held so that no later run writes over it.
class ExportActions : public QObject {
    Q_OBJECT
public:
    ExportActions(MainWindow& window, UiSeams& seams, ChartView& chart, QPlainTextEdit& reportBox);
    ~ExportActions() override;

    // The run the exports write: the last finished one whose recording was closed, as the
    // report box and the chart show it; null while the window's state offers no exports.
    std::shared_ptr<const ProcessingResult> exportable() const;

    // The two context menus as a right click shows them (`at` in the report box's
    // viewport), their export entries enabled as exportable() allows.
    std::unique_ptr<QMenu> chartMenu();
    std::unique_ptr<QMenu> reportMenu(const QPoint& at);

    QAction* chartPictureAction() const { return chartPicture_; }
    QAction* csvAction(CsvExport kind) const;
    QAction* reportPdfAction() const { return reportPdf_; }
    QAction* rangeCsvAction() const { return rangeCsv_; }

    ExportRun& run() { return run_; }
    bool running() const { return run_.running(); }

public slots:
    void saveChartPicture();
    void exportCsv(CsvExport kind);
    void saveReportPdf();
    // The spanning and temperatuur rows between the measuring lines, into two files: the one
    // chosen, and beside it the same name with "temperatuur" for "spanning".
    void exportRange();
    // "Annuleren": the export stops; a file it was replacing stays as it was.
    void cancel();

signals:
    void started();
    void progressed(int percent);
    // The export is over; a failure has been told.
    void ended();

private:
    void updateEnabled();
    void showMenu(std::unique_ptr<QMenu> menu, const QPoint& globalPos);
    void start(const QString& path, ExportRun::Job job);
    void finished();

    MainWindow& window_;
    UiSeams& seams_;
    ChartView& chart_;
    QPlainTextEdit& reportBox_;
    QAction* chartPicture_;
    std::array<QAction*, 5> csvActions_; // by CsvExport
    QAction* rangeCsv_;
    QAction* reportPdf_;
    ExportRun run_;
};

} // namespace veltrano
