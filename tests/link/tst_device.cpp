#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include <QProcess>
#include <QTest>
#include <QTimer>

#include "link/linkcontroller.h"
#include "link/linktexts.h"
#include "link/usbidentity.h"
#include "linkfixture.h"
#include "recordingwindow.h"
#include "usbtestbed.h"

using namespace veltrano;
using namespace veltrano::testing;
using std::chrono::milliseconds;

namespace {
const std::string kManufacturer = kLoggerManufacturer;
const std::string kProduct = kLoggerProduct;

struct Usb {
    std::string manufacturer;
    std::string product;
};

// A window, an image and a controller with the real udev finder.
struct Viewer {
    MemoryImage image;
    UdevDeviceFinder finder;
    RecordingWindow window;
    LinkController link{image, finder, window};
};
} // namespace

Q_DECLARE_METATYPE(std::vector<Usb>)

class TestDevice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(sim::UsbTestbed::available(), "run under umockdev-wrapper"); }

    // Exactly the logger's raw USB strings count; devices are numbered ttyACM0, 1, ...
    void discovery_data() {
        QTest::addColumn<std::vector<Usb>>("devices");
        QTest::addColumn<QStringList>("found");
        const std::string qlo = "QLO01";
        QTest::newRow("exact") << std::vector<Usb>{{kManufacturer, kProduct}}
                               << QStringList{"QLO01 (ttyACM0) /dev/ttyACM0"};
        QTest::newRow("no blanks") << std::vector<Usb>{{kManufacturer, qlo}} << QStringList{};
        QTest::newRow("19 blanks")
            << std::vector<Usb>{{kManufacturer, qlo + std::string(19, ' ')}} << QStringList{};
        QTest::newRow("21 blanks")
            << std::vector<Usb>{{kManufacturer, qlo + std::string(21, ' ')}} << QStringList{};
        QTest::newRow("line end like the kernel's")
            << std::vector<Usb>{{kManufacturer + "\n", kProduct + "\n"}}
            << QStringList{"QLO01 (ttyACM0) /dev/ttyACM0"};
        QTest::newRow("comma folded away")
            << std::vector<Usb>{{"Microchip Technology Inc.", kProduct}} << QStringList{};
        QTest::newRow("other manufacturer")
            << std::vector<Usb>{{"FTDI", kProduct}} << QStringList{};
        QTest::newRow("two loggers")
            << std::vector<Usb>{{kManufacturer, kProduct}, {kManufacturer, kProduct}}
            << QStringList{"QLO01 (ttyACM0) /dev/ttyACM0", "QLO01 (ttyACM1) /dev/ttyACM1"};
        QTest::newRow("logger among others")
            << std::vector<Usb>{{kManufacturer, "MCP2200 USB Serial"}, {kManufacturer, kProduct}}
            << QStringList{"QLO01 (ttyACM1) /dev/ttyACM1"};
        QTest::newRow("none") << std::vector<Usb>{} << QStringList{};
    }
    void discovery() {
        QFETCH(std::vector<Usb>, devices);
        QFETCH(QStringList, found);
        sim::UsbTestbed bed;
        for (std::size_t i = 0; i < devices.size(); ++i)
            QVERIFY(bed.addSerialDevice("usb" + std::to_string(i), devices[i].manufacturer,
                                        devices[i].product, "ttyACM" + std::to_string(i)) >= 0);
        QStringList got;
        for (const FoundDevice& d : UdevDeviceFinder().findLoggers())
            got << d.displayName + u' ' + d.portName;
        QCOMPARE(got, found);
    }

    // Two loggers: each is opened in turn and the last one stays open.
    void connectOpensTheLastLogger() {
        sim::UsbTestbed bed;
        QVERIFY(bed.addLogger("usb0", "ttyACM0") >= 0);
        QVERIFY(bed.addLogger("usb1", "ttyACM1") >= 0);
        Viewer v;
        v.link.connectLogger();
        QCOMPARE(v.window.log, (QStringList{"connected", "connected"}));
        QVERIFY(v.link.link().isOpen());
        QCOMPARE(v.link.link().portName(), QStringLiteral("ttyACM1"));

        v.link.disconnectLogger();
        QVERIFY(!v.link.link().isOpen());
        QCOMPARE(v.window.log.last(), QStringLiteral("disconnected"));
    }

    // The whole flash of 16,777,215 bytes arrives byte-exact, followed by "DONE".
    void fullDownload() {
        sim::UsbTestbed bed;
        const int fd = bed.addLogger("usb0", "ttyACM0");
        QVERIFY(fd >= 0);
        const sim::Bytes memory = patternMemory(sim::kLoggerMemorySize, 5);
        ServedLogger served(memory, fd, milliseconds(10));

        Viewer v;
        v.link.connectLogger();
        QCOMPARE(v.window.log, QStringList{"connected"});
        v.link.startDownload();
        QTRY_VERIFY_WITH_TIMEOUT(v.window.log.contains("complete"), 60'000);

        const Receiver& r = v.link.receiver();
        QCOMPARE(std::size_t(r.storedBytes()), memory.size() + 4);
        QVERIFY(!r.downloading());
        QVERIFY(std::memcmp(v.image.data(), memory.data(), memory.size()) == 0);
        QVERIFY(std::memcmp(v.image.data() + memory.size(), "DONE", 4) == 0);
        QCOMPARE(v.image[memory.size() + 4], std::uint8_t(0));
        QCOMPARE(v.window.steps, 105); // bytes 1, 160,001, ..., 16,640,001
        QCOMPARE(v.window.log, (QStringList{"connected", "downloadStarting", "complete"}));
    }

    // Erase: "wel " ends it, and the flash really reads back as 0xFF.
    void erase() {
        sim::UsbTestbed bed;
        const int fd = bed.addLogger("usb0", "ttyACM0");
        ServedLogger served(sim::defaultRecording(), fd, milliseconds(50));
        Viewer v;
        v.link.connectLogger();
        v.window.log.clear();

        v.link.erase();
        QTRY_VERIFY_WITH_TIMEOUT(v.window.log.contains("info:" + linktext::EraseDone), 10'000);
        QCOMPARE(v.window.log, (QStringList{"confirm:" + linktext::EraseQuestion, "eraseStarted",
                                            "eraseFinished", "info:" + linktext::EraseDone}));
        QVERIFY(!v.link.receiver().awaitingEraseAnswer());

        v.link.startDownload();
        QTRY_VERIFY_WITH_TIMEOUT(v.window.log.contains("complete"), 10'000);
        const std::size_t n = sim::defaultRecording().size();
        QCOMPARE(std::size_t(v.link.receiver().storedBytes()), n + 4);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(v.image.data()), qsizetype(n)),
                 QByteArray(qsizetype(n), '\xFF'));
    }

    // "Gelu" opens the notice, "wel " ends the transaction; the next download begins a
    // recording with the chosen intervals.
    void intervalTransaction() {
        sim::UsbTestbed bed;
        const int fd = bed.addLogger("usb0", "ttyACM0");
        ServedLogger served(sim::defaultRecording(), fd, milliseconds(50));
        Viewer v;
        v.link.connectLogger();
        v.window.log.clear();

        QVERIFY(v.link.setIntervals(7, 5));
        QTRY_VERIFY_WITH_TIMEOUT(v.window.log.contains("info:" + linktext::IntervalsDone), 10'000);
        QCOMPARE(v.window.log,
                 (QStringList{"confirm:" + linktext::IntervalsQuestion, "eraseStarted", "notice",
                              "eraseFinished", "info:" + linktext::IntervalsDone}));

        v.link.startDownload();
        QTRY_VERIFY_WITH_TIMEOUT(v.window.log.contains("complete"), 10'000);
        // calibration, start (tag 3, code 8), temperature start (tag 6, code 6),
        // voltage interval (tag 33, code 8), temperature interval (tag 35, code 6)
        const QByteArray head(reinterpret_cast<const char*>(v.image.data()), 10);
        QCOMPARE(head.mid(2).toHex(), QByteArray("0c08180684088c06"));
        QCOMPARE(int(std::uint8_t(head[0])) >> 2, 48);
    }

    // Unplugged half-way: the link reports it, the download ends there, the window
    // disconnects and says once that the download was broken off, and the bytes already
    // received stay.
    void unplugDuringDownload() {
        sim::UsbTestbed bed;
        const int fd = bed.addLogger("usb0", "ttyACM0");
        const sim::Bytes memory = patternMemory(sim::kLoggerMemorySize, 9);
        auto served = std::make_unique<ServedLogger>(memory, fd, milliseconds(10));
        Viewer v;
        v.link.connectLogger();
        v.link.startDownload();
        QTRY_VERIFY_WITH_TIMEOUT(v.link.receiver().storedBytes() > 1'000'000, 20'000);

        bed.unplug("usb0");
        QTRY_VERIFY_WITH_TIMEOUT(v.window.log.contains("disconnected"), 10'000);
        served.reset();
        const Receiver& r = v.link.receiver();
        QCOMPARE(v.window.log.mid(v.window.log.indexOf("brokenOff")),
                 (QStringList{"brokenOff", "disconnected",
                              "info:" + linktext::DownloadBrokenOff.arg(
                                            QLocale().toString(r.storedBytes()))}));
        QVERIFY(!v.link.link().isOpen());
        QVERIFY(!r.downloading());
        QVERIFY(r.storedBytes() < std::int32_t(memory.size()));
        QVERIFY(std::memcmp(v.image.data(), memory.data(), std::size_t(r.storedBytes())) == 0);
        QVERIFY(!v.window.log.contains("complete"));

        // The logger is gone from the system too.
        QVERIFY(UdevDeviceFinder().findLoggers().isEmpty());
    }

    // The simulator pulls its own plug: the link sees the device go, the download is broken
    // off with exactly the bytes sent before, and the logger is gone from the system.
    void unplugFault() {
        sim::UsbTestbed bed;
        const int fd = bed.addLogger("usb0", "ttyACM0");
        const sim::Bytes memory = patternMemory(400'000, 6);
        sim::Faults faults;
        faults.unplugAfter = 123'457;
        // Bytes still on their way in the pty go with the hang-up: the plug is pulled once the
        // viewer has stored what was sent, as a logger's last bytes are read before it goes.
        std::atomic<std::int32_t> stored{0};
        const auto pull = [&bed, &stored] {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (stored < 123'457 && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(milliseconds(1));
            bed.unplug("usb0");
        };
        ServedLogger served(memory, fd, milliseconds(10), faults, pull);
        Viewer v;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, &watch,
                         [&] { stored = v.link.receiver().storedBytes(); });
        watch.start(1);
        v.link.connectLogger();
        v.link.startDownload();
        QTRY_VERIFY_WITH_TIMEOUT(v.window.log.contains("disconnected"), 20'000);
        QCOMPARE(v.window.log.last(),
                 "info:" + linktext::DownloadBrokenOff.arg(QLocale().toString(123'457)));
        const Receiver& r = v.link.receiver();
        QCOMPARE(r.storedBytes(), std::int32_t(123'457));
        QVERIFY(!r.downloading());
        QVERIFY(std::memcmp(v.image.constData(), memory.data(), 123'457) == 0);
        QCOMPARE(v.image[123'457], std::uint8_t(0));
        QVERIFY(!v.window.log.contains("complete"));
        QVERIFY(UdevDeviceFinder().findLoggers().isEmpty());
    }

    // A stalled logger keeps its port; with the fault taken away the next download
    // completes, slowed down to a rate.
    void stallThenRetry() {
        sim::UsbTestbed bed;
        const int fd = bed.addLogger("usb0", "ttyACM0");
        const sim::Bytes memory = patternMemory(60'000, 7);
        sim::Faults faults;
        faults.stallAfter = 50'000;
        ServedLogger served(memory, fd, milliseconds(10), faults);
        Viewer v;
        v.link.connectLogger();
        v.link.startDownload();
        QTRY_COMPARE_WITH_TIMEOUT(v.link.receiver().storedBytes(), std::int32_t(50'000), 10'000);
        QTest::qWait(300);
        QCOMPARE(v.link.receiver().storedBytes(), std::int32_t(50'000));
        QVERIFY(v.link.link().isOpen());
        QVERIFY(!v.window.log.contains("complete"));

        served.server.setFaults({});
        served.server.setRate(200'000);
        v.link.startDownload();
        QTRY_VERIFY_WITH_TIMEOUT(v.window.log.contains("complete"), 10'000);
        QCOMPARE(std::size_t(v.link.receiver().storedBytes()), memory.size() + 4);
        QVERIFY(std::memcmp(v.image.constData(), memory.data(), memory.size()) == 0);
    }

    // The launcher: a child started by qlo-sim --umockdev finds the logger through libudev
    // and downloads from it.
    void launcherChildSeesTheLogger() {
        QProcess p;
        p.start(QStringLiteral(QLO_SIM_PATH),
                {"--erase-delay", "10", "--umockdev", "--", QStringLiteral(LINK_PROBE_PATH)});
        QVERIFY(p.waitForFinished(60'000));
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        QCOMPARE(p.exitCode(), 0);
        QVERIFY2(out.contains("found QLO01 (ttyACM0) /dev/ttyACM0"), qPrintable(out));
        const std::size_t bytes = sim::defaultRecording().size() + 4;
        QVERIFY2(out.contains(QStringLiteral("downloaded %1 bytes").arg(bytes)), qPrintable(out));
    }

    // With --unplug-after the launcher's own test bed loses the device mid-download.
    void launcherUnplugs() {
        QProcess p;
        p.start(QStringLiteral(QLO_SIM_PATH),
                {"--unplug-after", "1000", "--rate", "100000", "--umockdev", "--",
                 QStringLiteral(LINK_PROBE_PATH)});
        QVERIFY(p.waitForFinished(60'000));
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        QCOMPARE(p.exitCode(), 6);
        QVERIFY2(out.contains("lost\ndownloaded 1000 bytes"), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(TestDevice)
#include "tst_device.moc"
