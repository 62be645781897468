#pragma once

#include <cstdint>

#include <QByteArray>
#include <QString>

namespace veltrano::testing {

// Writes bytes to a file, replacing it.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// A file of n bytes whose byte i is (i * 7 + seed) & 0xFF.
QByteArray patternBytes(std::size_t n, int seed);
// A Unix socket node: exists, but cannot be opened as a file even by root.
bool makeSocketNode(const QString& path);

// While it lives, writes that would make a file larger than `bytes` fail as on a full disk,
// for root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    std::uint64_t savedCurrent_ = 0;
    void (*savedHandler_)(int) = nullptr;
};

} // namespace veltrano::testing
