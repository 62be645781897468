#pragma once

#include <array>
#include <functional>
#include <optional>

#include <QLineF>
#include <QPointF>
#include <QRect>
#include <QRegion>

class QPainter;

namespace veltrano {

class EnvelopeSeries;
class LimitLine;

// Hovering: which series lies under the mouse, and the highlight of that one series. The
// highlight is painted over the finished chart with a wider pen, on the widget itself, so
// that a hover repaints only the pixels of the series it leaves and the one it enters; the
// chart's own drawing is not redone.
class SeriesHighlight {
public:
    static constexpr double kTolerance = 4.0; // pixels

    // shown(s) tells whether series s is shown; hidden series are never hit.
    SeriesHighlight(std::array<EnvelopeSeries*, 2> samples, std::array<LimitLine*, 4> thresholds,
                    std::function<bool(int)> shown);

    // The shown series nearest to pos within the tolerance; on a tie the one drawn on top.
    std::optional<int> seriesAt(QPointF pos) const;

    std::optional<int> current() const { return current_; }
    // Highlights series (or none) and returns the pixels to repaint: empty when unchanged.
    QRegion set(std::optional<int> series);
    // Over the chart, inside the plot area clip.
    void paint(QPainter& painter, const QRect& plotArea) const;

private:
    QRect bounds(int series) const;

    std::array<EnvelopeSeries*, 2> samples_;
    std::array<LimitLine*, 4> thresholds_;
    std::function<bool(int)> shown_;
    std::optional<int> current_;
};

} // namespace veltrano
