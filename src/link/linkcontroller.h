#pragma once

#include <algorithm>
#include <chrono>

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "link/devicefinder.h"
#include "link/loggerlink.h"

namespace veltrano {

// What the link needs from the main window: the control changes of the link actions, in
// the words of the window's controls.
class LinkWindow {
public:
    virtual ~LinkWindow() = default;
    // Device opened: hide "Verbinden", show "Verbreken", enable "Data ophalen" when no run is
    // in progress, status "QLO verbonden".
    virtual void showConnected() = 0;
    // Disconnect action: hide the download bar, status "QLO niet verbonden", disable "Data
    // ophalen", show "Verbinden", hide "Verbreken".
    virtual void showDisconnected() = 0;
    // Start of a download: disable "Tijdeenheid", "Data ophalen", "Data verwerken", "Filter
    // instellingen" and "Filters toepassen"; show the download bar at 0. Called before the
    // image is cleared and "#" is sent.
    virtual void downloadStarting() = 0;
    virtual void downloadProgressStep() = 0;
    // "DONE": enable "Data ophalen" if connected, "Data verwerken", "Filter instellingen",
    // "Tijdeenheid" and "Filters toepassen"; status "Data klaar voor verwerken".
    virtual void downloadComplete() = 0;
    // The download ended without "DONE" (disconnected, unplugged, no byte for too long): the
    // bytes so far are the image; the controls as after a download, the download bar hidden.
    // The link tells the user afterwards.
    virtual void downloadBrokenOff() = 0;
    // Erase (or the erase of an interval setting) sent: the erase bar shows at 0 and runs.
    virtual void eraseStarted(bool intervals) = 0;
    // "wel ": hide and disable the erase bar; the message follows after the read.
    virtual void eraseFinished() = 0;
    // An erase or interval setting ended without its answer (disconnected, unplugged, no
    // answer in time): the erase bar hidden.
    virtual void conversationBrokenOff() = 0;
    // "Gelu": show the notice window without waiting for it.
    virtual void showNotice() = 0;
    virtual void beep() = 0;
    virtual void information(const QString& text) = 0;
    // Yes/Cancel question; true for Yes.
    virtual bool confirm(const QString& text) = 0;
};

// The link actions of the main window, free of widgets, so its handlers stay one line.
class LinkController : public QObject, private ReceiverSink {
    Q_OBJECT
public:
    // A download that receives no byte for this long is broken off; the logger stays
    // connected.
    static constexpr std::chrono::milliseconds kDownloadSilence{10'000};
    // An erase or interval setting whose "wel " has not come this long after sending ends
    // without it.
    static constexpr std::chrono::milliseconds kAnswerWait{60'000};

    LinkController(MemoryImage& image, const DeviceFinder& finder, LinkWindow& window,
                   QObject* parent = nullptr);

    // Tests shorten the waits; they apply from the next download or conversation on.
    void setTimeouts(std::chrono::milliseconds downloadSilence,
                     std::chrono::milliseconds answerWait);

    // "Verbinden": opens every logger found in turn; the last one stays open.
    void connectLogger();
    // "Verbreken".
    void disconnectLogger();
    // "Data ophalen".
    void startDownload();
    // "Geheugen wissen": asks, then sends the erase command.
    void erase();
    // "Meetintervallen instellen" with the chosen list positions. True when the
    // commands went out and the configuration window is to close.
    bool setIntervals(int voltageIndex, int temperatureIndex);

    // The erase bar's next position while the logger erases.
    static int nextErasePosition(int position) { return std::min(100, position + 5); }

    LoggerLink& link() { return link_; }
    Receiver& receiver() { return link_.receiver(); }
    const Receiver& receiver() const { return link_.receiver(); }

private:
    // Ends a download or conversation still waiting for its answer; returns what to tell the
    // user.
    QStringList breakOff();
    // Ends the download in progress without "DONE"; returns what to tell the user.
    QString endDownload();
    // Ends the erase or interval setting waiting for "wel "; true for an interval setting.
    bool endConversation();
    void checkDownloadSilence();
    void answerOverdue();
    // What the logger's answers tell the user, shown once the read that brought them is over:
    // never a box from inside a read.
    void tellAfterRead(const QString& text);
    void progressStep() override { window_.downloadProgressStep(); }
    void beep() override { window_.beep(); }
    void downloadComplete() override;
    void configurationStarted() override { window_.showNotice(); }
    void eraseFinished(bool intervalsSet) override;
    void downloadOverflow() override;
    void onDeviceLost();

    const DeviceFinder& finder_;
    LinkWindow& window_;
    LoggerLink link_;
    std::chrono::milliseconds downloadSilence_ = kDownloadSilence;
    std::chrono::milliseconds answerWait_ = kAnswerWait;
    // Looks at the download when it may have been silent for downloadSilence_; bytes do not
    // restart it, it measures from the last read when it fires.
    QTimer silenceWatch_;
    QTimer answerWatch_;
    std::chrono::steady_clock::time_point downloadSent_;
};

} // namespace veltrano
