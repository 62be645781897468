#pragma once

#include <functional>
#include <thread>

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

// n bytes (i * 7 + seed) & 0xFF: neighbours differ by 7, so no reply marker can occur.
inline sim::Bytes patternMemory(std::size_t n, int seed) {
    sim::Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = std::uint8_t((i * 7 + std::size_t(seed)) & 0xFF);
    return b;
}

} // namespace veltrano::testing
