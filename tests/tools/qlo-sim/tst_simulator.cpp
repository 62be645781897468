#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "linkfixture.h"
#include "loggerserver.h"
#include "recording/memoryimage.h"
#include "simulatedlogger.h"

using namespace veltrano;
using namespace veltrano::sim;
using std::chrono::milliseconds;

Q_DECLARE_METATYPE(veltrano::sim::Faults)

namespace {
QByteArray bytesOf(const Bytes& b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

// What arrived on the terminal side, and whether it hung up.
struct Received {
    QByteArray bytes;
    bool hungUp = false;
};

// Reads the terminal side of a pty until n bytes came or it hung up, then goes on for
// `quietMs` to catch anything more (or the hang-up).
Received readTerminal(int fd, qsizetype n, int quietMs = 300, int limitMs = 20'000) {
    Received r;
    QElapsedTimer total;
    total.start();
    while (total.elapsed() < limitMs) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, r.bytes.size() >= n ? quietMs : 100);
        if (ready == 0) {
            if (r.bytes.size() >= n)
                break;
            continue;
        }
        char buf[65536];
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got > 0) {
            r.bytes.append(buf, got);
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        r.hungUp = true; // EIO or end of file: the controlling side is gone
        break;
    }
    return r;
}

// A simulated logger served on a pty from its own thread; the test holds the terminal
// side. An unplug closes the controlling side, as qlo-sim does without a test bed.
struct Wire {
    std::string path;
    int master = sim::openRawPty(path);
    int terminal = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    SimulatedLogger logger;
    LoggerServer server;
    std::thread thread;

    explicit Wire(Bytes memory, const Faults& faults = {}, std::uint64_t rate = 0)
        : logger(std::move(memory)), server(logger, milliseconds(10), faults) {
        server.setRate(rate);
        thread = std::thread([this] {
            server.serve(master);
            if (server.unplugged())
                ::close(std::exchange(master, -1));
        });
    }
    ~Wire() {
        server.stop();
        thread.join();
        ::close(terminal);
        if (master >= 0)
            ::close(master);
    }
    void send(const QByteArray& bytes) const {
        QCOMPARE(::write(terminal, bytes.constData(), std::size_t(bytes.size())),
                 ssize_t(bytes.size()));
    }
};

// `got` is `sent` with one byte missing from every full block of n bytes, and at most one
// from the last, shorter block.
bool droppedOnePerBlock(const QByteArray& sent, const QByteArray& got, qsizetype n) {
    qsizetype s = 0, g = 0;
    while (s < sent.size()) {
        const qsizetype block = std::min(n, sent.size() - s);
        const QByteArray part = sent.mid(s, block);
        qsizetype k = 0;
        while (k < block && g + k < got.size() && got[g + k] == part[k])
            ++k;
        const bool last = s + block == sent.size();
        if (k == block && last) // the last block may keep all its bytes
            return g + block == got.size();
        if (got.mid(g + k, block - 1 - k) != part.mid(k + 1))
            return false;
        s += block;
        g += block - 1;
    }
    return g == got.size();
}
} // namespace

