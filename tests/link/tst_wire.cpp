#include <cstring>

#include <QTest>
#include <poll.h>
#include <unistd.h>

#include "link/linkcontroller.h"
#include "link/linktexts.h"
#include "linkfixture.h"
#include "recordingwindow.h"

using namespace veltrano;
using namespace veltrano::testing;

namespace {
using NoDevices = ListedDevices;

} // namespace

class TestWire : public QObject {
    Q_OBJECT
    int master = -1;
    std::string path;

private slots:
    void init() {
        master = sim::openRawPty(path);
        QVERIFY(master >= 0);
    }
    void cleanup() { ::close(master); }

    // The interval transaction's bytes, as the simulated logger reads and answers them.
    void intervalBytes_data() {
        QTest::addColumn<int>("voltageIndex");
        QTest::addColumn<int>("temperatureIndex");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<int>("voltageCode");
        QTest::addColumn<int>("temperatureCode");
        QTest::newRow("5min and 30min") << 7 << 5 << QByteArray("\x21\x37\x22\x3F\x28") << 8 << 6;
        QTest::newRow("16/sec and 10min")
            << 0 << 3 << QByteArray("\x21\x30\x22\x38\x28") << 18 << 4;
        QTest::newRow("1sec and 30sec") << 1 << 0 << QByteArray("\x21\x31\x22\x3B\x28") << 2 << 1;
    }
    void intervalBytes() {
        QFETCH(int, voltageIndex);
        QFETCH(int, temperatureIndex);
        QFETCH(QByteArray, wire);
        QFETCH(int, voltageCode);
        QFETCH(int, temperatureCode);

        MemoryImage image;
        NoDevices finder;
        RecordingWindow window;
        LinkController link(image, finder, window);
        QVERIFY(link.link().open(QString::fromStdString(path)));

        QVERIFY(link.setIntervals(voltageIndex, temperatureIndex));
        QCOMPARE(readWire(master, 5), wire);
        QVERIFY(link.receiver().awaitingConfigurationStart());
        QVERIFY(link.receiver().awaitingEraseAnswer());
        QVERIFY(link.receiver().awaitingIntervalAnswer());

        // The simulated logger reads the same bytes and answers.
        sim::SimulatedLogger logger(sim::defaultRecording(), 2, 1);
        std::string reply;
        for (char c : wire) {
            const auto step = logger.feed(std::uint8_t(c));
            reply += step.action == sim::SimulatedLogger::Action::EraseThenReply
                         ? logger.finishErase()
                         : step.text;
        }
        QCOMPARE(logger.voltageCode(), voltageCode);
        QCOMPARE(logger.temperatureCode(), temperatureCode);
        QCOMPARE(::write(master, reply.data(), reply.size()), ssize_t(reply.size()));
        QTRY_VERIFY(window.log.contains("info:" + linktext::IntervalsDone));
        QCOMPARE(window.log,
                 (QStringList{"confirm:" + linktext::IntervalsQuestion, "eraseStarted", "notice",
                              "eraseFinished", "info:" + linktext::IntervalsDone}));
        QVERIFY(!link.receiver().awaitingEraseAnswer() &&
                !link.receiver().awaitingConfigurationStart() &&
                !link.receiver().awaitingIntervalAnswer());
        // The next download starts a recording with the new codes.
        const sim::Bytes& m = logger.memory();
        QVERIFY(m.size() >= 10);
        QCOMPARE(int(m[2]) >> 2, 3);
        QCOMPARE(((int(m[2]) & 3) << 8) | m[3], voltageCode);
        QCOMPARE(((int(m[4]) & 3) << 8) | m[5], temperatureCode);
    }

