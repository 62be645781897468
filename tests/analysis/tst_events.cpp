#include <QTest>

#include "analysis/numbers.h"
#include "processingfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
// Voltages as tenths of a volt, one per minute, after the standard prologue.
ImageBuilder voltages(std::initializer_list<double> values, bool done = true) {
    ImageBuilder b = minuteRecording();
    for (double v : values)
        b.voltage(v);
    if (done)
        b.done();
    return b;
}
ProcessingSettings zeroFilters() {
    ProcessingSettings s = dutchSettings();
    s.filterText(FilterField::VoltageTimeFilter) = "0";
    s.filterText(FilterField::TemperatureTimeFilter) = "0";
    return s;
}
QStringList blockLines(const ProcessedImage& p) {
    return p.texts().mid(kReservedReportLines);
}
} // namespace

class TestEvents : public QObject {
    Q_OBJECT
private slots:
    // 12.6 V limit, 5 minutes, one sample a minute.
    void voltageTimeFilter_data() {
        QTest::addColumn<int>("outside");
        QTest::addColumn<int>("reported");
        QTest::newRow("7 samples: 420 s") << 7 << 1;
        QTest::newRow("5 samples: 300 s, equal counts") << 5 << 1;
        QTest::newRow("4 samples: 240 s") << 4 << 0;
    }
    void voltageTimeFilter() {
        QFETCH(int, outside);
        QFETCH(int, reported);
        ImageBuilder b = minuteRecording();
        b.voltage(12.8, outside).voltage(12.5).done();
        const auto p = process(b, dutchSettings());
        QCOMPARE(p->eventCount, reported);
        QCOMPARE(p->eventList.end[1], reported ? (long double)outside : 0.0L);
        QCOMPARE(p->eventList.isEmpty(1), reported == 0);
        QCOMPARE(p.line(17), QString("Aantal calamiteiten \t%1").arg(reported));
        QCOMPARE(p->report.lines().size(), std::size_t(19 + 7 * reported)); // no cross lines
    }

    // Equal to the limit neither counts nor ends; a value that only looks equal is compared
    // as it is (12.6 as a float lies above 12.6).
    void samplesAtTheLimit_data() {
        QTest::addColumn<QString>("limit");
        QTest::addColumn<double>("middle");
        QTest::addColumn<QString>("duration");
        QTest::newRow("exactly 12,5") << "12,5" << 12.5 << "0 dagen 0 uren 5 minuten 0 seconden ";
        QTest::newRow("12,6 vs float 12.6")
            << "12,6" << 12.6 << "0 dagen 0 uren 6 minuten 0 seconden ";
    }
    void samplesAtTheLimit() {
        QFETCH(QString, limit);
        QFETCH(double, middle);
        QFETCH(QString, duration);
        ImageBuilder b = voltages({12.8, 12.8, 12.8, middle, 12.8, 12.8, 12.4});
        ProcessingSettings s = dutchSettings();
        s.filterText(FilterField::OverVoltage) = limit;
        const auto p = process(b, s);
        QCOMPARE(p->eventCount, 1);
        QCOMPARE(p.line(23), "Duur van de overspanning\t" + duration);
    }

    void lowestVoltageIgnoresValuesBelow3Point3_data() {
        QTest::addColumn<QList<double>>("samples");
        QTest::addColumn<QString>("average");
        QTest::addColumn<QString>("lowest");
        QTest::newRow("3.1 counts but is not lowest") << QList<double>{11.0, 3.1, 11.5} << "8,53"
                                                      << "11";
        QTest::newRow("all below 3.3") << QList<double>{3.1, 3.2} << "3,15"
                                       << "200";
        QTest::newRow("3.3 as a float is below 3.3") << QList<double>{3.3, 11.0} << "7,15"
                                                     << "11";
    }
    void lowestVoltageIgnoresValuesBelow3Point3() {
        QFETCH(QList<double>, samples);
        QFETCH(QString, average);
        QFETCH(QString, lowest);
        ImageBuilder b = minuteRecording();
        for (double v : samples)
            b.voltage(v);
        b.voltage(12.5).done();
        const auto p = process(b, zeroFilters());
        QCOMPARE(p->eventCount, 1);
        QCOMPARE(p.line(24), "Gemiddelde onderspanning\t" + average + " Volt");
        QCOMPARE(p.line(25), "Laagste spanning\t" + lowest + " Volt");
    }

    // 150 degrees is outside the range gate: no start, no end, but in the statistics.
    void temperatureOutsideTheGate() {
        ImageBuilder b = minuteRecording();
        b.voltage(12.3).temperature(-5).temperature(150).temperature(-5).temperature(150);
        b.temperature(20).done();
        const auto p = process(b, zeroFilters());
        QCOMPARE(p->eventCount, 1);
        QCOMPARE(p.line(21), QString("Hoeveelste ondertemperatuur\t1"));
        QCOMPARE(p.line(23),
                 QString("Duur van ondertemperatuur\t0 dagen 0 uren 2 minuten 0 seconden "));
        QCOMPARE(p.line(6), QString("Max temperatuur\t150 \u00B0C"));
        QCOMPARE(p->temperatureAxisMax, 152.0);
    }

