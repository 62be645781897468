#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <random>

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "analysis/numbers.h"
#include "chartfixture.h"

using veltrano::ChartView;

class ChartViewTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }
    void designTexts();
    void fillDrawsLimitsOverTheirSeries_data();
    void fillDrawsLimitsOverTheirSeries();
    void bottomFullViewFromTheRun_data();
    void bottomFullViewFromTheRun();
    void automaticBottomFollowsShownSeries();
    void beginPointLinesFollowTheView_data();
    void beginPointLinesFollowTheView();
    void mouseZoomAndUndo_data();
    void mouseZoomAndUndo();
    void measuringLinesAndReadout_data();
    void measuringLinesAndReadout();
    void draggingALineWithTheMouse();
    void clickShowsValueOfSpike();
    void extremeValuesReachThePlotEdges();
    void drawingLooksLikeEveryPoint_data();
    void drawingLooksLikeEveryPoint();
    void hoverHighlightsOneSeries_data();
    void hoverHighlightsOneSeries();
};

namespace {

// Collects the regions the widget is asked to paint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* w) { w->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(e)->region();
        }
        return false;
    }
};

} // namespace

void ChartViewTest::designTexts() {
    ChartView chart;
    const QStringList titles{"Spanning",      "Temperatuur",     "Overspanning",
                             "Onderspanning", "Overtemperatuur", "Ondertemperatuur"};
    for (int s = 0; s < ChartView::SeriesCount; ++s) {
        QCOMPARE(chart.legendCheckBox(ChartView::Series(s))->text(), titles[s]);
    }
    QCOMPARE(chart.axisTitle(ChartView::Axis::Left), QStringLiteral("Spanning (V)"));
    QCOMPARE(chart.axisTitle(ChartView::Axis::Right), QStringLiteral("temperatuur (°C)"));
    QCOMPARE(chart.axisTitle(ChartView::Axis::Bottom), QString());
    chart.startProcessing(2);
    QCOMPARE(chart.axisTitle(ChartView::Axis::Bottom), QStringLiteral("uren"));
    QCOMPARE(chart.markersCheckBox()->text(), QStringLiteral("Markers"));
    QVERIFY(chart.lineDistance().isEmpty());
}

void ChartViewTest::fillDrawsLimitsOverTheirSeries_data() {
    QTest::addColumn<int>("voltages");
    QTest::addColumn<int>("temperatures");
    QTest::newRow("both series") << 5 << 3;
    QTest::newRow("voltage only: no temperature limits") << 5 << 0;
    QTest::newRow("no voltage: no limits, earlier full view kept") << 0 << 3;
}

void ChartViewTest::fillDrawsLimitsOverTheirSeries() {
    QFETCH(int, voltages);
    QFETCH(int, temperatures);
    ChartView chart;
    Samples earlier;
    earlier.voltage(0, 12);
    earlier.temperature(0, 20);
    chart.finishRecording(10, 14, 15, 25, 0); // vertical axes 8..16 and 13..27
    chart.fill(earlier.fill());

    Samples s;
    for (int i = 0; i < voltages; ++i) {
        s.voltage(2.0f + i, 12.5f); // 2 .. voltages + 1
    }
    for (int i = 0; i < temperatures; ++i) {
        s.temperature(1.5f + 2 * i, 20.0f); // 1.5 .. 2 * temperatures - 0.5
    }
    chart.startProcessing(1);
    chart.finishRecording(11, 13, 18, 22, voltages + 1.0);
    chart.endProcessing();
    chart.fill(s.fill(14.4, 11.8, 30, -5));

    using P = std::vector<std::pair<double, double>>;
    const double vLast = voltages + 1.0, tLast = 2.0 * temperatures - 0.5;
    const P over = voltages ? P{{2.0, 14.4}, {vLast, 14.4}} : P{};
    const P under = voltages ? P{{2.0, 11.8}, {vLast, 11.8}} : P{};
    const bool tempLines = voltages && temperatures;
    const P hot = tempLines ? P{{1.5, 30}, {tLast, 30}} : P{};
    const P cold = tempLines ? P{{1.5, -5}, {tLast, -5}} : P{};
    QCOMPARE(chart.thresholdLine(ChartView::OverVoltageLimit), over);
    QCOMPARE(chart.thresholdLine(ChartView::UnderVoltageLimit), under);
    QCOMPARE(chart.thresholdLine(ChartView::OverTemperatureLimit), hot);
    QCOMPARE(chart.thresholdLine(ChartView::UnderTemperatureLimit), cold);
    QCOMPARE(chart.envelope(ChartView::Voltage).size(), std::size_t(voltages));
    QCOMPARE(chart.envelope(ChartView::Temperature).size(), std::size_t(temperatures));

    const auto& fv = chart.fullView();
    QCOMPARE(fv.voltageMin, voltages ? 9.0 : 8.0);
    QCOMPARE(fv.voltageMax, voltages ? 15.0 : 16.0);
    QCOMPARE(fv.temperatureMin, voltages ? 16.0 : 13.0);
    QCOMPARE(fv.temperatureMax, voltages ? 24.0 : 27.0);
}

