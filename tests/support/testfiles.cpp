#include "testfiles.h"

#include <cstring>
#include <stdexcept>

#include <QFile>
#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace veltrano::testing {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray patternBytes(std::size_t n, int seed) {
    QByteArray b(qsizetype(n), Qt::Uninitialized);
    for (std::size_t i = 0; i < n; ++i)
        b[qsizetype(i)] = char((i * 7 + std::size_t(seed)) & 0xFF);
    return b;
}

bool makeSocketNode(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un addr{};
    if (std::size_t(native.size()) >= sizeof(addr.sun_path))
        return false;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, native.constData(), std::size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
    ::close(fd);
    return ok;
}

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    savedCurrent_ = limit.rlim_cur;
    limit.rlim_cur = rlim_t(bytes);
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(savedCurrent_);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, savedHandler_);
}

} // namespace veltrano::testing
