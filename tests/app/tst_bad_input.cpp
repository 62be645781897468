// What the user sees for bad input, and proof that nothing is lost: one table per kind of
// input, each row the input and the message it must give.
#include <cstring>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "chart/chartview.h"
#include "chart/navigation.h"
#include "testfiles.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
ImageBuilder threeEvents() {
    ImageBuilder b;
    b.calibration(300).recording(7, 2).temperature(20);
    for (int i = 0; i < 3; ++i)
        b.voltage(12.3, 10).voltage(12.8, 10);
    b.voltage(12.3).done();
    return b;
}
// A processed window whose chart has been filled.
void processAndFill(WindowFixture& w) {
    w.open(threeEvents());
    w.process();
    w.form.runOutBars();
    QVERIFY(w.form.navigation()->isEnabled());
}
} // namespace

class TestBadInput : public QObject {
    Q_OBJECT
private slots:
    // Files given to "Data openen": a failure shows its message and changes nothing.
    void imageFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message"); // empty: opens
        QTest::newRow("empty file") << "0"
                                    << "Leesfout";
        QTest::newRow("1-byte file") << "1"
                                     << "Leesfout";
        QTest::newRow("16,999,999 bytes") << "16999999"
                                          << "Leesfout";
        QTest::newRow("17,000,001 bytes") << "17000001"
                                          << "";
        QTest::newRow("a directory") << "dir"
                                     << "niet openen";
        QTest::newRow("missing file") << "missing"
                                      << "niet openen";
        QTest::newRow("unreadable (socket)") << "socket"
                                             << "niet openen";
        QTest::newRow("vanishes after the dialog") << "vanish"
                                                   << "niet openen";
    }
    void imageFiles() {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        WindowFixture w;
        // A good image first, so that a failed open would show in its bytes.
        const QString good = w.dir.filePath("good");
        writeFile(good, patternBytes(kImageSize, 5));
        w.seams.openAnswers << good;
        QTest::mouseClick(w.button("openImageButton"), Qt::LeftButton);
        const std::uint8_t before = w.form.image()[100];
        QVERIFY(before != 0);
        w.status()->setText("x");
        const QString path = w.dir.filePath("input-" + kind);
        if (kind == "dir")
            QVERIFY(QDir().mkpath(path));
        else if (kind == "socket")
            QVERIFY(makeSocketNode(path));
        else if (kind == "vanish")
            writeFile(path, patternBytes(kImageSize, 1)); // removed below, before the open
        else if (kind != "missing")
            writeFile(path, patternBytes(kind.toULongLong(), 9));
        if (kind == "vanish")
            QFile::remove(path);
        w.seams.openAnswers << path;
        QTest::mouseClick(w.button("openImageButton"), Qt::LeftButton);
        if (message.isEmpty()) {
            QVERIFY(w.seams.messages.isEmpty());
            QCOMPARE(w.status()->text(), QString("Data klaar voor verwerken"));
            return;
        }
        QCOMPARE(w.seams.messages.size(), qsizetype(1));
        QVERIFY2(w.seams.messages[0].contains(message), qPrintable(w.seams.messages[0]));
        QVERIFY(w.seams.messages[0].contains(path));
        QCOMPARE(w.form.image()[100], before);
        QCOMPARE(w.status()->text(), QString("x"));
    }

    // A save that cannot be done says so and keeps what the user had.
    void saveIntoMissingFolder() {
        WindowFixture w;
        w.seams.saveAnswers << w.dir.filePath("geen/map/beeld.img");
        QTest::mouseClick(w.button("saveImageButton"), Qt::LeftButton);
        QCOMPARE(w.seams.messages.size(), qsizetype(1));
        QVERIFY(w.seams.messages[0].contains("niet opslaan"));
    }

    // Limit texts pasted past the key checks: named in the message, nothing processed.
    void limitTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("minus") << "-" << false;
        QTest::newRow("separator") << "," << false;
        QTest::newRow("1,2,3") << "1,2,3" << false;
        QTest::newRow("full-width digits") << "\uFF11\uFF12" << false;
        QTest::newRow("300 characters") << QString(300, 'x') << false;
        QTest::newRow("1e308 is a number") << "1e308" << true;
        QTest::newRow("300 digits is a number") << QString(300, '9') << true;
    }
    void limitTexts() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
        WindowFixture w;
        w.open(threeEvents());
        w.process();
        const QString before = w.reportBox()->toPlainText();
        w.edit("overVoltageEdit")->setText(text);
        w.process();
        QLocale::setDefault(QLocale::c());
        QCOMPARE(w.seams.messages.isEmpty(), accepted);
        if (!accepted) {
            QVERIFY(w.seams.messages[0].contains("Overspanning"));
            QVERIFY(w.seams.messages[0].size() < 200); // a long text is not repeated whole
            QCOMPARE(w.reportBox()->toPlainText(), before);
        }
        QVERIFY(w.button("processButton")->isEnabled());
        QVERIFY(control(w.form, "filterGroup")->isEnabled());
        QVERIFY(w.button("configurationButton")->isEnabled());
    }

    // "Ga naar" with ranges the chart cannot show as typed.
    void ranges_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        QTest::newRow("reversed") << "5"
                                  << "3"
                                  << "Vanaf waarde moet kleiner zijn dan de tot waarde";
        QTest::newRow("equal") << "4"
                               << "4"
                               << "";
        QTest::newRow("far outside") << "1000000000"
                                     << "2000000000"
                                     << "";
        QTest::newRow("not a number") << "-"
                                      << "3"
                                      << "Vul een getal in";
        QTest::newRow("empty") << ""
                               << ""
                               << "Vul een getal in";
    }
    void ranges() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        WindowFixture w;
        processAndFill(w);
        w.form.navigation()->fromEdit()->setText(from);
        w.form.navigation()->toEdit()->setText(to);
        QTest::mouseClick(w.button("goToButton"), Qt::LeftButton);
        QCOMPARE(w.seams.messages, message.isEmpty() ? QStringList() : QStringList{message});
        AxisModel& bottom = w.form.chart()->bottomAxis();
        QVERIFY(bottom.minimum() <= bottom.maximum());
        QVERIFY(w.form.navigation()->isEnabled());
    }

    // Event numbers outside the list never read outside it.
    void eventNumbers_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("message");
        QTest::newRow("0") << "0"
                           << "Geen calamiteit";
        QTest::newRow("9,999") << "9999"
                               << "Geen calamiteit";
        QTest::newRow("10,000") << "10000"
                                << "Geen calamiteit";
        // Beyond a 32-bit event number: read as no number at all.
        QTest::newRow("4294967296") << "4294967296"
                                    << "Voer een calamiteitnummer in. Zie calamiteiten overzicht";
        QTest::newRow("empty") << ""
                               << "Voer een calamiteitnummer in. Zie calamiteiten overzicht";
        QTest::newRow("last event") << "3"
                                    << "";
    }
    void eventNumbers() {
        QFETCH(QString, number);
        QFETCH(QString, message);
        WindowFixture w;
        processAndFill(w);
        w.form.navigation()->eventNumberEdit()->setText(number);
        QTest::mouseClick(w.button("goToEventButton"), Qt::LeftButton);
        QCOMPARE(w.seams.messages, message.isEmpty() ? QStringList() : QStringList{message});
        if (message.isEmpty())
            QVERIFY(!w.button("nextEventButton")->isEnabled());
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_bad_input.moc"
