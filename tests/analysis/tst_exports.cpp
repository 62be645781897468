#include <charconv>
#include <cstring>
#include <new>
#include <stdexcept>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include "analysis/csvwriter.h"
#include "analysis/exports.h"
#include "analysis/wallclock.h"
#include "processingfixture.h"
#include "testfiles.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
const QByteArray kBom("\xEF\xBB\xBF");

QLocale english() {
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

QByteArray exported(CsvExport kind, const ProcessedImage& p, const ProcessingSettings& s) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const auto error = writeCsv(kind, *p.result, s, buffer);
    return error ? QByteArray("error: ") + error->toUtf8() : bytes;
}

QDateTime amsterdam(int y, int mo, int d, int h, int mi) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi), QTimeZone("Europe/Amsterdam"));
}

// Four voltages a minute apart after the standard prologue.
ImageBuilder fourVoltages() {
    ImageBuilder b = minuteRecording();
    b.voltage(12.3).voltage(12.8, 2).voltage(12.34).done();
    return b;
}

// An over-voltage event at minute 60 (7 minutes), an over-temperature event at minute 1
// (6 minutes), closed in that order.
ImageBuilder twoEvents() {
    ImageBuilder b = minuteRecording();
    b.voltage(12.3, 60).voltage(12.8, 7).voltage(12.3).temperature(40, 6).temperature(20);
    b.done();
    return b;
}

