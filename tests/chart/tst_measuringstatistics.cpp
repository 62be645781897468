#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "analysis/rangestatistics.h"
#include "chart/measuringstatistics.h"
#include "chart/paperchart.h"
#include "chartfixture.h"
#include "processingfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {

// Voltage every minute from minute 0: 12, 13, 13, 11, then 12 up to minute 9; temperature every
// minute from minute 0: 20, 36, -1, 20. Limits 12.6 and 12 V, 35 and 0 °C.
ImageBuilder tenMinutes() {
    ImageBuilder b = minuteRecording();
    b.voltage(12).voltage(13, 2).voltage(11).voltage(12, 6);
    b.temperature(36).temperature(-1).temperature(20);
    return b.done();
}

// The chart with the run and the label under it, as the window places them.
struct Fixture {
    ProcessedImage run = process(tenMinutes(), dutchSettings(1));
    QWidget window;
    ChartView* chart = new ChartView(&window);
    MeasuringStatistics* statistics = new MeasuringStatistics(chart, &window);

    Fixture() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(chart);
        layout->addWidget(statistics);
        window.resize(900, 600);
        window.show();
        chart->startProcessing(1);
        chart->finishRecording(11, 13, -1, 36, 9);
        chart->endProcessing();
        chart->fill(runFill(*run));
        chart->redraw();
        QApplication::processEvents();
        statistics->setIndex(buildRangeStatistics(*run));
    }
};

// Two samples above 12.6 V and one below 12 V, a minute each; one above 35 °C, one below 0 °C.
const QString kBetweenOneAndFour = QStringLiteral(
    "3 minuten  Spanning: 4 metingen, min 11,00, max 13,00, gem. 12,25 V, boven 0,03 u, "
    "onder 0,02 u\n"
    "3 m 0 s  Temperatuur: 3 metingen, min -1,00, max 36,00, gem. 18,33 °C, boven 0,02 u, "
    "onder 0,02 u");

} // namespace

class MeasuringStatisticsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(dutch()); }
    void textBetweenTheLines_data();
    void textBetweenTheLines();
    void shownWithTheMarkersAndFollowsADrag();
    void followsTheUnit();
};

void MeasuringStatisticsTest::textBetweenTheLines_data() {
    QTest::addColumn<double>("line1");
    QTest::addColumn<double>("line2");
    QTest::addColumn<bool>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("lines on samples") << 4.0 << 1.0 << true << kBetweenOneAndFour;
    QTest::newRow("lines swapped") << 1.0 << 4.0 << true << kBetweenOneAndFour;
    QTest::newRow("no sample between the lines")
        << 4.25 << 4.75 << true
        << "0,5 minuten  Spanning: geen metingen\n30 s  Temperatuur: geen metingen";
    QTest::newRow("before a run's index") << 4.0 << 1.0 << false << "3 minuten\n3 m 0 s";
}

void MeasuringStatisticsTest::textBetweenTheLines() {
    QFETCH(double, line1);
    QFETCH(double, line2);
    QFETCH(bool, index);
    QFETCH(QString, text);
    Fixture f;
    if (!index)
        f.statistics->clearIndex();
    f.chart->markersCheckBox()->setChecked(true);
    f.chart->setMeasuringLine(1, line1);
    f.chart->setMeasuringLine(2, line2);
    QCOMPARE(f.statistics->text(), text);
    QCOMPARE(f.statistics->accessibleName(), QStringLiteral("Meetlijnen"));
}

void MeasuringStatisticsTest::shownWithTheMarkersAndFollowsADrag() {
    Fixture f;
    QVERIFY(!f.statistics->isVisible());
    f.chart->markersCheckBox()->setChecked(true);
    QVERIFY(f.statistics->isVisible());
    // Placed a tenth of the view from either end: minutes 0.9 and 8.1.
    QVERIFY(f.statistics->text().startsWith(QStringLiteral("7,2 minuten")));
    QVERIFY(f.statistics->text().contains(QStringLiteral("Spanning: 8 metingen")));
    f.chart->redraw();
    QApplication::processEvents();

    // Line 2 (at minute 0.9) dragged to the right: the text follows before the release.
    QCustomPlot* plot = f.chart->plot();
    const QPoint from = pixelOf(*f.chart, f.chart->measuringLine(2), 12);
    const QPoint to = pixelOf(*f.chart, 5.5, 12);
    sendMouse(plot, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(plot, QEvent::MouseMove, to, Qt::LeftButton);
    const QString during = f.statistics->text();
    QVERIFY2(during.contains(QStringLiteral("Spanning: 3 metingen")), qPrintable(during));
    sendMouse(plot, QEvent::MouseButtonRelease, to, Qt::NoButton);
    QCOMPARE(f.statistics->text(), during);

    f.chart->markersCheckBox()->setChecked(false);
    QVERIFY(!f.statistics->isVisible());
}

// The time is read in the chart's unit, as its readout does.
void MeasuringStatisticsTest::followsTheUnit() {
    Fixture f;
    f.chart->markersCheckBox()->setChecked(true);
    f.chart->setMeasuringLine(1, 4);
    f.chart->setMeasuringLine(2, 1);
    QSignalSpy moved(f.chart, &ChartView::measuringLinesMoved);
    f.chart->setUnit(2);
    QCOMPARE(moved.count(), 1);
    QVERIFY(f.statistics->text().startsWith(QStringLiteral("3 uren  ")));
    QVERIFY(f.statistics->text().contains(QStringLiteral("\n3 u 0 m 0 s  ")));
}

QTEST_MAIN(MeasuringStatisticsTest)
#include "tst_measuringstatistics.moc"
