#include "chart/chartview.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include "analysis/numbers.h"
#include "recording/timeunits.h"

namespace veltrano {

namespace {

const QColor kBackground(160, 160, 164);
const QColor kBeginPointColour(0, 0, 0);

struct SeriesLook {
    const char* title;
    QColor colour;
    bool right;
};
const SeriesLook kLook[ChartView::SeriesCount] = {
    {"Spanning", QColor(255, 0, 0), false},       {"Temperatuur", QColor(0, 128, 255), true},
    {"Overspanning", QColor(128, 64, 64), false}, {"Onderspanning", QColor(0, 128, 128), false},
    {"Overtemperatuur", QColor(0, 255, 0), true}, {"Ondertemperatuur", QColor(255, 128, 0), true},
};

// Whole-number labels, at least one unit apart.
class WholeUnitTicker : public QCPAxisTicker {
protected:
    double getTickStep(const QCPRange& range) override {
        return std::max(1.0, std::ceil(QCPAxisTicker::getTickStep(range)));
    }
};

// Cuts a segment to the rectangle (Liang-Barsky); false when nothing of it is inside.
// Far-away ends would otherwise reach the rasteriser with huge coordinates.
bool clipLine(QLineF& line, const QRectF& r) {
    const double dx = line.dx(), dy = line.dy();
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {line.x1() - r.left(), r.right() - line.x1(), line.y1() - r.top(),
                         r.bottom() - line.y1()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const QPointF a = line.p1();
    line = QLineF(a + QPointF(dx, dy) * t0, a + QPointF(dx, dy) * t1);
    return true;
}

void extend(bool& found, double& lo, double& hi, double a, double b) {
    if (!found) {
        lo = a;
        hi = b;
        found = true;
    } else {
        lo = std::min(lo, a);
        hi = std::max(hi, b);
    }
}

} // namespace

// A sample series drawn from its min/max pyramid: only the reduced points of the visible
// range reach the painter.
class EnvelopeSeries : public QCPAbstractPlottable {
public:
    EnvelopeSeries(QCPAxis* key, QCPAxis* value) : QCPAbstractPlottable(key, value) {}

    Envelope envelope;
    std::vector<Envelope::Point> drawn; // the points of the last drawing

private:
    QVector<QLineF> lines_;
    QVector<QRect> spans_;

public:
    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }
    QCPRange getKeyRange(bool& found, QCP::SignDomain) const override {
        double lo = 0, hi = 0;
        found = envelope.timeExtent(lo, hi);
        return QCPRange(lo, hi);
    }
    QCPRange getValueRange(bool& found, QCP::SignDomain, const QCPRange&) const override {
        double lo = 0, hi = 0;
        found = envelope.valueExtent(lo, hi);
        return QCPRange(lo, hi);
    }

protected:
    void draw(QCPPainter* painter) override {
        QCPAxis* k = keyAxis();
        QCPAxis* v = valueAxis();
        drawn.clear();
        if (!k || !v || envelope.empty()) {
            return;
        }
        const QCPRange range = k->range();
        envelope.reduce(range.lower, range.upper, k->axisRect()->width(), drawn);
        // Stretches of the line that stay inside one pixel column become one filled
        // column of pixels; a run of thousands of samples costs no more than its height.
        // Only the pieces that cross columns are drawn as lines.
        lines_.clear();
        spans_.clear();
        const QRectF bounds = QRectF(clipRect()).adjusted(-2, -2, 2, 2);
        QPointF prev;
        double spanColumn = 0, spanTop = 0, spanBottom = 0;
        bool inSpan = false;
        auto closeSpan = [&] {
            if (inSpan && spanBottom >= bounds.top() && spanTop <= bounds.bottom()) {
                const int top = int(std::floor(std::max(spanTop, bounds.top())));
                const int bottom = int(std::floor(std::min(spanBottom, bounds.bottom())));
                spans_.append(QRect(int(spanColumn), top, 1, bottom - top + 1));
            }
            inSpan = false;
        };
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            const QPointF p(k->coordToPixel(drawn[i].time), v->coordToPixel(drawn[i].value));
            if (i > 0) {
                const double column = std::floor(prev.x());
                const double next = std::floor(p.x());
                const bool near = prev.x() >= bounds.left() && p.x() <= bounds.right();
                if (near && (next == column || next == column + 1)) {
                    if (!inSpan || spanColumn != column) {
                        closeSpan();
                        spanColumn = column;
                        spanTop = spanBottom = prev.y();
                        inSpan = true;
                    }
                    // A step into the next column splits where the line would cross
                    // the column border.
                    const double reach = next == column
                                             ? p.y()
                                             : prev.y() + (p.y() - prev.y()) * (next - prev.x()) /
                                                              (p.x() - prev.x());
                    spanTop = std::min(spanTop, reach);
                    spanBottom = std::max(spanBottom, reach);
                    if (next != column) {
                        closeSpan();
                        spanColumn = next;
                        spanTop = std::min(reach, p.y());
                        spanBottom = std::max(reach, p.y());
                        inSpan = true;
                    }
                } else {
                    closeSpan();
                    QLineF line(prev, p);
                    if (clipLine(line, bounds)) {
                        lines_.append(line);
                    }
                }
            }
            prev = p;
        }
        closeSpan();
        painter->setAntialiasing(false);
        painter->setPen(mPen);
        painter->drawLines(lines_);
        painter->setPen(Qt::NoPen);
        painter->setBrush(mPen.color());
        painter->drawRects(spans_);
    }
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override {
        painter->setPen(mPen);
        painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
    }
};

