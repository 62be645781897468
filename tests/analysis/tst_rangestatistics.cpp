#include <cmath>
#include <limits>
#include <random>

#include <QTest>

#include "analysis/rangestatistics.h"
#include "processingfixture.h"
#include "recording/timeunits.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {

// Every sample looked at, its limit compared in extended precision.
RangeFigures bruteForce(const float* times, const float* values, std::int32_t count,
                        const SampleTimeline& timeline, long double upper, long double lower,
                        double a, double b) {
    RangeFigures f;
    const double lo = std::min(a, b), hi = std::max(a, b);
    double sum = 0;
    for (std::int32_t k = 1; k <= count; ++k) {
        const double t = times[k];
        if (!(lo <= t && t <= hi))
            continue;
        const float v = values[k];
        f.minimum = f.count == 0 ? v : std::min(f.minimum, v);
        f.maximum = f.count == 0 ? v : std::max(f.maximum, v);
        ++f.count;
        sum += v;
        if (static_cast<long double>(v) > upper)
            f.secondsAbove += timeline.interval(k);
        if (static_cast<long double>(v) < lower)
            f.secondsBelow += timeline.interval(k);
    }
    f.mean = f.count ? sum / f.count : 0;
    return f;
}

RangeStatistics bruteForce(const ProcessingResult& r, double a, double b) {
    const Samples& s = r.samples;
    const Limits& l = r.limits;
    return {bruteForce(s.voltageTimes.get(), s.voltageValues.get(), s.voltageSampleCount,
                       s.voltageTimeline, l.overVoltage, l.underVoltage, a, b),
            bruteForce(s.temperatureTimes.get(), s.temperatureValues.get(),
                       s.temperatureSampleCount, s.temperatureTimeline, l.overTemperature,
                       l.underTemperature, a, b)};
}

bool same(const RangeFigures& got, const RangeFigures& want) {
    // The sums are added in another order: the mean may differ in its last bits.
    return got.count == want.count && got.minimum == want.minimum && got.maximum == want.maximum &&
           std::abs(got.mean - want.mean) < 1e-9 && got.secondsAbove == want.secondsAbove &&
           got.secondsBelow == want.secondsBelow;
}

QByteArray describe(const RangeFigures& f) {
    return QByteArray("count ") + QByteArray::number(f.count) + " min " +
           QByteArray::number(f.minimum) + " max " + QByteArray::number(f.maximum) + " mean " +
           QByteArray::number(f.mean, 'g', 17) + " above " + QByteArray::number(f.secondsAbove) +
           " below " + QByteArray::number(f.secondsBelow);
}

void compareWithBruteForce(const ProcessingResult& r, const RangeStatisticsIndex& index, double a,
                           double b) {
    const RangeStatistics got = index.between(a, b);
    const RangeStatistics want = bruteForce(r, a, b);
    const QByteArray where =
        " between " + QByteArray::number(a, 'g', 17) + " and " + QByteArray::number(b, 'g', 17);
    QVERIFY2(same(got.voltage, want.voltage), "voltage" + where + ": " + describe(got.voltage) +
                                                  " instead of " + describe(want.voltage));
    QVERIFY2(same(got.temperature, want.temperature),
             "temperature" + where + ": " + describe(got.temperature) + " instead of " +
                 describe(want.temperature));
}

// 4,000 voltages (several blocks) that cross both limits, 2,000 temperatures likewise. Voltage
// every second for 2,000 samples (times 0 to 1,999 s), then every 5 s up to 6,999 s; then a new
// recording with a 5-minute start code moves the clock back 300 s, and samples every second
// from 6,700 to 7,699 s overlap the earlier ones. The temperature's interval changes after its
// 1,001st sample, so that a block's pieces do not come in whole fours.
ImageBuilder longRecording() {
    ImageBuilder b;
    b.calibration(300).recording(2, 1);
    for (int i = 0; i < 4000; ++i) {
        if (i == 2000)
            b.voltageInterval(3);
        if (i == 2002)
            b.temperatureInterval(2);
        if (i == 3000)
            b.recordingStart(8).temperatureStart(3).voltageInterval(2).temperatureInterval(1);
        if (i % 2 == 0)
            b.temperature(-2.0 + (i / 2 % 40));
        b.voltage(11.5 + 0.1 * (i % 23));
    }
    return b.done();
}

} // namespace

class RangeStatisticsTest : public QObject {
    Q_OBJECT
private slots:
    void linesBetweenSamples_data();
    void linesBetweenSamples();
    void randomLinesAgreeWithEverySample_data();
    void randomLinesAgreeWithEverySample();
    void eachSampleCountsForItsInterval();
    void noSamples();
    void shortDuration_data();
    void shortDuration();
};

