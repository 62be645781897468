#include <QTest>

#include "recording/intervals.h"
#include "recording/timeunits.h"

using namespace veltrano;

class TestCatalogues : public QObject {
    Q_OBJECT
private slots:
    void voltageRows_data() {
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("table");
        QTest::addColumn<char>("command");
        QTest::addColumn<int>("code");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("report");
        QTest::newRow("16/sec") << 0 << "16/sec"
                                << "16/sec" << '0' << 18 << 0.0625 << " Snelmeten";
        QTest::newRow("1sec") << 1 << "1sec"
                              << "1 sec" << '1' << 2 << 1.0 << " 1 seconde";
        QTest::newRow("5sec") << 2 << "5sec"
                              << "5 sec " << '2' << 3 << 5.0 << "5 seconden";
        QTest::newRow("10sec") << 3 << "10sec"
                               << "10 sec" << '3' << 4 << 10.0 << "10 seconden";
        QTest::newRow("20sec") << 4 << "20sec"
                               << "20 sec" << '4' << 5 << 20.0 << "20 seconden";
        QTest::newRow("30sec") << 5 << "30sec"
                               << "30 sec" << '5' << 6 << 30.0 << "30 seconden";
        QTest::newRow("1min") << 6 << "1min"
                              << "1 min" << '6' << 7 << 60.0 << "1 minuut";
        QTest::newRow("5min") << 7 << "5min"
                              << "5 min" << '7' << 8 << 300.0 << "5 minuten";
    }
    void voltageRows() {
        QFETCH(int, pos);
        QFETCH(QString, list);
        QFETCH(QString, table);
        QFETCH(char, command);
        QFETCH(int, code);
        QFETCH(double, seconds);
        QFETCH(QString, report);
        const auto& row = kVoltageIntervals[std::size_t(pos)];
        QCOMPARE(voltageListLabels().at(pos), list);
        QCOMPARE(QString::fromLatin1(row.tableLabel), table);
        QCOMPARE(voltageCommand(pos), command);
        QCOMPARE(row.imageCode, code);
        QCOMPARE(voltageIntervalWordSeconds(code), seconds);
        QCOMPARE(voltageStartSeconds(code), seconds);
        QCOMPARE(voltageReportText(code), "Spanningmeetinterval\t" + report);
        QCOMPARE(isFastRecording(code), pos == 0);
    }

