#pragma once

#include <functional>
#include <thread>

#include <QObject>

namespace veltrano {

// One job at a time on a thread of its own. The thread is a standard one, and it is joined
// before its owner reads what the job wrote: ThreadSanitizer follows that hand-over, which it
// cannot in Qt's thread pool. done() comes on the owner's thread once the job has returned.
class BackgroundJob : public QObject {
    Q_OBJECT
public:
    explicit BackgroundJob(QObject* parent = nullptr) : QObject(parent) {}
    ~BackgroundJob() override; // waits for a job still running

    // False, and nothing started, while a job runs.
    bool start(std::function<void()> job);
    bool running() const { return running_; }
    // Waits for the job to return. done() is not sent for it then.
    void wait();

signals:
    void done();

private:
    void finished(unsigned job);

    std::thread thread_;
    bool running_ = false;
    unsigned jobs_ = 0; // a done report of a job waited for already comes too late
};

} // namespace veltrano
