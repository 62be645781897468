#pragma once

#include <array>
#include <optional>

#include <QPoint>
#include <QRect>

class QCustomPlot;

namespace veltrano {

class AxisModel;

// Zooming and panning on the axis model: the rectangle zoom of all three axes, the wheel
// zoom of the bottom axis around a moment, panning of the bottom axis, and the undo of
// every zoom since the first, back to the ranges and automatic states from before it.
class ChartZoom {
public:
    // Wheel: a notch (120 eighths of a degree) away from the user narrows the window to this
    // share, towards the user widens it as much; Shift + a notch pans by kPanShare of it.
    static constexpr double kWheelShare = 0.8;
    static constexpr double kPanShare = 0.1;
    static constexpr int kMinimumZoomPixels = 16;

    ChartZoom(AxisModel& bottom, AxisModel& left, AxisModel& right, QCustomPlot* plot);

    enum class Drag { None, Zoom, Undo };
    // What a left-button drag from `from` to `to` does: towards the lower right it zooms,
    // towards the upper left it undoes, at least kMinimumZoomPixels either way.
    static Drag dragKind(QPoint from, QPoint to);

    void zoomTo(const QRect& pixels);
    // Around the time t (under the mouse); false when the window would become too narrow or
    // not finite.
    bool wheelZoomAt(double t, double notches);
    void pan(double units);
    // Back to the state before the first zoom; false when there was no zoom.
    bool undo();
    bool zoomed() const { return saved_.has_value(); }

    // Bottom-axis value at pixel column px, from the axis model itself (the plot's own axis
    // may not have been drawn with the latest range yet).
    double timeAt(double px) const;

private:
    struct AxisState {
        double min, max;
        bool autoMin, autoMax;
    };
    void remember();

    AxisModel& bottom_;
    AxisModel& left_;
    AxisModel& right_;
    QCustomPlot* plot_;
    std::optional<std::array<AxisState, 3>> saved_;
};

} // namespace veltrano
