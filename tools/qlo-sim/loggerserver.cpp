#include "loggerserver.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace veltrano::sim {

LoggerServer::LoggerServer(SimulatedLogger& logger, std::chrono::milliseconds eraseDelay,
                           const Faults& faults)
    : logger_(logger), eraseDelay_(eraseDelay), faults_(faults) {
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
        wake_[0] = wake_[1] = -1;
}

LoggerServer::~LoggerServer() {
    for (int fd : wake_)
        if (fd >= 0)
            ::close(fd);
}

void LoggerServer::setFaults(const Faults& faults) {
    const std::lock_guard lock(faultsMutex_);
    faults_ = faults;
    faultsChanged_ = true;
}

Faults LoggerServer::currentFaults() {
    const std::lock_guard lock(faultsMutex_);
    if (faultsChanged_) {
        faultsChanged_ = false;
        dropEvery_ = faults_.dropEvery;
        random_.seed(faults_.seed);
        dropBlock_ = streamPos_;
        if (dropEvery_ > 0)
            nextDrop_ = dropBlock_ + random_() % dropEvery_;
    }
    return faults_;
}

void LoggerServer::stop() {
    stopped_ = true;
    if (wake_[1] >= 0) {
        const char c = 0;
        [[maybe_unused]] const auto n = ::write(wake_[1], &c, 1);
    }
}

LoggerServer::Wait LoggerServer::waitFor(int fd, short events, int timeoutMs) {
    pollfd fds[2] = {{fd, events, 0}, {wake_[0], POLLIN, 0}};
    const int r = ::poll(fds, wake_[0] >= 0 ? 2 : 1, timeoutMs);
    if (stopped_)
        return Wait::Stopped;
    if (r > 0 && (fds[0].revents & events))
        return Wait::Ready;
    if (r > 0 && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)))
        return Wait::Hangup;
    return Wait::Ready; // time-out or EINTR: let the caller try again
}

bool LoggerServer::sleepUnlessStopped(std::chrono::milliseconds d) {
    const auto end = std::chrono::steady_clock::now() + d;
    while (!stopped_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return true;
        pollfd p{wake_[0], POLLIN, 0};
        ::poll(&p, wake_[0] >= 0 ? 1 : 0, int(left.count()));
    }
    return false;
}

// False when the reader went away or serve() is to stop.
bool LoggerServer::sendAll(int fd, const std::uint8_t* data, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w > 0) {
            data += w;
            n -= std::size_t(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && errno != EAGAIN)
            return false;
        if (waitFor(fd, POLLOUT, 200) != Wait::Ready)
            return false;
    }
    return !stopped_;
}

// Sleeps as long as the rate asks before the next n bytes go out. False when stopped.
bool LoggerServer::pace(std::size_t n) {
    const std::uint64_t rate = rate_;
    const auto now = std::chrono::steady_clock::now();
    if (rate != pacedRate_) {
        pacedRate_ = rate;
        paceStart_ = now;
        pacedBytes_ = 0;
    }
    if (rate == 0)
        return true;
    const auto due = paceStart_ + std::chrono::microseconds(pacedBytes_ * 1'000'000 / rate);
    pacedBytes_ += n;
    if (due > now)
        return sleepUnlessStopped(std::chrono::ceil<std::chrono::milliseconds>(due - now));
    return !stopped_;
}

// Sends bytes of the logger's stream with the rate and the drops applied. False when the
// reader went away or serve() is to stop.
bool LoggerServer::transmit(int fd, const std::uint8_t* data, std::size_t n) {
    pacedRate_ = ~std::uint64_t(0); // every reply starts its own pace
    while (n > 0) {
        std::size_t chunk = n;
        if (const std::uint64_t rate = rate_; rate > 0)
            chunk = std::min<std::size_t>(chunk, std::clamp<std::uint64_t>(rate / 50, 1, 4096));
        if (dropEvery_ > 0 && nextDrop_ < streamPos_ + chunk)
            chunk = std::size_t(nextDrop_ - streamPos_); // up to the byte that is lost
        if (chunk > 0) {
            if (!pace(chunk) || !sendAll(fd, data, chunk))
                return false;
            if (sentTap_)
                sentTap_(data, chunk);
            data += chunk;
            n -= chunk;
            streamPos_ += chunk;
            continue;
        }
        ++data;
        --n;
        ++streamPos_;
        ++dropped_;
        dropBlock_ += dropEvery_;
        nextDrop_ = dropBlock_ + random_() % dropEvery_;
    }
    return true;
}

