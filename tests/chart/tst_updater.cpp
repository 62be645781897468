#include <QProgressBar>
#include <QTest>
#include <QThread>

#include "chart/updater.h"

using veltrano::UpdateThread;

class UpdaterTest : public QObject {
    Q_OBJECT
private slots:
    void runsBothJobsInTurnOnTheUiThread();
    void stopsWhileWaitingForTheUiThread();
    void progressBarStep_data();
    void progressBarStep();
};

void UpdaterTest::runsBothJobsInTurnOnTheUiThread() {
    QStringList calls;
    bool offThread = false;
    auto job = [&](const char* name) {
        return [&, name] {
            offThread |= QThread::currentThread() != qApp->thread();
            calls << name;
        };
    };
    UpdateThread updater(job("DoStuff"), job("Grafiektekenen"), std::chrono::milliseconds(1));
    updater.start();
    QTRY_VERIFY(calls.size() >= 6);
    updater.stop();
    QVERIFY(updater.isFinished());
    QVERIFY(!offThread);
    for (int i = 0; i < calls.size(); ++i) {
        QCOMPARE(calls[i], QString(i % 2 ? "Grafiektekenen" : "DoStuff"));
    }
    const int seen = calls.size();
    QTest::qWait(50);
    QCOMPARE(calls.size(), seen); // nothing runs after the stop
}

void UpdaterTest::stopsWhileWaitingForTheUiThread() {
    int runs = 0;
    auto updater = std::make_unique<UpdateThread>([&] { ++runs; }, [&] { ++runs; });
    updater->start();
    // The UI thread does not serve the posted job before asking the updater to stop, as
    // when the window closes; a blocking hand-over would hang here.
    QThread::msleep(30);
    updater.reset();
    QCoreApplication::processEvents();
    QCOMPARE(runs, 0);
}

void UpdaterTest::progressBarStep_data() {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("newValue");
    QTest::addColumn<bool>("newVisible");
    QTest::newRow("finished at 100: hidden") << true << 100 << true << 100 << false;
    QTest::newRow("finished, running up") << true << 40 << true << 41 << true;
    QTest::newRow("finished, hidden stays hidden") << true << 100 << false << 100 << false;
    QTest::newRow("working: shown") << false << 100 << false << 100 << true;
    QTest::newRow("working, part way") << false << 30 << true << 30 << true;
}

void UpdaterTest::progressBarStep() {
    QFETCH(bool, finished);
    QFETCH(int, value);
    QFETCH(bool, visible);
    QWidget window;
    auto* bar = new QProgressBar(&window);
    bar->setRange(0, 100);
    bar->setValue(value);
    bar->setVisible(visible);
    window.show();
    veltrano::stepProgressBar(*bar, finished);
    QTEST(bar->value(), "newValue");
    QTEST(bar->isVisible(), "newVisible");
}

QTEST_MAIN(UpdaterTest)
#include "tst_updater.moc"
