#include <cstring>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "testfiles.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

// "Data openen" and "Data opslaan" driven through the real window.
class TestMainWindowFiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void cancelledDialogsChangeNothing() {
        WindowFixture w;
        QTest::mouseClick(w.button("openImageButton"), Qt::LeftButton);
        QTest::mouseClick(w.button("saveImageButton"), Qt::LeftButton);
        QCOMPARE(w.status()->text(), QString());
        QVERIFY(!w.button("processButton")->isEnabled());
        QVERIFY(w.seams.messages.isEmpty());
    }

    void saveThenOpenThroughTheButtons() {
        WindowFixture w;
        const QByteArray pattern = patternBytes(kImageSize, 17);
        const QString source = dir.filePath("source.img");
        writeFile(source, pattern);
        w.seams.openAnswers << source;
        QTest::mouseClick(w.button("openImageButton"), Qt::LeftButton);
        w.status()->setText("x");
        const QString path = dir.filePath("window.img");
        w.seams.saveAnswers << path;
        QTest::mouseClick(w.button("saveImageButton"), Qt::LeftButton);
        QCOMPARE(QFileInfo(path).size(), qint64(kImageSize));
        QCOMPARE(w.status()->text(), QString("x")); // saving changes no status

        WindowFixture other;
        other.seams.openAnswers << path;
        QTest::mouseClick(other.button("openImageButton"), Qt::LeftButton);
        QCOMPARE(other.status()->text(), QString("Data klaar voor verwerken"));
        QVERIFY(other.button("processButton")->isEnabled());
        QVERIFY(std::memcmp(other.form.image().data(), pattern.constData() + 4, kFileDataSize) ==
                0);
        QVERIFY(w.seams.messages.isEmpty() && other.seams.messages.isEmpty());
    }

    // A short file shows its error and leaves buffer, status and button as they were.
    void shortFileChangesNothing() {
        WindowFixture w;
        const QString path = dir.filePath("short.img");
        writeFile(path, patternBytes(1000, 1));
        w.seams.openAnswers << path;
        QTest::mouseClick(w.button("openImageButton"), Qt::LeftButton);
        QCOMPARE(w.seams.messages.size(), qsizetype(1));
        QVERIFY(w.seams.messages.first().contains("Leesfout"));
        QCOMPARE(w.status()->text(), QString());
        QVERIFY(!w.button("processButton")->isEnabled());
        QCOMPARE(w.form.image()[0], std::uint8_t(0));
    }
};

QTEST_MAIN(TestMainWindowFiles)
#include "tst_mainwindow_files.moc"
