#include <QLocale>
#include <QPainter>
#include <QPicture>
#include <QTest>
#include <qcustomplot.h>

#include "chart/bandchart.h"

using namespace veltrano;

namespace {

// Bands 12.2–12.3 (1 h), 12.3–12.4 (empty) and 12.4–12.5 (3 h), with the time around limits
// 12.0 and 12.45.
BandTable voltageBands() {
    BandTable t = BandTable::ofWidth(10);
    t.firstBand = 122;
    t.bands = {{60, 3600}, {0, 0}, {180, 10800}};
    t.secondsAbove = 3600;
    t.secondsBetween = 10800;
    return t;
}

} // namespace

class BandChartTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }

    // One bar per band at its middle, as high as its hours; the limits as lines; the
    // figures under it.
    void barsLinesAndFigures() {
        BandChart chart(BandChart::Voltage);
        chart.show(voltageBands(), 12.0, 12.45);
        auto* bars = qobject_cast<QCPBars*>(chart.plot()->plottable(0));
        QVERIFY(bars);
        QCOMPARE(bars->data()->size(), 3);
        const double keys[] = {12.25, 12.35, 12.45}, hours[] = {1, 0, 3};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(qAbs(bars->data()->at(i)->key - keys[i]) < 1e-9);
            QCOMPARE(bars->data()->at(i)->value, hours[i]);
        }
        QCOMPARE(chart.plot()->itemCount(), 2);
        for (int i = 0; i < 2; ++i) {
            auto* line = qobject_cast<QCPItemStraightLine*>(chart.plot()->item(i));
            QVERIFY(line->visible());
            QCOMPARE(line->point1->coords().x(), i == 0 ? 12.0 : 12.45);
        }
        // Both limits and all bands in view.
        QVERIFY(chart.plot()->xAxis->range().lower < 12.0);
        QVERIFY(chart.plot()->xAxis->range().upper > 12.5);
        QCOMPARE(chart.figures(), QString("Boven 12,45 V: 1,0 uur (25,0 %)   Tussen de grenzen: "
                                          "3,0 uur (75,0 %)   Onder 12,00 V: 0,0 uur (0,0 %)"));

        // A run without samples of the quantity leaves the chart empty.
        chart.show(BandTable::ofWidth(10), 12.0, 12.45);
        QCOMPARE(bars->data()->size(), 0);
        QVERIFY(!chart.plot()->item(0)->visible());
        QVERIFY(chart.figures().isEmpty());
    }

    // On paper the chart and its figures fill the size they are laid out at, and no more.
    void recordsItsSize() {
        BandChart chart(BandChart::Temperature);
        BandTable bands = BandTable::ofWidth(100);
        bands.firstBand = -1;
        bands.bands = {{10, 3600}, {30, 7200}};
        bands.secondsBetween = 10800;
        chart.show(bands, -5, 35);
        QPicture picture;
        chart.record(picture, QSize(800, 300));
        const QRect drawn = picture.boundingRect();
        QVERIFY(QRect(0, 0, 801, 301).contains(drawn));
        QVERIFY(drawn.width() > 700);
        QVERIFY(drawn.height() > 250);
    }
};

QTEST_MAIN(BandChartTest)
#include "tst_bandchart.moc"
