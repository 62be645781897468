#include <cmath>
#include <vector>

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "chart/navigation.h"
#include "chart/overviewstrip.h"
#include "chart/serieslook.h"
#include "chartfixture.h"

using veltrano::ChartView;
using veltrano::ClosedEvent;
using veltrano::EventKind;
using veltrano::NavigationBox;
using veltrano::OverviewStrip;

namespace {

// A recording from 0 to 100 minutes, voltage every half minute: 11 V and 15 V in its first
// minute, 13 V after that; events in minutes 20 to 30 (over-voltage) and 60 to 61
// (under-temperature). The strip is 402 pixels wide: its area starts at x = 1 and takes
// 4 pixels a minute, x = 1 + 4 t.
struct Fixture {
    ChartView chart;
    NavigationBox nav{&chart, [](const QString&) {}};
    OverviewStrip strip{&chart};
    Samples samples;
    std::vector<ClosedEvent> events;

    Fixture() {
        for (int i = 0; i <= 200; ++i)
            samples.voltage(float(i) / 2, i == 0 ? 11.0f : i == 1 ? 15.0f : 13.0f);
        samples.temperature(0, 20);
        events.push_back(event(EventKind::OverVoltage, 20, 10));
        events.push_back(event(EventKind::UnderTemperature, 60, 1));
        showChart(chart);
        strip.resize(402, OverviewStrip::kHeight);
        strip.show();
        nav.setEnabled(true);
    }
    static ClosedEvent event(EventKind kind, double minute, double minutes) {
        return ClosedEvent{kind, 1, 1, minute * 60, minutes * 60, 0, 0, {}};
    }
    void fillChart() {
        chart.startProcessing(1);
        chart.finishRecording(11, 15, 20, 20, 100);
        chart.endProcessing();
        chart.fill(samples.fill());
        chart.redraw();
        strip.fill(events, 60);
        QApplication::processEvents();
    }
    double min() { return chart.bottomAxis().minimum(); }
    double max() { return chart.bottomAxis().maximum(); }
    void view(double from, double to) {
        chart.bottomAxis().setMinMax(from, to);
        QApplication::processEvents();
    }
    void wheel(int x, int delta) {
        const QPointF at(x, 20);
        QWheelEvent e(at, strip.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&strip, &e);
        QApplication::processEvents();
    }
};

// The frame of a view from `from` to `to` minutes, worked out from the strip's scale.
QRect frameOf(double from, double to) {
    const int left = int(std::floor(1 + 4 * from));
    const int right = int(std::ceil(1 + 4 * to)) - 1;
    return QRect(QPoint(left, 1), QPoint(right, OverviewStrip::kHeight - 2));
}

QColor blend(QColor over, int alpha, QColor under) {
    const auto mix = [&](int a, int b) { return (a * alpha + b * (255 - alpha)) / 255; };
    return QColor(mix(over.red(), under.red()), mix(over.green(), under.green()),
                  mix(over.blue(), under.blue()));
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 &&
           std::abs(a.blue() - b.blue()) <= 3;
}

} // namespace

class OverviewStripTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }
    void emptyAndDisabledUntilAFill();
    void frameFollowsTheView_data();
    void frameFollowsTheView();
    void clickAndDragMoveTheView();
    void wheelZoomsAsOnTheChart_data();
    void wheelZoomsAsOnTheChart();
    void drawsVoltageAndEventsInTheirColours();
};

void OverviewStripTest::emptyAndDisabledUntilAFill() {
    Fixture f;
    QVERIFY(!f.strip.isEnabled());
    QVERIFY(f.strip.empty());
    QVERIFY(f.strip.viewFrame().isNull());
    QCOMPARE(f.strip.accessibleName(), QStringLiteral("Overzicht"));
    QVERIFY(!f.strip.accessibleDescription().isEmpty());
    const QImage before = f.strip.grab().toImage();
    for (int x = 1; x < 401; x += 7)
        QCOMPARE(before.pixelColor(x, 20), f.strip.palette().color(QPalette::Base));

    f.fillChart();
    QVERIFY(f.strip.isEnabled());
    QVERIFY(!f.strip.empty());

    // A new fill replaces the recording and the events: 0 to 50 minutes, no events.
    f.samples = Samples();
    for (int i = 0; i <= 100; ++i)
        f.samples.voltage(float(i) / 2, 13.0f);
    f.events.clear();
    f.fillChart();
    QCOMPARE(f.strip.timeAt(201), 25.0);
    QCOMPARE(f.strip.viewFrame(), QRect(QPoint(1, 1), QPoint(400, 38))); // the full view
    f.view(0, 1);
    const QImage after = f.strip.grab().toImage();
    // Where the over-voltage was.
    QCOMPARE(after.pixelColor(1 + 8 * 25, 3), f.strip.palette().color(QPalette::Base));

    f.strip.clear();
    QVERIFY(!f.strip.isEnabled());
    QVERIFY(f.strip.viewFrame().isNull());
}

