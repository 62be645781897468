#include <cerrno>
#include <cstring>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDateTimeEdit>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <qcustomplot.h>

#include "app/exportactions.h"
#include "app/printactions.h"
#include "chart/chartpicture.h"
#include "chart/chartview.h"
#include "demo.h"
#include "pdftext.h"
#include "processingfixture.h"
#include "testfiles.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {

// Ten hours in minutes, so that the whole recording's time axis counts in hundreds while the
// voltages and temperatures stay below 50: an over-voltage of ten minutes and a hot spell.
ImageBuilder tenHours(bool closed = true) {
    ImageBuilder b = minuteRecording();
    b.voltage(12.3, 300).voltage(12.9, 10).temperature(40, 3).voltage(12.2, 290).temperature(20);
    if (closed)
        b.done();
    return b;
}

ExportActions& exportsOf(const MainWindow& form) {
    auto* actions = form.findChild<ExportActions*>();
    if (!actions)
        qFatal("no exports");
    return *actions;
}

QStringList textsOf(const QMenu& menu) {
    QStringList texts;
    for (const QAction* a : menu.actions())
        texts << (a->isSeparator() ? QStringLiteral("|") : a->text());
    return texts;
}

QList<bool> enabledOf(const QList<QAction*>& actions) {
    QList<bool> on;
    for (const QAction* a : actions)
        on << a->isEnabled();
    return on;
}

// Whole numbers of 100 and more that a drawing shows: only the time axis of a long view
// writes them.
QList<int> largeNumbers(const QStringList& texts) {
    QList<int> numbers;
    for (const QString& t : texts) {
        bool ok = false;
        const int n = QString(t).remove(QChar('.')).toInt(&ok);
        if (ok && n >= 100)
            numbers << n;
    }
    return numbers;
}

QStringList svgTexts(const QByteArray& svg) {
    static const QRegularExpression text(QStringLiteral("<text[^>]*>([^<]*)</text>"));
    QStringList texts;
    auto it = text.globalMatch(QString::fromUtf8(svg));
    while (it.hasNext())
        texts << withoutBlanks(it.next().captured(1));
    return texts;
}

// Closes whatever modal dialog opens while it lives.
class DialogCloser {
public:
    DialogCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                closed << dialog->metaObject()->className();
                dialog->close();
            }
        });
        timer_.start(20);
    }
    QStringList closed;

private:
    QTimer timer_;
};

enum class Export { Voltages, Temperatures, Events, PicturePng, PictureSvg, PicturePdf, ReportPdf };

void trigger(ExportActions& x, Export e) {
    switch (e) {
    case Export::Voltages:
        return x.exportCsv(CsvExport::Voltage);
    case Export::Temperatures:
        return x.exportCsv(CsvExport::Temperature);
    case Export::Events:
        return x.exportCsv(CsvExport::Events);
    case Export::PicturePng:
    case Export::PictureSvg:
    case Export::PicturePdf:
        return x.saveChartPicture();
    case Export::ReportPdf:
        return x.saveReportPdf();
    }
}

} // namespace

Q_DECLARE_METATYPE(Export)
Q_DECLARE_METATYPE(veltrano::CsvExport)

class ExportActionsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    // A window with the recording processed and its chart drawn.
    static void processed(WindowFixture& w, const ImageBuilder& image = tenHours()) {
        w.open(image);
        w.process();
        w.form.runOutBars();
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
        // The shortcut test shows its window; closing it must not end later menus' loops.
        QApplication::setQuitOnLastWindowClosed(false);
    }

    // The menus as a right click opens them.
    void rightClickOffersTheExports() {
        WindowFixture w;
        processed(w);
        const auto offered = [](QWidget* target) {
            QStringList texts;
            QTimer look;
            QObject::connect(&look, &QTimer::timeout, [&texts] {
                if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    texts = textsOf(*menu);
                    menu->close();
                }
            });
            look.start(10);
            const QPoint spot = target->rect().center();
            QContextMenuEvent click(QContextMenuEvent::Mouse, spot, target->mapToGlobal(spot));
            QApplication::sendEvent(target, &click);
            return texts;
        };
        QCOMPARE(offered(w.form.chart()->plot()),
                 (QStringList{exporttext::ChartPicture, exporttext::VoltageCsv,
                              exporttext::TemperatureCsv, exporttext::RangeCsv}));
        const QStringList report = offered(w.reportBox()->viewport());
        const QStringList ours{"|", exporttext::EventsCsv, exporttext::DaysCsv,
                               exporttext::BandsCsv, exporttext::ReportPdf};
        QCOMPARE(report.mid(report.size() - ours.size()), ours);
        // The box's own entries come first: copy and select all.
        std::unique_ptr<QMenu> standard(w.reportBox()->createStandardContextMenu());
        QCOMPARE(report.first(report.size() - ours.size()), textsOf(*standard));
    }

    void offeredOnlyOnceARunHasFinished_data() {
        QTest::addColumn<QString>("when");
        QTest::addColumn<bool>("offered");
        QTest::newRow("before the first run") << "start" << false;
        QTest::newRow("after a run") << "after" << true;
        QTest::newRow("during the next run") << "during" << false;
        QTest::newRow("after a run whose recording was cut off") << "unclosed" << true;
        QTest::newRow("after a run over an erased image") << "erased" << false;
    }
    void offeredOnlyOnceARunHasFinished() {
        QFETCH(QString, when);
        QFETCH(bool, offered);
        WindowFixture w;
        if (when == "unclosed") {
            w.open(tenHours(false));
            w.process();
        } else if (when == "erased") {
            ImageBuilder erased;
            erased.bytes(std::vector<std::uint8_t>(4096, 0xFF)).done();
            w.open(erased);
            w.process();
        } else if (when != "start") {
            processed(w);
        }
        if (when == "during") {
            w.hold();
            QTest::mouseClick(w.button("applyFiltersButton"), Qt::LeftButton);
            QVERIFY(w.form.isProcessing());
        }
        ExportActions& x = exportsOf(w.form);
        const std::unique_ptr<QMenu> chart = x.chartMenu();
        // The range needs the measuring lines, which are off here.
        QCOMPARE(enabledOf(chart->actions()), (QList<bool>{offered, offered, offered, false}));
        const std::unique_ptr<QMenu> report = x.reportMenu(QPoint());
        QCOMPARE(enabledOf(report->actions().mid(report->actions().size() - 4)),
                 QList<bool>(4, offered));
        // The box's own entries stay usable.
        QVERIFY(report->actions().first()->isVisible());

        // An export that is not offered asks nothing and writes nothing.
        if (!offered) {
            for (Export e : {Export::Voltages, Export::PicturePng, Export::ReportPdf})
                trigger(x, e);
            QCOMPARE(w.seams.saveRequests.size(), qsizetype(0));
        }
        w.release();
        w.waitForRun();
    }

    // The files hold what the finished run found, with the settings it ran with, also when
    // the controls have changed since.
    void csvOfTheFinishedRun_data() {
        QTest::addColumn<CsvExport>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::newRow("spanning") << CsvExport::Voltage << "Spanning exporteren (CSV)"
                                  << "spanning.csv";
        QTest::newRow("temperatuur") << CsvExport::Temperature << "Temperatuur exporteren (CSV)"
                                     << "temperatuur.csv";
        QTest::newRow("calamiteiten") << CsvExport::Events << "Calamiteiten exporteren (CSV)"
                                      << "calamiteiten.csv";
        QTest::newRow("dagen") << CsvExport::Days << "Per dag exporteren (CSV)"
                               << "dagen.csv";
        QTest::newRow("verdeling") << CsvExport::Bands << "Verdeling exporteren (CSV)"
                                   << "verdeling.csv";
    }
    void csvOfTheFinishedRun() {
        QFETCH(CsvExport, kind);
        QFETCH(QString, title);
        QFETCH(QString, name);
        WindowFixture w;
        processed(w);
        const ProcessingSettings ran = w.form.readSettings();
        QByteArray expected;
        {
            const ProcessingResult core = coreResult(tenHours(), ran);
            QBuffer buffer(&expected);
            QVERIFY(buffer.open(QIODevice::WriteOnly));
            QVERIFY(!writeCsv(kind, core, ran, buffer));
        }
        w.edit("overVoltageEdit")->setText("13");
        w.edit("voltageTimeFilterEdit")->setText("1");
        control<QDateTimeEdit>(w.form, "connectionPicker")
            ->setDateTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0)));

        ExportActions& x = exportsOf(w.form);
        const QString path = w.dir.filePath(name);
        w.seams.saveAnswers << QString() << path;
        x.csvAction(kind)->trigger(); // cancelled
        QVERIFY(!QFile::exists(path));
        x.csvAction(kind)->trigger();
        w.waitForExport();
        QCOMPARE(w.seams.messages, QStringList());
        QCOMPARE(readFile(path), expected);

        QCOMPARE(w.seams.saveRequests.size(), qsizetype(2));
        const SaveRequest& asked = w.seams.saveRequests.last();
        QCOMPARE(asked.title, title);
        QCOMPARE(asked.filters, QStringList{"CSV-bestand (*.csv)"});
        QCOMPARE(asked.suggestedName, name);
    }

    // The rows between the measuring lines, in either order, exactly as the full exports
    // have them; the temperatures beside the voltages.
    void rangeBetweenTheLines_data() {
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("second");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("temperatureName");
        QTest::newRow("in order") << 60.0 << 180.5 << "bereik-spanning.csv"
                                  << "bereik-temperatuur.csv";
        QTest::newRow("swapped, a name without spanning") << 180.5 << 60.0 << "stuk.csv"
                                                          << "stuk-temperatuur.csv";
        QTest::newRow("nothing between") << 30.2 << 30.3 << "leeg-spanning.csv"
                                         << "leeg-temperatuur.csv";
    }
    void rangeBetweenTheLines() {
        QFETCH(double, first);
        QFETCH(double, second);
        QFETCH(QString, name);
        QFETCH(QString, temperatureName);
        WindowFixture w;
        processed(w);
        const ProcessingSettings ran = w.form.readSettings();
        const ProcessingResult core = coreResult(tenHours(), ran);
        // The full export's rows whose stored time lies between the lines.
        const auto expected = [&](CsvExport kind) {
            QByteArray all;
            QBuffer buffer(&all);
            buffer.open(QIODevice::WriteOnly);
            writeCsv(kind, core, ran, buffer);
            QList<QByteArray> lines = all.split('\n');
            QByteArray kept = lines.takeFirst() + '\n';
            const double low = std::min(first, second), high = std::max(first, second);
            for (const QByteArray& line : lines) {
                const double t = line.left(line.indexOf(';')).replace(',', '.').toDouble();
                if (!line.isEmpty() && t >= low && t <= high)
                    kept += line + '\n';
            }
            return kept;
        };

        ChartView* chart = w.form.chart();
        ExportActions& x = exportsOf(w.form);
        QVERIFY(!x.chartMenu()->actions().last()->isEnabled());
        chart->markersCheckBox()->setChecked(true);
        chart->setMeasuringLine(1, first);
        chart->setMeasuringLine(2, second);
        QVERIFY(x.chartMenu()->actions().last()->isEnabled());
        const QString path = w.dir.filePath(name);
        w.seams.saveAnswers << path;
        x.rangeCsvAction()->trigger();
        w.waitForExport();
        QCOMPARE(w.seams.messages, QStringList());
        QCOMPARE(w.seams.saveRequests.last().suggestedName, QString("bereik-spanning.csv"));
        QCOMPARE(readFile(path), expected(CsvExport::Voltage));
        QCOMPARE(readFile(w.dir.filePath(temperatureName)), expected(CsvExport::Temperature));
    }

    // A temperatures' file already there is replaced only when the user says so; otherwise
    // neither file is written.
    void rangeAsksBeforeReplacingTheTemperatures() {
        WindowFixture w;
        processed(w);
        w.form.chart()->markersCheckBox()->setChecked(true);
        const QString path = w.dir.filePath("bereik-spanning.csv");
        const QString temperatures = w.dir.filePath("bereik-temperatuur.csv");
        QFile old(temperatures);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("oud") == 3);
        old.close();
        w.seams.questionAnswer = false;
        w.seams.saveAnswers << path;
        exportsOf(w.form).rangeCsvAction()->trigger();
        QCOMPARE(w.seams.questions.size(), qsizetype(1));
        QVERIFY(w.seams.questions.first().contains("bereik-temperatuur.csv"));
        QVERIFY(!w.form.isExporting());
        QVERIFY(!QFile::exists(path));
        QCOMPARE(readFile(temperatures), QByteArray("oud"));
    }

    // When the temperatures cannot be written, the voltages' old file stays as it was too.
    void rangeFailureKeepsBothFiles() {
        WindowFixture w;
        processed(w);
        w.form.chart()->markersCheckBox()->setChecked(true);
        const QString path = w.dir.filePath("bereik-spanning.csv");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("oud") == 3);
        old.close();
        QVERIFY(QDir(w.dir.path()).mkdir("bereik-temperatuur.csv")); // a folder in the way
        w.seams.saveAnswers << path;
        exportsOf(w.form).rangeCsvAction()->trigger();
        w.waitForExport();
        QCOMPARE(w.seams.messages.size(), qsizetype(1));
        QVERIFY2(w.seams.messages.first().contains("bereik-temperatuur.csv"),
                 qPrintable(w.seams.messages.first()));
        QCOMPARE(readFile(path), QByteArray("oud"));
    }

    // The chart as it is shown: here its first minute, not the whole recording.
    void pictureOfTheCurrentView_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("png") << "grafiek.png";
        QTest::newRow("svg") << "grafiek.svg";
        QTest::newRow("pdf") << "grafiek.pdf";
        QTest::newRow("extension in capitals") << "GRAFIEK.SVG";
    }
    void pictureOfTheCurrentView() {
        QFETCH(QString, name);
        WindowFixture w;
        processed(w);
        ChartView* chart = w.form.chart();
        control<QPushButton>(w.form, "firstPageButton")->click();
        QCOMPARE(chart->bottomAxis().maximum(), 1.0);
        chart->legendCheckBox(ChartView::UnderTemperatureLimit)->setChecked(false);

        const QString path = w.dir.filePath(name);
        w.seams.saveAnswers << path;
        exportsOf(w.form).chartPictureAction()->trigger();
        w.waitForExport();
        QCOMPARE(w.seams.messages, QStringList());
        const SaveRequest& asked = w.seams.saveRequests.value(0);
        QCOMPARE(asked.title, QString("Grafiek opslaan als afbeelding"));
        QCOMPARE(asked.filters, (QStringList{"PNG-afbeelding (*.png)", "SVG-tekening (*.svg)",
                                             "PDF-document (*.pdf)"}));
        QCOMPARE(asked.suggestedName, QString("grafiek.png"));

        const QByteArray bytes = readFile(path);
        QStringList texts;
        switch (pictureFormatFor(path).value()) {
        case PictureFormat::Png: {
            QImage image;
            QVERIFY(image.loadFromData(bytes, "PNG"));
            QCOMPARE(image.size(), pictureSize(*chart) * chart->devicePixelRatioF());
            return;
        }
        case PictureFormat::Svg:
            QVERIFY(bytes.contains("<svg"));
            texts = svgTexts(bytes);
            break;
        case PictureFormat::Pdf: {
            const PdfText pdf = readPdf(bytes);
            QCOMPARE(pdf.pages, 1);
            texts = pdf.shown;
            break;
        }
        }
        QVERIFY2(texts.contains("Spanning(V)"), qPrintable(texts.join('|')));
        QVERIFY(texts.contains("Overspanning"));
        QVERIFY(!texts.contains("Ondertemperatuur"));
        QCOMPARE(largeNumbers(texts), QList<int>());
        // Drawing it leaves the view as it was.
        QCOMPARE(chart->bottomAxis().minimum(), 0.0);
        QCOMPARE(chart->bottomAxis().maximum(), 1.0);
    }

    void pictureWithAnotherExtension() {
        WindowFixture w;
        processed(w);
        const QString path = w.dir.filePath("grafiek.jpg");
        w.seams.saveAnswers << path;
        exportsOf(w.form).saveChartPicture();
        w.waitForExport();
        QCOMPARE(w.seams.messages.size(), qsizetype(1));
        QVERIFY2(w.seams.messages.first().contains(".png, .svg of .pdf"),
                 qPrintable(w.seams.messages.first()));
        QVERIFY(!QFile::exists(path));
    }

    // Every page framed by where the image came from, the run's settings, the day of making and
    // its number; the summary with the days, the bands, the event blocks, then the whole
    // recording on a page of its own, whatever the window's chart shows.
    void reportPdf() {
        WindowFixture w;
        processed(w);
        ChartView* chart = w.form.chart();
        control<QPushButton>(w.form, "firstPageButton")->click();
        chart->legendCheckBox(ChartView::UnderTemperatureLimit)->setChecked(false);

        const QString path = w.dir.filePath("verslag.pdf");
        w.seams.saveAnswers << path;
        exportsOf(w.form).reportPdfAction()->trigger();
        w.waitForExport();
        QCOMPARE(w.seams.messages, QStringList());
        const SaveRequest& asked = w.seams.saveRequests.value(0);
        QCOMPARE(asked.title, QString("Rapport opslaan als PDF"));
        QCOMPARE(asked.filters, QStringList{"PDF-document (*.pdf)"});
        QCOMPARE(asked.suggestedName, QString("rapport.pdf"));

        const PdfText pdf = readPdf(readFile(path));
        const QStringList& shown = pdf.shown;
        QVERIFY(pdf.pages >= 4);
        const QString today = QDate::currentDate().toString("dd-MM-yyyy");
        for (int page = 1; page <= pdf.pages; ++page)
            QVERIFY2(shown.contains(QStringLiteral("pagina%1van%2").arg(page).arg(pdf.pages)),
                     qPrintable(shown.join('|')));
        QCOMPARE(shown.count("Bron:beeld.img"), pdf.pages);
        QCOMPARE(shown.count("Overspanning12,6VOnderspanning12VTemperatuurbovengrens35°C"
                             "Temperatuurondergrens0°C"),
                 pdf.pages);
        QCOMPARE(shown.count("Tijdfilterspanning5minutenTijdfiltertemperatuur5minuten"
                             "Tijdeenheidminuten"),
                 pdf.pages);
        QVERIFY(withoutBlanks(pdf.text).contains("Gemaaktop" + today));

        // In this order: summary, days, bands, events, chart.
        const QString text = withoutBlanks(pdf.text);
        const QStringList order{"Gemiddeldespanning", "Spanningperdag", "tijdminspanning",
                                "Temperatuurperdag",  "Verdeling",      "Hoeveelsteoverspanning1",
                                "Spanning(V)"};
        qsizetype at = 0;
        for (const QString& part : order) {
            const qsizetype found = text.indexOf(part, at);
            QVERIFY2(found >= 0, qPrintable(part));
            at = found;
        }
        // The last page's frame comes first, then its chart.
        const qsizetype chartStart = shown.indexOf(QStringLiteral("pagina%1van%1").arg(pdf.pages));
        const QStringList chartPage = shown.mid(chartStart + 1);
        QVERIFY2(chartPage.contains("Spanning(V)"), qPrintable(chartPage.join('|')));
        QVERIFY(chartPage.contains("minuten"));
        QVERIFY(chartPage.contains("Overspanning"));
        QVERIFY(!chartPage.contains("Ondertemperatuur"));
        QVERIFY2(!largeNumbers(chartPage).isEmpty(), qPrintable(chartPage.join('|')));
        QVERIFY(pdf.raw.contains(QByteArray::fromHex("feff0072006100700070006f00720074")));

        // The window's chart still shows the first minute.
        QCOMPARE(chart->bottomAxis().minimum(), 0.0);
        QCOMPARE(chart->bottomAxis().maximum(), 1.0);
        QVERIFY(!chart->seriesShown(ChartView::UnderTemperatureLimit));
    }

    // A write that fails says why and leaves what was there.
    void failedWriteKeepsTheOldFile_data() {
        QTest::addColumn<Export>("what");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("failure");
        QTest::newRow("voltages, disk full") << Export::Voltages << "s.csv"
                                             << "full";
        QTest::newRow("temperatures, disk full") << Export::Temperatures << "t.csv"
                                                 << "full";
        QTest::newRow("events, a folder in the way") << Export::Events << "c.csv"
                                                     << "folder";
        QTest::newRow("png, disk full") << Export::PicturePng << "g.png"
                                        << "full";
        QTest::newRow("svg, disk full") << Export::PictureSvg << "g.svg"
                                        << "full";
        QTest::newRow("picture pdf, disk full") << Export::PicturePdf << "g.pdf"
                                                << "full";
        QTest::newRow("report, disk full") << Export::ReportPdf << "r.pdf"
                                           << "full";
        QTest::newRow("report, a folder in the way") << Export::ReportPdf << "r.pdf"
                                                     << "folder";
        QTest::newRow("report, no such folder") << Export::ReportPdf << "weg/r.pdf"
                                                << "missing";
    }
    void failedWriteKeepsTheOldFile() {
        QFETCH(Export, what);
        QFETCH(QString, name);
        QFETCH(QString, failure);
        WindowFixture w;
        processed(w);
        const QString path = w.dir.filePath(name);
        const QByteArray old("het oude bestand\n");
        if (failure == "folder")
            QVERIFY(QDir().mkpath(path));
        else if (failure == "full")
            writeFile(path, old);
        w.seams.saveAnswers << path;
        {
            const FileSizeLimit limit(old.size() + 100);
            trigger(exportsOf(w.form), what);
            w.waitForExport();
        }
        QCOMPARE(w.seams.messages.size(), qsizetype(1));
        const QString message = w.seams.messages.first();
        const QString start = QString("Kan bestand \"%1\" niet opslaan: ").arg(path);
        QVERIFY2(message.startsWith(start) && message.size() > start.size(), qPrintable(message));
        // What the disk said, not a guess at the cause.
        QVERIFY2(!message.contains("te weinig geheugen"), qPrintable(message));
        if (failure == "full")
            QVERIFY2(message.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))),
                     qPrintable(message));
        if (failure == "folder")
            QVERIFY(QFileInfo(path).isDir());
        else if (failure == "full")
            QCOMPARE(readFile(path), old);
        else
            QVERIFY(!QFileInfo::exists(path));
        // No temporary file is left behind.
        QStringList files{"beeld.img"};
        if (failure == "full")
            files << name;
        files.sort();
        QCOMPARE(QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), files);
    }

    // A folder the program may not write into: the disk's own words, nothing left behind.
    void readOnlyFolder() {
        if (::geteuid() == 0)
            QSKIP("the superuser writes into any folder");
        WindowFixture w;
        processed(w);
        const QString folder = w.dir.filePath("alleen-lezen");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QString path = folder + "/spanning.csv";
        w.seams.saveAnswers << path;
        exportsOf(w.form).csvAction(CsvExport::Voltage)->trigger();
        w.waitForExport();
        QCOMPARE(w.seams.messages.size(), qsizetype(1));
        QCOMPARE(w.seams.messages.first(),
                 QString("Kan bestand \"%1\" niet opslaan: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(EACCES))));
        QVERIFY(QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    // An export writes the run it was started on, whatever runs meanwhile: a run started
    // during the export writes into a result of its own.
    void runDuringAnExport() {
        WindowFixture w;
        processed(w);
        QByteArray expected;
        {
            QBuffer buffer(&expected);
            QVERIFY(buffer.open(QIODevice::WriteOnly));
            QVERIFY(!writeCsv(CsvExport::Voltage, w.result(), w.result().settings, buffer));
        }
        const QString path = w.dir.filePath("spanning.csv");
        w.seams.saveAnswers << path;
        w.heldExports.hold();
        ExportActions& x = exportsOf(w.form);
        x.csvAction(CsvExport::Voltage)->trigger();
        QVERIFY(w.form.isExporting());
        QVERIFY(control<QProgressBar>(w.form, "exportBar")->isVisibleTo(&w.form));
        QVERIFY(w.button("cancelExportButton")->isVisibleTo(&w.form));
        // One export at a time; a run may start.
        QVERIFY(!x.exportable());
        QVERIFY(w.timeUnits()->button(0)->isEnabled());
        w.timeUnits()->button(0)->click(); // "Seconden": a run in another unit
        w.waitForRun();
        QCOMPARE(w.result().timeUnit, 0);
        QVERIFY(w.form.isExporting());
        w.heldExports.release();
        w.waitForExport();
        QCOMPARE(w.seams.messages, QStringList());
        QCOMPARE(readFile(path), expected);
        QVERIFY(!control<QProgressBar>(w.form, "exportBar")->isVisibleTo(&w.form));
        QVERIFY(x.exportable());
        // The chart's result, the export's and the run's: three at the most.
        QVERIFY(w.form.processingRun().bufferCount() <= 3);
    }

    // "Annuleren" or Escape on the way through a large export: the file that was there stays
    // as it was, and nothing of the new one is left.
    void cancelOnTheWay_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Annuleren") << false;
        QTest::newRow("Escape") << true;
    }
    void cancelOnTheWay() {
        QFETCH(bool, escape);
        WindowFixture w;
        processed(w, demoRecording()); // 8.1 million rows: long enough to stop on the way
        if (escape) {
            w.form.show();
            QVERIFY(QTest::qWaitForWindowActive(&w.form));
        }
        const QString path = w.dir.filePath("spanning.csv");
        const QByteArray old("het oude bestand\n");
        writeFile(path, old);
        w.seams.saveAnswers << path;
        ExportActions& x = exportsOf(w.form);
        bool stopped = false;
        QObject::connect(&x, &ExportActions::progressed, &w.form, [&] {
            if (std::exchange(stopped, true))
                return;
            if (escape)
                QTest::keyClick(&w.form, Qt::Key_Escape);
            else
                QTest::mouseClick(w.button("cancelExportButton"), Qt::LeftButton);
        });
        x.csvAction(CsvExport::Voltage)->trigger();
        w.waitForExport();
        QVERIFY(stopped);
        QCOMPARE(w.seams.messages, QStringList());
        QCOMPARE(readFile(path), old);
        QCOMPARE(QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{"beeld.img", "spanning.csv"}));
        QVERIFY(x.exportable()); // offered again
    }

    // Closed while an export waits: the window cancels it and waits for it, quietly.
    void closingDuringAnExport() {
        WindowFixture w;
        processed(w);
        const QString path = w.dir.filePath("rapport.pdf");
        w.seams.saveAnswers << path;
        w.heldExports.hold();
        exportsOf(w.form).reportPdfAction()->trigger();
        QVERIFY(w.form.isExporting());
        QSignalSpy closed(&w.form, &MainWindow::closed);
        w.form.close();
        QCOMPARE(closed.size(), 1);
        QVERIFY(!w.form.isExporting());
        QTest::qWait(20);
        QCOMPARE(w.seams.messages, QStringList());
        QVERIFY(!QFile::exists(path));
        QCOMPARE(QDir(w.dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"beeld.img"});
    }

    // Last: it shows the window.
    void shortcutsPressTheButtons_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("button");
        QTest::newRow("Ctrl+O") << int(Qt::Key_O) << "openImageButton";
        QTest::newRow("Ctrl+S") << int(Qt::Key_S) << "saveImageButton";
        QTest::newRow("Ctrl+P") << int(Qt::Key_P) << "printReportButton";
    }
    void shortcutsPressTheButtons() {
        QFETCH(int, key);
        QFETCH(QString, button);
        WindowFixture w;
        w.form.show();
        QApplication::setActiveWindow(&w.form);
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        QSignalSpy pressed(w.button(qPrintable(button)), &QPushButton::clicked);
        w.seams.openAnswers << QString(); // cancelled
        const DialogCloser closer;        // the print dialog
        QTest::keyClick(w.reportBox(), Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(w.seams.openAnswers.isEmpty(), button == "openImageButton");
        QCOMPARE(w.seams.saveRequests.size(), qsizetype(button == "saveImageButton"));
        // Without Ctrl the key is only a letter.
        QTest::keyClick(w.reportBox(), Qt::Key(key));
        QCOMPARE(pressed.size(), 1);
    }
};

QTEST_MAIN(ExportActionsTest)
#include "tst_exportactions.moc"