    // Codes no list offers: the two word kinds read them differently.
    void otherVoltageCodes_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<double>("intervalWordSeconds");
        QTest::newRow("9") << 9 << 600.0;
        QTest::newRow("16") << 16 << 1200.0;
        QTest::newRow("17") << 17 << 1800.0;
        QTest::newRow("0") << 0 << 60.0;
        QTest::newRow("1") << 1 << 60.0;
        QTest::newRow("1023") << 1023 << 60.0;
    }
    void otherVoltageCodes() {
        QFETCH(int, code);
        QFETCH(double, intervalWordSeconds);
        QCOMPARE(voltageIntervalWordSeconds(code), intervalWordSeconds);
        QCOMPARE(voltageStartSeconds(code), 60.0);
        QCOMPARE(voltageReportText(code), QString("Spanningmeetinterval\t1 minuten"));
        QVERIFY(!isFastRecording(code));
    }

    void temperatureRows_data() {
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("normalLabel");
        QTest::addColumn<QString>("fastLabel");
        QTest::addColumn<QString>("table");
        QTest::addColumn<char>("command");
        QTest::addColumn<double>("normal");
        QTest::addColumn<double>("fast");
        QTest::addColumn<QString>("normalReport");
        QTest::addColumn<QString>("fastReport");
        QTest::newRow("30sec") << 0 << 1 << "30sec"
                               << "1,875/sec"
                               << "30 sec" << ';' << 30.0 << 1.875 << "30 seconden"
                               << "1.875 seconden";
        QTest::newRow("1min") << 1 << 2 << "1min"
                              << "0,9375/sec"
                              << "1 min" << '<' << 60.0 << 3.75 << "1 minuut"
                              << "3.75 seconden";
        QTest::newRow("5min") << 2 << 3 << "5min"
                              << "0.1875/sec"
                              << "5 min" << '=' << 300.0 << 18.75 << "5 minuten"
                              << "18.75 seconden";
        QTest::newRow("10min") << 3 << 4 << "10min"
                               << "0,09375/sec"
                               << "10 min" << '8' << 600.0 << 37.5 << "10 minuten"
                               << "37.5 seconden";
        QTest::newRow("20min") << 4 << 5 << "20min"
                               << "0,046875/sec"
                               << "20 min" << '>' << 1200.0 << 75.0 << "20 minuten"
                               << "75 seconden";
        QTest::newRow("30min") << 5 << 6 << "30min"
                               << "0,03125/sec"
                               << "30 min" << '?' << 1800.0 << 112.5 << "30 minuten"
                               << "112.5 seconden";
        QTest::newRow("other code 0") << -1 << 0 << ""
                                      << ""
                                      << "" << '\0' << 300.0 << 18.75 << "5 minuten"
                                      << "18.75 seconden";
        QTest::newRow("other code 7") << -1 << 7 << ""
                                      << ""
                                      << "" << '\0' << 300.0 << 18.75 << "5 minuten"
                                      << "18.75 seconden";
    }
    void temperatureRows() {
        QFETCH(int, pos);
        QFETCH(int, code);
        QFETCH(QString, normalLabel);
        QFETCH(QString, fastLabel);
        QFETCH(QString, table);
        QFETCH(char, command);
        QFETCH(double, normal);
        QFETCH(double, fast);
        QFETCH(QString, normalReport);
        QFETCH(QString, fastReport);
        if (pos >= 0) {
            const auto& row = kTemperatureIntervals[std::size_t(pos)];
            QCOMPARE(row.imageCode, code);
            QCOMPARE(temperatureListLabels(false).at(pos), normalLabel);
            QCOMPARE(temperatureListLabels(true).at(pos), fastLabel);
            QCOMPARE(QString::fromLatin1(row.tableLabel), table);
            QCOMPARE(temperatureCommand(pos), command);
            QCOMPARE(row.fastSeconds * 16, row.normalSeconds);
        }
        QCOMPARE(temperatureSeconds(code, false), normal);
        QCOMPARE(temperatureSeconds(code, true), fast);
        QCOMPARE(temperatureReportText(code, false), "Temperatuurmeetinterval\t" + normalReport);
        QCOMPARE(temperatureReportText(code, true), "Temperatuurmeetinterval\t" + fastReport);
    }

    void mainWindowTimeUnits_data() {
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("divisor");
        QTest::addColumn<QString>("singular");
        QTest::addColumn<QString>("plural");
        QTest::newRow("0") << 0 << 1 << "seconde"
                           << "seconden";
        QTest::newRow("1") << 1 << 60 << "minuut"
                           << "minuten";
        QTest::newRow("2") << 2 << 3600 << "uur"
                           << "uren";
        QTest::newRow("3") << 3 << 86400 << "dag"
                           << "dagen";
        QTest::newRow("4") << 4 << 604800 << "week"
                           << "weken";
    }
    void mainWindowTimeUnits() {
        QFETCH(int, pos);
        QFETCH(int, divisor);
        QFETCH(QString, singular);
        QFETCH(QString, plural);
        const auto& u = kTimeUnits[std::size_t(pos)];
        QCOMPARE(u.divisor, divisor);
        QCOMPARE(QString(u.singular), singular);
        QCOMPARE(QString(u.plural), plural);
    }

    void tableTimeUnits_data() {
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("word");
        QTest::addColumn<double>("seconds");
        QTest::newRow("0") << 0 << "seconden" << 1.0;
        QTest::newRow("1") << 1 << "minuten" << 60.0;
        QTest::newRow("2") << 2 << "uren" << 3600.0;
        QTest::newRow("3") << 3 << "dagen" << 86400.0;
        QTest::newRow("4") << 4 << "weken" << 604800.0;
        QTest::newRow("jaren is 52 weeks") << 5 << "jaren" << 52 * 604800.0;
    }
    void tableTimeUnits() {
        QFETCH(int, pos);
        QFETCH(QString, word);
        QFETCH(double, seconds);
        QCOMPARE(QString(kTableTimeUnits[std::size_t(pos)].plural), word);
        QCOMPARE(kTableTimeUnits[std::size_t(pos)].seconds, seconds);
    }
};

QTEST_GUILESS_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
