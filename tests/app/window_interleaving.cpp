// Actions that overlap in time: every action of the window in every state it can be in,
// through the real windows, a fake USB logger and the simulator sending at a slow rate.
#include <cstring>
#include <memory>

#include <QButtonGroup>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/configurationwindow.h"
#include "app/programwindows.h"
#include "app/windowtexts.h"
#include "link/linktexts.h"
#include "linkfixture.h"
#include "usbtestbed.h"
#include "windowfixture.h"

using namespace veltrano;
using namespace veltrano::testing;
using std::chrono::milliseconds;

namespace {

// A download of twenty seconds and an erase of eight: long beside one row's actions.
constexpr std::size_t kLoggerBytes = 1'200'000;
constexpr std::uint64_t kSlowRate = 60'000; // bytes per second
constexpr milliseconds kEraseTime(8000);

ImageBuilder fileA() {
    ImageBuilder b;
    b.recording(2, 1).temperature(20).voltage(12.0, 100).voltage(13.0, 400).done();
    return b;
}

ImageBuilder fileB() {
    ImageBuilder b;
    b.recording(3, 2).temperature(-5).voltage(11.0, 200).done();
    return b;
}

// The windows with an image processed from file A, connected to a simulated logger that
// holds a pattern no reply marker can occur in.
struct Rig {
    ScriptedSeams seams;
    sim::UsbTestbed bed;
    std::unique_ptr<ServedLogger> logger;
    ProgramWindows windows{&seams};
    MainWindow& form = *windows.mainWindow();
    QTemporaryDir dir;
    sim::Bytes memory = patternMemory(kLoggerBytes, 11);
    HeldRuns held{form.processingRun()};
    bool closed = false;

    explicit Rig(milliseconds eraseTime = kEraseTime) {
        form.holdBars();
        const int fd = bed.addLogger("usb0", "ttyACM0");
        logger = std::make_unique<ServedLogger>(memory, fd, eraseTime);
        logger->server.setRate(kSlowRate);
        QObject::connect(&form, &MainWindow::closed, [this] { closed = true; });
    }
    ~Rig() { held.release(); }
    QPushButton* button(const char* name) const { return testing::button(form, name); }
    QString status() const { return control<QLabel>(form, "statusLabel")->text(); }
    QProgressBar* bar(const char* name) const { return control<QProgressBar>(form, name); }
    QString save(const ImageBuilder& image, const char* name) {
        const QString path = dir.filePath(name);
        if (image.save(path))
            qFatal("cannot save %s", name);
        return path;
    }
    void waitForRun() { QTRY_VERIFY_WITH_TIMEOUT(!form.isProcessing(), 30000); }
    void cycles(int n) {
        for (int i = 0; i < n; ++i)
            form.runOutBars();
    }
};

enum class Action { Open, Download, Erase, Intervals, Disconnect, Unplug, Process, Unit, Close };
enum class Start { Idle, Downloading, Erasing, Processing };
// What the image holds afterwards.
enum class Image { A, B, Downloaded };

struct Expect {
    QStringList questions;
    QStringList messages; // "%n" stands for the byte count of a broken-off download
    LinkActivity link;
    bool processing;
    bool connected;
    Image image;
    QString bars; // the bars showing after two update cycles, e.g. "download erase processing"
    bool closed = false;
};

QString barsOf(const Rig& rig) {
    QStringList shown;
    if (!rig.bar("downloadBar")->isHidden())
        shown << "download";
    if (!rig.bar("eraseBar")->isHidden())
        shown << "erase";
    if (!rig.bar("processingBar")->isHidden())
        shown << "processing";
    return shown.join(' ');
}

// Every control shows what the model says, the configuration window's button included.
void compareControlsWithModel(const Rig& rig) {
    const ControlStates c = controlStates(rig.form.state());
    QCOMPARE(rig.button("connectButton")->isHidden(), !c.connectShown);
    QCOMPARE(rig.button("disconnectButton")->isHidden(), c.connectShown);
    QCOMPARE(rig.button("downloadButton")->isEnabled(), c.receiveData);
    QCOMPARE(rig.button("processButton")->isEnabled(), c.process);
    QCOMPARE(control(rig.form, "timeUnitGroup")->isEnabled(), c.timeUnits);
    QCOMPARE(control(rig.form, "filterGroup")->isEnabled(), c.filters);
    QCOMPARE(rig.button("applyFiltersButton")->isEnabled(), c.filters);
    QCOMPARE(rig.button("configurationButton")->isEnabled(), c.configuration);
    QCOMPARE(rig.button("eraseButton")->isEnabled(), c.erase);
    QCOMPARE(rig.windows.configurationWindow()
                 ->findChild<QPushButton*>("sendIntervalsButton")
                 ->isEnabled(),
             c.intervalSetting);
    QCOMPARE(control(rig.form, "navigationGroup")->isEnabled(), c.navigation);
    QCOMPARE(rig.bar("eraseBar")->isHidden(), !c.eraseBar);
}

} // namespace

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Start)
Q_DECLARE_METATYPE(Expect)

