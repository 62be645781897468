// A logger that does not answer: the link gives up after its waits (shortened here), the
// logger stays connected, and an answer coming after all changes nothing.
#include <chrono>
#include <cstring>

#include <QElapsedTimer>
#include <QTest>
#include <poll.h>
#include <unistd.h>

#include "link/linkcontroller.h"
#include "link/linktexts.h"
#include "linkfixture.h"
#include "loggerserver.h"
#include "recordingwindow.h"
#include "simulatedlogger.h"

using namespace veltrano;
using namespace veltrano::testing;
using std::chrono::milliseconds;

namespace {
constexpr milliseconds kSilence{300};
constexpr milliseconds kAnswer{300};

using NoDevices = ListedDevices;

enum class Start { Download, Erase, Intervals };

// The window's controller on a pty whose other side the test speaks for.
struct Link {
    MemoryImage image;
    NoDevices finder;
    RecordingWindow window;
    LinkController link{image, finder, window};

    explicit Link(const std::string& path) {
        link.setTimeouts(kSilence, kAnswer);
        if (!link.link().open(QString::fromStdString(path)))
            qFatal("cannot open the pty");
    }
    // Starts the conversation and returns the command bytes as they reached the logger.
    QByteArray start(Start what, int wire) {
        switch (what) {
        case Start::Download:
            link.startDownload();
            return readWire(wire, 1);
        case Start::Erase:
            link.erase();
            return readWire(wire, 1);
        case Start::Intervals:
            link.setIntervals(7, 5);
            return readWire(wire, 5);
        }
        return {};
    }
    bool waiting() const {
        const Receiver& r = link.receiver();
        return r.downloading() || r.awaitingEraseAnswer() || r.awaitingConfigurationStart();
    }
};

QString brokenOff(int bytes) {
    return "info:" + linktext::DownloadBrokenOff.arg(QLocale().toString(bytes));
}
} // namespace

Q_DECLARE_METATYPE(Start)

class TestTimeouts : public QObject {
    Q_OBJECT
    int master = -1;
    std::string path;

private slots:
    void init() {
        master = sim::openRawPty(path);
        QVERIFY(master >= 0);
    }
    void cleanup() { ::close(master); }

