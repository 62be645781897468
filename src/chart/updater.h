#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include <QThread>

class QProgressBar;

namespace veltrano {

// The periodic updater: a thread that over and over has the UI thread run the progress
// refresh and then the chart fill, waiting for each. It touches no data itself.
class UpdateThread : public QThread {
    Q_OBJECT
public:
    using Job = std::function<void()>;

    // Create on the UI thread; the jobs run there, in this order, once per cycle.
    UpdateThread(Job doStuff, Job grafiektekenen,
                 std::chrono::milliseconds pause = std::chrono::milliseconds(20),
                 QObject* parent = nullptr);
    ~UpdateThread() override;

    // Ends the cycle and waits for the thread; safe from the UI thread at any moment,
    // also while the thread waits for a job that the UI thread has not run yet.
    void stop();

protected:
    void run() override;

private:
    bool runOnUi(const Job& job);

    Job doStuff_;
    Job fill_;
    std::chrono::milliseconds pause_;
    std::atomic<bool> stopping_{false};
    std::unique_ptr<QObject> receiver_; // lives on the UI thread; posted jobs die with it
};

// One progress bar's step of DoStuff: once its work is finished the bar runs up to 100
// one step per cycle and then hides; while the work runs it is shown.
void stepProgressBar(QProgressBar& bar, bool finished);

} // namespace veltrano
