#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include <QString>

namespace veltrano {

// The logger's memory as the viewer holds it.
inline constexpr std::size_t kImageSize = 17'000'000;
// An image file holds a 4-byte length field and buffer bytes 0..16,999,995.
inline constexpr std::size_t kFileDataSize = kImageSize - 4;
inline constexpr std::size_t kImageWords = kImageSize / 2;

// The word tags the decoder knows; every other tag ends a recording.
namespace tag {
inline constexpr int End = 0;
inline constexpr int RecordingStart = 3;
inline constexpr int Ignored4 = 4;
inline constexpr int TemperatureStart = 6;
inline constexpr int TemperatureSample = 8;
inline constexpr int VoltageSample = 16;
inline constexpr int VoltageInterval = 33;
inline constexpr int TemperatureInterval = 35;
inline constexpr int BeginPoint = 42;
inline constexpr int Calibration = 48;
inline constexpr int Ignored63 = 63;
} // namespace tag

struct ImageWord {
    int tag;   // top 6 bits
    int value; // low 10 bits
};

// Word k of an image: big-endian, 6-bit tag, 10-bit value.
inline ImageWord splitWord(const std::uint8_t* bytes, std::size_t k) {
    const unsigned w = (unsigned(bytes[2 * k]) << 8) | bytes[2 * k + 1];
    return {int(w >> 10), int(w & 0x3FF)};
}

struct FreeDeleter {
    void operator()(void* p) const noexcept;
};
template <typename T> using CBuffer = std::unique_ptr<T[], FreeDeleter>;
// Zero-filled buffer whose pages are only touched when written (calloc).
template <typename T> CBuffer<T> makeZeroBuffer(std::size_t n);

// Always exactly kImageSize bytes, zero at creation; nothing is ever written past its end.
//
// The image knows how far it may have been written: every byte from writtenExtent() on is
// zero. That lets clear() empty only the written part, which keeps a new download cheap
// after a short one. Writing through data() counts as writing everywhere.
class MemoryImage {
public:
    MemoryImage();

    // For writing: from here on the whole image counts as written. Read through
    // constData() to keep clear() cheap.
    std::uint8_t* data() {
        written_ = kImageSize;
        return bytes_.get();
    }
    const std::uint8_t* data() const { return bytes_.get(); }
    const std::uint8_t* constData() const { return bytes_.get(); }
    static constexpr std::size_t size() { return kImageSize; }
    std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }

    // Copies n bytes to index `at`; the caller keeps at + n within the image.
    void write(std::size_t at, const std::uint8_t* bytes, std::size_t n);
    // Bytes from this index to the end are known to be zero.
    std::size_t writtenExtent() const { return written_; }

    // Empties the image: all bytes zero (start of a download). Pointers into it stay valid.
    void clear();

    // Reads an image file. The file is read completely before anything changes; on
    // success bytes 0..16,999,995 are replaced and the last four keep their value.
    // Returns the message for the user on failure, the buffer then untouched.
    std::optional<QString> load(const QString& path);

    // Writes the image file through a temporary file, so a failure keeps an old file whole.
    std::optional<QString> save(const QString& path) const;

private:
    CBuffer<std::uint8_t> bytes_;
    CBuffer<std::uint8_t> spare_; // reused by load() so a reload does not fault in fresh pages
    std::size_t written_ = 0;
};

} // namespace veltrano
