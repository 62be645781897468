// The road of one recording through the real window, a fake USB logger and the simulator.
#include <cstring>
#include <memory>

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "app/Unit2.h"
#include "app/Unit4.h"
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
    TForm1& form = *windows.Form1();

    explicit Rig(sim::Bytes memory, milliseconds eraseDelay = milliseconds(50)) {
        form.stopUpdater();
        const int fd = bed.addLogger("usb0", "ttyACM0");
        logger = std::make_unique<ServedLogger>(std::move(memory), fd, eraseDelay);
    }
    void connect() {
        QTest::mouseClick(form.Connect, Qt::LeftButton);
        QCOMPARE(form.StatusLabel->text(), linktext::Connected);
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
        ScriptedSeams seams;
        TForm1 form(&seams);
        form.StatusLabel->setText("x");
        QTest::mouseClick(form.Connect, Qt::LeftButton);
        QCOMPARE(seams.messages, QStringList{linktext::NotConnected});
        QCOMPARE(form.StatusLabel->text(), QString("x"));
        QVERIFY(!form.Connect->isHidden());
    }

    // Connect, download the whole demo memory, process it: the report is the core's.
    void downloadAndProcess() {
        const sim::Bytes memory = demoMemory();
        Rig rig(memory);
        rig.connect();
        QVERIFY(rig.form.Buttonreceivedata->isEnabled());
        QTest::mouseClick(rig.form.Buttonreceivedata, Qt::LeftButton);
        QVERIFY(!rig.form.buttonmemo->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(rig.form.StatusLabel->text(), linktext::DataReady, 60000);
        const std::uint8_t* image = rig.form.spanningArray.data();
        QVERIFY(std::memcmp(image, memory.data(), memory.size()) == 0);
        QVERIFY(std::memcmp(image + memory.size(), "DONE", 4) == 0);
        QCOMPARE(image[memory.size() + 4], std::uint8_t(0));
        QVERIFY(rig.form.buttonmemo->isEnabled());

        QTest::mouseClick(rig.form.buttonmemo, Qt::LeftButton);
        QCOMPARE(rig.form.StatusLabel->text(), QString("Data verwerkt"));
        const ProcessingResult core = coreResult(demoRecording(), rig.form.readSettings());
        QCOMPARE(rig.form.result.report.plainText(), core.report.plainText());
        QVERIFY(rig.form.result.calamiteitcount > 10);
        QVERIFY(rig.form.Buttonreceivedata->isEnabled()); // still connected
    }

    void erase() {
        Rig rig(patternMemory(1000, 1));
        rig.connect();
        QTest::mouseClick(rig.form.Buttonerase, Qt::LeftButton);
        QCOMPARE(rig.seams.questions, QStringList{linktext::EraseQuestion});
        QVERIFY(!rig.form.EraseProgressBar->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(rig.seams.messages, QStringList{linktext::EraseDone}, 10000);
        QVERIFY(rig.form.EraseProgressBar->isHidden());
        QCOMPARE(rig.logger->logger.memory().front(), std::uint8_t(0xFF));
    }

    // "Meetintervallen instellen": the notice window at "Gelu", success at "wel ".
    void intervalSetting() {
        Rig rig(patternMemory(100, 2));
        rig.connect();
        TForm2& config = *rig.windows.Form2();
        config.show();
        config.ComboBox1->setCurrentIndex(7); // 5min
        config.ComboBox2->setCurrentIndex(5); // 30min
        QTest::mouseClick(config.Buttonmeetintervallen, Qt::LeftButton);
        QCOMPARE(rig.seams.questions, QStringList{linktext::IntervalsQuestion});
        QTRY_VERIFY_WITH_TIMEOUT(rig.windows.Form2()->isHidden(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(rig.windows.Form4()->isVisible(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.seams.messages, QStringList{linktext::IntervalsDone}, 10000);
        QCOMPARE(rig.logger->logger.voltageCode(), 8);
        QCOMPARE(rig.logger->logger.temperatureCode(), 6);
    }

    // Pulling the plug mid-download: disconnected, told so, the bytes so far kept.
    void unplugDuringDownload() {
        const sim::Bytes memory = patternMemory(16'000'000, 3);
        Rig rig(memory);
        rig.connect();
        QTest::mouseClick(rig.form.Buttonreceivedata, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(rig.form.link().receiver().teller > 1'000'000, 30000);
        rig.bed.unplug("usb0");
        QTRY_COMPARE_WITH_TIMEOUT(rig.form.StatusLabel->text(), linktext::NotConnected, 10000);
        QVERIFY(rig.seams.messages.contains(linktext::NotConnected));
        QVERIFY(!rig.form.Connect->isHidden());
        QVERIFY(!rig.form.Buttonreceivedata->isEnabled());
        const std::int32_t got = rig.form.link().receiver().teller;
        QVERIFY(got < std::int32_t(memory.size()));
        QVERIFY(std::memcmp(rig.form.spanningArray.data(), memory.data(), std::size_t(got)) == 0);
    }

    // Pulling the plug while the logger erases: disconnected and told so; a new connect
    // finds nothing, and the window stays usable.
    void unplugDuringErase() {
        Rig rig(patternMemory(1000, 4), milliseconds(5000));
        rig.connect();
        QTest::mouseClick(rig.form.Buttonerase, Qt::LeftButton);
        QVERIFY(!rig.form.EraseProgressBar->isHidden());
        rig.bed.unplug("usb0");
        QTRY_COMPARE_WITH_TIMEOUT(rig.form.StatusLabel->text(), linktext::NotConnected, 10000);
        QVERIFY(!rig.seams.messages.contains(linktext::EraseDone));
        QTest::mouseClick(rig.form.Connect, Qt::LeftButton);
        QVERIFY(!rig.form.Connect->isHidden());
        QVERIFY(rig.form.dataopenen->isEnabled());
    }

    // A logger that stops answering: the download stays open (there is no time-out), the
    // user disconnects, and a later download starts afresh.
    void loggerStopsAnswering() {
        Rig rig(patternMemory(1000, 5));
        rig.connect();
        rig.logger.reset(); // nobody answers any more
        QTest::mouseClick(rig.form.Buttonreceivedata, Qt::LeftButton);
        QTest::qWait(200);
        QCOMPARE(rig.form.link().receiver().teller, 0);
        QVERIFY(!rig.form.buttonmemo->isEnabled());
        QTest::mouseClick(rig.form.disconnect, Qt::LeftButton);
        QCOMPARE(rig.form.StatusLabel->text(), linktext::NotConnected);
        QVERIFY(!rig.form.Buttonreceivedata->isEnabled());
        QVERIFY(rig.form.dataopenen->isEnabled());
    }
};

QTEST_MAIN(TestWindowLink)
#include "window_link.moc"