void RangeStatisticsTest::linesBetweenSamples_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<int>("voltages");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("lines exactly on samples") << 10.0 << 20.0 << 11;
    QTest::newRow("lines swapped") << 20.0 << 10.0 << 11;
    QTest::newRow("both lines on one sample") << 15.0 << 15.0 << 1;
    QTest::newRow("no sample between the lines") << 10.25 << 10.75 << 0;
    QTest::newRow("lines before the recording") << -500.0 << -1.0 << 0;
    QTest::newRow("lines after the recording") << 1e6 << 2e6 << 0;
    QTest::newRow("lines around the recording") << -1e9 << 1e9 << 4000;
    QTest::newRow("lines at infinity") << -inf << inf << 4000;
    QTest::newRow("a line that is not a number") << std::nan("") << 100.0 << 0;
    // 6,804 to 6,899 s every 5 s (20), 6,800 to 6,900 s every second (101).
    QTest::newRow("the recording goes back in time") << 6800.0 << 6900.0 << 121;
    // The block of samples 2,049 to 3,072 starts at 2,244 s and ends at 6,771 s, but reaches
    // 6,999 s before the clock goes back: 2,004 to 6,799 s every 5 s (960), 6,700 to 6,800 s
    // every second (101).
    QTest::newRow("back in time within a block") << 2000.0 << 6800.0 << 1061;
    // 1,990 to 1,999 s every second, then 2,004, 2,009 and 2,014 s.
    QTest::newRow("the interval changes between the lines") << 1990.0 << 2014.0 << 13;
    QTest::newRow("a block's edge") << 1023.0 << 1024.0 << 2;
}

void RangeStatisticsTest::linesBetweenSamples() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(int, voltages);
    static const ProcessedImage p = process(longRecording(), dutchSettings(0)); // seconds
    QCOMPARE(p->samples.voltageSampleCount, 4000);
    const RangeStatisticsIndex index = buildRangeStatistics(*p);
    QCOMPARE(index.between(a, b).voltage.count, voltages);
    compareWithBruteForce(*p, index, a, b);
}

void RangeStatisticsTest::randomLinesAgreeWithEverySample_data() {
    QTest::addColumn<int>("unit");
    QTest::newRow("seconds") << 0;
    QTest::newRow("minutes") << 1;
    QTest::newRow("hours") << 2;
}

// Float times in a coarse unit round; the lines are compared with the times as stored.
void RangeStatisticsTest::randomLinesAgreeWithEverySample() {
    QFETCH(int, unit);
    const ProcessedImage p = process(longRecording(), dutchSettings(unit));
    const RangeStatisticsIndex index = buildRangeStatistics(*p);
    const Samples& s = p->samples;
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::int32_t> voltage(1, s.voltageSampleCount);
    std::uniform_int_distribution<std::int32_t> temperature(1, s.temperatureSampleCount);
    std::uniform_real_distribution<double> anywhere(-100.0, 90000.0 / kTimeUnits[unit].divisor);
    for (int round = 0; round < 300; ++round) {
        // On samples of either quantity, or anywhere.
        const double a = round % 3 == 0 ? double(s.voltageTimes[voltage(rng)]) : anywhere(rng);
        const double b =
            round % 3 == 1 ? double(s.temperatureTimes[temperature(rng)]) : anywhere(rng);
        compareWithBruteForce(*p, index, a, b);
        if (QTest::currentTestFailed())
            return;
    }
}

// Three seconds above the over-voltage limit, then, at 5 s, two samples above and one below the
// under-voltage limit; the temperatures likewise at 30 s and then 5 min.
void RangeStatisticsTest::eachSampleCountsForItsInterval() {
    ImageBuilder b;
    b.calibration(300).recording(2, 1).temperature(20);
    b.voltage(13.0, 3).temperature(36, 2);
    b.voltageInterval(3).temperatureInterval(3);
    b.voltage(13.0, 2).voltage(11.0).voltage(12.3).temperature(-1).temperature(36);
    const ProcessedImage p = process(b.done(), dutchSettings(0));
    const RangeStatistics all = buildRangeStatistics(*p).between(-1e9, 1e9);
    QCOMPARE(all.voltage.count, 7);
    QCOMPARE(all.voltage.secondsAbove, 3 * 1.0 + 2 * 5.0);
    QCOMPARE(all.voltage.secondsBelow, 5.0);
    QCOMPARE(all.voltage.minimum, p->samples.voltageValues[6]);
    QCOMPARE(all.voltage.maximum, p->samples.voltageValues[1]);
    QCOMPARE(all.temperature.count, 5);
    QCOMPARE(all.temperature.secondsAbove, 2 * 30.0 + 300.0);
    QCOMPARE(all.temperature.secondsBelow, 300.0);
}

void RangeStatisticsTest::noSamples() {
    const RangeStatisticsIndex empty;
    QCOMPARE(empty.between(-1e9, 1e9).voltage.count, 0);
    ImageBuilder b;
    b.calibration(300).recording(2, 1).done(); // a recording without samples
    const ProcessedImage p = process(b, dutchSettings());
    const RangeStatistics r = buildRangeStatistics(*p).between(-1e9, 1e9);
    QCOMPARE(r.voltage.count, 0);
    QCOMPARE(r.temperature.count, 0);
    QCOMPARE(r.voltage.mean, 0.0);
}

void RangeStatisticsTest::shortDuration_data() {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing") << 0.0 << "0 s";
    QTest::newRow("all parts") << 2 * 86400.0 + 3 * 3600 + 4 * 60 + 5 << "2 d 3 u 4 m 5 s";
    QTest::newRow("zeros after the first part stay") << 86400.0 + 5 << "1 d 0 u 0 m 5 s";
    QTest::newRow("half a second rounds up") << 59.5 << "1 m 0 s";
    QTest::newRow("a sixteenth") << 0.0625 << "0 s";
    QTest::newRow("negative") << -3.0 << "0 s";
    QTest::newRow("not a number") << std::nan("") << "-";
    QTest::newRow("beyond whole seconds") << 1e300 << "-";
}

void RangeStatisticsTest::shortDuration() {
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(shortDurationText(seconds), text);
}

QTEST_GUILESS_MAIN(RangeStatisticsTest)
#include "tst_rangestatistics.moc"
