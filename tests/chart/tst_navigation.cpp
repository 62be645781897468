#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <qcustomplot.h>

#include "chart/chartview.h"
#include "chart/navigation.h"
#include "recording/decoder.h"
#include "recording/timeunits.h"

using veltrano::ChartView;
using veltrano::NavigationBox;

namespace {

QPushButton* button(const NavigationBox& box, const char* name) {
    auto* b = box.findChild<QPushButton*>(QString::fromLatin1(name));
    if (!b)
        qFatal("no button %s", name);
    return b;
}

// A chart whose full view is 0..50 (bottom), 8..16 (left), 0..40 (right), its navigation
// group, and the events 1: 10..12, 2: 20..21, 3: 30..35.
struct Fixture {
    ChartView chart;
    QStringList messages;
    NavigationBox nav{&chart, [this](const QString& m) { messages << m; }};
    std::array<long double, 10000> starts{}, ends{};

    Fixture() {
        chart.setFullView({0, 50, 8, 16, 0, 40});
        starts[1] = 10;
        ends[1] = 12;
        starts[2] = 20;
        ends[2] = 21;
        starts[3] = 30;
        ends[3] = 35;
        nav.setEventList(starts, ends);
        nav.setEnabled(true);
        chart.markersCheckBox()->setChecked(true);
    }
    double min() { return chart.bottomAxis().minimum(); }
    double max() { return chart.bottomAxis().maximum(); }
};

void run(Fixture& f, const QString& ops) {
    for (const QChar op : ops) {
        QPushButton* b = op == 'E'   ? button(f.nav, "firstPageButton")
                         : op == 'N' ? button(f.nav, "nextPageButton")
                         : op == 'P' ? button(f.nav, "previousPageButton")
                                     : button(f.nav, "fullViewButton");
        QVERIFY2(b->isEnabled(), qPrintable(QString(op)));
        QTest::mouseClick(b, Qt::LeftButton);
    }
}

// A ten-hour recording in the unit of its run (times as the decoder leaves them): voltage
// every 30 s from 30 s to 36,000 s, temperature every 60 s from 0 s.
struct Recording {
    std::vector<float> vt{0}, vv{0}, tt{0}, tv{0};
    std::vector<double> begins = std::vector<double>(veltrano::kBeginPointCapacity, 0.0);
    double lastVoltage = 0;

    explicit Recording(int unit) {
        const double div = veltrano::kTimeUnits[unit].divisor;
        for (int t = 30; t <= 36000; t += 30) {
            vt.push_back(float(t / div));
            vv.push_back(12.5f + 0.5f * float(std::sin(t / 3000.0)));
        }
        for (int t = 0; t < 36000; t += 60) {
            tt.push_back(float(t / div));
            tv.push_back(20.0f + 5.0f * float(std::sin(t / 7000.0)));
        }
        lastVoltage = 36000 / div;
    }
    veltrano::ChartFill fill() const {
        veltrano::ChartFill f;
        f.voltageTimes = vt.data();
        f.voltageValues = vv.data();
        f.voltageSampleCount = int(vt.size()) - 1;
        f.temperatureTimes = tt.data();
        f.temperatureValues = tv.data();
        f.temperatureSampleCount = int(tt.size()) - 1;
        f.beginPointSeconds = begins;
        f.limits = {14.4, 11.5, 35, 0};
        return f;
    }
};

// A shown chart with its navigation group, driven through a processing run as the main
// window drives it. Events 1 to 3 lie at 5,000 to 5,600 s, 18,000 to 18,600 s and 30,000 to
// 30,300 s.
struct Rig {
    ChartView chart;
    QStringList messages;
    NavigationBox nav{&chart, [this](const QString& m) { messages << m; }};
    std::array<long double, 10000> starts{}, ends{};
    std::vector<std::unique_ptr<Recording>> runs;
    int unit = 1;

