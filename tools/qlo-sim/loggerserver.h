#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>

#include "simulatedlogger.h"

namespace veltrano::sim {

// What can go wrong with the logger on purpose; everything off by default. Combinable.
struct Faults {
    // The device disappears after sending this many bytes of a download (the download's
    // own bytes, "DONE" included, counted before any drop). A download shorter than that
    // completes and leaves the device where it is.
    std::optional<std::size_t> unplugAfter;
    // The logger stops sending a download after this many of its bytes and keeps the port
    // open; it goes on reading and answers later commands.
    std::optional<std::size_t> stallAfter;
    // Drops one byte in every N bytes sent, replies included; which one of the N is drawn
    // from `seed`. 0: none.
    std::size_t dropEvery = 0;
    // Never answers the erase or the interval-setting conversation (the commands are still
    // carried out); downloads are answered.
    bool noReply = false;
    std::uint64_t seed = 1;
};

// Speaks for a SimulatedLogger over a file descriptor (the controlling side of a pty).
class LoggerServer {
public:
    explicit LoggerServer(SimulatedLogger& logger,
                          std::chrono::milliseconds eraseDelay = std::chrono::milliseconds(2000),
                          const Faults& faults = {});
    ~LoggerServer();
    LoggerServer(const LoggerServer&) = delete;
    LoggerServer& operator=(const LoggerServer&) = delete;

    // Answers commands on `fd` until stop(), until the fd reads end of file or fails, or
    // until the device is unplugged by a fault. The fd is borrowed and made non-blocking.
    // While nobody has the other end open, it waits; a reply whose reader goes away
    // half-way is abandoned.
    void serve(int fd);
    // Safe from any thread; serve() returns soon after.
    void stop();

    // Safe from any thread while serving; the new faults count from the next command on
    // (the drop pattern starts again from the seed).
    void setFaults(const Faults& faults);
    // Bytes per second for everything sent, 0 for as fast as the pty takes. Safe from any
    // thread; takes effect at once, also in the middle of a download.
    void setRate(std::uint64_t bytesPerSecond) { rate_ = bytesPerSecond; }
    // Called on the serving thread when an unplug fault strikes, before serve() returns.
    // Without it serve() only returns, and closing the fd hangs the other side up.
    void setUnplugHook(std::function<void()> hook) { unplugHook_ = std::move(hook); }
    // Called on the serving thread with every run of bytes that went out, after the drops:
    // what the other side is to receive, for tests that compare. Set before serve().
    using SentTap = std::function<void(const std::uint8_t* bytes, std::size_t n)>;
    void setSentTap(SentTap tap) { sentTap_ = std::move(tap); }

    bool unplugged() const { return unplugged_; }
    std::uint64_t bytesDropped() const { return dropped_; }

private:
    enum class Wait { Ready, Hangup, Stopped };
    enum class Sent { All, Stalled, Unplugged, Failed };
    Wait waitFor(int fd, short events, int timeoutMs);
    bool sendAll(int fd, const std::uint8_t* data, std::size_t n);
    bool transmit(int fd, const std::uint8_t* data, std::size_t n);
    bool pace(std::size_t n);
    Sent sendDownload(int fd, const Faults& faults);
    void waitUntilRead(int fd, std::chrono::milliseconds limit);
    bool sleepUnlessStopped(std::chrono::milliseconds d);
    Faults currentFaults();

    SimulatedLogger& logger_;
    std::chrono::milliseconds eraseDelay_;
    int wake_[2] = {-1, -1};
    std::atomic<bool> stopped_{false};
    std::atomic<bool> unplugged_{false};
    std::atomic<std::uint64_t> rate_{0};
    std::atomic<std::uint64_t> dropped_{0};
    std::function<void()> unplugHook_;
    SentTap sentTap_;

    std::mutex faultsMutex_;
    Faults faults_;
    bool faultsChanged_ = true;

    // Serving thread only.
    std::size_t dropEvery_ = 0;
    std::mt19937_64 random_;
    std::uint64_t streamPos_ = 0; // bytes handed to transmit(), dropped ones included
    std::uint64_t dropBlock_ = 0; // the drop pattern's blocks of dropEvery_ bytes
    std::uint64_t nextDrop_ = 0;
    std::uint64_t pacedRate_ = 0;
    std::chrono::steady_clock::time_point paceStart_;
    std::uint64_t pacedBytes_ = 0;
};

// A new pty pair in raw mode. Returns the controlling fd (-1 on failure) and sets the path
// of the terminal side, which a serial port opens.
int openRawPty(std::string& terminalPath);

} // namespace veltrano::sim
