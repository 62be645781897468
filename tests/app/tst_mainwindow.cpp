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

#include "app/reportview.h"
#include "demo.h"
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

void compareReport(const QTextEdit* box, const Report& model) {
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
                               "Grafiek navigatie=uit",
                               "ProgressBar2=zichtbaar",
                               "EraseProgressBar=verborgen",
                               "ProgressBar1=verborgen",
                               "status="};

QStringList asLines(const QMap<QString, QString>& states) {
    QStringList lines;
    for (auto it = states.begin(); it != states.end(); ++it)
        lines << it.key() + '=' + it.value();
    return lines;
}

// Enabled and visible state of the controls the program switches, plus the status text.
QMap<QString, QString> statesOf(const TForm1& f) {
    QMap<QString, QString> s;
    const auto on = [](const QWidget* w) { return w->isEnabled() ? "aan" : "uit"; };
    const auto shown = [](const QWidget* w) { return w->isHidden() ? "verborgen" : "zichtbaar"; };
    s["Verbinden"] = shown(f.Connect);
    s["Verbreken"] = shown(f.disconnect);
    s["Data ophalen"] = on(f.Buttonreceivedata);
    s["Data verwerken"] = on(f.buttonmemo);
    s["Tijdeenheid"] = on(f.TijdeenheidRadioGroup);
    s["Filter instellingen"] = on(f.filtersgroupbox);
    s["Filters toepassen"] = on(f.Filtersbutton);
    s["Configuratiescherm"] = on(f.Meetintervaltabelbutton);
    s["Grafiek navigatie"] = on(f.navigatiegroupbox);
    s["ProgressBar2"] = shown(f.ProgressBar2);
    s["EraseProgressBar"] = shown(f.EraseProgressBar);
    s["ProgressBar1"] = shown(f.ProgressBar1);
    s["status"] = f.StatusLabel->text();
    return s;
}

bool processingControlsEnabled(const TForm1& f) {
    const QList<const QWidget*> controls{f.buttonmemo,
                                         f.Filtersbutton,
                                         f.filtersgroupbox,
                                         f.TijdeenheidRadioGroup,
                                         f.Meetintervaltabelbutton,
                                         f.dataopenen};
    return std::all_of(controls.begin(), controls.end(),
                       [](const QWidget* c) { return c->isEnabled(); });
}

