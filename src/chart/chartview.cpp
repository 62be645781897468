#include "chart/chartview.h"

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPicture>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include "chart/envelopeseries.h"
#include "chart/highlight.h"
#include "chart/interaction.h"
#include "chart/layers.h"
#include "chart/legend.h"
#include "chart/measuringlines.h"
#include "chart/serieslook.h"
#include "chart/thresholds.h"
#include "chart/windowgrey.h"
#include "recording/decoder.h"
#include "recording/timeunits.h"

namespace veltrano {

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chart"));
    useWindowGrey(*this);

    auto* top = new QHBoxLayout;
    markersBox_ = new QCheckBox(QStringLiteral("Markers"), this);
    markersBox_->setObjectName(QStringLiteral("markersBox"));
    lineDistance_ = new QLabel(this);
    lineDistance_->setObjectName(QStringLiteral("lineDistanceLabel"));
    top->addWidget(markersBox_);
    top->addSpacing(12);
    top->addWidget(lineDistance_);
    top->addStretch();

    plot_ = new ChartPlot(this);
    QCPAxis* x = plot_->xAxis;
    QCPAxis* yl = plot_->yAxis;
    QCPAxis* yr = plot_->yAxis2;
    for (int i = 0; i < 2; ++i) {
        samples_[i] = new EnvelopeSeries(x, kSeriesLook[i].right ? yr : yl);
    }
    thresholds_ = std::make_unique<ThresholdLines>(x, yl, yr);
    for (int s = 0; s < SeriesCount; ++s) {
        plottable(s)->setAntialiased(false);
        plottable(s)->setName(QString::fromUtf8(kSeriesLook[s].title));
        plottable(s)->setPen(QPen(kSeriesLook[s].colour, 1));
    }
    beginLines_ = new BeginPointLines(plot_, x, kBeginPointCapacity);
    band_ = new ZoomBand(plot_);

    lines_ = std::make_unique<MeasuringLines>(plot_, plot_->textFont());
    zoom_ = std::make_unique<ChartZoom>(bottom_, left_, right_, plot_);

