#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/datapaths.h"

using namespace veltrano;

// Where the program finds its data: below its install prefix, or beside it in the build tree.
class TestDataPaths : public QObject {
    Q_OBJECT

private slots:
    void findsTheDataFile_data() {
        QTest::addColumn<QStringList>("files"); // ending in '/': a directory
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("expected");

        const QString installed = "usr/share/veltrano/about.html";
        QTest::newRow("installed") << QStringList{installed, "usr/bin/"} << "usr/bin" << installed;
        QTest::newRow("installed, program dir not clean")
            << QStringList{installed, "usr/bin/"} << "usr/./bin/" << installed;
        QTest::newRow("build tree: beside the program")
            << QStringList{"build/src/app/about.html"} << "build/src/app"
            << "build/src/app/about.html";
        QTest::newRow("the installed one wins")
            << QStringList{installed, "usr/bin/about.html"} << "usr/bin" << installed;
        QTest::newRow("a directory of that name is no file")
            << QStringList{"usr/share/veltrano/about.html/", "usr/bin/"} << "usr/bin"
            << "";
        QTest::newRow("another program's data")
            << QStringList{"usr/share/other/about.html", "usr/bin/"} << "usr/bin"
            << "";
        QTest::newRow("nothing") << QStringList{"usr/bin/"} << "usr/bin"
                                 << "";
    }

    void findsTheDataFile() {
        QFETCH(QStringList, files);
        QFETCH(QString, programDir);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        for (const QString& f : files) {
            if (f.endsWith(u'/')) {
                QVERIFY(QDir(root.path()).mkpath(f));
                continue;
            }
            QVERIFY(QDir(root.path()).mkpath(QFileInfo(f).path()));
            QFile file(root.filePath(f));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString found = findDataFile("about.html", root.filePath(programDir));
        QCOMPARE(found, expected.isEmpty() ? QString() : root.filePath(expected));
    }
};

QTEST_GUILESS_MAIN(TestDataPaths)
#include "tst_datapaths.moc"