class TestInterleaving : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(sim::UsbTestbed::available(), "run under umockdev-wrapper");
        QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    }

    void actionInState_data() {
        QTest::addColumn<Start>("start");
        QTest::addColumn<Action>("action");
        QTest::addColumn<Expect>("expect");
        using L = LinkActivity;
        const QStringList none;
        const QString erased = linktext::EraseQuestion;
        const QString intervals = linktext::IntervalsQuestion;
        const auto row = [](const char* state, const char* action) -> QTestData& {
            return QTest::addRow("%s: %s", state, action);
        };

        // Idle: connected, file A processed and drawn.
        const Start I = Start::Idle;
        row("idle", "Data openen")
            << I << Action::Open << Expect{none, none, L::None, false, true, Image::B, ""};
        row("idle", "Data ophalen")
            << I << Action::Download
            << Expect{none, none, L::Downloading, false, true, Image::Downloaded, "download"};
        row("idle", "Geheugen wissen")
            << I << Action::Erase
            << Expect{{erased}, none, L::Erasing, false, true, Image::A, "erase"};
        row("idle", "Meetintervallen instellen")
            << I << Action::Intervals
            << Expect{{intervals}, none, L::SettingIntervals, false, true, Image::A, "erase"};
        row("idle", "Verbreken") << I << Action::Disconnect
                                 << Expect{none, none, L::None, false, false, Image::A, ""};
        row("idle", "unplugging") << I << Action::Unplug
                                  << Expect{none,    {linktext::NotConnected},
                                            L::None, false,
                                            false,   Image::A,
                                            ""};
        row("idle", "Data verwerken")
            << I << Action::Process
            << Expect{none, none, L::None, true, true, Image::A, "processing"};
        row("idle", "Uren") << I << Action::Unit
                            << Expect{none, none, L::None, true, true, Image::A, "processing"};
        row("idle", "closing") << I << Action::Close
                               << Expect{none, none, L::None, false, true, Image::A, "", true};

        // Downloading at a slow rate: the image fills with what the logger sends.
        const Start D = Start::Downloading;
        const Expect stillDownloading{
            none, none, L::Downloading, false, true, Image::Downloaded, "download"};
        Expect refused = stillDownloading;
        refused.messages = QStringList{windowtext::OpenDuringDownload};
        row("downloading", "Data openen") << D << Action::Open << refused;
        row("downloading", "Data ophalen") << D << Action::Download << stillDownloading;
        row("downloading", "Geheugen wissen") << D << Action::Erase << stillDownloading;
        row("downloading", "Meetintervallen instellen")
            << D << Action::Intervals << stillDownloading;
        const Expect brokenOff{
            none, {linktext::DownloadBrokenOff}, L::None, false, false, Image::Downloaded, ""};
        row("downloading", "Verbreken") << D << Action::Disconnect << brokenOff;
        row("downloading", "unplugging") << D << Action::Unplug << brokenOff;
        row("downloading", "Data verwerken") << D << Action::Process << stillDownloading;
        row("downloading", "Uren") << D << Action::Unit << stillDownloading;
        row("downloading", "closing") << D << Action::Close
                                      << Expect{{windowtext::DiscardDownload},
                                                none,
                                                L::Downloading,
                                                false,
                                                true,
                                                Image::Downloaded,
                                                "download",
                                                true};

        // Erasing: the logger answers after three seconds.
        const Start E = Start::Erasing;
        const Expect stillErasing{{erased}, none, L::Erasing, false, true, Image::A, "erase"};
        Expect opened = stillErasing;
        opened.image = Image::B;
        row("erasing", "Data openen") << E << Action::Open << opened;
        row("erasing", "Data ophalen") << E << Action::Download << stillErasing;
        row("erasing", "Geheugen wissen") << E << Action::Erase << stillErasing;
        row("erasing", "Meetintervallen instellen") << E << Action::Intervals << stillErasing;
        const Expect eraseBrokenOff{
            {erased}, {linktext::EraseBrokenOff}, L::None, false, false, Image::A, ""};
        row("erasing", "Verbreken") << E << Action::Disconnect << eraseBrokenOff;
        row("erasing", "unplugging") << E << Action::Unplug << eraseBrokenOff;
        Expect processed = stillErasing;
        processed.processing = true;
        processed.bars = "erase processing";
        row("erasing", "Data verwerken") << E << Action::Process << processed;
        row("erasing", "Uren") << E << Action::Unit << processed;
        Expect closedErasing = stillErasing;
        closedErasing.closed = true;
        row("erasing", "closing") << E << Action::Close << closedErasing;

        // Processing: a run held at its start.
        const Start P = Start::Processing;
        const Expect stillRunning{none, none, L::None, true, true, Image::A, "processing"};
        Expect deferred = stillRunning;
        deferred.image = Image::B; // once the run has ended
        row("processing", "Data openen") << P << Action::Open << deferred;
        row("processing", "Data ophalen") << P << Action::Download << stillRunning;
        row("processing", "Geheugen wissen") << P << Action::Erase << stillRunning;
        row("processing", "Meetintervallen instellen") << P << Action::Intervals << stillRunning;
        Expect runDisconnected = stillRunning;
        runDisconnected.connected = false;
        row("processing", "Verbreken") << P << Action::Disconnect << runDisconnected;
        runDisconnected.messages = QStringList{linktext::NotConnected};
        row("processing", "unplugging") << P << Action::Unplug << runDisconnected;
        row("processing", "Data verwerken") << P << Action::Process << stillRunning;
        row("processing", "Uren") << P << Action::Unit << stillRunning;
        row("processing", "closing")
            << P << Action::Close << Expect{none, none, L::None, false, true, Image::A, "", true};
    }

    void actionInState() {
        QFETCH(Start, start);
        QFETCH(Action, action);
        QFETCH(Expect, expect);
        Rig rig;
        rig.seams.openAnswers << rig.save(fileA(), "a.img");
        QTest::mouseClick(rig.button("openImageButton"), Qt::LeftButton);
        QTest::mouseClick(rig.button("processButton"), Qt::LeftButton);
        rig.waitForRun();
        rig.cycles(120); // filled, and every bar run out
        QTest::mouseClick(rig.button("connectButton"), Qt::LeftButton);
        QVERIFY2(rig.status() == linktext::Connected, qPrintable(rig.seams.messages.join('|')));
        const std::vector<std::uint8_t> imageA = fileA().data();

        switch (start) {
        case Start::Idle:
            break;
        case Start::Downloading:
            QTest::mouseClick(rig.button("downloadButton"), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(rig.form.link().receiver().storedBytes() > 5000, 10000);
            break;
        case Start::Erasing:
            QTest::mouseClick(rig.button("eraseButton"), Qt::LeftButton);
            QCOMPARE(rig.form.state().link, LinkActivity::Erasing);
            break;
        case Start::Processing:
            rig.held.hold();
            QTest::mouseClick(rig.button("processButton"), Qt::LeftButton);
            QVERIFY(rig.form.isProcessing());
            break;
        }

        QSignalSpy runs(&rig.form.processingRun(), &ProcessingRun::finished);
        switch (action) {
        case Action::Open:
            rig.seams.openAnswers << rig.save(fileB(), "b.img");
            QTest::mouseClick(rig.button("openImageButton"), Qt::LeftButton);
            break;
        case Action::Download:
            QTest::mouseClick(rig.button("downloadButton"), Qt::LeftButton);
            break;
        case Action::Erase:
            QTest::mouseClick(rig.button("eraseButton"), Qt::LeftButton);
            break;
        case Action::Intervals:
            rig.windows.configurationWindow()->show();
            QTest::mouseClick(
                rig.windows.configurationWindow()->findChild<QPushButton*>("sendIntervalsButton"),
                Qt::LeftButton);
            break;
        case Action::Disconnect:
            QTest::mouseClick(rig.button("disconnectButton"), Qt::LeftButton);
            break;
        case Action::Unplug:
            rig.bed.unplug("usb0");
            QTRY_COMPARE_WITH_TIMEOUT(rig.status(), linktext::NotConnected, 10000);
            break;
        case Action::Process:
            QTest::mouseClick(rig.button("processButton"), Qt::LeftButton);
            break;
        case Action::Unit:
            QTest::mouseClick(control<QButtonGroup>(rig.form, "timeUnitButtons")->button(2),
                              Qt::LeftButton);
            break;
        case Action::Close:
            rig.form.close();
            break;
        }

        // Right after the action, before anything finishes.
        const std::int32_t got = rig.form.link().receiver().storedBytes();
        QStringList messages = expect.messages;
        messages.replaceInStrings("%1", QLocale().toString(got));
        QCOMPARE(rig.seams.questions, expect.questions);
        QCOMPARE(rig.closed, expect.closed);
        if (!expect.closed) {
            QCOMPARE(rig.form.state().link, expect.link);
            QCOMPARE(rig.form.state().processing, expect.processing);
            QCOMPARE(rig.form.state().connected, expect.connected);
            rig.cycles(2);
            QCOMPARE(barsOf(rig), expect.bars);
            compareControlsWithModel(rig);
        }

        // The held run ends; nothing else may start one.
        rig.held.release();
        rig.waitForRun();
        QTest::qWait(20);
        // One run: the one held (also when closing cancels it), or the one the action
        // started where a run may start.
        const bool started = (start == Start::Idle || start == Start::Erasing) &&
                             (action == Action::Process || action == Action::Unit);
        QCOMPARE(runs.size(), qsizetype(start == Start::Processing || started ? 1 : 0));
        QCOMPARE(rig.seams.messages, messages);

        const std::uint8_t* image = rig.form.image().data();
        switch (expect.image) {
        case Image::A:
            QVERIFY(std::equal(imageA.begin(), imageA.end(), image));
            break;
        case Image::B: {
            const std::vector<std::uint8_t> imageB = fileB().data();
            QVERIFY(std::equal(imageB.begin(), imageB.end(), image));
            break;
        }
        case Image::Downloaded: {
            // Exactly what the logger sent, in order, and nothing after it.
            const std::int32_t n = rig.form.link().receiver().storedBytes();
            QVERIFY(n >= 0 && std::size_t(n) <= rig.memory.size());
            QVERIFY(std::memcmp(image, rig.memory.data(), std::size_t(n)) == 0);
            QVERIFY(std::all_of(image + n, image + n + 4096, [](std::uint8_t b) { return !b; }));
            break;
        }
        }
    }

    // The logger's answer to an erase arrives while an opened file is in the window: it
    // never lands in the image.
    void eraseAnswerLeavesTheImage() {
        Rig rig(milliseconds(500));
        QTest::mouseClick(rig.button("connectButton"), Qt::LeftButton);
        QTest::mouseClick(rig.button("eraseButton"), Qt::LeftButton);
        rig.seams.openAnswers << rig.save(fileB(), "b.img");
        QTest::mouseClick(rig.button("openImageButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(rig.seams.messages, QStringList{linktext::EraseDone}, 15000);
        const std::vector<std::uint8_t> imageB = fileB().data();
        QVERIFY(std::equal(imageB.begin(), imageB.end(), rig.form.image().data()));
        QCOMPARE(rig.form.state().link, LinkActivity::None);
        rig.cycles(2);
        compareControlsWithModel(rig);
    }
};

QTEST_MAIN(TestInterleaving)
#include "heldwork.h"
#include "scriptedseams.h"
#include "window_interleaving.moc"