    void cancelledIntervalsSendNothing() {
        MemoryImage image;
        NoDevices finder;
        RecordingWindow window;
        window.answer = false;
        LinkController link(image, finder, window);
        QVERIFY(link.link().open(QString::fromStdString(path)));
        QVERIFY(!link.setIntervals(7, 5));
        QCOMPARE(window.log, (QStringList{"confirm:" + linktext::IntervalsQuestion,
                                          "info:" + linktext::IntervalsCancelled}));
        QVERIFY(!link.receiver().awaitingConfigurationStart());
        QCOMPARE(readWire(master, 1), QByteArray());
    }

    // Commands on a closed port: the window says so and nothing is left waiting, except
    // the configuration flag, which is set before the first send.
    void closedPort() {
        MemoryImage image;
        NoDevices finder;
        RecordingWindow window;
        LinkController link(image, finder, window);

        link.erase();
        QCOMPARE(window.log, (QStringList{"confirm:" + linktext::EraseQuestion,
                                          "info:" + linktext::NotConnected}));
        QVERIFY(!link.receiver().awaitingEraseAnswer());

        window.log.clear();
        QVERIFY(!link.setIntervals(1, 0));
        QCOMPARE(window.log.last(), "info:" + linktext::NotConnected);
        QVERIFY(!window.log.contains("eraseStarted"));
        QVERIFY(link.receiver().awaitingConfigurationStart());
        QVERIFY(!link.receiver().awaitingEraseAnswer());

        window.log.clear();
        link.connectLogger();
        QCOMPARE(window.log, QStringList{"info:" + linktext::NotConnected});
    }

    // A port that will not open: the window says why and keeps the port found before.
    void connectFailures_data() {
        QTest::addColumn<QStringList>("ports");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("open");
        const QString bad = QStringLiteral("/nonexistent/ttyACM9");
        const QString why = QStringLiteral("info:Kan poort /nonexistent/ttyACM9 niet openen: ");
        QTest::newRow("only device fails") << QStringList{bad} << QStringList{why} << false;
        QTest::newRow("second fails, first kept")
            << QStringList{"pty", bad} << QStringList{"connected", why} << true;
        QTest::newRow("first fails, second never tried")
            << QStringList{bad, "pty"} << QStringList{why} << false;
    }
    void connectFailures() {
        QFETCH(QStringList, ports);
        QFETCH(QStringList, calls);
        QFETCH(bool, open);
        MemoryImage image;
        ListedDevices finder;
        for (const QString& p : ports)
            finder.devices.append(
                {QStringLiteral("QLO01"), p == "pty" ? QString::fromStdString(path) : p});
        RecordingWindow window;
        LinkController link(image, finder, window);
        link.connectLogger();
        QCOMPARE(window.log.size(), calls.size());
        for (int i = 0; i < calls.size(); ++i)
            QVERIFY2(window.log[i].startsWith(calls[i]), qPrintable(window.log[i]));
        QCOMPARE(link.link().isOpen(), open);
        if (open)
            QCOMPARE(QStringLiteral("/dev/") + link.link().portName(),
                     QString::fromStdString(path));
    }

    // A download from the simulated logger over a plain pty: the memory, then "DONE".
    void downloadFromSimulator() {
        const sim::Bytes memory = sim::defaultRecording();
        ServedLogger served(memory, master, std::chrono::milliseconds(10));
        MemoryImage image;
        NoDevices finder;
        RecordingWindow window;
        LinkController link(image, finder, window);
        QVERIFY(link.link().open(QString::fromStdString(path)));
        link.startDownload();
        QTRY_VERIFY(window.log.contains("complete"));
        QCOMPARE(window.log, (QStringList{"downloadStarting", "complete"}));
        QCOMPARE(std::size_t(link.receiver().storedBytes()), memory.size() + 4);
        QVERIFY(std::memcmp(image.data(), memory.data(), memory.size()) == 0);
        QVERIFY(std::memcmp(image.data() + memory.size(), "DONE\0\0", 6) == 0);
    }
};

QTEST_GUILESS_MAIN(TestWire)
#include "tst_wire.moc"
