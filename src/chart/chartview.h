#pragma once

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include <QWidget>

#include "chart/axis.h"
#include "chart/envelope.h"
#include "chart/zoom.h"

class QCheckBox;
class QCPAbstractPlottable;
class QCPPainter;
class QCustomPlot;
class QLabel;
class QPicture;
class QPainter;

namespace veltrano {

class BeginPointLines;
class ChartPlot;
class EnvelopeSeries;
class LegendRow;
class MeasuringLines;
class SeriesHighlight;
class ThresholdLines;
class ZoomBand;

// What a chart fill reads. The sample arrays are the caller's, used from entry 1 to the
// count (entry 0 unused); they must stay alive until the next fill.
struct ChartFill {
    const float* voltageTimes = nullptr;
    const float* voltageValues = nullptr;
    int voltageSampleCount = 0;
    const float* temperatureTimes = nullptr;
    const float* temperatureValues = nullptr;
    int temperatureSampleCount = 0;
    std::span<const double> beginPointSeconds; // copied
    // Over-voltage, under-voltage, over-temperature and under-temperature, in the order of
    // their FilterField.
    std::array<double, 4> limits{};
};

// The chart's pyramids of a fill, built where it suits the caller: a run builds them on its
// worker, so that the UI thread only takes them over.
struct ChartPyramids {
    Envelope voltage;
    Envelope temperature;
};
ChartPyramids buildPyramids(const ChartFill& data);

// The measurement chart: voltage, temperature and the four limits against time, with
// begin-point lines, zooming and panning, two measuring lines, a value tip and a highlight of
// the series under the mouse.
class ChartView : public QWidget {
    Q_OBJECT
public:
    // In legend order.
    enum Series {
        Voltage,
        Temperature,
        OverVoltageLimit,
        UnderVoltageLimit,
        OverTemperatureLimit,
        UnderTemperatureLimit,
        SeriesCount
    };
    // What the navigation keys ask of the navigation group.
    enum class Navigation { First, Previous, Next, FullView };
    static constexpr int kMinimumZoomPixels = ChartZoom::kMinimumZoomPixels;

    explicit ChartView(QWidget* parent = nullptr);
    ~ChartView() override;

    AxisModel& bottomAxis() { return bottom_; }
    AxisModel& leftAxis() { return left_; }
    AxisModel& rightAxis() { return right_; }
    // The whole recording, restored by the navigation. The bottom range comes from the data
    // of the latest run: its first sample (at the fill) to its last voltage time.
    const FullView& fullView() const { return fullView_; }
    void setFullView(const FullView& view) { fullView_ = view; }

    // "Markers": shows the two measuring lines.
    QCheckBox* markersCheckBox() const { return markersBox_; }
    // The distance between the measuring lines after the last drag, with the unit.
    QString lineDistance() const;

    QCustomPlot* plot() const;
    enum class Axis { Bottom, Left, Right };
    QString axisTitle(Axis axis) const;
    QCheckBox* legendCheckBox(Series s) const;
    bool seriesShown(Series s) const;

    // Time unit by its position in "Tijdeenheid": axis title, begin-point divisor, readout.
    void setUnit(int index);
    int unit() const { return unit_; }

    // Steps of a processing run, in the order the window calls them.
    void startProcessing(int unitIndex);
    void finishRecording(double lowestVoltage, double highestVoltage, double lowestTemperature,
                         double highestTemperature, double lastVoltageTime);
    void endProcessing();
    // Fills the chart from the sample arrays.
    void fill(const ChartFill& data);
    // The same with the pyramids of `data` built beforehand.
    void fill(const ChartFill& data, ChartPyramids pyramids);

    void redraw();

    // Threshold line of a limit series: its two points, empty when not drawn.
    std::vector<std::pair<double, double>> thresholdLine(Series s) const;
    const Envelope& envelope(Series s) const; // Voltage or Temperature

    // Measuring lines 1 and 2.
    bool markersActive() const;
    double measuringLine(int line) const;
    // Puts a line at x, as a drag of it that ends there would: labels and readout follow.
    void setMeasuringLine(int line, double x);
    bool lineLabelsVisible() const;
    QString lineLabel(int line) const;
    void uncheckMarkers();

    // Moves the view sideways so that its middle is at `time`, keeping its width, as panning
    // with the middle button does.
    void centreViewAt(double time);
    // A wheel turn with the mouse over `time`: what the wheel does over the chart, at a time
    // instead of a pixel column.
    void wheelAtTime(double time, double notches, bool sideways);

    // Mouse zoom in plot-widget pixels, from press point to release point.
    void dragRectangle(QPoint from, QPoint to);
    bool isZoomed() const;
    // y value of the shown point nearest to pos (within a few pixels), for the value tip.
    std::optional<double> valueAt(QPointF pos) const;
    void showValueTip(QPoint pos);

    // The series under the mouse, drawn with a wider pen and lit in the legend.
    std::optional<Series> highlighted() const;
    bool legendHighlighted(Series s) const;

    // Records the chart as shown, with a legend of the shown series at its foot, laid out at
    // `size` logical pixels, as vectors for paper or a picture file.
    void record(QPicture& picture, QSize size);

signals:
    void zoomed();
    void zoomUndone();
    // The bottom axis was moved sideways with the wheel or the middle button.
    void panned();
    // A navigation key was pressed while the chart had the focus.
    void navigationRequested(ChartView::Navigation request);
    // Where the measuring lines 1 and 2 stand: at every step of a drag, when they are placed
    // (the check box, a zoom, setMeasuringLine) and when the unit changes.
    void measuringLinesMoved(double x1, double x2);

private:
    // What the plot's mouse reports means here: a measuring line or a zoom band follows a
    // left drag, the middle button and the wheel pan or zoom, a resting mouse highlights.
    void startDrag(QPoint at);
    void continueDrag(QPoint from, QPoint to);
    void finishDrag(QPoint from, QPoint to);
    void panByPixels(double pixels);
    void zoomOrPanByWheel(double px, double notches, bool sideways);
    void reportLines();
    void highlightAt(std::optional<QPointF> pos);
    void paintHighlight(QPainter& painter);

    void markersToggled(bool on);
    void placeLinesInView();
    void lineDragStarted();
    void lineDragEnded();
    void pan(double units);
    void setHighlight(std::optional<int> series);
    void syncAxes();
    void axisChanged();
    void setAutoRepaint(bool on);
    QCPAbstractPlottable* plottable(int s) const;

    AxisModel bottom_, left_, right_;
    FullView fullView_;
    QCheckBox* markersBox_ = nullptr;
    QLabel* lineDistance_ = nullptr;
    ChartPlot* plot_ = nullptr;
    std::array<EnvelopeSeries*, 2> samples_{};
    std::unique_ptr<ThresholdLines> thresholds_;
    BeginPointLines* beginLines_ = nullptr;
    ZoomBand* band_ = nullptr;
    LegendRow* legend_ = nullptr;
    std::unique_ptr<MeasuringLines> lines_;
    std::unique_ptr<ChartZoom> zoom_;
    std::unique_ptr<SeriesHighlight> highlight_;
    int unit_ = 1;
    bool autoRepaint_ = true;
    // The measuring line a left drag moves, or none: the drag draws a zoom band.
    std::optional<int> draggedLine_;
    bool dragging_ = false;
};

} // namespace veltrano