class TestSimulator : public QObject {
    Q_OBJECT

private slots:
    // What part of an image file the simulated logger holds as its memory.
    void memoryFromImage_data() {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QByteArray>("memory");
        QTest::newRow("up to DONE at an even offset")
            << QByteArray("abcdDONExyz\0\0", 13) << QByteArray("abcd");
        QTest::newRow("DONE at an odd offset is data")
            << QByteArray("abcDONEx\0\0", 10) << QByteArray("abcDONEx");
        QTest::newRow("up to the last non-zero byte")
            << QByteArray("ab\0c\0\0\0\0", 8) << QByteArray("ab\0c", 4);
        QTest::newRow("all zero") << QByteArray(64, '\0') << QByteArray();
        QTest::newRow("DONE first") << QByteArray("DONEabc") << QByteArray();
    }
    void memoryFromImage() {
        QFETCH(QByteArray, image);
        QFETCH(QByteArray, memory);
        const Bytes got = sim::memoryFromImage(
            reinterpret_cast<const std::uint8_t*>(image.constData()), std::size_t(image.size()));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(got.data()), qsizetype(got.size())),
                 memory);
    }

    void memoryIsCappedAtTheFlashSize() {
        const Bytes image(17'000'000, 0x11);
        QCOMPARE(sim::memoryFromImage(image.data(), image.size()).size(), kLoggerMemorySize);
    }

    // Commands: a code byte belongs to the command before it; erase waits for the caller.
    void commands_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("replies"); // D = download, E = erase, else the text
        QTest::newRow("download") << QByteArray("#") << "D";
        QTest::newRow("voltage code") << QByteArray("!3") << kVoltageSetReply;
        QTest::newRow("temperature code") << QByteArray("\"8") << kTemperatureSetReply;
        QTest::newRow("unknown code") << QByteArray("!9") << kUnknownCodeReply;
        QTest::newRow("# as a code byte is no download") << QByteArray("!#") << kUnknownCodeReply;
        QTest::newRow("erase") << QByteArray("(") << "E";
        QTest::newRow("noise ignored") << QByteArray("xyz\r\n") << "";
    }
    void commands() {
        QFETCH(QByteArray, input);
        QFETCH(QString, replies);
        SimulatedLogger logger(defaultRecording());
        QString got;
        for (char c : input) {
            const auto step = logger.feed(std::uint8_t(c));
            if (step.download)
                got += u'D';
            else if (step.action == SimulatedLogger::Action::EraseThenReply)
                got += u'E';
            else
                got += QString::fromStdString(step.text);
        }
        QCOMPARE(got, replies);
    }

    // A download under each fault: what the terminal side receives, and whether the device
    // goes away. The download is 5,000 pattern bytes and "DONE".
    void downloadFaults_data() {
        QTest::addColumn<Faults>("faults");
        QTest::addColumn<int>("prefix"); // bytes of the download sent before any drop
        QTest::addColumn<bool>("hangUp");
        const auto faults = [](std::optional<std::size_t> unplug, std::optional<std::size_t> stall,
                               std::size_t drop = 0) {
            Faults f;
            f.unplugAfter = unplug;
            f.stallAfter = stall;
            f.dropEvery = drop;
            f.seed = 5;
            return f;
        };
        QTest::newRow("none") << Faults{} << 5004 << false;
        QTest::newRow("stall after 1000") << faults({}, 1000) << 1000 << false;
        QTest::newRow("stall at once") << faults({}, 0) << 0 << false;
        QTest::newRow("stall inside DONE") << faults({}, 5002) << 5002 << false;
        QTest::newRow("unplug after 1000") << faults(1000, {}) << 1000 << true;
        QTest::newRow("unplug after the whole download") << faults(5004, {}) << 5004 << true;
        QTest::newRow("unplug beyond the download") << faults(5005, {}) << 5004 << false;
        QTest::newRow("unplug before a later stall") << faults(700, 900) << 700 << true;
        QTest::newRow("stall before a later unplug") << faults(900, 700) << 700 << false;
        QTest::newRow("drop every 100") << faults({}, {}, 100) << 5004 << false;
        QTest::newRow("drop every 7, unplug after 3000") << faults(3000, {}, 7) << 3000 << true;
        QTest::newRow("drop every byte") << faults({}, {}, 1) << 0 << false;
    }
    void downloadFaults() {
        QFETCH(Faults, faults);
        QFETCH(int, prefix);
        QFETCH(bool, hangUp);
        const Bytes memory = testing::patternMemory(5000, 1);
        const QByteArray sent = (bytesOf(memory) + "DONE").left(prefix);
        Wire wire(memory, faults);
        wire.send("#");
        const qsizetype expected = faults.dropEvery == 1 ? 0
                                   : faults.dropEvery
                                       ? prefix - prefix / qsizetype(faults.dropEvery)
                                       : prefix;
        // A hang-up follows once the bytes are read; a busy machine may take its time.
        const Received r = readTerminal(wire.terminal, expected, hangUp ? 5000 : 300);
        QCOMPARE(r.hungUp, hangUp);
        QCOMPARE(wire.server.unplugged(), hangUp);
        if (faults.dropEvery == 0)
            QCOMPARE(r.bytes, sent);
        else if (faults.dropEvery > 1)
            QVERIFY(droppedOnePerBlock(sent, r.bytes, qsizetype(faults.dropEvery)));
        else
            QVERIFY(r.bytes.isEmpty());
        if (hangUp)
            return;
        // The port stays open and the logger goes on answering.
        wire.send("(");
        const Received erase = readTerminal(wire.terminal, faults.dropEvery == 1 ? 0 : 1);
        QVERIFY2(faults.dropEvery == 1 ? erase.bytes.isEmpty() : erase.bytes.contains("gewist"),
                 erase.bytes.constData());
    }

    // The same seed drops the same bytes; another seed others.
    void dropsFollowTheSeed() {
        const auto run = [](std::uint64_t seed) {
            Faults f;
            f.dropEvery = 50;
            f.seed = seed;
            Wire wire(testing::patternMemory(2000, 2), f);
            wire.send("#");
            return readTerminal(wire.terminal, 2004 - 40).bytes;
        };
        const QByteArray a = run(7);
        QCOMPARE(a.size(), qsizetype(2004 - 40));
        QCOMPARE(run(7), a);
        QVERIFY(run(8) != a);
    }

    // --no-reply: the interval setting and the erase are carried out without a word; a
    // download is still answered, and it holds the new recording.
    void noReply() {
        Faults f;
        f.noReply = true;
        Wire wire(defaultRecording(), f);
        wire.send("!7\"?(");
        QTest::qWait(100); // the erase takes 10 ms
        wire.send("#");
        const Bytes after = makeRecording(8, 6, 120);
        const Received r = readTerminal(wire.terminal, qsizetype(after.size()) + 4);
        QCOMPARE(r.bytes, bytesOf(after) + "DONE");
        QCOMPARE(wire.logger.voltageCode(), 8);
        QCOMPARE(wire.logger.temperatureCode(), 6);
    }

    // Faults change between downloads: a stalled download, then a whole one.
    void faultsChangePerDownload() {
        Faults stall;
        stall.stallAfter = 10;
        const Bytes memory = testing::patternMemory(3000, 3);
        Wire wire(memory, stall);
        wire.send("#");
        QCOMPARE(readTerminal(wire.terminal, 10).bytes, bytesOf(memory).left(10));
        wire.server.setFaults({});
        wire.send("#");
        QCOMPARE(readTerminal(wire.terminal, 3004).bytes, bytesOf(memory) + "DONE");
    }

    // The rate holds the bytes back; a new rate takes effect in the middle of a download.
    void rate() {
        const Bytes memory = testing::patternMemory(4000, 4);
        {
            Wire wire(memory, {}, 20'000);
            QElapsedTimer t;
            t.start();
            wire.send("#");
            QCOMPARE(readTerminal(wire.terminal, 4004, 50).bytes.size(), qsizetype(4004));
            QVERIFY2(t.elapsed() >= 150, qPrintable(QString::number(t.elapsed())));
        }
        const Bytes big = testing::patternMemory(400'000, 5); // 200 s at 2,000 bytes/s
        Wire wire(big, {}, 2000);
        wire.send("#");
        QVERIFY(readTerminal(wire.terminal, 40, 0).bytes.size() < 1000);
        wire.server.setRate(0);
        QCOMPARE(readTerminal(wire.terminal, 400'004 - 40, 50, 10'000).bytes.size() + 40,
                 qsizetype(400'004));
    }

    // The program: its options reach the server, and a short recording comes from a
    // small image or from --samples.
    void commandLine_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("expected"); // the received bytes, or their count
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("hangUp");
        const QByteArray short3 = bytesOf(makeRecording(2, 1, 3)) + "DONE";
        QTest::newRow("image up to its end marker") << QStringList{"--image", "@image"}
                                                    << QByteArray("\x0c\x02\x40\x10\x41\x55"
                                                                  "DONE")
                                                    << -1 << false;
        QTest::newRow("samples") << QStringList{"--samples", "3"} << short3 << -1 << false;
        QTest::newRow("stall") << QStringList{"--samples", "3", "--stall-after", "9"}
                               << short3.left(9) << -1 << false;
        QTest::newRow("unplug") << QStringList{"--samples", "3", "--unplug-after", "7"}
                                << short3.left(7) << -1 << true;
        QTest::newRow("drops and rate")
            << QStringList{"--samples",     "3",  "--drop-every", "4",   "--seed", "9",
                           "--stall-after", "12", "--rate",       "1000"}
            << QByteArray() << 9 << false;
    }
    void commandLine() {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, expected);
        QFETCH(int, count);
        QFETCH(bool, hangUp);
        QTemporaryDir dir;
        for (QString& o : options)
            if (o == "@image") {
                MemoryImage image;
                const std::uint8_t words[] = {0x0C, 0x02, 0x40, 0x10, 0x41, 0x55,
                                              'D',  'O',  'N',  'E',  0x41, 0x55};
                image.write(0, words, sizeof words);
                o = dir.filePath("small.img");
                QVERIFY(!image.save(o));
            }
        QProcess sim;
        sim.start(QStringLiteral(QLO_SIM_PATH), options);
        QVERIFY(sim.waitForReadyRead(10'000));
        const QByteArray path = sim.readLine().trimmed();
        const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY2(fd >= 0, path.constData());
        QCOMPARE(::write(fd, "#", 1), ssize_t(1));
        const Received r =
            readTerminal(fd, count >= 0 ? count : expected.size(), hangUp ? 5000 : 300);
        ::close(fd);
        if (count >= 0)
            QCOMPARE(r.bytes.size(), qsizetype(count));
        else
            QCOMPARE(r.bytes, expected);
        QCOMPARE(r.hungUp, hangUp);
        if (hangUp) { // unplugged: the program ends by itself
            QVERIFY(sim.waitForFinished(10'000));
            QCOMPARE(sim.exitCode(), 0);
        } else {
            sim.terminate();
            QVERIFY(sim.waitForFinished(10'000));
        }
    }

    void commandLineRefusesBadNumbers_data() {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("rate") << QStringList{"--rate", "fast"};
        QTest::newRow("negative drop") << QStringList{"--drop-every", "-3"};
        QTest::newRow("unplug") << QStringList{"--unplug-after", "1e3"};
        QTest::newRow("seed") << QStringList{"--seed", ""};
    }
    void commandLineRefusesBadNumbers() {
        QFETCH(QStringList, options);
        QProcess sim;
        sim.start(QStringLiteral(QLO_SIM_PATH), options);
        QVERIFY(sim.waitForFinished(10'000));
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardError().contains(options.first().toUtf8()));
    }

    // An erase without new intervals leaves the memory's length, all 0xFF.
    void eraseFillsWithFF() {
        SimulatedLogger logger(Bytes{1, 2, 3});
        QVERIFY(QByteArray::fromStdString(logger.finishErase()).contains("wel "));
        QCOMPARE(logger.memory(), (Bytes{0xFF, 0xFF, 0xFF}));
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
