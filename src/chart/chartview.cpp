#include "chart/chartview.h"

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include "chart/envelopeseries.h"
#include "chart/highlight.h"
#include "chart/interaction.h"
#include "chart/layers.h"
#include "chart/legend.h"
#include "chart/measuringlines.h"
#include "chart/printing.h"
#include "chart/serieslook.h"
#include "chart/thresholds.h"
#include "recording/timeunits.h"

namespace veltrano {

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Chart1"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kChartBackground);
    setPalette(pal);

    auto* top = new QHBoxLayout;
    MarkerCheckBox = new QCheckBox(QStringLiteral("Markers"), this);
    MarkerCheckBox->setObjectName(QStringLiteral("MarkerCheckBox"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    top->addWidget(MarkerCheckBox);
    top->addSpacing(12);
    top->addWidget(Label2);
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
    beginLines_ = new BeginPointLines(plot_, x, kBeginPoints);
    band_ = new ZoomBand(plot_);

    lines_ = std::make_unique<MeasuringLines>(plot_, plot_->textFont());
    zoom_ = std::make_unique<ChartZoom>(bottom_, left_, right_, plot_);

    legend_ = new LegendRow(this);
    highlight_ = std::make_unique<SeriesHighlight>(samples_, thresholds_->lines(),
                                                   [this](int s) { return legend_->shown(s); });
    connect(legend_, &LegendRow::shownChanged, this, [this](int s, bool on) {
        plottable(s)->setVisible(on);
        if (!on && highlight_->current() == s) {
            plot_->setHighlight(std::nullopt);
        }
        axisChanged();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(plot_, 1);
    layout->addWidget(legend_);

    connect(MarkerCheckBox, &QCheckBox::toggled, this, &ChartView::MarkerCheckBoxClick);
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

QString ChartView::seriesTitle(Series s) const {
    return QString::fromUtf8(kSeriesLook[s].title);
}

bool ChartView::seriesShown(Series s) const {
    return legend_->shown(s);
}

void ChartView::setUnit(int index) {
    unit_ = std::clamp(index, 0, int(kTimeUnits.size()) - 1);
    plot_->titles()->setTitle(plot_->xAxis, QString::fromUtf8(kTimeUnits[unit_].plural));
    beginLines_->setDivisor(kTimeUnits[unit_].divisor);
    axisChanged();
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
    fullView.bottomaxismax = lastVoltageTime;
}

void ChartView::endProcessing() {
    uncheckMarkers();
    setAutoRepaint(true);
}

void ChartView::fill(const ChartFill& data) {
    setAutoRepaint(false);
    const bool haveVoltage = data.C > 0 && data.spanningtijdenarray && data.spanningpuntenarray;
    const bool haveTemperature =
        data.D > 0 && data.temperatuurtijdenarray && data.temperatuurpuntenarray;
    Envelope& v = samples_[0]->envelope;
    Envelope& t = samples_[1]->envelope;
    v.clear();
    t.clear();
    if (haveVoltage) {
        v.build(data.spanningtijdenarray + 1, data.spanningpuntenarray + 1, std::size_t(data.C));
    }
    if (haveTemperature) {
        t.build(data.temperatuurtijdenarray + 1, data.temperatuurpuntenarray + 1,
                std::size_t(data.D));
    }
    beginLines_->setSeconds(data.spanningbeginpuntarray);

    // The full view starts at the run's first sample, wherever the view stood when the run
    // began (the bottom axis is automatic then, but has not been drawn with the new data).
    double first = INFINITY, lo = 0, hi = 0;
    for (const Envelope* e : {&v, &t}) {
        first = e->timeExtent(lo, hi) ? std::min(first, lo) : first;
    }
    fullView.bottomaxismin = std::isfinite(first) ? first : 0.0;

    thresholds_->set(v, t, data.overspanning, data.onderspanning, data.temperatuurbovengrens,
                     data.temperatuurondergrens);
    if (haveVoltage) {
        fullView.leftaxismin = left_.minimum();
        fullView.leftaxismax = left_.maximum();
        fullView.rightaxismin = right_.minimum();
        fullView.rightaxismax = right_.maximum();
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
    return s < Series3 ? std::vector<std::pair<double, double>>{}
                       : thresholds_->line(s - 2)->points();
}

const Envelope& ChartView::envelope(Series s) const {
    return samples_[s == Series2 ? 1 : 0]->envelope;
}

bool ChartView::markersActive() const {
    return lines_->active();
}

double ChartView::measuringLine(int line) const {
    return lines_->x(line == 2 ? 1 : 0);
}

void ChartView::setMeasuringLine(int line, double x) {
    lines_->setX(line == 2 ? 1 : 0, x);
    axisChanged();
}

bool ChartView::lineLabelsVisible() const {
    return lines_->labelsVisible();
}

QString ChartView::lineLabel(int line) const {
    return lines_->label(line == 2 ? 1 : 0);
}

void ChartView::uncheckMarkers() {
    MarkerCheckBox->setChecked(false);
}

void ChartView::MarkerCheckBoxClick() {
    const bool on = MarkerCheckBox->isChecked();
    if (on) {
        lines_->place(bottom_.minimum(), bottom_.maximum());
        lines_->updateLabels(QLocale());
    }
    lines_->setActive(on);
    axisChanged();
}

void ChartView::Chart1Zoom() {
    lines_->place(bottom_.minimum(), bottom_.maximum());
    lines_->updateLabels(QLocale());
    axisChanged();
}

void ChartView::Chart1UndoZoom() {
    Chart1Zoom();
}

void ChartView::ChartTool9BeginDragLine() {
    lines_->setLabelsVisible(false);
    axisChanged();
}

void ChartView::ChartTool9EndDragLine() {
    lines_->updateLabels(QLocale());
    lines_->setLabelsVisible(true);
    Label2->setText(lines_->readout(QLocale(), QString::fromUtf8(kTimeUnits[unit_].plural)));
    axisChanged();
}

bool ChartView::isZoomed() const {
    return zoom_->zoomed();
}

void ChartView::dragRectangle(QPoint from, QPoint to) {
    switch (ChartZoom::dragKind(from, to)) {
    case ChartZoom::Drag::Zoom:
        zoom_->zoomTo(QRect(from, to));
        Chart1Zoom();
        emit zoomed();
        break;
    case ChartZoom::Drag::Undo:
        zoom_->undo();
        Chart1UndoZoom();
        emit zoomUndone();
        break;
    case ChartZoom::Drag::None:
        break;
    }
}

std::optional<double> ChartView::valueAt(QPointF pos) const {
    return plot_->valueAt(pos);
}

void ChartView::showValueTip(QPoint pos) {
    plot_->showValueTip(pos);
}

std::optional<ChartView::Series> ChartView::highlighted() const {
    if (const auto s = highlight_->current()) {
        return Series(*s);
    }
    return std::nullopt;
}

bool ChartView::legendHighlighted(Series s) const {
    return legend_->checkBox(s)->property("highlighted").toBool();
}

void ChartView::paintOn(QCPPainter& painter, const QRect& target) {
    syncAxes();
    std::vector<QCPAbstractPlottable*> shown;
    for (int s = 0; s < SeriesCount; ++s) {
        if (legend_->shown(s)) {
            shown.push_back(plottable(s));
        }
    }
    {
        const PaperLegend legend(plot_, shown);
        drawScaledUp(*plot_, painter, target);
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace veltrano
