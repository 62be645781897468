// The road of one recording through the real window, a fake USB logger and the simulator.
#include <cstring>
#include <memory>

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "app/configurationwindow.h"
#include "app/donotunplugnotice.h"
#include "app/programwindows.h"
#include "demo.h"
#include "link/linktexts.h"
#include "linkfixture.h"
#include "usbtestbed.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;
using std::chrono::milliseconds;

namespace {
// Program windows with scripted dialogs, a logger plugged in and served by the simulator.
// The windows go first when it ends: closing the port needs the test bed still there.
struct Rig {
    ScriptedSeams seams;
    sim::UsbTestbed bed;
    std::unique_ptr<ServedLogger> logger;
    ProgramWindows windows{&seams};
    MainWindow& form = *windows.mainWindow();

    explicit Rig(sim::Bytes memory, milliseconds eraseDelay = milliseconds(50)) {
        form.holdBars();
        const int fd = bed.addLogger("usb0", "ttyACM0");
        logger = std::make_unique<ServedLogger>(std::move(memory), fd, eraseDelay);
    }
    QPushButton* button(const char* name) const { return testing::button(form, name); }
    QString status() const { return control<QLabel>(form, "statusLabel")->text(); }
    QProgressBar* bar(const char* name) const { return control<QProgressBar>(form, name); }
    void connect() {
        QTest::mouseClick(button("connectButton"), Qt::LeftButton);
        QCOMPARE(status(), linktext::Connected);
    }
};

sim::Bytes demoMemory() {
    std::vector<std::uint8_t> bytes = demoRecording().data();
    bytes.resize(bytes.size() - 4); // the logger adds "DONE" itself
    return bytes;
}
} // namespace

