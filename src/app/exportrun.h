#pragma once

#include <atomic>
#include <functional>
#include <optional>

#include <QObject>
#include <QString>

#include "backgroundjob.h"
#include "recording/safesave.h"

namespace veltrano {

// How an export ended.
struct ExportOutcome {
    bool cancelled = false;
    std::optional<QString> error; // the message for the user
};

// One export at a time on a worker thread. The job writes its file through saveFile or
// saveBytes, so that a cancelled or failed export leaves an old file as it was; it tells how
// far it is and looks whether to stop through the WriteControl it is given.
class ExportRun : public QObject {
    Q_OBJECT
public:
    using Job = std::function<std::optional<QString>(const WriteControl& control)>;

    explicit ExportRun(QObject* parent = nullptr);
    ~ExportRun() override; // cancels an export and waits for it

    // Writes the file at `path`; false while an export runs.
    bool start(const QString& path, Job job);
    bool running() const { return job_.running(); }
    // Asks the export to stop; finished() follows once it has.
    void cancel();
    // Cancels and waits, when the window closes; finished() follows at once.
    void cancelAndWait();
    const ExportOutcome& outcome() const { return outcome_; }

    // Called on the worker before every job (tests hold an export in progress with it).
    void setBeforeJob(std::function<void(const WriteControl&)> hook) {
        beforeJob_ = std::move(hook);
    }

signals:
    // Percent done, each time it grows.
    void progressed(int percent);
    // The export is over; outcome() tells how.
    void finished();

private:
    void jobDone();

    std::atomic<bool> cancel_{false};
    std::atomic<int> percent_{0};
    std::function<void(const WriteControl&)> beforeJob_;
    std::optional<QString> result_;
    ExportOutcome outcome_;
    BackgroundJob job_;
};

} // namespace veltrano
