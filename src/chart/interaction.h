#pragma once

#include <optional>

#include <QPoint>
#include <qcustomplot.h>

namespace veltrano {

class AxisModel;
class AxisTitles;
class ChartView;

// The plot widget: its fixed look, and all mouse and keyboard work on it: the left button drags a
// zoom rectangle or a measuring line and clicks for the value tip; the middle button drags the
// window sideways; the wheel zooms around the cursor, with Shift it pans; resting over a
// series highlights it; with the focus (a click gives it) the arrow keys, Home and Escape
// navigate as the paging buttons do. The right button stays free.
class ChartPlot : public QCustomPlot {
public:
    explicit ChartPlot(ChartView* view);

    // The font of every text on the plot, in pixels, so that the plot laid out for the screen
    // and scaled up on paper keeps its texts in proportion.
    QFont textFont() const { return font_; }
    AxisTitles* titles() const { return titles_; }
    // Before a drawing: the plot's axes take the ranges of the axis models.
    void showRanges(const AxisModel& bottom, const AxisModel& left, const AxisModel& right);

    // y value of the shown point nearest to pos, within a few pixels, and its tip.
    std::optional<double> valueAt(QPointF pos) const;
    void showValueTip(QPoint pos);

    // The highlight follows the mouse at pos (none: the mouse left the plot).
    void hoverAt(std::optional<QPointF> pos);
    void setHighlight(std::optional<int> series);

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
    enum class Drag { None, Band, Line, Pan };
    void pan(double units);

    ChartView* view_;
    Drag drag_ = Drag::None;
    QPoint press_;
    int line_ = -1;
    double panFrom_ = 0;
    std::optional<QPointF> mouse_;
    QFont font_;
    AxisTitles* titles_ = nullptr;
};

} // namespace veltrano