enum Step {
    Cycle,
    ManyCycles,
    Open,
    Process,
    SnapshotDuringRun,
    ConnectDuringRun,
    Connect,
    Disconnect,
    DownloadStart,
    Done,
    EraseStart,
    EraseEnd,
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }

    void designStartValues() {
        WindowFixture w;
        TForm1& f = w.form;
        QCOMPARE(f.overspanningedit->text(), QString("12,6"));
        QCOMPARE(f.onderspanningedit->text(), QString("12"));
        QCOMPARE(f.tijdfilteredit->text(), QString("5"));
        QCOMPARE(f.temperatuurbovengrensedit->text(), QString("35"));
        QCOMPARE(f.temperatuurondergrensedit->text(), QString("0"));
        QCOMPARE(f.temperatuurtijdfilteredit->text(), QString("5"));
        QCOMPARE(f.tijdfiltercombobox->currentText(), QString("minuten"));
        QCOMPARE(f.temperatuurtijdcombobox->currentText(), QString("minuten"));
        QCOMPARE(f.tijdeenheidButtons->checkedButton()->text(), QString("Minuten"));
        QCOMPARE(f.DateTimePicker1->dateTime(), QDateTime(QDate(2016, 7, 18), QTime(16, 30, 30)));
        QCOMPARE(f.DateTimePicker->dateTime(), QDateTime(QDate(2016, 7, 18), QTime(8, 50, 25)));
        QCOMPARE(f.palette().color(QPalette::Window), QColor(160, 160, 164));
        QVERIFY(f.memo1->isReadOnly());

        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        WindowFixture point;
        QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
        QCOMPARE(point.form.overspanningedit->text(), QString("12.6"));
    }

    // The full demo recording, opened and processed through the window, shows the core's
    // report line for line with its colours.
    void reportMatchesTheCore() {
        WindowFixture w;
        const ImageBuilder demo = demoRecording();
        w.open(demo);
        w.process();
        const ProcessingResult expected = coreResult(demo, w.form.readSettings());
        QVERIFY(expected.calamiteitcount > 10);
        compareReport(w.form.memo1, expected.report);
        QCOMPARE(w.form.StatusLabel->text(), QString("Data verwerkt"));
        QVERIFY(w.form.klaarverwerken);
        QVERIFY(w.form.grafiekmaaktijd);
        QCOMPARE(w.form.result.samples.C, expected.samples.C);
        QVERIFY(w.seams.messages.isEmpty());
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
        showReport(w.form.memo1, report);
        compareReport(w.form.memo1, report);
        // Showing a second report replaces the first completely.
        Report shorter;
        showReport(w.form.memo1, shorter);
        compareReport(w.form.memo1, shorter);
        QCOMPARE(w.form.memo1->findChildren<QTextDocument*>().size(), qsizetype(1));

        const QFontMetricsF metrics(w.form.memo1->font());
        QCOMPARE(w.form.memo1->tabStopDistance(), 170 * metrics.averageCharWidth() / 4);
        QCOMPARE(w.form.memo1->font().pointSize(), 8);
    }

    void controlStates_data() {
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<QStringList>("changes"); // differences from the start state

        QTest::newRow("creation") << QList<int>{} << QStringList{};
        QTest::newRow("first update cycle hides the download bar")
            << QList<int>{Cycle} << QStringList{"ProgressBar2=verborgen"};
        QTest::newRow("image file opened")
            << QList<int>{Cycle, Open}
            << QStringList{"ProgressBar2=verborgen", "Data verwerken=aan",
                           "status=Data klaar voor verwerken"};
        QTest::newRow("during processing")
            << QList<int>{Cycle, Open, Connect, Process, SnapshotDuringRun}
            << QStringList{"ProgressBar2=verborgen", "Verbinden=verborgen",
                           "Verbreken=zichtbaar",    "Configuratiescherm=uit",
                           "ProgressBar1=zichtbaar", "status=Data verwerkt"};
        QTest::newRow("connected during processing keeps Data ophalen off")
            << QList<int>{Cycle, Open, ConnectDuringRun}
            << QStringList{"ProgressBar2=verborgen", "Verbinden=verborgen",
                           "Verbreken=zichtbaar",    "Configuratiescherm=uit",
                           "ProgressBar1=zichtbaar", "status=QLO verbonden"};
        const QStringList processed{"ProgressBar2=verborgen", "Data verwerken=aan",
                                    "Tijdeenheid=aan",        "Filter instellingen=aan",
                                    "Filters toepassen=aan",  "ProgressBar1=zichtbaar",
                                    "status=Data verwerkt"};
        QTest::newRow("end of processing, not connected")
            << QList<int>{Cycle, Open, Process} << processed;
        QTest::newRow("end of processing, connected")
            << QList<int>{Cycle, Open, Connect, Process}
            << processed +
                   QStringList{"Verbinden=verborgen", "Verbreken=zichtbaar", "Data ophalen=aan"};
        QTest::newRow("chart drawn") << QList<int>{Cycle, Open, Process, Cycle}
                                     << processed + QStringList{"Grafiek navigatie=aan"};
        QTest::newRow("processing bar runs out")
            << QList<int>{Cycle, Open, Process, ManyCycles}
            << processed + QStringList{"Grafiek navigatie=aan", "ProgressBar1=verborgen"};
        QTest::newRow("Verbinden")
            << QList<int>{Cycle, Connect}
            << QStringList{"ProgressBar2=verborgen", "Verbinden=verborgen", "Verbreken=zichtbaar",
                           "Data ophalen=aan", "status=QLO verbonden"};
        QTest::newRow("Verbreken")
            << QList<int>{Cycle, Connect, Disconnect}
            << QStringList{"ProgressBar2=verborgen", "status=QLO niet verbonden"};
        const QStringList downloading{"Verbinden=verborgen", "Verbreken=zichtbaar",
                                      "status=QLO verbonden"};
        QTest::newRow("Data ophalen") << QList<int>{Cycle, Connect, DownloadStart} << downloading;
        QTest::newRow("updater keeps the download bar during a download")
            << QList<int>{Cycle, Connect, DownloadStart, ManyCycles} << downloading;
        QTest::newRow("DONE") << QList<int>{Cycle, Connect, DownloadStart, Done}
                              << QStringList{
                                     "Verbinden=verborgen",   "Verbreken=zichtbaar",
                                     "Data ophalen=aan",      "Data verwerken=aan",
                                     "Tijdeenheid=aan",       "Filter instellingen=aan",
                                     "Filters toepassen=aan", "status=Data klaar voor verwerken"};
        QTest::newRow("Verbreken during a download hides its bar")
            << QList<int>{Cycle, Connect, DownloadStart, Disconnect}
            << QStringList{"ProgressBar2=verborgen", "status=QLO niet verbonden"};
        QTest::newRow("erase sent")
            << QList<int>{Cycle, EraseStart}
            << QStringList{"ProgressBar2=verborgen", "EraseProgressBar=zichtbaar"};
        QTest::newRow("wel received")
            << QList<int>{Cycle, EraseStart, EraseEnd} << QStringList{"ProgressBar2=verborgen"};
    }

    void controlStates() {
        QFETCH(QList<int>, steps);
        QFETCH(QStringList, changes);
        WindowFixture w;
        TForm1& f = w.form;
        QMap<QString, QString> expected;
        for (const QString& c : kStartStates)
            expected[c.section('=', 0, 0)] = c.section('=', 1);
        for (const QString& c : changes) {
            const auto parts = c.split('=');
            QVERIFY2(expected.contains(parts[0]), qPrintable(c));
            expected[parts[0]] = parts[1];
        }

        std::optional<QMap<QString, QString>> duringRun;
        const auto runWith = [&](std::function<void()> inside) {
            QTimer::singleShot(0, &f, [&, inside] {
                QVERIFY(f.isProcessing());
                inside();
                duringRun = statesOf(f);
            });
            w.process();
            QVERIFY(duringRun);
        };
        for (int step : steps) {
            switch (Step(step)) {
            case Cycle:
                f.updateCycle();
                break;
            case ManyCycles:
                for (int i = 0; i < 120; ++i)
                    f.updateCycle();
                break;
            case Open:
                w.open(smallRecording());
                break;
            case Process:
                w.process();
                break;
            case SnapshotDuringRun:
                runWith([] {});
                break;
            case ConnectDuringRun:
                runWith([&f] { f.showConnected(); });
                break;
            case Connect:
                f.showConnected();
                break;
            case Disconnect:
                f.showDisconnected();
                break;
            case DownloadStart:
                f.downloadStarting();
                break;
            case Done:
                f.downloadComplete();
                break;
            case EraseStart:
                f.eraseStarted();
                break;
            case EraseEnd:
                f.eraseFinished();
                break;
            }
        }
        QCOMPARE(asLines(duringRun.value_or(statesOf(f))), asLines(expected));
    }

    // One update cycle: a finished bar runs up to 100 and then hides; a running one shows.
    void progressCycle_data() {
        QTest::addColumn<bool>("downloadBar");
        QTest::addColumn<bool>("finished");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<int>("valueAfter");
        QTest::addColumn<bool>("hiddenAfter");
        for (bool download : {false, true}) {
            const char* bar = download ? "download" : "processing";
            QTest::addRow("%s finished at 100", bar)
                << download << true << 100 << false << 100 << true;
            QTest::addRow("%s finished below 100", bar)
                << download << true << 40 << false << 41 << false;
            QTest::addRow("%s finished, hidden", bar)
                << download << true << 99 << true << 100 << true;
            QTest::addRow("%s running", bar) << download << false << 40 << true << 40 << false;
        }
    }

    void progressCycle() {
        QFETCH(bool, downloadBar);
        QFETCH(bool, finished);
        QFETCH(int, value);
        QFETCH(bool, hidden);
        QFETCH(int, valueAfter);
        QFETCH(bool, hiddenAfter);
        WindowFixture w;
        TForm1& f = w.form;
        QProgressBar* bar = downloadBar ? f.ProgressBar2 : f.ProgressBar1;
        QProgressBar* other = downloadBar ? f.ProgressBar1 : f.ProgressBar2;
        (downloadBar ? f.databinnenhalenklaar : f.klaarverwerken) = finished;
        bar->setValue(value);
        bar->setHidden(hidden);
        other->setValue(50);
        other->show();
        f.DoStuff();
        QCOMPARE(bar->value(), valueAfter);
        QCOMPARE(bar->isHidden(), hiddenAfter);
        QCOMPARE(other->value(), 51); // the other bar follows its own flag
    }

    void triggersProcess_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<int>("timeUnit");
        QTest::newRow("Data verwerken") << "Data verwerken" << 1;
        QTest::newRow("Filters toepassen") << "Filters toepassen" << 1;
        QTest::newRow("Tijdeenheid Seconden") << "Seconden" << 0;
        QTest::newRow("Tijdeenheid Uren") << "Uren" << 2;
        QTest::newRow("Enter in Overspanning") << "overspanningedit" << 1;
    }

    // After a first run every trigger runs again with what the controls hold then.
    void triggersProcess() {
        QFETCH(QString, trigger);
        QFETCH(int, timeUnit);
        WindowFixture w;
        TForm1& f = w.form;
        const ImageBuilder image = smallRecording();
        w.open(image);
        w.process();
        f.onderspanningedit->setText("12,1"); // makes the second run differ from the first
        QSignalSpy started(&f, &TForm1::processingStarted);
        if (trigger == "Data verwerken")
            QTest::mouseClick(f.buttonmemo, Qt::LeftButton);
        else if (trigger == "Filters toepassen")
            QTest::mouseClick(f.Filtersbutton, Qt::LeftButton);
        else if (trigger == "overspanningedit")
            QTest::keyClick(f.overspanningedit, Qt::Key_Return);
        else
            QTest::mouseClick(f.tijdeenheidButtons->button(timeUnit), Qt::LeftButton);
        QCOMPARE(started.size(), 1);
        QCOMPARE(started[0][0].toInt(), timeUnit);
        QCOMPARE(f.readSettings().timeUnit, timeUnit);
        const ProcessingResult expected = coreResult(image, f.readSettings());
        compareReport(f.memo1, expected.report);
        QCOMPARE(f.overspanningedit->text(), QString("12,6")); // Enter is not put in the text
    }

    void enterElsewhereDoesNothing_data() {
        QTest::addColumn<QString>("edit");
        for (const char* name : {"onderspanningedit", "tijdfilteredit", "temperatuurbovengrensedit",
                                 "temperatuurondergrensedit", "temperatuurtijdfilteredit"})
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
        QSignalSpy started(&w.form, &TForm1::processingStarted);
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(started.size(), 0);
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
        TForm1& f = w.form;
        w.open(smallRecording());
        w.process();
        const QString reportBefore = f.memo1->toPlainText();
        QLineEdit* edit = nullptr;
        for (QLabel* label : f.filtersgroupbox->findChildren<QLabel*>())
            if (label->text() == field)
                edit = qobject_cast<QLineEdit*>(label->buddy());
        QVERIFY(edit);
        edit->setText(text); // pasted: the key checks do not see it
        QSignalSpy started(&f, &TForm1::processingStarted);
        QTest::mouseClick(f.Filtersbutton, Qt::LeftButton);

        Limits limits;
        const auto error = readLimits(f.readSettings(), limits);
        QVERIFY(error);
        QCOMPARE(w.seams.messages, QStringList{error->message});
        QVERIFY(error->message.contains(field));
        QCOMPARE(started.size(), 0);
        QCOMPARE(f.memo1->toPlainText(), reportBefore);
        QVERIFY(f.klaarverwerken);
        QVERIFY(processingControlsEnabled(f));
        // Mended, the same button works again.
        edit->setText("5");
        QTest::mouseClick(f.Filtersbutton, Qt::LeftButton);
        QCOMPARE(started.size(), 1);
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
        QCOMPARE(w.form.StatusLabel->text(), QString("Data verwerkt"));
        QVERIFY(w.form.buttonmemo->isEnabled());
        QVERIFY(w.form.klaarverwerken);
    }

    void imageWithoutSummary_data() {
        QTest::addColumn<ImageBuilder>("image");
        QTest::addColumn<QString>("messagePart");
        ImageBuilder empty;
        empty.bytes({0, 0}); // all zero, like a fresh buffer
        QTest::newRow("empty buffer") << empty << "geen opname";
        ImageBuilder erased;
        erased.bytes(std::vector<std::uint8_t>(4096, 0xFF)).done();
        QTest::newRow("erased logger") << erased << "geen opname";
        ImageBuilder cut;
        cut.recording(2, 1).temperature(20).voltage(12.0, 50);
        QTest::newRow("recording without an end") << cut << "niet afgesloten";
    }

    // No summary ran: the run still ends, the controls come back, and the user is told.
    void imageWithoutSummary() {
        QFETCH(ImageBuilder, image);
        QFETCH(QString, messagePart);
        WindowFixture w;
        TForm1& f = w.form;
        w.open(image);
        w.process();
        QCOMPARE(w.seams.messages.size(), qsizetype(1));
        QVERIFY2(w.seams.messages[0].contains(messagePart), qPrintable(w.seams.messages[0]));
        QVERIFY(f.klaarverwerken);
        QVERIFY(!f.grafiekmaaktijd);
        QCOMPARE(f.StatusLabel->text(), QString("Data klaar voor verwerken"));
        QVERIFY(processingControlsEnabled(f));
        QVERIFY(!f.Buttonreceivedata->isEnabled()); // not connected
    }

    // An image opened while a run decodes waits for the run's end: the report is the old
    // image's alone, and the new image is there for the next run.
    void openDuringRun() {
        WindowFixture w;
        TForm1& f = w.form;
        const ImageBuilder first = smallRecording();
        const ImageBuilder second = otherRecording();
        w.open(first);
        const QString secondPath = w.dir.filePath("second.img");
        QVERIFY(!second.save(secondPath));
        w.seams.openAnswers << secondPath;
        QTimer::singleShot(0, &f, [&] {
            QVERIFY(f.isProcessing());
            QTest::mouseClick(f.dataopenen, Qt::LeftButton);
        });
        w.process();
        QVERIFY(w.seams.openAnswers.isEmpty());
        compareReport(f.memo1, coreResult(first, f.readSettings()).report);
        QCOMPARE(f.StatusLabel->text(), QString("Data klaar voor verwerken"));
        QVERIFY(std::equal(second.data().begin(), second.data().end(), f.spanningArray.data()));

        w.process();
        compareReport(f.memo1, coreResult(second, f.readSettings()).report);
        QVERIFY(w.seams.messages.isEmpty());
    }

    // Closed while a run decodes: the run ends quietly, without message boxes.
    void closingDuringRun() {
        WindowFixture w;
        ImageBuilder b;
        b.recording(2, 1).temperature(20, 3).done(); // would show "Geen metingen" twice
        w.open(b);
        QSignalSpy closed(&w.form, &TForm1::closed);
        QTimer::singleShot(0, &w.form, [&] { w.form.close(); });
        w.process();
        QCOMPARE(closed.size(), 1);
        QVERIFY(w.seams.messages.isEmpty());
        QVERIFY(w.form.klaarverwerken);
        QVERIFY(!w.form.updaterRunning());
    }

    // The chart takes the placeholder's place; the progress bars stay over it.
    void chartEmbedding() {
        WindowFixture w;
        auto* chart = new QWidget;
        w.form.setChartWidget(chart);
        QCOMPARE(w.form.chartPlaceholder, chart);
        QCOMPARE(chart->parentWidget(), w.form.chartArea);
        const QObjectList& stack = w.form.chartArea->children();
        QVERIFY(stack.indexOf(w.form.ProgressBar1->parentWidget()) > stack.indexOf(chart));
    }

    // Whatever reaches the window during a run, a second run never starts inside it.
    void noNestedRun() {
        WindowFixture w;
        TForm1& f = w.form;
        w.open(smallRecording());
        w.process();
        QSignalSpy started(&f, &TForm1::processingStarted);
        QTimer::singleShot(0, &f, [&] {
            f.buttonmemoClick();
            QTest::mouseClick(f.Filtersbutton, Qt::LeftButton);
            QTest::keyClick(f.overspanningedit, Qt::Key_Return);
            QTest::mouseClick(f.tijdeenheidButtons->button(0), Qt::LeftButton);
        });
        w.process();
        QCOMPARE(started.size(), 1);
        QCOMPARE(f.tijdeenheidIndex(), 1);
        QVERIFY(!f.isProcessing());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
