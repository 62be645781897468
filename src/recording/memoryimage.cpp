#include "memoryimage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include <sys/mman.h>

#include <QFile>
#include <QFileInfo>

#include "recording/safesave.h"

namespace veltrano {

void FreeDeleter::operator()(void* p) const noexcept {
    std::free(p);
}

namespace {
// Large buffers are filled a few megabytes at a time: huge pages take one page fault where
// small pages take five hundred. Only a hint; where the system does not offer them nothing
// changes.
void preferHugePages(void* p, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
    constexpr std::size_t kHuge = 2u << 20;
    if (bytes < 2 * kHuge)
        return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(kHuge - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)p;
    (void)bytes;
#endif
}
} // namespace

template <typename T> CBuffer<T> makeZeroBuffer(std::size_t n) {
    void* p = std::calloc(n == 0 ? 1 : n, sizeof(T));
    if (!p)
        throw std::bad_alloc();
    preferHugePages(p, n * sizeof(T));
    return CBuffer<T>(static_cast<T*>(p));
}
template CBuffer<std::uint8_t> makeZeroBuffer<std::uint8_t>(std::size_t);
template CBuffer<float> makeZeroBuffer<float>(std::size_t);
template CBuffer<double> makeZeroBuffer<double>(std::size_t);
template CBuffer<long double> makeZeroBuffer<long double>(std::size_t);

MemoryImage::MemoryImage() : bytes_(makeZeroBuffer<std::uint8_t>(kImageSize)) {}

void MemoryImage::write(std::size_t at, const std::uint8_t* bytes, std::size_t n) {
    if (n == 0)
        return;
    std::memcpy(bytes_.get() + at, bytes, n);
    written_ = std::max(written_, at + n);
}

void MemoryImage::clear() {
    std::memset(bytes_.get(), 0, written_);
    written_ = 0;
}

std::optional<QString> MemoryImage::load(const QString& path) {
    const QString& name = path;
    QFile file(path);
    if (QFileInfo(path).isDir())
        return QStringLiteral("Kan bestand \"%1\" niet openen: het is een map.").arg(name);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Kan bestand \"%1\" niet openen: %2").arg(name, file.errorString());

    if (!spare_)
        spare_ = makeZeroBuffer<std::uint8_t>(kImageSize);
    char lengthField[4];
    const qint64 got4 = file.read(lengthField, 4); // the length field is not examined
    qint64 got = 0;
    if (got4 == 4) {
        while (got < qint64(kFileDataSize)) {
            const qint64 n =
                file.read(reinterpret_cast<char*>(spare_.get()) + got, qint64(kFileDataSize) - got);
            if (n <= 0)
                break;
            got += n;
        }
    }
    if (got4 != 4 || got != qint64(kFileDataSize)) {
        const qint64 total = (got4 > 0 ? got4 : 0) + got;
        return QStringLiteral("Leesfout in bestand \"%1\": het bestand bevat %2 bytes, een "
                              "geheugenbeeld is %3 bytes. Er is niets ingelezen.")
            .arg(name)
            .arg(total)
            .arg(qulonglong(kImageSize));
    }
    std::memcpy(spare_.get() + kFileDataSize, bytes_.get() + kFileDataSize, 4);
    std::swap(bytes_, spare_);
    written_ = kImageSize;
    return std::nullopt;
}

std::optional<QString> MemoryImage::save(const QString& path) const {
    return saveFile(path, [this](QIODevice& file) -> std::optional<QString> {
        const std::uint32_t length = kImageSize;
        const char lengthField[4] = {char(length & 0xFF), char((length >> 8) & 0xFF),
                                     char((length >> 16) & 0xFF), char((length >> 24) & 0xFF)};
        if (!writeAll(file, lengthField, 4) ||
            !writeAll(file, reinterpret_cast<const char*>(bytes_.get()), qint64(kFileDataSize)))
            return file.errorString();
        return std::nullopt;
    });
}

} // namespace veltrano