void ChartViewTest::bottomFullViewFromTheRun_data() {
    QTest::addColumn<float>("voltageFrom");
    QTest::addColumn<float>("temperatureFrom"); // negative: no temperature samples
    QTest::addColumn<double>("bottomaxismin");
    QTest::newRow("voltage first") << 2.5f << 3.0f << 2.5;
    QTest::newRow("temperature first") << 2.5f << 1.25f << 1.25;
    QTest::newRow("no temperature") << 2.5f << -1.0f << 2.5;
}

// The full view starts at the run's first sample, taken from the data of the fill, and ends
// at the last voltage time of the recording's end.
void ChartViewTest::bottomFullViewFromTheRun() {
    QFETCH(float, voltageFrom);
    QFETCH(float, temperatureFrom);
    ChartView chart;
    showChart(chart);
    Samples s;
    s.voltage(voltageFrom, 12);
    s.voltage(40, 12);
    if (temperatureFrom >= 0) {
        s.temperature(temperatureFrom, 20);
        s.temperature(30, 20);
    }
    for (int run = 0; run < 2; ++run) { // the second run starts from an unzoomed view
        chart.startProcessing(1);
        chart.finishRecording(11, 13, 0, 0, 55.0);
        chart.endProcessing();
        chart.fill(s.fill());
        chart.redraw();
        QTEST(chart.fullView().timeMin, "bottomaxismin");
        QCOMPARE(chart.fullView().timeMax, 55.0);
    }
}

void ChartViewTest::automaticBottomFollowsShownSeries() {
    ChartView chart;
    showChart(chart);
    Samples s;
    s.voltage(5, 12);
    s.voltage(50, 13);
    s.temperature(1, 20);
    s.temperature(80, 21);
    chart.fill(s.fill());
    chart.redraw();
    QCOMPARE(chart.bottomAxis().minimum(), 1.0);
    QCOMPARE(chart.bottomAxis().maximum(), 80.0);
    for (auto series : {ChartView::Temperature, ChartView::OverTemperatureLimit,
                        ChartView::UnderTemperatureLimit}) {
        chart.legendCheckBox(series)->setChecked(false);
    }
    chart.redraw();
    QCOMPARE(chart.bottomAxis().minimum(), 5.0);
    QCOMPARE(chart.bottomAxis().maximum(), 50.0);
    QVERIFY(!chart.seriesShown(ChartView::Temperature));
    // A fixed end stays where it was put.
    QVERIFY(chart.bottomAxis().setMaximum(30));
    chart.bottomAxis().setAutomaticMaximum(false);
    chart.redraw();
    QCOMPARE(chart.bottomAxis().maximum(), 30.0);
}

void ChartViewTest::beginPointLinesFollowTheView_data() {
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<QList<double>>("linesAt");
    // Begin points at 120 s and 300 s; unused entries hold 0.
    QTest::newRow("minutes") << 1 << 0.5 << 10.0 << QList<double>{2.0, 5.0};
    QTest::newRow("minutes, paged past the first") << 1 << 3.0 << 4.0 << QList<double>{};
    QTest::newRow("minutes, time 0 in view") << 1 << -1.0 << 4.0 << QList<double>{0.0, 2.0};
    QTest::newRow("seconds") << 0 << 100.0 << 400.0 << QList<double>{120.0, 300.0};
    QTest::newRow("hours") << 2 << 0.05 << 0.1 << QList<double>{300 / 3600.0};
}