// Five years of a voltage every five minutes, with a stretch of one-minute samples and a second
// recording on the way: in seconds the stored float times lose whole seconds after six months,
// in weeks they are coarser still.
const ImageBuilder& fiveYears() {
    static const ImageBuilder b = [] {
        ImageBuilder i;
        i.calibration(300).recording(8, 6).temperature(20).voltage(12.3, 400'000);
        i.voltageInterval(7).voltage(12.4, 100'000).temperature(21, 3);
        i.recording(8, 6).voltage(12.5, 125'000).done();
        return i;
    }();
    return b;
}

// The lines of an export after its header.
QList<QByteArray> rowsOf(const QByteArray& csv) {
    QList<QByteArray> lines = csv.split('\n');
    lines.removeFirst();
    lines.removeLast(); // after the last line break
    return lines;
}

// A voltage every minute with a temperature every 2.5 of them, for the threaded rows.
ImageBuilder longSeries() {
    ImageBuilder b = minuteRecording();
    for (int i = 0; i < 40'000; ++i)
        b.voltage(12.0 + (i % 9) / 10.0, i % 2 + 2).temperature(20 - i % 3);
    b.done();
    return b;
}
} // namespace

Q_DECLARE_METATYPE(veltrano::CsvExport)
Q_DECLARE_METATYPE(veltrano::ImageBuilder)

class TestExports : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void numberForms_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("comma");
        QTest::addColumn<QString>("point");
        QTest::newRow("float 0") << "float" << 0.0 << "0"
                                 << "0";
        QTest::newRow("float 1/16") << "float" << 0.0625 << "0,0625"
                                    << "0.0625";
        QTest::newRow("float one minute in hours") << "float" << 60.0 / 3600 << "0,016666668"
                                                   << "0.016666668";
        QTest::newRow("float a million") << "float" << 1e6 << "1e+06"
                                         << "1e+06";
        QTest::newRow("double 4020 s in hours") << "double" << 4020.0 / 3600 << "1,1166666666666667"
                                                << "1.1166666666666667";
        QTest::newRow("double 1.875") << "double" << 1.875 << "1,875"
                                      << "1.875";
        QTest::newRow("two 12.3f") << "two" << double(12.3f) << "12,30"
                                   << "12.30";
        QTest::newRow("two 200") << "two" << 200.0 << "200,00"
                                 << "200.00";
        QTest::newRow("two -3.2f") << "two" << double(-3.2f) << "-3,20"
                                   << "-3.20";
        QTest::newRow("two never -0,00") << "two" << -0.004 << "0,00"
                                         << "0.00";
        QTest::newRow("two tie to even down") << "two" << 0.125 << "0,12"
                                              << "0.12";
        QTest::newRow("two tie to even up") << "two" << 0.375 << "0,38"
                                            << "0.38";
        QTest::newRow("two no average") << "two" << std::nan("") << ""
                                        << "";
        QTest::newRow("two 1e300") << "two" << 1e300 << "1e+300"
                                   << "1e+300";
        QTest::newRow("two infinite") << "two" << -HUGE_VAL << ""
                                      << "";
        // Sample values take a shorter road.
        QTest::newRow("sample 12.3f") << "sample" << double(12.3f) << "12,30"
                                      << "12.30";
        QTest::newRow("sample -3.2f") << "sample" << double(-3.2f) << "-3,20"
                                      << "-3.20";
        QTest::newRow("sample never -0,00") << "sample" << -0.004 << "0,00"
                                            << "0.00";
        QTest::newRow("sample tie to even down") << "sample" << 0.125 << "0,12"
                                                 << "0.12";
        QTest::newRow("sample tie to even up") << "sample" << 0.375 << "0,38"
                                               << "0.38";
        QTest::newRow("sample 1e30") << "sample" << 1e30 << "1e+30"
                                     << "1e+30";
        QTest::newRow("sample no value") << "sample" << std::nan("") << ""
                                         << "";
        QTest::newRow("sample infinite") << "sample" << HUGE_VAL << ""
                                         << "";
    }
    void numberForms() {
        QFETCH(QString, form);
        QFETCH(double, value);
        QFETCH(QString, comma);
        QFETCH(QString, point);
        for (const auto& [decimal, expected] : {std::pair{',', comma}, std::pair{'.', point}}) {
            char buf[kMaxNumberChars];
            char* end = form == "float"    ? putShortest(buf, float(value), decimal)
                        : form == "double" ? putShortest(buf, value, decimal)
                        : form == "sample" ? putTwoDecimals(buf, float(value), decimal)
                                           : putTwoDecimals(buf, value, decimal);
            QCOMPARE(QString::fromLatin1(buf, end - buf), expected);
        }
    }

    // Floats take their own road to the shortest text where that is quick; it must give what
    // std::to_chars gives. Every float was compared once; here a spread over all bit patterns
    // and every float around the edges of that road and of the text forms.
    void shortestFloatsAsTheLibraryWritesThem() {
        std::vector<std::uint32_t> patterns;
        for (std::uint64_t u = 0; u < (std::uint64_t(1) << 32); u += 2654435)
            patterns.push_back(std::uint32_t(u));
        for (const float edge : {0x1p-37f, 0x1p-36f, 0x1p22f, 0x1p23f, 0x1p24f, 1e-5f, 1e-4f, 1e-3f,
                                 1.0f, 10.0f, 100000.0f, 1e6f, 8388607.5f, 0.0f})
            for (int sign = 0; sign < 2; ++sign) {
                std::uint32_t bits;
                const float f = sign ? -edge : edge;
                std::memcpy(&bits, &f, sizeof bits);
                for (std::uint32_t d = 0; d < 2000; ++d)
                    patterns.insert(patterns.end(), {bits + d, bits - d});
            }
        for (const char decimal : {',', '.'})
            for (const std::uint32_t bits : patterns) {
                float f;
                std::memcpy(&f, &bits, sizeof f);
                char ours[kMaxNumberChars];
                char library[kMaxNumberChars];
                const QByteArray got(ours, putShortest(ours, f, decimal) - ours);
                QByteArray expected(
                    library, std::to_chars(library, library + sizeof library, f).ptr - library);
                if (decimal != '.')
                    expected.replace('.', decimal);
                if (got != expected)
                    QFAIL(qPrintable(
                        QStringLiteral("%1: %2, not %3")
                            .arg(bits, 8, 16, QLatin1Char('0'))
                            .arg(QString::fromLatin1(got), QString::fromLatin1(expected))));
            }
    }

    void fieldsAreQuotedWhenNeeded_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("semicolon");
        QTest::addColumn<QByteArray>("comma");
        QTest::newRow("plain") << "tijd (minuten)" << QByteArray("tijd (minuten)")
                               << QByteArray("tijd (minuten)");
        QTest::newRow("separator") << "a;b,c" << QByteArray("\"a;b,c\"") << QByteArray("\"a;b,c\"");
        QTest::newRow("only a comma") << "12,5" << QByteArray("12,5") << QByteArray("\"12,5\"");
        QTest::newRow("quotes") << "Kan bestand \"x\" niet openen"
                                << QByteArray("\"Kan bestand \"\"x\"\" niet openen\"")
                                << QByteArray("\"Kan bestand \"\"x\"\" niet openen\"");
        QTest::newRow("line break") << "a\nb" << QByteArray("\"a\nb\"") << QByteArray("\"a\nb\"");
        QTest::newRow("degrees") << "temperatuur (\u00B0C)"
                                 << QByteArray("temperatuur (\xC2\xB0"
                                               "C)")
                                 << QByteArray("temperatuur (\xC2\xB0"
                                               "C)");
    }
    void fieldsAreQuotedWhenNeeded() {
        QFETCH(QString, text);
        QFETCH(QByteArray, semicolon);
        QFETCH(QByteArray, comma);
        QCOMPARE(csvField(text, ';'), semicolon);
        QCOMPARE(csvField(text, ','), comma);
    }

    void seriesExports_data() {
        QTest::addColumn<CsvExport>("kind");
        QTest::addColumn<ImageBuilder>("image");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QByteArray>("expected");
        const QDateTime july(QDate(2016, 7, 18), QTime(16, 30, 30));
        QTest::newRow("voltages, decimal comma")
            << CsvExport::Voltage << fourVoltages() << dutch() << 1 << july
            << QByteArray("tijd (minuten);spanning (V);datum en tijd\n"
                          "0;12,30;2016-07-18T16:30:30\n"
                          "1;12,80;2016-07-18T16:31:30\n"
                          "2;12,80;2016-07-18T16:32:30\n"
                          "3;12,30;2016-07-18T16:33:30\n");
        QTest::newRow("voltages, decimal point, in hours")
            << CsvExport::Voltage << fourVoltages() << english() << 2 << july
            << QByteArray("tijd (uren),spanning (V),datum en tijd\n"
                          "0,12.30,2016-07-18T16:30:30\n"
                          "0.016666668,12.80,2016-07-18T16:31:30\n"
                          "0.033333335,12.80,2016-07-18T16:32:30\n"
                          "0.05,12.30,2016-07-18T16:33:30\n");

        ImageBuilder frost;
        frost.calibration(300).recording(7, 2).temperature(-3.2).temperature(-0.2);
        frost.temperature(0).temperature(25).done();
        QTest::newRow("temperatures below zero")
            << CsvExport::Temperature << frost << dutch() << 1 << july
            << QByteArray("tijd (minuten);temperatuur (\xC2\xB0"
                          "C);datum en tijd\n"
                          "0;-3,20;2016-07-18T16:30:30\n"
                          "1;-0,20;2016-07-18T16:31:30\n"
                          "2;0,00;2016-07-18T16:32:30\n"
                          "3;25,00;2016-07-18T16:33:30\n");

        // Sixteen a second: the clock moves on at the half second.
        ImageBuilder fast;
        fast.calibration(300).recording(18, 1).temperature(20).voltage(12.3, 10).done();
        QTest::newRow("16 per second") << CsvExport::Voltage << fast << dutch() << 0 << july
                                       << QByteArray("tijd (seconden);spanning (V);datum en tijd\n"
                                                     "0;12,30;2016-07-18T16:30:30\n"
                                                     "0,0625;12,30;2016-07-18T16:30:30\n"
                                                     "0,125;12,30;2016-07-18T16:30:30\n"
                                                     "0,1875;12,30;2016-07-18T16:30:30\n"
                                                     "0,25;12,30;2016-07-18T16:30:30\n"
                                                     "0,3125;12,30;2016-07-18T16:30:30\n"
                                                     "0,375;12,30;2016-07-18T16:30:30\n"
                                                     "0,4375;12,30;2016-07-18T16:30:30\n"
                                                     "0,5;12,30;2016-07-18T16:30:31\n"
                                                     "0,5625;12,30;2016-07-18T16:30:31\n");
        QTest::newRow("16 per second, temperature every 1.875 s")
            << CsvExport::Temperature << fast << dutch() << 0 << july
            << QByteArray("tijd (seconden);temperatuur (\xC2\xB0"
                          "C);datum en tijd\n"
                          "0;20,00;2016-07-18T16:30:30\n");

        QTest::newRow("summer time begins")
            << CsvExport::Voltage << fourVoltages() << dutch() << 1 << amsterdam(2016, 3, 27, 1, 58)
            << QByteArray("tijd (minuten);spanning (V);datum en tijd\n"
                          "0;12,30;2016-03-27T01:58:00\n"
                          "1;12,80;2016-03-27T01:59:00\n"
                          "2;12,80;2016-03-27T03:00:00\n"
                          "3;12,30;2016-03-27T03:01:00\n");
        // 00:58 UTC is 02:58 summer time; the clock goes back an hour at 01:00 UTC.
        QTest::newRow("summer time ends")
            << CsvExport::Voltage << fourVoltages() << dutch() << 1
            << QDateTime(QDate(2016, 10, 30), QTime(0, 58), QTimeZone::utc())
                   .toTimeZone(QTimeZone("Europe/Amsterdam"))
            << QByteArray("tijd (minuten);spanning (V);datum en tijd\n"
                          "0;12,30;2016-10-30T02:58:00\n"
                          "1;12,80;2016-10-30T02:59:00\n"
                          "2;12,80;2016-10-30T02:00:00\n"
                          "3;12,30;2016-10-30T02:01:00\n");
    }
    void seriesExports() {
        QFETCH(CsvExport, kind);
        QFETCH(ImageBuilder, image);
        QFETCH(QLocale, locale);
        QFETCH(int, unit);
        QFETCH(QDateTime, start);
        QFETCH(QByteArray, expected);
        ProcessingSettings s = ProcessingSettings::defaults(locale);
        s.timeUnit = unit;
        s.periodStart = start;
        const auto p = process(image, s);
        QVERIFY(p->completed);
        QCOMPARE(exported(kind, p, s), kBom + expected);
    }

    // The clock column comes from the exact seconds, not from the stored time in the unit: the
    // same in all five units, "Datum aansluiting" plus the seconds rounded, and consecutive
    // samples exactly one interval apart.
    void clockTimesComeFromTheExactSeconds() {
        ProcessingSettings s = dutchSettings(0);
        s.periodStart = QDateTime(QDate(2016, 1, 1), QTime(0, 0), QTimeZone::utc());
        auto p = process(fiveYears(), s);
        const SampleTimeline& timeline = p->samples.voltageTimeline;
        QCOMPARE(p->samples.voltageSampleCount, 625'000);
        QCOMPARE(timeline.stretches().size(), std::size_t(3));
        const auto clockColumn = [](const QByteArray& csv) {
            QList<QByteArray> column;
            for (const QByteArray& row : rowsOf(csv))
                column << row.mid(row.lastIndexOf(';') + 1);
            return column;
        };
        const QList<QByteArray> clocks = clockColumn(exported(CsvExport::Voltage, p, s));
        QCOMPARE(clocks.size(), qsizetype(625'000));
        std::int64_t before = 0;
        for (std::int32_t k = 1; k <= 625'000; ++k) {
            const QByteArray& clock = clocks[k - 1];
            const std::int64_t second = roundedSeconds(timeline.seconds(k));
            // Walking the stretches, as the clock runs.
            if (k % 997 == 1 || k % 100'000 < 3)
                QCOMPARE(clock,
                         s.periodStart.addSecs(second).toString(u"yyyy-MM-ddTHH:mm:ss").toLatin1());
            const std::int64_t ofDay = clock.mid(11, 2).toInt() * 3600 +
                                       clock.mid(14, 2).toInt() * 60 + clock.mid(17, 2).toInt();
            const bool sameStretch = k > 1 && timeline.interval(k) == timeline.interval(k - 1) &&
                                     timeline.seconds(k) > timeline.seconds(k - 1);
            if (sameStretch &&
                (ofDay - before + 86'400) % 86'400 != std::int64_t(timeline.interval(k)))
                QFAIL(qPrintable(QString("row %1: %2 after %3 s of the day")
                                     .arg(k)
                                     .arg(QString::fromLatin1(clock))
                                     .arg(before)));
            before = ofDay;
        }
        QCOMPARE(clocks.last(), QByteArray("2021-03-07T08:30:00"));
        for (int unit = 1; unit < 5; ++unit) {
            s.timeUnit = unit;
            p = process(fiveYears(), s);
            QVERIFY2(clockColumn(exported(CsvExport::Voltage, p, s)) == clocks,
                     qPrintable(QString("unit %1").arg(unit)));
        }
    }

    // Only the rows whose stored time lies between the two ends, both included, either order;
    // on a long series, whose rows are formatted in blocks on several threads, too.
    void rangeExport_data() {
        QTest::addColumn<CsvExport>("kind");
        QTest::addColumn<ImageBuilder>("image");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<int>("rows");
        QTest::newRow("two of four") << CsvExport::Voltage << fourVoltages() << 1.0 << 2.0 << 2;
        QTest::newRow("ends swapped") << CsvExport::Voltage << fourVoltages() << 2.0 << 1.0 << 2;
        QTest::newRow("ends between rows")
            << CsvExport::Voltage << fourVoltages() << 0.5 << 2.5 << 2;
        QTest::newRow("one moment") << CsvExport::Voltage << fourVoltages() << 3.0 << 3.0 << 1;
        QTest::newRow("after the last") << CsvExport::Voltage << fourVoltages() << 3.5 << 9.0 << 0;
        QTest::newRow("all of it") << CsvExport::Voltage << fourVoltages() << -1.0 << 1e9 << 4;
        QTest::newRow("long series, voltages")
            << CsvExport::Voltage << longSeries() << 70'000.0 << 12'345.0 << 57'656;
        QTest::newRow("long series, temperatures")
            << CsvExport::Temperature << longSeries() << 99'999.5 << 2'000.0 << 38'001;
    }
    void rangeExport() {
        QFETCH(CsvExport, kind);
        QFETCH(ImageBuilder, image);
        QFETCH(double, from);
        QFETCH(double, to);
        const ProcessingSettings s = dutchSettings();
        const auto p = process(image, s);
        const QByteArray whole = exported(kind, p, s);
        QByteArray expected = whole.left(whole.indexOf('\n') + 1);
        int rows = 0;
        for (const QByteArray& row : rowsOf(whole)) {
            const double t = row.left(row.indexOf(';')).replace(',', '.').toDouble();
            if (t >= std::min(from, to) && t <= std::max(from, to)) {
                expected += row + '\n';
                ++rows;
            }
        }
        QTEST(rows, "rows");
        const QString path = dir.filePath("bereik.csv");
        QVERIFY(!saveCsvRange(kind, *p.result, s, from, to, path));
        QCOMPARE(readFile(path), expected);
    }

    // The per-day and band exports, with the figures of two days around midnight: voltages on
    // both, temperatures on the first only, events on the day they begin.
    void dayAndBandExports_data() {
        QTest::addColumn<CsvExport>("kind");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray daysHeader = "datum;spanningsmetingen;min spanning;tijd min spanning;"
                                      "max spanning;tijd max spanning;gemiddelde spanning;"
                                      "temperatuurmetingen;min temperatuur;tijd min temperatuur;"
                                      "max temperatuur;tijd max temperatuur;"
                                      "gemiddelde temperatuur;calamiteiten\n";
        QTest::newRow("days, decimal comma")
            << CsvExport::Days << dutch()
            << daysHeader + "2016-07-18;2;12,34;23:58:30;12,84;23:59:30;12,59;"
                            "2;-0,20;23:58:30;1,00;23:59:30;0,40;2\n"
                            "2016-07-19;3;12,34;00:00:30;12,84;00:01:30;12,51;0;;;;;;1\n";
        QTest::newRow("days, decimal point")
            << CsvExport::Days << english()
            << QByteArray(daysHeader).replace(';', ',') +
                   "2016-07-18,2,12.34,23:58:30,12.84,23:59:30,12.59,"
                   "2,-0.20,23:58:30,1.00,23:59:30,0.40,2\n"
                   "2016-07-19,3,12.34,00:00:30,12.84,00:01:30,12.51,0,,,,,,1\n";
        QTest::newRow("bands, decimal comma")
            << CsvExport::Bands << dutch()
            << QByteArray("soort;van;tot;metingen;uren\n"
                          "spanning;12,3;12,4;3;0,05\n"
                          "spanning;12,4;12,5;0;0\n"
                          "spanning;12,5;12,6;0;0\n"
                          "spanning;12,6;12,7;0;0\n"
                          "spanning;12,7;12,8;0;0\n"
                          "spanning;12,8;12,9;2;0,03333333333333333\n"
                          "temperatuur;-1;0;1;0,016666666666666666\n"
                          "temperatuur;0;1;0;0\n"
                          "temperatuur;1;2;1;0,016666666666666666\n");
        QTest::newRow("bands, decimal point")
            << CsvExport::Bands << english()
            << QByteArray("soort,van,tot,metingen,uren\n"
                          "spanning,12.3,12.4,3,0.05\n"
                          "spanning,12.4,12.5,0,0\n"
                          "spanning,12.5,12.6,0,0\n"
                          "spanning,12.6,12.7,0,0\n"
                          "spanning,12.7,12.8,0,0\n"
                          "spanning,12.8,12.9,2,0.03333333333333333\n"
                          "temperatuur,-1,0,1,0.016666666666666666\n"
                          "temperatuur,0,1,0,0\n"
                          "temperatuur,1,2,1,0.016666666666666666\n");
    }
    void dayAndBandExports() {
        QFETCH(CsvExport, kind);
        QFETCH(QLocale, locale);
        QFETCH(QByteArray, expected);
        // At 1 degree the compensation makes 12.3 and 12.8 V read as 12.34 and 12.84.
        ImageBuilder b;
        b.calibration(300).recording(7, 2).temperature(-0.2).temperature(1);
        b.voltage(12.3).voltage(12.8).voltage(12.3).voltage(12.8).voltage(12.3).done();
        ProcessingSettings s = ProcessingSettings::defaults(locale);
        s.periodStart = QDateTime(QDate(2016, 7, 18), QTime(23, 58, 30), QTimeZone::utc());
        s.filterText(FilterField::VoltageTimeFilter) = "0";
        s.filterText(FilterField::TemperatureTimeFilter) = "0";
        const auto p = process(b, s);
        QCOMPARE(p->eventCount, 3);
        QCOMPARE(exported(kind, p, s), kBom + expected);
    }

    void eventExport_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("minutes, decimal comma")
            << dutch() << 1
            << QByteArray("nummer;soort;hoeveelste;begin (minuten);einde (minuten);duur (s);"
                          "gemiddelde;extreem\n"
                          "1;overspanning;1;60;67;420;12,80;12,80\n"
                          "2;overtemperatuur;1;1;7;360;40,00;40,00\n");
        QTest::newRow("hours, decimal point")
            << english() << 2
            << QByteArray("nummer,soort,hoeveelste,begin (uren),einde (uren),duur (s),"
                          "gemiddelde,extreem\n"
                          "1,overspanning,1,1,1.1166666666666667,420,12.80,12.80\n"
                          "2,overtemperatuur,1,0.016666666666666666,0.11666666666666667,360,"
                          "40.00,40.00\n");
    }
    void eventExport() {
        QFETCH(QLocale, locale);
        QFETCH(int, unit);
        QFETCH(QByteArray, expected);
        ProcessingSettings s = ProcessingSettings::defaults(locale);
        s.timeUnit = unit;
        const auto p = process(twoEvents(), s);
        QCOMPARE(p->eventCount, 2);
        QCOMPARE(exported(CsvExport::Events, p, s), kBom + expected);
    }

    // The event list stops at 9,999; the export goes on, as the report does.
    void moreEventsThanTheListHolds() {
        ImageBuilder b = minuteRecording();
        for (int i = 0; i < 10'001; ++i)
            b.voltage(12.8).voltage(12.3);
        b.done();
        ProcessingSettings s = dutchSettings();
        s.filterText(FilterField::VoltageTimeFilter) = "0";
        const auto p = process(b, s);
        const QList<QByteArray> lines = exported(CsvExport::Events, p, s).split('\n');
        QCOMPARE(lines.size(), qsizetype(1 + 10'001 + 1));
        QCOMPARE(lines.at(9'999), QByteArray("9999;overspanning;9999;19996;19997;60;12,80;12,80"));
        QCOMPARE(lines.at(10'001),
                 QByteArray("10001;overspanning;10001;20000;20001;60;12,80;12,80"));
        QCOMPARE(lines.last(), QByteArray());
    }

    // The clock's shortcut gives what QDateTime::addSecs gives, for local time, zones, UTC and
    // fixed offsets, forwards, backwards and across the transitions of a year.
    void wallClockIsAddSecs_data() {
        QTest::addColumn<QDateTime>("start");
        QTest::newRow("Amsterdam") << amsterdam(2016, 3, 26, 12, 0);
        QTest::newRow("Sao Paulo")
            << QDateTime(QDate(2016, 2, 20), QTime(0, 30, 15), QTimeZone("America/Sao_Paulo"));
        QTest::newRow("Lord Howe, half-hour shift")
            << QDateTime(QDate(2016, 4, 2), QTime(23, 0), QTimeZone("Australia/Lord_Howe"));
        QTest::newRow("UTC") << QDateTime(QDate(2016, 3, 26), QTime(12, 0), QTimeZone::utc());
        QTest::newRow("fixed offset")
            << QDateTime(QDate(2016, 3, 26), QTime(12, 0), QTimeZone(19800));
        QTest::newRow("local time") << QDateTime(QDate(2016, 3, 26), QTime(12, 0));
        QTest::newRow("year 1") << QDateTime(QDate(1, 1, 1), QTime(0, 0), QTimeZone::utc());
    }
    void wallClockIsAddSecs() {
        QFETCH(QDateTime, start);
        WallClock clock(start);
        std::vector<std::int64_t> offsets;
        for (std::int64_t s = -86'400; s < 400 * 86'400; s += 3'599)
            offsets.push_back(s);
        for (std::int64_t s = 3 * 86'400; s > -2 * 86'400; s -= 7'201)
            offsets.push_back(s);
        for (const std::int64_t s : offsets) {
            char buf[WallClock::kMaxChars];
            const QString ours = QString::fromLatin1(buf, clock.put(buf, s) - buf);
            const QString qt = start.addSecs(s).toString(u"yyyy-MM-ddTHH:mm:ss");
            if (ours != qt)
                QFAIL(qPrintable(QString("%1 s: %2, Qt %3").arg(s).arg(ours, qt)));
        }
    }

    void savedExportIsWhatIsWritten() {
        const ProcessingSettings s = dutchSettings();
        const auto p = process(twoEvents(), s);
        const QString path = dir.filePath("calamiteiten.csv");
        writeFile(path, "an older export");
        QVERIFY(!saveCsv(CsvExport::Events, *p.result, s, path));
        QCOMPARE(readFile(path), exported(CsvExport::Events, p, s));
    }

    void failedSaveKeepsTheOldFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("disk full") << "full";
        QTest::newRow("target is a directory") << "directory";
        QTest::newRow("folder missing") << "nofolder";
    }
    void failedSaveKeepsTheOldFile() {
        QFETCH(QString, kind);
        // About 3.5 MB of rows.
        ImageBuilder b = minuteRecording();
        b.voltage(12.3, 100'000).done();
        const ProcessingSettings s = dutchSettings();
        const auto p = process(b, s);
        QString path = dir.filePath("keep-" + kind + ".csv");
        const QByteArray old("the old export, whole");
        std::optional<QString> error;
        if (kind == "full") {
            writeFile(path, old);
            FileSizeLimit limit(1 << 20);
            error = saveCsv(CsvExport::Voltage, *p.result, s, path);
        } else if (kind == "directory") {
            QVERIFY(QDir().mkpath(path));
            error = saveCsv(CsvExport::Voltage, *p.result, s, path);
        } else {
            path = dir.filePath("no/such/folder/x.csv");
            error = saveCsv(CsvExport::Voltage, *p.result, s, path);
        }
        QVERIFY(error.has_value());
        QVERIFY2(error->startsWith("Kan bestand \"" + path + "\" niet opslaan: "),
                 qPrintable(*error));
        QVERIFY2(error->size() > QString("Kan bestand \"" + path + "\" niet opslaan: ").size(),
                 "the reason is given");
        if (kind == "full") {
            QCOMPARE(readFile(path), old);
            QCOMPARE(QDir(dir.path()).entryList({"keep-full*"}, QDir::Files),
                     QStringList{"keep-full.csv"});
        }
    }

    // A device that refuses a write is reported, not taken for success.
    void refusedWriteIsReported() {
        const ProcessingSettings s = dutchSettings();
        const auto p = process(twoEvents(), s);
        QFile readOnly(dir.filePath("read-only"));
        writeFile(readOnly.fileName(), "x");
        QVERIFY(readOnly.open(QIODevice::ReadOnly));
        const auto error = writeCsv(CsvExport::Voltage, *p.result, s, readOnly);
        QVERIFY(error.has_value());
        QVERIFY2(error->startsWith("Schrijven is mislukt"), qPrintable(*error));
    }

    // Rows written on several threads that stop on the way say why: an allocation that failed
    // as "te weinig geheugen", anything else in its own words, a cancel as such; and a
    // cancel stops the writing between blocks.
    void stoppedRowsSayWhy_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("why");
        QTest::newRow("no memory") << "memory"
                                   << "te weinig geheugen";
        QTest::newRow("a fault of its own") << "fault"
                                            << "kapot";
        QTest::newRow("cancelled") << "cancel" << writeCancelledText();
    }
    void stoppedRowsSayWhy() {
        QFETCH(QString, how);
        constexpr std::int64_t kRows = 1'000'000;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        CsvWriter writer(buffer, CsvStyle{});
        const RowFormat format = [how](char* out, std::int64_t from, std::int64_t to) -> char* {
            if (from > 0 && how == "memory")
                throw std::bad_alloc();
            if (from > 0 && how == "fault")
                throw std::runtime_error("kapot");
            for (std::int64_t i = from; i < to; ++i)
                *out++ = '\n';
            return out;
        };
        WriteControl control;
        double shown = 0;
        control.progressed = [&shown](double share) { shown = share; };
        control.cancelled = [&] { return how == "cancel" && shown > 0; };
        writeRows(writer, kRows, 1, format, control);
        QVERIFY(!writer.finish());
        QTEST(writer.errorString(), "why");
        QVERIFY(bytes.size() < kRows);
    }
};

QTEST_GUILESS_MAIN(TestExports)
#include "tst_exports.moc"
