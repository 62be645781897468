#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "simulatedlogger.h"

namespace veltrano::sim {

// Speaks for a SimulatedLogger over a file descriptor (the controlling side of a pty).
class LoggerServer {
public:
    explicit LoggerServer(SimulatedLogger& logger,
                          std::chrono::milliseconds eraseDelay = std::chrono::milliseconds(2000));
    ~LoggerServer();
    LoggerServer(const LoggerServer&) = delete;
    LoggerServer& operator=(const LoggerServer&) = delete;

    // Answers commands on `fd` until stop() or until the fd reads end of file or fails.
    // The fd is borrowed and made non-blocking. While nobody has the other end open,
    // it waits; a reply whose reader goes away half-way is abandoned.
    void serve(int fd);
    // Safe from any thread; serve() returns soon after.
    void stop();

private:
    enum class Wait { Ready, Hangup, Stopped };
    Wait waitFor(int fd, short events, int timeoutMs);
    bool sendAll(int fd, const std::uint8_t* data, std::size_t n);
    bool sleepUnlessStopped(std::chrono::milliseconds d);

    SimulatedLogger& logger_;
    std::chrono::milliseconds eraseDelay_;
    int wake_[2] = {-1, -1};
    std::atomic<bool> stopped_{false};
};

// A new pty pair in raw mode. Returns the controlling fd (-1 on failure) and sets the path
// of the terminal side, which a serial port opens.
int openRawPty(std::string& terminalPath);

} // namespace veltrano::sim