    Rig() {
        nav.setEventList(starts, ends);
        chart.resize(800, 500);
        chart.show();
        QApplication::processEvents();
    }
    // The shown arrays stay alive until the next fill, as the window keeps them.
    void process(int u) {
        unit = u;
        runs.push_back(std::make_unique<Recording>(u));
        const double div = veltrano::kTimeUnits[u].divisor;
        const double events[3][2] = {{5000, 5600}, {18000, 18600}, {30000, 30300}};
        for (int n = 1; n <= 3; ++n) {
            starts[n] = events[n - 1][0] / div;
            ends[n] = events[n - 1][1] / div;
        }
        chart.startProcessing(u);
        nav.setUnit(u);
        nav.forgetShownEvent();
        chart.finishRecording(12.0, 13.0, 15.0, 25.0, runs.back()->lastVoltage);
        chart.endProcessing();
        chart.fill(runs.back()->fill());
        nav.setEnabled(true);
        chart.redraw();
    }
    double span() const { return 36000.0 / veltrano::kTimeUnits[unit].divisor; }
    QList<double> ranges() {
        return {chart.bottomAxis().minimum(), chart.bottomAxis().maximum(),
                chart.leftAxis().minimum(),   chart.leftAxis().maximum(),
                chart.rightAxis().minimum(),  chart.rightAxis().maximum()};
    }
    QRect area() const { return chart.plot()->axisRect()->rect(); }
    void goTo(double vanaf, double tot) {
        nav.fromEdit()->setText(QLocale().toString(vanaf));
        nav.toEdit()->setText(QLocale().toString(tot));
        QTest::mouseClick(button(nav, "goToButton"), Qt::LeftButton);
    }
    void wheel(QPointF at, QPoint eighths, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent e(at, chart.plot()->mapToGlobal(at), QPoint(), eighths, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(chart.plot(), &e);
        chart.redraw();
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(at), chart.plot()->mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
        QApplication::sendEvent(chart.plot(), &e);
        chart.redraw();
    }
};

} // namespace

class NavigationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }
    void captions_data();
    void captions();
    void paging_data();
    void paging();
    void goTo_data();
    void goTo();
    void goToEvent_data();
    void goToEvent();
    void nextAndPreviousEvent();
    void fullViewAfterRerun_data();
    void fullViewAfterRerun();
    void keys_data();
    void keys();
    void aClickGivesTheKeys();
    void wheelZoomsAroundTheCursor_data();
    void wheelZoomsAroundTheCursor();
    void panning_data();
    void panning();
};

void NavigationTest::captions_data() {
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("captions"); // first, previous, next
    QTest::newRow("before processing") << -1 << QStringList{"Start vanaf 0", "Vorige", "Volgende"};
    QTest::newRow("seconds") << 0
                             << QStringList{"Eerste seconde", "Vorige seconde", "Volgende seconde"};
    QTest::newRow("minutes") << 1
                             << QStringList{"Eerste minuut", "Vorige minuut", "Volgende minuut"};
    QTest::newRow("weeks") << 4 << QStringList{"Eerste week", "Vorige week", "Volgende week"};
}

void NavigationTest::captions() {
    QFETCH(int, unit);
    Fixture f;
    if (unit >= 0) {
        f.nav.setUnit(unit);
    }
    QTEST((QStringList{button(f.nav, "firstPageButton")->text(),
                       button(f.nav, "previousPageButton")->text(),
                       button(f.nav, "nextPageButton")->text()}),
          "captions");
    QCOMPARE(f.nav.title(), QStringLiteral("Grafiek navigatie"));
    QCOMPARE(f.nav.objectName(), QStringLiteral("navigationGroup"));
    QCOMPARE(button(f.nav, "fullViewButton")->text(), QStringLiteral("Uitzoomen"));
    QCOMPARE(button(f.nav, "goToButton")->text(), QStringLiteral("Ga naar"));
    QCOMPARE(button(f.nav, "goToEventButton")->text(), QStringLiteral("Ga naar Calamiteit"));
}

