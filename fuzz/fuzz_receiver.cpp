// Arbitrary bytes in arbitrary receive events, downloading or not: a download stores every
// byte at its place up to and including the "DONE" that ends it and nothing after; outside
// a download the image does not change. Markers fire only where their four bytes stand
// together within one event, downloading or not.
#include <cstdlib>
#include <cstring>
#include <utility>

#include "link/receiver.h"

using namespace veltrano;

namespace {
class CheckingSink final : public ReceiverSink {
public:
    int completes = 0;
    int beeps = 0;
    void downloadComplete() override { ++completes; }
    void beep() override { ++beeps; }
};

constexpr std::size_t kAbort = 255; // a piece length that breaks the download off instead
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryImage image; // kept between inputs, as the window keeps its image
    if (size == 0)
        return 0;
    CheckingSink sink;
    Receiver receiver(image, sink);
    // The first byte sets the flags and whether a download runs; the first byte of each
    // piece after it gives the length of the receive event that follows.
    const bool download = data[0] & 8;
    if (download)
        receiver.startDownload();
    if (data[0] & 1)
        receiver.awaitConfigurationStart();
    if (data[0] & 2)
        receiver.awaitEraseAnswer(data[0] & 4);

    bool downloading = download;
    std::size_t storedUpTo = 0;
    int expectedCompletes = 0;
    int expectedBeeps = 0;
    std::uint8_t before[kAbort];
    std::size_t at = 1;
    while (at < size) {
        if (data[at] == kAbort) {
            receiver.abortDownload();
            downloading = false;
            ++at;
            continue;
        }
        const std::size_t n = std::min<std::size_t>(data[at], size - at - 1);
        const std::uint8_t* event = data + at + 1;
        // What a download stores of this event: up to and including the first "DONE".
        std::size_t take = downloading ? n : 0;
        bool ends = false;
        for (std::size_t i = 0; i < n; ++i) {
            if (event[i] == 7) {
                ++expectedBeeps;
            } else if (i >= 3 && std::memcmp(event + i - 3, "DONE", 4) == 0) {
                ++expectedCompletes;
                if (downloading && !ends) {
                    take = i + 1;
                    ends = true;
                }
            }
        }
        std::memcpy(before, std::as_const(image).constData() + storedUpTo, n);
        receiver.receive(event, n);
        const std::uint8_t* now = std::as_const(image).constData() + storedUpTo;
        if (std::memcmp(now, event, take) != 0 ||
            std::memcmp(now + take, before + take, n - take) != 0)
            std::abort();
        storedUpTo += take;
        if (ends)
            downloading = false;
        if (receiver.downloading() != downloading ||
            std::size_t(receiver.storedBytes()) != storedUpTo)
            std::abort();
        at += n + 1;
    }
    if (sink.completes != expectedCompletes || sink.beeps != expectedBeeps)
        std::abort();
    return 0;
}
