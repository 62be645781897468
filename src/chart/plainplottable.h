#pragma once

#include <qcustomplot.h>

namespace veltrano {

// A series of the chart as its own drawing code makes it: never selected by the plot, shown
// in the paper legend as a line in its pen.
class PlainPlottable : public QCPAbstractPlottable {
public:
    using QCPAbstractPlottable::QCPAbstractPlottable;

    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }

protected:
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override {
        painter->setPen(mPen);
        painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
    }
};

} // namespace veltrano
