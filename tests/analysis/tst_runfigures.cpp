#include <ctime>
#include <map>

#include <QBuffer>
#include <QTest>
#include <QTimeZone>

#include "analysis/exports.h"
#include "analysis/wallclock.h"
#include "processingfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
QDateTime amsterdam(int y, int mo, int d, int h, int mi) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi), QTimeZone("Europe/Amsterdam"));
}

// A day's figures of one quantity as they follow from the export's rows.
struct Expected {
    DayFigures voltage;
    DayFigures temperature;
    std::int64_t events = 0;
};

// Groups the rows of the spanning or temperatuur export by the date of their clock time, in
// row order: count, first minimum and maximum with their times, sum.
void groupRows(const QByteArray& csv, DayFigures Expected::*figures,
               std::map<QDate, Expected>& days) {
    QList<QByteArray> rows = csv.split('\n');
    for (qsizetype i = 1; i + 1 < rows.size(); ++i) {
        const QList<QByteArray> fields = rows[i].split(';');
        const QByteArray& clock = fields.at(2);
        if (clock.isEmpty())
            continue;
        const float value = QByteArray(fields.at(1)).replace(',', '.').toFloat();
        const QTime time = QTime::fromString(QString::fromLatin1(clock.mid(11)), u"HH:mm:ss");
        DayFigures& f =
            days[QDate::fromString(QString::fromLatin1(clock.left(10)), Qt::ISODate)].*figures;
        if (f.count == 0 || value < f.min) {
            f.min = value;
            f.minTime = time;
        }
        if (f.count == 0 || value > f.max) {
            f.max = value;
            f.maxTime = time;
        }
        f.sum += value;
        ++f.count;
    }
}

QByteArray exported(CsvExport kind, const ProcessingResult& r) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return writeCsv(kind, r, r.settings, buffer) ? QByteArray() : bytes;
}

void compareFigures(const DayFigures& got, const DayFigures& expected, const QString& where) {
    QVERIFY2(got.count == expected.count, qPrintable(where + " count"));
    if (expected.count == 0)
        return;
    QVERIFY2(got.min == expected.min, qPrintable(where + " min"));
    QVERIFY2(got.max == expected.max, qPrintable(where + " max"));
    QVERIFY2(got.minTime == expected.minTime,
             qPrintable(where + " time of min " + got.minTime.toString()));
    QVERIFY2(got.maxTime == expected.maxTime,
             qPrintable(where + " time of max " + got.maxTime.toString()));
    QVERIFY2(got.sum == expected.sum, qPrintable(where + " sum"));
}

// Wandering values a minute apart (or as the codes say), over-voltages and frost now and then,
// a temperature after every `per` voltages while `temperatures` last.
ImageBuilder wandering(int voltageCode, int temperatureCode, int voltages, int per,
                       int temperatures) {
    ImageBuilder b;
    b.calibration(300).recording(voltageCode, temperatureCode).temperature(20);
    for (int i = 0; i < voltages; ++i) {
        b.voltage(12.0 + (i * 7 % 11) / 10.0);
        if (i % per == per - 1 && i / per < temperatures)
            b.temperature(i * 13 % 9 == 0 ? -1.2 : 18 + (i * 3 % 10) * 0.2);
    }
    b.done();
    return b;
}
} // namespace

Q_DECLARE_METATYPE(veltrano::ImageBuilder)