void ChartViewTest::beginPointLinesFollowTheView() {
    QFETCH(int, unit);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(QList<double>, linesAt);
    ChartView chart;
    chart.legendCheckBox(ChartView::Voltage)->setChecked(false);
    showChart(chart);
    Samples s;
    s.voltage(0, 12);
    s.begins[0] = 120;
    s.begins[1] = 300;
    chart.startProcessing(unit);
    chart.fill(s.fill());
    chart.bottomAxis().setMinMax(from, to);
    chart.leftAxis().setMinMax(0, 20);
    chart.redraw();

    const QImage image = chart.plot()->toPixmap().toImage();
    const QRect area = chart.plot()->axisRect()->rect();
    QList<int> expected;
    for (double x : linesAt) {
        expected << int(std::lround(chart.plot()->xAxis->coordToPixel(x)));
    }
    QList<int> found;
    // Look a little below the top so that labels of nothing else interfere.
    const int y = area.top() + area.height() / 3;
    // The axis lines at both edges are black too.
    for (int x = area.left() + 2; x <= area.right() - 2; ++x) {
        if (image.pixelColor(x, y) == QColor(0, 0, 0)) {
            found << x;
        }
    }
    QCOMPARE(found, expected);
}

void ChartViewTest::mouseZoomAndUndo_data() {
    QTest::addColumn<QPoint>("move");
    QTest::addColumn<bool>("zooms");
    QTest::newRow("towards lower right") << QPoint(200, 120) << true;
    QTest::newRow("just big enough") << QPoint(16, 16) << true;
    QTest::newRow("too narrow") << QPoint(15, 200) << false;
    QTest::newRow("too flat") << QPoint(200, 15) << false;
    QTest::newRow("towards lower left") << QPoint(-200, 120) << false;
}

void ChartViewTest::mouseZoomAndUndo() {
    QFETCH(QPoint, move);
    QFETCH(bool, zooms);
    ChartView chart;
    showChart(chart);
    Samples s;
    for (int i = 0; i <= 100; ++i) {
        s.voltage(float(i), 12.0f + (i % 7) * 0.1f);
    }
    chart.fill(s.fill());
    chart.leftAxis().setMinMax(10, 15);
    chart.rightAxis().setMinMax(0, 40);
    chart.redraw();
    QCOMPARE(chart.bottomAxis().maximum(), 100.0);
    QSignalSpy zoomed(&chart, &ChartView::zoomed);
    QSignalSpy undone(&chart, &ChartView::zoomUndone);

    QCustomPlot* p = chart.plot();
    const QPoint from = pixelOf(chart, 20, 14);
    const QPoint to = from + move;
    drag(p, from, to);
    QCOMPARE(zoomed.count(), zooms ? 1 : 0);
    if (!zooms) {
        QCOMPARE(chart.bottomAxis().minimum(), 0.0);
        QCOMPARE(chart.leftAxis().maximum(), 15.0);
        return;
    }
    const double x0 = p->xAxis->pixelToCoord(from.x()), x1 = p->xAxis->pixelToCoord(to.x());
    QCOMPARE(chart.bottomAxis().minimum(), x0);
    QCOMPARE(chart.bottomAxis().maximum(), x1);
    QCOMPARE(chart.leftAxis().minimum(), p->yAxis->pixelToCoord(to.y()));
    QCOMPARE(chart.leftAxis().maximum(), p->yAxis->pixelToCoord(from.y()));
    QCOMPARE(chart.rightAxis().maximum(), p->yAxis2->pixelToCoord(from.y()));
    QVERIFY(!chart.bottomAxis().automaticMinimum());
    QVERIFY(qFuzzyCompare(chart.measuringLine(1), x1 - 0.1 * (x1 - x0)));
    QVERIFY(qFuzzyCompare(chart.measuringLine(2), x0 + 0.1 * (x1 - x0)));

    // A second zoom inside the first, then one drag back undoes both.
    chart.redraw();
    drag(p, from + QPoint(10, 10), from + QPoint(60, 60));
    QCOMPARE(zoomed.count(), 2);
    chart.redraw();
    drag(p, from + QPoint(60, 60), from + QPoint(10, 10));
    QCOMPARE(undone.count(), 1);
    QCOMPARE(chart.bottomAxis().minimum(), 0.0);
    QCOMPARE(chart.bottomAxis().maximum(), 100.0);
    QVERIFY(chart.bottomAxis().automaticMinimum() && chart.bottomAxis().automaticMaximum());
    QCOMPARE(chart.leftAxis().minimum(), 10.0);
    QCOMPARE(chart.leftAxis().maximum(), 15.0);
    QVERIFY(!chart.leftAxis().automaticMaximum());
    QCOMPARE(chart.rightAxis().maximum(), 40.0);
    QVERIFY(qFuzzyCompare(chart.measuringLine(1), 90.0));
    QVERIFY(qFuzzyCompare(chart.measuringLine(2), 10.0));
    QVERIFY(!chart.markersActive()); // zooming never shows the lines
}

