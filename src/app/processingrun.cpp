#include "processingrun.h"

#include <exception>

#include <QThread>

#include "chart/paperchart.h"

namespace veltrano {

namespace {

struct Cancelled {};

} // namespace

ProcessingRun::ProcessingRun(QObject* parent) : QObject(parent) {
    connect(&job_, &BackgroundJob::done, this, &ProcessingRun::workerDone);
}

ProcessingRun::~ProcessingRun() {
    cancel();
}

std::shared_ptr<ProcessingResult> ProcessingRun::freeBuffer() {
    // Held by no one else: neither the chart nor an export has it. The last result counts as
    // free when no one holds it, for it is out of reach while a run lasts.
    for (const std::shared_ptr<ProcessingResult>& b : buffers_)
        if (b.use_count() == (b == current_ ? 2 : 1))
            return b;
    buffers_.push_back(std::make_shared<ProcessingResult>());
    return buffers_.back();
}

bool ProcessingRun::start(const MemoryImage& image, const ProcessingSettings& settings,
                          const DecoderState& state, const ReportStyle& style) {
    if (running())
        return false;
    cancel_ = false;
    // The last result stays readable until this run ends; a buffer of its own for the run.
    target_ = freeBuffer();
    // The copy is made here, before the worker starts: what the worker reads is handed over
    // whole, and nothing writes it while the run lasts.
    std::copy_n(image.constData(), kImageSize, snapshot_.data());
    QThread* uiThread = thread();
    job_.start([this, settings, state, style, uiThread, result = target_.get(),
                process = process_] {
        RunOutcome out;
        out.state = state;
        const ProgressCallback progress = [this](std::size_t) {
            if (cancel_)
                throw Cancelled{};
            QMetaObject::invokeMethod(this, &ProcessingRun::progressed, Qt::QueuedConnection);
        };
        const std::uint8_t* bytes = snapshot_.constData();
        try {
            if (auto error = process(bytes, settings, out.state, *result, progress))
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
            result->cutOff = false;
        } else if (!result->completed) {
            // The decoder passes over everything before the first recording-start word.
            out.hasRecordingStart = findRecordingStart(bytes) < kImageWords;
        }
        if (hasRecording(*result) && !out.cancelled) {
            out.pyramids = buildPyramids(runFill(*result));
            out.rangeStatistics = buildRangeStatistics(*result);
        }
        if (!out.cancelled) {
            // A report of thousands of events takes a while to build: here, not on the UI
            // thread, and stopped with the run.
            std::unique_ptr<QTextDocument> doc =
                reportDocument(result->report, style, [this] { return bool(cancel_); });
            if (doc) {
                doc->moveToThread(uiThread);
                out.report = std::move(doc);
            } else {
                out.cancelled = true;
            }
        }
        outcome_ = std::move(out);
    });
    return true;
}

void ProcessingRun::cancel() {
    if (!running())
        return;
    cancel_ = true;
    job_.wait();
    // The worker's report of its end comes from the event loop; this run ends here.
    workerDone();
}

std::unique_ptr<QTextDocument> ProcessingRun::takeReport() {
    return std::move(outcome_.report);
}

ChartPyramids ProcessingRun::takePyramids() {
    return std::exchange(outcome_.pyramids, ChartPyramids{});
}

RangeStatisticsIndex ProcessingRun::takeRangeStatistics() {
    return std::exchange(outcome_.rangeStatistics, RangeStatisticsIndex{});
}

std::shared_ptr<const ProcessingResult> ProcessingRun::result() const {
    if (running())
        return nullptr;
    return current_;
}

void ProcessingRun::workerDone() {
    if (!target_)
        return;
    current_ = std::exchange(target_, nullptr);
    emit finished();
}

} // namespace veltrano
