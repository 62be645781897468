#pragma once

#include <functional>
#include <thread>

#include <QByteArray>
#include <poll.h>
#include <unistd.h>

#include "link/devicefinder.h"
#include "loggerserver.h"
#include "simulatedlogger.h"

namespace veltrano::testing {

// A simulated logger answering on `fd` from its own thread while the fixture lives. An
// unplug fault calls `unplug` on the serving thread (e.g. the test bed's unplug).
class ServedLogger {
public:
    ServedLogger(sim::Bytes memory, int fd, std::chrono::milliseconds eraseDelay,
                 const sim::Faults& faults = {}, std::function<void()> unplug = {})
        : logger(std::move(memory)), server(logger, eraseDelay, faults),
          thread([this, fd, unplug = std::move(unplug)] {
              server.setUnplugHook(unplug);
              server.serve(fd);
          }) {}
    ~ServedLogger() {
        server.stop();
        thread.join();
    }
    sim::SimulatedLogger logger;
    sim::LoggerServer server;

private:
    std::thread thread;
};

// Finds whatever the test lists, as long as it is asked for the logger's identity.
class ListedDevices final : public DeviceFinder {
public:
    QList<FoundDevice> devices;
    QList<FoundDevice> find(const QByteArray& manufacturer,
                            const QByteArray& product) const override {
        if (manufacturer != loggerManufacturer() || product != loggerProduct())
            return {};
        return devices;
    }
};

// Reads what the link put on the wire, waiting up to a second for n bytes.
inline QByteArray readWire(int fd, int n) {
    QByteArray got;
    while (got.size() < n) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0)
            break;
        char buf[64];
        const ssize_t r = ::read(fd, buf, sizeof buf);
        if (r <= 0)
            break;
        got.append(buf, r);
    }
    return got;
}

// Writes all of `bytes` as the logger would send them, waiting while the pty is full.
inline bool writeWire(int fd, const QByteArray& bytes) {
    qsizetype at = 0;
    while (at < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.constData() + at, std::size_t(bytes.size() - at));
        if (w > 0) {
            at += w;
            continue;
        }
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, 5000) <= 0)
            return false;
    }
    return true;
}

// n bytes (i * 7 + seed) & 0xFF: neighbours differ by 7, so no reply marker can occur.
inline sim::Bytes patternMemory(std::size_t n, int seed) {
    sim::Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = std::uint8_t((i * 7 + std::size_t(seed)) & 0xFF);
    return b;
}

} // namespace veltrano::testing
