#include <algorithm>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QFileInfo>
#include <QPrinter>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <qcustomplot.h>

#include "app/configurationwindow.h"
#include "chart/chartview.h"
#include "chart/navigation.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {

// Three events of 400 s over the voltage limit, 100 s apart.
ImageBuilder threeEvents() {
    ImageBuilder b;
    b.recording(2, 1).temperature(20).voltage(12.0, 100);
    for (int i = 0; i < 3; ++i)
        b.voltage(13.0, 400).voltage(12.0, 100);
    b.done();
    return b;
}

QWidget* focused() {
    return QApplication::focusWidget();
}

// A key as the user presses it: to whatever has the focus.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = focused();
    if (!target)
        target = QApplication::activeWindow();
    QTest::keyClick(target, key, modifiers);
}

// Presses Tab (or Shift+Tab) until `target` has the focus; false after a round without it.
bool tabTo(const QWidget* target, bool backwards = false) {
    for (int i = 0; i < 200 && focused() != target; ++i)
        press(Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
    return focused() == target;
}

// What a focused control is called in the lists below: its object name, or else the name a
// screen reader gives it.
QString nameOf(QWidget* w) {
    if (!w)
        return QStringLiteral("(niets)");
    if (!w->objectName().isEmpty())
        return w->objectName();
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

// The controls Tab visits from the current one until it comes back to it. A control that
// takes several presses (the sections of a date picker) counts once.
QStringList focusRound(bool backwards) {
    QWidget* start = focused();
    QStringList round{nameOf(start)};
    for (int i = 0; i < 300; ++i) {
        press(Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        if (focused() == start)
            break;
        if (round.last() != nameOf(focused()))
            round << nameOf(focused());
    }
    return round;
}

struct KeyboardWindow : WindowFixture {
    KeyboardWindow() {
        form.resize(1366, 768);
        form.show();
        form.activateWindow();
    }
    bool active() { return QTest::qWaitForWindowActive(&form); }
    // A chart fill, as the periodic update does it.
    void drawChart() { form.runOutBars(); }
    QAbstractButton* unit(int index) const { return timeUnits()->button(index); }
    double from() const { return form.chart()->bottomAxis().minimum(); }
    double to() const { return form.chart()->bottomAxis().maximum(); }
    // The window the chart shows for an event: the event with a tenth of it on each side.
    std::pair<double, double> eventWindow(int n) const {
        const long double start = result().eventList.start[n];
        const long double end = result().eventList.end[n];
        const long double d = end - start;
        return {double(start - 0.1L * d), double(end + 0.1L * d)};
    }
};

} // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }

    // With everything usable, Tab visits the groups of the top row from left to right, each
    // row by row, then the chart and the column beside it; Shift+Tab goes the same way back.
    void tabFollowsTheReadingOrder() {
        KeyboardWindow w;
        QVERIFY(w.active());
        w.open(threeEvents());
        w.process();
        w.drawChart();
        // Every paging and event button usable: the second unit, the second event.
        NavigationBox* nav = w.form.navigation();
        nav->showFirstPage();
        nav->showNextPage();
        nav->eventNumberEdit()->setText(QStringLiteral("2"));
        nav->goToEvent();

        const QStringList expected{
            // "Menu"; "Data ophalen" waits for a logger.
            "connectButton", "processButton", "openImageButton", "eraseButton", "saveImageButton",
            "configurationButton",
            // "Grafiek navigatie"
            "firstPageButton", "previousPageButton", "nextPageButton", "fullViewButton",
            "goToButton", "fromEdit", "toEdit", "eventNumberEdit", "goToEventButton",
            "previousEventButton", "nextEventButton",
            // "Tijdeenheid": the chosen unit stands for the group.
            "Minuten",
            // "Filter instellingen", the voltage column and then the temperature column
            "overVoltageEdit", "underVoltageEdit", "voltageTimeFilterEdit",
            "voltageTimeFilterUnitList", "overTemperatureEdit", "underTemperatureEdit",
            "temperatureTimeFilterEdit", "temperatureTimeFilterUnitList", "applyFiltersButton",
            // the chart, its legend at its foot
            "markersBox", "chartPlot", "Spanning", "Temperatuur", "Overspanning", "Onderspanning",
            "Overtemperatuur", "Ondertemperatuur",
            // the strip under it
            "overviewStrip",
            // the column beside it
            "connectionPicker", "disconnectionPicker", "tabBar", "reportBox", "printReportButton",
            "printChartButton", "logo"};

        w.button("connectButton")->setFocus(Qt::OtherFocusReason);
        QCOMPARE(focusRound(false), expected);
        QStringList back = focusRound(true);
        std::reverse(back.begin() + 1, back.end());
        QCOMPARE(back, expected);

        // Coming back into "Tijdeenheid" after the arrows have moved the focus in it.
        QVERIFY(tabTo(w.unit(1)));
        press(Qt::Key_Down);
        press(Qt::Key_Tab);
        QCOMPARE(focused(), w.edit("overVoltageEdit"));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(focused(), w.unit(1));
    }

    // The configuration window: the table (so that a screen reader can read its cells), the
    // chosen unit, the two lists and the button.
    void configurationWindowByTab() {
        ConfigurationWindow form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(focusRound(false),
                 QStringList({"durationTable", "seconden", "voltageIntervalList",
                              "temperatureIntervalList", "sendIntervalsButton"}));
    }

    void arrowsMoveAmongTheUnitsWithoutARun_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("landsOn");
        QTest::newRow("down") << QList<int>{Qt::Key_Down} << 2;
        QTest::newRow("right, right") << QList<int>{Qt::Key_Right, Qt::Key_Right} << 3;
        QTest::newRow("up") << QList<int>{Qt::Key_Up} << 0;
        QTest::newRow("up past the first") << QList<int>{Qt::Key_Up, Qt::Key_Up, Qt::Key_Left} << 0;
        QTest::newRow("down past the last") << QList<int>(6, Qt::Key_Down) << 4;
        QTest::newRow("there and back") << QList<int>{Qt::Key_Down, Qt::Key_Up} << 1;
    }

    // In "Tijdeenheid" the arrow keys only move the focus; Space on a unit chooses it and
    // processes, as a click does, and the focus stays on it.
    void arrowsMoveAmongTheUnitsWithoutARun() {
        QFETCH(QList<int>, keys);
        QFETCH(int, landsOn);
        KeyboardWindow w;
        QVERIFY(w.active());
        w.open(threeEvents());
        w.process();
        QSignalSpy runs(&w.form, &MainWindow::runStarting);
        w.unit(1)->setFocus(Qt::OtherFocusReason);
        for (int key : keys)
            press(Qt::Key(key));
        QCOMPARE(focused(), w.unit(landsOn));
        QCOMPARE(runs.size(), qsizetype(0));
        QVERIFY(!w.form.isProcessing());
        QCOMPARE(w.form.readSettings().timeUnit, 1);

        press(Qt::Key_Space);
        QCOMPARE(runs.size(), qsizetype(1));
        w.waitForRun();
        QCOMPARE(w.form.readSettings().timeUnit, landsOn);
        const int seconds[] = {1, 60, 3600, 86400, 604800};
        QCOMPARE(w.result().secondsPerUnit, seconds[landsOn]);
        QCOMPARE(focused(), w.unit(landsOn));
    }

    void focusComesBackAfterARun_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key");
        QTest::newRow("Space on Data verwerken") << "processButton" << int(Qt::Key_Space);
        QTest::newRow("Space on Filters toepassen") << "applyFiltersButton" << int(Qt::Key_Space);
        QTest::newRow("Enter in Overspanning") << "overVoltageEdit" << int(Qt::Key_Return);
    }

    // A run disables the control that started it, and Qt moves the focus away; once the run
    // has ended the focus is back where the user left it.
    void focusComesBackAfterARun() {
        QFETCH(QString, control);
        QFETCH(int, key);
        KeyboardWindow w;
        QVERIFY(w.active());
        w.open(threeEvents());
        w.process();
        QWidget* start = testing::control(w.form, qPrintable(control));
        QVERIFY(tabTo(start));
        w.hold();
        press(Qt::Key(key));
        QVERIFY(w.form.isProcessing());
        QVERIFY(focused() != start);
        w.release();
        w.waitForRun();
        QCOMPARE(nameOf(focused()), control);
    }

    // Moving the focus during a run keeps it where the user put it.
    void focusMovedDuringARunStays() {
        KeyboardWindow w;
        QVERIFY(w.active());
        w.open(threeEvents());
        QVERIFY(tabTo(w.button("processButton")));
        w.hold();
        press(Qt::Key_Space);
        QVERIFY(w.form.isProcessing());
        QVERIFY(tabTo(w.reportBox()));
        w.release();
        w.waitForRun();
        QCOMPARE(focused(), w.reportBox());
    }

    // Ctrl+Tab switches the tabs beside the chart wherever the focus is; Tab goes from the
    // tab bar into the shown page, and the arrow keys in the event table show the events.
    void tabsAndTheEventTable() {
        KeyboardWindow w;
        QVERIFY(w.active());
        w.open(threeEvents());
        w.process();
        QTabWidget* tabs = control<QTabWidget>(w.form, "tabs");
        QCOMPARE(tabs->currentIndex(), 0);
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->tabText(tabs->currentIndex()), QString("Calamiteiten"));
        press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs->currentIndex(), 0);
        press(Qt::Key_Tab, Qt::ControlModifier);

        QVERIFY(tabTo(control<QWidget>(w.form, "tabBar")));
        press(Qt::Key_Tab);
        QCOMPARE(nameOf(focused()), QString("eventKindFilter"));
        press(Qt::Key_Tab);
        QCOMPARE(nameOf(focused()), QString("eventTableView"));
        QCOMPARE(w.form.navigation()->eventNumber(), 0LL); // coming in chooses nothing
        press(Qt::Key_Down); // from the first row, which the focus made current
        QCOMPARE(w.form.navigation()->eventNumber(), 2LL);
        QCOMPARE(std::pair(w.from(), w.to()), w.eventWindow(2));
        press(Qt::Key_Tab);
        QCOMPARE(nameOf(focused()), QString("printReportButton"));
    }

    // "Verbreken" stands where "Verbinden" stood, and takes the focus over; and back.
    void connectAndDisconnectHandTheFocusOn() {
        KeyboardWindow w;
        QVERIFY(w.active());
        QCOMPARE(focused(), w.button("connectButton"));
        w.adapter().showConnected();
        QCOMPARE(focused(), w.button("disconnectButton"));
        w.form.link().disconnectLogger();
        QCOMPARE(focused(), w.button("connectButton"));
    }

    // The main path with the keyboard alone: open, process, choose a unit, go to an event,
    // page the chart with its keys, print the report and open the chart's print preview.
    void mainPathWithTheKeyboardAlone() {
        KeyboardWindow w;
        QVERIFY(w.active());
        QCOMPARE(nameOf(focused()), QString("connectButton"));

        const QString image = w.dir.filePath(QStringLiteral("drie.img"));
        QVERIFY(!threeEvents().save(image));
        w.seams.openAnswers << image;
        QVERIFY(tabTo(w.button("openImageButton")));
        press(Qt::Key_Space);
        QCOMPARE(w.status()->text(), QString("Data klaar voor verwerken"));

        QVERIFY(tabTo(w.button("processButton"), true));
        press(Qt::Key_Space);
        w.waitForRun();
        QCOMPARE(w.result().eventCount, 3);

        // Hours, passing the units with the arrows: only the Space starts a run.
        QSignalSpy runs(&w.form, &MainWindow::runStarting);
        QVERIFY(tabTo(w.unit(1)));
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        press(Qt::Key_Up);
        QCOMPARE(runs.size(), qsizetype(0));
        press(Qt::Key_Space);
        QCOMPARE(runs.size(), qsizetype(1));
        w.waitForRun();
        QCOMPARE(w.result().secondsPerUnit, 3600);
        w.drawChart();
        QVERIFY(w.form.navigation()->isEnabled());

        QVERIFY(tabTo(w.edit("eventNumberEdit"), true));
        QTest::keyClicks(focused(), QStringLiteral("2"));
        press(Qt::Key_Tab);
        QCOMPARE(focused(), w.button("goToEventButton"));
        press(Qt::Key_Space);
        QCOMPARE(std::pair(w.from(), w.to()), w.eventWindow(2));
        QVERIFY(tabTo(w.button("nextEventButton")));
        press(Qt::Key_Space);
        QCOMPARE(std::pair(w.from(), w.to()), w.eventWindow(3));
        QCOMPARE(w.edit("eventNumberEdit")->text(), QString("3"));
        QVERIFY(w.seams.messages.isEmpty());

        QVERIFY(tabTo(w.form.chart()->plot()));
        press(Qt::Key_Home);
        QCOMPARE(std::pair(w.from(), w.to()), std::pair(0.0, 1.0));
        press(Qt::Key_Right);
        QCOMPARE(std::pair(w.from(), w.to()), std::pair(1.0, 2.0));
        press(Qt::Key_Escape);
        QCOMPARE(w.from(), w.form.chart()->fullView().timeMin);

        const QString report = w.dir.filePath(QStringLiteral("rapport.pdf"));
        w.seams.printTo = report;
        QVERIFY(tabTo(w.button("printReportButton")));
        press(Qt::Key_Space);
        QCOMPARE(w.seams.printDialogs, 1);
        QVERIFY(QFileInfo(report).size() > 0);

        press(Qt::Key_Tab);
        QCOMPARE(focused(), w.button("printChartButton"));
        press(Qt::Key_Space);
        QCOMPARE(w.seams.printPreviews, 1);
        // The preview shows the chart.
        const QString chart = w.dir.filePath(QStringLiteral("grafiek.pdf"));
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(chart);
        w.seams.previewPages(&printer);
        QVERIFY(QFileInfo(chart).size() > 0);

        // The logo is a button too.
        press(Qt::Key_Tab);
        QCOMPARE(nameOf(focused()), QString("logo"));
        press(Qt::Key_Space);
        QCOMPARE(w.seams.openedUrls.size(), qsizetype(1));
    }
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
