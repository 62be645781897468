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
    QPushButton* button(const char* name) const { return testing::button(form, name); }
    QString status() const { return control<QLabel>(form, "StatusLabel")->text(); }
    QProgressBar* bar(const char* name) const { return control<QProgressBar>(form, name); }
    void connect() {
        QTest::mouseClick(button("Connect"), Qt::LeftButton);
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
        QTest::mouseClick(w.button("Connect"), Qt::LeftButton);
        QCOMPARE(w.seams.messages, QStringList{linktext::NotConnected});
        QCOMPARE(w.status()->text(), QString("x"));
        QVERIFY(!w.button("Connect")->isHidden());
    }

    // Connect, download the whole demo memory, process it: the report is the core's.
    void downloadAndProcess() {
        const sim::Bytes memory = demoMemory();
        Rig rig(memory);
        rig.connect();
        QVERIFY(rig.button("Buttonreceivedata")->isEnabled());
        QTest::mouseClick(rig.button("Buttonreceivedata"), Qt::LeftButton);
        QVERIFY(!rig.button("buttonmemo")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(rig.status(), linktext::DataReady, 60000);
        const std::uint8_t* image = rig.form.image().data();
        QVERIFY(std::memcmp(image, memory.data(), memory.size()) == 0);
        QVERIFY(std::memcmp(image + memory.size(), "DONE", 4) == 0);
        QCOMPARE(image[memory.size() + 4], std::uint8_t(0));
        QVERIFY(rig.button("buttonmemo")->isEnabled());

        QTest::mouseClick(rig.button("buttonmemo"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(rig.status(), QString("Data verwerkt"), 60000);
        const ProcessingResult core = coreResult(demoRecording(), rig.form.readSettings());
        QCOMPARE(rig.form.result()->report.plainText(), core.report.plainText());
        QVERIFY(rig.form.result()->calamiteitcount > 10);
        QVERIFY(rig.button("Buttonreceivedata")->isEnabled()); // still connected
    }

    void erase() {
        Rig rig(patternMemory(1000, 1));
        rig.connect();
        QTest::mouseClick(rig.button("Buttonerase"), Qt::LeftButton);
        QCOMPARE(rig.seams.questions, QStringList{linktext::EraseQuestion});
        QVERIFY(!rig.bar("EraseProgressBar")->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(rig.seams.messages, QStringList{linktext::EraseDone}, 10000);
        QVERIFY(rig.bar("EraseProgressBar")->isHidden());
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

    // Pulling the plug mid-download: disconnected, told once that the download was broken
    // off, the bytes so far kept and ready to process.
    void unplugDuringDownload() {
        const sim::Bytes memory = patternMemory(16'000'000, 3);
        Rig rig(memory);
        rig.connect();
        QTest::mouseClick(rig.button("Buttonreceivedata"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(rig.form.link().receiver().teller > 1'000'000, 30000);
        rig.bed.unplug("usb0");
        QTRY_COMPARE_WITH_TIMEOUT(rig.status(), linktext::NotConnected, 10000);
        const std::int32_t got = rig.form.link().receiver().teller;
        QCOMPARE(rig.seams.messages,
                 QStringList{linktext::DownloadBrokenOff.arg(QLocale().toString(got))});
        QVERIFY(!rig.button("Connect")->isHidden());
        QVERIFY(!rig.button("Buttonreceivedata")->isEnabled());
        QVERIFY(rig.button("buttonmemo")->isEnabled());
        QVERIFY(got < std::int32_t(memory.size()));
        QVERIFY(std::memcmp(rig.form.image().data(), memory.data(), std::size_t(got)) == 0);
        QVERIFY(rig.bar("ProgressBar2")->isHidden());
        rig.form.updateCycle();
        QVERIFY(rig.bar("ProgressBar2")->isHidden());
    }

    // Pulling the plug while the logger erases: disconnected and told so; the erase bar goes;
    // a new connect finds nothing, and the window stays usable.
    void unplugDuringErase() {
        Rig rig(patternMemory(1000, 4), milliseconds(5000));
        rig.connect();
        QTest::mouseClick(rig.button("Buttonerase"), Qt::LeftButton);
        QVERIFY(!rig.bar("EraseProgressBar")->isHidden());
        rig.bed.unplug("usb0");
        QTRY_COMPARE_WITH_TIMEOUT(rig.status(), linktext::NotConnected, 10000);
        QCOMPARE(rig.seams.messages, QStringList{linktext::EraseBrokenOff});
        QVERIFY(rig.bar("EraseProgressBar")->isHidden());
        QVERIFY(rig.button("Buttonerase")->isEnabled());
        QTest::mouseClick(rig.button("Connect"), Qt::LeftButton);
        QVERIFY(!rig.button("Connect")->isHidden());
        QVERIFY(rig.button("dataopenen")->isEnabled());
    }

    // A logger that stops answering: the user disconnects, the empty download counts as
    // broken off, and a later download starts afresh.
    void loggerStopsAnswering() {
        Rig rig(patternMemory(1000, 5));
        rig.connect();
        rig.logger.reset(); // nobody answers any more
        QTest::mouseClick(rig.button("Buttonreceivedata"), Qt::LeftButton);
        QTest::qWait(200);
        QCOMPARE(rig.form.link().receiver().teller, 0);
        QVERIFY(!rig.button("buttonmemo")->isEnabled());
        QTest::mouseClick(rig.button("disconnect"), Qt::LeftButton);
        QCOMPARE(rig.status(), linktext::NotConnected);
        QCOMPARE(rig.seams.messages, QStringList{linktext::DownloadBrokenOff.arg(0)});
        QVERIFY(!rig.button("Buttonreceivedata")->isEnabled());
        QVERIFY(rig.button("dataopenen")->isEnabled());
    }
};

QTEST_MAIN(TestWindowLink)
#include "window_link.moc"
