#include "processingrun.h"

#include <exception>

#include <QCoreApplication>
#include <QTextDocument>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

namespace veltrano {

namespace {

struct Cancelled {};

} // namespace

ProcessingRun::ProcessingRun(QObject* parent) : QObject(parent) {
    connect(&watcher_, &QFutureWatcher<RunOutcome>::finished, this, &ProcessingRun::workerDone);
}

ProcessingRun::~ProcessingRun() {
    cancel();
}

bool ProcessingRun::start(const MemoryImage& image, const ProcessingSettings& settings,
                          const DecoderState& state, const ProcessingResult* chartShows,
                          const ReportStyle& style) {
    if (running_)
        return false;
    if (!snapshot_)
        snapshot_ = std::make_unique<MemoryImage>();

    target_ = buffers_[0] && buffers_[0].get() == chartShows ? 1 : 0;
    if (!buffers_[std::size_t(target_)])
        buffers_[std::size_t(target_)] = std::make_unique<ProcessingResult>();
    running_ = true;
    cancel_ = false;

    // What the worker reads stays here, on this thread, until the run ends: nothing of it
    // is copied or released over there.
    settings_ = settings;
    stateIn_ = state;
    style_ = style;
    const std::uint8_t* source = image.constData();
    std::uint8_t* bytes = snapshot_->data();
    ProcessingResult* result = buffers_[std::size_t(target_)].get();
    QThread* uiThread = thread();
    watcher_.setFuture(QtConcurrent::run([this, source, bytes, result, uiThread,
                                          process = process_] {
        RunOutcome out;
        out.state = stateIn_;
        // The copy is the first thing the run does. Nothing writes the image while a run is
        // in progress (opening waits for the run's end, downloads are refused, the receiver
        // stores only during a download), and copying here keeps the first runs' page faults
        // off the UI thread.
        std::copy_n(source, kImageSize, bytes);
        const ProgressCallback progress = [this](std::size_t) {
            if (cancel_)
                throw Cancelled{};
            QMetaObject::invokeMethod(this, &ProcessingRun::progressed, Qt::QueuedConnection);
        };
        try {
            if (auto error = process(bytes, settings_, out.state, *result, progress))
                out.failure = error->message;
        } catch (const Cancelled&) {
            out.cancelled = true;
        } catch (const std::exception& e) {
            out.failure =
                QStringLiteral("Verwerken is mislukt: %1").arg(QString::fromLocal8Bit(e.what()));
        }
        if (!out.failure.isEmpty() || out.cancelled) {
            result->report.reset();
            result->completed = false;
        } else if (!result->completed) {
            // The decoder passes over everything before the first recording-start word.
            out.hasRecordingStart = findRecordingStart(bytes) < kImageWords;
        }
        if (!out.cancelled) {
            // A report of thousands of events takes a while to build: here, not on the UI
            // thread.
            std::unique_ptr<QTextDocument> doc = reportDocument(result->report, style_);
            doc->moveToThread(uiThread);
            out.report = std::move(doc);
        }
        return out;
    }));
    return true;
}

void ProcessingRun::cancel() {
    if (!running_)
        return;
    cancel_ = true;
    watcher_.waitForFinished();
    // The watcher reports its end from the event loop; this run ends here.
    workerDone();
}

std::unique_ptr<QTextDocument> ProcessingRun::takeReport() {
    return std::move(outcome_.report);
}

const ProcessingResult* ProcessingRun::result() const {
    if (running_ || current_ < 0)
        return nullptr;
    return buffers_[std::size_t(current_)].get();
}

void ProcessingRun::workerDone() {
    if (!running_)
        return;
    outcome_ = watcher_.future().takeResult();
    current_ = target_;
    running_ = false;
    emit finished();
}

} // namespace veltrano
