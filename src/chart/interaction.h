#pragma once

#include <functional>
#include <optional>

#include <QPoint>
#include <qcustomplot.h>

#include "chart/chartview.h"

namespace veltrano {

class AxisModel;
class AxisTitles;

// The plot widget: its fixed look, and what the mouse and the keys do on it, told to its
// owner: the left button presses, drags and releases; the middle button drags sideways; the
// wheel turns, sideways with Shift; the mouse rests over a point or leaves; with the focus (a
// click gives it) the arrow keys, Home and Escape ask for navigation. The right button stays
// free. The owner decides what each of these means.
class ChartPlot : public QCustomPlot {
    Q_OBJECT
public:
    explicit ChartPlot(QWidget* parent);

    // The font of every text on the plot, in pixels, so that the plot laid out for the screen
    // and scaled up on paper keeps its texts in proportion.
    QFont textFont() const { return font_; }
    AxisTitles* titles() const { return titles_; }
    // Before a drawing: the plot's axes take the ranges of the axis models.
    void showRanges(const AxisModel& bottom, const AxisModel& left, const AxisModel& right);

    // Drawn over the finished plot at every paint (the hover highlight).
    void setOverlay(std::function<void(QPainter&)> paint) { overlay_ = std::move(paint); }

signals:
    void leftPressed(QPoint at);
    void leftDragged(QPoint from, QPoint to);
    // Also for a click: from and to lie within a pixel or two.
    void leftReleased(QPoint from, QPoint to);
    // Pixels the middle button moved the mouse since the last report; positive to the right.
    void middleDragged(double pixels);
    // Wheel notches (120 eighths of a degree each) at pixel column px; positive away from
    // the user.
    void wheelTurned(double px, double notches, bool sideways);
    // Where the mouse rests, none when it left; again after every drawing.
    void hovered(std::optional<QPointF> pos);
    void navigationRequested(ChartView::Navigation request);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    enum class Button { None, Left, Middle };

    Button held_ = Button::None;
    QPoint press_;
    double middleFrom_ = 0;
    std::optional<QPointF> mouse_;
    QFont font_;
    AxisTitles* titles_ = nullptr;
    std::function<void(QPainter&)> overlay_;
};

} // namespace veltrano
