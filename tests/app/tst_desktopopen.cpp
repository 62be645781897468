// Opening an image the desktop way: named on the command line, or dropped on the window.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QUrl>

#include "app/commandline.h"
#include "app/windowtexts.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {

ImageBuilder recording() {
    ImageBuilder b;
    b.recording(2, 1).temperature(20).voltage(12.0, 50).done();
    return b;
}

QString startOf(const MainWindow& form) {
    return QString::fromLatin1(reinterpret_cast<const char*>(form.image().data()), 8)
        .toLatin1()
        .toHex();
}

// Drags `urls` over the window and drops them; true when the window took the drag.
bool drop(MainWindow& form, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &dropped);
    return true;
}

} // namespace

class TestDesktopOpen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands)); }

    void parsing_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("file");
        QTest::newRow("nothing") << QStringList{} << true << 0 << "";
        QTest::newRow("a file") << QStringList{"beeld"} << true << 0 << "beeld";
        QTest::newRow("a file with blanks")
            << QStringList{"/tmp/mijn beeld"} << true << 0 << "/tmp/mijn beeld";
        QTest::newRow("two files") << QStringList{"a", "b"} << false << 2 << "";
        QTest::newRow("unknown option") << QStringList{"--kleur"} << false << 2 << "";
        QTest::newRow("picture options")
            << QStringList{"--open", "x", "--process"} << true << 0 << "x";
    }

    void parsing() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, goesOn);
        QFETCH(int, exitCode);
        QFETCH(QString, file);
        CommandLine line;
        QCOMPARE(line.parse(QStringList{"veltrano"} + arguments), goesOn);
        QCOMPARE(line.exitCode(), exitCode);
        if (goesOn)
            QCOMPARE(line.file(), file);
    }

    // The help shows what a user needs and hides the options for pictures. Neither it nor the
    // version needs a display; the window does, and says in one line that there is none.
    void helpAndVersion_data() {
        QTest::addColumn<bool>("display");
        QTest::newRow("with a display") << true;
        QTest::newRow("without a display") << false;
    }
    void helpAndVersion() {
        QFETCH(bool, display);
        QProcess viewer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!display) {
            for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(QString::fromLatin1(name));
        }
        viewer.setProcessEnvironment(env);
        viewer.start(VELTRANO_VIEWER, {"--help"});
        QVERIFY(viewer.waitForFinished(30000));
        const QString help = QString::fromUtf8(viewer.readAllStandardOutput());
        QCOMPARE(viewer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(viewer.exitCode(), 0);
        QVERIFY2(help.contains("bestand") && help.contains("--version"), qPrintable(help));
        for (const char* hidden : {"--screenshot", "--open", "--process", "--markers", "--event"})
            QVERIFY2(!help.contains(hidden), hidden);
        viewer.start(VELTRANO_VIEWER, {"--version"});
        QVERIFY(viewer.waitForFinished(30000));
        QCOMPARE(viewer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(viewer.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(viewer.readAllStandardOutput()).trimmed(),
                 QString("Veltrano " VELTRANO_VERSION));
        if (display)
            return;
        viewer.start(VELTRANO_VIEWER, {});
        QVERIFY(viewer.waitForFinished(30000));
        QCOMPARE(viewer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(viewer.exitCode(), 1);
        const QStringList said =
            QString::fromUtf8(viewer.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().contains("geen beeldscherm"), qPrintable(said.first()));
        QVERIFY(viewer.readAllStandardOutput().isEmpty());
    }

    // A file on the command line opens through the same path as "Data openen": the same
    // image, status and messages.
    void fileAtStart_data() {
        QTest::addColumn<bool>("exists");
        QTest::newRow("good file") << true;
        QTest::newRow("missing file") << false;
    }

    void fileAtStart() {
        QFETCH(bool, exists);
        WindowFixture started, clicked;
        const QString path = started.dir.filePath("beeld.img");
        if (exists)
            QVERIFY(!recording().save(path));
        CommandLine line;
        QVERIFY(line.parse({"veltrano", path}));
        openFromCommandLine(started.form, line);
        clicked.seams.openAnswers << path;
        QTest::mouseClick(clicked.button("openImageButton"), Qt::LeftButton);

        QCOMPARE(started.seams.messages, clicked.seams.messages);
        QCOMPARE(started.seams.messages.isEmpty(), exists);
        QCOMPARE(started.status()->text(), clicked.status()->text());
        QCOMPARE(started.form.state(), clicked.form.state());
        QCOMPARE(startOf(started.form), startOf(clicked.form));
    }

    // A dropped file does what "Data openen" with it does in that state.
    void dropping_data() {
        QTest::addColumn<QString>("state");
        QTest::newRow("idle") << "idle";
        QTest::newRow("during a run") << "run";
        QTest::newRow("during a download") << "download";
    }

    void dropping() {
        QFETCH(QString, state);
        WindowFixture w;
        const ImageBuilder first = recording();
        ImageBuilder second;
        second.recording(3, 2).temperature(25).voltage(11.5, 20).done();
        w.open(first);
        const QString path = w.dir.filePath("dropped.img");
        QVERIFY(!second.save(path));
        if (state == "run") {
            w.hold();
            QTest::mouseClick(w.button("processButton"), Qt::LeftButton);
        } else if (state == "download") {
            w.adapter().showConnected();
            w.adapter().downloadStarting();
            w.form.link().receiver().startDownload();
        }
        const QString before = startOf(w.form);

        QVERIFY(drop(w.form, {QUrl::fromLocalFile(path)}));
        if (state == "run") {
            QCOMPARE(startOf(w.form), before); // waits for the run's end
            w.release();
            w.waitForRun();
        }
        if (state == "download") {
            QCOMPARE(w.seams.messages, QStringList{windowtext::OpenDuringDownload});
            QCOMPARE(startOf(w.form), before);
        } else {
            QVERIFY(w.seams.messages.isEmpty());
            QVERIFY(std::equal(second.data().begin(), second.data().end(), w.form.image().data()));
            QCOMPARE(w.status()->text(), QString("Data klaar voor verwerken"));
        }
    }

    // Only one local file is taken; anything else is not even accepted as a drag.
    void dragsThatAreRefused() {
        WindowFixture w;
        QVERIFY(!drop(w.form, {QUrl("https://example.org/beeld.img")}));
        QVERIFY(!drop(w.form, {QUrl::fromLocalFile("/tmp/a"), QUrl::fromLocalFile("/tmp/b")}));
        QVERIFY(!drop(w.form, {}));
        QVERIFY(w.seams.messages.isEmpty());
    }

    // Text dropped on a number edit would pass no key check: the edits leave drops to the
    // window.
    void numberEditsTakeNoDrops() {
        WindowFixture w;
        for (const char* name :
             {"overVoltageEdit", "underVoltageEdit", "voltageTimeFilterEdit", "overTemperatureEdit",
              "underTemperatureEdit", "temperatureTimeFilterEdit", "toEdit", "fromEdit",
              "eventNumberEdit"})
            QVERIFY2(!w.edit(name)->acceptDrops(), name);
    }
};

QTEST_MAIN(TestDesktopOpen)
#include "tst_desktopopen.moc"
