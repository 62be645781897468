#pragma once

#include <cstddef>
#include <cstdint>

#include "recording/memoryimage.h"

namespace veltrano {

// What the window must do in answer to the received bytes. Called synchronously, in byte
// order, from inside Receiver::receive().
class ReceiverSink {
public:
    virtual ~ReceiverSink() = default;
    virtual void progressStep() {}         // advance the download bar by one
    virtual void beep() {}                 // BEL received
    virtual void downloadComplete() {}     // "DONE"
    virtual void configurationStarted() {} // "Gelu": show the notice window
    // "wel ": the erase (or the interval setting) is done.
    virtual void eraseFinished(bool intervalsSet) { (void)intervalsSet; }
    // First byte of this download that did not fit in the image; reported once per download.
    virtual void downloadOverflow() {}
};

// The receive handler as a state machine over bytes. Bytes are stored one after the other only
// while a download runs: from startDownload() up to and including the "DONE" that ends it. So
// the answer to an erase or an interval setting never lands in an image that was opened from
// a file or finished downloading. The markers "DONE", "Gelu" and "wel " are recognised in
// every byte, downloading or not, within one receive event only; "Gelu" and "wel " count only
// while the conversation waits for them.
class Receiver {
public:
    // Progress steps when storedBytes() % kProgressBytes == 1 after a store.
    static constexpr std::int32_t kProgressBytes = 160'000;

    Receiver(MemoryImage& image, ReceiverSink& sink) : image_(image), sink_(sink) {}

    // "Data ophalen": nothing stored yet, a zero image, download in progress.
    void startDownload();
    // The download ends without "DONE" (broken off, unplugged, timed out): the bytes so far
    // stay in the image, later bytes are not stored. Tells the sink nothing.
    void abortDownload();
    bool downloading() const { return downloading_; }
    // The number of bytes the current or last download stored: the next byte's place.
    std::int32_t storedBytes() const { return stored_; }
    // Bytes of the current or last download that did not fit in the image.
    std::int64_t droppedBytes() const { return dropped_; }

    // An erase was sent, on its own or as part of an interval setting: its "wel " ends it.
    void awaitEraseAnswer(bool intervals);
    // The interval commands were sent: a "Gelu" says that the logger takes them over.
    void awaitConfigurationStart();
    // The conversation is over without its answers; an answer coming after all is not taken
    // for this conversation's.
    void endConversation();
    bool awaitingEraseAnswer() const { return awaitingErase_; }
    // The erase answer awaited ends an interval setting.
    bool awaitingIntervalAnswer() const { return awaitingErase_ && settingIntervals_; }
    bool awaitingConfigurationStart() const { return awaitingConfiguration_; }

    // One receive event: the bytes that arrived together.
    void receive(const std::uint8_t* bytes, std::size_t n);

private:
    void store(const std::uint8_t* bytes, std::size_t n);
    void react(std::uint8_t c, std::uint32_t window);

    MemoryImage& image_;
    ReceiverSink& sink_;
    std::int32_t stored_ = 0;
    std::int64_t dropped_ = 0;
    bool downloading_ = false;
    bool overflowReported_ = false;
    bool awaitingConfiguration_ = false;
    bool awaitingErase_ = false;
    bool settingIntervals_ = false;
};

} // namespace veltrano