void OverviewStripTest::frameFollowsTheView_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    // F first page, N next page, P previous page, U "Uitzoomen", G "Ga naar" 20 to 30,
    // C "Ga naar Calamiteit" 1, W a wheel notch over the chart's middle, M the middle button
    // moving the chart 50 pixels, L the last view (from and to) as go-to would set it.
    QTest::newRow("the full view after the fill") << "" << 0.0 << 100.0;
    QTest::newRow("first page") << "F" << 0.0 << 1.0;
    QTest::newRow("paged on twice") << "FNN" << 2.0 << 3.0;
    QTest::newRow("paged back") << "FNNP" << 1.0 << 2.0;
    QTest::newRow("Uitzoomen after paging") << "FNU" << 0.0 << 100.0;
    QTest::newRow("go to") << "G" << 20.0 << 30.0;
    QTest::newRow("an event") << "C" << 19.0 << 31.0;
    QTest::newRow("wheel over the chart") << "W" << qQNaN() << qQNaN();
    QTest::newRow("panned with the middle button") << "GM" << qQNaN() << qQNaN();
    QTest::newRow("a narrow view keeps three pixels") << "L" << 50.0 << 50.1;
    QTest::newRow("a view beside the recording stays at its edge") << "L" << 200.0 << 210.0;
}