// The vertical lines at the begin points, redrawn with every drawing of the chart.
class BeginPointLines : public QCPLayerable {
public:
    BeginPointLines(QCustomPlot* plot, QCPAxis* axis)
        : QCPLayerable(plot, QStringLiteral("beginpoints")), axis_(axis) {}
    std::vector<double> seconds = std::vector<double>(ChartView::kBeginPoints, 0.0);
    int divisor = 60;
    QPen pen{kBeginPointColour, 1};

protected:
    QRect clipRect() const override { return axis_->axisRect()->rect(); }
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override {
        painter->setAntialiasing(false);
    }
    void draw(QCPPainter* painter) override {
        const QRect area = axis_->axisRect()->rect();
        std::vector<int> xs;
        xs.reserve(seconds.size());
        for (double s : seconds) {
            const double px = axis_->coordToPixel(s / divisor);
            if (px >= area.left() && px <= area.right()) {
                xs.push_back(int(std::lround(px)));
            }
        }
        std::sort(xs.begin(), xs.end());
        xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
        painter->setPen(pen);
        for (int x : xs) {
            painter->drawLine(QLineF(x, area.top(), x, area.bottom()));
        }
    }

private:
    QCPAxis* axis_;
};

// The red rectangle while the user drags a zoom.
class ZoomBand : public QCPLayerable {
public:
    explicit ZoomBand(QCustomPlot* plot) : QCPLayerable(plot, QStringLiteral("overlay")) {
        setVisible(false);
    }
    QRect rect;

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override {
        painter->setAntialiasing(false);
    }
    void draw(QCPPainter* painter) override {
        painter->setPen(QPen(QColor(255, 0, 0), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.normalized());
    }
};

// The plot widget; all mouse work is ours (zoom band, measuring lines, value tip).
class ChartPlot : public QCustomPlot {
public:
    explicit ChartPlot(ChartView* view) : QCustomPlot(view), view_(view) {}

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) {
            return;
        }
        press_ = e->position().toPoint();
        dragLine_ = view_->lineNear(e->position().x());
        if (dragLine_ >= 0) {
            view_->ChartTool9BeginDragLine();
        } else {
            banding_ = true;
        }
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (dragLine_ >= 0) {
            view_->dragLineTo(dragLine_, e->position().x());
        } else if (banding_) {
            const QPoint p = e->position().toPoint();
            view_->band_->rect = QRect(press_, p);
            view_->band_->setVisible((p - press_).manhattanLength() > 2);
            replot(QCustomPlot::rpQueuedReplot);
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) {
            return;
        }
        const QPoint p = e->position().toPoint();
        if (dragLine_ >= 0) {
            view_->dragLineTo(dragLine_, p.x());
            dragLine_ = -1;
            view_->ChartTool9EndDragLine();
            return;
        }
        if (!banding_) {
            return;
        }
        banding_ = false;
        view_->band_->setVisible(false);
        replot(QCustomPlot::rpQueuedReplot);
        if ((p - press_).manhattanLength() <= 2) {
            view_->showValueTip(p);
        } else {
            view_->dragRectangle(press_, p);
        }
    }

