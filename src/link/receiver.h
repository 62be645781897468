#pragma once

#include <cstddef>
#include <cstdint>

#include "recording/memoryimage.h"

namespace veltrano {

// What the window must do in answer to the received bytes. Called synchronously, in byte
// order, from inside Receiver::receive(); the window may show modal boxes here.
class ReceiverSink {
public:
    virtual ~ReceiverSink() = default;
    virtual void progressStep() {}         // advance the download bar by one
    virtual void beep() {}                 // BEL received
    virtual void downloadComplete() {}     // "DONE"
    virtual void configurationStarted() {} // "Gelu": show the notice window
    // "wel ": the message box, then hide and disable the erase bar.
    virtual void eraseFinished(bool intervalsSet) { (void)intervalsSet; }
    // First byte of this download that did not fit in the image; reported once per download.
    virtual void downloadOverflow() {}
};

// The receive handler as a state machine over bytes. Bytes are stored at `teller` only while
// a download runs: from startDownload() up to and including the "DONE" that ends it. So the
// answer to an erase or an interval setting never lands in an image that was opened from a
// file or finished downloading. The markers "DONE", "Gelu" and "wel " are recognised in
// every byte, downloading or not, within one receive event only.
class Receiver {
public:
    // Progress steps when teller % kProgressBytes == 1 after a store.
    static constexpr std::int32_t kProgressBytes = 160'000;

    Receiver(MemoryImage& image, ReceiverSink& sink) : image_(image), sink_(sink) {}

    // "Data ophalen": teller to 0, a zero image, download in progress.
    void startDownload();
    // The download ends without "DONE" (broken off, unplugged, timed out): the bytes so far
    // stay in the image, later bytes are not stored. Tells the sink nothing.
    void abortDownload();
    bool downloading() const { return !databinnenhalenklaar; }

    // One receive event: the bytes that arrived together.
    void receive(const std::uint8_t* bytes, std::size_t n);

    // Write index in the image: the number of bytes the current or last download stored.
    std::int32_t teller = 0;
    // No download in progress; bytes are stored only while it is false.
    bool databinnenhalenklaar = true;
    bool configureerflag = false;
    bool eraseflag = false;
    bool meetintervalleninstellen = false;
    // Bytes of the current or last download that did not fit in the image.
    std::int64_t droppedBytes = 0;

private:
    void store(const std::uint8_t* bytes, std::size_t n);
    void react(std::uint8_t c, std::uint32_t window);

    MemoryImage& image_;
    ReceiverSink& sink_;
    bool overflowReported_ = false;
};

} // namespace veltrano
