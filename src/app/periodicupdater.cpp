#include "periodicupdater.h"

#include <QProgressBar>

namespace veltrano {

PeriodicUpdater::PeriodicUpdater(Job stepBars, Job fillChart, std::chrono::milliseconds cycle,
                                 QObject* parent)
    : QObject(parent), stepBars_(std::move(stepBars)), fillChart_(std::move(fillChart)) {
    timer_.setInterval(cycle);
    connect(&timer_, &QTimer::timeout, this, &PeriodicUpdater::cycle);
}

void PeriodicUpdater::cycle() {
    stepBars_();
    fillChart_();
}

void stepProgressBar(QProgressBar& bar, bool finished) {
    if (!finished) {
        bar.show();
    } else if (bar.value() >= 100) {
        bar.hide();
    } else {
        bar.setValue(bar.value() + 1);
    }
}

} // namespace veltrano