void NavigationTest::paging_data() {
    QTest::addColumn<double>("fromMin");
    QTest::addColumn<double>("fromMax");
    QTest::addColumn<QString>("ops"); // E = first, N = next, P = previous, U = full view
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<bool>("previousEnabled");
    QTest::addColumn<bool>("nextEnabled");
    QTest::newRow("first unit") << 7.0 << 9.0 << "E" << 0.0 << 1.0 << false << true;
    QTest::newRow("first, next twice") << 7.0 << 9.0 << "ENN" << 2.0 << 3.0 << true << true;
    QTest::newRow("and back twice") << 7.0 << 9.0 << "ENNPP" << 0.0 << 1.0 << false << true;
    QTest::newRow("next keeps a zoomed width") << 2.3 << 2.8 << "N" << 3.3 << 3.8 << true << true;
    QTest::newRow("previous to below 0 stays enabled")
        << 0.5 << 1.5 << "P" << -0.5 << 0.5 << true << true;
    QTest::newRow("previous on a window narrower than a unit")
        << 5.0 << 5.5 << "P" << 4.0 << 4.5 << true << true;
    QTest::newRow("first from far below 0") << -3.5 << -2.5 << "E" << 0.0 << 1.0 << false << true;
    QTest::newRow("full view") << 2.0 << 3.0 << "U" << 0.0 << 50.0 << false << false;
}

void NavigationTest::paging() {
    QFETCH(double, fromMin);
    QFETCH(double, fromMax);
    QFETCH(QString, ops);
    Fixture f;
    f.chart.bottomAxis().setMinMax(fromMin, fromMax);
    f.chart.leftAxis().setMinMax(12, 13);
    f.nav.setState(
        {.pageBack = true, .pageOn = true, .event = {}}); // as after "Eerste", "Volgende"
    run(f, ops);
    if (QTest::currentTestFailed()) {
        return;
    }
    QTEST(f.min(), "min");
    QTEST(f.max(), "max");
    QTEST(button(f.nav, "previousPageButton")->isEnabled(), "previousEnabled");
    QTEST(button(f.nav, "nextPageButton")->isEnabled(), "nextEnabled");
    QVERIFY(!f.chart.markersCheckBox()->isChecked());
    QVERIFY(!f.chart.markersActive());
    // Only the full view touches the vertical axes.
    QCOMPARE(f.chart.leftAxis().minimum(), ops == "U" ? 8.0 : 12.0);
    QVERIFY(f.messages.isEmpty());
}

void NavigationTest::goTo_data() {
    QTest::addColumn<QString>("vanaf");
    QTest::addColumn<QString>("tot");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("previousEnabled");
    QTest::addColumn<bool>("nextEnabled");
    const QString refused = "Vanaf waarde moet kleiner zijn dan de tot waarde";
    const QString number = "Vul een getal in";
    // Before each row: Vorige enabled, Volgende disabled.
    QTest::newRow("a range") << "2,5"
                             << "7,25" << 2.5 << 7.25 << "" << true << true;
    QTest::newRow("starting below 1") << "0,5"
                                      << "2" << 0.5 << 2.0 << "" << false << true;
    QTest::newRow("zero width") << "4"
                                << "4" << 4.0 << 4.0 << "" << true << true;
    QTest::newRow("vanaf above tot") << "5"
                                     << "3" << 0.0 << 3.0 << refused << false << false;
    QTest::newRow("tot below the full view") << "-5"
                                             << "-1" << 0.0 << 50.0 << refused << false << false;
    QTest::newRow("vanaf not a number") << "abc"
                                        << "7" << 0.0 << 7.0 << number << false << false;
    QTest::newRow("tot empty") << "3"
                               << "" << 0.0 << 50.0 << number << false << false;
}

