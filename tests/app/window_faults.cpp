// The misbehaving logger against the real window: every fault the simulator can put on, what
// the user is told, that the controls come back, and what the image holds afterwards.
#include <chrono>

#include <QLocale>
#include <QTest>

#include "app/donotunplugnotice.h"
#include "app/windowtexts.h"
#include "chart/navigation.h"
#include "link/linktexts.h"
#include "loggerrig.h"

using namespace veltrano;
using namespace veltrano::testing;
using std::chrono::milliseconds;

namespace {
// The link's waits, shortened.
constexpr milliseconds kSilence{500};
constexpr milliseconds kAnswer{500};

enum class Action { Download, Erase, Intervals };
// How it ends for the user.
enum class Ends {
    Complete,              // "DONE": ready to process
    TimedOut,              // no byte for too long: broken off, still connected
    Unplugged,             // broken off, disconnected
    CompleteThenUnplugged, // "DONE", then the device went
    Answered,              // the erase or interval setting succeeded
    NoAnswer,              // it was given up
};

sim::Faults unplugAfter(std::size_t n) {
    sim::Faults f;
    f.unplugAfter = n;
    return f;
}
sim::Faults stallAfter(std::size_t n) {
    sim::Faults f;
    f.stallAfter = n;
    return f;
}
sim::Faults dropEvery(std::size_t n) {
    sim::Faults f;
    f.dropEvery = n;
    f.seed = 7;
    return f;
}
sim::Faults noReply() {
    sim::Faults f;
    f.noReply = true;
    return f;
}

const sim::Bytes& recording() {
    static const sim::Bytes r = sim::makeRecording(2, 1, 3000);
    return r;
}
const int kDownloadBytes = int(recording().size()) + 4;

QString brokenOff(std::int32_t bytes) {
    return linktext::DownloadBrokenOff.arg(QLocale().toString(bytes));
}
} // namespace

Q_DECLARE_METATYPE(sim::Faults)
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Ends)

