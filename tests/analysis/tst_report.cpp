#include <QTest>

#include "analysis/numbers.h"
#include "processingfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
struct Written {
    Report report;
    Limits limits;
};
Limits defaultLimits() {
    Limits l;
    l.overVoltage = 12.6L;
    l.underVoltage = 12;
    l.overTemperature = 35;
    l.underTemperature = 0;
    return l;
}
QStringList texts(const Report& r, int from) {
    QStringList out;
    for (std::size_t i = std::size_t(from); i < r.lines().size(); ++i)
        out << r.lines()[i].text;
    return out;
}
QString colours(const Report& r, int from) {
    QString out;
    for (std::size_t i = std::size_t(from); i < r.lines().size(); ++i)
        out += r.lines()[i].red ? 'R' : 'n';
    return out;
}
} // namespace

Q_DECLARE_METATYPE(veltrano::CrossGroup)

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void measuredValueFormat_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("dutch");
        QTest::addColumn<QString>("plain");
        QTest::newRow("12.8") << 12.8 << "12,8"
                              << "12.8";
        QTest::newRow("12.0") << 12.0 << "12"
                              << "12";
        QTest::newRow("12.3456") << 12.3456 << "12,35"
                                 << "12.35";
        QTest::newRow("200") << 200.0 << "200"
                             << "200";
        QTest::newRow("tie to even down") << 0.125 << "0,12"
                                          << "0.12";
        QTest::newRow("tie to even up") << 0.375 << "0,38"
                                        << "0.38";
        QTest::newRow("negative zero") << -0.001 << "0"
                                       << "0";
        QTest::newRow("negative") << -12.0 << "-12"
                                  << "-12";
    }
    void measuredValueFormat() {
        QFETCH(double, value);
        QFETCH(QString, dutch);
        QFETCH(QString, plain);
        QCOMPARE(formatMeasured(value, testing::dutch()), dutch);
        QCOMPARE(formatMeasured(value, QLocale::c()), plain);
    }

    void momentsRoundHalfToEven_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("shown");
        QTest::newRow("90 s") << 90.0 << "2";
        QTest::newRow("150 s") << 150.0 << "2";
        QTest::newRow("-30 s") << -30.0 << "0";
        QTest::newRow("7500 s") << 7500.0 << "125";
    }
    void momentsRoundHalfToEven() {
        QFETCH(double, seconds);
        QFETCH(QString, shown);
        QCOMPARE(formatMoment(static_cast<long double>(seconds) / 60), shown);
    }

    void numbersTypedByTheUser_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("dutchOk");
        QTest::addColumn<bool>("englishOk");
        QTest::newRow("12,6") << "12,6" << true << false;
        QTest::newRow("12.6") << "12.6" << false << true;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("minus only") << "-" << false << false;
        QTest::newRow("separator only") << "," << false << false;
        QTest::newRow("1,2,3") << "1,2,3" << false << false;
        QTest::newRow("full-width digits") << "\uFF11\uFF12" << false << false;
        QTest::newRow("1e308") << "1e308" << true << true;
        QTest::newRow("beyond extended range") << "1e5000" << false << false;
        QTest::newRow("blanks around") << " -5 " << true << true;
        QTest::newRow("300 digits") << QString(300, '9') << true << true;
    }
    void numbersTypedByTheUser() {
        QFETCH(QString, text);
        QFETCH(bool, dutchOk);
        QFETCH(bool, englishOk);
        QCOMPARE(parseLocaleNumber(text, dutch()).has_value(), dutchOk);
        QCOMPARE(parseLocaleNumber(text, QLocale(QLocale::English)).has_value(), englishOk);
    }

    // The example block: over-voltage 2, first of its kind, 7500 s, 420 s.
    void exampleBlock() {
        Report report;
        const Limits limits = defaultLimits();
        EventBlockWriter writer(report, limits, dutch(), 60, "minuut");
        writer.write({EventKind::OverVoltage, 2, 1, 7500, 420, 12.84, 13.1, {41.5, 2, 21, 20.5}});
        QCOMPARE(
            texts(report, 19),
            QStringList({"", "Calamiteit nummer\t2", "Hoeveelste overspanning\t1",
                         "Moment van overspanning\tminuut 125",
                         "Duur van de overspanning\t0 dagen 0 uren 7 minuten 0 seconden ",
                         "Gemiddelde overspanning\t12,84 Volt", "Hoogste spanning\t13,1 Volt",
                         "Gemiddelde temperatuur\t20,75 \u00B0C", "Hoogste temperatuur\t21 \u00B0C",
                         "Laagste temperatuur\t20,5 \u00B0C"}));
        QCOMPARE(colours(report, 19), QString("nnnnnRRnnn"));
    }

    // Once a cross line turns red the rest of the block and the next block's head stay red.
    void redCarriesOver_data() {
        QTest::addColumn<CrossGroup>("cross");
        QTest::addColumn<QString>("colours");
        QTest::newRow("hot during under-voltage") << CrossGroup{114, 3, 40, 36}
                                                  << "nnnnnRRRRR"
                                                     "RRRRRRRnnn";
        QTest::newRow("only the lowest below the limit") << CrossGroup{1, 2, 2, -1}
                                                         << "nnnnnRRnnR"
                                                            "RRRRRRRnnn";
        QTest::newRow("frost: sum below zero, no lines") << CrossGroup{-7, 2, -3, -4}
                                                         << "nnnnnRR"
                                                            "nnnnnRRnnn";
        QTest::newRow("nothing gathered") << CrossGroup{}
                                          << "nnnnnRR"
                                             "nnnnnRRnnn";
    }
    void redCarriesOver() {
        QFETCH(CrossGroup, cross);
        QFETCH(QString, colours);
        Report report;
        const Limits limits = defaultLimits();
        EventBlockWriter writer(report, limits, dutch(), 60, "minuut");
        writer.write({EventKind::UnderVoltage, 1, 1, 0, 600, 11.5, 11.2, cross});
        writer.write({EventKind::OverVoltage, 2, 1, 900, 600, 12.9, 13.0, {60, 3, 21, 19}});
        QCOMPARE(::colours(report, 19), colours);
    }

    void durationFigures_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("figures");
        QTest::newRow("one week") << 604800.0 << "7 dagen 0 uren 0 minuten 0 seconden ";
        QTest::newRow("half a second") << 0.5 << "0 dagen 0 uren 0 minuten 0 seconden ";
        QTest::newRow("93784.5 s") << 93784.5 << "1 dagen 2 uren 3 minuten 4 seconden ";
    }
    void durationFigures() {
        QFETCH(double, seconds);
        QFETCH(QString, figures);
        Report report;
        const Limits limits = defaultLimits();
        EventBlockWriter writer(report, limits, dutch(), 60, "minuut");
        writer.write({EventKind::UnderTemperature, 1, 1, 0, seconds, -2, -3, {}});
        QCOMPARE(report.lines()[23].text, "Duur van ondertemperatuur\t" + figures);
        QCOMPARE(report.lines()[24].text, QString("gemiddelde ondertemperatuur\t-2 \u00B0C"));
    }

    // 874800 s is 10 days and 3 hours.
    void summaryOfARecording() {
        ImageBuilder b;
        b.calibration(300).recording(8, 6).temperature(20);
        b.voltage(12.1).voltage(13.4, 2915).voltage(12.1).temperature(22).done();
        ProcessingSettings s = dutchSettings();
        s.periodStart = QDateTime(QDate(2024, 3, 1), QTime(9, 0));
        s.periodEnd = QDateTime(QDate(2024, 3, 11), QTime(12, 0));
        s.filterText(FilterField::OverVoltage) = "14";
        const auto p = process(b, s);
        const QLocale nl = dutch();
        QCOMPARE(p.line(0), "Periode gemeten vanaf " +
                                nl.toString(QDate(2024, 3, 1), QLocale::ShortFormat) + " tot " +
                                nl.toString(QDate(2024, 3, 11), QLocale::ShortFormat));
        QCOMPARE(p.texts().mid(1, 17),
                 QStringList({"Gemiddelde spanning\t13,4 Volt", "Max spanning\t13,4 Volt",
                              "Min spanning\t12,1 Volt", "", "Gemiddelde temperatuur\t21 \u00B0C",
                              "Max temperatuur\t22 \u00B0C", "Min temperatuur\t20 \u00B0C", "",
                              "Spanningmeetinterval\t5 minuten",
                              "Temperatuurmeetinterval\t30 minuten", "", "0 seconden", "0 minuten",
                              "3 uren", "3 dagen", "1,45 weken", "Aantal calamiteiten \t0"}));
        QCOMPARE(p->voltageAxisMin, 12.1f - 2.0);
        QCOMPARE(p->voltageAxisMax, 13.4f + 2.0);
        QCOMPARE(p->lastVoltageTime, 874800.0 / 60);
    }

    void summaryOfFrostTemperatures() {
        ImageBuilder b;
        b.recording(2, 1).temperature(-12).temperature(-7).temperature(-3).done();
        const auto p = process(b, dutchSettings());
        QCOMPARE(p.texts().mid(5, 3),
                 QStringList({"Gemiddelde temperatuur\t-7,33 \u00B0C",
                              "Max temperatuur\t-3 \u00B0C", "Min temperatuur\t-12 \u00B0C"}));
        QCOMPARE(p->temperatureAxisMin, -14.0);
        QCOMPARE(p->temperatureAxisMax, -1.0);
    }

    void summaryWithoutTemperatures() {
        ImageBuilder b;
        b.calibration(300).recording(18, 1).voltage(12.3, 959).done();
        const auto p = process(b, dutchSettings(0));
        QCOMPARE(p.line(5), QString("Gemiddelde temperatuur\tgeen metingen"));
        QCOMPARE(p.texts().mid(12, 3), QStringList({"59 seconden", "0 minuten", "0 uren"}));
    }

    // A text that is not a number stops the run before anything changes.
    void badSettingsChangeNothing_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("empty over") << 0 << ""
                                    << "Overspanning";
        QTest::newRow("minus under") << 1 << "-"
                                     << "Onderspanning";
        QTest::newRow("1,2,3 temp high") << 2 << "1,2,3"
                                         << "Temperatuur bovengrens";
        QTest::newRow("point in dutch filter") << 4 << "1.5"
                                               << "Tijdfilter spanning";
        QTest::newRow("letters temp filter") << 5 << "vijf"
                                             << "Tijdfilter temperatuur";
    }
    void badSettingsChangeNothing() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        ImageBuilder b = minuteRecording();
        b.voltage(12.8, 6).voltage(12.3).done();
        const std::vector<std::uint8_t> image = b.image();
        ProcessingSettings s = dutchSettings();
        DecoderState state;
        ProcessingResult result;
        QVERIFY(!processImage(image.data(), s, state, result));
        const QString before = result.report.plainText();
        s.filterText(FilterField(field)) = text;
        const auto error = processImage(image.data(), s, state, result);
        QVERIFY(error.has_value());
        QCOMPARE(error->field, std::optional(FilterField(field)));
        QVERIFY2(error->message.contains(caption), qPrintable(error->message));
        QCOMPARE(result.report.plainText(), before);
        QCOMPARE(result.samples.voltageSampleCount, 7);
    }
};

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
