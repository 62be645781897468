#pragma once

#include <QObject>

namespace veltrano {

// One chart axis: its two ends and whether each end follows the data. An automatic end
// is recomputed from the shown points at every drawing (applyAutomatic), overriding any
// value set explicitly in between.
class AxisModel : public QObject {
    Q_OBJECT
public:
    explicit AxisModel(QObject* parent = nullptr) : QObject(parent) {}

    double minimum() const { return min_; }
    double maximum() const { return max_; }
    bool automaticMinimum() const { return autoMin_; }
    bool automaticMaximum() const { return autoMax_; }

    // One end at a time; refused (false, nothing changes) when it would cross the other
    // end. Equal ends are accepted.
    bool setMinimum(double value);
    bool setMaximum(double value);
    // Both ends in one step, in either order; both ends become fixed.
    void setMinMax(double a, double b);
    // Both ends in one step, in either order, leaving the automatic flags as they are.
    void moveTo(double a, double b);
    // Moves the window by delta, keeping its width and the automatic flags.
    void shift(double delta) { moveTo(min_ + delta, max_ + delta); }

    void setAutomaticMinimum(bool on);
    void setAutomaticMaximum(bool on);
    void setAutomatic(bool on);

    // Called by the chart before it draws: replaces the automatic ends by the data extent.
    void applyAutomatic(double dataMin, double dataMax);

signals:
    void changed();

private:
    double min_ = 0.0;
    double max_ = 0.0;
    bool autoMin_ = true;
    bool autoMax_ = true;
};

// The ranges of the whole recording, restored by the navigation.
struct FullView {
    double timeMin = 0.0; // the bottom axis
    double timeMax = 0.0;
    double voltageMin = 0.0; // the left axis
    double voltageMax = 0.0;
    double temperatureMin = 0.0; // the right axis
    double temperatureMax = 0.0;
};

} // namespace veltrano