    legend_ = new LegendRow(this);
    highlight_ = std::make_unique<SeriesHighlight>(samples_, thresholds_->lines(),
                                                   [this](int s) { return legend_->shown(s); });
    connect(legend_, &LegendRow::shownChanged, this, [this](int s, bool on) {
        plottable(s)->setVisible(on);
        if (!on && highlight_->current() == s) {
            setHighlight(std::nullopt);
        }
        axisChanged();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(plot_, 1);
    layout->addWidget(legend_);

    connect(markersBox_, &QCheckBox::toggled, this, &ChartView::markersToggled);
    connect(plot_, &ChartPlot::leftPressed, this, &ChartView::startDrag);
    connect(plot_, &ChartPlot::leftDragged, this, &ChartView::continueDrag);
    connect(plot_, &ChartPlot::leftReleased, this, &ChartView::finishDrag);
    connect(plot_, &ChartPlot::middleDragged, this, &ChartView::panByPixels);
    connect(plot_, &ChartPlot::wheelTurned, this, &ChartView::zoomOrPanByWheel);
    connect(plot_, &ChartPlot::hovered, this, &ChartView::highlightAt);
    connect(plot_, &ChartPlot::navigationRequested, this, &ChartView::navigationRequested);
    plot_->setOverlay([this](QPainter& painter) { paintHighlight(painter); });
    for (AxisModel* a : {&bottom_, &left_, &right_}) {
        connect(a, &AxisModel::changed, this, &ChartView::axisChanged);
    }
    connect(plot_, &QCustomPlot::beforeReplot, this, &ChartView::syncAxes);
    left_.setAutomatic(false);
    right_.setAutomatic(false);
    // The axis title appears with the first processing run.
    beginLines_->setDivisor(kTimeUnits[unit_].divisor);
}

ChartView::~ChartView() = default;

QCPAbstractPlottable* ChartView::plottable(int s) const {
    return s < 2 ? static_cast<QCPAbstractPlottable*>(samples_[s]) : thresholds_->line(s - 2);
}

QCustomPlot* ChartView::plot() const {
    return plot_;
}

QString ChartView::axisTitle(Axis axis) const {
    return plot_->titles()->title(axis == Axis::Bottom ? plot_->xAxis
                                  : axis == Axis::Left ? plot_->yAxis
                                                       : plot_->yAxis2);
}

QCheckBox* ChartView::legendCheckBox(Series s) const {
    return legend_->checkBox(s);
}

bool ChartView::seriesShown(Series s) const {
    return legend_->shown(s);
}

void ChartView::setUnit(int index) {
    unit_ = std::clamp(index, 0, int(kTimeUnits.size()) - 1);
    plot_->titles()->setTitle(plot_->xAxis, QString::fromUtf8(kTimeUnits[unit_].plural));
    beginLines_->setDivisor(kTimeUnits[unit_].divisor);
    axisChanged();
    reportLines();
}

void ChartView::startProcessing(int unitIndex) {
    uncheckMarkers();
    setAutoRepaint(false);
    setUnit(unitIndex);
    bottom_.setAutomatic(true);
}

void ChartView::finishRecording(double lowestVoltage, double highestVoltage,
                                double lowestTemperature, double highestTemperature,
                                double lastVoltageTime) {
    left_.setMinMax(lowestVoltage - 2, highestVoltage + 2);
    right_.setMinMax(lowestTemperature - 2, highestTemperature + 2);
    thresholds_->clear();
    fullView_.timeMax = lastVoltageTime;
}

void ChartView::endProcessing() {
    uncheckMarkers();
    setAutoRepaint(true);
}

ChartPyramids buildPyramids(const ChartFill& data) {
    ChartPyramids p;
    if (data.voltageSampleCount > 0 && data.voltageTimes && data.voltageValues) {
        p.voltage.build(data.voltageTimes + 1, data.voltageValues + 1,
                        std::size_t(data.voltageSampleCount));
    }
    if (data.temperatureSampleCount > 0 && data.temperatureTimes && data.temperatureValues) {
        p.temperature.build(data.temperatureTimes + 1, data.temperatureValues + 1,
                            std::size_t(data.temperatureSampleCount));
    }
    return p;
}

void ChartView::fill(const ChartFill& data) {
    fill(data, buildPyramids(data));
}

void ChartView::fill(const ChartFill& data, ChartPyramids pyramids) {
    setAutoRepaint(false);
    Envelope& v = samples_[0]->envelope;
    Envelope& t = samples_[1]->envelope;
    v = std::move(pyramids.voltage);
    t = std::move(pyramids.temperature);
    const bool haveVoltage = !v.empty();
    beginLines_->setSeconds(data.beginPointSeconds);

    // The full view starts at the run's first sample, wherever the view stood when the run
    // began (the bottom axis is automatic then, but has not been drawn with the new data).
    double first = INFINITY, lo = 0, hi = 0;
    for (const Envelope* e : {&v, &t}) {
        first = e->timeExtent(lo, hi) ? std::min(first, lo) : first;
    }
    fullView_.timeMin = std::isfinite(first) ? first : 0.0;

    thresholds_->set(v, t, data.limits);
    if (haveVoltage) {
        fullView_.voltageMin = left_.minimum();
        fullView_.voltageMax = left_.maximum();
        fullView_.temperatureMin = right_.minimum();
        fullView_.temperatureMax = right_.maximum();
    }
    setAutoRepaint(true);
}

void ChartView::setAutoRepaint(bool on) {
    autoRepaint_ = on;
    if (on) {
        plot_->replot(QCustomPlot::rpQueuedReplot);
    }
}

void ChartView::redraw() {
    plot_->replot(QCustomPlot::rpRefreshHint);
}

void ChartView::axisChanged() {
    if (autoRepaint_) {
        plot_->replot(QCustomPlot::rpQueuedReplot);
    }
}

void ChartView::syncAxes() {
    // The automatic ends follow the shown series.
    struct Extent {
        double lo = INFINITY, hi = -INFINITY;
        void add(const QCPRange& r) {
            lo = std::min(lo, r.lower);
            hi = std::max(hi, r.upper);
        }
        void applyTo(AxisModel& axis) const {
            if (lo <= hi) {
                axis.applyAutomatic(lo, hi);
            }
        }
    } x, l, r;
    for (int s = 0; s < SeriesCount; ++s) {
        bool found = false;
        const QCPRange keys = plottable(s)->getKeyRange(found);
        if (legend_->shown(s) && found) {
            x.add(keys);
            (kSeriesLook[s].right ? r : l).add(plottable(s)->getValueRange(found));
        }
    }
    x.applyTo(bottom_);
    l.applyTo(left_);
    r.applyTo(right_);
    plot_->showRanges(bottom_, left_, right_);
    lines_->sync();
}

std::vector<std::pair<double, double>> ChartView::thresholdLine(Series s) const {
    return s < OverVoltageLimit ? std::vector<std::pair<double, double>>{}
                                : thresholds_->line(s - 2)->points();
}

const Envelope& ChartView::envelope(Series s) const {
    return samples_[s == Temperature ? 1 : 0]->envelope;
}

bool ChartView::markersActive() const {
    return lines_->active();
}

double ChartView::measuringLine(int line) const {
    return lines_->x(line == 2 ? 1 : 0);
}

void ChartView::setMeasuringLine(int line, double x) {
    lines_->setX(line == 2 ? 1 : 0, x);
    lineDragEnded();
}

bool ChartView::lineLabelsVisible() const {
    return lines_->labelsVisible();
}

QString ChartView::lineLabel(int line) const {
    return lines_->label(line == 2 ? 1 : 0);
}

void ChartView::uncheckMarkers() {
    markersBox_->setChecked(false);
}

QString ChartView::lineDistance() const {
    return lineDistance_->text();
}

void ChartView::markersToggled(bool on) {
    if (on) {
        lines_->place(bottom_.minimum(), bottom_.maximum());
        lines_->updateLabels(QLocale());
    }
    lines_->setActive(on);
    axisChanged();
    reportLines();
}

// After every zoom: the lines stay in the view, whether they are shown or not.
void ChartView::placeLinesInView() {
    lines_->place(bottom_.minimum(), bottom_.maximum());
    lines_->updateLabels(QLocale());
    axisChanged();
    reportLines();
}

void ChartView::lineDragStarted() {
    lines_->setLabelsVisible(false);
    axisChanged();
}

void ChartView::lineDragEnded() {
    lines_->updateLabels(QLocale());
    lines_->setLabelsVisible(true);
    lineDistance_->setText(
        lines_->readout(QLocale(), QString::fromUtf8(kTimeUnits[std::size_t(unit_)].plural)));
    axisChanged();
    reportLines();
}

void ChartView::reportLines() {
    emit measuringLinesMoved(lines_->x(0), lines_->x(1));
}

void ChartView::record(QPicture& picture, QSize size) {
    syncAxes();
    std::vector<QCPAbstractPlottable*> shown;
    for (int s = 0; s < SeriesCount; ++s) {
        if (legend_->shown(s)) {
            shown.push_back(plottable(s));
        }
    }
    {
        const PaperLegend legend(plot_, shown);
        QCPPainter painter(&picture);
        // Drawn afresh as vectors: the screen's cached pixmaps stay the screen's.
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        plot_->toPainter(&painter, size.width(), size.height());
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace veltrano