private:
    ChartView* view_;
    QPoint press_;
    int dragLine_ = -1;
    bool banding_ = false;
};

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Chart1"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
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
    plot_->setObjectName(QStringLiteral("Chart1Plot"));
    plot_->setBackground(kBackground);
    QLocale plain;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    plot_->setLocale(plain);
    plot_->setMinimumSize(300, 200);
    // One paint buffer for everything: a second one for the overlay would be cleared at
    // every drawing, and the zoom band can just as well redraw the whole chart.
    plot_->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    plot_->addLayer(QStringLiteral("beginpoints"), plot_->layer(QStringLiteral("main")),
                    QCustomPlot::limAbove);

    QCPAxisRect* rect = plot_->axisRect();
    QCPAxis* x = rect->axis(QCPAxis::atBottom);
    QCPAxis* yl = rect->axis(QCPAxis::atLeft);
    QCPAxis* yr = rect->axis(QCPAxis::atRight);
    yr->setVisible(true);
    yr->setTickLabels(true);
    yl->setLabel(QStringLiteral("Spanning (V)"));
    yr->setLabel(QStringLiteral("temperatuur (°C)"));
    x->setTicker(QSharedPointer<QCPAxisTicker>(new WholeUnitTicker));
    x->setNumberFormat(QStringLiteral("f"));
    x->setNumberPrecision(0);

    for (int i = 0; i < 2; ++i) {
        samples_[i] = new EnvelopeSeries(x, kLook[i].right ? yr : yl);
        samples_[i]->setAntialiased(false);
    }
    for (int i = 0; i < 4; ++i) {
        thresholds_[i] = plot_->addGraph(x, kLook[i + 2].right ? yr : yl);
        thresholds_[i]->setAntialiased(false);
    }
    for (int s = 0; s < SeriesCount; ++s) {
        QCPAbstractPlottable* p =
            s < 2 ? static_cast<QCPAbstractPlottable*>(samples_[s]) : thresholds_[s - 2];
        p->setName(QString::fromUtf8(kLook[s].title));
        p->setPen(QPen(kLook[s].colour, 1));
    }

    beginLines_ = new BeginPointLines(plot_, x);
    band_ = new ZoomBand(plot_);

    for (int i = 0; i < 2; ++i) {
        lines_[i] = new QCPItemStraightLine(plot_);
        lines_[i]->setPen(QPen(QColor(0, 0, 128), 1));
        for (QCPItemPosition* p : {lines_[i]->point1, lines_[i]->point2}) {
            p->setTypeX(QCPItemPosition::ptPlotCoords);
            p->setTypeY(QCPItemPosition::ptAxisRectRatio);
        }
        lines_[i]->point1->setCoords(0, 0);
        lines_[i]->point2->setCoords(0, 1);
        lines_[i]->setVisible(false);
        labels_[i] = new QCPItemText(plot_);
        labels_[i]->position->setTypeX(QCPItemPosition::ptPlotCoords);
        labels_[i]->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        labels_[i]->position->setCoords(0, 0);
        labels_[i]->setPositionAlignment(Qt::AlignTop | Qt::AlignHCenter);
        labels_[i]->setTextAlignment(Qt::AlignCenter);
        labels_[i]->setBrush(QBrush(Qt::white));
        labels_[i]->setPadding(QMargins(3, 1, 3, 1));
        labels_[i]->setText(QStringLiteral("0"));
        labels_[i]->setVisible(false);
        labels_[i]->setClipToAxisRect(false);
    }

    // The plot's own legend only shows on paper; on screen the check boxes are the legend.
    plot_->legend->setVisible(false);

    // Texts get pixel sizes, so that the plot laid out for the screen and scaled up on
    // paper keeps its texts in proportion.
    QFont font = plot_->font();
    if (font.pixelSize() <= 0) {
        font.setPixelSize(qRound(font.pointSizeF() * plot_->logicalDpiY() / 72.0));
    }
    for (QCPAxis* axis : rect->axes()) {
        axis->setLabelFont(font);
        axis->setTickLabelFont(font);
    }
    plot_->legend->setFont(font);
    for (QCPItemText* label : labels_) {
        label->setFont(font);
    }

    auto* legendRow = new QHBoxLayout;
    legendRow->addStretch();
    for (int s = 0; s < SeriesCount; ++s) {
        auto* box = new QCheckBox(QString::fromUtf8(kLook[s].title), this);
        QPixmap swatch(18, 10);
        swatch.fill(Qt::transparent);
        {
            QPainter p(&swatch);
            p.setPen(QPen(kLook[s].colour, 2));
            p.drawLine(0, 5, 18, 5);
        }
        box->setIcon(QIcon(swatch));
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, [this, s](bool on) {
            QCPAbstractPlottable* p =
                s < 2 ? static_cast<QCPAbstractPlottable*>(samples_[s]) : thresholds_[s - 2];
            p->setVisible(on);
            axisChanged();
        });
        legendBoxes_[s] = box;
        legendRow->addWidget(box);
    }
    legendRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(plot_, 1);
    layout->addLayout(legendRow);

    connect(MarkerCheckBox, &QCheckBox::toggled, this, &ChartView::MarkerCheckBoxClick);
    for (AxisModel* a : {&bottom_, &left_, &right_}) {
        connect(a, &AxisModel::changed, this, &ChartView::axisChanged);
    }
    connect(plot_, &QCustomPlot::beforeReplot, this, &ChartView::syncAxes);
    left_.setAutomatic(false);
    right_.setAutomatic(false);
    // The axis title appears with the first processing run.
    beginLines_->divisor = kTimeUnits[unit_].divisor;
}

