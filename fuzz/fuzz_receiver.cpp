// Arbitrary bytes in arbitrary receive events: every byte lands at its place, markers
// fire only where their four bytes stand together within one event.
#include <cstdlib>
#include <cstring>

#include "link/receiver.h"

using namespace veltrano;

namespace {
class CheckingSink final : public ReceiverSink {
public:
    int completes = 0;
    void downloadComplete() override { ++completes; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryImage image;
    if (size == 0)
        return 0;
    CheckingSink sink;
    Receiver receiver(image, sink);
    receiver.startDownload();
    // The first byte sets the flags; the first byte of each piece after it gives the length
    // of the receive event that follows.
    receiver.configureerflag = data[0] & 1;
    receiver.eraseflag = data[0] & 2;
    receiver.meetintervalleninstellen = data[0] & 4;
    receiver.databinnenhalenklaar = data[0] & 8;
    std::size_t at = 1;
    int expectedCompletes = 0;
    std::size_t storedUpTo = 0;
    while (at < size) {
        const std::size_t n = std::min<std::size_t>(data[at], size - at - 1);
        const std::uint8_t* event = data + at + 1;
        for (std::size_t i = 3; i < n; ++i)
            if (std::memcmp(event + i - 3, "DONE", 4) == 0)
                ++expectedCompletes;
        receiver.receive(event, n);
        if (std::memcmp(image.data() + storedUpTo, event, n) != 0)
            std::abort();
        storedUpTo += n;
        at += n + 1;
    }
    if (std::size_t(receiver.teller) != storedUpTo || sink.completes != expectedCompletes)
        std::abort();
    return 0;
}
