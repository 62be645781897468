#include <cmath>
#include <tuple>

#include <QTest>

#include "processingfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
std::vector<float> voltageTimes(const ProcessedImage& p) {
    return {p->samples.voltageTimes.get() + 1,
            p->samples.voltageTimes.get() + 1 + p->samples.voltageSampleCount};
}
} // namespace

class TestDecoder : public QObject {
    Q_OBJECT
private slots:
    void fastRecordingExampleWords() {
        ImageBuilder b;
        b.word(3, 18).word(33, 18).word(16, 341).done();
        const auto p = process(b, dutchSettings(0));
        QCOMPARE(p->samples.voltageSampleCount, 1);
        QCOMPARE(p->samples.voltageValues[1], 12.78f);
        QCOMPARE(p->samples.voltageTimes[1], 0.0f);
        QCOMPARE(p.line(9), QString("Spanningmeetinterval\t Snelmeten"));
    }

    void calibration_data() {
        QTest::addColumn<int>("word"); // -1: no calibration word
        QTest::addColumn<float>("carried");
        QTest::addColumn<int>("raw");
        QTest::addColumn<float>("volts");
        QTest::newRow("value 0") << 0 << kInitialCalibration << 400 << 15.0f;
        QTest::newRow("value 800") << 800 << kInitialCalibration << 400 << 15.0f;
        QTest::newRow("value 1000") << 1000 << kInitialCalibration << 400 << 12.0f;
        QTest::newRow("none after start") << -1 << kInitialCalibration << 400 << 14.94f;
        QTest::newRow("none, kept from the last run") << -1 << 0.03f << 400 << 12.0f;
    }
    void calibration() {
        QFETCH(int, word);
        QFETCH(float, carried);
        QFETCH(int, raw);
        QFETCH(float, volts);
        ImageBuilder b;
        if (word >= 0)
            b.calibration(word);
        b.recording(2, 1).temperature(20).voltageRaw(raw).done();
        DecoderState state;
        state.voltsPerCount = carried;
        const auto p = process(b, dutchSettings(), state);
        QCOMPARE(p->samples.voltageValues[1], volts);
    }

    void temperatureReadings_data() {
        QTest::addColumn<int>("raw");
        QTest::addColumn<float>("celsius");
        QTest::newRow("375") << 375 << 25.0f;
        QTest::newRow("0 is stored but starts nothing") << 0 << -50.0f;
        QTest::newRow("1023") << 1023 << 154.6f;
    }
    void temperatureReadings() {
        QFETCH(int, raw);
        QFETCH(float, celsius);
        ImageBuilder b = minuteRecording();
        b.temperatureRaw(raw).voltage(12.3).done();
        ProcessingSettings s = dutchSettings();
        s.filterText(FilterField::TemperatureTimeFilter) = "0";
        const auto p = process(b, s);
        QCOMPARE(p->samples.temperatureSampleCount, 2);
        QCOMPARE(p->samples.temperatureValues[2], celsius);
        QCOMPARE(p->eventCount, 0);
    }

    // A rejected voltage takes no time: the next accepted one gets its place.
    void rejectedVoltagesTakeNoTime() {
        ImageBuilder b = minuteRecording();
        b.voltage(12.0).voltageRaw(29).voltageRaw(1001).voltage(12.0).done();
        const auto p = process(b, dutchSettings());
        QCOMPARE(p->samples.voltageSampleCount, 2);
        QCOMPARE(voltageTimes(p), (std::vector<float>{0.0f, 1.0f}));
        QCOMPARE(p->stats.voltage.count, 2);
    }

    // Recordings join end to end: the first sample after a restart repeats the last time.
    void twoRecordingsJoin() {
        ImageBuilder b;
        b.calibration(300).recording(2, 1).temperature(20).voltage(12.0, 10);
        b.recording(2, 1).voltage(12.0).done();
        const auto p = process(b, dutchSettings(0));
        std::vector<float> expected;
        for (int t = 0; t < 10; ++t)
            expected.push_back(float(t));
        expected.push_back(9.0f);
        QCOMPARE(voltageTimes(p), expected);
        QCOMPARE(p->samples.temperatureTimes[1], 0.0f);
    }

    // The timeline gives every sample's clock as the decoder's running clock had it: across
    // rejected samples, interval changes, a fast recording and a second recording.
    void timelineGivesEveryClock() {
        ImageBuilder b;
        b.calibration(300).recording(18, 1).temperature(20, 3).voltage(12.0, 5);
        b.voltageRaw(29).voltage(12.5, 2).voltageInterval(2).voltage(12.0, 4);
        b.temperatureInterval(3).temperature(21, 2);
        b.recording(9, 2).temperature(22, 2).voltage(13.0, 3).done();
        const auto p = process(b, dutchSettings(0)); // times in seconds, exact at this size
        const Samples& s = p->samples;
        QCOMPARE(s.voltageSampleCount, 14);
        for (const auto& [timeline, times, count] :
             {std::tuple(&s.voltageTimeline, s.voltageTimes.get(), s.voltageSampleCount),
              std::tuple(&s.temperatureTimeline, s.temperatureTimes.get(),
                         s.temperatureSampleCount)}) {
            for (std::int32_t k = 1; k <= count; ++k)
                QCOMPARE(float(timeline->seconds(k)), times[k]);
            // A cursor from any sample on walks the same clock.
            for (std::int32_t from = 1; from <= count; ++from) {
                SampleTimeline::Cursor cursor(*timeline, from);
                for (std::int32_t k = from; k <= count; ++k)
                    QCOMPARE(cursor.seconds(k), timeline->seconds(k));
            }
        }
        QVERIFY(std::isnan(SampleTimeline::Cursor(SampleTimeline{}, 1).seconds(1)));
        QCOMPARE(s.voltageTimeline.interval(1), 0.0625);
        QCOMPARE(s.voltageTimeline.interval(8), 1.0);
        QCOMPARE(s.voltageTimeline.interval(14), 600.0);
        QCOMPARE(s.voltageTimeline.stretches().size(), std::size_t(3));
    }