    // What the logger answers in time and what comes after the waits; what the window is
    // told, how many bytes the image kept.
    void silentLogger_data() {
        QTest::addColumn<Start>("what");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("late");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("teller");
        const QByteArray bytes1000 = QByteArray(1000, '\x11');
        const QString erase = "confirm:" + linktext::EraseQuestion;
        const QString intervals = "confirm:" + linktext::IntervalsQuestion;
        const QString erased = QString::fromLatin1(sim::kErasedReply);

        // A late "DONE" still unlocks processing, as "DONE" outside a download does; its
        // bytes are not stored.
        QTest::newRow("download, not a byte")
            << Start::Download << QByteArray() << QByteArray("xyDONE")
            << QStringList{"downloadStarting", "brokenOff", brokenOff(0), "complete"} << 0;
        QTest::newRow("download stops half-way")
            << Start::Download << bytes1000 << QByteArray("more")
            << QStringList{"downloadStarting", "brokenOff", brokenOff(1000)} << 1000;
        QTest::newRow("download ends in time")
            << Start::Download << QByteArray("abcDONE") << QByteArray("after")
            << QStringList{"downloadStarting", "complete"} << 7;
        QTest::newRow("erase, no answer")
            << Start::Erase << QByteArray() << QByteArray(sim::kErasedReply)
            << QStringList{erase, "eraseStarted", "conversationBrokenOff",
                           "info:" + linktext::EraseNoAnswer}
            << 0;
        QTest::newRow("erase, answer without its blank")
            << Start::Erase << QByteArray("Flash geheugen wel\r\n") << QByteArray("wel ")
            << QStringList{erase, "eraseStarted", "conversationBrokenOff",
                           "info:" + linktext::EraseNoAnswer}
            << 0;
        QTest::newRow("erase answered")
            << Start::Erase << QByteArray(sim::kErasedReply) << QByteArray("wel ")
            << QStringList{erase, "eraseStarted", "eraseFinished", "info:" + linktext::EraseDone}
            << 0;
        QTest::newRow("intervals, no answer")
            << Start::Intervals << QByteArray() << QByteArray("Gelu wel ")
            << QStringList{intervals, "eraseStarted", "conversationBrokenOff",
                           "info:" + linktext::IntervalsNoAnswer}
            << 0;
        QTest::newRow("intervals, Gelu but no wel")
            << Start::Intervals << QByteArray(sim::kVoltageSetReply) << QByteArray("wel ")
            << QStringList{intervals, "eraseStarted", "notice", "conversationBrokenOff",
                           "info:" + linktext::IntervalsNoAnswer}
            << 0;
        QTest::newRow("intervals answered")
            << Start::Intervals << QByteArray("Gelukt\r\n") + erased.toLatin1()
            << QByteArray("Gelu wel ")
            << QStringList{intervals, "eraseStarted", "notice", "eraseFinished",
                           "info:" + linktext::IntervalsDone}
            << 0;
    }
    void silentLogger() {
        QFETCH(Start, what);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, late);
        QFETCH(QStringList, log);
        QFETCH(int, teller);
        Link l(path);
        QElapsedTimer sinceStart;
        sinceStart.start();
        QVERIFY(!l.start(what, master).isEmpty());
        QVERIFY(writeWire(master, answer));
        const bool timesOut = log.contains("brokenOff") || log.contains("conversationBrokenOff");
        if (timesOut) {
            QTRY_VERIFY_WITH_TIMEOUT(!l.waiting(), 10'000);
            // Not before the wait is over.
            QVERIFY(sinceStart.elapsed() >= std::min(kSilence, kAnswer).count());
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(!l.waiting(), 10'000);
            QTest::qWait(int(3 * std::max(kSilence, kAnswer).count())); // nothing more comes
        }
        QVERIFY(writeWire(master, late));
        QTest::qWait(200);
        QCOMPARE(l.window.log, log);
        QCOMPARE(l.link.receiver().storedBytes(), teller);
        QVERIFY(std::memcmp(l.image.data(), answer.constData(), std::size_t(teller)) == 0);
        QCOMPARE(l.image[std::size_t(teller)], std::uint8_t(0));
        QVERIFY(!l.waiting());
        QVERIFY(l.link.link().isOpen()); // still connected
        QVERIFY(!l.window.log.contains("disconnected"));
    }

    // Bytes that keep coming keep the download going, however long it takes; the wait counts
    // from the last of them.
    void trickleKeepsADownloadAlive() {
        Link l(path);
        const milliseconds silence(1000);
        l.link.setTimeouts(silence, kAnswer);
        l.start(Start::Download, master);
        QElapsedTimer running;
        running.start();
        int sent = 0;
        while (running.elapsed() < 2 * silence.count()) {
            QVERIFY(writeWire(master, QByteArray(100, '\x22')));
            sent += 100;
            QTest::qWait(50);
        }
        QTRY_COMPARE(l.link.receiver().storedBytes(), sent);
        QVERIFY(l.link.receiver().downloading());
        QElapsedTimer quiet;
        quiet.start();
        QTRY_VERIFY_WITH_TIMEOUT(!l.link.receiver().downloading(), 10'000);
        QVERIFY(quiet.elapsed() >= silence.count() * 9 / 10);
        QCOMPARE(l.window.log, (QStringList{"downloadStarting", "brokenOff", brokenOff(sent)}));
    }

    // "Verbreken" ends what waits and its clock: told once, not again when the wait is over.
    void disconnectEndsTheWait_data() {
        QTest::addColumn<Start>("what");
        QTest::addColumn<QString>("told");
        QTest::newRow("download") << Start::Download << brokenOff(0);
        QTest::newRow("erase") << Start::Erase << "info:" + linktext::EraseBrokenOff;
        QTest::newRow("intervals") << Start::Intervals << "info:" + linktext::IntervalsBrokenOff;
    }
    void disconnectEndsTheWait() {
        QFETCH(Start, what);
        QFETCH(QString, told);
        Link l(path);
        l.start(what, master);
        l.link.disconnectLogger();
        QCOMPARE(l.window.log.last(), told);
        const qsizetype entries = l.window.log.size();
        QTest::qWait(int(3 * std::max(kSilence, kAnswer).count()));
        QCOMPARE(l.window.log.size(), entries);
        QVERIFY(!l.waiting());
    }

    // An interval setting whose commands never went out (no port) is no conversation: a
    // later "Verbreken" has nothing of it to break off.
    void intervalsNeverSentAreNotBrokenOff() {
        MemoryImage image;
        NoDevices finder;
        RecordingWindow window;
        LinkController link(image, finder, window);
        QVERIFY(!link.setIntervals(1, 0));
        QCOMPARE(window.log.last(), "info:" + linktext::NotConnected);
        QVERIFY(link.link().open(QString::fromStdString(path)));
        window.log.clear();
        link.disconnectLogger();
        QCOMPARE(window.log, QStringList{"disconnected"});
    }
};

QTEST_GUILESS_MAIN(TestTimeouts)
#include "tst_timeouts.moc"
