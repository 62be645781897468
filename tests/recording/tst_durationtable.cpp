#include <QTest>

#include "memorywalk.h"
#include "recording/durationtable.h"
#include "recording/intervals.h"
#include "recording/timeunits.h"

using namespace veltrano;

namespace {

using testing::walkMemory;

QString cellName(int v, int t) {
    return QString::fromLatin1(kVoltageIntervals[std::size_t(v)].tableLabel).trimmed() + " x " +
           QString::fromLatin1(kTemperatureIntervals[std::size_t(t)].tableLabel);
}

} // namespace

class TestDurationTable : public QObject {
    Q_OBJECT
private slots:
    void everyCellEqualsTheMemoryWalk_data() {
        QTest::addColumn<int>("v");
        QTest::addColumn<int>("t");
        for (int v = 0; v < kDurationRows; ++v)
            for (int t = 0; t < kDurationColumns; ++t)
                QTest::newRow(qPrintable(cellName(v, t))) << v << t;
    }
    void everyCellEqualsTheMemoryWalk() {
        QFETCH(int, v);
        QFETCH(int, t);
        QCOMPARE(recordingSeconds(v, t), walkMemory(v, t));
    }

    // Known answers, independent of both computations above.
    void knownDurations_data() {
        QTest::addColumn<int>("v");
        QTest::addColumn<int>("t");
        QTest::addColumn<double>("seconds");
        QTest::newRow("1 sec x 30 sec") << 1 << 0 << 8118008.0;
        QTest::newRow("16/sec x 30 sec") << 0 << 0 << 507375.5;
        QTest::newRow("10 sec x 30 sec") << 3 << 0 << 62914560.0;
        QTest::newRow("5 min x 30 min") << 7 << 5 << 2157070800.0;
        QTest::newRow("1 min x 30 sec") << 6 << 0 << 167772180.0;
        QTest::newRow("30 sec x 1 min") << 5 << 1 << 167772180.0;
        QTest::newRow("5 min x 30 sec") << 7 << 0 << 228780240.0;
        QTest::newRow("30 sec x 5 min") << 5 << 2 << 228780240.0;
        QTest::newRow("5 min x 1 min") << 7 << 1 << 419430480.0;
        QTest::newRow("16/sec x 5 min") << 0 << 2 << 522546.25;
    }
    void knownDurations() {
        QFETCH(int, v);
        QFETCH(int, t);
        QFETCH(double, seconds);
        QCOMPARE(recordingSeconds(v, t), seconds);
    }

    void cellTexts_data() {
        QTest::addColumn<int>("v");
        QTest::addColumn<int>("t");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        const QLocale nl(QLocale::Dutch, QLocale::Netherlands);
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QLocale c = QLocale::c();
        QTest::newRow("seconden nl") << 1 << 0 << 0 << nl << "8.118.008";
        QTest::newRow("seconden us") << 1 << 0 << 0 << us << "8,118,008";
        QTest::newRow("seconden C still grouped") << 1 << 0 << 0 << c << "8,118,008";
        QTest::newRow("above 2^31") << 7 << 5 << 0 << nl << "2.157.070.800";
        QTest::newRow(".5 rounds up") << 0 << 0 << 0 << nl << "507.376";
        QTest::newRow(".25 rounds down") << 0 << 2 << 0 << us << "522,546";
        QTest::newRow(".75 rounds up") << 0 << 3 << 0 << us << "523,416";
        QTest::newRow("minuten nl") << 1 << 5 << 1 << nl << "139.733";
        QTest::newRow("minuten us") << 1 << 5 << 1 << us << "139,733";
        QTest::newRow("uren") << 7 << 5 << 2 << nl << "599.186";
        QTest::newRow("dagen") << 1 << 0 << 3 << nl << "94";
        QTest::newRow("dagen grouped") << 7 << 5 << 3 << us << "24,966";
        QTest::newRow("weken") << 7 << 5 << 4 << nl << "3.567";
        QTest::newRow("jaren") << 7 << 5 << 5 << nl << "69";
        QTest::newRow("jaren, a third of a year") << 2 << 0 << 5 << nl << "1";
    }
    void cellTexts() {
        QFETCH(int, v);
        QFETCH(int, t);
        QFETCH(int, unit);
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QCOMPARE(durationCellText(recordingSeconds(v, t),
                                  kTableTimeUnits[std::size_t(unit)].seconds, locale),
                 text);
        QCOMPARE(durationCellTexts(unit, locale)[std::size_t(v)][std::size_t(t)], text);
    }