// Waits until the terminal side has read what was sent, so that an unplug takes away no
// bytes already sent (a hang-up discards them), but not longer than `limit`. Written bytes
// reach the terminal's queue a moment later, so the queue must stay empty for a while.
void LoggerServer::waitUntilRead(int fd, std::chrono::milliseconds limit) {
    char name[128];
    int terminal = -1;
    if (::ptsname_r(fd, name, sizeof name) == 0)
        terminal = ::open(name, O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (terminal < 0) {
        sleepUnlessStopped(std::chrono::milliseconds(100));
        return;
    }
    const auto end = std::chrono::steady_clock::now() + limit;
    int emptyLooks = 0;
    while (emptyLooks < 4 && std::chrono::steady_clock::now() < end) {
        int pending = 0;
        if (::ioctl(terminal, FIONREAD, &pending) != 0)
            break;
        emptyLooks = pending == 0 ? emptyLooks + 1 : 0;
        if (!sleepUnlessStopped(std::chrono::milliseconds(10)))
            break;
    }
    ::close(terminal);
}

LoggerServer::Sent LoggerServer::sendDownload(int fd, const Faults& faults) {
    const Bytes& memory = logger_.memory();
    static constexpr std::uint8_t kDone[4] = {'D', 'O', 'N', 'E'};
    const std::size_t total = memory.size() + 4;
    std::size_t limit = total;
    Sent fault = Sent::All;
    if (faults.stallAfter && *faults.stallAfter <= limit) {
        limit = *faults.stallAfter;
        fault = Sent::Stalled;
    }
    if (faults.unplugAfter && *faults.unplugAfter <= limit) {
        limit = *faults.unplugAfter;
        fault = Sent::Unplugged;
    }
    const std::size_t fromMemory = std::min(limit, memory.size());
    if (!transmit(fd, memory.data(), fromMemory) || !transmit(fd, kDone, limit - fromMemory))
        return Sent::Failed;
    return fault;
}

void LoggerServer::serve(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    std::uint8_t in[4096];
    while (!stopped_) {
        const Wait w = waitFor(fd, POLLIN, 200);
        if (w == Wait::Stopped)
            return;
        if (w == Wait::Hangup) {
            // Nobody has the terminal side open (yet); look again shortly.
            if (!sleepUnlessStopped(std::chrono::milliseconds(20)))
                return;
            continue;
        }
        const ssize_t got = ::read(fd, in, sizeof in);
        if (got == 0)
            return;
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            if (errno == EIO) { // terminal side closed
                if (!sleepUnlessStopped(std::chrono::milliseconds(20)))
                    return;
                continue;
            }
            return;
        }
        for (ssize_t i = 0; i < got && !stopped_; ++i) {
            const Faults faults = currentFaults();
            const SimulatedLogger::Step step = logger_.feed(in[i]);
            std::string text = step.text;
            if (step.action == SimulatedLogger::Action::EraseThenReply) {
                if (!sleepUnlessStopped(eraseDelay_))
                    return;
                text = logger_.finishErase();
            }
            if (step.download) {
                if (sendDownload(fd, faults) == Sent::Unplugged) {
                    waitUntilRead(fd, std::chrono::milliseconds(2000));
                    unplugged_ = true;
                    if (unplugHook_)
                        unplugHook_();
                    return;
                }
                continue;
            }
            if (!text.empty() && !faults.noReply)
                transmit(fd, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        }
    }
}

int openRawPty(std::string& terminalPath) {
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    char name[128];
    termios tio{};
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || ::ptsname_r(fd, name, sizeof name) != 0 ||
        ::tcgetattr(fd, &tio) != 0) {
        ::close(fd);
        return -1;
    }
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    terminalPath = name;
    return fd;
}

} // namespace veltrano::sim
