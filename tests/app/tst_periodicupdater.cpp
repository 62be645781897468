#include <QProgressBar>
#include <QTest>

#include "app/periodicupdater.h"

using veltrano::PeriodicUpdater;

class UpdaterTest : public QObject {
    Q_OBJECT
private slots:
    void runsBothJobsInTurnEachCycle();
    void progressBarStep_data();
    void progressBarStep();
};

// Both jobs, in order, cycle after cycle from the event loop; nothing once stopped.
void UpdaterTest::runsBothJobsInTurnEachCycle() {
    QStringList calls;
    PeriodicUpdater updater([&] { calls << "stepBars"; }, [&] { calls << "fillChart"; },
                            std::chrono::milliseconds(1));
    QVERIFY(!updater.isActive());
    updater.start();
    QTRY_VERIFY(calls.size() >= 6);
    updater.stop();
    QVERIFY(!updater.isActive());
    for (int i = 0; i < calls.size(); ++i)
        QCOMPARE(calls[i], QString(i % 2 ? "fillChart" : "stepBars"));
    const int seen = calls.size();
    QTest::qWait(30);
    QCOMPARE(calls.size(), seen);
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
#include "tst_periodicupdater.moc"
