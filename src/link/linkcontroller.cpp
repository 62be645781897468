#include "linkcontroller.h"

#include <QLocale>

#include "link/linktexts.h"
#include "recording/intervals.h"

namespace veltrano {

LinkController::LinkController(MemoryImage& image, const DeviceFinder& finder, LinkWindow& window,
                               QObject* parent)
    : QObject(parent), finder_(finder), window_(window), link_(image, *this) {
    connect(&link_, &LoggerLink::deviceLost, this, &LinkController::onDeviceLost);
    silenceWatch_.setSingleShot(true);
    answerWatch_.setSingleShot(true);
    answerWatch_.setTimerType(Qt::PreciseTimer); // a coarse one may end the wait early
    connect(&silenceWatch_, &QTimer::timeout, this, &LinkController::checkDownloadSilence);
    connect(&answerWatch_, &QTimer::timeout, this, &LinkController::answerOverdue);
}

void LinkController::setTimeouts(std::chrono::milliseconds downloadSilence,
                                 std::chrono::milliseconds answerWait) {
    downloadSilence_ = downloadSilence;
    answerWait_ = answerWait;
}

void LinkController::connectLogger() {
    const QList<FoundDevice> devices = finder_.findLoggers();
    if (devices.isEmpty()) {
        window_.information(linktext::NotConnected);
        return;
    }
    QString opened;
    for (const FoundDevice& device : devices) {
        if (!link_.open(device.portName)) {
            window_.information(linktext::PortOpenFailed.arg(device.portName, link_.errorString()));
            // Opening closed the port found before; keep that one rather than a dead state.
            if (!opened.isEmpty() && !link_.open(opened))
                window_.showDisconnected();
            return;
        }
        opened = device.portName;
        window_.showConnected();
    }
}

void LinkController::disconnectLogger() {
    const QStringList told = breakOff();
    window_.showDisconnected();
    link_.close();
    for (const QString& text : told)
        window_.information(text);
}

QStringList LinkController::breakOff() {
    QStringList told;
    if (receiver().downloading())
        told << endDownload();
    if (receiver().awaitingEraseAnswer())
        told << (endConversation() ? linktext::IntervalsBrokenOff : linktext::EraseBrokenOff);
    // A "Gelu" of an interval setting that never got as far as its erase belongs to nothing
    // after this.
    receiver().endConversation();
    return told;
}

QString LinkController::endDownload() {
    silenceWatch_.stop();
    Receiver& r = receiver();
    r.abortDownload();
    window_.downloadBrokenOff();
    return linktext::DownloadBrokenOff.arg(QLocale().toString(r.storedBytes()));
}

bool LinkController::endConversation() {
    answerWatch_.stop();
    const bool intervals = receiver().awaitingIntervalAnswer();
    receiver().endConversation();
    window_.conversationBrokenOff();
    return intervals;
}

void LinkController::checkDownloadSilence() {
    if (!receiver().downloading())
        return;
    using namespace std::chrono;
    const auto silent = steady_clock::now() - std::max(downloadSent_, link_.lastReceived());
    if (link_.receiving() || silent < downloadSilence_) {
        const auto left =
            link_.receiving() ? downloadSilence_ : ceil<milliseconds>(downloadSilence_ - silent);
        silenceWatch_.start(std::max(left, milliseconds(1)));
        return;
    }
    window_.information(endDownload());
}

void LinkController::answerOverdue() {
    if (!receiver().awaitingEraseAnswer())
        return;
    window_.information(endConversation() ? linktext::IntervalsNoAnswer : linktext::EraseNoAnswer);
}

void LinkController::startDownload() {
    // Checked first: a download clears the image.
    if (!link_.isOpen()) {
        window_.information(linktext::NotConnected);
        return;
    }
    window_.downloadStarting();
    if (!link_.startDownload()) {
        receiver().abortDownload();
        window_.downloadBrokenOff();
        window_.information(linktext::NotConnected);
        return;
    }
    downloadSent_ = std::chrono::steady_clock::now();
    silenceWatch_.start(downloadSilence_);
}

void LinkController::downloadComplete() {
    silenceWatch_.stop();
    window_.downloadComplete();
}

void LinkController::erase() {
    if (!window_.confirm(linktext::EraseQuestion))
        return;
    if (!link_.send(QByteArrayView(&command::Erase, 1))) {
        window_.information(linktext::NotConnected);
        return;
    }
    window_.eraseStarted(false);
    receiver().awaitEraseAnswer(false);
    answerWatch_.start(answerWait_);
}

bool LinkController::setIntervals(int voltageIndex, int temperatureIndex) {
    if (voltageIndex < 0 || voltageIndex >= int(kVoltageIntervals.size()) || temperatureIndex < 0 ||
        temperatureIndex >= int(kTemperatureIntervals.size()))
        return false;
    if (!window_.confirm(linktext::IntervalsQuestion)) {
        window_.information(linktext::IntervalsCancelled);
        return false;
    }
    receiver().awaitConfigurationStart();
    const char intervals[4] = {command::VoltageInterval, voltageCommand(voltageIndex),
                               command::TemperatureInterval, temperatureCommand(temperatureIndex)};
    // A failure leaves the "Gelu" awaited: a later one still shows the notice.
    if (!link_.send(QByteArrayView(intervals, 4)) ||
        !link_.send(QByteArrayView(&command::Erase, 1))) {
        window_.information(linktext::NotConnected);
        return false;
    }
    window_.eraseStarted(true);
    receiver().awaitEraseAnswer(true);
    answerWatch_.start(answerWait_);
    return true;
}

void LinkController::tellAfterRead(const QString& text) {
    QMetaObject::invokeMethod(
        this, [this, text] { window_.information(text); }, Qt::QueuedConnection);
}

void LinkController::eraseFinished(bool intervalsSet) {
    answerWatch_.stop();
    window_.eraseFinished();
    tellAfterRead(intervalsSet ? linktext::IntervalsDone : linktext::EraseDone);
}

void LinkController::downloadOverflow() {
    tellAfterRead(linktext::DownloadTooLong);
}

void LinkController::onDeviceLost() {
    QStringList told = breakOff();
    window_.showDisconnected();
    link_.close();
    // One message: what was broken off says enough.
    if (told.isEmpty())
        told << linktext::NotConnected;
    for (const QString& text : told)
        window_.information(text);
}

} // namespace veltrano
