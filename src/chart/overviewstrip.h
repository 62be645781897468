#pragma once

#include <array>
#include <span>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "analysis/events.h"

namespace veltrano {

class ChartView;

// "Overzicht": the whole recording in a strip under the chart. The voltage as its lowest and
// highest value per pixel column (from the chart's pyramid), every event as a span in the
// colour of its kind's limit line, and the chart's view as a frame that follows the bottom
// axis. A click or a drag moves the view there at the same width, the wheel zooms as it does
// over the chart, Left and Right move the view by a tenth of its width.
class OverviewStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 40;

    explicit OverviewStrip(ChartView* chart, QWidget* parent = nullptr);

    // After every fill of the chart: its voltage pyramid and the run's events (moments and
    // durations in seconds, `secondsPerUnit` the length of the chart's time unit). Replaces
    // what the strip showed and enables it.
    void fill(std::span<const ClosedEvent> events, int secondsPerUnit);
    // Empty and disabled, as before the first fill.
    void clear();
    bool empty() const { return !(last_ > first_); }

    // The time at x in the strip's pixels, and back: the whole recording spans the strip.
    double timeAt(double x) const;
    double xOf(double time) const;
    // Where the frame of the chart's view stands; empty while the strip is.
    QRect viewFrame() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    struct EventSpan {
        int kind; // EventKind
        double start, end;
    };
    QRect area() const;
    // The per-column cache: recomputed at a fill and a resize only.
    void rebuild();
    void followView();

    QPointer<ChartView> chart_;
    std::vector<EventSpan> events_;
    // The recording's time range, and its voltage range.
    double first_ = 0, last_ = 0;
    double lowest_ = 0, highest_ = 0;
    // Per pixel column of the area: the voltage as a vertical line, the events by kind as
    // merged pixel spans.
    std::vector<QLine> voltage_;
    std::array<std::vector<QRect>, 4> eventRects_;
    QRect frame_;
    bool dragging_ = false;
};

} // namespace veltrano
