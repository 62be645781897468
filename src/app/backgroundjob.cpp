#include "backgroundjob.h"

#include <QEventLoop>

namespace veltrano {

BackgroundJob::~BackgroundJob() {
    wait();
}

bool BackgroundJob::start(std::function<void()> job) {
    if (running_)
        return false;
    running_ = true;
    const unsigned number = ++jobs_;
    thread_ = std::thread([this, number, job = std::move(job)] {
        // Qt's objects that start timers (a text document laying itself out) want the thread's
        // event dispatcher, which an event loop brings along; it never runs.
        const QEventLoop dispatcher;
        job();
        QMetaObject::invokeMethod(
            this, [this, number] { finished(number); }, Qt::QueuedConnection);
    });
    return true;
}

void BackgroundJob::wait() {
    if (!running_)
        return;
    thread_.join();
    running_ = false;
}

void BackgroundJob::finished(unsigned job) {
    if (!running_ || job != jobs_) // waited for already
        return;
    wait();
    emit done();
}

} // namespace veltrano
