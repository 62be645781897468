#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QTextDocument>

#include "analysis/processing.h"
#include "paper/reportview.h"
#include "recording/memoryimage.h"

namespace veltrano {

// How a run ended.
struct RunOutcome {
    QString failure;               // empty when the core ran to its end
    bool hasRecordingStart = true; // false: the image holds no recording at all
    bool cancelled = false;
    DecoderState state; // calibration and intervals after the run
    // The report as the report box shows it, built beside the run; lives on the UI thread.
    std::unique_ptr<QTextDocument> report;
};

// One processing run at a time on a worker thread. The run reads a copy of the image taken
// when it starts, so nothing that arrives or is opened meanwhile changes what it reads.
// Results go into one of two buffers: never the one whose sample arrays the chart still
// draws.
class ProcessingRun : public QObject {
    Q_OBJECT
public:
    explicit ProcessingRun(QObject* parent = nullptr);
    ~ProcessingRun() override; // cancels a run and waits for it

    // Starts a run; false while one runs. `chartShows` is the result whose arrays the chart
    // references (or nullptr); the report document is built in `style`.
    bool start(const MemoryImage& image, const ProcessingSettings& settings,
               const DecoderState& state, const ProcessingResult* chartShows,
               const ReportStyle& style);
    bool running() const { return running_; }
    // Stops a run at its next progress report and waits for the worker.
    void cancel();

    // The result of the last finished run; nullptr while a run is in progress or before the
    // first one.
    const ProcessingResult* result() const;
    const RunOutcome& outcome() const { return outcome_; }
    // The report document of the last run, once; nullptr when there is none.
    std::unique_ptr<QTextDocument> takeReport();

    // What a run calls to process the image: processImage, unless replaced (tests hold a run
    // in progress with a stand-in). A run keeps the function it started with.
    using ProcessFunction = std::function<std::optional<SettingsError>(
        const std::uint8_t* image, const ProcessingSettings&, DecoderState&, ProcessingResult&,
        const ProgressCallback&)>;
    void setProcessFunction(ProcessFunction process) { process_ = std::move(process); }
    // The run in progress is to stop; its progress callback ends it at the next report.
    bool cancelRequested() const { return cancel_; }

signals:
    // Every 85,000 image words.
    void progressed();
    // The worker is done; result() and outcome() tell how.
    void finished();

private:
    void workerDone();

    std::unique_ptr<MemoryImage> snapshot_;
    std::array<std::unique_ptr<ProcessingResult>, 2> buffers_;
    int current_ = -1; // buffer of the last finished run
    int target_ = -1;  // buffer the worker writes
    bool running_ = false;
    std::atomic<bool> cancel_{false};
    ProcessFunction process_ = processImage;
    ProcessingSettings settings_;
    DecoderState stateIn_;
    ReportStyle style_;
    RunOutcome outcome_;
    QFutureWatcher<RunOutcome> watcher_;
};

} // namespace veltrano
