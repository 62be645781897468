#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QString>
#include <QTextDocument>

#include "analysis/processing.h"
#include "analysis/rangestatistics.h"
#include "backgroundjob.h"
#include "chart/chartview.h"
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
    // The chart's pyramids of a completed run, so that the chart only takes them over.
    ChartPyramids pyramids;
    // The figures between two times, for the measuring lines; over the result's samples.
    RangeStatisticsIndex rangeStatistics;
};

// One processing run at a time on a worker thread. The run reads a copy of the image taken
// on the UI thread when it starts, so nothing that arrives or is opened meanwhile changes what
// it reads. Its results go into a buffer that no one else holds: never the one whose sample
// arrays the chart draws, nor one an export is writing out.
class ProcessingRun : public QObject {
    Q_OBJECT
public:
    explicit ProcessingRun(QObject* parent = nullptr);
    ~ProcessingRun() override; // cancels a run and waits for it

    // Starts a run; false while one runs. The report document is built in `style`.
    bool start(const MemoryImage& image, const ProcessingSettings& settings,
               const DecoderState& state, const ReportStyle& style);
    bool running() const { return job_.running(); }
    // Stops a run at its next progress report, or in the report's building, and waits for
    // the worker; finished() follows at once.
    void cancel();

    // The result of the last finished run; nullptr while a run is in progress or before the
    // first one. Held, it stays as it is: a later run writes elsewhere.
    std::shared_ptr<const ProcessingResult> result() const;
    const RunOutcome& outcome() const { return outcome_; }
    // The report document of the last run, once; nullptr when there is none.
    std::unique_ptr<QTextDocument> takeReport();
    // The chart's pyramids of the last run, once; empty when it did not complete.
    ChartPyramids takePyramids();
    // The index of the last run's samples, once; empty when it did not complete.
    RangeStatisticsIndex takeRangeStatistics();
    // Result buffers in being, held or free; each full one is as large as its sample arrays.
    std::size_t bufferCount() const { return buffers_.size(); }

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
    std::shared_ptr<ProcessingResult> freeBuffer();
    void workerDone();

    MemoryImage snapshot_;
    std::vector<std::shared_ptr<ProcessingResult>> buffers_;
    std::shared_ptr<ProcessingResult> current_; // of the last finished run
    std::shared_ptr<ProcessingResult> target_;  // the worker writes it
    std::atomic<bool> cancel_{false};
    ProcessFunction process_ = processImage;
    RunOutcome outcome_;
    BackgroundJob job_;
};

} // namespace veltrano