    // One decimal first, ties to even, then a whole number: .45 to .5 goes up.
    void roundingTwice_data() {
        QTest::addColumn<double>("units");
        QTest::addColumn<qint64>("shown");
        QTest::newRow("0") << 0.0 << qint64(0);
        QTest::newRow("2.44") << 2.44 << qint64(2);
        QTest::newRow("2.45 (stored a bit above)") << 2.45 << qint64(3);
        QTest::newRow("1.45 (stored a bit below)") << 1.45 << qint64(1);
        QTest::newRow("2.46") << 2.46 << qint64(3);
        QTest::newRow("2.5") << 2.5 << qint64(3);
        QTest::newRow("3.5") << 3.5 << qint64(4);
        QTest::newRow("0.25") << 0.25 << qint64(0);
        QTest::newRow("0.75") << 0.75 << qint64(1);
        QTest::newRow("2.96") << 2.96 << qint64(3);
        QTest::newRow("large") << 2157070799.46 << qint64(2157070800);
    }
    void roundingTwice() {
        QFETCH(double, units);
        QFETCH(qint64, shown);
        QCOMPARE(durationCellValue(units, 1), shown);
        QCOMPARE(durationCellValue(units * 60, 60), shown);
    }

    // A year is 52 weeks: the two fastest voltage rows never reach half a year.
    void jarenRowsOfZero() {
        const DurationCellTexts cells = durationCellTexts(5, QLocale::c());
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < kDurationColumns; ++c)
                QCOMPARE(cells[std::size_t(r)][std::size_t(c)], QString("0"));
        QCOMPARE(durationCellValue(31449600, 31449600), qint64(1));
        QCOMPARE(durationCellValue(365 * 86400.0, 31449600), qint64(1));
    }

    void tableText() {
        const QString expected = "\t30 sec\t1 min\t5 min\t10 min\t20 min\t30 min\n"
                                 "16/sec\t1\t1\t1\t1\t1\t1\n"
                                 "1 sec\t13\t14\t14\t14\t14\t14\n"
                                 "5 sec \t59\t64\t68\t69\t69\t69\n"
                                 "10 sec\t104\t119\t134\t136\t138\t138\n"
                                 "20 sec\t166\t208\t260\t269\t273\t274\n"
                                 "30 sec\t208\t277\t378\t396\t406\t409\n"
                                 "1 min\t277\t416\t694\t757\t793\t805\n"
                                 "5 min\t378\t694\t2.081\t2.774\t3.329\t3.567\n";
        QCOMPARE(durationTableText(4, QLocale(QLocale::Dutch, QLocale::Netherlands)), expected);
        const QStringList seconds = durationTableText(0, QLocale::c()).split('\n');
        QCOMPARE(seconds.at(2), QString("1 sec\t8,118,008\t8,251,090\t8,360,740\t8,374,652\t"
                                        "8,381,624\t8,383,952"));
    }

    void unitsOutOfRangeGiveNothing_data() {
        QTest::addColumn<int>("unit");
        QTest::newRow("-1") << -1;
        QTest::newRow("6") << 6;
    }
    void unitsOutOfRangeGiveNothing() {
        QFETCH(int, unit);
        QCOMPARE(durationTableText(unit, QLocale::c()), QString());
        QCOMPARE(durationCellTexts(unit, QLocale::c())[1][0], QString());
    }

    void unitWords_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("index");
        QTest::newRow("seconden") << "seconden" << 0;
        QTest::newRow("uren") << "uren" << 2;
        QTest::newRow("jaren") << "jaren" << 5;
        QTest::newRow("capital") << "Jaren" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("maanden") << "maanden" << -1;
    }
    void unitWords() {
        QFETCH(QString, word);
        QFETCH(int, index);
        QCOMPARE(tableTimeUnitIndex(word).value_or(-1), index);
    }
};

QTEST_APPLESS_MAIN(TestDurationTable)
#include "tst_durationtable.moc"
