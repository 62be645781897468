#include "receiver.h"

#include <algorithm>
#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace veltrano {

namespace {
constexpr std::uint32_t marker(const char (&s)[5]) {
    return (std::uint32_t(std::uint8_t(s[0])) << 24) | (std::uint32_t(std::uint8_t(s[1])) << 16) |
           (std::uint32_t(std::uint8_t(s[2])) << 8) | std::uint32_t(std::uint8_t(s[3]));
}
constexpr std::uint32_t kDone = marker("DONE");
constexpr std::uint32_t kGelu = marker("Gelu");
constexpr std::uint32_t kWel = marker("wel ");
constexpr std::uint8_t kBel = 7;

// Bytes that can need an action: BEL and the last byte of a marker. Everything else is
// only stored, which lets receive() copy whole runs at once.
constexpr std::array<bool, 256> kActionBytes = [] {
    std::array<bool, 256> t{};
    t[kBel] = true;
    t['E'] = true;
    t['u'] = true;
    t[' '] = true;
    return t;
}();
} // namespace

void Receiver::startDownload() {
    stored_ = 0;
    image_.clear();
    downloading_ = true;
    dropped_ = 0;
    overflowReported_ = false;
}

void Receiver::abortDownload() {
    downloading_ = false;
}

void Receiver::awaitEraseAnswer(bool intervals) {
    awaitingErase_ = true;
    settingIntervals_ = intervals;
}

void Receiver::awaitConfigurationStart() {
    awaitingConfiguration_ = true;
}

void Receiver::endConversation() {
    awaitingErase_ = false;
    settingIntervals_ = false;
    awaitingConfiguration_ = false;
}

void Receiver::receive(const std::uint8_t* bytes, std::size_t n) {
    std::size_t stored = 0; // bytes of this event already stored
    std::size_t i = 0;
    while (i < n) {
#if defined(__SSE2__)
        // Skip 16 bytes at a time while none of them can need an action.
        if (i + 16 <= n) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            const __m128i hit =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(char(kBel))),
                                          _mm_cmpeq_epi8(v, _mm_set1_epi8('E'))),
                             _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('u')),
                                          _mm_cmpeq_epi8(v, _mm_set1_epi8(' '))));
            const unsigned mask = unsigned(_mm_movemask_epi8(hit));
            if (mask == 0) {
                i += 16;
                continue;
            }
            i += std::size_t(__builtin_ctz(mask));
        }
#endif
        const std::uint8_t c = bytes[i];
        if (!kActionBytes[c]) {
            ++i;
            continue;
        }
        // The marker window starts as four zero bytes at every receive event.
        std::uint32_t window = c;
        for (std::size_t k = 1; k <= 3 && k <= i; ++k)
            window |= std::uint32_t(bytes[i - k]) << (8 * k);
        if (c == kBel || window == kDone || window == kGelu || window == kWel) {
            store(bytes + stored, i + 1 - stored);
            stored = i + 1;
            react(c, window);
        }
        ++i;
    }
    store(bytes + stored, n - stored);
}

void Receiver::react(std::uint8_t c, std::uint32_t window) {
    if (c == kBel) {
        sink_.beep();
        return;
    }
    if (window == kDone) {
        downloading_ = false;
        sink_.downloadComplete();
    } else if (window == kGelu && awaitingConfiguration_) {
        awaitingConfiguration_ = false;
        sink_.configurationStarted();
    } else if (window == kWel && awaitingErase_) {
        const bool intervals = settingIntervals_;
        settingIntervals_ = false;
        awaitingErase_ = false;
        sink_.eraseFinished(intervals);
    }
}

// Stores a run of bytes after those stored so far, with the progress steps in between in
// byte order.
void Receiver::store(const std::uint8_t* bytes, std::size_t n) {
    if (!downloading_)
        return;
    while (n > 0) {
        const std::size_t room = kImageSize - std::size_t(stored_);
        if (room == 0) {
            dropped_ += std::int64_t(n);
            if (!overflowReported_) {
                overflowReported_ = true;
                sink_.downloadOverflow();
            }
            return;
        }
        // Up to and including the byte whose store makes stored_ % 160,000 == 1.
        const std::size_t toStep =
            std::size_t(kProgressBytes - stored_ % kProgressBytes) % std::size_t(kProgressBytes) +
            1;
        const std::size_t chunk = std::min({n, room, toStep});
        image_.write(std::size_t(stored_), bytes, chunk);
        stored_ += std::int32_t(chunk);
        bytes += chunk;
        n -= chunk;
        if (stored_ % kProgressBytes == 1)
            sink_.progressStep();
    }
}

} // namespace veltrano
