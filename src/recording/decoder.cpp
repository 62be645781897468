#include "decoder.h"

namespace veltrano {

void Samples::recreate() {
    spanningpuntenarray = makeZeroBuffer<float>(kSampleCapacity);
    spanningtijdenarray = makeZeroBuffer<float>(kSampleCapacity);
    temperatuurpuntenarray = makeZeroBuffer<float>(kSampleCapacity);
    temperatuurtijdenarray = makeZeroBuffer<float>(kSampleCapacity);
    C = 0;
    D = 0;
    spanningbeginpuntarray.fill(0.0);
    beginPoints = 0;
    droppedBeginPoints = 0;
}

} // namespace veltrano