class TestRunFigures : public QObject {
    Q_OBJECT

private slots:
    // Every day's figures are those of the export's rows grouped by the date of their clock
    // time, and the events are counted on the day of the clock time of their begin, as the
    // window's event table shows it. The summary's run without samples has the same days.
    void daysAreTheExportsRowsGrouped_data() {
        QTest::addColumn<ImageBuilder>("image");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<int>("days");
        const QDateTime utc(QDate(2016, 7, 18), QTime(23, 30), QTimeZone::utc());
        QTest::newRow("across midnight") << wandering(7, 2, 150, 1, 150) << utc << 2;
        // Temperatures for the first 20 minutes only.
        QTest::newRow("a day with voltages only") << wandering(7, 2, 150, 1, 20) << utc << 2;
        QTest::newRow("summer time begins")
            << wandering(7, 2, 600, 3, 200) << amsterdam(2016, 3, 26, 20, 0) << 2;
        QTest::newRow("summer time ends")
            << wandering(7, 2, 600, 3, 200) << amsterdam(2016, 10, 29, 20, 0) << 2;
        QTest::newRow("local clock of the test, summer time begins")
            << wandering(7, 2, 600, 3, 200) << QDateTime(QDate(2016, 3, 26), QTime(20, 0)) << 2;
        // Five minutes a sample for 245 days, across both changes of 2016.
        QTest::newRow("from March to November")
            << wandering(8, 6, 245 * 288, 6, 245 * 48) << amsterdam(2016, 3, 1, 12, 0) << 246;
        // Several of the decoder's blocks, with days across their edges.
        QTest::newRow("many blocks") << wandering(7, 2, 200'000, 40, 5000) << utc << 140;
        // Samoa left out 30 December 2011: the clock went from the 29th to the 31st.
        QTest::newRow("a day the clock skipped")
            << wandering(8, 6, 600, 6, 100)
            << QDateTime(QDate(2011, 12, 29), QTime(12, 0), QTimeZone("Pacific/Apia")) << 3;
        // Sixteen a second from 23:59:59: the ninth sample, at 0.5 s, rounds into the new day.
        ImageBuilder fast;
        fast.calibration(300).recording(18, 1).temperature(20).voltage(12.3, 8);
        fast.voltage(12.8).voltage(12.4, 20).done();
        QTest::newRow("16 per second into the next day")
            << fast << QDateTime(QDate(2016, 7, 18), QTime(23, 59, 59), QTimeZone::utc()) << 2;
        // A battery at rest: runs of one voltage, some longer than the counting's groups of
        // eight, changing inside a group and across groups.
        ImageBuilder resting;
        resting.calibration(300).recording(7, 2).temperature(20);
        for (const auto& [volts, count] : {std::pair{12.5, 30},
                                           {12.61, 5},
                                           {12.7, 29},
                                           {12.5, 40},
                                           {12.3, 3},
                                           {12.7, 17},
                                           {12.2, 64}})
            resting.voltage(volts, count);
        resting.temperature(21).done();
        QTest::newRow("runs of one voltage") << resting << utc << 2;
    }
    void daysAreTheExportsRowsGrouped() {
        QFETCH(ImageBuilder, image);
        QFETCH(QDateTime, start);
        if (!start.timeZone().isValid())
            QSKIP("the time zone database lacks the zone");
        ProcessingSettings s = dutchSettings(0);
        s.periodStart = start;
        s.filterText(FilterField::VoltageTimeFilter) = "0";
        s.filterText(FilterField::TemperatureTimeFilter) = "0";
        const auto p = process(image, s);
        QVERIFY(p->completed);

        std::map<QDate, Expected> expected;
        groupRows(exported(CsvExport::Voltage, *p), &Expected::voltage, expected);
        groupRows(exported(CsvExport::Temperature, *p), &Expected::temperature, expected);
        for (const ClosedEvent& e : p->events)
            ++expected[start.addSecs(roundedSeconds(e.moment)).date()].events;
        QVERIFY(p->eventCount > 0);

        const DayTable& days = p->days;
        QCOMPARE(days.size(), expected.size());
        QTEST(int(days.size()), "days");
        auto want = expected.begin();
        for (const DayRow& day : days) {
            const QString where = day.date.toString(Qt::ISODate);
            QCOMPARE(day.date, want->first);
            compareFigures(day.voltage, want->second.voltage, where + " voltage");
            compareFigures(day.temperature, want->second.temperature, where + " temperature");
            QCOMPARE(day.events, want->second.events);
            ++want;
        }
        std::int64_t voltages = 0, temperatures = 0;
        for (const DayRow& day : days) {
            voltages += day.voltage.count;
            temperatures += day.temperature.count;
        }
        QCOMPARE(voltages, std::int64_t(p->samples.voltageSampleCount));
        QCOMPARE(temperatures, std::int64_t(p->samples.temperatureSampleCount));

        ProcessingResult light;
        DecoderState state;
        const std::vector<std::uint8_t> bytes = image.image();
        QVERIFY(!processImageWithoutSamples(bytes.data(), s, state, light));
        QCOMPARE(exported(CsvExport::Days, light), exported(CsvExport::Days, *p));
        QCOMPARE(exported(CsvExport::Bands, light), exported(CsvExport::Bands, *p));
    }

    // The clock times named in the cases above, pinned: the sample at 23:59:59.5 is the first
    // of the new day, the day after a skipped one follows directly, and a day on which the
    // clock went back an hour holds 25 hours of samples.
    void daysAtTheirEdges() {
        ImageBuilder fast;
        fast.calibration(300).recording(18, 1).temperature(20).voltage(12.3, 8);
        fast.voltage(12.8).voltage(12.4, 20).done();
        ProcessingSettings s = dutchSettings(0);
        s.periodStart = QDateTime(QDate(2016, 7, 18), QTime(23, 59, 59), QTimeZone::utc());
        auto p = process(fast, s);
        QCOMPARE(p->days.size(), std::size_t(2));
        QCOMPARE(p->days[0].voltage.count, std::int64_t(8));
        QCOMPARE(p->days[1].voltage.count, std::int64_t(21));
        QCOMPARE(p->days[1].voltage.max, 12.8f);
        QCOMPARE(p->days[1].voltage.maxTime, QTime(0, 0));
        QCOMPARE(p->days[1].temperature.count, std::int64_t(0));

        s = dutchSettings();
        s.periodStart = amsterdam(2016, 10, 29, 23, 0);
        ImageBuilder b = minuteRecording();
        b.voltage(12.3, 27 * 60).done();
        p = process(b, s);
        QCOMPARE(p->days.size(), std::size_t(3));
        QCOMPARE(p->days[1].date, QDate(2016, 10, 30));
        QCOMPARE(p->days[1].voltage.count, std::int64_t(25 * 60));

        const QTimeZone apia("Pacific/Apia");
        if (!apia.isValid())
            QSKIP("the time zone database lacks Pacific/Apia");
        s.periodStart = QDateTime(QDate(2011, 12, 29), QTime(23, 0), apia);
        p = process(b, s);
        QCOMPARE(p->days.size(), std::size_t(3));
        QCOMPARE(p->days[0].date, QDate(2011, 12, 29));
        QCOMPARE(p->days[1].date, QDate(2011, 12, 31));
    }

    // Without "Datum aansluiting" no clock time exists and no day either.
    void noStartNoDays() {
        ProcessingSettings s = dutchSettings();
        s.periodStart = QDateTime();
        ImageBuilder b = minuteRecording();
        b.voltage(12.3, 10).done();
        const auto p = process(b, s);
        QVERIFY(p->completed);
        QVERIFY(p->days.empty());
        QCOMPARE(p->voltageBands.bands.size(), std::size_t(1));
    }
};

// The local clock of the "local clock" case: set before Qt reads the system's zone.
int main(int argc, char** argv) {
    qputenv("TZ", "Europe/Amsterdam");
    tzset();
    QCoreApplication app(argc, argv);
    TestRunFigures test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_runfigures.moc"
