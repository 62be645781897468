#pragma once

// The real program windows against a fake USB logger answered by the simulator, with a record
// of every byte the simulator sent.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include <QDir>
#include <QFile>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/configurationwindow.h"
#include "app/mainwindow.h"
#include "app/programwindows.h"
#include "app/uiseams.h"
#include "app/windowstate.h"
#include "link/linkcontroller.h"
#include "loggerserver.h"
#include "scriptedseams.h"
#include "simulatedlogger.h"
#include "usbtestbed.h"
#include "windowfixture.h"

namespace veltrano::testing {

// What the simulator sent, in order; shared with its serving thread.
class SentBytes {
public:
    void reserve(std::size_t n) { bytes_.reserve(n); }
    void append(const std::uint8_t* p, std::size_t n) {
        const std::lock_guard lock(mutex_);
        bytes_.insert(bytes_.end(), p, p + n);
    }
    void clear() {
        const std::lock_guard lock(mutex_);
        bytes_.clear(); // keeps its room: a soak run must not grow from the test's own record
    }
    // Reads the record under its lock.
    template <class F> auto read(F&& f) const {
        const std::lock_guard lock(mutex_);
        return f(bytes_);
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::uint8_t> bytes_;
};

// The simulator answering on a device's fd from its own thread while it lives.
class SimThread {
public:
    SimThread(sim::Bytes memory, int fd, std::chrono::milliseconds eraseDelay, SentBytes& sent,
              std::function<void()> unplug)
        : logger(std::move(memory)), server(logger, eraseDelay) {
        server.setUnplugHook(std::move(unplug));
        server.setSentTap([&sent](const std::uint8_t* p, std::size_t n) { sent.append(p, n); });
        thread_ = std::thread([this, fd] { server.serve(fd); });
    }
    ~SimThread() {
        server.stop();
        thread_.join();
    }
    sim::SimulatedLogger logger;
    sim::LoggerServer server;

private:
    std::thread thread_;
};

// The descriptors the process has open, but the one that listed them (closed again by now).
inline std::set<int> openFds() {
    const QDir dir(QStringLiteral("/proc/self/fd"));
    std::set<int> fds;
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
        if (!QFile::symLinkTarget(dir.filePath(name)).isEmpty())
            fds.insert(name.toInt());
    return fds;
}

// The process's threads by id, with their names.
inline std::map<int, QString> threads() {
    std::map<int, QString> found;
    const QDir dir(QStringLiteral("/proc/self/task"));
    for (const QString& id : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(dir.filePath(id) + QStringLiteral("/comm"));
        if (comm.open(QIODevice::ReadOnly))
            found[id.toInt()] = QString::fromUtf8(comm.readAll().trimmed());
    }
    return found;
}

// The fake USB device with the logger's identity; gone when the simulator pulls the plug.
// A test bed of its own per plugging in: one test bed cannot take a device of the same name
// again.
class Plug {
public:
    Plug() : fd_(bed_.addLogger("usb0", "ttyACM0")) {
        if (fd_ < 0)
            qFatal("cannot add the fake logger");
    }
    int fd() const { return fd_; }
    // On the serving thread, by the unplug fault.
    void pull() {
        bed_.unplug("usb0");
        pulled_ = true;
    }
    bool pulled() const { return pulled_; }

private:
    sim::UsbTestbed bed_;
    int fd_;
    std::atomic<bool> pulled_{false};
};

// The three program windows with scripted dialogs and a logger that can be plugged in and
// served anew. Members go in reverse: the windows first (closing the port needs the device),
// then the simulator, then the device.
struct LoggerRig {
    ScriptedSeams seams;
    SentBytes sent;
    std::atomic<std::int64_t> stored{0}; // what the window has stored, as last seen
    QTimer storedWatch;
    std::unique_ptr<Plug> plug;
    std::unique_ptr<SimThread> sim;
    ProgramWindows windows{&seams};
    MainWindow& form = *windows.mainWindow();

    LoggerRig() {
        // What the window has stored, for the simulator's thread to see.
        QObject::connect(&storedWatch, &QTimer::timeout, &storedWatch,
                         [this] { stored = form.link().receiver().storedBytes(); });
        storedWatch.start(2);
    }

    // Descriptors that the fake devices opened: umockdev keeps a few of every test bed open
    // for the rest of the process (its socket, an eventfd and the device's pty).
    std::set<int> deviceFds;
    // The thread each test bed runs while it lives.
    std::set<int> deviceThreads;

