#include "chart/updater.h"

#include <QProgressBar>
#include <QSemaphore>

namespace veltrano {

UpdateThread::UpdateThread(Job doStuff, Job grafiektekenen, std::chrono::milliseconds pause,
                           QObject* parent)
    : QThread(parent), doStuff_(std::move(doStuff)), fill_(std::move(grafiektekenen)),
      pause_(pause), receiver_(std::make_unique<QObject>()) {}

UpdateThread::~UpdateThread() {
    stop();
}

void UpdateThread::stop() {
    stopping_ = true;
    wait();
}

bool UpdateThread::runOnUi(const Job& job) {
    auto done = std::make_shared<QSemaphore>();
    QMetaObject::invokeMethod(
        receiver_.get(),
        [this, done, &job] {
            if (!stopping_) {
                job();
            }
            done->release();
        },
        Qt::QueuedConnection);
    // Not a blocking call: the UI thread may be the one asking us to stop.
    while (!done->tryAcquire(1, 10)) {
        if (stopping_) {
            return false;
        }
    }
    return !stopping_;
}

void UpdateThread::run() {
    while (!stopping_) {
        if (!runOnUi(doStuff_) || !runOnUi(fill_)) {
            return;
        }
        QThread::msleep(static_cast<unsigned long>(pause_.count()));
    }
}

void stepProgressBar(QProgressBar& bar, bool finished) {
    if (!finished) {
        bar.show();
    } else if (bar.value() == 100) {
        bar.hide();
    } else {
        bar.setValue(bar.value() + 1);
    }
}

} // namespace veltrano
