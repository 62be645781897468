#include <cstring>

#include <QButtonGroup>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/windowtexts.h"
#include "chart/chartview.h"
#include "chart/navigation.h"
#include "demo.h"
#include "link/linktexts.h"
#include "paper/reportview.h"
#include "windowfixture.h"

Q_DECLARE_METATYPE(veltrano::ImageBuilder)

using namespace veltrano;
using namespace veltrano::testing;

namespace {

// 100 s at 12 V, 400 s over the limit at 13 V with a hot spell gathered, then back to 12.2 V.
ImageBuilder smallRecording() {
    ImageBuilder b;
    b.recording(2, 1).temperature(20).voltage(12.0, 100);
    b.temperature(40).voltage(13.0, 400).temperature(21).voltage(12.2, 100);
    b.done();
    return b;
}

ImageBuilder otherRecording() {
    ImageBuilder b;
    b.recording(3, 2).temperature(-5).voltage(11.0, 200).voltage(12.4, 50);
    b.done();
    return b;
}

void compareReport(const QPlainTextEdit* box, const Report& model) {
    const QList<ShownLine> shown = shownLines(box);
    const auto& lines = model.lines();
    QCOMPARE(shown.size(), qsizetype(lines.size()));
    const QColor normal = box->palette().color(QPalette::WindowText);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        QCOMPARE(shown[qsizetype(i)].text, lines[i].text);
        QCOMPARE(shown[qsizetype(i)].colour, lines[i].red ? QColor(255, 0, 0) : normal);
    }
}

const QStringList kStartStates{"Verbinden=zichtbaar",
                               "Verbreken=verborgen",
                               "Data ophalen=uit",
                               "Data verwerken=uit",
                               "Tijdeenheid=uit",
                               "Filter instellingen=uit",
                               "Filters toepassen=uit",
                               "Configuratiescherm=aan",
                               "Geheugen wissen=aan",
                               "Grafiek navigatie=uit",
                               "Voortgang ophalen=zichtbaar",
                               "Voortgang wissen=verborgen",
                               "Voortgang verwerken=verborgen",
                               "status="};

QStringList asLines(const QMap<QString, QString>& states) {
    QStringList lines;
    for (auto it = states.begin(); it != states.end(); ++it)
        lines << it.key() + '=' + it.value();
    return lines;
}

// Enabled and visible state of the controls the program switches, plus the status text.
QMap<QString, QString> statesOf(const WindowFixture& w) {
    QMap<QString, QString> s;
    const auto on = [](const QWidget* c) { return c->isEnabled() ? "aan" : "uit"; };
    const auto shown = [](const QWidget* c) { return c->isHidden() ? "verborgen" : "zichtbaar"; };
    s["Verbinden"] = shown(w.button("connectButton"));
    s["Verbreken"] = shown(w.button("disconnectButton"));
    s["Data ophalen"] = on(w.button("downloadButton"));
    s["Data verwerken"] = on(w.button("processButton"));
    s["Tijdeenheid"] = on(control(w.form, "timeUnitGroup"));
    s["Filter instellingen"] = on(control(w.form, "filterGroup"));
    s["Filters toepassen"] = on(w.button("applyFiltersButton"));
    s["Configuratiescherm"] = on(w.button("configurationButton"));
    s["Geheugen wissen"] = on(w.button("eraseButton"));
    s["Grafiek navigatie"] = on(control(w.form, "navigationGroup"));
    s["Voortgang ophalen"] = shown(w.bar("downloadBar"));
    s["Voortgang wissen"] = shown(w.bar("eraseBar"));
    s["Voortgang verwerken"] = shown(w.bar("processingBar"));
    s["status"] = w.status()->text();
    return s;
}

bool processingControlsEnabled(const WindowFixture& w) {
    for (const char* name : {"processButton", "applyFiltersButton", "filterGroup", "timeUnitGroup",
                             "configurationButton", "openImageButton"})
        if (!control(w.form, name)->isEnabled())
            return false;
    return true;
}

