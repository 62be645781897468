#pragma once

#include <optional>
#include <vector>

#include <QLineF>
#include <QRect>
#include <QVector>
#include <qcustomplot.h>

#include "chart/envelope.h"
#include "chart/plainplottable.h"

namespace veltrano {

// A sample series drawn from its min/max pyramid: only the reduced points of the visible
// range reach the painter. Stretches of the line that stay inside one pixel column are drawn
// as one filled column of pixels, so a run of thousands of samples costs no more than its
// height.
class EnvelopeSeries : public PlainPlottable {
public:
    EnvelopeSeries(QCPAxis* key, QCPAxis* value) : PlainPlottable(key, value) {}

    Envelope envelope;
    // The points of the last drawing, in axis coordinates (for the value tip).
    std::vector<Envelope::Point> drawn;

    // The last drawing again with a wider pen, on any painter, and the pixels it covers.
    void drawHighlight(QPainter& painter) const;
    QRect highlightBounds() const;

    // Pixel distance from pos to the line through the samples, looked up in the pyramid over
    // the columns within tolerance of pos; empty when farther than tolerance.
    std::optional<double> distanceTo(QPointF pos, double tolerance) const;

    QCPRange getKeyRange(bool& found, QCP::SignDomain) const override;
    QCPRange getValueRange(bool& found, QCP::SignDomain, const QCPRange&) const override;

protected:
    void draw(QCPPainter* painter) override;

private:
    QVector<QLineF> lines_;
    QVector<QRect> spans_;
};

// Cuts a segment to the rectangle; false when nothing of it is inside. Far-away ends would
// otherwise reach the rasteriser with huge coordinates.
bool clipLine(QLineF& line, const QRectF& r);

} // namespace veltrano