void NavigationTest::goTo() {
    QFETCH(QString, vanaf);
    QFETCH(QString, tot);
    QFETCH(QString, message);
    Fixture f;
    f.chart.bottomAxis().setMinMax(70, 80); // not overlapping the full view
    f.chart.leftAxis().setMinMax(12, 13);
    f.nav.setState({.pageBack = true, .pageOn = false, .event = {}});
    f.nav.fromEdit()->setText(vanaf);
    f.nav.toEdit()->setText(tot);
    QTest::mouseClick(button(f.nav, "goToButton"), Qt::LeftButton);
    QTEST(f.min(), "min");
    QTEST(f.max(), "max");
    QCOMPARE(f.messages, message.isEmpty() ? QStringList{} : QStringList{message});
    QTEST(button(f.nav, "previousPageButton")->isEnabled(), "previousEnabled");
    QTEST(button(f.nav, "nextPageButton")->isEnabled(), "nextEnabled");
    QVERIFY(!f.chart.bottomAxis().automaticMinimum() && !f.chart.bottomAxis().automaticMaximum());
    QCOMPARE(f.chart.leftAxis().minimum(), 8.0);
    QCOMPARE(f.chart.rightAxis().maximum(), 40.0);
    QVERIFY(!f.chart.markersActive());
}

void NavigationTest::goToEvent_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<bool>("previousEnabled");
    QTest::addColumn<bool>("nextEnabled");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("number");
    const QString none = "Geen calamiteit";
    const QString typeOne = "Voer een calamiteitnummer in. Zie calamiteiten overzicht";
    QTest::newRow("first event") << "1" << 9.8 << 12.2 << false << true << "" << 1;
    QTest::newRow("middle event") << "2" << 19.9 << 21.1 << true << true << "" << 2;
    QTest::newRow("last event") << "3" << 29.5 << 35.5 << true << false << "" << 3;
    QTest::newRow("beyond the last") << "4" << 0.0 << 50.0 << true << false << none << 4;
    QTest::newRow("entry 0") << "0" << 0.0 << 50.0 << false << true << none << 0;
    QTest::newRow("last entry of the list")
        << "9999" << 0.0 << 50.0 << false << false << none << 9999;
    QTest::newRow("outside the list")
        << "123456" << 0.0 << 50.0 << false << false << none << 123456;
    QTest::newRow("nothing typed") << "" << 70.0 << 80.0 << false << false << typeOne << 7;
    QTest::newRow("too long for a number")
        << "99999999999" << 70.0 << 80.0 << false << false << typeOne << 7;
}

void NavigationTest::goToEvent() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Fixture f;
    // Event 7, which is not in the list, asked for before.
    f.nav.eventNumberEdit()->setText("7");
    QTest::mouseClick(button(f.nav, "goToEventButton"), Qt::LeftButton);
    f.messages.clear();
    f.chart.bottomAxis().setMinMax(70, 80);
    f.nav.eventNumberEdit()->setText(typed);
    QCOMPARE(f.nav.eventNumberEdit()->text(), typed); // digits only pass the edit
    QTest::mouseClick(button(f.nav, "goToEventButton"), Qt::LeftButton);
    QFETCH(double, min);
    QFETCH(double, max);
    QVERIFY2(qFuzzyCompare(f.min(), min), qPrintable(QString::number(f.min())));
    QVERIFY2(qFuzzyCompare(f.max(), max), qPrintable(QString::number(f.max())));
    QTEST(button(f.nav, "previousEventButton")->isEnabled(), "previousEnabled");
    QTEST(button(f.nav, "nextEventButton")->isEnabled(), "nextEnabled");
    QCOMPARE(f.messages, message.isEmpty() ? QStringList{} : QStringList{message});
    QTEST(int(f.nav.eventNumber()), "number");
    QVERIFY(!f.chart.markersActive());
}

