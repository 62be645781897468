#include "decoder.h"

namespace veltrano {

void Samples::recreate() {
    if (!spanningpuntenarray) {
        spanningpuntenarray = makeZeroBuffer<float>(kSampleCapacity);
        spanningtijdenarray = makeZeroBuffer<float>(kSampleCapacity);
        temperatuurpuntenarray = makeZeroBuffer<float>(kSampleCapacity);
        temperatuurtijdenarray = makeZeroBuffer<float>(kSampleCapacity);
    } else {
        // Only entries 1..C and 1..D were ever written: zeroing them gives arrays as new,
        // without faulting in fresh pages on every run.
        std::memset(spanningpuntenarray.get(), 0, sizeof(float) * std::size_t(C + 1));
        std::memset(spanningtijdenarray.get(), 0, sizeof(float) * std::size_t(C + 1));
        std::memset(temperatuurpuntenarray.get(), 0, sizeof(float) * std::size_t(D + 1));
        std::memset(temperatuurtijdenarray.get(), 0, sizeof(float) * std::size_t(D + 1));
    }
    C = 0;
    D = 0;
    spanningbeginpuntarray.fill(0.0);
    beginPoints = 0;
    droppedBeginPoints = 0;
}

} // namespace veltrano
