#pragma once

#include <chrono>
#include <functional>

#include <QObject>
#include <QTimer>

class QProgressBar;

namespace veltrano {

// The main window's periodic updater: once per cycle, on the UI thread, the progress bars'
// step and then the chart fill when one is due. It touches no data itself.
class PeriodicUpdater : public QObject {
    Q_OBJECT
public:
    using Job = std::function<void()>;
    static constexpr std::chrono::milliseconds kCycle{20};

    PeriodicUpdater(Job stepBars, Job fillChart, std::chrono::milliseconds cycle = kCycle,
                    QObject* parent = nullptr);

    void start() { timer_.start(); }
    void stop() { timer_.stop(); }
    bool isActive() const { return timer_.isActive(); }
    // One cycle now: both jobs, in order.
    void cycle();

private:
    Job stepBars_;
    Job fillChart_;
    QTimer timer_;
};

// One progress bar's step of a cycle: once its work is finished the bar runs up to 100
// one step per cycle and then hides; while the work runs it is shown.
void stepProgressBar(QProgressBar& bar, bool finished);

} // namespace veltrano