void NavigationTest::nextAndPreviousEvent() {
    Fixture f;
    f.nav.eventNumberEdit()->setText("1");
    QTest::mouseClick(button(f.nav, "goToEventButton"), Qt::LeftButton);
    f.chart.markersCheckBox()->setChecked(true);

    QTest::mouseClick(button(f.nav, "nextEventButton"), Qt::LeftButton);
    QCOMPARE(f.nav.eventNumber(), 2LL);
    QCOMPARE(f.nav.eventNumberEdit()->text(), QStringLiteral("2"));
    QVERIFY(qFuzzyCompare(f.min(), 19.9) && qFuzzyCompare(f.max(), 21.1));
    QVERIFY(f.chart.markersActive()); // next leaves the lines alone

    QTest::mouseClick(button(f.nav, "nextEventButton"), Qt::LeftButton);
    QCOMPARE(f.nav.eventNumber(), 3LL);
    QVERIFY(!button(f.nav, "nextEventButton")->isEnabled());

    QTest::mouseClick(button(f.nav, "previousEventButton"), Qt::LeftButton);
    QTest::mouseClick(button(f.nav, "previousEventButton"), Qt::LeftButton);
    QCOMPARE(f.nav.eventNumber(), 1LL);
    QCOMPARE(f.nav.eventNumberEdit()->text(), QStringLiteral("1"));
    QVERIFY(!button(f.nav, "previousEventButton")->isEnabled());
    QVERIFY(button(f.nav, "nextEventButton")->isEnabled());
    QVERIFY(!f.chart.markersActive()); // previous switches them off
    QVERIFY(f.messages.isEmpty());

    f.nav.forgetShownEvent(); // a new processing run
    QVERIFY(!button(f.nav, "nextEventButton")->isEnabled());
    QCOMPARE(f.nav.eventNumber(), 1LL);
}

void NavigationTest::fullViewAfterRerun_data() {
    QTest::addColumn<QString>("view"); // the view when the run starts again
    QTest::addColumn<int>("unit");     // of the first run
    QTest::addColumn<int>("rerunUnit");
    QTest::newRow("as after the run") << "" << 1 << 1;
    QTest::newRow("paged") << "paged" << 1 << 1;
    QTest::newRow("rectangle zoom") << "rectangle" << 1 << 1;
    QTest::newRow("an event") << "event" << 1 << 1;
    QTest::newRow("Ga naar") << "goto" << 1 << 1;
    QTest::newRow("wheel zoom") << "wheel" << 1 << 1;
    QTest::newRow("zoomed, then hours") << "rectangle" << 1 << 2;
    QTest::newRow("1770 to 2130 seconds, then hours") << "goto" << 0 << 2;
    QTest::newRow("an event in hours, then seconds") << "event" << 2 << 0;
}

// "Uitzoomen" after a run gives the ranges the chart showed right after a first run in that
// unit, whatever the view was when the run started, and "Ga naar" takes what lies inside.
void NavigationTest::fullViewAfterRerun() {
    QFETCH(QString, view);
    QFETCH(int, unit);
    QFETCH(int, rerunUnit);
    QList<double> expected;
    {
        Rig first;
        first.process(rerunUnit);
        expected = first.ranges();
        QCOMPARE(expected[0], 0.0); // the first temperature sample
        QCOMPARE(expected[1], first.span());
    }

    Rig r;
    r.process(unit);
    const QRect area = r.area();
    if (view == "paged") {
        QTest::mouseClick(button(r.nav, "firstPageButton"), Qt::LeftButton);
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(button(r.nav, "nextPageButton"), Qt::LeftButton);
        }
    } else if (view == "rectangle") {
        r.chart.dragRectangle(area.topLeft() + QPoint(area.width() / 2, area.height() / 4),
                              area.topLeft() + QPoint(area.width() * 3 / 4, area.height() / 2));
    } else if (view == "event") {
        r.nav.eventNumberEdit()->setText("3");
        QTest::mouseClick(button(r.nav, "goToEventButton"), Qt::LeftButton);
    } else if (view == "goto") {
        r.goTo(unit == 0 ? 1770 : r.span() / 2, unit == 0 ? 2130 : r.span() * 0.6);
    } else if (view == "wheel") {
        r.wheel(area.center(), QPoint(0, 360));
    }
    QVERIFY(r.messages.isEmpty());
    QVERIFY(view.isEmpty() || r.chart.bottomAxis().minimum() > 0);

    r.process(rerunUnit);
    QCOMPARE(r.ranges(), expected); // the bottom axis follows the new data at once
    QTest::mouseClick(button(r.nav, "fullViewButton"), Qt::LeftButton);
    QCOMPARE(r.ranges(), expected);
    r.goTo(r.span() * 0.05, r.span() * 0.2);
    QCOMPARE(r.messages, QStringList());
    QCOMPARE(r.chart.bottomAxis().minimum(), r.span() * 0.05);
    QCOMPARE(r.chart.bottomAxis().maximum(), r.span() * 0.2);
}