ChartView::~ChartView() = default;

QCustomPlot* ChartView::plot() const {
    return plot_;
}

QString ChartView::seriesTitle(Series s) const {
    return QString::fromUtf8(kLook[s].title);
}

bool ChartView::seriesShown(Series s) const {
    return legendBoxes_[s]->isChecked();
}

void ChartView::setUnit(int index) {
    unit_ = std::clamp(index, 0, int(kTimeUnits.size()) - 1);
    plot_->xAxis->setLabel(QString::fromUtf8(kTimeUnits[unit_].plural));
    beginLines_->divisor = kTimeUnits[unit_].divisor;
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
    for (QCPGraph* g : thresholds_) {
        g->data()->clear();
    }
    fullView.bottomaxismax = lastVoltageTime;
    fullView.bottomaxismin = bottom_.minimum();
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
    samples_[0]->envelope.clear();
    samples_[1]->envelope.clear();
    if (haveVoltage) {
        samples_[0]->envelope.build(data.spanningtijdenarray + 1, data.spanningpuntenarray + 1,
                                    std::size_t(data.C));
    }
    if (haveTemperature) {
        samples_[1]->envelope.build(data.temperatuurtijdenarray + 1,
                                    data.temperatuurpuntenarray + 1, std::size_t(data.D));
    }
    std::fill(beginLines_->seconds.begin(), beginLines_->seconds.end(), 0.0);
    std::copy_n(data.spanningbeginpuntarray.begin(),
                std::min<std::size_t>(data.spanningbeginpuntarray.size(), kBeginPoints),
                beginLines_->seconds.begin());

    if (haveVoltage) {
        // A limit line spans its own series, from its first to its last point.
        const Envelope& v = samples_[0]->envelope;
        const double first = v.times()[0], last = v.times()[v.size() - 1];
        thresholds_[0]->setData({first, last}, {data.overspanning, data.overspanning});
        thresholds_[1]->setData({first, last}, {data.onderspanning, data.onderspanning});
        if (haveTemperature) {
            const Envelope& t = samples_[1]->envelope;
            const double tf = t.times()[0], tl = t.times()[t.size() - 1];
            thresholds_[2]->setData({tf, tl},
                                    {data.temperatuurbovengrens, data.temperatuurbovengrens});
            thresholds_[3]->setData({tf, tl},
                                    {data.temperatuurondergrens, data.temperatuurondergrens});
        } else {
            thresholds_[2]->data()->clear();
            thresholds_[3]->data()->clear();
        }
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
    bool fx = false, fl = false, fr = false;
    double x0 = 0, x1 = 0, l0 = 0, l1 = 0, r0 = 0, r1 = 0;
    for (int s = 0; s < SeriesCount; ++s) {
        if (!legendBoxes_[s]->isChecked()) {
            continue;
        }
        QCPAbstractPlottable* p =
            s < 2 ? static_cast<QCPAbstractPlottable*>(samples_[s]) : thresholds_[s - 2];
        bool found = false;
        const QCPRange keys = p->getKeyRange(found);
        if (!found) {
            continue;
        }
        extend(fx, x0, x1, keys.lower, keys.upper);
        const QCPRange values = p->getValueRange(found);
        if (kLook[s].right) {
            extend(fr, r0, r1, values.lower, values.upper);
        } else {
            extend(fl, l0, l1, values.lower, values.upper);
        }
    }
    if (fx) {
        bottom_.applyAutomatic(x0, x1);
    }
    if (fl) {
        left_.applyAutomatic(l0, l1);
    }
    if (fr) {
        right_.applyAutomatic(r0, r1);
    }
    auto show = [](QCPAxis* axis, const AxisModel& m) {
        double lo = std::min(m.minimum(), m.maximum());
        double hi = std::max(m.minimum(), m.maximum());
        if (!(hi - lo > std::max(std::abs(lo), 1.0) * 1e-12)) {
            // The plot cannot show an empty range; show half a unit either side of it.
            lo -= 0.5;
            hi += 0.5;
        }
        axis->setRange(lo, hi);
    };
    show(plot_->xAxis, bottom_);
    show(plot_->yAxis, left_);
    show(plot_->yAxis2, right_);
    for (int i = 0; i < 2; ++i) {
        lines_[i]->point1->setCoords(lineX_[i], 0);
        lines_[i]->point2->setCoords(lineX_[i], 1);
        labels_[i]->position->setCoords(lineX_[i], 0);
    }
}

std::vector<std::pair<double, double>> ChartView::thresholdLine(Series s) const {
    std::vector<std::pair<double, double>> points;
    if (s < Series3) {
        return points;
    }
    for (const QCPGraphData& d : *thresholds_[s - Series3]->data()) {
        points.emplace_back(d.key, d.value);
    }
    return points;
}

const Envelope& ChartView::envelope(Series s) const {
    return samples_[s == Series2 ? 1 : 0]->envelope;
}

bool ChartView::markersActive() const {
    return lines_[0]->visible();
}

double ChartView::measuringLine(int line) const {
    return lineX_[line == 2 ? 1 : 0];
}

void ChartView::setMeasuringLine(int line, double x) {
    lineX_[line == 2 ? 1 : 0] = x;
    axisChanged();
}

bool ChartView::lineLabelsVisible() const {
    return labels_[0]->visible();
}

QString ChartView::lineLabel(int line) const {
    return labels_[line == 2 ? 1 : 0]->text();
}

void ChartView::uncheckMarkers() {
    MarkerCheckBox->setChecked(false);
}

void ChartView::MarkerCheckBoxClick() {
    const bool on = MarkerCheckBox->isChecked();
    if (on) {
        placeLines();
        updateLineLabels();
    }
    for (int i = 0; i < 2; ++i) {
        lines_[i]->setVisible(on);
        labels_[i]->setVisible(on);
    }
    axisChanged();
}

void ChartView::placeLines() {
    const double s = bottom_.maximum() - bottom_.minimum();
    lineX_[0] = bottom_.maximum() - 0.1 * s;
    lineX_[1] = bottom_.minimum() + 0.1 * s;
}

void ChartView::updateLineLabels() {
    for (int i = 0; i < 2; ++i) {
        labels_[i]->setText(formatMeasured(lineX_[i], QLocale()));
    }
}

void ChartView::Chart1Zoom() {
    placeLines();
    updateLineLabels();
    axisChanged();
}

void ChartView::Chart1UndoZoom() {
    Chart1Zoom();
}

void ChartView::ChartTool9BeginDragLine() {
    for (QCPItemText* l : labels_) {
        l->setVisible(false);
    }
    axisChanged();
}

void ChartView::ChartTool9EndDragLine() {
    updateLineLabels();
    for (QCPItemText* l : labels_) {
        l->setVisible(true);
    }
    Label2->setText(formatMeasured(std::abs(lineX_[1] - lineX_[0]), QLocale()) + QLatin1Char(' ') +
                    QString::fromUtf8(kTimeUnits[unit_].plural));
    axisChanged();
}

int ChartView::lineNear(double px) const {
    if (!markersActive()) {
        return -1;
    }
    int best = -1;
    double bestDistance = 4.0;
    for (int i = 0; i < 2; ++i) {
        const double d = std::abs(plot_->xAxis->coordToPixel(lineX_[i]) - px);
        if (d <= bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

void ChartView::dragLineTo(int line, double px) {
    // A line stays inside the visible range.
    const QRect area = plot_->axisRect()->rect();
    px = std::clamp(px, double(area.left()), double(area.right()));
    lineX_[line] = plot_->xAxis->pixelToCoord(px);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void ChartView::dragRectangle(QPoint from, QPoint to) {
    const int dx = to.x() - from.x(), dy = to.y() - from.y();
    if (dx >= kMinimumZoomPixels && dy >= kMinimumZoomPixels) {
        zoomTo(QRect(from, to));
    } else if (dx <= -kMinimumZoomPixels && dy <= -kMinimumZoomPixels) {
        undoZoom();
    }
}

void ChartView::zoomTo(const QRect& r) {
    if (!zoomSaved_) {
        auto state = [](const AxisModel& a) {
            return AxisState{a.minimum(), a.maximum(), a.automaticMinimum(), a.automaticMaximum()};
        };
        zoomSaved_ = std::array<AxisState, 3>{state(bottom_), state(left_), state(right_)};
    }
    bottom_.setMinMax(plot_->xAxis->pixelToCoord(r.left()), plot_->xAxis->pixelToCoord(r.right()));
    left_.setMinMax(plot_->yAxis->pixelToCoord(r.bottom()), plot_->yAxis->pixelToCoord(r.top()));
    right_.setMinMax(plot_->yAxis2->pixelToCoord(r.bottom()), plot_->yAxis2->pixelToCoord(r.top()));
    Chart1Zoom();
    emit zoomed();
}

void ChartView::undoZoom() {
    if (zoomSaved_) {
        AxisModel* axes[3] = {&bottom_, &left_, &right_};
        for (int i = 0; i < 3; ++i) {
            const AxisState& s = (*zoomSaved_)[i];
            axes[i]->setMinMax(s.min, s.max);
            axes[i]->setAutomaticMinimum(s.autoMin);
            axes[i]->setAutomaticMaximum(s.autoMax);
        }
        zoomSaved_.reset();
    }
    Chart1UndoZoom();
    emit zoomUndone();
}

std::optional<double> ChartView::valueAt(QPointF pos) const {
    std::optional<double> best;
    double bestDistance = 5.0;
    auto consider = [&](QCPAxis* value, double key, double y) {
        const QPointF p(plot_->xAxis->coordToPixel(key), value->coordToPixel(y));
        const double d = std::hypot(p.x() - pos.x(), p.y() - pos.y());
        if (d <= bestDistance) {
            bestDistance = d;
            best = y;
        }
    };
    for (int s = 0; s < SeriesCount; ++s) {
        if (!legendBoxes_[s]->isChecked()) {
            continue;
        }
        QCPAxis* value = kLook[s].right ? plot_->yAxis2 : plot_->yAxis;
        if (s < 2) {
            for (const auto& p : samples_[s]->drawn) {
                consider(value, p.time, p.value);
            }
        } else {
            for (const QCPGraphData& d : *thresholds_[s - 2]->data()) {
                consider(value, d.key, d.value);
            }
        }
    }
    return best;
}

void ChartView::showValueTip(QPoint pos) {
    const std::optional<double> v = valueAt(pos);
    if (!v) {
        return;
    }
    const QString text = QLocale().toString(*v, 'g', 6);
    const QPoint global = plot_->mapToGlobal(pos);
    QTimer::singleShot(50, plot_, [this, global, text] {
        QToolTip::showText(global, text, plot_, QRect(), 5000);
    });
}

void ChartView::paintOn(QCPPainter& painter, const QRect& target) {
    syncAxes();
    QCPLegend* legend = plot_->legend;
    legend->clearItems();
    for (int s = 0; s < SeriesCount; ++s) {
        if (legendBoxes_[s]->isChecked()) {
            QCPAbstractPlottable* p =
                s < 2 ? static_cast<QCPAbstractPlottable*>(samples_[s]) : thresholds_[s - 2];
            p->addToLegend(legend);
        }
    }
    QCPLayoutInset* inset = plot_->axisRect()->insetLayout();
    inset->take(legend);
    plot_->plotLayout()->addElement(1, 0, legend);
    plot_->plotLayout()->setRowStretchFactor(1, 0.001);
    legend->setWrap(3);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setVisible(true);

    // Laid out as on a screen and scaled up as vectors: the plot measures its texts with
    // screen metrics, so laying it out at the printer's own resolution would clip them.
    const double scale = std::max(1.0, painter.device()->logicalDpiX() / 96.0);
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    plot_->toPainter(&painter, int(target.width() / scale), int(target.height() / scale));
    painter.restore();

    legend->setVisible(false);
    plot_->plotLayout()->take(legend);
    plot_->plotLayout()->simplify();
    inset->addElement(legend, Qt::AlignRight | Qt::AlignTop);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

} // namespace veltrano