    // Under-voltage limit above the over-voltage limit: both kinds count and close together.
    void crossedLimits() {
        ImageBuilder b = voltages({12.0, 12.0, 14.0});
        ProcessingSettings s = zeroFilters();
        s.filterText(FilterField::OverVoltage) = "11";
        s.filterText(FilterField::UnderVoltage) = "13";
        const auto p = process(b, s);
        QCOMPARE(p->eventCount, 3);
        const QStringList lines = blockLines(p);
        QCOMPARE(lines.filter("Hoeveelste").join('|'),
                 QString("Hoeveelste overspanning\t1|Hoeveelste onderspanning\t1|"
                         "Hoeveelste overspanning\t2"));
        QCOMPARE(lines.filter("Duur").first(),
                 QString("Duur van de overspanning\t0 dagen 0 uren 2 minuten 0 seconden "));
    }

    void eventOpenAtTheEndIsClosedLast() {
        ImageBuilder b = minuteRecording();
        b.voltage(11.0, 6).voltage(12.3).voltage(12.8, 6).done();
        const auto p = process(b, dutchSettings());
        QCOMPARE(p->eventCount, 2);
        QCOMPARE(blockLines(p).filter("Hoeveelste").last(), QString("Hoeveelste overspanning\t1"));
        QCOMPARE(p->eventList.start[2], 7.0L);
        QCOMPARE(p->eventList.end[2], 13.0L);
        QCOMPARE(p.line(17), QString("Aantal calamiteiten \t2"));
    }

    // A too-short event leaves no trace; numbers and ordinals count reported events only.
    void numberingSkipsShortEvents() {
        ImageBuilder b = minuteRecording();
        for (int len : {6, 6, 6, 2, 6})
            b.voltage(12.8, len).voltage(12.3);
        b.done();
        const auto p = process(b, dutchSettings());
        QCOMPARE(p->eventCount, 4);
        QCOMPARE(blockLines(p).filter("Hoeveelste").last(), QString("Hoeveelste overspanning\t4"));
        QVERIFY(!p->eventList.isEmpty(4));
        QVERIFY(p->eventList.isEmpty(5));
    }

    void eventListInTheRunUnit() {
        ImageBuilder b = minuteRecording();
        b.voltage(12.3, 60).voltage(12.8, 7).voltage(12.3).done();
        const auto p = process(b, dutchSettings(1));
        QCOMPARE(p->eventList.start[1], 60.0L);
        QCOMPARE(p->eventList.end[1], 67.0L);
        QCOMPARE(EventKind(p->eventList.kind[1]), EventKind::OverVoltage);
    }

    // 1,1 hours is exactly 66 minutes in extended precision.
    void filterThresholdIsExact() {
        ImageBuilder b = minuteRecording();
        b.voltage(12.8, 66).voltage(12.3).done();
        ProcessingSettings s = dutchSettings();
        s.filterText(FilterField::VoltageTimeFilter) = "1,1";
        s.voltageTimeFilterUnit = 1;
        QCOMPARE(process(b, s)->eventCount, 1);
    }

    // An over-temperature event too short to report still clears the voltages gathered in it.
    void shortTemperatureEventClearsGatheredVoltages() {
        ImageBuilder b = minuteRecording();
        b.temperature(40).voltage(12.2).temperature(20); // too short
        b.temperature(40).voltageRaw(123).temperature(40, 5).voltageRaw(125);
        const float low = b.decodedVoltage(123); // at 40 degrees, as decoded
        const float high = b.decodedVoltage(125);
        b.temperature(20).done();
        const auto p = process(b, dutchSettings());
        QCOMPARE(p->eventCount, 1);
        QCOMPARE(p.line(26), "Gemiddelde spanning\t" +
                                 formatMeasured((double(low) + high) / 2, dutch()) + " Volt");
        QCOMPARE(p.line(28), "Laagste spanning\t" + formatMeasured(low, dutch()) + " Volt");
    }

    // Over-temperature limit below zero; frost gathered during a voltage event.
    void negativeTemperatures() {
        ImageBuilder b;
        b.calibration(300).recording(7, 2).temperature(-12).temperature(-8).temperature(-5);
        b.temperature(-12).voltage(12.8).temperature(2).temperature(-1);
        b.voltage(12.8, 5).voltage(12.3).done();
        ProcessingSettings s = zeroFilters();
        s.filterText(FilterField::OverTemperature) = "-10";
        s.filterText(FilterField::UnderTemperature) = "-20";
        const auto p = process(b, s);
        const QStringList lines = blockLines(p);
        QVERIFY(lines.contains("Hoogste temperatuur\t-5 \u00B0C"));
        QVERIFY(lines.contains("Gemiddelde temperatuur\t0,5 \u00B0C"));
    }

    void moreEventsThanTheListHolds() {
        ImageBuilder b = minuteRecording();
        for (int i = 0; i < 10'001; ++i)
            b.voltage(12.8).voltage(12.3);
        b.done();
        const auto p = process(b, zeroFilters());
        QCOMPARE(p->eventCount, 10'001);
        QCOMPARE(p.line(17), QString("Aantal calamiteiten \t10001"));
        QCOMPARE(p.texts().filter("Calamiteit nummer\t").last(),
                 QString("Calamiteit nummer\t10001"));
        QVERIFY(!p->eventList.isEmpty(9'999));
        QCOMPARE(p->eventList.start[9'999], 2.0L * 9'998);
    }
};

QTEST_GUILESS_MAIN(TestEvents)
#include "tst_events.moc"