class TestWindowFaults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(sim::UsbTestbed::available(), "run under umockdev-wrapper"); }

    void fault_data() {
        QTest::addColumn<sim::Faults>("faults");
        QTest::addColumn<qulonglong>("rate"); // bytes per second, 0: as fast as it goes
        QTest::addColumn<int>("eraseMs");     // how long the logger takes to erase
        QTest::addColumn<Action>("action");
        QTest::addColumn<Ends>("ends");
        QTest::addColumn<int>("kept"); // bytes in the image; -1: all that were sent

        const auto row = [](const char* name, sim::Faults faults, qulonglong rate, int eraseMs,
                            Action action, Ends ends, int kept) {
            QTest::newRow(name) << faults << rate << eraseMs << action << ends << kept;
        };
        const auto D = Action::Download;
        row("no fault", {}, 0, 50, D, Ends::Complete, kDownloadBytes);
        // Longer than the wait in all, but never silent for that long.
        row("slow but steady", {}, 10'000, 50, D, Ends::Complete, kDownloadBytes);
        row("unplugged half-way", unplugAfter(1000), 0, 50, D, Ends::Unplugged, 1000);
        row("unplugged before a byte", unplugAfter(0), 0, 50, D, Ends::Unplugged, 0);
        row("unplugged right after DONE", unplugAfter(std::size_t(kDownloadBytes)), 0, 50, D,
            Ends::CompleteThenUnplugged, kDownloadBytes);
        row("stalls half-way", stallAfter(1000), 0, 50, D, Ends::TimedOut, 1000);
        row("stalls before a byte", stallAfter(0), 0, 50, D, Ends::TimedOut, 0);
        row("stalls while slow", stallAfter(3000), 10'000, 50, D, Ends::TimedOut, 3000);
        // One byte of every two lost: "DONE" never arrives whole.
        row("drops every 2nd byte", dropEvery(2), 0, 50, D, Ends::TimedOut, -1);
        row("drops every 1000th byte", dropEvery(1000), 0, 50, D, Ends::Complete, -1);
        row("drops, slow", dropEvery(1000), 50'000, 50, D, Ends::Complete, -1);
        row("no reply: downloads still answered", noReply(), 0, 50, D, Ends::Complete,
            kDownloadBytes);
        row("erase answered", {}, 0, 50, Action::Erase, Ends::Answered, kDownloadBytes);
        row("no reply to the erase", noReply(), 0, 50, Action::Erase, Ends::NoAnswer,
            kDownloadBytes);
        row("erase answered too late", {}, 0, 1500, Action::Erase, Ends::NoAnswer, kDownloadBytes);
        row("intervals answered", {}, 0, 50, Action::Intervals, Ends::Answered, kDownloadBytes);
        row("no reply to the intervals", noReply(), 0, 50, Action::Intervals, Ends::NoAnswer,
            kDownloadBytes);
        row("intervals answered too late", {}, 0, 1500, Action::Intervals, Ends::NoAnswer,
            kDownloadBytes);
    }
    void fault() {
        QFETCH(sim::Faults, faults);
        QFETCH(qulonglong, rate);
        QFETCH(int, eraseMs);
        QFETCH(Action, action);
        QFETCH(Ends, ends);
        QFETCH(int, kept);

        LoggerRig rig;
        rig.form.holdBars();
        rig.form.link().setTimeouts(kSilence, kAnswer);
        rig.serve(recording(), milliseconds(eraseMs));
        rig.click("connectButton");
        QCOMPARE(rig.status(), linktext::Connected);

        // The download, with the faults on it or without.
        const bool onDownload = action == Action::Download;
        if (onDownload)
            rig.setFaults(faults, rate);
        rig.startDownload();
        QVERIFY(!rig.button("processButton")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(rig.form.state().link != LinkActivity::Downloading, 20'000);
        const Ends downloadEnds = onDownload ? ends : Ends::Complete;
        const bool lost =
            downloadEnds == Ends::Unplugged || downloadEnds == Ends::CompleteThenUnplugged;
        if (lost)
            QTRY_VERIFY_WITH_TIMEOUT(!rig.form.isConnected(), 10'000);

        const std::int32_t teller = rig.form.link().receiver().storedBytes();
        QCOMPARE(teller, kept < 0 ? std::int32_t(rig.sentSize()) : kept);
        QCOMPARE(rig.imageDiffers(), QString());
        QStringList told;
        QString status = linktext::DataReady;
        switch (downloadEnds) {
        case Ends::TimedOut:
            told << brokenOff(teller);
            status = linktext::Connected; // as it was
            break;
        case Ends::Unplugged:
            told << brokenOff(teller);
            status = linktext::NotConnected;
            break;
        case Ends::CompleteThenUnplugged:
            told << linktext::NotConnected;
            status = linktext::NotConnected;
            break;
        default:
            QVERIFY(rig.sentEndsInDone());
            break;
        }
        QCOMPARE(rig.seams.messages, told);
        QCOMPARE(rig.status(), status);
        QCOMPARE(rig.form.isConnected(), !lost);
        QCOMPARE(rig.form.state().link, LinkActivity::None);
        QCOMPARE(rig.controlsDiffer(), QStringList());
        QVERIFY(rig.button("processButton")->isEnabled());
        QCOMPARE(rig.button("downloadButton")->isEnabled(), !lost);
        QVERIFY(rig.button("eraseButton")->isEnabled());
        if (downloadEnds != Ends::Complete && downloadEnds != Ends::CompleteThenUnplugged)
            QVERIFY(control(rig.form, "downloadBar")->isHidden()); // at once, not run out

        if (!onDownload) {
            // The erase or interval setting, with the faults on it.
            const QByteArray before(reinterpret_cast<const char*>(rig.form.image().data()),
                                    teller + 64);
            rig.seams.messages.clear();
            rig.setFaults(faults, rate);
            if (action == Action::Erase) {
                rig.click("eraseButton");
                QCOMPARE(rig.seams.questions.last(), linktext::EraseQuestion);
            } else {
                rig.setIntervals(7, 5);
                QCOMPARE(rig.seams.questions.last(), linktext::IntervalsQuestion);
                QVERIFY(rig.windows.configurationWindow()->isHidden());
            }
            QVERIFY(!control(rig.form, "eraseBar")->isHidden());
            QCOMPARE(rig.controlsDiffer(), QStringList());
            QTRY_COMPARE_WITH_TIMEOUT(rig.form.state().link, LinkActivity::None, 10'000);
            QTest::qWait(eraseMs + 300); // an answer that comes late changes nothing
            const bool erase = action == Action::Erase;
            const QString answer =
                ends == Ends::Answered
                    ? (erase ? linktext::EraseDone : linktext::IntervalsDone)
                    : (erase ? linktext::EraseNoAnswer : linktext::IntervalsNoAnswer);
            QCOMPARE(rig.seams.messages, QStringList{answer});
            if (!erase) // "Gelu" comes before the erase
                QCOMPARE(rig.windows.notice()->isVisible(), !faults.noReply);
            QCOMPARE(rig.status(), linktext::DataReady);
            QVERIFY(rig.form.isConnected());
            QVERIFY(control(rig.form, "eraseBar")->isHidden());
            QCOMPARE(rig.controlsDiffer(), QStringList());
            QVERIFY(rig.button("eraseButton")->isEnabled());
            QVERIFY(rig.button("downloadButton")->isEnabled());
            QCOMPARE(rig.form.link().receiver().storedBytes(), teller);
            QCOMPARE(
                QByteArray(reinterpret_cast<const char*>(rig.form.image().data()), teller + 64),
                before);
        }

        // What came in can be processed.
        rig.seams.messages.clear();
        rig.click("processButton");
        QTRY_VERIFY_WITH_TIMEOUT(!rig.form.isProcessing(), 60'000);
        if (downloadEnds == Ends::Complete && kept == kDownloadBytes)
            QCOMPARE(rig.status(), windowtext::Processed);
        // A download broken off in the middle of the recording: what came is shown, and the
        // user is told once that the recording has no end.
        if (kept > 0 && kept < kDownloadBytes) {
            QCOMPARE(rig.status(), windowtext::Processed);
            QVERIFY(rig.form.state().chartDrawn);
            QVERIFY(rig.form.navigation()->isEnabled());
            QVERIFY(rig.form.result()->samples.voltageSampleCount > 0);
            QCOMPARE(rig.seams.messages, QStringList{windowtext::RecordingNotClosed});
        }
        QCOMPARE(rig.controlsDiffer(), QStringList());
    }
};

QTEST_MAIN(TestWindowFaults)
#include "window_faults.moc"