void ChartViewTest::measuringLinesAndReadout_data() {
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("line1");
    QTest::addColumn<double>("line2");
    QTest::addColumn<QString>("readout");
    QTest::newRow("minutes") << 1 << 2.5 << 10.0 << "7,5 minuten";
    QTest::newRow("order does not matter") << 1 << 10.0 << 2.5 << "7,5 minuten";
    QTest::newRow("tie rounds to even") << 0 << 0.0 << 0.125 << "0,12 seconden";
    QTest::newRow("tie rounds to even, up") << 0 << 0.0 << 0.375 << "0,38 seconden";
    QTest::newRow("no grouping") << 3 << 100.0 << 1334.567 << "1234,57 dagen";
    QTest::newRow("equal lines") << 4 << 3.0 << 3.0 << "0 weken";
    QTest::newRow("whole number") << 2 << -1.0 << 1.0 << "2 uren";
}

void ChartViewTest::measuringLinesAndReadout() {
    QFETCH(int, unit);
    QFETCH(double, line1);
    QFETCH(double, line2);
    ChartView chart;
    chart.setUnit(unit);
    chart.bottomAxis().setMinMax(10, 30);
    chart.markersCheckBox()->setChecked(true);
    QVERIFY(chart.markersActive());
    QCOMPARE(chart.measuringLine(1), 28.0);
    QCOMPARE(chart.measuringLine(2), 12.0);
    QCOMPARE(chart.lineLabel(1), QStringLiteral("28"));

    chart.setMeasuringLine(1, line1);
    chart.setMeasuringLine(2, line2);
    QVERIFY(chart.lineLabelsVisible());
    QTEST(chart.lineDistance(), "readout");

    chart.uncheckMarkers();
    QVERIFY(!chart.markersActive());
    QVERIFY(!chart.lineLabelsVisible());
    QTEST(chart.lineDistance(), "readout"); // kept until the next drag ends
}

void ChartViewTest::draggingALineWithTheMouse() {
    ChartView chart;
    showChart(chart);
    chart.bottomAxis().setMinMax(0, 10);
    chart.leftAxis().setMinMax(0, 10);
    chart.markersCheckBox()->setChecked(true); // lines at 9 and 1
    chart.redraw();
    QCustomPlot* p = chart.plot();
    const QPoint at = pixelOf(chart, 9, 5);
    const QPoint to = pixelOf(chart, 6.5, 5);
    sendMouse(p, QEvent::MouseButtonPress, at, Qt::LeftButton);
    QVERIFY(!chart.lineLabelsVisible());
    sendMouse(p, QEvent::MouseMove, to, Qt::LeftButton);
    sendMouse(p, QEvent::MouseButtonRelease, to, Qt::NoButton);
    QVERIFY(chart.lineLabelsVisible());
    QCOMPARE(chart.measuringLine(1), p->xAxis->pixelToCoord(to.x()));
    QCOMPARE(chart.measuringLine(2), 1.0);
    QVERIFY(!chart.isZoomed()); // the drag moved the line, it did not zoom
    const QString expected = veltrano::formatMeasured(chart.measuringLine(1) - 1.0, QLocale());
    QCOMPARE(chart.lineDistance(), expected + QStringLiteral(" minuten"));
    QVERIFY(chart.lineDistance().startsWith(QStringLiteral("5,")));

    // Dragged past the plot's edge, a line stops at the edge of the visible range.
    chart.redraw();
    drag(p, pixelOf(chart, 1, 5), QPoint(1, pixelOf(chart, 1, 5).y()));
    QCOMPARE(chart.measuringLine(2), 0.0);
}

