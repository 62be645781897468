#pragma once

#include <memory>

#include <QSemaphore>

#include "analysis/processing.h"
#include "app/exportrun.h"
#include "app/processingrun.h"

namespace veltrano::testing {

// Holds processing runs at their start: a run started while held waits there until
// release() (or until it is cancelled, which it then sees at its first progress report).
class HeldRuns {
public:
    explicit HeldRuns(ProcessingRun& run) : run_(run) {}
    ~HeldRuns() { release(); }

    void hold() {
        auto gate = std::make_shared<QSemaphore>();
        gate_ = gate;
        ProcessingRun* run = &run_;
        run_.setProcessFunction([gate, run](const std::uint8_t* image,
                                            const ProcessingSettings& settings, DecoderState& state,
                                            ProcessingResult& result,
                                            const ProgressCallback& progress) {
            while (!gate->tryAcquire(1, 5) && !run->cancelRequested()) {
            }
            return processImage(image, settings, state, result, progress);
        });
    }
    void release() {
        run_.setProcessFunction(processImage);
        if (gate_)
            gate_->release();
        gate_.reset();
    }

private:
    ProcessingRun& run_;
    std::shared_ptr<QSemaphore> gate_;
};

// Holds exports before they write: an export started while held waits until release() (or
// until it is cancelled).
class HeldExports {
public:
    explicit HeldExports(ExportRun& run) : run_(run) {}
    ~HeldExports() { release(); }

    void hold() {
        auto gate = std::make_shared<QSemaphore>();
        gate_ = gate;
        run_.setBeforeJob([gate](const WriteControl& control) {
            while (!gate->tryAcquire(1, 5) && !control.stopRequested()) {
            }
        });
    }
    void release() {
        run_.setBeforeJob({});
        if (gate_)
            gate_->release();
        gate_.reset();
    }

private:
    ExportRun& run_;
    std::shared_ptr<QSemaphore> gate_;
};

} // namespace veltrano::testing
