// Hundreds of cycles of connect, download, process and disconnect through the real window
// and the fake USB logger, the logger misbehaving at random: after every cycle the controls
// are what the window's state says and the image holds exactly what the logger sent; over
// the run no descriptor or thread stays behind and resident memory does not creep up.
//
// The choices come from one seed, printed at the start; VELTRANO_SOAK_SEED replays a run and
// VELTRANO_SOAK_CYCLES changes its length.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <map>
#include <random>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTest>
#include <QThreadPool>
#include <unistd.h>

#include "app/donotunplugnotice.h"
#include "app/windowtexts.h"
#include "demo.h"
#include "link/linktexts.h"
#include "loggerrig.h"

using namespace veltrano;
using namespace veltrano::testing;
using std::chrono::milliseconds;

namespace {
constexpr std::uint64_t kDefaultSeed = 20'240'917;
constexpr int kDefaultCycles = 200;
// The link's waits, shortened so that a stalled logger costs a moment, not ten seconds.
constexpr milliseconds kSilence{300};
constexpr milliseconds kAnswer{300};
constexpr milliseconds kEraseTime{20};
// The first cycles download the full demo without faults: every buffer then has its full
// size, and resident memory is measured from there.
constexpr int kWarmUpCycles = 2;
// Cycles that download the full demo, besides the warm-up.
constexpr int kDemoCycles[] = {100, 150};

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif
constexpr double kMaxGrowthMb = 10;

std::uint64_t envNumber(const char* name, std::uint64_t fallback) {
    bool ok = false;
    const std::uint64_t n = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? n : fallback;
}

// Threads in `now` that were neither there `before` nor belong to a fake device.
QStringList newThreads(const std::map<int, QString>& before, const std::map<int, QString>& now,
                       const std::set<int>& devices) {
    QStringList added;
    for (const auto& [id, name] : now)
        if (!before.count(id) && !devices.count(id))
            added << QStringLiteral("%1 (%2)").arg(id).arg(name);
    return added;
}

double residentMb() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(::sysconf(_SC_PAGESIZE)) / 1e6 : 0;
}

const sim::Bytes& demoMemory() {
    static const sim::Bytes memory = [] {
        std::vector<std::uint8_t> bytes = demoRecording().data();
        bytes.resize(bytes.size() - 4); // the logger adds "DONE" itself
        return bytes;
    }();
    return memory;
}

enum class Fault { None, Unplug, Stall, Drop, NoReply };
enum class Talk { None, Erase, Intervals };

// One cycle's draw.
struct Cycle {
    int index = 0;
    bool demo = false;
    int samples = 0; // of a generated recording, when not the demo
    Fault fault = Fault::None;
    std::size_t at = 0;     // unplug or stall after this many bytes, or drop one in every `at`
    std::uint64_t rate = 0; // bytes per second, 0: as fast as it goes
    std::uint64_t simSeed = 1;
    Talk talk = Talk::None;
    bool talkAnswered = true;
    int voltage = 0;
    int temperature = 0;

    QString describe() const {
        static const char* faults[] = {"none", "unplug-after", "stall-after", "drop-every",
                                       "no-reply"};
        static const char* talks[] = {"", ", erase", ", intervals"};
        return QStringLiteral("cycle %1: %2, fault %3 %4, rate %5, sim seed %6%7%8")
            .arg(index)
            .arg(demo ? QStringLiteral("demo") : QStringLiteral("%1 samples").arg(samples))
            .arg(QLatin1String(faults[int(fault)]))
            .arg(at)
            .arg(rate)
            .arg(simSeed)
            .arg(QLatin1String(talks[int(talk)]))
            .arg(talk == Talk::None ? QString()
                 : talkAnswered     ? " answered"
                                    : " no reply");
    }
};

class Draw {
public:
    explicit Draw(std::uint64_t seed) : rng_(seed) {}

