#include <cstring>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/Unit1.h"
#include "app/uiseams.h"
#include "testfiles.h"

using namespace veltrano;
using namespace veltrano::testing;

// "Data openen" and "Data opslaan" driven through the real window.
class TestUnit1Files : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void cancelledDialogsChangeNothing() {
        ScriptedSeams seams;
        TForm1 form(&seams);
        form.spanningArray.data()[10] = 0x5A;
        QTest::mouseClick(form.dataopenen, Qt::LeftButton);
        QTest::mouseClick(form.Buttontext, Qt::LeftButton);
        QCOMPARE(form.StatusLabel->text(), QString());
        QVERIFY(!form.buttonmemo->isEnabled());
        QCOMPARE(form.spanningArray[10], std::uint8_t(0x5A));
        QVERIFY(seams.messages.isEmpty());
    }

    void saveThenOpenThroughTheButtons() {
        ScriptedSeams seams;
        TForm1 form(&seams);
        const QByteArray pattern = patternBytes(kImageSize, 17);
        std::memcpy(form.spanningArray.data(), pattern.constData(), kImageSize);
        const QString path = dir.filePath("window.img");
        seams.saveAnswers << path;
        QTest::mouseClick(form.Buttontext, Qt::LeftButton);
        QCOMPARE(QFileInfo(path).size(), qint64(kImageSize));
        QCOMPARE(form.StatusLabel->text(), QString()); // saving changes no status

        TForm1 other(&seams);
        seams.openAnswers << path;
        QTest::mouseClick(other.dataopenen, Qt::LeftButton);
        QCOMPARE(other.StatusLabel->text(), QString("Data klaar voor verwerken"));
        QVERIFY(other.buttonmemo->isEnabled());
        QVERIFY(std::memcmp(other.spanningArray.data(), pattern.constData(), kFileDataSize) == 0);
        QVERIFY(seams.messages.isEmpty());
    }

    // A short file shows its error and leaves buffer, status and button as they were.
    void shortFileChangesNothing() {
        ScriptedSeams seams;
        TForm1 form(&seams);
        form.spanningArray.data()[0] = 0x11;
        const QString path = dir.filePath("short.img");
        writeFile(path, patternBytes(1000, 1));
        seams.openAnswers << path;
        QTest::mouseClick(form.dataopenen, Qt::LeftButton);
        QCOMPARE(seams.messages.size(), qsizetype(1));
        QVERIFY(seams.messages.first().contains("Leesfout"));
        QCOMPARE(form.StatusLabel->text(), QString());
        QVERIFY(!form.buttonmemo->isEnabled());
        QCOMPARE(form.spanningArray[0], std::uint8_t(0x11));
    }
};

QTEST_MAIN(TestUnit1Files)
#include "tst_unit1_files.moc"