    void temperatureIntervalFollowsVoltageInterval_data() {
        QTest::addColumn<int>("voltageCode");
        QTest::addColumn<double>("seconds");
        QTest::newRow("after 16/sec") << 18 << 1.875;
        QTest::newRow("after 1 sec") << 2 << 30.0;
        QTest::newRow("after code 9 (600 s)") << 9 << 30.0;
    }
    void temperatureIntervalFollowsVoltageInterval() {
        QFETCH(int, voltageCode);
        QFETCH(double, seconds);
        ImageBuilder b;
        b.recordingStart(2).voltageInterval(voltageCode).temperatureInterval(1).done();
        const auto p = process(b, dutchSettings());
        QCOMPARE(p.state.temperatureInterval, seconds);
    }

    void doneRunsTheSummaryTwice() {
        ImageBuilder b = minuteRecording();
        b.temperature(21, 3).done();
        const auto p = process(b, dutchSettings());
        QCOMPARE(p->messages, QStringList({"Geen metingen", "Geen metingen"}));
        QCOMPARE(p->summaries, 2);
        QVERIFY(p->completed);
        QCOMPARE(p.line(1), QString("Gemiddelde spanning\t0 Volt"));
        QCOMPARE(p.line(2), QString("Max spanning\t0 Volt"));
        QCOMPARE(p.line(3), QString("Min spanning\t200 Volt"));
        QCOMPARE(p->voltageAxisMin, 198.0);
        QCOMPARE(p->voltageAxisMax, 2.0);
    }

    // A zero word is passed over before the first start word and ends decoding after it.
    void zeroWords() {
        ImageBuilder b;
        b.word(0, 0).calibration(300).recording(2, 1).temperature(20).voltage(12.0, 3);
        b.word(0, 0).voltage(12.0, 5).done();
        const auto p = process(b, dutchSettings());
        QCOMPARE(p->samples.voltageSampleCount, 3);
        QVERIFY(!p->completed);
    }

    void imageWithoutStartWord() {
        ImageBuilder b;
        b.calibration(300).voltageInterval(2).voltage(12.0, 4).temperature(20).done();
        const auto p = process(b, dutchSettings());
        QVERIFY(!p->completed);
        QCOMPARE(p->samples.voltageSampleCount, 0);
        QCOMPARE(p->samples.temperatureSampleCount, 0);
        QVERIFY(p->messages.isEmpty());
    }

    void beginPointsBeyondTheListAreDropped() {
        ImageBuilder b;
        b.calibration(300).recording(2, 1).temperature(20);
        for (int i = 0; i < 3000; ++i)
            b.voltage(12.0).beginPoint();
        b.done();
        const auto p = process(b, dutchSettings(0));
        QCOMPARE(p->samples.beginPointCount, 2048);
        QCOMPARE(p->samples.droppedBeginPoints, std::int64_t(952));
        QCOMPARE(p->samples.beginPointSeconds[0], 0.0);
        QCOMPARE(p->samples.beginPointSeconds[2047], 2047.0);
    }

    // The fast time conversion gives the float the extended division gives.
    void timeConversionMatchesExtendedDivision_data() {
        QTest::addColumn<int>("divisor");
        for (int d : {1, 60, 3600, 86400, 604800})
            QTest::newRow(qPrintable(QString::number(d))) << d;
    }
    void timeConversionMatchesExtendedDivision() {
        QFETCH(int, divisor);
        std::uint64_t state = 0x243F6A8885A308D3ull;
        const auto next = [&state] {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            return state >> 11;
        };
        for (int i = 0; i < 300'000; ++i) {
            // Clock values as the logger makes them (sums of sixteenths) and arbitrary ones.
            const double z = (i % 2) ? double(next() % (1ull << 34)) * 0.0625
                                     : double(next()) / double(1ull << 20) - 1e6;
            const float expected = float(static_cast<long double>(z) / divisor);
            QCOMPARE(timeInUnit(z, divisor, 1.0 / divisor), expected);
        }
    }

    void timeUnitScalesTimesOnly_data() {
        QTest::addColumn<int>("unit");
        QTest::addColumn<float>("time");
        QTest::newRow("minuten") << 1 << 120.0f;
        QTest::newRow("uren") << 2 << 2.0f;
    }
    void timeUnitScalesTimesOnly() {
        QFETCH(int, unit);
        QFETCH(float, time);
        ImageBuilder b = minuteRecording();
        b.voltage(12.3, 121).done();
        const auto p = process(b, dutchSettings(unit));
        QCOMPARE(p->samples.voltageTimes[121], time);
        QCOMPARE(p->samples.voltageValues[121], 12.3f);
    }
};

QTEST_GUILESS_MAIN(TestDecoder)
#include "tst_decoder.moc"
