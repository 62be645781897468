#include "chart/axis.h"

#include <algorithm>

namespace veltrano {

bool AxisModel::setMinimum(double value) {
    if (value > max_) {
        return false;
    }
    min_ = value;
    emit changed();
    return true;
}

bool AxisModel::setMaximum(double value) {
    if (value < min_) {
        return false;
    }
    max_ = value;
    emit changed();
    return true;
}

void AxisModel::setMinMax(double a, double b) {
    autoMin_ = false;
    autoMax_ = false;
    moveTo(a, b);
}

void AxisModel::moveTo(double a, double b) {
    min_ = std::min(a, b);
    max_ = std::max(a, b);
    emit changed();
}

void AxisModel::setAutomaticMinimum(bool on) {
    autoMin_ = on;
    emit changed();
}

void AxisModel::setAutomaticMaximum(bool on) {
    autoMax_ = on;
    emit changed();
}

void AxisModel::setAutomatic(bool on) {
    autoMin_ = on;
    autoMax_ = on;
    emit changed();
}

void AxisModel::applyAutomatic(double dataMin, double dataMax) {
    // No signal: this runs inside a drawing and must not ask for another one.
    if (autoMin_) {
        min_ = dataMin;
    }
    if (autoMax_) {
        max_ = dataMax;
    }
}

} // namespace veltrano
