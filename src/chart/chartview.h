#pragma once

#include <array>
#include <optional>
#include <span>
#include <vector>

#include <QWidget>

#include "chart/axis.h"
#include "chart/envelope.h"

class QCheckBox;
class QCPGraph;
class QCPItemStraightLine;
class QCPItemText;
class QCustomPlot;
class QLabel;
class QCPPainter;

namespace veltrano {

class BeginPointLines;
class ChartPlot;
class EnvelopeSeries;
class ZoomBand;

// What a chart fill reads. The sample arrays are the caller's, used from entry 1 to the
// count (entry 0 unused); they must stay alive until the next fill.
struct ChartFill {
    const float* spanningtijdenarray = nullptr;
    const float* spanningpuntenarray = nullptr;
    int C = 0;
    const float* temperatuurtijdenarray = nullptr;
    const float* temperatuurpuntenarray = nullptr;
    int D = 0;
    std::span<const double> spanningbeginpuntarray; // seconds; copied
    double overspanning = 0.0;
    double onderspanning = 0.0;
    double temperatuurbovengrens = 0.0;
    double temperatuurondergrens = 0.0;
};

// The measurement chart: voltage, temperature and the four limits against time, with
// begin-point lines, mouse zoom, two measuring lines and a value tip.
class ChartView : public QWidget {
    Q_OBJECT
public:
    enum Series {
        Series1, // "Spanning"
        Series2, // "Temperatuur"
        Series3, // "Overspanning"
        Series4, // "Onderspanning"
        Series5, // "Overtemperatuur"
        Series6, // "Ondertemperatuur"
        SeriesCount
    };
    static constexpr int kBeginPoints = 2048;
    static constexpr int kMinimumZoomPixels = 16;

    explicit ChartView(QWidget* parent = nullptr);
    ~ChartView() override;

    AxisModel& bottomAxis() { return bottom_; }
    AxisModel& leftAxis() { return left_; }
    AxisModel& rightAxis() { return right_; }
    FullView fullView;

    QCheckBox* MarkerCheckBox = nullptr;
    QLabel* Label2 = nullptr;

    QCustomPlot* plot() const;
    QCheckBox* legendCheckBox(Series s) const { return legendBoxes_[s]; }
    QString seriesTitle(Series s) const;
    bool seriesShown(Series s) const;

    // Time unit by its position in "Tijdeenheid": axis title, begin-point divisor, readout.
    void setUnit(int index);
    int unit() const { return unit_; }

    // Steps of a processing run, in the order the window calls them.
    void startProcessing(int unitIndex);
    void finishRecording(double lowestVoltage, double highestVoltage, double lowestTemperature,
                         double highestTemperature, double lastVoltageTime);
    void endProcessing();
    // Fills the chart from the sample arrays (the periodic fill when one is due).
    void fill(const ChartFill& data);

    // While on, every change of the axes or series redraws the chart (coalesced).
    void setAutoRepaint(bool on);
    bool autoRepaint() const { return autoRepaint_; }
    void redraw();

    // Threshold line of Series3..Series6: its two points, empty when not drawn.
    std::vector<std::pair<double, double>> thresholdLine(Series s) const;
    const Envelope& envelope(Series s) const; // Series1 or Series2

    // Measuring lines (1 = ChartTool9, 2 = ChartTool10).
    bool markersActive() const;
    double measuringLine(int line) const;
    void setMeasuringLine(int line, double x);
    bool lineLabelsVisible() const;
    QString lineLabel(int line) const;
    void uncheckMarkers();

    // Mouse zoom in plot-widget pixels, from press point to release point.
    void dragRectangle(QPoint from, QPoint to);
    bool isZoomed() const { return zoomSaved_.has_value(); }
    // y value of the shown point nearest to pos (within a few pixels), for the value tip.
    std::optional<double> valueAt(QPointF pos) const;
    void showValueTip(QPoint pos);

    // Draws the chart, with a legend of the shown series at its foot, into target on an
    // active painter (a printer or an image), laid out at that device's resolution.
    void paintOn(QCPPainter& painter, const QRect& target);

signals:
    void zoomed();
    void zoomUndone();

public slots:
    void MarkerCheckBoxClick();
    void Chart1Zoom();
    void Chart1UndoZoom();
    void ChartTool9BeginDragLine();
    void ChartTool9EndDragLine();

private:
    friend class ChartPlot;
    struct AxisState {
        double min, max;
        bool autoMin, autoMax;
    };

    void syncAxes();
    void axisChanged();
    void placeLines();
    void zoomTo(const QRect& r);
    void undoZoom();
    int lineNear(double px) const;
    void dragLineTo(int line, double px);
    void updateLineLabels();

    AxisModel bottom_, left_, right_;
    ChartPlot* plot_ = nullptr;
    EnvelopeSeries* samples_[2] = {};
    QCPGraph* thresholds_[4] = {};
    BeginPointLines* beginLines_ = nullptr;
    ZoomBand* band_ = nullptr;
    QCPItemStraightLine* lines_[2] = {};
    QCPItemText* labels_[2] = {};
    double lineX_[2] = {0.0, 0.0};
    std::array<QCheckBox*, SeriesCount> legendBoxes_{};
    std::optional<std::array<AxisState, 3>> zoomSaved_;
    int unit_ = 1;
    bool autoRepaint_ = true;
};

} // namespace veltrano