void receive(MainWindow& form, const QByteArray& bytes) {
    form.link().receiver().receive(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   std::size_t(bytes.size()));
}

enum Step {
    Cycle,
    ManyCycles,
    Open,
    Process,
    RunHeld, // a run that stays in progress until the row is checked
    Connect,
    Disconnect,
    DownloadStart,
    Done,
    EraseStart,
    EraseEnd,
};

// The link's side of a download or erase without a device: the receiver and the window as
// the link drives them.
void linkStep(WindowFixture& w, Step step) {
    MainWindow& f = w.form;
    switch (step) {
    case Connect:
        w.adapter().showConnected();
        break;
    case Disconnect:
        f.link().disconnectLogger();
        break;
    case DownloadStart:
        w.adapter().downloadStarting();
        f.link().receiver().startDownload();
        break;
    case Done:
        receive(f, "DONE");
        break;
    case EraseStart:
        w.adapter().eraseStarted(false);
        f.link().receiver().awaitEraseAnswer(false);
        break;
    case EraseEnd:
        receive(f, "wel ");
        break;
    default:
        break;
    }
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }

    void designStartValues() {
        WindowFixture w;
        QCOMPARE(w.edit("overVoltageEdit")->text(), QString("12,6"));
        QCOMPARE(w.edit("underVoltageEdit")->text(), QString("12"));
        QCOMPARE(w.edit("voltageTimeFilterEdit")->text(), QString("5"));
        QCOMPARE(w.edit("overTemperatureEdit")->text(), QString("35"));
        QCOMPARE(w.edit("underTemperatureEdit")->text(), QString("0"));
        QCOMPARE(w.edit("temperatureTimeFilterEdit")->text(), QString("5"));
        QCOMPARE(control<QComboBox>(w.form, "voltageTimeFilterUnitList")->currentText(),
                 QString("minuten"));
        QCOMPARE(control<QComboBox>(w.form, "temperatureTimeFilterUnitList")->currentText(),
                 QString("minuten"));
        QCOMPARE(w.timeUnits()->checkedButton()->text(), QString("Minuten"));
        QCOMPARE(control<QDateTimeEdit>(w.form, "connectionPicker")->dateTime(),
                 QDateTime(QDate(2016, 7, 18), QTime(16, 30, 30)));
        QCOMPARE(control<QDateTimeEdit>(w.form, "disconnectionPicker")->dateTime(),
                 QDateTime(QDate(2016, 7, 18), QTime(8, 50, 25)));
        QCOMPARE(w.form.palette().color(QPalette::Window), QColor(160, 160, 164));
        QVERIFY(w.reportBox()->isReadOnly());
        // The window's start values are the core's defaults.
        const ProcessingSettings start = ProcessingSettings::defaults();
        const ProcessingSettings shown = w.form.readSettings();
        QCOMPARE(shown.filterText(FilterField::OverVoltage),
                 start.filterText(FilterField::OverVoltage));
        QCOMPARE(shown.timeUnit, start.timeUnit);
        QCOMPARE(shown.periodStart, start.periodStart);

        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        WindowFixture point;
        QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
        QCOMPARE(point.edit("overVoltageEdit")->text(), QString("12.6"));
    }

    // The full demo recording, opened and processed through the window, shows the core's
    // report line for line with its colours.
    void reportMatchesTheCore() {
        WindowFixture w;
        const ImageBuilder demo = demoRecording();
        w.open(demo);
        w.process();
        const ProcessingResult expected = coreResult(demo, w.form.readSettings());
        QVERIFY(expected.eventCount > 10);
        compareReport(w.reportBox(), expected.report);
        QCOMPARE(w.status()->text(), QString("Data verwerkt"));
        QVERIFY(w.form.state().chartDrawn); // filled at the run's end
        QCOMPARE(w.result().samples.voltageSampleCount, expected.samples.voltageSampleCount);
        QVERIFY(w.seams.messages.isEmpty());
        // The bar advanced once per 85,000 words read.
        QCOMPARE(w.bar("processingBar")->value(),
                 int(std::min<std::size_t>(100, (expected.decode.wordsRead - 1) / 85'000 + 1)));
    }

    void reportBoxColoursAndTabs() {
        WindowFixture w;
        Report report;
        report.replace(0, "Periode");
        report.append(QString());
        report.append("Calamiteit nummer\t1");
        report.setRed(true);
        report.append("Gemiddelde overspanning\t13 Volt");
        report.append(QString()); // an empty red line keeps its colour too
        report.setRed(false);
        report.append("Gemiddelde temperatuur\t20 °C");
        showReport(w.reportBox(), report);
        compareReport(w.reportBox(), report);
        // Showing a second report replaces the first completely.
        Report shorter;
        showReport(w.reportBox(), shorter);
        compareReport(w.reportBox(), shorter);
        // The replaced document goes on a later turn, but it goes.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(w.reportBox()->findChildren<QTextDocument*>().size(), qsizetype(1));

        const QFontMetricsF metrics(w.reportBox()->font());
        QCOMPARE(w.reportBox()->tabStopDistance(), 170 * metrics.averageCharWidth() / 4);
        QCOMPARE(w.reportBox()->font().pointSize(), 8);
    }

    void controlStates_data() {
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<QStringList>("changes"); // differences from the start state

        QTest::newRow("creation") << QList<int>{} << QStringList{};
        QTest::newRow("first update cycle hides the download bar")
            << QList<int>{Cycle} << QStringList{"Voortgang ophalen=verborgen"};
        QTest::newRow("image file opened")
            << QList<int>{Cycle, Open}
            << QStringList{"Voortgang ophalen=verborgen", "Data verwerken=aan",
                           "status=Data klaar voor verwerken"};
        QTest::newRow("during processing")
            << QList<int>{Cycle, Open, Connect, Process, RunHeld}
            << QStringList{"Voortgang ophalen=verborgen", "Verbinden=verborgen",
                           "Verbreken=zichtbaar",         "Configuratiescherm=uit",
                           "Geheugen wissen=uit",         "Voortgang verwerken=zichtbaar",
                           "Grafiek navigatie=aan",       "status=Data verwerkt"};
        QTest::newRow("connected during processing keeps Data ophalen off")
            << QList<int>{Cycle, Open, RunHeld, Connect}
            << QStringList{"Voortgang ophalen=verborgen", "Verbinden=verborgen",
                           "Verbreken=zichtbaar",         "Configuratiescherm=uit",
                           "Geheugen wissen=uit",         "Voortgang verwerken=zichtbaar",
                           "status=QLO verbonden"};
        // The run's end fills the chart: "Grafiek navigatie" is usable at once.
        const QStringList processed{
            "Voortgang ophalen=verborgen", "Data verwerken=aan",    "Tijdeenheid=aan",
            "Filter instellingen=aan",     "Filters toepassen=aan", "Voortgang verwerken=zichtbaar",
            "Grafiek navigatie=aan",       "status=Data verwerkt"};
        QTest::newRow("end of processing, not connected")
            << QList<int>{Cycle, Open, Process} << processed;
        QTest::newRow("end of processing, connected")
            << QList<int>{Cycle, Open, Connect, Process}
            << processed +
                   QStringList{"Verbinden=verborgen", "Verbreken=zichtbaar", "Data ophalen=aan"};
        QTest::newRow("processing bar runs out")
            << QList<int>{Cycle, Open, Process, ManyCycles}
            << processed + QStringList{"Voortgang verwerken=verborgen"};
        QTest::newRow("Verbinden")
            << QList<int>{Cycle, Connect}
            << QStringList{"Voortgang ophalen=verborgen", "Verbinden=verborgen",
                           "Verbreken=zichtbaar", "Data ophalen=aan", "status=QLO verbonden"};
        QTest::newRow("Verbreken")
            << QList<int>{Cycle, Connect, Disconnect}
            << QStringList{"Voortgang ophalen=verborgen", "status=QLO niet verbonden"};
        const QStringList downloading{"Verbinden=verborgen", "Verbreken=zichtbaar",
                                      "Geheugen wissen=uit", "status=QLO verbonden"};
        QTest::newRow("Data ophalen") << QList<int>{Cycle, Connect, DownloadStart} << downloading;
        QTest::newRow("updater keeps the download bar during a download")
            << QList<int>{Cycle, Connect, DownloadStart, ManyCycles} << downloading;
        const QStringList afterDownload{"Data verwerken=aan", "Tijdeenheid=aan",
                                        "Filter instellingen=aan", "Filters toepassen=aan"};
        QTest::newRow("DONE") << QList<int>{Cycle, Connect, DownloadStart, Done}
                              << afterDownload + QStringList{"Verbinden=verborgen",
                                                             "Verbreken=zichtbaar",
                                                             "Data ophalen=aan",
                                                             "status=Data klaar voor verwerken"};
        QTest::newRow("DONE outside a download")
            << QList<int>{Cycle, Done}
            << afterDownload +
                   QStringList{"Voortgang ophalen=verborgen", "status=Data klaar voor verwerken"};
        // The download ends there: its bar stays hidden and the bytes can be processed.
        const QStringList brokenOff =
            afterDownload + QStringList{"Voortgang ophalen=verborgen", "status=QLO niet verbonden"};
        QTest::newRow("Verbreken during a download")
            << QList<int>{Cycle, Connect, DownloadStart, Disconnect} << brokenOff;
        QTest::newRow("Verbreken during a download, cycles after")
            << QList<int>{Cycle, Connect, DownloadStart, Disconnect, ManyCycles} << brokenOff;
        QTest::newRow("erase sent")
            << QList<int>{Cycle, EraseStart}
            << QStringList{"Voortgang ophalen=verborgen", "Voortgang wissen=zichtbaar",
                           "Geheugen wissen=uit"};
        QTest::newRow("no download while the logger erases")
            << QList<int>{Cycle, Connect, EraseStart}
            << QStringList{"Voortgang ophalen=verborgen", "Verbinden=verborgen",
                           "Verbreken=zichtbaar",         "Voortgang wissen=zichtbaar",
                           "Geheugen wissen=uit",         "status=QLO verbonden"};
        QTest::newRow("wel received") << QList<int>{Cycle, EraseStart, EraseEnd}
                                      << QStringList{"Voortgang ophalen=verborgen"};
        QTest::newRow("Verbreken during an erase")
            << QList<int>{Cycle, Connect, EraseStart, Disconnect}
            << QStringList{"Voortgang ophalen=verborgen", "status=QLO niet verbonden"};
        QTest::newRow("processing while the logger erases")
            << QList<int>{Cycle, Open, EraseStart, RunHeld}
            << QStringList{"Voortgang ophalen=verborgen",   "Voortgang wissen=zichtbaar",
                           "Geheugen wissen=uit",           "Configuratiescherm=uit",
                           "Voortgang verwerken=zichtbaar", "status=Data klaar voor verwerken"};
    }

    void controlStates() {
        QFETCH(QList<int>, steps);
        QFETCH(QStringList, changes);
        WindowFixture w;
        QMap<QString, QString> expected;
        for (const QString& c : kStartStates)
            expected[c.section('=', 0, 0)] = c.section('=', 1);
        for (const QString& c : changes) {
            const auto parts = c.split('=');
            QVERIFY2(expected.contains(parts[0]), qPrintable(c));
            expected[parts[0]] = parts[1];
        }
        for (int step : steps) {
            switch (Step(step)) {
            case Cycle:
                w.form.runOutBars();
                break;
            case ManyCycles:
                for (int i = 0; i < 120; ++i)
                    w.form.runOutBars();
                break;
            case Open:
                w.open(smallRecording());
                break;
            case Process:
                w.process();
                break;
            case RunHeld:
                w.hold();
                QTest::mouseClick(w.button("processButton"), Qt::LeftButton);
                QVERIFY(w.form.isProcessing());
                break;
            default:
                linkStep(w, Step(step));
            }
        }
        QCOMPARE(asLines(statesOf(w)), asLines(expected));
        w.release();
        w.waitForRun();
    }

    // One update cycle: a finished bar runs up to 100 and then hides; a running one shows.
    void progressCycle_data() {
        QTest::addColumn<bool>("downloadBar");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<int>("valueAfter");
        QTest::addColumn<bool>("hiddenAfter");
        for (bool download : {false, true}) {
            const char* bar = download ? "download" : "processing";
            QTest::addRow("%s finished at 100", bar)
                << download << false << 100 << false << 100 << true;
            QTest::addRow("%s finished below 100", bar)
                << download << false << 40 << false << 41 << false;
            QTest::addRow("%s finished, hidden", bar)
                << download << false << 99 << true << 100 << true;
            QTest::addRow("%s running", bar) << download << true << 40 << true << 40 << false;
        }
    }

    void progressCycle() {
        QFETCH(bool, downloadBar);
        QFETCH(bool, running);
        QFETCH(int, value);
        QFETCH(bool, hidden);
        QFETCH(int, valueAfter);
        QFETCH(bool, hiddenAfter);
        WindowFixture w;
        if (running && downloadBar) {
            linkStep(w, DownloadStart);
        } else if (running) {
            w.open(smallRecording());
            w.hold();
            QTest::mouseClick(w.button("processButton"), Qt::LeftButton);
        }
        QProgressBar* bar = w.bar(downloadBar ? "downloadBar" : "processingBar");
        QProgressBar* other = w.bar(downloadBar ? "processingBar" : "downloadBar");
        bar->setValue(value);
        bar->setHidden(hidden);
        other->setValue(50);
        other->show();
        w.form.runOutBars();
        QCOMPARE(bar->value(), valueAfter);
        QCOMPARE(bar->isHidden(), hiddenAfter);
        QCOMPARE(other->value(), 51); // the other bar follows its own work
        w.release();
        w.waitForRun();
    }

    void triggersProcess_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<int>("timeUnit");
        QTest::newRow("Data verwerken") << "Data verwerken" << 1;
        QTest::newRow("Filters toepassen") << "Filters toepassen" << 1;
        QTest::newRow("Tijdeenheid Seconden") << "Seconden" << 0;
        QTest::newRow("Tijdeenheid Uren") << "Uren" << 2;
        QTest::newRow("Enter in Overspanning") << "overVoltageEdit" << 1;
    }

    // After a first run every trigger runs again with what the controls hold then.
    void triggersProcess() {
        QFETCH(QString, trigger);
        QFETCH(int, timeUnit);
        WindowFixture w;
        const ImageBuilder image = smallRecording();
        w.open(image);
        w.process();
        w.edit("underVoltageEdit")->setText("12,1"); // the second run differs from the first
        QSignalSpy finished(&w.form.processingRun(), &ProcessingRun::finished);
        if (trigger == "Data verwerken")
            QTest::mouseClick(w.button("processButton"), Qt::LeftButton);
        else if (trigger == "Filters toepassen")
            QTest::mouseClick(w.button("applyFiltersButton"), Qt::LeftButton);
        else if (trigger == "overVoltageEdit")
            QTest::keyClick(w.edit("overVoltageEdit"), Qt::Key_Return);
        else
            QTest::mouseClick(w.timeUnits()->button(timeUnit), Qt::LeftButton);
        QVERIFY(w.form.isProcessing());
        w.waitForRun();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(w.form.readSettings().timeUnit, timeUnit);
        const ProcessingResult expected = coreResult(image, w.form.readSettings());
        QCOMPARE(w.result().secondsPerUnit, expected.secondsPerUnit);
        compareReport(w.reportBox(), expected.report);
        QCOMPARE(w.edit("overVoltageEdit")->text(), QString("12,6")); // Enter is not typed
    }

    void enterElsewhereDoesNothing_data() {
        QTest::addColumn<QString>("edit");
        for (const char* name : {"underVoltageEdit", "voltageTimeFilterEdit", "overTemperatureEdit",
                                 "underTemperatureEdit", "temperatureTimeFilterEdit"})
            QTest::newRow(name) << QString(name);
    }

    void enterElsewhereDoesNothing() {
        QFETCH(QString, edit);
        WindowFixture w;
        w.open(smallRecording());
        w.process();
        auto* target = w.form.findChild<QLineEdit*>(edit);
        QVERIFY(target);
        const QString before = target->text();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!w.form.isProcessing());
        QCOMPARE(target->text(), before);
    }

    void badLimitText_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("over-voltage with a point") << "Overspanning"
                                                   << "12.6";
        QTest::newRow("minus only") << "Onderspanning"
                                    << "-";
        QTest::newRow("empty time filter") << "Tijdfilter temperatuur"
                                           << "";
        QTest::newRow("two separators") << "Temperatuur bovengrens"
                                        << "3,5,1";
    }

    // The message names the problem, nothing runs, and every control stays usable.
    void badLimitText() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        WindowFixture w;
        w.open(smallRecording());
        w.process();
        const QString reportBefore = w.reportBox()->toPlainText();
        QLineEdit* edit = nullptr;
        for (QLabel* label : control(w.form, "filterGroup")->findChildren<QLabel*>())
            if (label->text() == field)
                edit = qobject_cast<QLineEdit*>(label->buddy());
        QVERIFY(edit);
        edit->setText(text); // pasted through the context menu: the key checks do not see it
        QTest::mouseClick(w.button("applyFiltersButton"), Qt::LeftButton);

        Limits limits;
        const auto error = readLimits(w.form.readSettings(), limits);
        QVERIFY(error);
        QCOMPARE(w.seams.messages, QStringList{error->message});
        QVERIFY(error->message.contains(field));
        QVERIFY(!w.form.isProcessing());
        QCOMPARE(w.reportBox()->toPlainText(), reportBefore);
        QVERIFY(processingControlsEnabled(w));
        // Mended, the same button works again.
        edit->setText("5");
        QTest::mouseClick(w.button("applyFiltersButton"), Qt::LeftButton);
        QVERIFY(w.form.isProcessing());
        w.waitForRun();
        QCOMPARE(w.seams.messages.size(), qsizetype(1));
    }

    // "DONE" gives two summaries; without voltages each shows "Geen metingen".
    void geenMetingenForEachSummary() {
        WindowFixture w;
        ImageBuilder b;
        b.recording(2, 1).temperature(20, 3).done();
        w.open(b);
        w.process();
        QCOMPARE(w.seams.messages, QStringList({"Geen metingen", "Geen metingen"}));
        QCOMPARE(w.status()->text(), QString("Data verwerkt"));
        QVERIFY(w.button("processButton")->isEnabled());
    }

    void imageWithoutSummary_data() {
        QTest::addColumn<ImageBuilder>("image");
        QTest::addColumn<QString>("message");
        ImageBuilder empty;
        empty.bytes({0, 0}); // all zero, like a fresh buffer
        QTest::newRow("empty buffer") << empty << windowtext::NoRecording;
        ImageBuilder erased;
        erased.bytes(std::vector<std::uint8_t>(4096, 0xFF)).done();
        QTest::newRow("erased logger") << erased << windowtext::NoRecording;
    }

    // No summary ran: the run still ends, the controls come back, and the user is told.
    void imageWithoutSummary() {
        QFETCH(ImageBuilder, image);
        QFETCH(QString, message);
        WindowFixture w;
        w.open(image);
        w.process();
        QCOMPARE(w.seams.messages, QStringList{message});
        QVERIFY(!w.form.state().chartDrawn);
        QCOMPARE(w.status()->text(), QString("Data klaar voor verwerken"));
        QVERIFY(processingControlsEnabled(w));
        QVERIFY(!w.button("downloadButton")->isEnabled()); // not connected
    }

    // A recording without its end (a download broken off, a logger still recording) is
    // shown as far as it goes: chart, navigation and "Data verwerkt"; only the summary is
    // missing, and events still open at the cut are not reported.
    void cutOffRecordingIsShown() {
        ImageBuilder cut;
        cut.recording(2, 1).temperature(20).voltage(12.0, 50).voltage(14.0, 30);
        WindowFixture w;
        w.open(cut);
        w.process();
        QCOMPARE(w.seams.messages, QStringList{windowtext::RecordingNotClosed});
        QVERIFY(w.form.state().chartDrawn);
        QCOMPARE(w.status()->text(), QString("Data verwerkt"));
        QVERIFY(w.form.navigation()->isEnabled());
        const ProcessingResult* r = w.form.result();
        QVERIFY(r && r->cutOff && !r->completed);
        QCOMPARE(r->samples.voltageSampleCount, 80);
        QCOMPARE(r->eventCount, 0); // the over-voltage was still open
        QCOMPARE(w.form.chart()->envelope(ChartView::Voltage).size(), std::size_t(80));
        const FullView& f = w.form.chart()->fullView();
        // As an end word would set them: two volts around the samples.
        QCOMPARE(f.voltageMin, r->stats.voltage.min - 2);
        QCOMPARE(f.voltageMax, r->stats.voltage.max + 2);
        QVERIFY(r->stats.voltage.min < 12.01 && r->stats.voltage.max > 13.99);
        QVERIFY(!w.reportBox()->toPlainText().contains("Gemiddelde spanning"));
    }

    // An image opened while a run decodes waits for the run's end: the report is the old
    // image's alone, and the new image is there for the next run.
    void openDuringRun() {
        WindowFixture w;
        const ImageBuilder first = smallRecording();
        const ImageBuilder second = otherRecording();
        w.open(first);
        w.hold();
        QTest::mouseClick(w.button("processButton"), Qt::LeftButton);
        w.open(second, "second.img");
        QVERIFY(w.seams.openAnswers.isEmpty());
        // Waiting for its turn, the file has not touched the image yet.
        QVERIFY(std::equal(first.data().begin(), first.data().end(), w.form.image().data()));
        w.release();
        w.waitForRun();
        compareReport(w.reportBox(), coreResult(first, w.form.readSettings()).report);
        QCOMPARE(w.status()->text(), QString("Data klaar voor verwerken"));
        QVERIFY(std::equal(second.data().begin(), second.data().end(), w.form.image().data()));

        w.process();
        compareReport(w.reportBox(), coreResult(second, w.form.readSettings()).report);
        QVERIFY(w.seams.messages.isEmpty());
    }

    // Closed while a run decodes: the run is cancelled and ends quietly.
    void closingDuringRun() {
        WindowFixture w;
        ImageBuilder b;
        b.recording(2, 1).temperature(20, 3).done(); // would show "Geen metingen" twice
        w.open(b);
        w.hold();
        QTest::mouseClick(w.button("processButton"), Qt::LeftButton);
        QSignalSpy closed(&w.form, &MainWindow::closed);
        w.form.close();
        QCOMPARE(closed.size(), 1);
        QVERIFY(!w.form.isProcessing());
        QVERIFY(!w.form.barsRunningOut());
        QTest::qWait(20);
        QVERIFY(w.seams.messages.isEmpty());
    }

    // The progress bars float over the chart.
    void barsOverTheChart() {
        WindowFixture w;
        const QObjectList& stack = control(w.form, "chartArea")->children();
        QVERIFY(stack.indexOf(w.bar("processingBar")->parentWidget()) >
                stack.indexOf(control(w.form, "chart")));
    }

    // Whatever reaches the window during a run, a second run never starts inside it.
    void noNestedRun() {
        WindowFixture w;
        w.open(smallRecording());
        w.process();
        QSignalSpy finished(&w.form.processingRun(), &ProcessingRun::finished);
        w.hold();
        QTest::mouseClick(w.button("processButton"), Qt::LeftButton);
        w.form.process();
        QTest::mouseClick(w.button("applyFiltersButton"), Qt::LeftButton);
        QTest::keyClick(w.edit("overVoltageEdit"), Qt::Key_Return);
        QTest::mouseClick(w.timeUnits()->button(0), Qt::LeftButton);
        w.release();
        w.waitForRun();
        QTest::qWait(20);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(w.form.readSettings().timeUnit, 1);
    }

    // Broken off half-way, the bytes that came are the image: they process and save.
    void brokenOffDownloadKeepsItsBytes() {
        WindowFixture w;
        const ImageBuilder image = smallRecording();
        std::vector<std::uint8_t> bytes = image.data();
        bytes.resize(bytes.size() - 4); // no "DONE" yet
        linkStep(w, Connect);
        linkStep(w, DownloadStart);
        receive(w.form,
                QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
        linkStep(w, Disconnect);
        QCOMPARE(w.seams.messages,
                 QStringList{linktext::DownloadBrokenOff.arg(QLocale().toString(bytes.size()))});
        QVERIFY(std::equal(bytes.begin(), bytes.end(), w.form.image().data()));
        QVERIFY(w.form.state().unsavedDownload);
        w.seams.messages.clear();
        w.process();
        QCOMPARE(w.seams.messages, QStringList{windowtext::RecordingNotClosed});
        QCOMPARE(w.result().samples.voltageSampleCount, 600);
    }

    void openDuringDownloadIsRefused() {
        WindowFixture w;
        linkStep(w, Connect);
        linkStep(w, DownloadStart);
        receive(w.form, "abc");
        w.open(smallRecording());
        QCOMPARE(w.seams.messages, QStringList{windowtext::OpenDuringDownload});
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(w.form.image().data()), 4),
                 QByteArray("abc\0", 4));
        QCOMPARE(w.form.state().link, LinkActivity::Downloading);
    }

    // An image downloaded and not saved yet is not thrown away without asking.
    void unsavedDownloadAsks_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("saved");
        for (const char* action : {"close", "Data ophalen", "Data openen", "Geheugen wissen"}) {
            QTest::addRow("%s, Cancel", action) << action << false << false;
            QTest::addRow("%s, Yes", action) << action << true << false;
            QTest::addRow("%s, saved first", action) << action << true << true;
        }
    }

    void unsavedDownloadAsks() {
        QFETCH(QString, action);
        QFETCH(bool, yes);
        QFETCH(bool, saved);
        WindowFixture w;
        linkStep(w, Connect);
        linkStep(w, DownloadStart);
        receive(w.form, "bytes of a recordingDONE");
        QVERIFY(w.form.state().unsavedDownload);
        if (saved) {
            w.seams.saveAnswers << w.dir.filePath("saved.img");
            QTest::mouseClick(w.button("saveImageButton"), Qt::LeftButton);
            QVERIFY(!w.form.state().unsavedDownload);
        }
        const QString other = w.dir.filePath("other.img");
        if (action == "Data openen")
            QVERIFY(!otherRecording().save(other));
        w.seams.questionAnswer = yes;
        w.form.show();
        QSignalSpy closed(&w.form, &MainWindow::closed);
        if (action == "close") {
            w.form.close();
        } else if (action == "Data openen") {
            w.seams.openAnswers << other;
            QTest::mouseClick(w.button("openImageButton"), Qt::LeftButton);
        } else {
            QTest::mouseClick(w.button(action == "Data ophalen" ? "downloadButton" : "eraseButton"),
                              Qt::LeftButton);
        }
        const QString question =
            action == "Geheugen wissen" ? windowtext::EraseUnsaved : windowtext::DiscardDownload;
        QStringList asked = saved ? QStringList{} : QStringList{question};
        if (action == "Geheugen wissen" && (yes || saved))
            asked << linktext::EraseQuestion;
        QCOMPARE(w.seams.questions, asked);
        const bool went = yes || saved;
        if (action == "close")
            QCOMPARE(closed.size(), went ? 1 : 0);
        const bool replaced = went && action == "Data openen";
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(w.form.image().data()), 5),
                 replaced
                     ? QByteArray(reinterpret_cast<const char*>(otherRecording().data().data()), 5)
                     : QByteArray("bytes"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
