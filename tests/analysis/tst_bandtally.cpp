#include <cmath>
#include <map>
#include <tuple>

#include <QTest>

#include "analysis/bandtally.h"
#include "processingfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
// Over-voltage, under-voltage, over- and under-temperature on and around the start limits
// (12.6 V, 12 V, 35 and 0 degrees): a sample of 12.60 lies above 12.6, for the float 12.6f is
// a little more than 12.6, and the event detection compares exactly.
ImageBuilder aroundTheLimits() {
    ImageBuilder b = minuteRecording();
    for (const double v : {12.5, 12.6, 12.7, 12.6, 12.5, 12.0, 11.9, 12.0, 12.1, 12.6, 12.3})
        b.voltage(v, 3);
    for (const double t : {34.8, 35.0, 35.2, 35.0, 20.0, 0.2, 0.0, -0.2, 0.0, -3.2, 1.0})
        b.temperature(t, 2);
    b.done();
    return b;
}

double intervalsOf(const SampleTimeline& timeline, std::int32_t count) {
    double sum = 0;
    for (std::int32_t k = 1; k <= count; ++k)
        sum += timeline.interval(k);
    return sum;
}
} // namespace

class TestBandTally : public QObject {
    Q_OBJECT

private slots:
    // Each value in the band of its value rounded to two decimals as the exports write it; a
    // band holds its lower edge; every band from the lowest to the highest that holds one.
    void bandsOfValues_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<float>>("values");
        QTest::addColumn<qint64>("firstBand");
        QTest::addColumn<QList<qint64>>("samples");
        QTest::newRow("on an edge")
            << 10 << QList<float>{12.60f, 12.59f, 12.70f} << qint64(125) << QList<qint64>{1, 1, 1};
        QTest::newRow("rounded up to an edge")
            << 10 << QList<float>{std::nextafter(12.6f, 0.0f)} << qint64(126) << QList<qint64>{1};
        QTest::newRow("below zero")
            << 100 << QList<float>{-0.5f, -0.01f, -1.00f, 0.0f, -1.01f, -0.004f} << qint64(-2)
            << QList<qint64>{1, 3, 2};
        QTest::newRow("empty bands between")
            << 10 << QList<float>{12.3f, 12.8f} << qint64(123) << QList<qint64>{1, 0, 0, 0, 0, 1};
        QList<qint64> farApart(205, 0); // the coldest and hottest reading the logger has
        farApart.first() = farApart.last() = 1;
        QTest::newRow("far apart")
            << 100 << QList<float>{-50.0f, 154.6f} << qint64(-50) << farApart;
        QTest::newRow("none") << 10 << QList<float>{} << qint64(0) << QList<qint64>{};
    }
    void bandsOfValues() {
        QFETCH(int, width);
        QFETCH(QList<float>, values);
        QFETCH(QList<qint64>, samples);
        BandTally tally(12.6L, 12.0L);
        for (const float v : values)
            tally.add(v, 30);
        const BandTable t = tally.table(width);
        QCOMPARE(t.hundredthsPerBand, width);
        QTEST(qint64(t.firstBand), "firstBand");
        QCOMPARE(qsizetype(t.bands.size()), samples.size());
        for (std::size_t i = 0; i < t.bands.size(); ++i) {
            QCOMPARE(qint64(t.bands[i].samples), samples[qsizetype(i)]);
            QCOMPARE(t.bands[i].seconds, 30.0 * double(samples[qsizetype(i)]));
        }
    }

    // Crossed limits: a value above the upper and below the lower limit counts on both sides.
    void crossedLimitsCountOnBothSides() {
        BandTally tally(11.0L, 13.0L);
        tally.add(12.0f, 60);
        tally.add(10.0f, 5);
        tally.add(14.0f, 1);
        const LimitSeconds sides = tally.limitSeconds();
        QCOMPARE(sides.above, 61.0);
        QCOMPARE(sides.between, 0.0);
        QCOMPARE(sides.below, 65.0);
    }

    // With no time filter and one interval, the time above a limit is the events' time: the
    // limits are compared as the event detection compares them.
    void limitsAsTheEventsHaveThem() {
        ProcessingSettings s = dutchSettings();
        s.filterText(FilterField::VoltageTimeFilter) = "0";
        s.filterText(FilterField::TemperatureTimeFilter) = "0";
        const auto p = process(aroundTheLimits(), s);
        std::map<EventKind, double> seconds;
        for (const ClosedEvent& e : p->events)
            seconds[e.kind] += e.duration;
        QVERIFY(seconds[EventKind::OverVoltage] > 0 && seconds[EventKind::UnderTemperature] > 0);
        const BandTable &v = p->voltageBands, &t = p->temperatureBands;
        QCOMPARE(v.secondsAbove, seconds[EventKind::OverVoltage]);
        QCOMPARE(v.secondsBelow, seconds[EventKind::UnderVoltage]);
        QCOMPARE(t.secondsAbove, seconds[EventKind::OverTemperature]);
        QCOMPARE(t.secondsBelow, seconds[EventKind::UnderTemperature]);
        QCOMPARE(v.secondsAbove + v.secondsBetween + v.secondsBelow,
                 60.0 * p->samples.voltageSampleCount);
        QCOMPARE(t.secondsAbove + t.secondsBetween + t.secondsBelow,
                 60.0 * p->samples.temperatureSampleCount);
        // The same as the last summary states them.
        QCOMPARE(p->lastSummary.voltage.above, v.secondsAbove);
        QCOMPARE(p->lastSummary.temperature.below, t.secondsBelow);
    }

    // A run's bands hold every stored sample with the interval in force when it was taken,
    // across an interval change, below zero and beyond the range the events look at.
    void bandsOfARun() {
        ImageBuilder b = minuteRecording();
        for (int i = 0; i < 300; ++i)
            b.voltage(11.5 + (i * 7 % 13) / 10.0);
        b.voltageInterval(8).temperatureInterval(3);
        for (int i = 0; i < 300; ++i)
            b.voltage(12.0 + (i % 9) / 10.0);
        for (const double t : {-3.2, -0.2, 0.0, 20.0, 130.0, -40.2, 19.8})
            b.temperature(t, 3);
        b.done();
        const auto p = process(b, dutchSettings());
        const Samples& s = p->samples;
        for (const auto& [table, values, timeline, count] :
             {std::tuple(&p->voltageBands, s.voltageValues.get(), &s.voltageTimeline,
                         s.voltageSampleCount),
              std::tuple(&p->temperatureBands, s.temperatureValues.get(), &s.temperatureTimeline,
                         s.temperatureSampleCount)}) {
            std::map<std::int64_t, Band> expected;
            for (std::int32_t k = 1; k <= count; ++k) {
                const auto hundredths = std::llround(double(values[k]) * 100);
                const auto band =
                    std::int64_t(std::floor(double(hundredths) / table->hundredthsPerBand));
                ++expected[band].samples;
                expected[band].seconds += timeline->interval(k);
            }
            QCOMPARE(table->firstBand, expected.begin()->first);
            QCOMPARE(table->firstBand + std::int64_t(table->bands.size()) - 1,
                     expected.rbegin()->first);
            std::int64_t samples = 0;
            double seconds = 0;
            for (std::size_t i = 0; i < table->bands.size(); ++i) {
                const Band& want = expected[table->firstBand + std::int64_t(i)];
                QCOMPARE(table->bands[i].samples, want.samples);
                QCOMPARE(table->bands[i].seconds, want.seconds);
                samples += table->bands[i].samples;
                seconds += table->bands[i].seconds;
            }
            QCOMPARE(samples, std::int64_t(count));
            QCOMPARE(seconds, intervalsOf(*timeline, count));
            QCOMPARE(table->secondsAbove + table->secondsBetween + table->secondsBelow, seconds);
        }
        QCOMPARE(intervalsOf(s.voltageTimeline, s.voltageSampleCount), 300 * 60.0 + 300 * 300.0);
        QCOMPARE(p->temperatureBands.bands.back().samples, std::int64_t(3)); // 130 degrees
        QCOMPARE(p->temperatureBands.firstBand, std::int64_t(-41));
    }
};

QTEST_GUILESS_MAIN(TestBandTally)
#include "tst_bandtally.moc"