void NavigationTest::keys_data() {
    QTest::addColumn<double>("fromMin");
    QTest::addColumn<double>("fromMax");
    QTest::addColumn<bool>("previousBefore");
    QTest::addColumn<bool>("nextBefore");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<bool>("previousEnabled");
    QTest::addColumn<bool>("nextEnabled");
    const int none = Qt::NoModifier;
    QTest::newRow("Left pages back")
        << 2.0 << 3.0 << true << true << int(Qt::Key_Left) << none << 1.0 << 2.0 << true << true;
    QTest::newRow("Left to 0 disables Vorige")
        << 1.0 << 2.0 << true << true << int(Qt::Key_Left) << none << 0.0 << 1.0 << false << true;
    QTest::newRow("Left while Vorige is disabled")
        << 0.0 << 1.0 << false << true << int(Qt::Key_Left) << none << 0.0 << 1.0 << false << true;
    QTest::newRow("Right pages on")
        << 0.0 << 1.0 << false << true << int(Qt::Key_Right) << none << 1.0 << 2.0 << true << true;
    QTest::newRow("Right keeps a zoomed width")
        << 2.3 << 2.8 << true << true << int(Qt::Key_Right) << none << 3.3 << 3.8 << true << true;
    QTest::newRow("Right while Volgende is disabled")
        << 0.0 << 50.0 << false << false << int(Qt::Key_Right) << none << 0.0 << 50.0 << false
        << false;
    QTest::newRow("Home is Eerste")
        << 7.0 << 9.0 << true << false << int(Qt::Key_Home) << none << 0.0 << 1.0 << false << true;
    QTest::newRow("Escape is Uitzoomen") << 7.0 << 9.0 << true << true << int(Qt::Key_Escape)
                                         << none << 0.0 << 50.0 << false << false;
    QTest::newRow("Shift+Left is no navigation")
        << 2.0 << 3.0 << true << true << int(Qt::Key_Left) << int(Qt::ShiftModifier) << 2.0 << 3.0
        << true << true;
}