void ChartViewTest::clickShowsValueOfSpike() {
    ChartView chart;
    showChart(chart);
    Samples s;
    for (int i = 0; i < 20000; ++i) {
        s.voltage(i / 1000.0f, i == 12345 ? 16.25f : 12.5f);
    }
    chart.fill(s.fill());
    chart.leftAxis().setMinMax(10, 17);
    chart.redraw();
    const QPoint spike = pixelOf(chart, 12.345, 16.25);
    QCOMPARE(chart.valueAt(spike + QPoint(0, 2)), std::optional<double>(16.25));
    QCOMPARE(chart.valueAt(pixelOf(chart, 5, 16.25)), std::optional<double>());

    sendMouse(chart.plot(), QEvent::MouseButtonPress, spike, Qt::LeftButton);
    sendMouse(chart.plot(), QEvent::MouseButtonRelease, spike, Qt::NoButton);
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("16,25"));
}

void ChartViewTest::extremeValuesReachThePlotEdges() {
    ChartView chart;
    showChart(chart);
    Samples s;
    const float values[] = {12, 1e30f, 12, -1e30f, 12, 12};
    for (int i = 0; i < 6; ++i) {
        s.voltage(float(i + 1), values[i]);
    }
    for (int i = 6; i < 100000; ++i) { // and a dense stretch, drawn as pixel columns
        s.voltage(7 + i * 1e-5f, i % 100 ? 12.0f : 3e38f);
    }
    chart.fill(s.fill());
    chart.bottomAxis().setMinMax(0, 8);
    chart.leftAxis().setMinMax(11, 13);
    chart.redraw();
    const QImage image = chart.plot()->toPixmap().toImage();
    const QRect area = chart.plot()->axisRect()->rect();
    auto px = [&](double t) { return int(chart.plot()->xAxis->coordToPixel(t)); };
    auto redIn = [&](int x0, int x1, int y) {
        for (int x = x0; x <= x1; ++x) {
            if (image.pixelColor(x, y) == QColor(255, 0, 0)) {
                return true;
            }
        }
        return false;
    };
    const int top = area.top() + 1, bottom = area.bottom() - 1;
    const int middle = int(chart.plot()->yAxis->coordToPixel(12.5));
    QVERIFY(redIn(px(1), px(3), top));    // up to 1e30 and back
    QVERIFY(redIn(px(3), px(5), bottom)); // down to -1e30 and back
    QVERIFY(redIn(px(7.5), px(7.5), top));
    QVERIFY(redIn(px(7.5), px(7.5), middle));
}

void ChartViewTest::drawingLooksLikeEveryPoint_data() {
    QTest::addColumn<int>("samples");
    QTest::addColumn<double>("from"); // view, in sample times
    QTest::addColumn<double>("to");
    QTest::newRow("dense, full view") << 200000 << 0.0 << 200000.0;
    QTest::newRow("dense, zoomed") << 200000 << 51234.5 << 58000.0;
    QTest::newRow("a few per column") << 2000 << 0.0 << 2000.0;
    QTest::newRow("raw samples") << 300 << 10.0 << 290.0;
}

// Per pixel column of the plot area: the rows painted red, as top and bottom.
static std::map<int, std::pair<int, int>> redRows(const QImage& image, const QRect& area) {
    std::map<int, std::pair<int, int>> rows;
    // The axis lines cover the outermost columns.
    for (int x = area.left() + 1; x < area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (image.pixelColor(x, y) == QColor(255, 0, 0)) {
                auto [it, fresh] = rows.try_emplace(x, y, y);
                it->second.second = y;
            }
        }
    }
    return rows;
}

