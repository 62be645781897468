#include "exportrun.h"

#include <exception>
#include <new>

namespace veltrano {

ExportRun::ExportRun(QObject* parent) : QObject(parent) {
    connect(&job_, &BackgroundJob::done, this, &ExportRun::jobDone);
}

ExportRun::~ExportRun() {
    cancel_ = true;
    job_.wait();
}

bool ExportRun::start(const QString& path, Job job) {
    if (running())
        return false;
    cancel_ = false;
    percent_ = 0;
    job_.start([this, path, job = std::move(job), before = beforeJob_] {
        WriteControl control;
        control.cancelled = [this] { return bool(cancel_); };
        control.progressed = [this](double share) {
            const int percent = int(share * 100);
            if (percent > percent_.exchange(percent))
                QMetaObject::invokeMethod(
                    this, [this, percent] { emit progressed(percent); }, Qt::QueuedConnection);
        };
        if (before)
            before(control);
        // What went wrong where the job could not say it itself; the old file stays.
        try {
            result_ = control.stopRequested() ? std::optional(writeCancelledText()) : job(control);
        } catch (const std::bad_alloc&) {
            result_ = cannotSave(path, QStringLiteral("te weinig geheugen"));
        } catch (const std::exception& e) {
            result_ = cannotSave(path, QString::fromLocal8Bit(e.what()));
        }
    });
    return true;
}

void ExportRun::cancel() {
    cancel_ = true;
}

void ExportRun::cancelAndWait() {
    if (!running())
        return;
    cancel_ = true;
    job_.wait();
    jobDone();
}

void ExportRun::jobDone() {
    // A file written to the end counts as written, even when the cancel came late.
    outcome_.error = std::exchange(result_, std::nullopt);
    outcome_.cancelled = cancel_ && outcome_.error;
    if (outcome_.cancelled)
        outcome_.error.reset();
    emit finished();
}

} // namespace veltrano