void OverviewStripTest::frameFollowsTheView() {
    QFETCH(QString, steps);
    QFETCH(double, from);
    QFETCH(double, to);
    Fixture f;
    f.fillChart();
    std::array<long double, 10000> starts{}, ends{};
    starts[1] = 20;
    ends[1] = 30;
    f.nav.setEventList(starts, ends);
    f.nav.fromEdit()->setText(QStringLiteral("20"));
    f.nav.toEdit()->setText(QStringLiteral("30"));
    f.nav.eventNumberEdit()->setText(QStringLiteral("1"));
    QCustomPlot* plot = f.chart.plot();
    for (const QChar step : steps) {
        switch (step.toLatin1()) {
        case 'F':
            f.nav.showFirstPage();
            break;
        case 'N':
            f.nav.showNextPage();
            break;
        case 'P':
            f.nav.showPreviousPage();
            break;
        case 'U':
            f.nav.showFullView();
            break;
        case 'G':
            f.nav.goToRange();
            break;
        case 'C':
            f.nav.goToEvent();
            break;
        case 'W': {
            const QPointF at = plot->axisRect()->rect().center();
            QWheelEvent e(at, plot->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(plot, &e);
            break;
        }
        case 'M': {
            const QPoint at = plot->axisRect()->rect().center();
            QMouseEvent press(QEvent::MouseButtonPress, at, plot->mapToGlobal(at), Qt::MiddleButton,
                              Qt::MiddleButton, Qt::NoModifier);
            QApplication::sendEvent(plot, &press);
            QMouseEvent move(QEvent::MouseMove, at + QPoint(50, 0),
                             plot->mapToGlobal(at + QPoint(50, 0)), Qt::NoButton, Qt::MiddleButton,
                             Qt::NoModifier);
            QApplication::sendEvent(plot, &move);
            QMouseEvent release(QEvent::MouseButtonRelease, at + QPoint(50, 0),
                                plot->mapToGlobal(at + QPoint(50, 0)), Qt::MiddleButton,
                                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(plot, &release);
            break;
        }
        case 'L':
            f.view(from, to);
            break;
        }
    }
    QApplication::processEvents(); // the chart's queued drawing
    if (std::isnan(from)) {
        // Moved by the chart's own mouse handling: wherever that took the view.
        from = f.min();
        to = f.max();
        QVERIFY(from != 0.0 || to != 100.0);
    } else {
        QCOMPARE(f.min(), from);
        QCOMPARE(f.max(), to);
    }
    QRect expected = frameOf(from, to);
    if (to - from < 0.5) {
        expected = QRect(int(1 + 4 * from) - 1, 1, 3, 38);
    } else if (from > 100) {
        expected = QRect(QPoint(400, 1), QPoint(403, 38)); // one column shows, at the edge
    }
    QCOMPARE(f.strip.viewFrame(), expected);
}

void OverviewStripTest::clickAndDragMoveTheView() {
    Fixture f;
    f.fillChart();
    f.view(10, 20);
    QTest::mouseClick(&f.strip, Qt::LeftButton, {}, QPoint(201, 20)); // minute 50
    QCOMPARE(f.min(), 45.0);
    QCOMPARE(f.max(), 55.0);
    QCOMPARE(f.strip.viewFrame(), frameOf(45, 55));

    // The view follows every step of a drag.
    sendMouse(&f.strip, QEvent::MouseButtonPress, QPoint(101, 20), Qt::LeftButton); // 25
    QCOMPARE(f.min(), 20.0);
    sendMouse(&f.strip, QEvent::MouseMove, QPoint(141, 20), Qt::LeftButton); // 35
    QCOMPARE(f.min(), 30.0);
    QCOMPARE(f.max(), 40.0);
    sendMouse(&f.strip, QEvent::MouseMove, QPoint(301, 20), Qt::LeftButton);
    sendMouse(&f.strip, QEvent::MouseButtonRelease, QPoint(301, 20), Qt::NoButton); // 75
    QCOMPARE(f.min(), 70.0);
    QCOMPARE(f.max(), 80.0);
    QCOMPARE(f.strip.viewFrame(), frameOf(70, 80));
    // A move without the button pressed moves nothing.
    sendMouse(&f.strip, QEvent::MouseMove, QPoint(21, 20), Qt::NoButton);
    QCOMPARE(f.min(), 70.0);

    // The keys move the view by a tenth of its width.
    f.strip.setFocus();
    QTest::keyClick(&f.strip, Qt::Key_Right);
    QCOMPARE(f.min(), 71.0);
    QTest::keyClick(&f.strip, Qt::Key_Left);
    QTest::keyClick(&f.strip, Qt::Key_Left);
    QCOMPARE(f.min(), 69.0);
    QCOMPARE(f.max(), 79.0);
}

void OverviewStripTest::wheelZoomsAsOnTheChart_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("delta");
    QTest::addColumn<double>("newFrom");
    QTest::addColumn<double>("newTo");
    // A notch away from the user narrows the view to 0.8 of its width around the minute under
    // the mouse, towards the user widens it as much.
    QTest::newRow("in, over the middle") << 0.0 << 100.0 << 201 << 120 << 10.0 << 90.0;
    QTest::newRow("out, over the middle") << 0.0 << 100.0 << 201 << -120 << -12.5 << 112.5;
    QTest::newRow("two notches in, off the middle") << 0.0 << 100.0 << 101 << 240 << 9.0 << 73.0;
    // Beside the frame the nearer edge of the view stays where it is.
    QTest::newRow("in, right of the view") << 10.0 << 20.0 << 301 << 120 << 12.0 << 20.0;
    QTest::newRow("in, left of the view") << 10.0 << 20.0 << 5 << 120 << 10.0 << 18.0;
}

void OverviewStripTest::wheelZoomsAsOnTheChart() {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, x);
    QFETCH(int, delta);
    QFETCH(double, newFrom);
    QFETCH(double, newTo);
    Fixture f;
    f.fillChart();
    f.view(from, to);
    QSignalSpy zoomed(&f.chart, &ChartView::zoomed);
    f.wheel(x, delta);
    QCOMPARE(zoomed.count(), 1);
    QVERIFY(f.chart.isZoomed());
    QVERIFY(std::abs(f.min() - newFrom) < 1e-9);
    QVERIFY(std::abs(f.max() - newTo) < 1e-9);
    const QRect strip = f.strip.rect();
    QCOMPARE(f.strip.viewFrame().intersected(strip), frameOf(f.min(), f.max()).intersected(strip));
}

void OverviewStripTest::drawsVoltageAndEventsInTheirColours() {
    Fixture f;
    f.fillChart();
    f.view(90, 95); // the frame away from what is looked at
    const QImage image = f.strip.grab().toImage();
    const QColor base = f.strip.palette().color(QPalette::Base);
    const auto& look = veltrano::kSeriesLook;
    // Near the top, above the voltage line.
    QVERIFY(near(image.pixelColor(1 + 4 * 25, 3), blend(look[2].colour, 110, base)));
    QVERIFY(near(image.pixelColor(1 + 4 * 60, 3), blend(look[5].colour, 110, base)));
    QCOMPARE(image.pixelColor(1 + 4 * 40, 3), base);
    // 13 V, a half of the way up from 11 V to 15 V.
    int red = -1;
    for (int y = 1; y < 39; ++y) {
        if (image.pixelColor(1 + 4 * 40, y) == look[0].colour)
            red = y;
    }
    QVERIFY(std::abs(red - 19) <= 1);
    // 11 V at minute 0 at the foot, 15 V at minute 0.5 at the top.
    QCOMPARE(image.pixelColor(1, 38), look[0].colour);
    QCOMPARE(image.pixelColor(3, 1), look[0].colour);
}

QTEST_MAIN(OverviewStripTest)
#include "tst_overviewstrip.moc"