void ChartViewTest::drawingLooksLikeEveryPoint() {
    QFETCH(int, samples);
    QFETCH(double, from);
    QFETCH(double, to);
    Samples s;
    std::mt19937 rng(samples);
    std::normal_distribution<float> noise(0, 0.05f);
    float v = 12.5f;
    for (int i = 0; i < samples; ++i) {
        v = std::clamp(v + noise(rng), 11.0f, 14.0f);
        s.voltage(float(i), i % 4999 == 7 ? 16.0f : i % 7919 == 3 ? 9.5f : v);
    }
    ChartView chart;
    for (int k = ChartView::Temperature; k < ChartView::SeriesCount; ++k) {
        chart.legendCheckBox(ChartView::Series(k))->setChecked(false);
    }
    showChart(chart);
    chart.fill(s.fill());
    chart.bottomAxis().setMinMax(from, to);
    chart.leftAxis().setMinMax(9, 17);
    chart.redraw();
    QCustomPlot* p = chart.plot();
    const QImage ours = p->toPixmap().toImage();
    const QRect area = p->axisRect()->rect();

    // Every point, drawn as one plain line over the same pixel mapping.
    QImage every(ours.size(), QImage::Format_RGB32);
    every.fill(Qt::white);
    {
        QPainter painter(&every);
        painter.setClipRect(area);
        painter.setPen(QPen(QColor(255, 0, 0), 0));
        QPolygonF line;
        for (std::size_t i = 1; i < s.vt.size(); ++i) {
            line << QPointF(p->xAxis->coordToPixel(s.vt[i]), p->yAxis->coordToPixel(s.vv[i]));
        }
        painter.drawPolyline(line);
    }
    // The rasteriser may put a stray pixel of a steep step into the neighbouring column,
    // so each column is compared with its neighbours, one pixel either way.
    const auto drawn = redRows(ours, area);
    const auto expected = redRows(every, area);
    auto covered = [](const auto& rows, const auto& by) {
        int missing = 0;
        for (const auto& [x, r] : rows) {
            int top = INT_MAX, bottom = INT_MIN;
            for (int n = x - 1; n <= x + 1; ++n) {
                if (const auto it = by.find(n); it != by.end()) {
                    top = std::min(top, it->second.first);
                    bottom = std::max(bottom, it->second.second);
                }
            }
            if (r.first < top - 1 || r.second > bottom + 1) {
                qWarning() << "column" << x << "rows" << r.first << r.second << "against" << top
                           << bottom;
                ++missing;
            }
        }
        return missing;
    };
    QCOMPARE(covered(expected, drawn), 0); // nothing lost
    QCOMPARE(covered(drawn, expected), 0); // nothing added
    QVERIFY(drawn.size() + 2 >= expected.size() && drawn.size() <= expected.size() + 2);
}

void ChartViewTest::hoverHighlightsOneSeries_data() {
    QTest::addColumn<int>("series");
    QTest::addColumn<double>("time");
    QTest::newRow("Spanning") << int(ChartView::Voltage) << 30.0;
    QTest::newRow("Temperatuur") << int(ChartView::Temperature) << 60.0;
    QTest::newRow("Overspanning") << int(ChartView::OverVoltageLimit) << 70.0;
    QTest::newRow("Ondertemperatuur") << int(ChartView::UnderTemperatureLimit) << 80.0;
}

