#include "chart/updater.h"

#include <QProgressBar>

namespace veltrano {

PeriodicUpdater::PeriodicUpdater(Job doStuff, Job grafiektekenen, std::chrono::milliseconds cycle,
                                 QObject* parent)
    : QObject(parent), doStuff_(std::move(doStuff)), fill_(std::move(grafiektekenen)) {
    timer_.setInterval(cycle);
    connect(&timer_, &QTimer::timeout, this, &PeriodicUpdater::cycle);
}

void PeriodicUpdater::cycle() {
    doStuff_();
    fill_();
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