class TestWindowLink : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(sim::UsbTestbed::available(), "run under umockdev-wrapper"); }

    void nothingToConnectTo() {
        WindowFixture w;
        w.status()->setText("x");
        QTest::mouseClick(w.button("connectButton"), Qt::LeftButton);
        QCOMPARE(w.seams.messages, QStringList{linktext::NotConnected});
        QCOMPARE(w.status()->text(), QString("x"));
        QVERIFY(!w.button("connectButton")->isHidden());
    }

    // Connect, download the whole demo memory, process it: the report is the core's.
    void downloadAndProcess() {
        const sim::Bytes memory = demoMemory();
        Rig rig(memory);
        rig.connect();
        QVERIFY(rig.button("downloadButton")->isEnabled());
        QTest::mouseClick(rig.button("downloadButton"), Qt::LeftButton);
        QVERIFY(!rig.button("processButton")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(rig.status(), linktext::DataReady, 60000);
        const std::uint8_t* image = rig.form.image().data();
        QVERIFY(std::memcmp(image, memory.data(), memory.size()) == 0);
        QVERIFY(std::memcmp(image + memory.size(), "DONE", 4) == 0);
        QCOMPARE(image[memory.size() + 4], std::uint8_t(0));
        QVERIFY(rig.button("processButton")->isEnabled());

        QTest::mouseClick(rig.button("processButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(rig.status(), QString("Data verwerkt"), 60000);
        const ProcessingResult core = coreResult(demoRecording(), rig.form.readSettings());
        QCOMPARE(rig.form.result()->report.plainText(), core.report.plainText());
        QVERIFY(rig.form.result()->eventCount > 10);
        QVERIFY(rig.button("downloadButton")->isEnabled()); // still connected
    }

    void erase() {
        Rig rig(patternMemory(1000, 1));
        rig.connect();
        QTest::mouseClick(rig.button("eraseButton"), Qt::LeftButton);
        QCOMPARE(rig.seams.questions, QStringList{linktext::EraseQuestion});
        QVERIFY(!rig.bar("eraseBar")->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(rig.seams.messages, QStringList{linktext::EraseDone}, 10000);
        QVERIFY(rig.bar("eraseBar")->isHidden());
        QCOMPARE(rig.logger->logger.memory().front(), std::uint8_t(0xFF));
    }

    // "Meetintervallen instellen": the notice window at "Gelu", success at "wel ".
    void intervalSetting() {
        Rig rig(patternMemory(100, 2));
        rig.connect();
        ConfigurationWindow& config = *rig.windows.configurationWindow();
        config.show();
        config.chooseIntervals(7, config.temperatureInterval()); // 5min
        config.chooseIntervals(config.voltageInterval(), 5);     // 30min
        QTest::mouseClick(config.findChild<QPushButton*>("sendIntervalsButton"), Qt::LeftButton);
        QCOMPARE(rig.seams.questions, QStringList{linktext::IntervalsQuestion});
        QTRY_VERIFY_WITH_TIMEOUT(rig.windows.configurationWindow()->isHidden(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(rig.windows.notice()->isVisible(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.seams.messages, QStringList{linktext::IntervalsDone}, 10000);
        QCOMPARE(rig.logger->logger.voltageCode(), 8);
        QCOMPARE(rig.logger->logger.temperatureCode(), 6);
    }

    // Pulling the plug mid-download: disconnected, told once that the download was broken
    // off, the bytes so far kept and ready to process.
    void unplugDuringDownload() {
        const sim::Bytes memory = patternMemory(16'000'000, 3);
        Rig rig(memory);
        rig.connect();
        QTest::mouseClick(rig.button("downloadButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(rig.form.link().receiver().storedBytes() > 1'000'000, 30000);
        rig.bed.unplug("usb0");
        QTRY_COMPARE_WITH_TIMEOUT(rig.status(), linktext::NotConnected, 10000);
        const std::int32_t got = rig.form.link().receiver().storedBytes();
        QCOMPARE(rig.seams.messages,
                 QStringList{linktext::DownloadBrokenOff.arg(QLocale().toString(got))});
        QVERIFY(!rig.button("connectButton")->isHidden());
        QVERIFY(!rig.button("downloadButton")->isEnabled());
        QVERIFY(rig.button("processButton")->isEnabled());
        QVERIFY(got < std::int32_t(memory.size()));
        QVERIFY(std::memcmp(rig.form.image().data(), memory.data(), std::size_t(got)) == 0);
        QVERIFY(rig.bar("downloadBar")->isHidden());
        rig.form.runOutBars();
        QVERIFY(rig.bar("downloadBar")->isHidden());
    }

    // Pulling the plug while the logger erases: disconnected and told so; the erase bar goes;
    // a new connect finds nothing, and the window stays usable.
    void unplugDuringErase() {
        Rig rig(patternMemory(1000, 4), milliseconds(5000));
        rig.connect();
        QTest::mouseClick(rig.button("eraseButton"), Qt::LeftButton);
        QVERIFY(!rig.bar("eraseBar")->isHidden());
        rig.bed.unplug("usb0");
        QTRY_COMPARE_WITH_TIMEOUT(rig.status(), linktext::NotConnected, 10000);
        QCOMPARE(rig.seams.messages, QStringList{linktext::EraseBrokenOff});
        QVERIFY(rig.bar("eraseBar")->isHidden());
        QVERIFY(rig.button("eraseButton")->isEnabled());
        QTest::mouseClick(rig.button("connectButton"), Qt::LeftButton);
        QVERIFY(!rig.button("connectButton")->isHidden());
        QVERIFY(rig.button("openImageButton")->isEnabled());
    }

    // A logger that stops answering: the user disconnects, the empty download counts as
    // broken off, and a later download starts afresh.
    void loggerStopsAnswering() {
        Rig rig(patternMemory(1000, 5));
        rig.connect();
        rig.logger.reset(); // nobody answers any more
        QTest::mouseClick(rig.button("downloadButton"), Qt::LeftButton);
        QTest::qWait(200);
        QCOMPARE(rig.form.link().receiver().storedBytes(), 0);
        QVERIFY(!rig.button("processButton")->isEnabled());
        QTest::mouseClick(rig.button("disconnectButton"), Qt::LeftButton);
        QCOMPARE(rig.status(), linktext::NotConnected);
        QCOMPARE(rig.seams.messages, QStringList{linktext::DownloadBrokenOff.arg(0)});
        QVERIFY(!rig.button("downloadButton")->isEnabled());
        QVERIFY(rig.button("openImageButton")->isEnabled());
    }
};

QTEST_MAIN(TestWindowLink)
#include "scriptedseams.h"
#include "window_link.moc"
