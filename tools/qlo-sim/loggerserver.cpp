#include "loggerserver.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace veltrano::sim {

LoggerServer::LoggerServer(SimulatedLogger& logger, std::chrono::milliseconds eraseDelay)
    : logger_(logger), eraseDelay_(eraseDelay) {
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
        wake_[0] = wake_[1] = -1;
}

LoggerServer::~LoggerServer() {
    for (int fd : wake_)
        if (fd >= 0)
            ::close(fd);
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
            const SimulatedLogger::Step step = logger_.feed(in[i]);
            std::string text = step.text;
            if (step.action == SimulatedLogger::Action::EraseThenReply) {
                if (!sleepUnlessStopped(eraseDelay_))
                    return;
                text = logger_.finishErase();
            }
            if (step.download) {
                const Bytes& memory = logger_.memory();
                if (!sendAll(fd, memory.data(), memory.size()))
                    continue;
                text = "DONE";
            }
            if (!text.empty())
                sendAll(fd, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
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