// Each key does what its button does, and nothing while that button is disabled.
void NavigationTest::keys() {
    QFETCH(double, fromMin);
    QFETCH(double, fromMax);
    QFETCH(bool, previousBefore);
    QFETCH(bool, nextBefore);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    Fixture f;
    f.chart.bottomAxis().setMinMax(fromMin, fromMax);
    f.nav.setState({.pageBack = previousBefore, .pageOn = nextBefore, .event = {}});
    QTest::keyClick(f.chart.plot(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QTEST(f.min(), "min");
    QTEST(f.max(), "max");
    QTEST(button(f.nav, "previousPageButton")->isEnabled(), "previousEnabled");
    QTEST(button(f.nav, "nextPageButton")->isEnabled(), "nextEnabled");
    const bool moved = f.min() != fromMin || f.max() != fromMax;
    QCOMPARE(f.chart.markersActive(), !moved); // as the buttons, a move drops the lines
    QVERIFY(f.messages.isEmpty());

    // Before the first fill the whole group is disabled, and so are the keys.
    Fixture before;
    before.nav.setEnabled(false);
    before.chart.bottomAxis().setMinMax(fromMin, fromMax);
    QTest::keyClick(before.chart.plot(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(before.min(), fromMin);
    QCOMPARE(before.max(), fromMax);
}

void NavigationTest::aClickGivesTheKeys() {
    Rig r;
    r.process(1);
    r.chart.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&r.chart));
    QVERIFY(!r.chart.plot()->hasFocus());
    QTest::mouseClick(r.chart.plot(), Qt::LeftButton, {}, r.area().center());
    QVERIFY(r.chart.plot()->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    QCOMPARE(r.chart.bottomAxis().minimum(), 0.0);
    QCOMPARE(r.chart.bottomAxis().maximum(), 1.0);
    // Tab reaches the chart as well.
    QCOMPARE(r.chart.plot()->focusPolicy(), Qt::StrongFocus);
}

void NavigationTest::wheelZoomsAroundTheCursor_data() {
    QTest::addColumn<double>("at"); // share of the plot's width
    QTest::addColumn<QList<int>>("eighths");
    QTest::newRow("one notch in") << 0.5 << QList<int>{120};
    QTest::newRow("three notches in, near the left edge") << 0.1 << QList<int>{120, 120, 120};
    QTest::newRow("one notch out") << 0.8 << QList<int>{-120};
    QTest::newRow("half a notch, a fine wheel") << 0.3 << QList<int>{60};
    QTest::newRow("in and out again") << 0.6 << QList<int>{240, -240};
}

// The time under the cursor stays under it, each notch narrows the window to 0.8 of its
// width, every wheel zoom is a zoom as a rectangle is (lines, undo), and paging is untouched.
void NavigationTest::wheelZoomsAroundTheCursor() {
    QFETCH(double, at);
    QFETCH(QList<int>, eighths);
    Rig r;
    r.process(1);
    QTest::mouseClick(button(r.nav, "fullViewButton"), Qt::LeftButton);
    r.chart.redraw();
    const QList<double> before = r.ranges();
    QSignalSpy zoomed(&r.chart, &ChartView::zoomed);
    const QRect area = r.area();
    const QPointF cursor(area.left() + at * area.width(), area.center().y());
    QCustomPlot* p = r.chart.plot();
    double width = before[1] - before[0];
    for (int e : eighths) {
        const double t = p->xAxis->pixelToCoord(cursor.x());
        r.wheel(cursor, QPoint(0, e));
        width *= std::pow(0.8, e / 120.0);
        QVERIFY(qFuzzyCompare(p->xAxis->pixelToCoord(cursor.x()), t));
        QVERIFY(
            qFuzzyCompare(r.chart.bottomAxis().maximum() - r.chart.bottomAxis().minimum(), width));
    }
    QCOMPARE(zoomed.count(), eighths.size());
    const double lo = r.chart.bottomAxis().minimum(), hi = r.chart.bottomAxis().maximum();
    QVERIFY(!r.chart.bottomAxis().automaticMinimum() && !r.chart.bottomAxis().automaticMaximum());
    QVERIFY(qFuzzyCompare(r.chart.measuringLine(1), hi - 0.1 * (hi - lo)));
    QVERIFY(qFuzzyCompare(r.chart.measuringLine(2), lo + 0.1 * (hi - lo)));
    QCOMPARE(r.ranges().mid(2), before.mid(2)); // the vertical axes stay
    QVERIFY(!button(r.nav, "previousPageButton")->isEnabled() &&
            !button(r.nav, "nextPageButton")->isEnabled());
    QVERIFY(r.chart.isZoomed());

    // One drag towards the upper left undoes every zoom since the first.
    r.chart.dragRectangle(area.center(), area.center() - QPoint(40, 40));
    QCOMPARE(r.ranges(), before);
    QVERIFY(!r.chart.isZoomed());
}

void NavigationTest::panning_data() {
    QTest::addColumn<QString>("from"); // E: "Eerste" (0 .. 1), U: "Uitzoomen"
    QTest::addColumn<QString>("how");  // wheel, shift-wheel, middle, right
    QTest::addColumn<int>("amount");   // eighths of a degree, or pixels to the right
    QTest::addColumn<double>("shift"); // of the window, as a share of its width
    QTest::addColumn<bool>("previousEnabled");
    QTest::addColumn<bool>("nextEnabled");
    QTest::newRow("Shift+wheel away, back in time")
        << "E"
        << "shift-wheel" << 120 << -0.1 << false << true;
    QTest::newRow("Shift+wheel towards, on in time")
        << "E"
        << "shift-wheel" << -120 << 0.1 << true << true;
    QTest::newRow("a sideways wheel") << "U"
                                      << "wheel-x" << -240 << 0.2 << true << true;
    QTest::newRow("middle button dragged to the right")
        << "U"
        << "middle" << 100 << -100.0 << false << true;
    QTest::newRow("middle button dragged to the left") << "E"
                                                       << "middle" << -50 << 50.0 << true << true;
    QTest::newRow("right button: no pan") << "E"
                                          << "right" << -50 << 0.0 << false << true;
}

// Panning moves the bottom window and nothing else; the paging buttons and the measuring
// lines follow it as they follow the paging buttons.
void NavigationTest::panning() {
    QFETCH(QString, from);
    QFETCH(QString, how);
    QFETCH(int, amount);
    QFETCH(double, shift);
    Rig r;
    r.process(1);
    QTest::mouseClick(from == "E" ? button(r.nav, "firstPageButton")
                                  : button(r.nav, "fullViewButton"),
                      Qt::LeftButton);
    r.chart.redraw();
    r.chart.markersCheckBox()->setChecked(true);
    const QList<double> before = r.ranges();
    const double width = before[1] - before[0];
    QSignalSpy zoomed(&r.chart, &ChartView::zoomed);
    const QRect area = r.area();
    if (how == "shift-wheel") {
        r.wheel(area.center(), QPoint(0, amount), Qt::ShiftModifier);
    } else if (how == "wheel-x") {
        r.wheel(area.center(), QPoint(amount, 0));
    } else {
        const Qt::MouseButton b = how == "middle" ? Qt::MiddleButton : Qt::RightButton;
        const QPoint to = area.center() + QPoint(amount, 0);
        r.mouse(QEvent::MouseButtonPress, area.center(), b, b);
        r.mouse(QEvent::MouseMove, area.center() + QPoint(amount / 2, 3), Qt::NoButton, b);
        r.mouse(QEvent::MouseMove, to, Qt::NoButton, b);
        r.mouse(QEvent::MouseButtonRelease, to, b, Qt::NoButton);
        shift = shift / area.width(); // pixels to a share of the window
    }
    const double moved = shift * width;
    QVERIFY(qFuzzyCompare(1 + r.chart.bottomAxis().minimum(), 1 + before[0] + moved));
    QVERIFY(qFuzzyCompare(1 + r.chart.bottomAxis().maximum(), 1 + before[1] + moved));
    QCOMPARE(r.ranges().mid(2), before.mid(2));
    QCOMPARE(zoomed.count(), 0);
    QVERIFY(!r.chart.isZoomed());
    QCOMPARE(r.chart.markersActive(), shift == 0.0);
    QTEST(button(r.nav, "previousPageButton")->isEnabled(), "previousEnabled");
    QTEST(button(r.nav, "nextPageButton")->isEnabled(), "nextEnabled");

    // The paging buttons then page from the panned window.
    QTest::mouseClick(button(r.nav, "nextPageButton"), Qt::LeftButton);
    QVERIFY(qFuzzyCompare(1 + r.chart.bottomAxis().minimum(), 1 + before[0] + moved + 1));
}

QTEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