// Entering a series lights it and its legend entry and nothing else, by repainting only
// around it; leaving it puts back the very same picture. A hidden series is never lit.
void ChartViewTest::hoverHighlightsOneSeries() {
    QFETCH(int, series);
    QFETCH(double, time);
    ChartView chart;
    showChart(chart);
    Samples s;
    auto voltage = [](double t) { return 13.0 + 0.5 * std::sin(t / 5); };
    for (int i = 0; i <= 10000; ++i) {
        s.voltage(i / 100.0f, float(voltage(i / 100.0)));
    }
    for (int i = 0; i <= 100; ++i) {
        s.temperature(float(i), 20);
    }
    chart.fill(s.fill(14.4, 11.5, 35, 5));
    chart.leftAxis().setMinMax(10, 16);
    chart.rightAxis().setMinMax(0, 40);
    QCustomPlot* p = chart.plot();
    // Tick marks would hide the series' own pixels next to the axes.
    for (QCPAxis* axis : p->axisRect()->axes()) {
        axis->setTickLength(0, 0);
        axis->setSubTickLength(0, 0);
    }
    chart.redraw();
    QApplication::processEvents();

    const double values[] = {voltage(time), 20, 14.4, 11.5, 35, 5};
    QCPAxis* valueAxis = series == 0 || series == 2 || series == 3 ? p->yAxis : p->yAxis2;
    const QPoint on(int(std::lround(p->xAxis->coordToPixel(time))),
                    int(std::lround(valueAxis->coordToPixel(values[series]))) + 2);
    const QPoint away = pixelOf(chart, 50, 15.7);
    const QColor colour = chart.legendCheckBox(ChartView::Series(series))
                              ->icon()
                              .pixmap(18, 10)
                              .toImage()
                              .pixelColor(9, 5);
    const QImage plain = p->grab().toImage();
    QSignalSpy replots(p, &QCustomPlot::afterReplot);
    PaintRecorder recorder(p);

    sendMouse(p, QEvent::MouseMove, on, Qt::NoButton);
    QApplication::processEvents();
    QCOMPARE(chart.highlighted(), std::optional<ChartView::Series>(ChartView::Series(series)));
    for (int k = 0; k < ChartView::SeriesCount; ++k) {
        QCOMPARE(chart.legendHighlighted(ChartView::Series(k)), k == series);
    }
    const QRegion painted = recorder.painted;
    const QImage lit = p->grab().toImage();
    QCOMPARE(lit.size(), plain.size());
    auto nearColour = [&](const QImage& image, int x, int y, int reach) {
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                if (image.rect().contains(x + dx, y + dy) &&
                    image.pixelColor(x + dx, y + dy) == colour) {
                    return true;
                }
            }
        }
        return false;
    };
    QRect changed;
    for (int y = 0; y < lit.height(); ++y) {
        for (int x = 0; x < lit.width(); ++x) {
            if (lit.pixel(x, y) != plain.pixel(x, y)) {
                QVERIFY2(lit.pixelColor(x, y) == colour && nearColour(plain, x, y, 2),
                         qPrintable(QString("pixel %1, %2").arg(x).arg(y)));
                changed |= QRect(x, y, 1, 1);
            }
        }
    }
    QVERIFY(!changed.isEmpty());
    QVERIFY2(changed.adjusted(-4, -4, 4, 4).contains(painted.boundingRect()),
             qPrintable(QString("painted %1 x %2")
                            .arg(painted.boundingRect().width())
                            .arg(painted.boundingRect().height())));
    QCOMPARE(replots.count(), 0); // the chart itself is not drawn again

    sendMouse(p, QEvent::MouseMove, away, Qt::NoButton);
    QApplication::processEvents();
    QCOMPARE(chart.highlighted(), std::optional<ChartView::Series>());
    for (int k = 0; k < ChartView::SeriesCount; ++k) {
        QVERIFY(!chart.legendHighlighted(ChartView::Series(k)));
    }
    QVERIFY(p->grab().toImage() == plain);

    // Hiding a lit series takes its highlight away; hidden, it is not hit.
    sendMouse(p, QEvent::MouseMove, on, Qt::NoButton);
    QVERIFY(chart.highlighted());
    chart.legendCheckBox(ChartView::Series(series))->setChecked(false);
    QCOMPARE(chart.highlighted(), std::optional<ChartView::Series>());
    chart.redraw();
    sendMouse(p, QEvent::MouseMove, on, Qt::NoButton);
    QCOMPARE(chart.highlighted(), std::optional<ChartView::Series>());
}

QTEST_MAIN(ChartViewTest)
#include "tst_chartview.moc"
