#include "chart/interaction.h"

#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>

#include "chart/axis.h"
#include "chart/layers.h"
#include "chart/windowgrey.h"

namespace veltrano {

namespace {

// Whole-number labels, at least one unit apart.
class WholeUnitTicker : public QCPAxisTicker {
protected:
    double getTickStep(const QCPRange& range) override {
        return std::max(1.0, std::ceil(QCPAxisTicker::getTickStep(range)));
    }
};

} // namespace

ChartPlot::ChartPlot(QWidget* parent) : QCustomPlot(parent) {
    setObjectName(QStringLiteral("chartPlot"));
    setMouseTracking(true);
    // Tab reaches the chart too, for its navigation keys.
    setFocusPolicy(Qt::StrongFocus);
    setBackground(kWindowGrey);
    QLocale plain;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    setLocale(plain);
    setMinimumSize(300, 200);
    // One paint buffer for everything: a second one for the overlay would be cleared at
    // every drawing, and the zoom band can just as well redraw the whole chart.
    layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    addLayer(QStringLiteral("beginpoints"), layer(QStringLiteral("main")), limAbove);
    // The legend on screen is a row of check boxes; the plot's own is for paper only.
    setAutoAddPlottableToLegend(false);
    legend->setVisible(false);

    yAxis2->setVisible(true);
    yAxis2->setTickLabels(true);
    xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new WholeUnitTicker));
    xAxis->setNumberFormat(QStringLiteral("f"));
    xAxis->setNumberPrecision(0);
    font_ = font();
    if (font_.pixelSize() <= 0) {
        font_.setPixelSize(qRound(font_.pointSizeF() * logicalDpiY() / 72.0));
    }
    for (QCPAxis* axis : axisRect()->axes()) {
        axis->setLabelFont(font_);
        axis->setTickLabelFont(font_);
    }
    legend->setFont(font_);
    titles_ = new AxisTitles(this, font_);
    titles_->setTitle(yAxis, QStringLiteral("Spanning (V)"));
    titles_->setTitle(yAxis2, QStringLiteral("temperatuur (°C)"));

    // A new drawing may have moved another series under the resting mouse.
    connect(this, &QCustomPlot::afterReplot, this, [this] {
        if (held_ == Button::None)
            emit hovered(mouse_);
    });
}

void ChartPlot::showRanges(const AxisModel& bottom, const AxisModel& left, const AxisModel& right) {
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
    show(xAxis, bottom);
    show(yAxis, left);
    show(yAxis2, right);
}

void ChartPlot::mousePressEvent(QMouseEvent* e) {
    if (held_ != Button::None) {
        return;
    }
    press_ = e->position().toPoint();
    if (e->button() == Qt::LeftButton) {
        held_ = Button::Left;
        emit leftPressed(press_);
    } else if (e->button() == Qt::MiddleButton) {
        held_ = Button::Middle;
        middleFrom_ = e->position().x();
    } else {
        e->ignore();
    }
}

void ChartPlot::mouseMoveEvent(QMouseEvent* e) {
    switch (held_) {
    case Button::Left:
        emit leftDragged(press_, e->position().toPoint());
        break;
    case Button::Middle:
        emit middleDragged(e->position().x() - middleFrom_);
        middleFrom_ = e->position().x();
        break;
    case Button::None:
        mouse_ = e->position();
        emit hovered(mouse_);
        break;
    }
}

void ChartPlot::mouseReleaseEvent(QMouseEvent* e) {
    if (held_ == Button::Middle && e->button() == Qt::MiddleButton) {
        held_ = Button::None;
        return;
    }
    if (e->button() != Qt::LeftButton || held_ != Button::Left) {
        e->ignore();
        return;
    }
    held_ = Button::None;
    emit leftReleased(press_, e->position().toPoint());
}

void ChartPlot::mouseDoubleClickEvent(QMouseEvent* e) {
    // Two clicks, as far as we are concerned; the plot's own selection stays out.
    mousePressEvent(e);
}

void ChartPlot::wheelEvent(QWheelEvent* e) {
    const QPoint delta = e->angleDelta();
    const bool sideways =
        e->modifiers() & Qt::ShiftModifier || std::abs(delta.x()) > std::abs(delta.y());
    // Some systems turn Shift + wheel into a horizontal wheel.
    const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / 120.0;
    if (notches == 0 || held_ != Button::None) {
        e->ignore();
        return;
    }
    emit wheelTurned(e->position().x(), notches, sideways);
}

void ChartPlot::keyPressEvent(QKeyEvent* e) {
    using N = ChartView::Navigation;
    static constexpr std::pair<int, N> kKeys[] = {
        {Qt::Key_Left, N::Previous},
        {Qt::Key_Right, N::Next},
        {Qt::Key_Home, N::First},
        {Qt::Key_Escape, N::FullView},
    };
    if (!(e->modifiers() & ~Qt::KeypadModifier)) {
        for (const auto& [key, request] : kKeys) {
            if (e->key() == key) {
                emit navigationRequested(request);
                return;
            }
        }
    }
    e->ignore();
}

void ChartPlot::leaveEvent(QEvent* e) {
    mouse_.reset();
    if (held_ == Button::None)
        emit hovered(std::nullopt);
    QCustomPlot::leaveEvent(e);
}

void ChartPlot::paintEvent(QPaintEvent* e) {
    QCustomPlot::paintEvent(e);
    if (overlay_) {
        QPainter painter(this);
        overlay_(painter);
    }
    // The keys act on the chart: show where they go.
    if (hasFocus()) {
        QPainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace veltrano