    Cycle next(int index) {
        Cycle c;
        c.index = index;
        c.simSeed = rng_();
        const bool warmUp = index < kWarmUpCycles;
        c.demo = warmUp || std::find(std::begin(kDemoCycles), std::end(kDemoCycles), index) !=
                               std::end(kDemoCycles);
        // Mostly short recordings, now and then a longer one.
        c.samples = pick(10) == 0 ? 3000 + int(pick(100'000)) : 1 + int(pick(3000));
        const std::size_t bytes = c.demo ? demoMemory().size() + 4 : recordingBytes(c.samples);
        if (!warmUp) {
            const auto f = pick(100);
            c.fault = f < 35   ? Fault::None
                      : f < 50 ? Fault::Unplug
                      : f < 65 ? Fault::Stall
                      : f < 85 ? Fault::Drop
                               : Fault::NoReply;
        }
        if (c.fault == Fault::Unplug || c.fault == Fault::Stall)
            c.at = pick(bytes); // 0 to one short of all
        else if (c.fault == Fault::Drop)
            c.at = 2 + pick(4000);
        // Slowed down only where it stays short.
        static constexpr std::uint64_t rates[] = {50'000, 200'000, 1'000'000};
        if (!c.demo && bytes < 10'000 && pick(2) == 0)
            c.rate = rates[pick(3)];
        const auto t = pick(8);
        c.talk = warmUp || t >= 2 ? Talk::None : t == 0 ? Talk::Erase : Talk::Intervals;
        c.talkAnswered = c.fault != Fault::NoReply && pick(3) != 0;
        c.voltage = int(pick(8));
        c.temperature = int(pick(6));
        return c;
    }

    static std::size_t recordingBytes(int samples) {
        return sim::makeRecording(2, 1, samples).size() + 4;
    }

private:
    std::uint64_t pick(std::uint64_t n) { return rng_() % n; }
    std::mt19937_64 rng_;
};

sim::Faults faultsOf(const Cycle& c) {
    sim::Faults f;
    f.seed = c.simSeed;
    switch (c.fault) {
    case Fault::Unplug:
        f.unplugAfter = c.at;
        break;
    case Fault::Stall:
        f.stallAfter = c.at;
        break;
    case Fault::Drop:
        f.dropEvery = c.at;
        break;
    case Fault::NoReply:
        f.noReply = true;
        break;
    case Fault::None:
        break;
    }
    return f;
}

// Handles events until `done` holds, looking every few milliseconds (QTRY looks every 50, which
// over hundreds of cycles adds up).
template <class F> bool waitFor(F done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qSleep(2);
    }
    return true;
}

QString brokenOff(std::int32_t bytes) {
    return linktext::DownloadBrokenOff.arg(QLocale().toString(bytes));
}
} // namespace

class TestSoak : public QObject {
    Q_OBJECT

    LoggerRig* rig = nullptr;
    // Tallies printed at the end.
    int completed = 0, brokenOffConnected = 0, unplugged = 0, talksAnswered = 0, talksGivenUp = 0;

