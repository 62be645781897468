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

} // namespace veltrano::testing