    // Plugs in a new device; the one before must be gone or pulled.
    void plugIn() {
        plug.reset();
        const std::set<int> fdsBefore = openFds();
        const std::map<int, QString> threadsBefore = threads();
        plug = std::make_unique<Plug>();
        for (int fd : openFds())
            if (!fdsBefore.count(fd))
                deviceFds.insert(fd);
        for (const auto& [id, name] : threads())
            if (!threadsBefore.count(id))
                deviceThreads.insert(id);
    }
    // A new simulator holding `memory` on the plugged device (plugged in first if needed).
    void serve(sim::Bytes memory, std::chrono::milliseconds eraseDelay) {
        sim.reset();
        if (!plug || plug->pulled())
            plugIn();
        Plug* p = plug.get();
        sim = std::make_unique<SimThread>(std::move(memory), p->fd(), eraseDelay, sent, [this, p] {
            waitUntilStored();
            p->pull();
        });
    }
    // On the simulator's thread before it pulls the plug: until the window has stored what
    // was sent. Otherwise bytes still on their way in the pty go with the hang-up, and what
    // the window kept would depend on the machine's load.
    void waitUntilStored() {
        const std::int64_t want = std::int64_t(sentSize());
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (stored < want && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void setFaults(const sim::Faults& faults, std::uint64_t rate) {
        sim->server.setFaults(faults);
        sim->server.setRate(rate);
    }

    QPushButton* button(const char* name) const { return testing::button(form, name); }
    QString status() const { return control<QLabel>(form, "statusLabel")->text(); }
    // "Data ophalen". What the watch saw of the download before is forgotten first: the new
    // download starts from nothing, and an unplug must not take the old count for it.
    void startDownload() {
        stored = 0;
        click("downloadButton");
    }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    // "Meetintervallen instellen" in the configuration window with these list positions.
    void setIntervals(int voltage, int temperature) {
        ConfigurationWindow& config = *windows.configurationWindow();
        config.show();
        config.chooseIntervals(voltage, config.temperatureInterval());
        config.chooseIntervals(config.voltageInterval(), temperature);
        QTest::mouseClick(config.findChild<QPushButton*>("sendIntervalsButton"), Qt::LeftButton);
    }

    // Where the widgets differ from what the window's model says; empty when they agree.
    QStringList controlsDiffer() const {
        const ControlStates c = controlStates(form.state());
        QStringList differ;
        const auto expect = [&differ](const char* what, bool shown, bool want) {
            if (shown != want)
                differ << QStringLiteral("%1 %2").arg(QLatin1String(what), want ? "off" : "on");
        };
        const auto enabled = [this](const char* name) { return control(form, name)->isEnabled(); };
        const auto shown = [this](const char* name) { return !control(form, name)->isHidden(); };
        expect("Verbinden shown", shown("connectButton"), c.connectShown);
        expect("Verbreken shown", shown("disconnectButton"), !c.connectShown);
        expect("Data ophalen", enabled("downloadButton"), c.receiveData);
        expect("Data verwerken", enabled("processButton"), c.process);
        expect("Tijdeenheid", enabled("timeUnitGroup"), c.timeUnits);
        expect("Filter instellingen", enabled("filterGroup"), c.filters);
        expect("Filters toepassen", enabled("applyFiltersButton"), c.filters);
        expect("Configuratiescherm", enabled("configurationButton"), c.configuration);
        expect("Geheugen wissen", enabled("eraseButton"), c.erase);
        expect("Grafiek navigatie", enabled("navigationGroup"), c.navigation);
        expect("erase bar shown", shown("eraseBar"), c.eraseBar);
        expect("erase bar enabled", enabled("eraseBar"), c.eraseBar);
        // Once their work is done the bars run out in the update cycle, so only their
        // showing while it runs is the state's.
        if (c.downloadRunning)
            expect("download bar shown", shown("downloadBar"), true);
        if (c.processingRunning)
            expect("processing bar shown", shown("processingBar"), true);
        expect("Meetintervallen instellen",
               windows.configurationWindow()
                   ->findChild<QPushButton*>("sendIntervalsButton")
                   ->isEnabled(),
               c.intervalSetting);
        return differ;
    }

    // Where the image differs from what the simulator sent: the first `teller` bytes are the
    // bytes sent, in order, and nothing after them has been written. Empty when it agrees.
    QString imageDiffers() const {
        const std::size_t teller = std::size_t(form.link().receiver().storedBytes());
        const std::uint8_t* image = form.image().data();
        return sent.read([&](const std::vector<std::uint8_t>& bytes) -> QString {
            if (teller > bytes.size())
                return QStringLiteral("%1 bytes stored, %2 sent").arg(teller).arg(bytes.size());
            if (!std::equal(image, image + teller, bytes.begin()))
                return QStringLiteral("the stored bytes are not the bytes sent");
            const std::uint8_t* end = image + kImageSize;
            if (std::find_if(image + teller, end, [](std::uint8_t b) { return b != 0; }) != end)
                return QStringLiteral("a byte written after the download");
            return QString();
        });
    }
    std::size_t sentSize() const {
        return sent.read([](const std::vector<std::uint8_t>& b) { return b.size(); });
    }
    // The sent bytes end in "DONE".
    bool sentEndsInDone() const {
        return sent.read([](const std::vector<std::uint8_t>& b) {
            return b.size() >= 4 && std::memcmp(b.data() + b.size() - 4, "DONE", 4) == 0;
        });
    }
};

} // namespace veltrano::testing