    // Connect, download, process, perhaps erase or set intervals, disconnect; QTest's
    // checks end it early on a failure.
    void cycle(const Cycle& c) {
        LoggerRig& r = *rig;
        r.seams.messages.clear();
        r.seams.questions.clear();
        sim::Bytes memory = c.demo ? demoMemory() : sim::makeRecording(2, 1, c.samples);
        const std::size_t total = memory.size() + 4;
        r.serve(std::move(memory), kEraseTime);

        r.click("connectButton");
        QVERIFY2(r.seams.messages.isEmpty(), qPrintable(r.seams.messages.join('\n')));
        QCOMPARE(r.status(), linktext::Connected);
        QVERIFY(r.form.isConnected());

        // The download.
        r.setFaults(faultsOf(c), c.rate);
        r.sent.clear();
        r.startDownload();
        QVERIFY2(waitFor([&] { return r.form.state().link != LinkActivity::Downloading; }, 60'000),
                 "the download does not end");
        if (c.fault == Fault::Unplug)
            QVERIFY2(waitFor([&] { return !r.form.isConnected(); }, 10'000),
                     "the window does not see the device go");
        const std::int32_t teller = r.form.link().receiver().storedBytes();
        QCOMPARE(r.imageDiffers(), QString());
        const bool done = r.seams.messages.isEmpty();
        switch (c.fault) {
        case Fault::None:
        case Fault::NoReply:                      // downloads are answered
            QCOMPARE(std::size_t(teller), total); // all of them
            QCOMPARE(r.seams.messages, QStringList());
            QCOMPARE(r.status(), linktext::DataReady);
            break;
        case Fault::Unplug:
            QCOMPARE(std::size_t(teller), c.at);
            QCOMPARE(r.seams.messages, QStringList{brokenOff(teller)});
            QCOMPARE(r.status(), linktext::NotConnected);
            break;
        case Fault::Stall:
            QCOMPARE(std::size_t(teller), c.at);
            QCOMPARE(r.seams.messages, QStringList{brokenOff(teller)});
            QCOMPARE(r.status(), linktext::Connected);
            break;
        case Fault::Drop:
            // Complete when "DONE" came through whole, else given up after the silence.
            if (done) {
                QVERIFY(teller >= 4);
                QVERIFY(std::memcmp(r.form.image().data() + teller - 4, "DONE", 4) == 0);
                QCOMPARE(r.status(), linktext::DataReady);
            } else {
                QCOMPARE(std::size_t(teller), r.sentSize());
                QCOMPARE(r.seams.messages, QStringList{brokenOff(teller)});
            }
            break;
        }
        QCOMPARE(r.form.isConnected(), c.fault != Fault::Unplug);
        QCOMPARE(r.controlsDiffer(), QStringList());
        done ? ++completed : r.form.isConnected() ? ++brokenOffConnected : ++unplugged;

        // Processing whatever came in.
        QVERIFY(r.button("processButton")->isEnabled());
        r.seams.messages.clear();
        r.click("processButton");
        QVERIFY2(waitFor([&] { return !r.form.isProcessing(); }, 60'000), "the run does not end");
        if (done && (c.fault == Fault::None || c.fault == Fault::NoReply))
            QCOMPARE(r.status(), windowtext::Processed);
        // A download broken off inside the recording is shown as far as it came.
        const ProcessingResult* run = r.form.result();
        if (run && hasRecording(*run))
            QCOMPARE(r.status(), windowtext::Processed);
        QCOMPARE(r.controlsDiffer(), QStringList());

        // An erase or interval setting, answered or not.
        if (c.talk != Talk::None && r.form.isConnected()) {
            sim::Faults talkFaults;
            talkFaults.noReply = !c.talkAnswered;
            r.setFaults(talkFaults, 0);
            r.seams.messages.clear();
            const bool erase = c.talk == Talk::Erase;
            if (erase)
                r.click("eraseButton");
            else
                r.setIntervals(c.voltage, c.temperature);
            QCOMPARE(r.form.state().link,
                     erase ? LinkActivity::Erasing : LinkActivity::SettingIntervals);
            QCOMPARE(r.controlsDiffer(), QStringList());
            QVERIFY2(waitFor([&] { return r.form.state().link == LinkActivity::None; }, 10'000),
                     "the conversation does not end");
            const QString answer =
                c.talkAnswered ? (erase ? linktext::EraseDone : linktext::IntervalsDone)
                               : (erase ? linktext::EraseNoAnswer : linktext::IntervalsNoAnswer);
            QCOMPARE(r.seams.messages, QStringList{answer});
            c.talkAnswered ? ++talksAnswered : ++talksGivenUp;
            r.windows.notice()->hide();
            QCOMPARE(r.controlsDiffer(), QStringList());
        }

        // Disconnecting, when the logger is still there.
        r.seams.messages.clear();
        const bool connected = r.form.isConnected();
        const QString statusBefore = r.status();
        if (connected)
            r.click("disconnectButton");
        QCOMPARE(r.seams.messages, QStringList());
        QCOMPARE(r.status(), connected ? linktext::NotConnected : statusBefore);
        const WindowState& s = r.form.state();
        QCOMPARE(s.link, LinkActivity::None);
        QVERIFY(!s.processing);
        QVERIFY(!s.connected);
        QVERIFY(s.imageReady);
        QCOMPARE(r.controlsDiffer(), QStringList());
        QCOMPARE(r.imageDiffers(), QString()); // nothing after the download touched it
    }

private slots:
    void initTestCase() { QVERIFY2(sim::UsbTestbed::available(), "run under umockdev-wrapper"); }

    void cycles() {
        const std::uint64_t seed = envNumber("VELTRANO_SOAK_SEED", kDefaultSeed);
        const int count = int(envNumber("VELTRANO_SOAK_CYCLES", kDefaultCycles));
        std::printf("soak: %d cycles, seed %" PRIu64 " (VELTRANO_SOAK_SEED replays it)\n", count,
                    seed);
        demoMemory();

        const double startMb = residentMb();
        LoggerRig r;
        rig = &r;
        r.form.link().setTimeouts(kSilence, kAnswer);
        r.sent.reserve(kImageSize + 4096);
        // The first test bed starts umockdev's own worker thread for good.
        r.plugIn();
        QThreadPool::globalInstance()->waitForDone();
        const std::set<int> startFds = openFds();
        const std::map<int, QString> startThreads = threads();
        double warmMb = 0;

        QElapsedTimer clock;
        clock.start();
        Draw draw(seed);
        for (int i = 0; i < count; ++i) {
            const Cycle c = draw.next(i);
            cycle(c);
            if (QTest::currentTestFailed()) {
                std::printf("soak: failed in %s (seed %" PRIu64 ")\n", qPrintable(c.describe()),
                            seed);
                return;
            }
            if (i + 1 == kWarmUpCycles)
                warmMb = residentMb();
        }
        const double seconds = double(clock.elapsed()) / 1000;

        // As at the start: a device plugged in, no simulator, no worker busy.
        r.sim.reset();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const std::set<int> endFds = openFds();
        QStringList leaked;
        int devices = 0;
        for (int fd : endFds) {
            if (startFds.count(fd))
                continue;
            if (r.deviceFds.count(fd))
                ++devices;
            else
                leaked << QStringLiteral("%1 (%2)").arg(fd).arg(
                    QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(fd)));
        }
        // A worker may take a moment to end.
        waitFor([&] { return newThreads(startThreads, threads(), r.deviceThreads).isEmpty(); },
                5000);
        const std::map<int, QString> endThreads = threads();
        const double endMb = residentMb();
        std::printf("soak: %d cycles in %.1f s: %d downloads complete, %d broken off while "
                    "connected, %d unplugged; %d erases or interval settings answered, %d "
                    "given up\n",
                    count, seconds, completed, brokenOffConnected, unplugged, talksAnswered,
                    talksGivenUp);
        std::printf("soak: file descriptors %zu -> %zu, of them %d new ones held by the test "
                    "beds of the fake devices; threads %zu -> %zu\n",
                    startFds.size(), endFds.size(), devices, startThreads.size(),
                    endThreads.size());
        std::printf("soak: resident memory %.1f MB before the windows, %.1f MB after %d warm-up "
                    "cycles, %.1f MB at the end: %+.1f MB over %d cycles%s\n",
                    startMb, warmMb, kWarmUpCycles, endMb, endMb - warmMb, count - kWarmUpCycles,
                    kSanitized ? " (not checked: the sanitizers hold freed memory)" : "");
        const QStringList stayed = newThreads(startThreads, endThreads, r.deviceThreads);
        QVERIFY2(stayed.isEmpty(), qPrintable("threads left: " + stayed.join(", ")));
        QVERIFY2(leaked.isEmpty(), qPrintable("left open: " + leaked.join(", ")));
        if (!kSanitized)
            QVERIFY2(endMb - warmMb < kMaxGrowthMb,
                     qPrintable(QStringLiteral("grew by %1 MB").arg(endMb - warmMb)));
        rig = nullptr;
    }
};

QTEST_MAIN(TestSoak)
#include "soak.moc"
